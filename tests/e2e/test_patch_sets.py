"""Which patch files lie beside the updater decides the prompts, the build check and what the
library applies: real patch files from the project's builder, applied by the real library."""
import pytest

from support import patches
from support.machine import GAME_KEY, INSTALL_DIR, UPDATE_DIR
from support.steps import DONE_IN_LOG, answer_cd_prompt, expect_build_refused, \
    expect_error_summary, start_run, wait_for_the_end_of_the_run
from support.updater import IDC_LOG, IDOK, TEXTS, text

# Two CDs' worth of game: patch 1 turns CD 1's files into the new version, patch 2 CD 2's.
CD1_ORIGINAL = {r"data\town.xarc": b"the town, first edition\r\n" * 300}
CD1_PATCHED = {r"data\town.xarc": b"the town, second edition\r\n" * 300}
CD2_ORIGINAL = {r"data\forest.xarc": bytes(range(256)) * 64, "credits.txt": b"1.0\r\n"}
CD2_PATCHED = {r"data\forest.xarc": bytes(range(255, -1, -1)) * 64, "credits.txt": b"1.1\r\n"}


def put_patch(machine, number, original, patched):
    """The originals on the CD in drive E (which carries every CD's marker) and
    Patch<number>.rtp beside the updater."""
    patches.write_tree(machine.cd, original)
    (machine.cd / f"data{number}.tag").write_bytes(b"")
    patches.build_patch(original, patched,
                        machine.host_path(UPDATE_DIR + rf"\Patch{number}.rtp"))


def installed(machine, files):
    return {name: machine.host_path(INSTALL_DIR + "\\" + name).read_bytes() for name in files}


def finish(app, dialog):
    dialog.click(IDOK)
    assert app.wait_exit()


@pytest.mark.parametrize("second", [2, 3])
def test_two_patch_files_update_the_game_and_the_finish_closes(machine, second):
    # Patch 1 and patch 2, or patch 1 and patch 3: a prompt for each, one build check.
    put_patch(machine, 1, CD1_ORIGINAL, CD1_PATCHED)
    put_patch(machine, second, CD2_ORIGINAL, CD2_PATCHED)
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    answer_cd_prompt(app, second)
    wait_for_the_end_of_the_run(dialog)

    assert dialog.text(IDC_LOG) == DONE_IN_LOG
    assert installed(machine, CD1_PATCHED) == CD1_PATCHED
    assert installed(machine, CD2_PATCHED) == CD2_PATCHED
    map_file = machine.host_path(INSTALL_DIR + r"\update.map")
    assert map_file.read_bytes() == b"data\\town.xarc\r\ndata\\forest.xarc\r\n"
    finish(app, dialog)


def test_only_the_second_patch_needs_no_build_check(machine):
    # No game.exe on the CD: a build check would refuse the update.
    (machine.cd / "game.exe").unlink()
    put_patch(machine, 2, CD2_ORIGINAL, CD2_PATCHED)
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 2)
    wait_for_the_end_of_the_run(dialog)

    assert dialog.text(IDC_LOG) == DONE_IN_LOG
    assert installed(machine, CD2_PATCHED) == CD2_PATCHED
    finish(app, dialog)


def test_damaged_second_patch_keeps_the_first_applied(machine):
    put_patch(machine, 1, CD1_ORIGINAL, CD1_PATCHED)
    put_patch(machine, 2, CD2_ORIGINAL, CD2_PATCHED)
    second = machine.host_path(UPDATE_DIR + r"\Patch2.rtp")
    data = bytearray(second.read_bytes())
    data[-5] ^= 0xFF
    second.write_bytes(bytes(data))
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    answer_cd_prompt(app, 2)
    expect_error_summary(app)
    wait_for_the_end_of_the_run(dialog)

    assert dialog.text(IDC_LOG) == TEXTS[4]
    assert installed(machine, CD1_PATCHED) == CD1_PATCHED
    assert not machine.host_path(INSTALL_DIR + r"\credits.txt").exists()
    finish(app, dialog)


def test_refused_prompt_still_checks_the_build_then_reports_the_error(machine):
    (machine.cd / "game.exe").unlink()
    put_patch(machine, 1, CD1_ORIGINAL, CD1_PATCHED)
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1, answer="No")
    expect_build_refused(app)
    expect_error_summary(app)
    wait_for_the_end_of_the_run(dialog)

    assert dialog.text(IDC_LOG) == TEXTS[9]
    assert not machine.host_path(INSTALL_DIR + r"\data").exists()
    finish(app, dialog)


def test_folder_that_cannot_go_back_keeps_the_registry_where_it_is(machine):
    cafe = r"C:\Games\Caf" + "\u00e9"
    machine.registry["Program"] = cafe
    machine.write_language_ini("Quillmere", install_dir=cafe)
    app, dialog = start_run(machine)
    wait_for_the_end_of_the_run(dialog)
    # Something took the old name meanwhile: the folder cannot be renamed back.
    machine.host_path(cafe).mkdir()

    dialog.click(IDOK)
    box = app.wait_msgbox()
    assert box.message == text(23, cafe, r"C:\Games\Caf0")
    box.answer("OK")
    assert app.wait_exit()
    assert machine.host_path(r"C:\Games\Caf0\language.ini").is_file()
    assert app.registry_value(GAME_KEY, "Program") == "C:\\Games\\Caf0\\"
