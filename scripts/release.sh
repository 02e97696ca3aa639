#!/bin/sh
# The release in BUILD/release: proxkit-VERSION-matlab.zip, one folder
# proxkit/ with the MATLAB plug-ins of every platform dist gathered (side by
# side: their extensions differ), each function's help file, Contents.m, the
# examples, the host test suite and its runner, README.md and docs/, COPYING,
# VERSION, PLATFORMS.txt (the platforms it holds and those left out, with
# the reason) and MANIFEST.sha256 (every other file's SHA-256); the Octave package; and
# SHA256SUMS of both.
#   release.sh SOURCE BUILD VERSION
set -eu
source=$1
build=$2
version=$3
dist=$source/dist
release=$build/release
stage=$build/release-stage
folder=$stage/proxkit
rm -rf "$release" "$stage"
mkdir -p "$release" "$folder/examples" "$folder/tests"

: >"$folder/PLATFORMS.txt"
for platform in glnxa64 glnx86 win64 win32 maci64 maca64; do
  reason=$(sed -n "s/^$platform: //p" "$build/platforms/left-out.txt")
  if [ -n "$reason" ]; then
    echo "$platform: left out: $reason" >>"$folder/PLATFORMS.txt"
  elif [ -d "$dist/$platform" ]; then
    cp "$dist/$platform"/* "$folder/"
    echo "$platform: $(cd "$dist/$platform" && ls | tr '\n' ' ' | sed 's/ $//')" >>"$folder/PLATFORMS.txt"
  else
    echo "release: $dist/$platform is missing: run the dist target first" >&2
    exit 1
  fi
done
cp "$source"/inst/*.m "$folder/"
cp "$source"/examples/*.m "$folder/examples/"
cp "$source"/tests/host/*.m "$folder/tests/"
# The cross-check compares the two Octave builds, which the zip does not hold.
rm "$folder/tests/cross_check_builds.m"
cp "$source/README.md" "$source/COPYING" "$folder/"
# The README links into docs/.
mkdir "$folder/docs"
cp "$source"/docs/*.md "$folder/docs/"
echo "$version" >"$folder/VERSION"
(cd "$folder" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum >"$stage/MANIFEST.sha256")
mv "$stage/MANIFEST.sha256" "$folder/"

zip_name=proxkit-$version-matlab.zip
(cd "$stage" && zip -qrX "$zip_name" proxkit && mv "$zip_name" "$release/")
sed 's/^/release: /' "$folder/PLATFORMS.txt"
rm -rf "$stage"
cp "$build/proxkit-$version.tar.gz" "$release/"
(cd "$release" && sha256sum "$zip_name" "proxkit-$version.tar.gz" >SHA256SUMS)
echo "release: $(cd "$release" && ls | tr '\n' ' ')in $release"
