#!/usr/bin/env bash
# Benchmarks of the patch engine against xdelta3, bsdiff and zstd --patch-from on real file
# pairs (two versions of Debian packages' binaries, for one or more architectures, and this
# project's own 32-bit Windows programs built from two commits) and one large synthetic pair. Not a test: it asserts nothing about timings, it measures and writes
# a report and a chart. Ours replaces files durably, so each peer's apply is timed both as
# it is and with its output synced.
#
#   bench/run.sh            everything (about 40 minutes on 2 cores)
#   bench/run.sh --docs     the same, then the chart copied to docs/benchmarks.png
#   BENCH_QUICK=1 bench/run.sh               the real pairs only, without xdelta3 -9
#   BENCH_SYNTHETIC_MIB=256 bench/run.sh     a smaller synthetic pair
#   BENCH_PACKAGES="zstd:amd64 zstd:i386" BENCH_OLD_VERSION=... BENCH_NEW_VERSION=... bench/run.sh
#   BENCH_PE32_PAIRS="OLD:NEW:PROGRAM,... ..." bench/run.sh   other commits of this project
#   BENCH_QUICK=1 BENCH_ONLY=compressed bench/run.sh   the compressed pairs alone
#
# Downloads and unpacked trees are cached in bench/work/, results go to bench/results/
# (both git-ignored): pairs.tsv, summary.txt and chart.png (drawn by bench/chart.py).
# Running it again reuses the cache and measures anew.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
WORK=$ROOT/bench/work
RESULTS=$ROOT/bench/results
BUILD=$ROOT/build/bench

# PACKAGE:ARCH entries, each measured between the same two versions. The tools run natively;
# another architecture's binaries are just data to them.
read -r -a PACKAGES <<<"${BENCH_PACKAGES-libreoffice-core:amd64 libreoffice-core:i386}"
OLD_VERSION=${BENCH_OLD_VERSION:-4:7.4.7-1+deb12u13}
NEW_VERSION=${BENCH_NEW_VERSION:-4:7.4.7-1+deb12u14}
# OLD:NEW:PROGRAMS entries: this project's 32-bit Windows programs built (by MinGW, as the
# release is) from two commits, each pair a rebuild after one small fix, the case a game
# publisher patches most. The first fix changed the library and the builder, the second the
# updater; a program the fix did not touch differs only in its link time, and is left out.
PE32_PROGRAMS=(fpatch32.dll mkpatch.exe Update.exe)
read -r -a PE32_PAIRS <<<"${BENCH_PE32_PAIRS-0e8b2e7:4601b78:fpatch32.dll,mkpatch.exe 930339e~1:930339e:Update.exe}"
SYNTHETIC_MIB=${BENCH_SYNTHETIC_MIB:-1024}
SYNTHETIC_SEED=${BENCH_SYNTHETIC_SEED:-7}
APPLY_RUNS=${BENCH_APPLY_RUNS:-3}
# Quick mode: the real pairs only and no xdelta3 -9 (its slow build adds little beside
# xdelta3's default), for figures in minutes rather than most of an hour.
QUICK=${BENCH_QUICK:-0}
# compressed: only the compressed pairs (bench/compressed-pairs.sh).
ONLY=${BENCH_ONLY:-}
if [[ $ONLY == compressed ]]; then
    PACKAGES=()
    PE32_PAIRS=()
fi
# bsdiff needs about 17 times the old file's size in memory and hours for a GiB.
BSDIFF_MAX_MIB=${BENCH_BSDIFF_MAX_MIB:-256}
ZSTD_MAX_MIB=${BENCH_ZSTD_MAX_MIB:-256}
# Packages only the benchmark needs; the build and tests do not.
# The chart is drawn by Debian's Python, where python3-matplotlib is installed, whatever
# other python3 the PATH finds first.
PYTHON=/usr/bin/python3
TOOL_PACKAGES=(xdelta3 bsdiff zstd time python3-matplotlib)

die() {
    echo "bench: $*" >&2
    exit 1
}

log() {
    echo "bench: $*" >&2
}

