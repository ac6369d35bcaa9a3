# tockly_delay_load(TARGET DLL...): TARGET binds its calls into each DLL at the
# first call instead of at start, through a delay-import library that dlltool
# makes from the toolchain's import library. The clock uses some DLLs only on
# demand (the file-open dialog; the time page; the dialogs and tooltips; the
# first sound), and under Wine those carry a lot with them (comdlg32 loads the
# print spooler and with it CUPS, GnuTLS and Kerberos; comctl32 is about 1 MB
# of private memory, winmm with msacm32 0.4 MB), so a running clock keeps
# them out of its memory until then. Only code linked ahead of the delay
# library takes its imports from it: a toolkit helper that calls such a DLL
# is inline (see win32kit/common_controls.h).
find_program(TOCKLY_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool REQUIRED)

function(tockly_delay_load target)
  set(dir ${CMAKE_BINARY_DIR}/delay_load)
  foreach(dll IN LISTS ARGN)
    find_library(import_lib_${dll} NAMES ${dll} REQUIRED)
    execute_process(COMMAND ${CMAKE_NM} -g ${import_lib_${dll}} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "I __imp_[A-Za-z0-9_]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE "^I __imp_" "")
    list(REMOVE_DUPLICATES imports)
    list(JOIN imports "\n" exports)
    file(CONFIGURE OUTPUT ${dir}/${dll}.def CONTENT "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n" @ONLY)
    add_custom_command(OUTPUT ${dir}/lib${dll}_delay.a
      COMMAND ${TOCKLY_DLLTOOL} --input-def ${dir}/${dll}.def --dllname ${dll}.dll
              --output-delaylib ${dir}/lib${dll}_delay.a
      DEPENDS ${dir}/${dll}.def VERBATIM)
    add_custom_target(${target}_${dll}_delay DEPENDS ${dir}/lib${dll}_delay.a)
    add_dependencies(${target} ${target}_${dll}_delay)
    # Ahead of the target's other libraries, so the linker takes these imports
    # from here and not from the ordinary import library further on.
    target_link_libraries(${target} PRIVATE ${dir}/lib${dll}_delay.a)
  endforeach()
  target_link_libraries(${target} PRIVATE delayimp)
endfunction()
