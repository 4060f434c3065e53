#!/usr/bin/env bash
# Builds the 32-bit and 64-bit programs and packs them, with the README, its screenshots
# and the licence, into build/quillbar-<version>.zip; then checks the zip's listing.
# The version comes from the VERSION file, as the programs' own version does.
set -eu -o pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$QUILLBAR_ROOT"

version=$(head -n 1 VERSION)
name="quillbar-$version"
zipfile="$QUILLBAR_ROOT/build/$name.zip"

build_preset win32
build_preset win64

stage=$(mktemp -d /tmp/quillbar-package.XXXXXX)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/$name/win32" "$stage/$name/win64"
for arch in win32 win64; do
    cp "build/$arch/qlbar.exe" "build/$arch/qlgroup.exe" "$stage/$name/$arch/"
done
cp README.md LICENSE "$stage/$name/"
# The README shows these pictures; the zip carries them so that it reads the same.
if compgen -G 'docs/screenshots/*.png' >/dev/null; then
    mkdir -p "$stage/$name/docs/screenshots"
    cp docs/screenshots/*.png "$stage/$name/docs/screenshots/"
fi

rm -f "$zipfile"
(cd "$stage" && zip -q -r -X "$zipfile" "$name")

# Every file the README promises must be in the zip.
listing=$(unzip -Z1 "$zipfile")
missing=0
for entry in README.md LICENSE win32/qlbar.exe win32/qlgroup.exe win64/qlbar.exe win64/qlgroup.exe; do
    if ! grep -qx "$name/$entry" <<<"$listing"; then
        log "missing from $zipfile: $name/$entry"
        missing=1
    fi
done
[ "$missing" -eq 0 ] || exit 1
unzip -l "$zipfile" >&2
size=$(stat -c %s build/win32/qlbar.exe)
log "32-bit qlbar.exe: $size bytes ($((size / 1024)) KB; target 200 KB)"
echo "Package: $zipfile"
