#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each one: first over its
# committed seed corpus (tests/fuzz/corpus/<name>/), then fuzzing for FUZZ_SECONDS seconds
# (default 30, at most 60). New inputs go to build/fuzz/corpus/<name>/, not to the tree.
# Exits non-zero when a target finds a crash.
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${FUZZ_SECONDS:-30}
if [ "$seconds" -gt 60 ]; then
    seconds=60
fi
build=build/fuzz
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILL_FUZZ=ON -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" --target quill_fuzz_targets

while read -r name; do
    [ -n "$name" ] || continue
    binary="$build/fuzz-bin/$name"
    seeds="tests/fuzz/corpus/${name%_fuzz}"
    work="$build/corpus/$name"
    mkdir -p "$work" "$seeds"
    if compgen -G "$seeds/*" >/dev/null; then
        echo "=== $name: replaying $(ls "$seeds" | wc -l) seeds"
        "$binary" "$seeds"/*
    fi
    echo "=== $name: fuzzing for ${seconds}s"
    "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/" "$work" "$seeds"
done <"$build/fuzz-targets.txt"
