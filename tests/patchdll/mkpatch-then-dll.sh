#!/usr/bin/env bash
# End to end under Wine: mkpatch.exe builds a patch from two folders, the host applies it
# through fpatch32.dll to a copy of the old folder, which must then equal the new folder. One
# of the files is an x86 program whose code moved, which the patch must code with predicted
# references.
# Arguments: mkpatch.exe, patchdll_apply.exe.
set -eu
mkpatch=$1
host=$2
. "$(dirname "$0")/../wine/prefix.sh"
work=$(mktemp -d /tmp/quill-mkpatch-dll.XXXXXX)
prefix=$work/prefix
quill_wine_scratch "$prefix"
export WINEPREFIX=$prefix
trap 'quill_wine_end "$prefix"; rm -rf "$work"' EXIT

mkdir -p "$work/old/data" "$work/new/data" "$work/new/movies" "$work/old/server" "$work/new/server"
python3 "$(dirname "$0")/make-moved-program.py" 0 "$work/old/server/quillmere-server"
python3 "$(dirname "$0")/make-moved-program.py" 37 "$work/new/server/quillmere-server"
head -c 3000000 /dev/urandom >"$work/old/data/maps.pak"
{ head -c 1000000 "$work/old/data/maps.pak"; echo "changed"; tail -c 1500000 "$work/old/data/maps.pak"; } \
    >"$work/new/data/maps.pak"
printf 'Quillmere 1.0\r\n' >"$work/old/readme.txt"
printf 'Quillmere 1.1\r\n' >"$work/new/readme.txt"
echo "no longer needed" >"$work/old/data/old.txt"
echo "new in this version" >"$work/new/movies/intro.txt"
cp -a "$work/old" "$work/game"

wine "$mkpatch" --quiet --delete 'Z:'"$work/old" 'Z:'"$work/new" 'Z:'"$work/Patch1.rtp"
if ! grep -q QBLP "$work/Patch1.rtp"; then
    echo "the program's payload does not predict its references" >&2
    exit 1
fi
wine "$host" 'Z:'"$work/Patch1.rtp" 'Z:'"$work/game" | tee "$work/events.txt"
grep -q '^result 0 ' "$work/events.txt"
diff -r "$work/game" "$work/new"
echo "the game folder equals the new folder"
