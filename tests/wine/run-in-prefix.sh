#!/usr/bin/env bash
# Runs one Windows test program under Wine in a prefix of its own, removed afterwards.
# CMake uses this as the emulator of the cross build, so `ctest` runs Windows tests as is.
set -u
. "$(dirname "$0")/prefix.sh"
prefix=$(mktemp -d /tmp/quill-wine.XXXXXX)
quill_wine_scratch "$prefix"
export WINEPREFIX=$prefix
# Programs that make windows need a display; without one they get a private Xvfb.
if [ -n "${DISPLAY:-}" ]; then
    wine "$@"
else
    xvfb-run -a -s "-screen 0 1024x768x24" wine "$@"
fi
rc=$?
quill_wine_end "$prefix"
exit $rc
