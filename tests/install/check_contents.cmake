# Contents.m in MATLAB's form, so that ver lists proxkit as it lists every
# installed toolbox: its second line is "% Version <the project's version>
# DD-Mon-YYYY".
#   cmake -D CONTENTS=inst/Contents.m -D VERSION=0.1.0 -P check_contents.cmake
file(STRINGS ${CONTENTS} lines LIMIT_COUNT 2)
list(LENGTH lines count)
if(count LESS 2)
  message(FATAL_ERROR "${CONTENTS} has fewer than two lines")
endif()
list(GET lines 1 second)
string(REPLACE "." "\\." version_pattern "${VERSION}")
set(months "Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec")
if(NOT second MATCHES "^% Version ${version_pattern} (0[1-9]|[12][0-9]|3[01])-(${months})-20[0-9][0-9]$")
  message(FATAL_ERROR "${CONTENTS}: the second line is \"${second}\", not \"% Version ${VERSION} DD-Mon-YYYY\" "
                      "with the project's version (CMakeLists.txt)")
endif()
message(STATUS "${CONTENTS}: ${second}")
