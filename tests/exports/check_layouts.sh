#!/bin/sh
# platforms/exports.sh on what each binutils prints for a Windows plug-in's
# export table, through a stand-in objdump that prints a recorded listing:
#   check_layouts.sh EXPORTS_SH SCRATCH
set -eu
exports=$1
scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch/bin"
cat >"$scratch/bin/objdump" <<'STANDIN'
#!/bin/sh
case $1 in
  -f) printf '\n%s:     file format pei-x86-64\n' "$2" ;;
  -p) cat "$2" ;;
esac
STANDIN
chmod +x "$scratch/bin/objdump"

# binutils 2.40 (Debian 12)
cat >"$scratch/binutils-2.40" <<'LISTING'
Export Address Table -- Ordinal Base 1
	[   0] +base[   1] 1450 Export RVA
	[   1] +base[   2] 1460 Export RVA

[Ordinal/Name Pointer] Table
	[   0] mexFunction
	[   1] mexfilerequiredapiversion

The Function Table (interpreted .pdata section contents)
LISTING
# binutils 2.44 (Debian 13)
cat >"$scratch/binutils-2.44" <<'LISTING'
Export Address Table -- Ordinal Base 1
	[   0] +base[   1] 1450 Export RVA
	[   1] +base[   2] 1460 Export RVA

[Ordinal/Name Pointer] Table -- Ordinal Base 1
	          Ordinal   Hint Name
	[   0] +base[   1]  0000 mexFunction
	[   1] +base[   2]  0001 mexfilerequiredapiversion

The Function Table (interpreted .pdata section contents)
LISTING

failed=0
for listing in binutils-2.40 binutils-2.44; do
  read=$(PATH="$scratch/bin:$PATH" sh "$exports" "$scratch/$listing" | tr '\n' ' ')
  if [ "$read" = "mexFunction mexfilerequiredapiversion " ]; then
    echo "ok $listing: $read"
  else
    echo "FAIL $listing: read '$read', expected 'mexFunction mexfilerequiredapiversion '"
    failed=1
  fi
done
exit $failed
