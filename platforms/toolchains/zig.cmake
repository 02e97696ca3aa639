# zig as a cross compiler (included by the toolchain files that use it): its
# clang, with what it compiles for itself kept in the build folder.  The
# including build sets PROXKIT_ZIG (zig 0.11) and PROXKIT_ZIG_CACHE.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PROXKIT_ZIG PROXKIT_ZIG_CACHE)
set(PROXKIT_ZIG_COMMAND ${CMAKE_COMMAND} -E env ZIG_GLOBAL_CACHE_DIR=${PROXKIT_ZIG_CACHE}
    ZIG_LOCAL_CACHE_DIR=${PROXKIT_ZIG_CACHE} ${PROXKIT_ZIG})
