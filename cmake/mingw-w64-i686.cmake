# Cross-compile for 32-bit Windows (x86) with Debian's mingw-w64 (posix thread
# model): Lunetra for the hosts that are 32-bit programs. Wine runs the result
# through WoW64 in the same 64-bit prefix.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
