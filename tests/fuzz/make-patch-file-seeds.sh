#!/usr/bin/env bash
# Writes the patch file target's seeds (tests/fuzz/corpus/patch_file/seed-*.rtp) with the
# builder of the native build (scripts/build.sh configures it).
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake --build build/native --target patch_file_seeds
build/native/tests/fuzz/patch_file_seeds tests/fuzz/corpus/patch_file
