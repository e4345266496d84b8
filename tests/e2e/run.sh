#!/usr/bin/env bash
# Runs the end-to-end scenarios of Update.exe under Wine and Xvfb (after scripts/build.sh).
# Arguments go to pytest, e.g. `tests/e2e/run.sh -k about -x`. Screenshots of failed
# scenarios land in build/e2e/failures.
set -euo pipefail
cd "$(dirname "$0")"
# Scenarios run side by side, one Xvfb per worker and one Wine prefix per scenario;
# QUILL_E2E_JOBS=0 runs them one after another in one process. Debian's pytest belongs to
# the system's Python, which need not be the first on PATH.
exec /usr/bin/python3 -m pytest -n "${QUILL_E2E_JOBS:-2}" "$@"
