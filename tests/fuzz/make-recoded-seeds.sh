#!/usr/bin/env bash
# Writes the recoded decoder target's seeds into tests/fuzz/corpus/recoded_decoder/ with the
# native build's recoded_seeds. Usage: tests/fuzz/make-recoded-seeds.sh [NATIVE_BUILD]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/native}
cmake --build "$build" --target recoded_seeds
mkdir -p tests/fuzz/corpus/recoded_decoder
"$build/tests/fuzz/recoded_seeds" tests/fuzz/corpus/recoded_decoder
