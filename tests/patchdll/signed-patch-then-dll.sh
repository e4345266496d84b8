#!/usr/bin/env bash
# Under Wine: a patch library built to trust a key applies a patch file mkpatch.exe signed
# with that key, and refuses with event 14, leaving the game folder as it was, the same file
# altered in its header, its directory, a payload or its signature, an unsigned file and a
# file signed with another key. The library without a key applies the signed file too.
# Arguments: mkpatch.exe, the host beside the keyed library, the host beside the plain
# library, the private key the keyed library's public key belongs to.
set -eu
mkpatch=$1
keyed=$2
plain=$3
key=$4
. "$(dirname "$0")/../wine/prefix.sh"
quill_wine_work signed-dll
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/old/data" "$work/new/data" "$work/new/movies"
python3 -c 'import random, sys; random.seed(3); sys.stdout.buffer.write(random.randbytes(200000))' \
    >"$work/old/data/maps.pak"
{ head -c 100000 "$work/old/data/maps.pak"; echo "changed"; tail -c 90000 "$work/old/data/maps.pak"; } \
    >"$work/new/data/maps.pak"
printf 'Quillmere 1.0\r\n' >"$work/old/readme.txt"
printf 'Quillmere 1.1\r\n' >"$work/new/readme.txt"
echo "new in this version" >"$work/new/movies/intro.txt"

wine "$mkpatch" --quiet --sign 'Z:'"$key" 'Z:'"$work/old" 'Z:'"$work/new" 'Z:'"$work/signed.rtp"
wine "$mkpatch" --quiet 'Z:'"$work/old" 'Z:'"$work/new" 'Z:'"$work/unsigned.rtp"
wine "$mkpatch" --new-key 'Z:'"$work/other.key" >/dev/null
wine "$mkpatch" --quiet --sign 'Z:'"$work/other.key" 'Z:'"$work/old" 'Z:'"$work/new" \
    'Z:'"$work/foreign.rtp"

# altered NAME OFFSET: the signed file with one byte at OFFSET (negative: from the end) changed
altered() {
    local size offset
    size=$(stat -c %s "$work/signed.rtp")
    offset=$2
    ((offset < 0)) && offset=$((size + offset))
    cp "$work/signed.rtp" "$work/$1.rtp"
    python3 - "$work/$1.rtp" "$offset" <<'PY'
import sys
path, offset = sys.argv[1], int(sys.argv[2])
data = bytearray(open(path, 'rb').read())
data[offset] ^= 0x20
open(path, 'wb').write(data)
PY
}
altered header 9            # the format version's high byte
altered directory 40        # inside the first entry
directory_size=$(od -An -tu4 -j12 -N4 "$work/signed.rtp" | tr -d ' ')
altered payload $((16 + directory_size + 5)) # in the first payload
altered key -90             # the signer's key in the signature block
altered signature -1        # the signature's last byte

apply() { # apply HOST PATCH: the events in $work/events.txt, the game in $work/game
    rm -rf "$work/game" && cp -a "$work/old" "$work/game"
    wine "$1" 'Z:'"$work/$2.rtp" 'Z:'"$work/game" >"$work/events.txt" || true
}

for refused in header directory payload key signature unsigned foreign; do
    apply "$keyed" "$refused"
    grep -q '^event 14 ' "$work/events.txt" || fail "$refused: no event 14: $(cat "$work/events.txt")"
    grep -q '^result 3 ' "$work/events.txt" || fail "$refused: $(cat "$work/events.txt")"
    if grep -q '^event 7 \|^event 3 ' "$work/events.txt"; then
        fail "$refused: entries were started before the refusal"
    fi
    diff -r "$work/game" "$work/old" >/dev/null || fail "$refused changed the game folder"
    echo "$refused: $(grep '^event 14 ' "$work/events.txt")"
done

for host in "$keyed" "$plain"; do
    apply "$host" signed
    grep -q '^result 0 ' "$work/events.txt" || fail "signed with $host: $(cat "$work/events.txt")"
    diff -r "$work/game" "$work/new" || fail "signed with $host: the game is not the new version"
done
apply "$plain" unsigned
grep -q '^result 0 ' "$work/events.txt" || fail "the plain library refuses an unsigned file"
echo "the keyed library applies only its key's files; the plain one applies both"
