# Linking with ld64.lld itself, not through a compiler driver: LINKER:
# options reach it as they are, and a bundle links with libSystem alone, no
# C++ runtime (zig's driver would link its own libc++ into every bundle).
set(CMAKE_CXX_LINKER_WRAPPER_FLAG " ")
set(CMAKE_CXX_CREATE_SHARED_MODULE
  "${PROXKIT_LD64} -arch ${CMAKE_OSX_ARCHITECTURES} -platform_version macos ${CMAKE_OSX_DEPLOYMENT_TARGET} ${PROXKIT_MACOS_SDK} -bundle <LINK_FLAGS> -o <TARGET> <OBJECTS> <LINK_LIBRARIES> ${PROXKIT_MACOS_LIBSYSTEM}")
