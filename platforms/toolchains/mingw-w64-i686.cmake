# Windows on i686, cross-compiled with Debian's mingw-w64.
set(PROXKIT_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
