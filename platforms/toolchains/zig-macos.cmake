# macOS, cross-compiled here: zig's clang, which carries macOS's C headers
# (macOS 11 to 13), compiles, and LLVM's Mach-O linker links each bundle
# against text stubs of the libraries it calls (libSystem's from zig,
# MATLAB's from our own lists, plugins/matlab.cmake), as Apple's linker
# links against an SDK.  The including build sets, besides zig's (zig.cmake):
#   PROXKIT_LD64                 LLVM's Mach-O linker (ld64.lld)
#   CMAKE_OSX_ARCHITECTURES      x86_64 or arm64
#   CMAKE_OSX_DEPLOYMENT_TARGET  the oldest macOS the plug-ins load on
include(${CMAKE_CURRENT_LIST_DIR}/zig.cmake)
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_PROCESSOR ${CMAKE_OSX_ARCHITECTURES})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PROXKIT_LD64)

# zig reads the oldest macOS from the target alone, not from
# -mmacosx-version-min, and without a target it would compile for this
# machine.
if(CMAKE_OSX_ARCHITECTURES STREQUAL "arm64")
  set(zig_arch aarch64)
else()
  set(zig_arch ${CMAKE_OSX_ARCHITECTURES})
endif()
set(CMAKE_CXX_COMPILER ${PROXKIT_ZIG_COMMAND} c++ -target ${zig_arch}-macos.${CMAKE_OSX_DEPLOYMENT_TARGET})
get_filename_component(zig_home ${PROXKIT_ZIG} DIRECTORY)
set(PROXKIT_MACOS_LIBSYSTEM ${zig_home}/lib/libc/darwin/libSystem.13.tbd)
set(PROXKIT_MACOS_SDK 13.0)

# Checks compile without linking a program: zig would link one with a linker
# of its own, which the bundles never use.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_USER_MAKE_RULES_OVERRIDE_CXX ${CMAKE_CURRENT_LIST_DIR}/zig-macos-rules.cmake)
