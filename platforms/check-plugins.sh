#!/bin/sh
# Checks plug-ins built for MATLAB against the host's rules:
#   check-plugins.sh [--macos-minimum VERSION] PLATFORM FILE...
# - the file format of the platform; on macOS a bundle in the two-level
#   namespace, built for the oldest macOS given, and on Apple silicon signed
#   (ad hoc), as that system runs no unsigned code;
# - exactly the exports of the files MATLAB's own mex makes: on the 64-bit
#   platforms mexFunction and mexfilerequiredapiversion, on the 32-bit ones
#   mexFunction alone; undecorated on Windows, under the version MEX on Linux
#   (mexFunction@@MEX), with a leading underscore on macOS;
# - host operations only from the lists in plugins/matlab/*.def, on the
#   large-array interface: the unversioned _730 names that today's MATLAB
#   exports on every platform, except on 32-bit Linux (glnx86), whose MATLAB
#   exported them under their plain names with the libmx symbol version
#   v7.3; no _700 name of the 32-bit-dimension interface;
# - no library beyond the host's and the system's, and no run path; on macOS
#   MATLAB's libraries asked for at their version, 0.0.0, and every other
#   call bound to the system's libSystem or libc++, none looked up in a flat
#   namespace;
# - wide instructions (VEX or EVEX encoded, ymm, zmm or mask registers) only
#   inside the functions compiled for a wide instruction set, whose symbols
#   name it (avx2, avx512): the kernels choose those at run time, so a
#   plug-in still runs on any x86 processor of its platform.  Every
#   instruction is traced to the symbol it lies under, so the plug-in must
#   keep its symbol table; a stripped one fails if it holds any wide
#   instruction;
# - on Windows x86-64, no aligned wide move at all: the x64 ABI aligns the
#   stack to 16 bytes only, and GCC would spill wide registers to it with
#   aligned moves;
# - on Apple silicon, no fused multiply-add, which would round differently
#   from every other platform.
# Mach-O files are read with LLVM's tools (llvm-objdump, llvm-nm).
set -eu
here=$(dirname "$0")
macos_minimum=""
if [ "$1" = --macos-minimum ]; then
  macos_minimum=$2
  shift 2
fi
platform=$1
shift

large_form=_730
objdump=objdump
case $platform in
  glnxa64) format=elf64-x86-64; export="mexFunction@@MEX mexfilerequiredapiversion@@MEX" ;;
  glnx86) format=elf32-i386; export=mexFunction@@MEX; large_form=@v7.3 ;;
  win64) format=pei-x86-64; export="mexFunction mexfilerequiredapiversion" ;;
  win32) format=pei-i386; export=mexFunction ;;
  maci64) format="mach-o 64-bit x86-64"; export="_mexFunction _mexfilerequiredapiversion"; objdump=llvm-objdump ;;
  maca64) format="mach-o arm64"; export="_mexFunction _mexfilerequiredapiversion"; objdump=llvm-objdump ;;
  *) echo "unknown platform $platform" >&2; exit 2 ;;
esac
if [ "$objdump" = llvm-objdump ] && [ -z "$macos_minimum" ]; then
  echo "$platform: the oldest macOS (--macos-minimum) is missing" >&2
  exit 2
fi
host_operations=$(sed -n 's/^  \([a-zA-Z_0-9]*\)$/\1/p' "$here/../plugins/matlab/libmx.def" "$here/../plugins/matlab/libmex.def")

failed=0
fail() {
  echo "FAIL $file: $*"
  file_failed=1
  failed=1
}

