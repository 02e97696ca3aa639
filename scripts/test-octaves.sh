#!/bin/sh
# Builds and tests proxkit under the Octave of each of Debian's later suites:
#   test-octaves.sh CHROOTS [SUITE...]      (suites: trixie sid)
# Each suite gets a chroot CHROOTS/SUITE, made once with debootstrap from the
# mirror apt uses here and kept for the next run.  Inside it, a copy of the
# work tree (its files, no build folders) goes through what a new user does:
# make demo (which installs the packages with scripts/install-deps.sh and
# builds everything), then the Octave tests of both builds and the package's
# pkg install and pkg test (CTest's octave.*, octave-mex.* and install.*
# Octave tests).  A suite the mirror cannot provide, or a machine that
# cannot make chroots, is skipped with the reason; a failure of the build or
# of a test fails.  The last line counts the suites.
set -u

chroots=${1:?usage: test-octaves.sh CHROOTS [SUITE...]}
shift
[ $# -gt 0 ] || set -- trixie sid
source_dir=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$chroots"
chroots=$(cd "$chroots" && pwd)

# The Debian archive that apt here reads (deb822 or one-line sources), the
# security archive aside.
mirror() {
  for file in /etc/apt/sources.list.d/*.sources /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -r "$file" ] || continue
    case "$file" in
      *.sources) uri=$(sed -n 's/^URIs:[[:space:]]*//p' "$file" | tr ' ' '\n' | grep -v -e '-security' -e '^$' | head -n 1) ;;
      *) uri=$(sed -n 's/^deb[[:space:]]\{1,\}\(\[[^]]*\][[:space:]]\{1,\}\)\{0,1\}\([^[:space:]]*\).*/\2/p' "$file" |
               grep -v -e '-security' | head -n 1) ;;
    esac
    [ -n "$uri" ] && { echo "$uri"; return; }
  done
  echo http://deb.debian.org/debian
}

# True when something is mounted at or below $1: nothing is ever removed
# there, so no removal can reach into a mounted file system.
mounted_below() {
  findmnt -rn -o TARGET | while read -r target; do
    case "$target" in "$1" | "$1"/*) exit 1 ;; esac
  done
  [ $? -ne 0 ]
}

remove_tree() {
  if mounted_below "$1"; then
    echo "test-octaves: $1 has a file system mounted in it; not removed" >&2
    return 1
  fi
  rm -rf --one-file-system "$1"
}

# Makes CHROOTS/SUITE once; its marker file says debootstrap completed.
# Returns 2 when the mirror cannot provide the suite, with the reason in
# $reason.
make_chroot() {
  root=$chroots/$1
  [ -e "$root/.proxkit-chroot" ] && return 0
  remove_tree "$root" && remove_tree "$root.partial" || return 1
  echo "test-octaves: $1: debootstrap from $(mirror) (log: $root.log)"
  began=$(date +%s)
  if ! debootstrap --variant=minbase "$1" "$root.partial" "$(mirror)" >"$root.log" 2>&1; then
    reason="debootstrap could not make it from $(mirror): $(grep -E "^E: " "$root.log" | tail -n 1)"
    # debootstrap unmounts what it mounted on its way out; if not, the
    # partial tree stays.
    remove_tree "$root.partial"
    return 2
  fi
  # sid's Release file may be past its validity date between archive runs.
  echo 'Acquire::Check-Valid-Until "false";' >"$root.partial/etc/apt/apt.conf.d/99proxkit"
  mv "$root.partial" "$root" && touch "$root/.proxkit-chroot"
  echo "test-octaves: $1: made in $(( $(date +%s) - began )) s"
}

# Runs the project's own steps in the chroot of a suite, with a fresh /proc
# (no host folder is mounted into it) that is unmounted on every way out.
# Returns 3 when the suite's packages cannot be installed.
test_suite() {
  root=$chroots/$1
  if mountpoint -q "$root/proc"; then
    echo "test-octaves: $root/proc is already mounted (another run?)" >&2
    return 1
  fi
  remove_tree "$root/proxkit" || return 1
  mkdir -p "$root/proxkit" "$root/proxkit-build"
  # Modification times are kept, so the build folder in the chroot is
  # brought up to date rather than rebuilt.
  (cd "$source_dir" && git ls-files --cached --others --exclude-standard |
     while read -r file; do [ -e "$file" ] && echo "$file"; done | tar -cf - -T -) |
    tar -C "$root/proxkit" -xf - || return 1
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  mount -t proc proc "$root/proc" || return 1
  trap 'umount "$root/proc"; exit 130' INT TERM HUP
  env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 TERM=dumb \
    chroot "$root" /bin/sh -c '
      set -e
      cd /proxkit
      # A fresh system lacks even make: the installer brings it, then
      # make demo finds everything it needs.
      # (A run interrupted while apt was installing leaves dpkg to finish.)
      dpkg --configure -a
      # Packages the suite cannot provide today (a stale index, a
      # transition in sid) are a fault of the mirror, not of the build.
      sh scripts/install-deps.sh || exit 3
      make demo BUILD=/proxkit-build FUZZ_BUILD=/proxkit-build-fuzz
      # The downloaded packages are not needed again: a quarter less disk.
      apt-get clean
      echo "test-octaves: $(octave-cli --version | head -n 1), $(g++ --version | head -n 1), $(cmake --version | head -n 1)"
      # Every Octave symbol an .oct file calls, even on a path no test
      # takes, must be one that this Octave exports.
      for plugin in /proxkit-build/octave/*.oct; do
        if ldd -r "$plugin" 2>&1 | grep "undefined symbol"; then exit 1; fi
      done
      cd /proxkit-build
      ctest --output-on-failure -j "$(nproc)" -R "^(octave|octave-mex)\.|^install\.(octave_package|build_script)$"'
  status=$?
  umount "$root/proc"
  trap - INT TERM HUP
  return $status
}

passed=0
failed=0
skipped=0
for suite; do
  began=$(date +%s)
  if [ "$(id -u)" -ne 0 ]; then
    reason="making a chroot needs root"
  elif ! command -v debootstrap >/dev/null 2>&1; then
    reason="debootstrap is not installed"
  else
    make_chroot "$suite"
    case $? in
      0) test_suite "$suite"
         case $? in
           0) echo "test-octaves: $suite: passed in $(( $(date +%s) - began )) s"
              passed=$((passed + 1))
              continue ;;
           3) reason="the mirror cannot provide its packages today (scripts/install-deps.sh, above)" ;;
           *) echo "test-octaves: $suite: FAILED"
              failed=$((failed + 1))
              continue ;;
         esac ;;
      2) ;;
      *) echo "test-octaves: $suite: FAILED (the chroot could not be made)"
         failed=$((failed + 1))
         continue ;;
    esac
  fi
  echo "test-octaves: $suite: skipped: $reason"
  skipped=$((skipped + 1))
done
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
