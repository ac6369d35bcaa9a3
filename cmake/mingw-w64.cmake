# Cross-compile for 64-bit Windows with Debian's mingw-w64 (posix thread model).
# mingw-w64-i686.cmake sets the two names below first for 32-bit Windows.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT DEFINED TOOLCHAIN_PREFIX)
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
  set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
endif()
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests built for Windows run through Wine; the tockly script sets up the prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
