#!/usr/bin/env bash
# The command-line tools with keys: mkpatch makes a key pair and signs, fpatch shows the
# signer's fingerprint and applies only what the trusted key signed.
# Arguments: mkpatch, fpatch.
set -eu
mkpatch=$1
fpatch=$2
work=$(mktemp -d /tmp/quill-signing.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/old/data" "$work/new/data"
printf 'Quillmere 1.0\r\n' >"$work/old/readme.txt"
printf 'Quillmere 1.1\r\n' >"$work/new/readme.txt"
head -c 20000 /dev/urandom >"$work/old/data/maps.pak"
{ cat "$work/old/data/maps.pak"; echo more; } >"$work/new/data/maps.pak"

"$mkpatch" --new-key "$work/publisher.key" >"$work/new-key.txt"
fingerprint=$(sed -n 's/.*key fingerprint \([0-9a-f:]*\)$/\1/p' "$work/new-key.txt")
[ -n "$fingerprint" ] || fail "no fingerprint printed: $(cat "$work/new-key.txt")"
[ "$(stat -c %a "$work/publisher.key")" = 600 ] || fail "the private key is not 0600"
if "$mkpatch" --new-key "$work/publisher.key" 2>/dev/null; then
    fail "an existing key was overwritten"
fi
"$mkpatch" --new-key "$work/other.key" >/dev/null

"$mkpatch" --quiet --sign "$work/publisher.key" "$work/old" "$work/new" "$work/signed.rtp"
"$mkpatch" --quiet "$work/old" "$work/new" "$work/unsigned.rtp"
"$fpatch" info "$work/signed.rtp" | grep -qx "signature: Ed25519ph by key $fingerprint, matches the file" ||
    fail "fpatch info does not show the signer: $("$fpatch" info "$work/signed.rtp")"
"$fpatch" info "$work/unsigned.rtp" | grep -qx "signature: none" || fail "unsigned file shown signed"

# exit code 3: refused as a damaged patch file (event 14), nothing changed
refused() {
    local patch=$1 key=$2
    rm -rf "$work/game" && cp -a "$work/old" "$work/game"
    local code=0
    "$fpatch" apply --quiet --key "$key" "$patch" "$work/game" || code=$?
    [ "$code" = 3 ] || fail "$patch with $key: exit $code, expected 3"
    diff -r "$work/game" "$work/old" >/dev/null || fail "$patch with $key changed the game"
}
refused "$work/unsigned.rtp" "$work/publisher.key.pub"
refused "$work/signed.rtp" "$work/other.key.pub"
cp "$work/signed.rtp" "$work/altered.rtp"
printf 'x' | dd of="$work/altered.rtp" bs=1 seek=40 conv=notrunc status=none
refused "$work/altered.rtp" "$work/publisher.key.pub"
"$fpatch" info "$work/altered.rtp" >/dev/null 2>&1 && fail "fpatch info accepts an altered file"

rm -rf "$work/game" && cp -a "$work/old" "$work/game"
"$fpatch" apply --quiet --key "$work/publisher.key.pub" "$work/signed.rtp" "$work/game"
diff -r "$work/game" "$work/new"
echo "signed with $fingerprint, applied; unsigned, foreign-key and altered files refused"
