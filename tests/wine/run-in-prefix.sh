#!/usr/bin/env bash
# Runs one Windows test program under Wine in a prefix of its own, removed afterwards.
# CMake uses this as the emulator of the cross build, so `ctest` runs Windows tests as is.
set -u
. "$(dirname "$0")/prefix.sh"
prefix=$(mktemp -d /tmp/quill-wine.XXXXXX)
quill_wine_scratch "$prefix"
export WINEPREFIX=$prefix
wine "$@"
rc=$?
quill_wine_end "$prefix"
exit $rc
