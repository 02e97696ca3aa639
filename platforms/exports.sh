#!/bin/sh
# Prints the symbols that a plug-in file exports, one a line: name@@VERSION
# for an ELF shared object, the bare name for a Windows DLL.  (The absolute
# symbol that names an ELF version node is not an export.)
set -eu
case "$(objdump -f "$1" | sed -n 's/.*file format //p')" in
  elf*) nm -D --defined-only "$1" | awk '$2 != "A" { print $3 }' ;;
  pe*) objdump -p "$1" | awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
                             on && NF == 0 { on = 0 }
                             on { print $NF }' ;;
  *) echo "$1: not a plug-in this script knows" >&2; exit 1 ;;
esac
