#!/bin/sh
# Installs what building and testing proxkit needs on a Debian or Ubuntu
# machine, and nothing that is already there.
set -eu

packages="cmake make g++ libgtest-dev libbenchmark-dev octave liboctave-dev clang libclang-rt-14-dev valgrind"
# With "cross": what the MATLAB plug-ins of the other platforms need (the
# Windows cross compilers, 32-bit x86 support, wine for their smoke tests).
if [ "${1:-}" = cross ]; then
  packages="g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 g++-multilib wine wine64 wine32:i386"
fi
# make bench-peers also times NumPy, as Debian's system python3 has it.
if [ "${1:-}" = "peers" ]; then packages="$packages python3-numpy"; fi
missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

if ! command -v apt-get >/dev/null 2>&1; then
  echo "proxkit: please install:$missing" >&2
  exit 1
fi
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
echo "proxkit: installing$missing"
export DEBIAN_FRONTEND=noninteractive
case "$missing" in
  *:i386*) $sudo dpkg --add-architecture i386 ;;
esac
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing
