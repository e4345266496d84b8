"""Where the built programs and the tests' own output are."""
import os
import subprocess
from pathlib import Path

REPO = Path(__file__).resolve().parents[3]
WINE_DIR = REPO / "tests" / "wine"
# win32, or win64 on a machine that runs no 32-bit code (see tests/wine/windows-arch.sh).
WINDOWS_ARCH = subprocess.run([str(WINE_DIR / "windows-arch.sh")], check=True,
                              capture_output=True, text=True).stdout.strip()
BUILD = Path(os.environ.get("QUILL_BUILD_DIR", REPO / "build" / WINDOWS_ARCH))
# The native build: its patch builder makes the scenarios' patch files.
NATIVE_BUILD = Path(os.environ.get("QUILL_NATIVE_BUILD_DIR", REPO / "build" / "native"))
# The Windows build puts every program it links here.
BIN = Path(os.environ.get("QUILL_BIN_DIR", BUILD / "bin"))
# Screenshots and notes of failed scenarios, the demo's pictures.
ARTIFACTS = Path(os.environ.get("QUILL_E2E_ARTIFACTS", REPO / "build" / "e2e"))
PREFIX_SCRIPT = WINE_DIR / "prefix.sh"
# Where `wine` starts 64-bit programs, put first on PATH for win64.
WINE64_ONLY = WINE_DIR / "wine64-only"


def built(name: str) -> Path:
    path = BIN / name
    if not path.is_file():
        raise FileNotFoundError(f"not built: {path} (run scripts/build.sh)")
    return path


def update_exe() -> Path:
    return built("Update.exe")


def driver_exe() -> Path:
    return built("e2e-driver.exe")


def holder_exe() -> Path:
    return built("e2e-holder.exe")


def patch_builder() -> Path:
    path = NATIVE_BUILD / "mkpatch" / "mkpatch"
    if not path.is_file():
        raise FileNotFoundError(f"not built: {path} (run scripts/build.sh)")
    return path


def scripted_patch_library() -> Path:
    """The stand-in fpatch32.dll that plays a script (tests/e2e/standin)."""
    path = BUILD / "e2e-standin" / "fpatch32.dll"
    if not path.is_file():
        raise FileNotFoundError(f"not built: {path} (run scripts/build.sh)")
    return path


def patch_library() -> Path:
    """The real fpatch32.dll once the build makes it, else the scripted stand-in."""
    real = BIN / "fpatch32.dll"
    return real if real.is_file() else scripted_patch_library()


def signed_patch_library() -> Path:
    """The fpatch32.dll built to trust the build's test key (tests/patchdll)."""
    path = BUILD / "signed" / "fpatch32.dll"
    if not path.is_file():
        raise FileNotFoundError(f"not built: {path} (run scripts/build.sh)")
    return path


def test_signing_key() -> Path:
    """The private half of the key that signed_patch_library trusts, made by the build."""
    path = BUILD / "test-key" / "publisher.key"
    if not path.is_file():
        raise FileNotFoundError(f"not made: {path} (run scripts/build.sh)")
    return path
