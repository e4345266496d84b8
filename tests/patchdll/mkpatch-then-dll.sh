#!/usr/bin/env bash
# End to end under Wine: mkpatch.exe builds a patch from two folders, the host applies it
# through fpatch32.dll to a copy of the old folder, which must then equal the new folder. Two
# of the files are x86 programs whose code moved, an ELF one and a PE32 one built by MinGW
# as a game's programs are, which the patch must code with predicted references.
# Arguments: mkpatch.exe, patchdll_apply.exe.
set -eu
mkpatch=$1
host=$2
. "$(dirname "$0")/../wine/prefix.sh"
. "$(dirname "$0")/patch-then-apply.sh"
quill_wine_work mkpatch-dll

mkdir -p "$work/old/data" "$work/new/data" "$work/new/movies" "$work/old/server" "$work/new/server"
python3 "$(dirname "$0")/make-moved-program.py" 0 "$work/old/server/quillmere-server"
python3 "$(dirname "$0")/make-moved-program.py" 37 "$work/new/server/quillmere-server"
for grown in 0 40; do
    python3 "$(dirname "$0")/write-moved-program-source.py" $grown "$work/game-$grown.c"
    i686-w64-mingw32-gcc -O2 -s "$work/game-$grown.c" -o "$work/game-$grown.exe"
done
mv "$work/game-0.exe" "$work/old/game.exe"
mv "$work/game-40.exe" "$work/new/game.exe"
# Seeded, so that no chance run of its compressed bytes reads as a payload's magic below.
python3 -c 'import random, sys; random.seed(7); sys.stdout.buffer.write(random.randbytes(3000000))' \
    >"$work/old/data/maps.pak"
{ head -c 1000000 "$work/old/data/maps.pak"; echo "changed"; tail -c 1500000 "$work/old/data/maps.pak"; } \
    >"$work/new/data/maps.pak"
printf 'Quillmere 1.0\r\n' >"$work/old/readme.txt"
printf 'Quillmere 1.1\r\n' >"$work/new/readme.txt"
echo "no longer needed" >"$work/old/data/old.txt"
echo "new in this version" >"$work/new/movies/intro.txt"
cp -a "$work/old" "$work/game"

patch_then_apply QBLP 2 "the programs' payloads do not both predict their references" --delete
echo "the game folder equals the new folder"
