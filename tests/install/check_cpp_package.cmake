# Installs the C++ library from BUILD_DIR into a scratch prefix under
# SCRATCH, then configures, builds and runs the example program of
# SOURCE_DIR/examples/cpp against it with find_package(proxkit), as a user's
# own project does, and compares its output with the expected one.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(failed)
    message(FATAL_ERROR "${ARGN} failed:\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${SCRATCH})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${SCRATCH}/prefix)
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/cpp -B ${SCRATCH}/build
    -DCMAKE_PREFIX_PATH=${SCRATCH}/prefix -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${SCRATCH}/build)
run(${SCRATCH}/build/proxkit_example)
message("${output}")

# The first line names the version; the rest is the kernels' output.
string(FIND "${output}" "\n" end_of_first_line)
math(EXPR start "${end_of_first_line} + 1")
string(SUBSTRING "${output}" ${start} -1 results)
file(READ ${SOURCE_DIR}/examples/cpp/expected_output.txt expected)
if(NOT results STREQUAL expected)
  message(FATAL_ERROR "the example's output differs from examples/cpp/expected_output.txt")
endif()
