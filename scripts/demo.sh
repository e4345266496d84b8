#!/usr/bin/env bash
# Shows Update.exe updating a demo installation: installs what is missing, builds what it runs,
# sets up a player's machine with a small game, its CD and a patch in a throw-away Wine
# prefix, and runs the updater on $DISPLAY (you click through it) or, without a display,
# under Xvfb (it clicks through by itself). Screenshots are saved in build/demo.
#   scripts/demo.sh --screenshot   also refreshes docs/screenshot.png
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh --demo
exec /usr/bin/python3 tests/e2e/demo.py "$@"
