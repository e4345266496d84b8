#!/usr/bin/env bash
# Benchmarks of the patch engine against xdelta3, bsdiff and zstd --patch-from on real file
# pairs (two versions of a Debian package's binaries) and one large synthetic pair. Not a
# test: it asserts nothing about timings, it measures and writes a report.
#
#   bench/run.sh            everything (about 40 minutes on 2 cores)
#   BENCH_SYNTHETIC_MIB=256 bench/run.sh     a smaller synthetic pair
#
# Downloads and unpacked trees are cached in bench/work/, results go to bench/results/
# (both git-ignored). Running it again reuses the cache and measures anew.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
WORK=$ROOT/bench/work
RESULTS=$ROOT/bench/results
BUILD=$ROOT/build/bench

PACKAGE=${BENCH_PACKAGE:-libreoffice-core}
OLD_VERSION=${BENCH_OLD_VERSION:-4:7.4.7-1+deb12u13}
NEW_VERSION=${BENCH_NEW_VERSION:-4:7.4.7-1+deb12u14}
SYNTHETIC_MIB=${BENCH_SYNTHETIC_MIB:-1024}
SYNTHETIC_SEED=${BENCH_SYNTHETIC_SEED:-7}
APPLY_RUNS=${BENCH_APPLY_RUNS:-3}
# bsdiff needs about 17 times the old file's size in memory and hours for a GiB.
BSDIFF_MAX_MIB=${BENCH_BSDIFF_MAX_MIB:-256}
ZSTD_MAX_MIB=${BENCH_ZSTD_MAX_MIB:-256}
# Packages only the benchmark needs; the build and tests do not.
BENCH_PACKAGES=(xdelta3 bsdiff zstd time)

die() {
    echo "bench: $*" >&2
    exit 1
}

log() {
    echo "bench: $*" >&2
}

