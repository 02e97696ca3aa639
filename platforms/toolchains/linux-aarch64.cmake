# Linux on 64-bit Arm, cross-compiled with zig's clang, which brings the C
# library's headers and builds its C++ runtime (libc++) for the target;
# Debian's own cross compiler cannot be installed beside g++-multilib, which
# the 32-bit x86 builds need.  Its programs run here under qemu-aarch64, on
# the Arm C library of Debian's libc6-arm64-cross.
include(${CMAKE_CURRENT_LIST_DIR}/zig.cmake)
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_CXX_COMPILER ${PROXKIT_ZIG_COMMAND} c++ -target aarch64-linux-gnu)
# GoogleTest, built from source here, enables C as well.
set(CMAKE_C_COMPILER ${PROXKIT_ZIG_COMMAND} cc -target aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
