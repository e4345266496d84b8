# shellcheck shell=bash disable=SC2154
# Sourced by the end-to-end scripts of this folder, which set $mkpatch, $host and $work.
# patch_then_apply MAGIC COUNT WHY [MKPATCH_OPTION...]: mkpatch.exe builds $work/Patch1.rtp from
# $work/old to $work/new, whose payloads must begin with MAGIC COUNT times (else WHY is the
# failure: the check that the patch took the coding the test is about), then the host applies
# it through fpatch32.dll to $work/game, which must end up equal to $work/new.
patch_then_apply() {
    local magic=$1 count=$2 why=$3
    shift 3
    wine "$mkpatch" --quiet "$@" 'Z:'"$work/old" 'Z:'"$work/new" 'Z:'"$work/Patch1.rtp"
    if (($(grep -ao "$magic" "$work/Patch1.rtp" | wc -l) != count)); then
        echo "$why" >&2
        exit 1
    fi
    wine "$host" 'Z:'"$work/Patch1.rtp" 'Z:'"$work/game" | tee "$work/events.txt"
    grep -q '^result 0 ' "$work/events.txt"
    diff -r "$work/game" "$work/new"
}
