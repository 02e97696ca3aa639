#!/bin/sh
# Builds and tests proxkit under the Octave of each of Debian's later suites:
#   test-octaves.sh [--make-test] CHROOTS [SUITE...]   (suites: trixie sid)
# Each suite gets a chroot CHROOTS/SUITE, made once with debootstrap from the
# Debian mirror apt uses here (debootstrap is installed first where it is
# missing) and kept for the next run, brought up to date at each.  Inside it,
# a copy of the work tree (its files, no build folders) goes through what a
# new user does: make demo (which installs the packages with
# scripts/install-deps.sh and builds everything), then the Octave tests of
# both builds and the package's pkg install and pkg test (CTest's octave.*,
# octave-mex.* and install.* Octave tests).  --make-test runs the whole make
# test instead (by default in trixie, Debian's current stable release).
# Each source tree has a build folder of its own in each chroot, and one run
# at a time holds a chroot (a second one waits for it).
# A suite is skipped, with the reason, only where apt says no: the mirror
# has no such suite, or apt cannot install the packages it needs; likewise a
# machine without root (to make a chroot), unless CI is true.  Everything
# else fails.  The last line counts the suites.
set -u

whole=""
if [ "${1:-}" = --make-test ]; then
  whole=1
  shift
fi
chroots=${1:?usage: test-octaves.sh [--make-test] CHROOTS [SUITE...]}
shift
if [ $# -eq 0 ]; then
  if [ -n "$whole" ]; then set -- trixie; else set -- trixie sid; fi
fi
# Suite names become paths under CHROOTS.
for suite; do
  case $suite in
    "" | [!a-z]* | *[!a-z0-9-]*)
      echo "test-octaves: '$suite' is no suite name (^[a-z][a-z0-9-]*\$); nothing done" >&2
      exit 2 ;;
  esac
done
source_dir=$(cd "$(dirname "$0")/.." && pwd -P)
mkdir -p "$chroots" || exit 1
chroots=$(cd "$chroots" && pwd -P) || exit 1
# The build folder of this source tree in each chroot.
build=/proxkit-build/$(printf '%s' "$source_dir" | sha256sum | cut -c 1-16)

# The Debian archive that apt here reads (deb822 or one-line sources), the
# security archive and any other distribution's aside.
mirror() {
  for file in /etc/apt/sources.list.d/*.sources /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -r "$file" ] || continue
    case "$file" in
      *.sources) uris=$(sed -n 's/^URIs:[[:space:]]*//p' "$file" | tr ' ' '\n') ;;
      *) uris=$(sed -n 's/^deb[[:space:]]\{1,\}\(\[[^]]*\][[:space:]]\{1,\}\)\{0,1\}\([^[:space:]]*\).*/\2/p' "$file") ;;
    esac
    uri=$(echo "$uris" | grep -E '^https?://[^[:space:]]+/debian/?$' | head -n 1)
    [ -n "$uri" ] && { echo "$uri"; return; }
  done
  echo http://deb.debian.org/debian
}

