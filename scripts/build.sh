#!/usr/bin/env bash
# Builds everything: the native build of the portable code with its unit tests (under the
# address and undefined-behaviour sanitizers) and the Windows build (Update.exe, fpatch32.dll,
# the tools and the Windows tests).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILL_SANITIZE=ON >/dev/null
cmake --build build/native -j "$jobs"
# The Windows build cross-compiles Debian's source packages of zstd, liblzma and
# libdivsufsort; this fetches them once.
scripts/third-party-sources.sh
cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32 -j "$jobs"
# On a machine that runs no 32-bit code the Windows tests run the same sources built for
# 64-bit Windows.
if [ "$(tests/wine/windows-arch.sh)" = win64 ]; then
    cmake -S . -B build/win64 -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
    cmake --build build/win64 -j "$jobs"
fi
