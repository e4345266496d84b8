#!/usr/bin/env bash
# Writes the image reader target's seeds (tests/fuzz/corpus/x86image_parser/seed-*.bin): the
# unit tests' sample images, from the writer of the native build (scripts/build.sh configures
# it), and the block decoder's predicted seeds (tests/fuzz/corpus/blockdiff_decoder/predicted-*)
# from its x86 program, and those payloads with the program in front for predicted_image_fuzz
# (tests/fuzz/corpus/predicted_image/). Both writers are deterministic: the same sources give
# the same bytes.
set -euo pipefail
cd "$(dirname "$0")/../.."

corpus=tests/fuzz/corpus/x86image_parser
cmake --build build/native --target x86image_seeds
mkdir -p "$corpus"
build/native/tests/fuzz/x86image_seeds "$corpus"
cmake --build build/native --target blockdiff_predicted_seeds
mkdir -p tests/fuzz/corpus/predicted_image
build/native/tests/fuzz/blockdiff_predicted_seeds tests/fuzz/corpus/blockdiff_decoder \
    tests/fuzz/corpus/predicted_image
