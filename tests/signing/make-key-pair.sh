#!/usr/bin/env bash
# Makes a throw-away Ed25519 key pair in the key file format mkpatch reads and writes
# (KEY_FILE and KEY_FILE.pub), with Debian's openssl rather than with mkpatch: the Windows
# build needs a key when it is configured, before any program of its own is built. The tests
# sign with the private half and build a patch library that trusts the public half.
# Argument: KEY_FILE. An existing key is kept.
set -eu
key=$1
[ -e "$key" ] && [ -e "$key.pub" ] && exit 0
umask 077
der=$(mktemp "$key.der.XXXXXX")
trap 'rm -f "$der"' EXIT
openssl genpkey -algorithm ed25519 -outform DER -out "$der"
# Both DER forms end with the raw 32 bytes: the seed (PKCS #8), the public key (SPKI).
seed=$(tail -c 32 "$der" | od -An -tx1 -v | tr -d ' \n')
public=$(openssl pkey -inform DER -in "$der" -pubout -outform DER | tail -c 32 | od -An -tx1 -v | tr -d ' \n')
printf 'quill-patch-private-key ed25519\n%s\n' "$seed" >"$key"
umask 022
printf 'quill-patch-public-key ed25519\n%s\n' "$public" >"$key.pub"