install_tools() {
    local missing=()
    for package in "${BENCH_PACKAGES[@]}"; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    if ((${#missing[@]})); then
        log "installing ${missing[*]}"
        apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null ||
            die "could not install ${missing[*]} (try apt-get update first)"
    fi
    for tool in xdelta3 bsdiff bspatch zstd /usr/bin/time apt-get apt-cache dpkg-deb cmake \
        ninja cmp; do
        command -v "$tool" >/dev/null || die "$tool is missing"
    done
}

build() {
    log "building the optimised tools in $BUILD"
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILL_SANITIZE=OFF \
        >/dev/null
    cmake --build "$BUILD" -j "$(nproc)" \
        --target mkpatch fpatch bench_idle_gaps bench_synthetic_pair >/dev/null
}

# bench/work/debs/VERSION/PACKAGE_*.deb, downloaded once.
fetch_deb() {
    local version=$1 dir=$WORK/debs/${1//[:+~]/_}
    if ! compgen -G "$dir/${PACKAGE}_*.deb" >/dev/null; then
        log "downloading $PACKAGE $version"
        mkdir -p "$dir.part"
        (cd "$dir.part" && apt-get -o APT::Sandbox::User=root download "$PACKAGE=$version" \
            >/dev/null) || {
            apt-cache madison "$PACKAGE" >&2 || true
            die "cannot download $PACKAGE $version; set BENCH_OLD_VERSION/BENCH_NEW_VERSION to" \
                "two of the versions above (run apt-get update if the list is empty)"
        }
        rm -rf "$dir" && mv "$dir.part" "$dir"
    fi
    compgen -G "$dir/${PACKAGE}_*.deb"
}

# A folder as a game folder would be: files and folders only. The builder takes no
# symbolic links, and the package's one link points outside the tree.
unpack() {
    local deb=$1 tree=$2
    if [[ ! -f $tree.done ]]; then
        rm -rf "$tree" && mkdir -p "$tree"
        dpkg-deb -x "$deb" "$tree"
        find "$tree" -type l -delete
        touch "$tree.done"
    fi
}

make_synthetic() {
    local dir=$WORK/synthetic-${SYNTHETIC_MIB}mib
    if [[ ! -f $dir.done ]]; then
        log "writing a synthetic pair of $SYNTHETIC_MIB MiB"
        rm -rf "$dir" && mkdir -p "$dir/old" "$dir/new"
        "$BUILD/bench/bench_synthetic_pair" "$SYNTHETIC_MIB" "$SYNTHETIC_SEED" \
            "$dir/old/${dir##*/}" "$dir/new/${dir##*/}"
        touch "$dir.done"
    fi
    echo "$dir"
}

# One folder pair per changed file (hard links into the trees), so that every tool works on
# the same single file. Prints the pair folders.
make_pairs() {
    local old=$1 new=$2 rel name
    while IFS= read -r -d '' rel; do
        rel=${rel#"$old"/}
        [[ -f $new/$rel ]] && ! cmp -s "$old/$rel" "$new/$rel" || continue
        name=$(basename "$rel")
        [[ ! -e $WORK/pairs/$name ]] || die "two changed files are called $name"
        mkdir -p "$WORK/pairs/$name/old" "$WORK/pairs/$name/new"
        ln -f "$old/$rel" "$WORK/pairs/$name/old/$name"
        ln -f "$new/$rel" "$WORK/pairs/$name/new/$name"
        echo "$WORK/pairs/$name"
    done < <(find "$old" -type f -print0 | sort -z)
}

# Runs a command under /usr/bin/time; sets ELAPSED (s) and PEAK_KIB.
timed() {
    local out=$WORK/time.out
    /usr/bin/time -f "%e %M" -o "$out" "$@" >/dev/null || die "failed: $*"
    read -r ELAPSED PEAK_KIB <"$out"
}

# The best of APPLY_RUNS applies (the machine is shared; the fastest run is the one least
# disturbed) and the largest peak. `prepare` runs before each, untimed.
best_apply() {
    local prepare=$1
    shift
    local best="" peak=0
    for ((run = 0; run < APPLY_RUNS; run++)); do
        $prepare
        timed "$@"
        if [[ -z $best ]] || awk "BEGIN{exit !($ELAPSED < $best)}"; then best=$ELAPSED; fi
        ((PEAK_KIB > peak)) && peak=$PEAK_KIB
    done
    ELAPSED=$best
    PEAK_KIB=$peak
}

SCRATCH=$WORK/scratch
CURRENT_PAIR=""

fresh_folder() {
    rm -rf "$SCRATCH/folder" && mkdir -p "$SCRATCH" && cp -r "$CURRENT_PAIR/old" "$SCRATCH/folder"
}

no_prepare() {
    rm -f "$SCRATCH/out"
}

# One result line: pair tool patch_bytes build_s build_peak_kib apply_s apply_peak_kib
record() {
    local pair=$1 tool=$2 patch=$3 build_s=$4 build_peak=$5 expected=$6 result=$7
    cmp -s "$expected" "$result" || die "$tool on $(basename "$pair") gave a wrong result"
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$(basename "$pair")" "$tool" "$(stat -c %s "$patch")" \
        "$build_s" "$build_peak" "$ELAPSED" "$PEAK_KIB" >>"$TABLE"
}

measure_ours() {
    local pair=$1 name=$2 patch=$SCRATCH/ours.rtp
    timed "$BUILD/mkpatch/mkpatch" --quiet --no-locator "$pair/old" "$pair/new" "$patch"
    local build_s=$ELAPSED build_peak=$PEAK_KIB
    best_apply fresh_folder "$BUILD/fpatch/fpatch" apply --quiet "$patch" "$SCRATCH/folder"
    record "$pair" ours "$patch" "$build_s" "$build_peak" "$pair/new/$name" "$SCRATCH/folder/$name"
}

measure_xdelta() {
    local pair=$1 name=$2 tool=$3
    shift 3
    local patch=$SCRATCH/$tool.vcdiff
    timed xdelta3 -e "$@" -f -s "$pair/old/$name" "$pair/new/$name" "$patch"
    local build_s=$ELAPSED build_peak=$PEAK_KIB
    best_apply no_prepare xdelta3 -d -D -f -s "$pair/old/$name" "$patch" "$SCRATCH/out"
    record "$pair" "$tool" "$patch" "$build_s" "$build_peak" "$pair/new/$name" "$SCRATCH/out"
}

measure_bsdiff() {
    local pair=$1 name=$2 patch=$SCRATCH/bsdiff.patch
    if (($(stat -c %s "$pair/old/$name") > BSDIFF_MAX_MIB * 1048576)); then
        log "bsdiff skipped for $name: larger than $BSDIFF_MAX_MIB MiB"
        return
    fi
    timed bsdiff "$pair/old/$name" "$pair/new/$name" "$patch"
    local build_s=$ELAPSED build_peak=$PEAK_KIB
    best_apply no_prepare bspatch "$pair/old/$name" "$SCRATCH/out" "$patch"
    record "$pair" bsdiff "$patch" "$build_s" "$build_peak" "$pair/new/$name" "$SCRATCH/out"
}

# zstd at its strongest level takes minutes per 100 MB; larger files get its default level only.
measure_zstd() {
    local pair=$1 name=$2 level=$3 patch=$SCRATCH/zstd.zst
    if ((level > 3 && $(stat -c %s "$pair/old/$name") > ZSTD_MAX_MIB * 1048576)); then
        log "zstd -$level skipped for $name: larger than $ZSTD_MAX_MIB MiB"
        return
    fi
    timed zstd -q "-$level" --long=31 -f --patch-from="$pair/old/$name" "$pair/new/$name" \
        -o "$patch"
    local build_s=$ELAPSED build_peak=$PEAK_KIB
    best_apply no_prepare zstd -q -d --long=31 -f --patch-from="$pair/old/$name" "$patch" \
        -o "$SCRATCH/out"
    record "$pair" "zstd-$level" "$patch" "$build_s" "$build_peak" "$pair/new/$name" \
        "$SCRATCH/out"
}

measure_pair() {
    local pair=$1 name
    name=$(basename "$pair")
    CURRENT_PAIR=$pair
    log "measuring $name ($(stat -c %s "$pair/old/$name") bytes)"
    measure_ours "$pair" "$name"
    measure_xdelta "$pair" "$name" xdelta3-9 -9 -S none -D
    measure_xdelta "$pair" "$name" xdelta3 -D
    measure_bsdiff "$pair" "$name"
    measure_zstd "$pair" "$name" 19
    measure_zstd "$pair" "$name" 3
}

# The whole package as one patch file, as a release would ship it.
measure_tree() {
    local old=$1 new=$2 patch=$SCRATCH/tree.rtp
    timed "$BUILD/mkpatch/mkpatch" --quiet --no-locator "$old" "$new" "$patch"
    echo "tree_patch_bytes=$(stat -c %s "$patch") build_s=$ELAPSED build_peak_kib=$PEAK_KIB" \
        >>"$SUMMARY"
}

# The longest wait for an idle event while the largest pair is applied in-process.
measure_idle_gaps() {
    local pair=$1 name
    name=$(basename "$pair")
    CURRENT_PAIR=$pair
    "$BUILD/mkpatch/mkpatch" --quiet --no-locator "$pair/old" "$pair/new" "$SCRATCH/idle.rtp"
    for ((run = 0; run < APPLY_RUNS; run++)); do
        fresh_folder
        echo "idle $name run $run: $("$BUILD/bench/bench_idle_gaps" "$SCRATCH/idle.rtp" \
            "$SCRATCH/folder" | tr '\n' ' ')" >>"$SUMMARY"
    done
}

describe_machine() {
    {
        echo "date=$(date -u +%Y-%m-%dT%H:%MZ)"
        echo "cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
        echo "cores=$(nproc) memory=$(free -g | awk '/Mem:/{print $2}')GiB"
        echo "load_before=$(cut -d' ' -f1-3 /proc/loadavg)"
        echo "package=$PACKAGE old=$OLD_VERSION new=$NEW_VERSION"
        echo "xdelta3=$(dpkg-query -W -f='${Version}' xdelta3)" \
            "bsdiff=$(dpkg-query -W -f='${Version}' bsdiff)" \
            "zstd=$(dpkg-query -W -f='${Version}' zstd)"
        echo "compiler=$(c++ --version | head -1)"
    } >>"$SUMMARY"
}

main() {
    install_tools
    build
    mkdir -p "$WORK" "$RESULTS" "$SCRATCH"
    TABLE=$RESULTS/pairs.tsv
    SUMMARY=$RESULTS/summary.txt
    : >"$SUMMARY"
    printf 'pair\ttool\tpatch_bytes\tbuild_s\tbuild_peak_kib\tapply_s\tapply_peak_kib\n' >"$TABLE"
    describe_machine

    local old_deb new_deb
    old_deb=$(fetch_deb "$OLD_VERSION")
    new_deb=$(fetch_deb "$NEW_VERSION")
    unpack "$old_deb" "$WORK/trees/old"
    unpack "$new_deb" "$WORK/trees/new"
    rm -rf "$WORK/pairs"
    local pairs
    make_pairs "$WORK/trees/old" "$WORK/trees/new" >"$WORK/pairs.list"
    mapfile -t pairs <"$WORK/pairs.list"
    ((${#pairs[@]})) || die "the two versions of $PACKAGE hold no differing file"
    echo "changed_files=${#pairs[@]} of $(find "$WORK/trees/old" -type f | wc -l)" >>"$SUMMARY"

    local pair largest=""
    for pair in "${pairs[@]}"; do
        measure_pair "$pair"
        if [[ -z $largest ]] || (($(stat -c %s "$pair/old/$(basename "$pair")") > \
            $(stat -c %s "$largest/old/$(basename "$largest")"))); then
            largest=$pair
        fi
    done
    measure_tree "$WORK/trees/old" "$WORK/trees/new"
    measure_idle_gaps "$largest"

    local synthetic
    synthetic=$(make_synthetic)
    measure_pair "$synthetic"
    measure_idle_gaps "$synthetic"
    echo "load_after=$(cut -d' ' -f1-3 /proc/loadavg)" >>"$SUMMARY"
    rm -rf "$SCRATCH"

    column -t -s $'\t' "$TABLE"
    cat "$SUMMARY"
    log "results in $RESULTS"
}

main "$@"
