#!/bin/sh
# Readies wine for the smoke tests of the Windows plug-ins, or ends it:
#   wine.sh start | stop      (with WINEPREFIX and WINELOADER set)
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
    # The 64-bit loader: the 32-bit one may be unable to run here.
    "$WINELOADER" wineboot --init </dev/null >/dev/null 2>&1
    echo "wine ready in $(( $(date +%s) - began )) s (prefix $WINEPREFIX)" ;;
  stop)
    wineserver --kill </dev/null >/dev/null 2>&1 || true ;;
esac
