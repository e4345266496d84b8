#!/usr/bin/env bash
# Measures the deflate parse and the zlib search on real files of each kind game data
# travels in (docs/deflate-recoding.md): Debian's own .gz files (GNU gzip -9n), a tarball by
# GNU gzip -9, zlib -6 text from Python, Info-ZIP at levels 1, 6 and 9, 7-Zip's deflate,
# jar files from the JDK and Debian, and PNG images from Debian's packages. Needs a Release
# build of deflate_scan (cmake -B build/release -DCMAKE_BUILD_TYPE=Release; ninja deflate_scan).
# Prints one "total" line per sample; the per-stream lines go to $work/<sample>.txt.
set -euo pipefail
cd "$(dirname "$0")/../.."
scan=${SCAN:-build/release/deflate/deflate_scan}
work=${WORK:-build/deflate-measure}
rm -rf "$work"
mkdir -p "$work/in"

# The same inputs for every archiver: Debian's documentation of a few packages.
src="$work/in/docs"
mkdir -p "$src"
for p in bash apt coreutils gcc-12 python3.11 cmake; do
    [ -d "/usr/share/doc/$p" ] && cp -rL "/usr/share/doc/$p" "$src/" 2>/dev/null || true
done
find "$src" -name '*.gz' -exec gzip -dfq {} + 2>/dev/null || true
tar -C "$work/in" -cf "$work/in/docs.tar" docs

python3 - "$work/in/docs.tar" "$work/zlib6-text.zlib" <<'PY'
import sys, zlib
data = open(sys.argv[1], "rb").read()
open(sys.argv[2], "wb").write(zlib.compress(data, 6))
PY
gzip -9 -c "$work/in/docs.tar" >"$work/gzip9-tarball.tar.gz"
gzip -6 -c "$work/in/docs.tar" >"$work/gzip6-tarball.tar.gz"
for level in 1 6 9; do
    (cd "$work/in" && zip -q -r -"$level" "../infozip$level.zip" docs)
done
(cd "$work/in" && 7z a -tzip -mx=9 -bd ../7zip9.zip docs >/dev/null)
(cd "$work/in" && jar cf ../jdk.jar docs)
cat /usr/share/doc/*/changelog.Debian.gz >"$work/debian-changelogs.gz.cat"
find /usr/share/java -name '*.jar' -type f | sort | awk 'NR <= 40' | xargs cat >"$work/debian-jars.cat"
find /usr/share/icons /usr/share/doc -name '*.png' -type f | sort | awk 'NR <= 400' |
    xargs cat >"$work/debian-pngs.cat"

for sample in zlib6-text.zlib gzip9-tarball.tar.gz gzip6-tarball.tar.gz infozip1.zip \
    infozip6.zip infozip9.zip 7zip9.zip jdk.jar debian-changelogs.gz.cat debian-jars.cat \
    debian-pngs.cat; do
    "$scan" "$work/$sample" >"$work/$sample.txt"
    tail -n 1 "$work/$sample.txt"
done
