#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite: the native unit
# tests (under sanitizers), the Windows tests under Wine, the end-to-end tests of Update.exe
# under Wine and Xvfb, and the fuzz targets for a bounded time. Exits non-zero if any fails.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh || exit 1
scripts/build.sh || exit 1

failed=()
run_suite() {
    local name=$1
    shift
    echo "=== $name"
    "$@" || failed+=("$name")
}

run_suite "native unit tests" ctest --test-dir build/native --output-on-failure -j 2
windows_arch=$(tests/wine/windows-arch.sh)
[ "$windows_arch" = win32 ] || echo "=== this machine runs no 32-bit code: the Windows tests run the $windows_arch build"
run_suite "windows tests under wine" ctest --test-dir "build/$windows_arch" --output-on-failure -j 2
# What needs no Wine is checked on the shipped 32-bit programs too.
[ "$windows_arch" = win32 ] ||
    run_suite "checks of the 32-bit programs" ctest --test-dir build/win32 --output-on-failure \
        -L static
[ -x tests/e2e/run.sh ] && run_suite "end-to-end tests" tests/e2e/run.sh
[ -x tests/fuzz/run.sh ] && run_suite "fuzz targets" tests/fuzz/run.sh

if [ ${#failed[@]} -ne 0 ]; then
    echo "FAILED: ${failed[*]}"
    exit 1
fi
echo "all suites passed"
