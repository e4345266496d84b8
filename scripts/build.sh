#!/usr/bin/env bash
# Builds everything: the native build of the portable code with its unit tests (under the
# address and undefined-behaviour sanitizers) and the Windows build (Update.exe, fpatch32.dll,
# the tools and the Windows tests).
#   scripts/build.sh --demo   only what the demo runs: the native patch builder that makes its
#                             patch files, and Update.exe, fpatch32.dll, the UI driver and the
#                             sample game program for Windows. The same build folders, so a
#                             later full build goes on from there.
set -euo pipefail
cd "$(dirname "$0")/.."

demo=false
native_targets=(all)
windows_targets=(all)
if [ "${1:-}" = --demo ]; then
    demo=true
    native_targets=(mkpatch)
    windows_targets=(demo_programs)
elif [ $# -ne 0 ]; then
    echo "usage: scripts/build.sh [--demo]" >&2
    exit 1
fi

jobs=$(nproc)
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILL_SANITIZE=ON >/dev/null
cmake --build build/native -j "$jobs" --target "${native_targets[@]}"
# The Windows build cross-compiles Debian's source packages of zstd, liblzma and
# libdivsufsort; this fetches them once.
scripts/third-party-sources.sh
# On a machine that runs no 32-bit code the Windows tests run the same sources built for
# 64-bit Windows; the demo needs only that build there.
windows_arch=$(tests/wine/windows-arch.sh)
if [ "$demo" = false ] || [ "$windows_arch" = win32 ]; then
    cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
    cmake --build build/win32 -j "$jobs" --target "${windows_targets[@]}"
fi
if [ "$windows_arch" = win64 ]; then
    cmake -S . -B build/win64 -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
    cmake --build build/win64 -j "$jobs" --target "${windows_targets[@]}"
fi
