# Windows on x86_64, cross-compiled with Debian's mingw-w64.
set(PROXKIT_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
