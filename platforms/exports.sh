#!/bin/sh
# Prints the symbols that a plug-in file exports, one a line: name@@VERSION
# for an ELF shared object, the bare name for a Windows DLL, the name with
# its leading underscore for a Mach-O bundle (read with llvm-objdump).  (The
# absolute symbol that names an ELF version node is not an export.)
set -eu
format=$(objdump -f "$1" 2>/dev/null | sed -n 's/.*file format //p')
[ -n "$format" ] || format=$(llvm-objdump -f "$1" 2>/dev/null | sed -n 's/.*file format //p')
case $format in
  elf*) nm -D --defined-only "$1" | awk '$2 != "A" { print $3 }' ;;
  # The rows of the name table, "[   0] mexFunction" (binutils 2.40) or
  # "[   0] +base[   1]  0000 mexFunction" under a header row (2.44): the
  # name is a row's last field whatever columns come before it.
  pe*) objdump -p "$1" | awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
                             on && NF == 0 { on = 0 }
                             on && /^[ \t]*\[ *[0-9]+\]/ { print $NF }' ;;
  mach-o*) llvm-objdump --macho --exports-trie "$1" | awk '$1 ~ /^0x[0-9A-Fa-f]+$/ { print $2 }' ;;
  *) echo "$1: not a plug-in this script knows" >&2; exit 1 ;;
esac
