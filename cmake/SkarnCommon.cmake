# Flags shared by every target of the project.
function(skarn_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(SKARN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(SKARN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Data folders the program reads from its own directory.
set(SKARN_DATA_DIRS setting macro gun i18n)

# Copies modules/<data dirs> and the tray icon next to an executable in the
# build tree, so the program and its tests run straight from the build.
function(skarn_copy_data target)
  set(dst $<TARGET_FILE_DIR:${target}>/modules)
  foreach(d ${SKARN_DATA_DIRS})
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dst}/${d}
      COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/modules/${d} ${dst}/${d}
      VERBATIM)
  endforeach()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dst}/img
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/modules/img/logo.ico ${dst}/img/logo.ico
    VERBATIM)
endfunction()
