#!/bin/sh
# Readies wine for the smoke tests of the Windows plug-ins, or ends it:
#   wine.sh start | stop      (with WINEPREFIX set)
# start creates the prefix on first use, the slow part of wine's first
# start, and leaves a wineserver running for the tests, so that no test
# starts one or waits for one to exit.  Its output is detached from the
# test's so that the test ends when the script does.
set -eu
case $1 in
  start)
    began=$(date +%s)
    mkdir -p "$WINEPREFIX"
    wineserver --persistent=120 </dev/null >/dev/null 2>&1
    wine wineboot --init </dev/null >/dev/null 2>&1
    echo "wine ready in $(( $(date +%s) - began )) s (prefix $WINEPREFIX)" ;;
  stop)
    wineserver --kill </dev/null >/dev/null 2>&1 || true ;;
esac