install_tools() {
    local missing=()
    for package in "${TOOL_PACKAGES[@]}"; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    if ((${#missing[@]})); then
        log "installing ${missing[*]}"
        apt-get install -y -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}" \
            >/dev/null ||
            die "could not install ${missing[*]} (try apt-get update first)"
    fi
    for tool in xdelta3 bsdiff bspatch zstd /usr/bin/time apt-get apt-cache dpkg-deb cmake \
        ninja cmp "$PYTHON"; do
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

# bench/work/debs/PACKAGE_ARCH/VERSION/PACKAGE_*.deb, downloaded once. Folders name a
# PACKAGE:ARCH entry as PACKAGE_ARCH.
fetch_deb() {
    local entry=$1 version=$2
    local package=${entry%%:*} dir=$WORK/debs/${entry//:/_}/${version//[:+~]/_}
    if ! compgen -G "$dir/${package}_*.deb" >/dev/null; then
        log "downloading $entry $version"
        rm -rf "$dir.part" && mkdir -p "$dir.part"
        (cd "$dir.part" && apt-get -o APT::Sandbox::User=root download "$entry=$version" \
            >/dev/null) || {
            apt-cache madison "$entry" >&2 || true
            die "cannot download $entry $version; set BENCH_OLD_VERSION/BENCH_NEW_VERSION to" \
                "two of the versions above (run apt-get update if the list is empty)"
        }
        rm -rf "$dir" && mv "$dir.part" "$dir"
    fi
    compgen -G "$dir/${package}_*.deb"
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
# the same single file: bench/work/pairs/PACKAGE_ARCH/NAME/{old,new}/NAME. Prints the pair
# folders.
make_pairs() {
    local old=$1 new=$2 into=$3 rel name
    while IFS= read -r -d '' rel; do
        rel=${rel#"$old"/}
        [[ -f $new/$rel ]] && ! cmp -s "$old/$rel" "$new/$rel" || continue
        name=$(basename "$rel")
        [[ ! -e $into/$name ]] || die "two changed files in $into are called $name"
        mkdir -p "$into/$name/old" "$into/$name/new"
        ln -f "$old/$rel" "$into/$name/old/$name"
        ln -f "$new/$rel" "$into/$name/new/$name"
        echo "$into/$name"
    done < <(find "$old" -type f -print0 | sort -z)
}

# Runs a command under /usr/bin/time; sets ELAPSED (s) and PEAK_KIB.
timed() {
    local out=$SCRATCH/time.out
    /usr/bin/time -f "%e %M" -o "$out" "$@" >/dev/null || die "failed: $*"
    read -r ELAPSED PEAK_KIB <"$out"
}

# Times of the applies of one tool on one pair. Ours replaces each file durably (a
# temporary flushed, renamed into place, its folder synced); the peers just write their
# output, so each peer is also timed with its output synced the same way, inside the one
# timed command. PLAIN_TIMES are the tools as they are (ours included), SYNCED_TIMES the
# peers followed by the sync (ours: its plain runs, which sync already).
PLAIN_TIMES=()
SYNCED_TIMES=()
APPLY_PEAK_KIB=0

start_applies() {
    PLAIN_TIMES=()
    SYNCED_TIMES=()
    APPLY_PEAK_KIB=0
}

# Each apply starts from a file system without dirty pages, so that none pays for the
# writeback of the run before it or of the copy `prepare` made.
settle() {
    sync -f "$SCRATCH"
}

# One apply after `prepare` (untimed); its time goes to PLAIN_TIMES and its peak to
# APPLY_PEAK_KIB.
time_plain_apply() {
    local prepare=$1
    shift
    $prepare
    settle
    timed "$@"
    PLAIN_TIMES+=("$ELAPSED")
    ((PEAK_KIB > APPLY_PEAK_KIB)) && APPLY_PEAK_KIB=$PEAK_KIB
    return 0
}

# A peer's apply followed by fsync of its output and of the output's folder (what the
# rename of ours is made durable by), timed as one command; its time goes to SYNCED_TIMES.
time_synced_apply() {
    local out=$1
    shift
    no_prepare
    settle
    timed sh -c '"$@" && sync "$0" "$(dirname "$0")"' "$out" "$@"
    SYNCED_TIMES+=("$ELAPSED")
}

# APPLY_RUNS applies of ours, each on a fresh copy of the old folder.
measure_ours_applies() {
    start_applies
    local run
    for ((run = 0; run < APPLY_RUNS; run++)); do
        time_plain_apply fresh_folder "$@"
    done
    SYNCED_TIMES=("${PLAIN_TIMES[@]}")
}

# APPLY_RUNS applies of a peer writing OUT, as it is and synced, in turns, so that a change
# in the shared machine's load falls on both.
measure_peer_applies() {
    local out=$1
    shift
    start_applies
    local run
    for ((run = 0; run < APPLY_RUNS; run++)); do
        time_plain_apply no_prepare "$@"
        time_synced_apply "$out" "$@"
    done
}

# The fastest of some times (the machine is shared; the fastest run is the one least
# disturbed).
fastest() {
    printf '%s\n' "$@" | sort -g | head -n 1
}

# The median of some times, the middle one or the mean of the middle two.
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { m = int((NR + 1) / 2); if (NR % 2) print v[m]; else printf "%.3f\n", (v[m] + v[m + 1]) / 2 }'
}

# Each run its own scratch folder, so that two runs at once do not delete each other's files.
SCRATCH=""
CURRENT_PAIR=""
# The package (PACKAGE:ARCH, or "synthetic") the pair being measured comes from.
CURRENT_SOURCE=""

fresh_folder() {
    rm -rf "$SCRATCH/folder" && mkdir -p "$SCRATCH" && cp -r "$CURRENT_PAIR/old" "$SCRATCH/folder"
}

no_prepare() {
    rm -f "$SCRATCH/out"
}

# apply_s is the fastest apply of the tool as it is, apply_synced_s the fastest with its
# output synced (ours: the same runs), the _median_s columns the medians of the same runs.
TABLE_HEADER='package\tpair\told_bytes\ttool\tpatch_bytes\tbuild_s\tbuild_peak_kib\tapply_s\tapply_peak_kib\tapply_synced_s\tapply_median_s\tapply_synced_median_s'

# One result line, in the columns of TABLE_HEADER, from the applies just measured; and the
# line of the summary comparing the tool's applies as it is and synced.
record() {
    local pair=$1 tool=$2 patch=$3 build_s=$4 build_peak=$5 expected=$6 result=$7
    local name
    name=$(basename "$pair")
    cmp -s "$expected" "$result" || die "$tool on $name ($CURRENT_SOURCE) gave a wrong result"
    local plain synced plain_median synced_median
    plain=$(fastest "${PLAIN_TIMES[@]}")
    synced=$(fastest "${SYNCED_TIMES[@]}")
    plain_median=$(median "${PLAIN_TIMES[@]}")
    synced_median=$(median "${SYNCED_TIMES[@]}")
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$CURRENT_SOURCE" "$name" \
        "$(stat -c %s "$pair/old/$name")" "$tool" "$(stat -c %s "$patch")" "$build_s" \
        "$build_peak" "$plain" "$APPLY_PEAK_KIB" "$synced" "$plain_median" "$synced_median" \
        >>"$TABLE"
    echo "apply $CURRENT_SOURCE $name $tool: median ${plain_median} s, synced ${synced_median} s;" \
        "fastest ${plain} s, synced ${synced} s; runs ${PLAIN_TIMES[*]} / synced ${SYNCED_TIMES[*]}" \
        >>"$SUMMARY"
}

# Where measure_ours leaves its patch of a pair, for the idle events to apply again.
ours_patch() {
    echo "$SCRATCH/ours-$(basename "$1").rtp"
}

measure_ours() {
    local pair=$1 name=$2 patch
    patch=$(ours_patch "$pair")
    timed "$BUILD/mkpatch/mkpatch" --quiet --no-locator "$pair/old" "$pair/new" "$patch"
    local build_s=$ELAPSED build_peak=$PEAK_KIB
    measure_ours_applies "$BUILD/fpatch/fpatch" apply --quiet "$patch" "$SCRATCH/folder"
    record "$pair" ours "$patch" "$build_s" "$build_peak" "$pair/new/$name" "$SCRATCH/folder/$name"
}

measure_xdelta() {
    local pair=$1 name=$2 tool=$3
    shift 3
    local patch=$SCRATCH/$tool.vcdiff
    timed xdelta3 -e "$@" -f -s "$pair/old/$name" "$pair/new/$name" "$patch"
    local build_s=$ELAPSED build_peak=$PEAK_KIB
    measure_peer_applies "$SCRATCH/out" xdelta3 -d -D -f -s "$pair/old/$name" "$patch" "$SCRATCH/out"
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
    measure_peer_applies "$SCRATCH/out" bspatch "$pair/old/$name" "$SCRATCH/out" "$patch"
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
    measure_peer_applies "$SCRATCH/out" zstd -q -d --long=31 -f --patch-from="$pair/old/$name" "$patch" \
        -o "$SCRATCH/out"
    record "$pair" "zstd-$level" "$patch" "$build_s" "$build_peak" "$pair/new/$name" \
        "$SCRATCH/out"
}

measure_pair() {
    local pair=$1 name
    name=$(basename "$pair")
    CURRENT_PAIR=$pair
    log "measuring $name of $CURRENT_SOURCE ($(stat -c %s "$pair/old/$name") bytes)"
    measure_ours "$pair" "$name"
    if ((QUICK)); then
        log "quick mode: no xdelta3 -9"
    else
        measure_xdelta "$pair" "$name" xdelta3-9 -9 -S none -D
    fi
    measure_xdelta "$pair" "$name" xdelta3 -D
    measure_bsdiff "$pair" "$name"
    measure_zstd "$pair" "$name" 19
    measure_zstd "$pair" "$name" 3
}

# The whole package as one patch file, as a release would ship it.
measure_tree() {
    local old=$1 new=$2 patch=$SCRATCH/tree.rtp
    timed "$BUILD/mkpatch/mkpatch" --quiet --no-locator "$old" "$new" "$patch"
    echo "tree $CURRENT_SOURCE: tree_patch_bytes=$(stat -c %s "$patch") build_s=$ELAPSED" \
        "build_peak_kib=$PEAK_KIB" >>"$SUMMARY"
}

# The longest wait for an idle event while a pair is applied in-process, with the patch
# measure_pair built for it.
measure_idle_gaps() {
    local pair=$1 name patch
    name=$(basename "$pair")
    patch=$(ours_patch "$pair")
    CURRENT_PAIR=$pair
    for ((run = 0; run < APPLY_RUNS; run++)); do
        fresh_folder
        echo "idle $CURRENT_SOURCE $name run $run: $("$BUILD/bench/bench_idle_gaps" "$patch" \
            "$SCRATCH/folder" | tr '\n' ' ')" >>"$SUMMARY"
    done
}

describe_machine() {
    {
        echo "date=$(date -u +%Y-%m-%dT%H:%MZ)"
        echo "cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
        echo "cores=$(nproc) memory=$(free -g | awk '/Mem:/{print $2}')GiB"
        echo "load_before=$(cut -d' ' -f1-3 /proc/loadavg)"
        echo "packages=${PACKAGES[*]} old=$OLD_VERSION new=$NEW_VERSION quick=$QUICK"
        echo "xdelta3=$(dpkg-query -W -f='${Version}' xdelta3)" \
            "bsdiff=$(dpkg-query -W -f='${Version}' bsdiff)" \
            "zstd=$(dpkg-query -W -f='${Version}' zstd)"
        echo "compiler=$(c++ --version | head -1)"
    } >>"$SUMMARY"
}

# Wall time of each part of the run, written to the summary at the end.
PART_TIMES=()
PART_STARTED=$SECONDS

end_part() {
    local seconds=$((SECONDS - PART_STARTED))
    log "$1 took $seconds s"
    PART_TIMES+=("part $1: ${seconds} s")
    PART_STARTED=$SECONDS
}

# Every changed file of one PACKAGE:ARCH, then its whole tree and the idle events of its
# largest file.
measure_package() {
    local entry=$1 old_deb new_deb trees=$WORK/trees/${1//:/_}
    CURRENT_SOURCE=$entry
    old_deb=$(fetch_deb "$entry" "$OLD_VERSION")
    new_deb=$(fetch_deb "$entry" "$NEW_VERSION")
    unpack "$old_deb" "$trees/old"
    unpack "$new_deb" "$trees/new"
    local pairs into=$WORK/pairs/${entry//:/_}
    rm -rf "$into"
    make_pairs "$trees/old" "$trees/new" "$into" >"$SCRATCH/pairs.list"
    mapfile -t pairs <"$SCRATCH/pairs.list"
    ((${#pairs[@]})) || die "the two versions of $entry hold no differing file"
    echo "changed_files $entry: ${#pairs[@]} of $(find "$trees/old" -type f | wc -l)" \
        >>"$SUMMARY"
    end_part "$entry download and unpack"

    local pair largest=""
    for pair in "${pairs[@]}"; do
        measure_pair "$pair"
        end_part "$entry $(basename "$pair")"
        if [[ -z $largest ]] || (($(stat -c %s "$pair/old/$(basename "$pair")") > \
            $(stat -c %s "$largest/old/$(basename "$largest")"))); then
            largest=$pair
        fi
    done
    measure_tree "$trees/old" "$trees/new"
    measure_idle_gaps "$largest"
    end_part "$entry whole tree and idle events"
}

# This project's programs built from COMMIT by its MinGW i686 release build, once:
# bench/work/pe32/HASH/programs/. Prints that folder, or nothing when this clone does not
# hold the commit. Every commit builds in the same folder, as a publisher's rebuild would,
# so that no path in the programs differs between them.
build_pe32() {
    local commit=$1 hash dir=$WORK/pe32
    hash=$(git -C "$ROOT" rev-parse --verify --quiet "$commit^{commit}") || return 0
    if [[ ! -f $dir/$hash.done ]]; then
        log "building the PE32 programs of commit $commit"
        rm -rf "$dir/src" "$dir/build" "$dir/$hash" && mkdir -p "$dir/src" "$dir/$hash"
        git -C "$ROOT" archive "$hash" | tar -x -C "$dir/src" || die "cannot unpack $commit"
        cmake -S "$dir/src" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$dir/src/cmake/mingw-i686.cmake" \
            -DQUILL_THIRD_PARTY_SOURCES="$ROOT/build/third-party" >/dev/null 2>&1 &&
            cmake --build "$dir/build" -j "$(nproc)" --target fpatch32 mkpatch Update \
                >/dev/null || die "cannot build the PE32 programs of commit $commit"
        local program
        for program in "${PE32_PROGRAMS[@]}"; do
            find "$dir/build" -name "$program" -exec cp {} "$dir/$hash/" \;
        done
        # Stripped as the release build links them (older commits kept the symbol table).
        i686-w64-mingw32-strip --strip-all "$dir/$hash"/* || die "cannot strip $commit's programs"
        touch "$dir/$hash.done"
    fi
    echo "$dir/$hash"
}

# The programs of one OLD:NEW:PROGRAMS entry, each a pair folder as make_pairs makes them.
measure_pe32_pair() {
    local entry=$1 old_commit new_commit names old new
    IFS=: read -r old_commit new_commit names <<<"$entry"
    CURRENT_SOURCE="quillmere-pe32 $old_commit..$new_commit"
    old=$(build_pe32 "$old_commit")
    new=$(build_pe32 "$new_commit")
    if [[ -z $old || -z $new ]]; then
        log "PE32 pair $entry skipped: this clone does not hold both commits"
        return
    fi
    end_part "PE32 $old_commit..$new_commit build"
    local into=$WORK/pairs/pe32-${old_commit//[~^]/_}-$new_commit name
    rm -rf "$into"
    for name in ${names//,/ }; do
        [[ -f $old/$name && -f $new/$name ]] || die "commit $old_commit or $new_commit built no $name"
        mkdir -p "$into/$name/old" "$into/$name/new"
        cp "$old/$name" "$into/$name/old/" && cp "$new/$name" "$into/$name/new/"
        measure_pair "$into/$name"
    done
    end_part "PE32 $old_commit..$new_commit"
}

measure_pe32() {
    ((${#PE32_PAIRS[@]})) || return 0
    command -v i686-w64-mingw32-g++ >/dev/null && command -v i686-w64-mingw32-strip >/dev/null ||
        die "the PE32 pairs need MinGW-w64 (scripts/install-deps.sh installs it)"
    "$ROOT/scripts/third-party-sources.sh" >/dev/null
    local entry
    for entry in "${PE32_PAIRS[@]}"; do
        measure_pe32_pair "$entry"
    done
}

# A real pair of game-archive size: the uncompressed tar of four packages of one source
# (libreoffice-core, -common, -writer, -calc for amd64, 240 MiB) at the two versions, as a
# game's data archive is patched whole. Ours against xdelta3 -9 with its source window as
# large as the file (-B), without which it would not see the whole old file.
LARGE_PACKAGES=(libreoffice-core libreoffice-common libreoffice-writer libreoffice-calc)

large_tar() {
    local version=$1 tree=$WORK/trees/large/${1//[:+~]/_} package deb
    if [[ ! -f $tree.done ]]; then
        rm -rf "$tree" && mkdir -p "$tree"
        for package in "${LARGE_PACKAGES[@]}"; do
            deb=$(fetch_deb "$package:amd64" "$version")
            dpkg-deb -x "$deb" "$tree"
        done
        touch "$tree.done"
    fi
    echo "$tree"
}

measure_large_archive() {
    local name=libreoffice-amd64.tar pair=$WORK/pairs/large/libreoffice-amd64.tar old new
    CURRENT_SOURCE=large-archive
    old=$(large_tar "$OLD_VERSION")
    new=$(large_tar "$NEW_VERSION")
    mkdir -p "$pair/old" "$pair/new"
    tar -C "$old" --sort=name --owner=0 --group=0 --numeric-owner -cf "$pair/old/$name" .
    tar -C "$new" --sort=name --owner=0 --group=0 --numeric-owner -cf "$pair/new/$name" .
    measure_ours "$pair" "$name"
    measure_xdelta "$pair" "$name" xdelta3-9-B -9 -S none -B "$(stat -c %s "$pair/old/$name")" -D
    end_part "large archive"
}

measure_synthetic() {
    local synthetic
    CURRENT_SOURCE=synthetic
    synthetic=$(make_synthetic)
    measure_pair "$synthetic"
    measure_idle_gaps "$synthetic"
    end_part "synthetic pair"
}

draw_chart() {
    "$PYTHON" "$ROOT/bench/chart.py" "$TABLE" "$RESULTS/chart.png"
    if ((COPY_CHART_TO_DOCS)); then
        cp "$RESULTS/chart.png" "$ROOT/docs/benchmarks.png"
        log "chart copied to docs/benchmarks.png"
    fi
    end_part "chart"
}

COPY_CHART_TO_DOCS=0

parse_arguments() {
    local arg
    for arg in "$@"; do
        case $arg in
        --docs) COPY_CHART_TO_DOCS=1 ;;
        *) die "unknown argument $arg (usage: bench/run.sh [--docs])" ;;
        esac
    done
}

# shellcheck source=bench/compressed-pairs.sh
. "$ROOT/bench/compressed-pairs.sh"

main() {
    parse_arguments "$@"
    install_tools
    build
    mkdir -p "$WORK" "$RESULTS"
    SCRATCH=$(mktemp -d "$WORK/scratch.XXXXXX")
    trap 'rm -rf "$SCRATCH"' EXIT
    TABLE=$RESULTS/pairs.tsv
    SUMMARY=$RESULTS/summary.txt
    : >"$SUMMARY"
    printf '%b\n' "$TABLE_HEADER" >"$TABLE"
    describe_machine
    end_part "tools and build"

    local entry
    for entry in "${PACKAGES[@]}"; do
        [[ $entry == *:* ]] || entry=$entry:$(dpkg --print-architecture)
        measure_package "$entry"
    done
    measure_pe32
    measure_compressed
    measure_large_archive
    if ((QUICK)); then
        log "quick mode: no synthetic pair"
    else
        measure_synthetic
    fi
    echo "load_after=$(cut -d' ' -f1-3 /proc/loadavg)" >>"$SUMMARY"
    draw_chart
    printf '%s\n' "${PART_TIMES[@]}" >>"$SUMMARY"

    column -t -s $'\t' "$TABLE"
    cat "$SUMMARY"
    log "results in $RESULTS"
}

main "$@"
