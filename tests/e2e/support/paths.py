"""Where the built programs and the tests' own output are."""
import os
from pathlib import Path

REPO = Path(__file__).resolve().parents[3]
BUILD = Path(os.environ.get("QUILL_BUILD_DIR", REPO / "build" / "win32"))
# Screenshots and notes of failed scenarios, the demo's pictures.
ARTIFACTS = Path(os.environ.get("QUILL_E2E_ARTIFACTS", REPO / "build" / "e2e"))
PREFIX_SCRIPT = REPO / "tests" / "wine" / "prefix.sh"


def _first_existing(*candidates: Path) -> Path:
    for candidate in candidates:
        if candidate.is_file():
            return candidate
    raise FileNotFoundError(
        "not built: " + " or ".join(str(c) for c in candidates) + " (run scripts/build.sh)")


def update_exe() -> Path:
    if "QUILL_UPDATE_EXE" in os.environ:
        return _first_existing(Path(os.environ["QUILL_UPDATE_EXE"]))
    return _first_existing(BUILD / "Update.exe", BUILD / "app" / "Update.exe")


def driver_exe() -> Path:
    return _first_existing(BUILD / "tests" / "e2e" / "driver" / "e2e-driver.exe")
