#!/bin/sh
# Installs what building and testing proxkit needs on a Debian or Ubuntu
# machine, and nothing that is already there:
#   install-deps.sh            the build, the tests, Octave, the fuzzers
#   install-deps.sh cross      the MATLAB plug-ins of the other platforms
#   install-deps.sh peers      NumPy, for make bench-peers
# It prints one line per group of missing packages; apt's own output goes
# to a log, shown only when the installation fails.
set -eu

case "${1:-}" in
  cross) groups="Windows cross compilers|g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
32-bit x86 builds|g++-multilib
wine, for the Windows smoke tests|wine wine64 wine32:i386" ;;
  peers) groups="NumPy, for the peer benchmarks|python3-numpy" ;;
  *) groups="build tools|cmake make g++
GoogleTest and Google Benchmark|libgtest-dev libbenchmark-dev
GNU Octave and mkoctfile|octave liboctave-dev
clang with its sanitizer and libFuzzer runtimes|clang libclang-rt-14-dev
valgrind|valgrind" ;;
esac

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=""
lines=""
newline='
'
while IFS='|' read -r label packages; do
  absent=""
  for p in $packages; do installed "$p" || absent="$absent $p"; done
  [ -z "$absent" ] && continue
  missing="$missing$absent"
  lines="$lines  $label:$absent$newline"
done <<EOF_GROUPS
$groups
EOF_GROUPS
[ -z "$missing" ] && exit 0

if ! command -v apt-get >/dev/null 2>&1; then
  printf 'proxkit: please install:\n%s' "$lines" >&2
  exit 1
fi
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
log="${TMPDIR:-/tmp}/proxkit-install.log"
printf 'proxkit: installing with apt-get (log: %s):\n%s' "$log" "$lines"
began=$(date +%s)
export DEBIAN_FRONTEND=noninteractive
if ! {
  case "$missing" in
    *:i386*) $sudo dpkg --add-architecture i386 ;;
  esac
  $sudo apt-get update -q &&
    # shellcheck disable=SC2086
    $sudo apt-get install -y -q --no-install-recommends $missing
} >"$log" 2>&1; then
  tail -n 30 "$log" >&2
  echo "proxkit: the installation failed; the whole log is $log" >&2
  exit 1
fi
echo "proxkit: installed in $(( $(date +%s) - began )) s"
