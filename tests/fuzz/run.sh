#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/build.sh) and runs each one: first over its
# committed corpus and findings (tests/fuzz/corpus/<name>/, tests/fuzz/regressions/<name>/),
# then fuzzing for FUZZ_SECONDS seconds (default 30, at most 60). New inputs go to
# build/fuzz/corpus/<name>/, not to the tree; tests/fuzz/campaign.sh is the long run.
# Exits non-zero when a target finds a crash.
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${FUZZ_SECONDS:-30}
if [ "$seconds" -gt 60 ]; then
    seconds=60
fi
build=build/fuzz
tests/fuzz/build.sh
source tests/fuzz/asan-options.sh

while read -r name; do
    [ -n "$name" ] || continue
    binary="$build/fuzz-bin/$name"
    seeds="tests/fuzz/corpus/${name%_fuzz}"
    regressions="tests/fuzz/regressions/${name%_fuzz}"
    work="$build/corpus/$name"
    mkdir -p "$work" "$seeds"
    if compgen -G "$regressions/*" >/dev/null; then
        echo "=== $name: replaying $(ls "$regressions" | wc -l) findings"
        "$binary" "$regressions"/*
    fi
    echo "=== $name: fuzzing for ${seconds}s from $(ls "$seeds" | wc -l) corpus files"
    "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/" "$work" "$seeds"
done <"$build/fuzz-targets.txt"
