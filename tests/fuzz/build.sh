#!/usr/bin/env bash
# Configures and builds the libFuzzer targets with clang in build/fuzz (every object compiled
# with the fuzzer's coverage and the address and undefined-behaviour sanitizers; the build
# defines QUILL_SMALL_SIZES, see common/BuildSizes.h). The targets' names are then listed in
# build/fuzz/fuzz-targets.txt, their programs are in build/fuzz/fuzz-bin/.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/fuzz
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILL_FUZZ=ON -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" --target quill_fuzz_targets -j 2
