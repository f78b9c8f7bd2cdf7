# Fails when the data generator's output differs from the committed files, so
# the two cannot drift apart. -DGENERATOR=<exe> -DMODULES=<dir> -DSCRATCH=<dir>
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
execute_process(COMMAND "${GENERATOR}" "${SCRATCH}" RESULT_VARIABLE rc)
file(GLOB_RECURSE generated RELATIVE "${SCRATCH}" "${SCRATCH}/*")
if(NOT rc EQUAL 0 OR NOT generated)
  message(FATAL_ERROR "the generator failed (${rc}) or wrote nothing")
endif()
foreach(f ${generated})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${SCRATCH}/${f}" "${MODULES}/${f}"
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(SEND_ERROR "modules/${f} differs from what the generator writes")
  endif()
endforeach()
