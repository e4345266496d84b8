"""File systems mounted over a folder of the player's machine, so that writes there fail
honestly: a small disk that fills up, a read-only medium. Mounting needs root; without it
the scenario is skipped."""
import contextlib
import subprocess
from pathlib import Path

import pytest


def _mount(*args):
    if subprocess.run(["mount", *args], capture_output=True).returncode != 0:
        pytest.skip(f"cannot mount here (not root?): mount {' '.join(args)}")


def unmount(folder: Path):
    """Ends what is mounted over `folder`, if anything still is (a bind mount included)."""
    if subprocess.run(["mountpoint", "-q", str(folder)]).returncode == 0:
        subprocess.run(["umount", "-l", str(folder)], check=True)


@contextlib.contextmanager
def small_disk(folder: Path, size="1m"):
    """`folder` (made if missing) on an empty file system of `size`."""
    folder.mkdir(parents=True, exist_ok=True)
    _mount("-t", "tmpfs", "-o", f"size={size}", "tmpfs", str(folder))
    try:
        yield folder
    finally:
        unmount(folder)


@contextlib.contextmanager
def read_only(folder: Path):
    """`folder` with what it holds, read-only until the block ends or `unmount` ends it
    early (the player takes the cause away)."""
    _mount("--bind", str(folder), str(folder))
    try:
        _mount("-o", "remount,bind,ro", str(folder))
        yield folder
    finally:
        unmount(folder)
