#!/bin/sh
# The hostile-input calls under valgrind's memcheck, where any invalid read
# or write in a plug-in fails the run:
#   memcheck.sh BUILD [octave | standin]
# octave: the hostile-input battery (tests/host/test_hostile_inputs.m) in
# Octave, against BUILD/octave.  standin: the unit tests, whose plug-in cases
# make the same kinds of hostile calls through the stand-in host, which loads
# the same plug-ins' sources built for it (BUILD/standin) and allocates every
# array to its exact size.  Without a choice, Octave if it starts under
# valgrind here (on some processors valgrind stops at an instruction that a
# library loaded by Octave uses), else the stand-in host.
set -eu
build=$1
octave="octave-cli --no-history --no-init-file --quiet"
host=${2:-}
if [ -z "$host" ]; then
  if valgrind -q --error-exitcode=99 $octave --eval "exit (0)" >/dev/null 2>&1; then
    host=octave
  else
    host=standin
    echo "memcheck: Octave does not start under valgrind on this machine"
  fi
fi
case $host in
  octave)
    echo "memcheck: the hostile-input battery in Octave"
    exec valgrind --tool=memcheck --error-exitcode=1 \
      $octave --eval "addpath('$build/octave', 'tests/host'); test_hostile_inputs" ;;
  standin)
    echo "memcheck: the unit tests' hostile calls through the stand-in host"
    exec valgrind --tool=memcheck --error-exitcode=1 "$build/tests/unit_tests-standin" ;;
  *) echo "memcheck.sh: no host '$host' (octave or standin)" >&2; exit 2 ;;
esac
