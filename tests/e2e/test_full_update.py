"""Whole updates with the real fpatch32.dll and patch files made by the project's builder:
the files come from the CD, the library patches them in the installed game, and the game
ends up at the new version."""
import pytest

from support.machine import GAME_KEY, INSTALL_DIR
from support.sample_game import PATCHED, installed_files, prepare_update
from support.steps import answer_cd_prompt, expect_error_summary, \
    expect_patch_refused_and_nothing_changed, start_run, update_to_the_end, \
    wait_for_the_end_of_the_run
from support.updater import IDC_LOG


@pytest.mark.parametrize("install_dir", [
    INSTALL_DIR,
    # Sanitised to Caf0 for the run: the library finds the game through the registry value
    # that the run rewrote, and the finish moves the patched game back.
    r"C:\Games\Caf" + "\u00e9",
])
def test_update_brings_the_installed_game_to_the_new_version(machine, install_dir):
    machine.registry["Program"] = install_dir
    machine.write_language_ini("Quillmere", install_dir=install_dir)
    prepare_update(machine, install_dir)
    app = update_to_the_end(machine)

    assert installed_files(machine, install_dir) == PATCHED
    # Only copied archives are listed, and global.xarc never.
    map_file = machine.host_path(install_dir + r"\update.map")
    assert map_file.read_bytes() == b"data\\maps.xarc\r\n"
    assert app.registry_value(GAME_KEY, "Program") == install_dir + "\\"


def test_damaged_patch_file_changes_nothing(machine):
    prepare_update(machine)
    patch_file = machine.host_path(r"C:\Update\Patch1.rtp")
    data = bytearray(patch_file.read_bytes())
    data[-10] ^= 0xFF  # inside the last payload
    patch_file.write_bytes(bytes(data))
    expect_patch_refused_and_nothing_changed(machine)


def test_original_missing_on_the_cd_stops_the_update(machine):
    prepare_update(machine)
    (machine.cd / "data" / "maps.xarc").unlink()
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    expect_error_summary(app)
    wait_for_the_end_of_the_run(dialog)

    assert "maps.xarc" in dialog.text(IDC_LOG)
    assert not machine.host_path(INSTALL_DIR + r"\data\music.xarc").exists()
