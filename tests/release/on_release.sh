#!/bin/sh
# Runs a test of the release, or reports it skipped until make release has
# made the zip:
#   on_release.sh ZIP [--fresh FOLDER] COMMAND...
# --fresh removes FOLDER first (where the zip is unpacked).
set -eu
zip=$1
shift
if [ ! -f "$zip" ]; then
  echo "skipped: $zip is not made yet (make release makes it)"
  exit 77
fi
if [ "$1" = --fresh ]; then
  rm -rf "$2"
  shift 2
fi
exec "$@"
