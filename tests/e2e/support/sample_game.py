"""A small game and its update: the files of the game CD, the files the update turns them
into, and a player's machine made ready for that update. Used by the scenarios of whole
updates and by the demo."""
from . import patches
from .machine import INSTALL_DIR, UPDATE_DIR

_MAPS = bytes(range(256)) * 400
# The game as its CD holds it.
ORIGINAL = {
    r"data\maps.xarc": _MAPS,
    r"data\global.xarc": b"global settings, version 1.0\r\n" * 50,
    "readme.txt": b"Quillmere 1.0\r\n",
}
# The game as the update leaves it: changed files and one that is new.
PATCHED = {
    r"data\maps.xarc": _MAPS[:30000] + b"a new region" + _MAPS[30000:],
    r"data\global.xarc": b"global settings, version 1.1\r\n" * 50,
    "readme.txt": b"Quillmere 1.1\r\n",
    r"data\music.xarc": b"new music" * 1000,
}
# The game's second CD, for an update in two patch files: Patch2.rtp turns these files.
ORIGINAL_CD2 = {r"data\towns.xarc": b"town of Quillmere, 1.0\r\n" * 400}
PATCHED_CD2 = {r"data\towns.xarc": b"town of Quillmere, 1.1\r\n" * 400,
               r"data\harbour.xarc": b"the new harbour" * 500}
# What the player changed in the installed game: the update replaces it with the CD's copy.
EDITED_README = b"edited by the player"


def prepare_update(machine, install_dir=INSTALL_DIR, two_cds=False, signing_key=None):
    """The CD holds the original files, the installation a state of its own (a read-only
    readme the player edited), and Patch1.rtp beside the updater turns the original into the
    patched game. With `two_cds`, Patch2.rtp follows for the second CD's files (drive E:
    holds both CDs' files and markers). With `signing_key` Patch1.rtp is signed with it."""
    patches.write_tree(machine.cd, ORIGINAL)
    machine.write_file(install_dir + r"\readme.txt", EDITED_README)
    machine.host_path(install_dir + r"\readme.txt").chmod(0o444)
    patches.build_patch(ORIGINAL, PATCHED, machine.host_path(UPDATE_DIR + r"\Patch1.rtp"),
                        signing_key=signing_key)
    if two_cds:
        patches.write_tree(machine.cd, ORIGINAL_CD2)
        (machine.cd / "data2.tag").write_bytes(b"")
        patches.build_patch(ORIGINAL_CD2, PATCHED_CD2,
                            machine.host_path(UPDATE_DIR + r"\Patch2.rtp"))


def installed_files(machine, install_dir=INSTALL_DIR, expected=PATCHED):
    """The installed game's files of the names the update produces."""
    return {name: machine.host_path(install_dir + "\\" + name).read_bytes() for name in expected}


def files_now(machine, install_dir=INSTALL_DIR):
    """{name: bytes, or None when absent} for every file the update knows of."""
    files = {name: machine.host_path(install_dir + "\\" + name) for name in {*ORIGINAL, *PATCHED}}
    return {name: path.read_bytes() if path.is_file() else None for name, path in files.items()}


def assert_each_file_old_or_new(machine, before, install_dir=INSTALL_DIR):
    """Every file is as it was (`before`, from files_now), as the CD holds it, or as the update
    makes it; a file the update adds is absent or complete. No temporary file is left."""
    for name, now in files_now(machine, install_dir).items():
        assert now in (before[name], ORIGINAL.get(name), PATCHED.get(name)), name
    root = machine.host_path(install_dir)
    # The CD copier's temporary names begin with "~", the library's end with it.
    assert [p.name for p in root.rglob("*") if p.name.startswith("~") or
            p.name.endswith("~")] == []
