#!/bin/sh
# Gathers plug-ins into a distribution folder, one folder per platform, with
# a manifest of each file, its platform and the symbols it exports, and
# says which platforms it leaves out and why (LEFT_OUT: one a line):
#   dist.sh DIST LEFT_OUT PLATFORM:FILE...
set -eu
here=$(dirname "$0")
dist=$1
left_out=$2
shift 2
mkdir -p "$dist"
for item in "$@"; do rm -rf "$dist/${item%%:*}"; done
manifest="$dist/MANIFEST.tsv"
printf 'file\tplatform\texports\n' > "$manifest"
for item in "$@"; do
  platform=${item%%:*}
  file=${item#*:}
  mkdir -p "$dist/$platform"
  cp "$file" "$dist/$platform/"
  exports=$(sh "$here/exports.sh" "$file" | tr '\n' ' ' | sed 's/ $//')
  printf '%s\t%s\t%s\n' "$platform/$(basename "$file")" "$platform" "$exports" >> "$manifest"
done
echo "dist: $# plug-ins in $dist (manifest: $manifest)"
while IFS= read -r platform_and_reason; do
  rm -rf "$dist/${platform_and_reason%%:*}"
  echo "dist: left out $platform_and_reason"
done <"$left_out"
