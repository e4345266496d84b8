"""Real patch files for scenarios that run the real library: built with the project's own
patch builder from two file trees, the game as on the CD and the game as it should become."""
import subprocess
import tempfile
from pathlib import Path

from . import paths


def write_tree(root: Path, files: dict):
    """{relative name with backslashes: bytes} as files under `root`."""
    for name, data in files.items():
        path = root.joinpath(*name.split("\\"))
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)


def build_patch(old: dict, new: dict, patch_file: Path, delete=False, signing_key=None):
    """A patch file that turns the `old` tree into the `new` one. Its locator is the game's
    registry value Program, as the updater leaves it during the run. With `signing_key` (a
    private key file) it is signed with that key."""
    with tempfile.TemporaryDirectory(prefix="quill-e2e-trees-") as work:
        old_root, new_root = Path(work, "old"), Path(work, "new")
        old_root.mkdir()
        new_root.mkdir()
        write_tree(old_root, old)
        write_tree(new_root, new)
        options = ["--quiet"] + (["--delete"] if delete else [])
        if signing_key:
            options += ["--sign", str(signing_key)]
        subprocess.run([str(paths.patch_builder()), *options, str(old_root), str(new_root),
                        str(patch_file)], check=True, timeout=120)
