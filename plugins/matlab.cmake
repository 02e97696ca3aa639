# MATLAB's naming and export rules, for the plug-ins that MATLAB loads.
#
# A platform build (PROXKIT_PLATFORM set to one of MATLAB's platform names
# below) turns each kernel into <kernel>.<extension> for that platform:
#  - the exports are mexFunction and, on the 64-bit platforms,
#    mexfilerequiredapiversion (matlab/api_version.cpp), which states the
#    release and API the file is built for, as every 64-bit file that
#    MATLAB's own mex makes does: undecorated, on Linux under the ELF symbol
#    version MEX, on Windows through a definition file, on macOS by
#    -exported_symbol (the version script and definition file are made from
#    PROXKIT_MATLAB_EXPORTS);
#  - the host operations come from matlab/mex.h, on the large-array
#    interface for every kernel;
#  - Windows plug-ins link import libraries made by dlltool from
#    matlab/libmx.def and matlab/libmex.def, and carry their C++ runtime
#    statically, so that they need nothing but the host and the system;
#  - macOS plug-ins are bundles that bind each host call to libmx or libmex
#    by MATLAB's install names (two-level namespace), linked against text
#    stubs made from the same lists;
#  - the 32-bit x86 builds compute with SSE2, not the x87 unit, so that every
#    build rounds alike and copies a signalling NaN unchanged.
# These builds use GNU-style toolchains (g++, mingw-w64, Apple clang, or
# zig's clang with LLVM's linker, platforms/toolchains/zig-macos.cmake); with
# MSVC, MATLAB's own mex builds the plug-ins.

# MATLAB's platform names and the plug-in extension of each.
set(PROXKIT_MATLAB_PLATFORMS glnxa64 glnx86 win64 win32 maci64 maca64)
set(PROXKIT_MATLAB_EXTENSIONS mexa64 mexglx mexw64 mexw32 mexmaci64 mexmaca64)

# The oldest macOS that each macOS platform's plug-ins load on: the oldest
# that the platform's first MATLAB release runs on, and no older than the
# cross toolchain's headers reach (macOS 11).  R2017b still ran on macOS 10;
# R2023b, the first release for Apple silicon, runs on macOS 12 and later.
set(PROXKIT_MACOS_MINIMUM_maci64 11.0)
set(PROXKIT_MACOS_MINIMUM_maca64 12.0)

# The 32-bit platforms, whose last MATLAB releases predate the
# mexfilerequiredapiversion export.
set(PROXKIT_MATLAB_32BIT_PLATFORMS glnx86 win32)

# Not MATLAB's: a build for tests alone, of the Linux rules on 64-bit Arm,
# whose plug-ins (<kernel>.mex) run under an emulator and are never
# distributed.
set(PROXKIT_TEST_PLATFORMS linux-aarch64)

function(proxkit_matlab_extension platform out)
  if(platform IN_LIST PROXKIT_TEST_PLATFORMS)
    set(${out} mex PARENT_SCOPE)
    return()
  endif()
  list(FIND PROXKIT_MATLAB_PLATFORMS ${platform} index)
  if(index LESS 0)
    message(FATAL_ERROR "Unknown MATLAB platform '${platform}'; one of: ${PROXKIT_MATLAB_PLATFORMS}")
  endif()
  list(GET PROXKIT_MATLAB_EXTENSIONS ${index} extension)
  set(${out} ${extension} PARENT_SCOPE)
endfunction()

if(NOT PROXKIT_PLATFORM)
  return()
endif()

proxkit_matlab_extension(${PROXKIT_PLATFORM} PROXKIT_MATLAB_EXTENSION)
set(PROXKIT_MATLAB_DIR ${CMAKE_CURRENT_LIST_DIR}/matlab)

# The exports, and the version script (Linux) and definition file (Windows)
# made from them.
set(PROXKIT_MATLAB_EXPORTS mexFunction)
set(PROXKIT_MATLAB_API_SOURCES "")
if(NOT PROXKIT_PLATFORM IN_LIST PROXKIT_MATLAB_32BIT_PLATFORMS)
  list(APPEND PROXKIT_MATLAB_EXPORTS mexfilerequiredapiversion)
  set(PROXKIT_MATLAB_API_SOURCES ${PROXKIT_MATLAB_DIR}/api_version.cpp)
endif()
list(JOIN PROXKIT_MATLAB_EXPORTS "; " exports)
set(PROXKIT_MATLAB_EXPORT_MAP ${CMAKE_BINARY_DIR}/exports.map)
file(GENERATE OUTPUT ${PROXKIT_MATLAB_EXPORT_MAP} CONTENT "MEX {\n  global: ${exports};\n  local: *;\n};\n")
list(JOIN PROXKIT_MATLAB_EXPORTS "\n  " exports)
set(PROXKIT_MATLAB_EXPORT_DEF ${CMAKE_BINARY_DIR}/exports.def)
file(GENERATE OUTPUT ${PROXKIT_MATLAB_EXPORT_DEF} CONTENT "EXPORTS\n  ${exports}\n")

if(PROXKIT_PLATFORM IN_LIST PROXKIT_MATLAB_32BIT_PLATFORMS)
  add_compile_options(-msse2 -mfpmath=sse)
