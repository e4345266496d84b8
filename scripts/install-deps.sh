#!/usr/bin/env bash
# Installs every build and test dependency from Debian's packages, and fetches the source
# packages that the Windows build cross-compiles (scripts/third-party-sources.sh). Safe to
# run again: when everything is present already it only checks and returns.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64-win32 libz-mingw-w64-dev
  zlib1g-dev libzstd-dev liblzma-dev libdivsufsort-dev libsodium-dev libgtest-dev googletest
  wine wine32:i386 wine64 fonts-wine xvfb xauth x11-utils imagemagick
  xdelta3 python3 python3-pytest python3-pytest-xdist llvm
  dpkg-dev bzip2 xz-utils autoconf automake libtool make openssl
  gzip zip p7zip-full openjdk-17-jdk-headless optipng
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if [ ${#missing[@]} -ne 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_if_needed dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  # A mirror caught mid-sync fails the update of one index now and then; try again, and
  # go on with the indexes it did fetch rather than give up (the install then says what
  # is really missing).
  for attempt in 1 2 3; do
    sudo_if_needed apt-get update -qq && break
    [ "$attempt" -eq 3 ] && break
    echo "apt-get update failed (attempt $attempt); retrying" >&2
    sleep $((attempt * 10))
  done
  if ! sudo_if_needed apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
    # wine32 needs its i386 libraries at exactly the versions of their amd64 twins; when a
    # mirror's i386 index of the security suite is stale, the two sides' newest versions
    # differ and nothing resolves. The main suites alone still pair up.
    echo "install failed; trying again without the security suite" >&2
    main_only=$(mktemp -d)
    # Both ways of listing sources: deb822 stanzas in sources.list.d, one-line entries in
    # sources.list.
    { cat /etc/apt/sources.list.d/*.sources 2>/dev/null || true; } |
      awk 'BEGIN { RS = ""; ORS = "\n\n" } !/debian-security/' >"$main_only/main.sources"
    grep -v debian-security /etc/apt/sources.list >"$main_only/main.list" 2>/dev/null || true
    sudo_if_needed apt-get install -y -qq --no-install-recommends \
      -o Dir::Etc::SourceParts="$main_only" -o Dir::Etc::SourceList="$main_only/main.list" \
      "${missing[@]}"
    rm -rf "$main_only"
  fi
fi

"$(dirname "$0")/third-party-sources.sh"