for file in "$@"; do
  file_failed=0
  if [ ! -f "$file" ]; then fail "missing"; continue; fi
  actual=$($objdump -f "$file" 2>/dev/null | sed -n 's/.*file format //p')
  [ "$actual" = "$format" ] || fail "file format $actual, expected $format"
  exports=$(sh "$here/exports.sh" "$file" | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')
  [ "$exports" = "$export" ] || fail "exports '$exports', expected exactly '$export'"

  case $format in
    elf*)
      imports=$(nm -D --undefined-only "$file" | awk '$1 == "U" { print $2 }' | grep -E '^(mx|mex)[A-Z]' || true)
      libraries=$(objdump -p "$file" | awk '$1 == "NEEDED" { print $2 }')
      allowed_libraries="libmx.so libmex.so libc.so.6 libm.so.6"
      if objdump -p "$file" | grep -qE '^ *(RPATH|RUNPATH) '; then fail "carries a run path"; fi ;;
    pe*)
      imports=$(objdump -p "$file" | awk '/DLL Name: lib(mx|mex)\.dll/ { on = 1; next }
                                         /DLL Name:/ || NF == 0 { on = 0 }
                                         on && $NF != "Member-Name" && $NF !~ /Bound-To/ { print $NF }')
      libraries=$(objdump -p "$file" | sed -n 's/.*DLL Name: //p')
      allowed_libraries="libmx.dll libmex.dll KERNEL32.dll msvcrt.dll" ;;
    mach-o*)
      header=$(llvm-objdump --macho --private-header "$file" | awk 'NR == 3')
      case " $header " in *" BUNDLE "*) ;; *) fail "not a bundle: $header" ;; esac
      case " $header " in *" TWOLEVEL "*) ;; *) fail "not in the two-level namespace: $header" ;; esac
      commands=$(llvm-objdump --macho --private-headers "$file")
      minimum=$(echo "$commands" | awk '$1 == "minos" || ($1 == "version" && macos) { print $2; exit }
                                        $2 == "LC_VERSION_MIN_MACOSX" { macos = 1 }')
      [ "$minimum" = "$macos_minimum" ] || fail "built for macOS $minimum and later, expected $macos_minimum"
      if echo "$commands" | grep -q 'cmd LC_RPATH$'; then fail "carries a run path"; fi
      if [ "$platform" = maca64 ] && ! echo "$commands" | grep -q 'cmd LC_CODE_SIGNATURE$'; then
        fail "unsigned: Apple silicon runs no unsigned code"
      fi
      # "(undefined) external _mxGetPr (from libmx)": each call and the library bound to it.
      bindings=$(llvm-nm -m --undefined-only "$file" | sed -n 's/.*(undefined) \(weak \)\{0,1\}external \([^ ]*\)\( (\(.*\))\)\{0,1\}$/\2 \4/p')
      imports=$(echo "$bindings" | awk '$2 == "from" && ($3 == "libmx" || $3 == "libmex") { print substr($1, 2) }')
      elsewhere=$(echo "$bindings" | awk 'NF && !($2 == "from" && $3 ~ /^(libmx|libmex|libSystem|libc\+\+)$/) {
                                            symbol = $1; $1 = ""; print symbol " (" (NF > 1 ? substr($0, 2) : "flat namespace") ")" }')
      [ -z "$elsewhere" ] || fail "calls bound to no host or system library: $(echo $elsewhere)"
      libraries=$(llvm-objdump --macho --dylibs-used "$file" | awk 'NR > 1 { print $1 }')
      # MATLAB's libraries are at version 0.0.0: a bundle asking for a later
      # one would not load.
      versioned=$(llvm-objdump --macho --dylibs-used "$file" | awk '{ version = $4; sub(/,$/, "", version) }
                                                                    $1 ~ /^@rpath\/libme?x\.dylib$/ && version != "0.0.0" { print $1, version }')
      [ -z "$versioned" ] || fail "asks for a later version of MATLAB's libraries than 0.0.0: $(echo $versioned)"
      allowed_libraries="@rpath/libmx.dylib @rpath/libmex.dylib /usr/lib/libSystem.B.dylib /usr/lib/libc++.1.dylib" ;;
  esac

  # Every plug-in calls the host and has code: a listing read as empty is
  # a listing this script no longer understands.
  [ -n "$imports" ] || fail "calls no host operation that could be read ($objdump's listing of its imports)"
  for library in $libraries; do
    case " $allowed_libraries " in *" $library "*) ;; *) fail "needs $library" ;; esac
  done
  for symbol in $imports; do
    case $symbol in
      *_700) fail "calls $symbol, of the 32-bit-dimension interface" ;;
      *_730 | *@v7.3)
        case $symbol in *"$large_form") ;; *) fail "calls $symbol; this platform's MATLAB exports the *$large_form form" ;; esac ;;
      *@*) fail "calls $symbol, bound to a symbol version this platform's MATLAB does not define" ;;
    esac
    # A plain name under the version v7.3 is 32-bit Linux's form of the _730 one.
    case $symbol in
      *@v7.3) listed=${symbol%@v7.3}_730 ;;
      *) listed=$symbol ;;
    esac
    echo "$host_operations" | grep -qx "$listed" || fail "calls $symbol, which is no listed host operation"
  done
  # Each instruction, as "symbol<TAB>instruction".
  instructions=$($objdump -d --no-show-raw-insn "$file" | awk -F '\t' '
    /^[0-9a-f]+ <.*>:$/ { symbol = substr($0, index($0, "<") + 1); sub(/>:$/, "", symbol); next }
    NF >= 2 && $1 ~ /^ *[0-9a-f]+: *$/ { print (symbol == "" ? "(no symbol)" : symbol) "\t" substr($0, length($1) + 2) }')
  [ -n "$instructions" ] || fail "no instruction could be read ($objdump -d)"
  if [ "$platform" = maca64 ]; then
    fused=$(printf '%s\n' "$instructions" | awk -F '\t' '$2 ~ /^f(n?m(add|sub)|ml[as])$/ { print $1 }' | sort -u | head -5)
    [ -z "$fused" ] || fail "fused multiply-adds in: $(echo $fused)"
  fi
  # Each wide instruction, likewise.
  wide=$(printf '%s\n' "$instructions" | awk -F '\t' '
    NF >= 2 {
      instruction = substr($0, length($1) + 2)
      sub(/^\{[a-z]+\} */, "", instruction)
      if ((instruction ~ /^v[a-z]/ && instruction !~ /^ver[rw][ \t]/) || instruction ~ /%[yz]mm[0-9]|%k[0-7]/)
        print $1 "\t" instruction
    }')
  outside=$(printf '%s\n' "$wide" | awk -F '\t' 'NF && $1 !~ /avx2|avx512/ { print $1 }' | sort -u | head -5)
  [ -z "$outside" ] || fail "wide instructions outside the avx2 and avx512 functions, in: $(echo $outside)"
  if [ "$platform" = win64 ]; then
    aligned=$(printf '%s\n' "$wide" | awk -F '\t' '$2 ~ /^vmov(ap[sd]|dqa|nt)/' | head -3)
    [ -z "$aligned" ] || fail "aligned wide moves: $(echo $aligned)"
  fi
  wide_count=$(printf '%s\n' "$wide" | grep -c . || true)
  [ $file_failed -ne 0 ] || echo "ok $file: exports $exports; calls $(echo $imports); $wide_count wide instructions, all in avx2 and avx512 functions"
done
exit $failed