endif()
if(PROXKIT_PLATFORM STREQUAL "win64")
  # MinGW's GCC spills wide registers with aligned moves to a stack that the
  # Windows x64 ABI aligns to 16 bytes only; unaligned moves make the wide
  # paths safe there (core/instruction_set.h).
  add_compile_options(-Wa,-muse-unaligned-vector-move)
  add_compile_definitions(PROXKIT_UNALIGNED_VECTOR_MOVES)
endif()
if(PROXKIT_PLATFORM STREQUAL "win32")
  # The host may call mexFunction on a stack aligned to 4 bytes only.
  add_compile_options(-mstackrealign)
endif()
# Targets take their architecture and oldest system from these variables as
# they are created.
if(PROXKIT_PLATFORM STREQUAL "maci64")
  set(CMAKE_OSX_ARCHITECTURES x86_64)
elseif(PROXKIT_PLATFORM STREQUAL "maca64")
  set(CMAKE_OSX_ARCHITECTURES arm64)
endif()
if(APPLE AND NOT CMAKE_OSX_DEPLOYMENT_TARGET)
  set(CMAKE_OSX_DEPLOYMENT_TARGET ${PROXKIT_MACOS_MINIMUM_${PROXKIT_PLATFORM}})
endif()

if(WIN32)
  set(PROXKIT_IMPORT_DIR ${CMAKE_BINARY_DIR}/import)
  foreach(library libmx libmex)
    set(def ${PROXKIT_MATLAB_DIR}/${library}.def)
    add_custom_command(OUTPUT ${PROXKIT_IMPORT_DIR}/${library}.a
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROXKIT_IMPORT_DIR}
      COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --output-lib ${PROXKIT_IMPORT_DIR}/${library}.a
      DEPENDS ${def} VERBATIM)
    list(APPEND PROXKIT_IMPORT_LIBRARIES ${PROXKIT_IMPORT_DIR}/${library}.a)
  endforeach()
  add_custom_target(matlab-import-libraries DEPENDS ${PROXKIT_IMPORT_LIBRARIES})
endif()
if(APPLE)
  # MATLAB's own mex links a bundle against <matlabroot>/bin/<arch>/libmx.dylib
  # and libmex.dylib, whose install names are @rpath/libmx.dylib and
  # @rpath/libmex.dylib; these stubs stand for them.
  foreach(library libmx libmex)
    set(def ${PROXKIT_MATLAB_DIR}/${library}.def)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
    file(STRINGS ${def} operations REGEX "^  [A-Za-z_0-9]+$")
    list(TRANSFORM operations REPLACE "^  " "_")
    list(JOIN operations ", " PROXKIT_STUB_SYMBOLS)
    set(PROXKIT_STUB_TARGET ${CMAKE_OSX_ARCHITECTURES}-macos)
    set(PROXKIT_STUB_INSTALL_NAME @rpath/${library}.dylib)
    set(stub ${CMAKE_BINARY_DIR}/stubs/${library}.tbd)
    configure_file(${PROXKIT_MATLAB_DIR}/stub.tbd.in ${stub} @ONLY)
    list(APPEND PROXKIT_HOST_STUBS ${stub})
  endforeach()
endif()

# proxkit_platform_plugin(<kernel> <gateway sources...>): <kernel>.<extension>
# in <build>/plugins, on the core library proxkit_core-platform.
function(proxkit_platform_plugin kernel)
  set(target ${kernel}-platform)
  add_library(${target} MODULE ${ARGN} ${PROXKIT_MATLAB_API_SOURCES})
  target_link_libraries(${target} PRIVATE proxkit_core-platform)
  target_include_directories(${target} BEFORE PRIVATE ${PROXKIT_MATLAB_DIR})
  set_target_properties(${target} PROPERTIES
    PREFIX "" SUFFIX ".${PROXKIT_MATLAB_EXTENSION}" OUTPUT_NAME ${kernel}
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugins
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugins
    SKIP_BUILD_RPATH ON)
  if(WIN32)
    add_dependencies(${target} matlab-import-libraries)
    target_link_libraries(${target} PRIVATE ${PROXKIT_IMPORT_LIBRARIES})
    # Debugging information stripped (the static runtime brings some), the
    # symbol table kept: the platform checker traces every wide instruction
    # to the function it lies in by its symbol.  The loader never reads it.
    target_link_options(${target} PRIVATE -static -Wl,--strip-debug ${PROXKIT_MATLAB_EXPORT_DEF})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PROXKIT_MATLAB_EXPORT_DEF})
  elseif(APPLE)
    target_link_libraries(${target} PRIVATE ${PROXKIT_HOST_STUBS})
    foreach(symbol IN LISTS PROXKIT_MATLAB_EXPORTS)
      target_link_options(${target} PRIVATE LINKER:-exported_symbol,_${symbol})
    endforeach()
  else()
    # Linked against the stand-in libmx and libmex, which carry the host's
    # library names and symbol versions, so that the references are bound as
    # MATLAB's own are.
    target_link_libraries(${target} PRIVATE standin-libmx standin-libmex)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -Wl,--no-undefined
      -Wl,--version-script=${PROXKIT_MATLAB_EXPORT_MAP})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PROXKIT_MATLAB_EXPORT_MAP})
  endif()
endfunction()
