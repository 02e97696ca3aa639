#!/bin/sh
# The host calls of the plug-ins built for MATLAB are named in one place,
# plugins/matlab/libmx.def and libmex.def (the Windows import libraries and
# the macOS stub libraries are made from them).  Checks everything else that
# names them against that list:
#   check-host-calls.sh LIBMX LIBMEX PLUGIN...
# given one platform build's stand-in libmx and libmex (host/matlab) and its
# plug-ins:
# - the plug-ins, taken together, call every listed operation and no other,
#   so that a call no plug-in makes any more cannot stay listed;
# - the stand-in libraries export the listed operations and no other;
# - plugins/matlab/mex.h declares each listed operation (under its plain
#   name, which PROXKIT_MX_DIMS gives the suffix of the plug-in's array
#   interface, _700 or _730) and no other.
set -eu
here=$(dirname "$0")
libmx=$1
libmex=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

host_names() { grep -E '^(mx|mex)[A-Z]' | grep -v '^mexFunction$' | sort -u; }
sed -n 's/^  \([a-zA-Z_0-9]*\)$/\1/p' "$here/../plugins/matlab/libmx.def" "$here/../plugins/matlab/libmex.def" |
  host_names >"$work/listed"
sed 's/_7[03]0$//' "$work/listed" | sort -u >"$work/listed-plain"
for plugin in "$@"; do nm -D --undefined-only "$plugin"; done | awk '{ print $NF }' | host_names >"$work/called"
nm -D --defined-only "$libmx" "$libmex" | awk 'NF == 3 { print $3 }' | host_names >"$work/exported"
grep -oE '\b(mx|mex)[A-Z][A-Za-z]*[ ]*\(' "$here/../plugins/matlab/mex.h" | tr -d ' (' | host_names >"$work/declared"

failed=0
compare() {  # what, expected list, actual list
  if ! cmp -s "$2" "$3"; then
    echo "FAIL $1 (- listed only, + $1 only):"
    diff "$2" "$3" | sed -n 's/^< /  - /p; s/^> /  + /p'
    failed=1
  fi
}
compare "calls the plug-ins make" "$work/listed" "$work/called"
compare "operations the stand-in libmx and libmex export" "$work/listed" "$work/exported"
compare "operations plugins/matlab/mex.h declares" "$work/listed-plain" "$work/declared"
[ $failed -eq 0 ] && echo "ok: the $(wc -l <"$work/listed") listed host calls are the ones the $# plug-ins make, the stand-in exports and mex.h declares"
exit $failed
