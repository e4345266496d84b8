#!/usr/bin/env bash
# End to end natively: mkpatch builds a patch from two folders, fpatch applies it to a copy
# of the old folder, which must then equal the new folder; a second apply finds it done.
# Arguments: mkpatch, fpatch.
set -eu
mkpatch=$1
fpatch=$2
work=$(mktemp -d /tmp/quill-mkpatch-fpatch.XXXXXX)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/old/data" "$work/new/data/sub" "$work/old/gone"
head -c 3000000 /dev/urandom >"$work/old/data/maps.pak"
{ head -c 1000000 "$work/old/data/maps.pak"; echo "changed"; tail -c 1500000 "$work/old/data/maps.pak"; } \
    >"$work/new/data/maps.pak"
head -c 1000 /dev/urandom >"$work/old/same.dat"
cp "$work/old/same.dat" "$work/new/same.dat"
echo "removed" >"$work/old/gone/file.txt"
head -c 70000 /dev/urandom >"$work/new/data/sub/added.bin"
: >"$work/new/empty.txt"
cp -a "$work/old" "$work/game"
chmod a-w "$work/game/data/maps.pak" # as copied from a CD

# The usage goes to standard output with exit code 0 when asked for, the version likewise.
"$mkpatch" --help 2>/dev/null | grep -q '^usage: mkpatch'
"$mkpatch" --version 2>/dev/null | grep -Eq '^mkpatch [0-9]+\.[0-9]+\.[0-9]+ '
if "$mkpatch" --no-such-option >/dev/null 2>&1; then
    echo "an unknown option was accepted"
    exit 1
fi

# Both payload methods: VCDIFF deltas in a version-1 file, blocks in version 2, also when
# a coder asks for them.
for method in "vcdiff" "blocks" "blocks --coder xz"; do
    name=${method// /}
    rm -rf "$work/game.$name" && cp -a "$work/game" "$work/game.$name"
    "$mkpatch" --quiet --delete --method $method "$work/old" "$work/new" "$work/$name.rtp"
    "$fpatch" apply --quiet "$work/$name.rtp" "$work/game.$name"
    diff -r "$work/game.$name" "$work/new"
done
"$fpatch" info "$work/vcdiff.rtp" | grep -q '^format version 1$'
"$fpatch" info "$work/blocks.rtp" | grep -q '^format version 2$'
"$mkpatch" --quiet --coder zstd "$work/old" "$work/new" "$work/zstd.rtp"
"$fpatch" info "$work/zstd.rtp" | grep -q '^format version 2$'
if "$mkpatch" --quiet --method vcdiff --coder xz "$work/old" "$work/new" "$work/x.rtp" 2>/dev/null; then
    echo "a coder was accepted for VCDIFF payloads"
    exit 1
fi

# By default each file is coded both ways and the smaller kept.
"$mkpatch" --quiet --delete "$work/old" "$work/new" "$work/Patch1.rtp"
"$fpatch" info "$work/Patch1.rtp" | tee "$work/info.txt"
"$fpatch" apply --quiet "$work/Patch1.rtp" "$work/game"
diff -r "$work/game" "$work/new"
"$fpatch" apply --quiet "$work/Patch1.rtp" "$work/game"
diff -r "$work/game" "$work/new"
if "$fpatch" apply --quiet "$work/Patch1.rtp" "$work/missing" 2>/dev/null; then
    echo "a missing folder was accepted"
    exit 1
fi
echo "the game folder equals the new folder"
