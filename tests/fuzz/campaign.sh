#!/usr/bin/env bash
# A long fuzzing campaign, resumable: each target fuzzes for SECONDS seconds (or RUNS runs),
# starting from its in-tree corpus and the inputs earlier campaigns kept in
# build/fuzz/campaign/<name>/. A crash, timeout, leak or out-of-memory input is copied into
# tests/fuzz/regressions/<name>/ (which ctest replays) and fuzzing goes on. At the end the
# corpus is minimised into tests/fuzz/corpus/<name>/ and one line per target is added to
# docs/fuzzing-campaign.tsv: runs, time, coverage, corpus and findings.
#
#   tests/fuzz/campaign.sh [-t SECONDS | -r RUNS] [TARGET...]     (default: -t 600, all)
#   tests/fuzz/campaign.sh -s                                     totals of the log
#
# One process at the lowest priority, so that it takes one core of a shared machine at most.
set -euo pipefail
cd "$(dirname "$0")/../.."

log=docs/fuzzing-campaign.tsv
limit=(-max_total_time=600)
while getopts "t:r:s" option; do
    case $option in
    t) limit=(-max_total_time="$OPTARG") ;;
    r) limit=(-runs="$OPTARG") ;;
    s)
        awk -F'\t' 'NR > 1 { runs[$2] += $3; secs[$2] += $4; last[$2] = $5 " " $6 }
            END { for (t in runs) { printf "%s: %d runs in %d s, last cov/ft %s\n", t, runs[t], secs[t], last[t]; all += runs[t] }
                  printf "all targets: %d runs\n", all }' "$log"
        exit 0
        ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))

nice -n 19 tests/fuzz/build.sh
source tests/fuzz/asan-options.sh
targets=("$@")
[ ${#targets[@]} -gt 0 ] || mapfile -t targets <build/fuzz/fuzz-targets.txt
[ -f "$log" ] || printf 'date\ttarget\truns\tseconds\tcov\tft\tcorpus_files\tcorpus_kb\tfindings\n' >"$log"

# Hand-made seeds keep their names; inputs the fuzzer found are named by their SHA-1.
hand_made() { find "$1" -maxdepth 1 -type f ! -regex '.*/[0-9a-f]\{40\}'; }

# Fuzzes until the limit, starting again after each finding; prints the runs done.
fuzz() {
    local binary=$1 work=$2 seeds=$3 output=$4 runs=0 start=$SECONDS
    while :; do
        local status=0 part=$output.part
        nice -n 19 "$binary" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$work/artifacts/" "$work/corpus" "$seeds" >"$part" 2>&1 ||
            status=$?
        runs=$((runs + $(grep -o '^#[0-9]\+' "$part" | tail -n 1 | tr -d '#' || echo 0)))
        cat "$part" >>"$output" && rm "$part"
        echo "=== exit $status" >>"$output"
        # Only a finding ends a run early; a time limit is shortened by the time spent.
        if [ $status -eq 0 ] || [[ ${limit[0]} == -runs=* ]]; then
            break
        fi
        local left=$((${limit[0]#-max_total_time=} - (SECONDS - start)))
        [ $left -gt 0 ] || break
        limit=(-max_total_time=$left)
    done
    echo "$runs"
}

for name in "${targets[@]}"; do
    [ -n "$name" ] || continue
    inputs=${name%_fuzz}
    binary=build/fuzz/fuzz-bin/$name
    work=build/fuzz/campaign/$name
    corpus=tests/fuzz/corpus/$inputs
    regressions=tests/fuzz/regressions/$inputs
    output=$work/$(date -u +%Y%m%dT%H%M%S).log
    mkdir -p "$work/corpus" "$work/artifacts" "$corpus"
    echo "=== $name: fuzzing (${limit[*]}), output in $output"
    start=$SECONDS
    runs=$(fuzz "$binary" "$work" "$corpus" "$output")
    seconds=$((SECONDS - start))
    stats=$(grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE).*cov:' "$output" | tail -n 1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$stats")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$stats")

    findings=()
    for artifact in "$work"/artifacts/{crash,timeout,oom,leak}-*; do
        [ -f "$artifact" ] || continue
        mkdir -p "$regressions"
        mv "$artifact" "$regressions/"
        findings+=("$(basename "$artifact")")
    done

    echo "=== $name: minimising the corpus"
    merged=$work/merged
    rm -rf "$merged" && mkdir -p "$merged"
    hand_made "$corpus" | xargs -r cp -t "$merged"
    nice -n 19 "$binary" -merge=1 -timeout=10 -rss_limit_mb=2048 "$merged" "$corpus" \
        "$work/corpus" >>"$output" 2>&1
    find "$corpus" -maxdepth 1 -type f -delete
    cp "$merged"/* "$corpus/"
    files=$(find "$corpus" -maxdepth 1 -type f | wc -l)
    kb=$(du -sk --apparent-size "$corpus" | cut -f1)

    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$(date -u +%Y-%m-%dT%H:%MZ)" "$inputs" "$runs" \
        "$seconds" "${cov:-?}" "${ft:-?}" "$files" "$kb" "${findings[*]:-none}" >>"$log"
    tail -n 1 "$log"
done
