#!/usr/bin/env bash
# Writes the seed corpus of blockdiff_decoder_fuzz into tests/fuzz/corpus/blockdiff_decoder/:
# payloads made by the block delta encoder (bench_blockdiff, built in build/bench) against the
# fuzz target's fixed old file, for new files of several kinds and every coder, each after
# the target's first byte (the tick that says stop; 0 for none). The same tools give the same
# bytes on every run.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/bench
corpus=tests/fuzz/corpus/blockdiff_decoder
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILL_SANITIZE=OFF >/dev/null
cmake --build "$build" --target bench_blockdiff >/dev/null

python3 - "$work" <<'PYTHON'
import pathlib, sys
work = pathlib.Path(sys.argv[1])
old = bytes((i * 13 + (i >> 7)) % 256 for i in range(4096))
(work / "old").write_bytes(old)
edited = bytearray(old)
for at in range(100, 4000, 37):       # moved code: words changed by a small number
    edited[at] = (edited[at] + 0x40) % 256
    edited[at + 1] = (edited[at + 1] + 1) % 256
edited[2000:2000] = b"inserted bytes that the old file lacks"
every_other = bytearray(old)
for at in range(1, len(every_other), 2):  # the dense form
    every_other[at] = (every_other[at] + 1) % 256
state, fresh = 7, bytearray()
for _ in range(3000):
    state = (state * 1103515245 + 12345) % (1 << 31)
    fresh.append(state >> 16 & 0xFF)
news = {"identical": old, "edited": bytes(edited), "dense": bytes(every_other),
        "fresh": bytes(fresh), "empty": b""}
for name, data in news.items():
    (work / ("new-" + name)).write_bytes(data)
PYTHON

rm -rf "$corpus"
mkdir -p "$corpus"
# seed NAME STOP CODERS NEW: the payload for new file NEW with only CODERS allowed.
seed() {
    "$build/bench/bench_blockdiff" --threads=1 --coders="$3" --out="$work/payload" "$work/old" \
        "$work/new-$4" >/dev/null
    { printf "\\$(printf %03o "$2")"; cat "$work/payload"; } >"$corpus/$1"
}
for new in edited dense; do
    for coders in store deflate zstd xz; do
        seed "$new-$coders" 0 "$coders" "$new"
    done
done
# Nothing to compress in these.
for new in identical fresh empty; do
    seed "$new" 0 store "$new"
done
# Stopped by the first tick (before the block) and by the third.
seed edited-stopped-at-once 1 xz edited
seed edited-stopped-later 3 zstd edited
ls "$corpus" | wc -l
