#!/usr/bin/env bash
# Writes ONE golden set of tests/golden/ with the tools of the current commit, once: a set
# that exists is never overwritten, whatever it holds, since its worth is that an older build
# wrote it (README.md). A later change of the format, a payload method, a coder or the
# predictor adds a set of its own under a new name; it does not rewrite one.
#
# Usage: tests/golden/write-golden.sh SET [NATIVE_BUILD]   (NATIVE_BUILD: build/native)
#   decode sets: v1-vcdiff v2-blocks-deflate v2-blocks-zstd v2-blocks-xz v2-predicted-1
#                v2-predicted-2 v2-recoded-1 v2-recoded-2
#   error sets:  bad-magic format-version-3 unknown-method truncated-directory
#                payload-checksum predictor-version-0 predictor-version-3
#                recoded-stream-claims-more
# A decode set is decode/SET/{old/,patch.rtp,expected.txt}; an error set errors/SET/
# {patch.rtp,expected.txt}, a damaged copy of a decode set's patch file that applies to that
# set's old folder. Before anything is kept the script checks that the patch file covers what
# the set is for (tests/golden/inspect-patch.py) and that fpatch gives the expected result.
set -euo pipefail
export PYTHONDONTWRITEBYTECODE=1 # no cache files beside the golden sets
here=$(cd "$(dirname "$0")" && pwd)
set_name=${1:?usage: write-golden.sh SET [NATIVE_BUILD]}
build=$(cd "${2:-$here/../../build/native}" && pwd)
commit=$(git -C "$here" rev-parse --short HEAD)

die() {
    echo "write-golden.sh: $*" >&2
    exit 1
}

for existing in "$here/decode/$set_name" "$here/errors/$set_name"; do
    [ ! -e "$existing" ] || die "$existing exists; golden sets are never rewritten"
done

work=$(mktemp -d /tmp/quill-golden.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Seeded bytes and lines, so that the inputs of a set can be read off this script.
random_bytes() { # SIZE SEED
    python3 -c 'import random, sys; random.seed(int(sys.argv[2]))
sys.stdout.buffer.write(random.randbytes(int(sys.argv[1])))' "$1" "$2"
}
level_lines() { # COUNT EDIT_EVERY (0: none)
    python3 -c 'import sys
count, every = int(sys.argv[1]), int(sys.argv[2])
for n in range(count):
    edited = every and n % every == 3
    print("level %03d: gate %d, tiles %d%s" % (n, n * 7 % 13, n * 31 % 97,
          ", redrawn" if edited else ""), end="\r\n")' "$1" "$2"
}

# A game folder with something of every entry kind: files patched (text, binary with a
# stretch of new random bytes that no coder shrinks), a file deleted, a file kept, and files
# added: an empty one and one in a new subfolder of a new subfolder.
mixed_trees() {
    mkdir -p "$work/old/data" "$work/new/data" "$work/new/movies/intro"
    printf 'Quillmere 1.0\r\nRead me before playing.\r\n' >"$work/old/readme.txt"
    printf 'Quillmere 1.1\r\nRead me before playing.\r\nNew: the harbour level.\r\n' \
        >"$work/new/readme.txt"
    random_bytes 12000 1 >"$work/old/data/maps.pak"
    { head -c 5000 "$work/old/data/maps.pak"; echo "changed"; random_bytes 2000 2
      tail -c 6000 "$work/old/data/maps.pak"; } >"$work/new/data/maps.pak"
    level_lines 300 0 >"$work/old/data/levels.txt"
    level_lines 340 7 >"$work/new/data/levels.txt"
    echo "no longer needed" >"$work/old/data/old.txt"
    printf 'The same in every version.\r\n' >"$work/old/same.txt"
    cp "$work/old/same.txt" "$work/new/same.txt"
    : >"$work/new/data/empty.dat"
    level_lines 60 0 | sed 's/level/credit/' >"$work/new/movies/intro/credits.txt"
}

program_trees() {
    mkdir -p "$work/old/server" "$work/new/server"
    "$build/tests/golden/golden_write_moved_program" 0 "$work/old/server/quillmere.so"
    "$build/tests/golden/golden_write_moved_program" 37 "$work/new/server/quillmere.so"
}

# Files of deflate streams from Debian's tools: a zip by Info-ZIP of two documents, one of
# them changed (its entry rebuilt, the other copied), a gzip member by GNU gzip of a long
# text (its parse sent), and a PNG image made by zlib over IDAT chunks of 4 KiB (zlib's
# settings sent, the chunks' headers and CRCs through the delta).
recoded_trees() {
    mkdir -p "$work/old/data" "$work/new/data" "$work/old/art" "$work/new/art" "$work/docs"
    level_lines 900 0 >"$work/docs/levels.txt"
    level_lines 400 0 | sed 's/level/item/' >"$work/docs/items.txt"
    (cd "$work/docs" && zip -q -9 -X "$work/old/data/manual.zip" levels.txt items.txt)
    level_lines 960 11 >"$work/docs/levels.txt"
    (cd "$work/docs" && zip -q -9 -X "$work/new/data/manual.zip" levels.txt items.txt)
    level_lines 3000 0 | gzip -9n >"$work/old/data/notes.txt.gz"
    level_lines 3000 13 | gzip -9n >"$work/new/data/notes.txt.gz"
    for version in old new; do
        python3 - "$work/$version/art/map.png" "$version" <<'PY'
import struct, sys, zlib
path, version = sys.argv[1:]
width, height = 160, 120
rows = b"".join(b"\0" + bytes((x * y + (7 if version == "new" and y == 60 else 0)) & 255
                               for x in range(width)) for y in range(height))
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
stream = zlib.compress(rows, 9)
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0))
for at in range(0, len(stream), 4096):
    png += chunk(b"IDAT", stream[at:at + 4096])