# True when something is mounted at or below the physical path $1, read
# from the kernel's own table, whose mount points escape space, tab,
# newline and backslash as octal.
mounted_below() {
  while read -r _ _ _ _ target _; do
    target=$(printf '%b' "$(printf '%s' "$target" | sed 's/\\\([0-7][0-7][0-7]\)/\\0\1/g')")
    case "$target" in "$1" | "$1"/*) return 0 ;; esac
  done </proc/self/mountinfo
  return 1
}

# Nothing is ever removed where a file system is mounted, so no removal
# can reach into one.
remove_tree() {
  if mounted_below "$1"; then
    echo "test-octaves: $1 has a file system mounted in it; not removed" >&2
    return 1
  fi
  rm -rf --one-file-system "$1"
}

# Writes standard input to FILE under a chroot as a new file, replacing
# whatever FILE is there (a link the chroot holds among them) without
# following it.
write_in_chroot() {
  new=$(mktemp "$1.XXXXXX") && cat >"$new" && chmod "$2" "$new" && mv -fT "$new" "$1"
}

# Makes CHROOTS/SUITE once; its marker file says debootstrap completed.
# Returns 2 when the mirror has no such suite, with the reason in $reason.
make_chroot() {
  root=$chroots/$1
  [ -e "$root/.proxkit-chroot" ] && return 0
  remove_tree "$root" && remove_tree "$root.partial" || return 1
  echo "test-octaves: $1: debootstrap from $(mirror) (log: $root.log)"
  began=$(date +%s)
  if ! debootstrap --variant=minbase "$1" "$root.partial" "$(mirror)" >"$root.log" 2>&1; then
    error=$(grep -E "^E: " "$root.log" | tail -n 1)
    # debootstrap unmounts what it mounted on its way out; if not, the
    # partial tree stays.
    if grep -q "^E: Failed getting release file" "$root.log" &&
       grep -qs "ERROR 404" "$root.partial/debootstrap/debootstrap.log"; then
      reason="the mirror $(mirror) has no suite $1 ($error)"
      remove_tree "$root.partial"
      return 2
    fi
    echo "test-octaves: $1: debootstrap failed: $error (log: $root.log)" >&2
    remove_tree "$root.partial"
    return 1
  fi
  # sid's Release file may be past its validity date between archive runs.
  echo 'Acquire::Check-Valid-Until "false";' >"$root.partial/etc/apt/apt.conf.d/99proxkit" &&
    mv "$root.partial" "$root" && touch "$root/.proxkit-chroot" || return 1
  echo "test-octaves: $1: made in $(( $(date +%s) - began )) s"
}

# Unmounts the chroot's /proc, lazily where a process left in the chroot
# keeps it busy.
unmount_proc() {
  mountpoint -q "$root/proc" || return 0
  umount "$root/proc" && return 0
  if umount -l "$root/proc"; then
    echo "test-octaves: $root/proc was busy (a process left in the chroot?): unmounted lazily" >&2
    return 0
  fi
  echo "test-octaves: $root/proc could not be unmounted; unmount it before the next run" >&2
  return 1
}

# Runs the project's own steps in the chroot of a suite, with a fresh /proc
# (no host folder is mounted into it) that is unmounted on every way out.
# Returns 75 when apt cannot install the suite's packages, with apt's reason
# in $reason.
test_suite() {
  root=$chroots/$1
  run=$root/proxkit-run
  for path in "$root" "$root/etc" "$root/proc" "$root/usr/sbin"; do
    if [ -L "$path" ] || [ ! -d "$path" ]; then
      echo "test-octaves: $path is not a folder of the chroot's own; refused" >&2
      return 1
    fi
  done
  if mountpoint -q "$root/proc"; then
    echo "test-octaves: $root/proc is still mounted by an earlier run; unmount it first" >&2
    return 1
  fi
  remove_tree "$root/proxkit" && remove_tree "$run" || return 1
  mkdir -p "$root/proxkit" "$run" || return 1
  # The work tree's files, those git would commit, as they are now.
  if ! (cd "$source_dir" && git ls-files --cached --others --exclude-standard) >"$run/listed"; then
    echo "test-octaves: git could not list the files of $source_dir" >&2
    return 1
  fi
  (cd "$source_dir" && while read -r file; do [ -e "$file" ] && echo "$file"; done) <"$run/listed" >"$run/files"
  if ! tar -C "$source_dir" -cf "$run/copy.tar" -T "$run/files" || ! tar -C "$root/proxkit" -xf "$run/copy.tar"; then
    echo "test-octaves: the work tree could not be copied into $root/proxkit" >&2
    return 1
  fi
  rm -f "$run/copy.tar"
  if [ ! -f "$root/proxkit/scripts/install-deps.sh" ]; then
    echo "test-octaves: the copy in $root/proxkit holds no scripts/install-deps.sh" >&2
    return 1
  fi
  write_in_chroot "$root/etc/resolv.conf" 644 </etc/resolv.conf || return 1
  # No service that a package installs starts in the chroot.
  printf '#!/bin/sh\nexit 101\n' | write_in_chroot "$root/usr/sbin/policy-rc.d" 755 || return 1
  trap 'unmount_proc; exit 130' INT TERM HUP
  mount -t proc proc "$root/proc" || { trap - INT TERM HUP; return 1; }
  if [ -n "$whole" ]; then
    steps="make test BUILD=$build FUZZ_BUILD=$build-fuzz"
  else
    steps="make demo BUILD=$build FUZZ_BUILD=$build-fuzz
      # Every Octave symbol an .oct file calls, even on a path no test
      # takes, must be one that this Octave exports.
      for plugin in $build/octave/*.oct; do
        [ -e \"\$plugin\" ] || { echo \"test-octaves: no .oct file in $build/octave\"; exit 1; }
        if ldd -r \"\$plugin\" 2>&1 | grep \"undefined symbol\"; then exit 1; fi
      done
      cd $build
      ctest --output-on-failure --no-tests=error -j \"\$(nproc)\" -R \"^(octave|octave-mex)\\.|^install\\.(octave_package|build_script)\$\""
  fi
  env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 TERM=dumb \
    chroot "$root" /bin/sh -c '
      set -e
      cd /proxkit
      # (A run interrupted while apt was installing leaves dpkg to finish.)
      dpkg --configure -a
      # The suite as it is today: sid moves every day.
      export DEBIAN_FRONTEND=noninteractive
      apt-get -q update >/proxkit-run/apt.log 2>&1 ||
        echo "test-octaves: apt-get update failed ($(grep "^E: " /proxkit-run/apt.log | head -n 1)); upgrading from the indexes it read"
      if ! apt-get -y -q upgrade >>/proxkit-run/apt.log 2>&1; then
        tail -n 20 /proxkit-run/apt.log
        exit 1
      fi
      # A fresh system lacks even make: the installer brings it, then
      # make finds everything it needs.  Its status 75 is apt refusing the
      # packages (a stale index, a transition in sid): a fault of the
      # mirror, not of the build.
      status=0
      sh scripts/install-deps.sh 2>/proxkit-run/installer.err || status=$?
      cat /proxkit-run/installer.err >&2
      [ "$status" -eq 0 ] || exit "$status"
      octave-cli --version | head -n 1 >/proxkit-run/octave-version
      echo "test-octaves: $(cat /proxkit-run/octave-version), $(g++ --version | head -n 1), $(cmake --version | head -n 1)"
      '"$steps"'
      # The downloaded packages are not needed again: a quarter less disk.
      apt-get clean' 9>&-
  status=$?
  unmount_proc || status=1
  trap - INT TERM HUP
  if [ "$status" -eq 75 ]; then
    reason="apt cannot install what it needs: $(tail -n 1 "$run/installer.err" | sed 's/^proxkit: //')"
  fi
  octave_version=$(cat "$run/octave-version" 2>/dev/null)
  return $status
}

# Where this machine cannot make chroots: a skip, or in CI a failure.
cannot() {
  reason=$1
  [ "${CI:-}" = true ] && reason="" && echo "test-octaves: $suite: FAILED: $1 (CI is true)"
}

passed=0
failed=0
skipped=0
skips=""
for suite; do
  began=$(date +%s)
  reason=""
  octave_version=""
  if [ "$(id -u)" -ne 0 ]; then
    cannot "making a chroot needs root"
  elif ! command -v debootstrap >/dev/null 2>&1 && { sh "$source_dir/scripts/install-deps.sh" chroots; status=$?; [ $status -ne 0 ]; }; then
    if [ $status -eq 75 ]; then
      cannot "debootstrap cannot be installed (scripts/install-deps.sh, above)"
    else
      echo "test-octaves: $suite: FAILED: scripts/install-deps.sh chroots failed ($status)"
    fi
  else
    # One run at a time in a chroot; the lock file is never removed.
    exec 9>>"$chroots/.$suite.lock"
    if ! flock -n 9; then
      echo "test-octaves: $suite: another run is using $chroots/$suite; waiting for it"
      flock 9
    fi
    make_chroot "$suite"
    case $? in
      0) test_suite "$suite"
         case $? in
           0) echo "test-octaves: $suite: passed in $(( $(date +%s) - began )) s ($octave_version)"
              passed=$((passed + 1)) ;;
           75) ;;
           *) echo "test-octaves: $suite: FAILED${octave_version:+ ($octave_version)}"
              failed=$((failed + 1)) ;;
         esac ;;
      2) ;;
      *) echo "test-octaves: $suite: FAILED (the chroot could not be made)"
         failed=$((failed + 1)) ;;
    esac
    exec 9>&-
    [ -n "$reason" ] || continue
  fi
  if [ -z "$reason" ]; then
    failed=$((failed + 1))
    continue
  fi
  echo "test-octaves: $suite: skipped: $reason"
  skipped=$((skipped + 1))
  skips="$skips; $suite: $reason"
done
echo "$passed passed, $failed failed, $skipped skipped${skips:+ (${skips#; })}"
[ "$failed" -eq 0 ]
