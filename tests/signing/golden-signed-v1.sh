#!/usr/bin/env bash
# The golden signed patch file (tests/golden/signed-v1): fpatch names its signer, applies it
# with its key to a copy of the old folder, which must then equal the new folder, and refuses
# it with another key or changed in any of a few bytes. Arguments: fpatch, mkpatch.
set -eu
fpatch=$1
mkpatch=$2
golden=$(cd "$(dirname "$0")/../golden/signed-v1" && pwd)
work=$(mktemp -d /tmp/quill-golden-signed.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$fpatch" info "$golden/Patch1.rtp" |
    grep -qx 'signature: Ed25519ph by key c1a3:5379:15ab:4ab7:e663:aef0:bf62:1d2e, matches the file' ||
    fail "fpatch info: $("$fpatch" info "$golden/Patch1.rtp" 2>&1)"

cp -a "$golden/old" "$work/game"
"$fpatch" apply --quiet --key "$golden/publisher.pub" "$golden/Patch1.rtp" "$work/game"
diff -r "$work/game" "$golden/new"

"$mkpatch" --new-key "$work/other.key" >/dev/null
size=$(stat -c %s "$golden/Patch1.rtp")
for offset in 0 10 20 100 $((size - 100)) $((size - 64)) $((size - 1)); do
    python3 - "$golden/Patch1.rtp" "$work/altered.rtp" "$offset" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
data[int(sys.argv[3])] ^= 0x04
open(sys.argv[2], 'wb').write(data)
PY
    rm -rf "$work/game" && cp -a "$golden/old" "$work/game"
    code=0
    "$fpatch" apply --quiet --key "$golden/publisher.pub" "$work/altered.rtp" "$work/game" || code=$?
    [ "$code" = 3 ] || fail "byte $offset changed: exit $code"
    diff -r "$work/game" "$golden/old" >/dev/null || fail "byte $offset changed the folder"
done
code=0
"$fpatch" apply --quiet --key "$work/other.key.pub" "$golden/Patch1.rtp" "$work/game" || code=$?
[ "$code" = 3 ] || fail "applied with another key: exit $code"
echo "the golden signed file applies with its key only, and only as written"