open(path, "wb").write(png + chunk(b"IEND", b""))
PY
    done
    rm -r "$work/docs"
}

# The manifest's lines that the set must hold, else it is not written.
require_claims() {
    python3 "$here/inspect-patch.py" "$work/patch.rtp" >"$work/claims"
    for claim in "$@"; do
        grep -qx "$claim" "$work/claims" || die "$set_name: the patch file lacks '$claim'"
    done
}

write_decode_set() {
    local copy="$work/applied"
    cp -a "$work/old" "$copy"
    "$build/fpatch/fpatch" apply --quiet "$work/patch.rtp" "$copy"
    diff -r "$copy" "$work/new" >/dev/null || die "$set_name: fpatch does not give the new folder"
    local dest="$here/decode/$set_name"
    mkdir -p "$dest"
    cp -a "$work/old" "$dest/old"
    cp "$work/patch.rtp" "$dest/patch.rtp"
    {
        echo "# Written once by write-golden.sh with the tools of commit $commit; never rewritten."
        echo "# Sizes and CRC-32s are of the new folder's files, not read from the patch file."
        cat "$work/claims"
        python3 - "$work/old" "$work/new" <<'PY'
import os, sys, zlib
old, new = sys.argv[1:]
def files(root):
    return sorted(os.path.relpath(os.path.join(d, f), root)
                  for d, _, names in os.walk(root) for f in names)
for name in files(new):
    data = open(os.path.join(new, name), "rb").read()
    print("file %s %d %08x" % (name, len(data), zlib.crc32(data)))
for name in sorted(set(files(old)) - set(files(new))):
    print("gone " + name)
PY
    } >"$dest/expected.txt"
}

# SOURCE_SET FAULT ERROR: the source set's patch file damaged, refused with ERROR.
write_error_set() {
    local source="$here/decode/$1"
    [ -f "$source/patch.rtp" ] || die "$set_name: decode set $1 is not written yet"
    python3 "$here/damage-patch.py" "$2" "$source/patch.rtp" "$work/patch.rtp"
    cp -a "$source/old" "$work/applied"
    local status=0
    "$build/fpatch/fpatch" apply --quiet "$work/patch.rtp" "$work/applied" 2>"$work/why" ||
        status=$?
    [ "$status" = 3 ] || die "$set_name: fpatch ended with $status, not 3 (damaged)"
    diff -r "$work/applied" "$source/old" >/dev/null || die "$set_name: the refusal changed files"
    local dest="$here/errors/$set_name"
    mkdir -p "$dest"
    cp "$work/patch.rtp" "$dest/patch.rtp"
    {
        echo "# Written once by write-golden.sh with the tools of commit $commit; never rewritten."
        echo "# $1's patch file with one fault ($2): $(cat "$work/why")"
        echo "old $1"
        echo "refused $3"
    } >"$dest/expected.txt"
}

mkpatch() {
    "$build/mkpatch/mkpatch" --quiet "$@" "$work/old" "$work/new" "$work/patch.rtp"
}

case $set_name in
v1-vcdiff)
    mixed_trees
    mkpatch --delete --method vcdiff
    require_claims "format 1" "method deflate"
    write_decode_set
    ;;
v2-blocks-deflate | v2-blocks-zstd | v2-blocks-xz)
    coder=${set_name#v2-blocks-}
    mixed_trees
    mkpatch --delete --coder "$coder"
    require_claims "format 2" "method blocks" "coder store" "coder $coder"
    write_decode_set
    ;;
v2-predicted-1)
    program_trees
    "$build/tests/golden/golden_write_predicted" "$work/old/server/quillmere.so" \
        "$work/new/server/quillmere.so" 'server\quillmere.so' 1 "$work/patch.rtp"
    require_claims "format 2" "method blocks" "predicted server/quillmere.so 1"
    write_decode_set
    ;;
v2-predicted-2)
    program_trees
    mkpatch --method blocks
    require_claims "format 2" "method blocks" "predicted server/quillmere.so 2"
    write_decode_set
    ;;
v2-recoded-1 | v2-recoded-2)
    # Parse version 1 (parses raw in the payload) was written by 839fc91, version 2 (parses
    # in the block delta) since b038dae: the same trees, each set by the tools of its day.
    recoded_trees
    mkpatch --method recoded
    require_claims "format 2" "method recoded"
    write_decode_set
    ;;
bad-magic) write_error_set v1-vcdiff bad-magic BadMagic ;;
format-version-3) write_error_set v2-blocks-zstd format-version-3 UnsupportedVersion ;;
unknown-method) write_error_set v2-blocks-zstd unknown-method UnknownMethod ;;
truncated-directory) write_error_set v2-blocks-deflate truncated-directory Truncated ;;
payload-checksum) write_error_set v2-blocks-xz payload-checksum PayloadChecksum ;;
predictor-version-0) write_error_set v2-predicted-1 predictor-version-0 DeltaCorrupt ;;
predictor-version-3) write_error_set v2-predicted-2 predictor-version-3 DeltaCorrupt ;;
recoded-stream-claims-more)
    write_error_set v2-recoded-1 recoded-stream-claims-more DeltaCorrupt
    ;;
*) die "no recipe for a set named $set_name" ;;
esac
echo "wrote $set_name with the tools of commit $commit"
