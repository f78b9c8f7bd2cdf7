# Runs the udev rule generator on sample device lists and checks its output.
#   cmake -DGENERATOR=<udev_rules.cmake> -DSHIPPED=<apConfig.bin> -DWORK=<dir> -P check_udev_rules.cmake
cmake_minimum_required(VERSION 3.25)

set(failures 0)

# case name, INI text, expected rule lines (vid:pid list, in order), expect success
function(check name ini expected should_succeed)
  file(WRITE "${WORK}/${name}.bin" "${ini}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DINPUT=${WORK}/${name}.bin -DOUTPUT=${WORK}/${name}.rules
                  -P ${GENERATOR} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT should_succeed)
    if(rc EQUAL 0)
      message(SEND_ERROR "${name}: a broken list must fail the build")
    endif()
    return()
  endif()
  if(NOT rc EQUAL 0)
    message(SEND_ERROR "${name}: generator failed (${rc})")
    return()
  endif()
  file(STRINGS "${WORK}/${name}.rules" lines REGEX "^[^#]")
  set(want "")
  foreach(ids IN LISTS expected)
    string(REGEX REPLACE "^(.*):(.*)$" "KERNEL==\"hidraw*\", SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"\\1\", ATTRS{idProduct}==\"\\2\", TAG+=\"uaccess\"" line "${ids}")
    list(APPEND want "${line}")
  endforeach()
  if(NOT "${lines}" STREQUAL "${want}")
    message(SEND_ERROR "${name}:\n got:  ${lines}\n want: ${want}")
  endif()
endfunction()

file(MAKE_DIRECTORY "${WORK}")
file(READ "${SHIPPED}" shipped)
check(shipped "${shipped}" "1209:0001" TRUE)

check(several "[0]\nvid=1209\npid=0001\n\n[1]\nvid=1209\npid=0001\n\n[2]\nvid=\"ABCD\"\npid=1a\n\n[common]\ndeviceCount=3\n"
      "1209:0001;abcd:001a" TRUE)
check(missing_ids "[0]\npid=0001\n[1]\nvid=5555\npid=6666\n[common]\ndeviceCount=2\n"
      "5555:6666" TRUE)
check(count_missing_group "[0]\nvid=1209\npid=0001\n[common]\ndeviceCount=3\n" "1209:0001" TRUE)
check(bad_count "[0]\nvid=1209\npid=0001\n[common]\ndeviceCount=two\n" "" FALSE)
