#!/bin/sh
# Runs a test of the release, or reports it skipped until make release has
# made the zip of the plug-ins built now:
#   on_release.sh ZIP [--fresh FOLDER] COMMAND...
# The zip is BUILD/release/...; a platform plug-in of BUILD newer than it
# means that it packs older ones.  With PROXKIT_RELEASE=required (make
# release), a zip that is missing or older fails instead.
# --fresh removes FOLDER first (where the zip is unpacked).
set -eu
zip=$1
shift
build=$(dirname "$(dirname "$zip")")
problem=""
if [ ! -f "$zip" ]; then
  problem="$zip is not made yet (make release makes it)"
else
  newer=$(find "$build/platforms" -path '*/plugins/*' -type f -newer "$zip" 2>/dev/null | head -n 1)
  [ -z "$newer" ] || problem="$zip is older than the plug-ins ($newer; make release makes it again)"
fi
if [ -n "$problem" ]; then
  if [ "${PROXKIT_RELEASE:-}" = required ]; then
    echo "FAIL: $problem"
    exit 1
  fi
  echo "skipped: $problem"
  exit 77
fi
if [ "$1" = --fresh ]; then
  rm -rf "$2"
  shift 2
fi
exec "$@"
