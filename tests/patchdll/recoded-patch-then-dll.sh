#!/usr/bin/env bash
# End to end under Wine for files of deflate streams: mkpatch.exe codes a zip by Info-ZIP, a
# gzip member by GNU gzip and a PNG image by ImageMagick as recoded payloads (the old
# streams inflated, the new ones rebuilt bit for bit), and the host applies the patch
# through fpatch32.dll, whose scratch files must be gone afterwards.
# Arguments: mkpatch.exe, patchdll_apply.exe.
set -eu
mkpatch=$1
host=$2
. "$(dirname "$0")/../wine/prefix.sh"
. "$(dirname "$0")/patch-then-apply.sh"
work=$(mktemp -d /tmp/quill-recoded-dll.XXXXXX)
prefix=$work/prefix
quill_wine_scratch "$prefix"
export WINEPREFIX=$prefix
trap 'quill_wine_end "$prefix"; rm -rf "$work"' EXIT

lines() { # COUNT EDIT_EVERY
    python3 -c 'import sys
count, every = int(sys.argv[1]), int(sys.argv[2])
for n in range(count):
    print("entry %05d: %d %d%s" % (n, n * 7 % 13, n * 31 % 97, " changed" if every and n % every == 5 else ""))' "$1" "$2"
}
for version in old new; do
    every=0
    [ $version = new ] && every=211
    mkdir -p "$work/$version/data" "$work/docs-$version"
    lines 20000 $every >"$work/docs-$version/journal.txt"
    lines 3000 0 | sed 's/entry/item/' >"$work/docs-$version/items.txt"
    (cd "$work/docs-$version" && zip -q -9 -X "$work/$version/data/manual.zip" journal.txt items.txt)
    gzip -9n -c "$work/docs-$version/journal.txt" >"$work/$version/data/journal.gz"
    head -c 90000 "$work/docs-$version/journal.txt" |
        convert -size 300x300 -depth 8 gray:- png:"$work/$version/data/map.png"
done
cp -a "$work/old" "$work/game"

patch_then_apply QDFR 3 "the files' payloads are not all recoded"
echo "the game folder equals the new folder, and no scratch file is left"
