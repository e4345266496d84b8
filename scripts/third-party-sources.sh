#!/usr/bin/env bash
# Fetches Debian's source packages of the libraries that the Windows build cross-compiles
# (zstd, liblzma from xz-utils, libdivsufsort, libsodium: Debian has no MinGW builds of
# them), checks
# every file against scripts/third-party-sources.sha256 and unpacks each package with
# Debian's patches applied into build/third-party/<source package>.
#
# The versions are the ones named by the .dsc files in the checksum list. apt downloads
# them through a deb-src list of its own under build/third-party/apt: the machine's own apt
# sources and lists stay as they are. Safe to run again: when the checked files and their
# unpacked trees are there, it does nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

pins=$PWD/scripts/third-party-sources.sha256
root=$PWD/build/third-party
downloads=$root/downloads
apt_dir=$root/apt
archive_key=/usr/share/keyrings/debian-archive-keyring.gpg

mapfile -t dscs < <(awk '$2 ~ /\.dsc$/ { print $2 }' "$pins")

verified() {
    (cd "$downloads" 2>/dev/null && sha256sum --check --status "$pins")
}

apt_private() {
    "$@" -o Dir::Etc::SourceList="$apt_dir/sources.list" \
        -o Dir::Etc::SourceParts="$apt_dir/sources.list.d" \
        -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" \
        -o APT::Sandbox::User="$(id -un)"
}

download() {
    mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache" "$downloads"
    cat >"$apt_dir/sources.list" <<LIST
deb-src [signed-by=$archive_key] http://deb.debian.org/debian bookworm main
deb-src [signed-by=$archive_key] http://deb.debian.org/debian bookworm-updates main
deb-src [signed-by=$archive_key] http://deb.debian.org/debian-security bookworm-security main
LIST
    apt_private apt-get -qq update
    local dsc name
    for dsc in "${dscs[@]}"; do
        name=${dsc%.dsc}
        (cd "$downloads" && apt_private apt-get -qq source --download-only "${name%%_*}=${name#*_}")
    done
}

# Unpacks into a fresh folder that is renamed into place when complete, with the .dsc's
# name inside, so that a changed pin or a broken run unpacks again.
unpack() {
    local dsc=$1 package=${1%%_*}
    if [ "$(cat "$root/$package/.debian-source" 2>/dev/null)" = "$dsc" ]; then
        return
    fi
    rm -rf "${root:?}/$package" "$root/$package.partial"
    # The .dsc's signature cannot be checked without Debian's developer keys; its files'
    # checksums are, and the pinned list covers the .dsc itself.
    if ! dpkg-source --no-copy -x "$downloads/$dsc" "$root/$package.partial" >"$root/$package.log" 2>&1; then
        cat "$root/$package.log" >&2
        exit 1
    fi
    echo "$dsc" >"$root/$package.partial/.debian-source"
    mv "$root/$package.partial" "$root/$package"
}

if ! verified; then
    echo "fetching Debian's source packages: ${dscs[*]}"
    download
    if ! verified; then
        (cd "$downloads" && sha256sum --check "$pins") >&2 || true
        echo "the downloaded sources do not match $pins" >&2
        exit 1
    fi
fi
for dsc in "${dscs[@]}"; do
    unpack "$dsc"
done
