#!/usr/bin/env bash
# A key pair from make-key-pair.sh (openssl) signs with mkpatch and verifies with fpatch.
# Arguments: make-key-pair.sh, mkpatch, fpatch.
set -eu
work=$(mktemp -d /tmp/quill-openssl-key.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$1" "$work/test.key"
[ "$(stat -c %a "$work/test.key")" = 600 ] || { echo "the private key is not 0600" >&2; exit 1; }
mkdir "$work/old" "$work/new"
echo "Quillmere 1.0" >"$work/old/readme.txt"
echo "Quillmere 1.1" >"$work/new/readme.txt"
"$2" --quiet --sign "$work/test.key" "$work/old" "$work/new" "$work/Patch1.rtp"
"$3" apply --quiet --key "$work/test.key.pub" "$work/Patch1.rtp" "$work/old"
diff -r "$work/old" "$work/new"
