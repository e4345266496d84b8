"""The update run behind the button, with the scripted stand-in of the patch library: the
patch files are scripts of library events (tests/e2e/standin), so each scenario makes the
library report exactly what it needs and reads back how the updater answered."""
import pytest

from support import mounts
from support.machine import GAME_KEY, INSTALL_DIR
from support.steps import CD_ROOT, DONE_IN_LOG, answer_cd_prompt, expect_build_refused, \
    expect_error_summary, start_run, wait_for_the_end_of_the_run, wait_until
from support.updater import IDC_LOG, IDC_PROGRESS, IDC_STATUS, IDOK, PROGRESS_FULL, SC_CLOSE, \
    TEXTS, text

# An install folder whose name has a byte beyond ASCII (é), which the run sanitises to 0.
CAFE = r"C:\Games\Caf" + "\u00e9"


def test_run_without_patch_files_and_the_finish(machine):
    app, dialog = start_run(machine)
    wait_for_the_end_of_the_run(dialog)

    assert dialog.text(IDC_LOG) == TEXTS[12]
    assert app.shown_msgbox() is None

    dialog.click(IDOK)
    assert app.wait_exit()
    assert machine.host_path(INSTALL_DIR).is_dir()


def test_install_path_is_sanitised_for_the_run_and_restored_by_the_finish(machine):
    machine.registry["Program"] = CAFE
    machine.write_language_ini("Quillmere", install_dir=CAFE)
    app, dialog = start_run(machine)
    wait_for_the_end_of_the_run(dialog)

    assert app.registry_value(GAME_KEY, "Program") == "C:\\Games\\Caf0\\"
    assert machine.host_path(r"C:\Games\Caf0\language.ini").is_file()
    assert not machine.host_path(CAFE).exists()

    dialog.click(IDOK)
    assert app.wait_exit()
    assert machine.host_path(CAFE + r"\language.ini").is_file()
    assert not machine.host_path(r"C:\Games\Caf0").exists()
    assert app.registry_value(GAME_KEY, "Program") == CAFE + "\\"


@pytest.mark.parametrize("how", ["esc", "close box"])
def test_closing_after_the_run_puts_the_game_folder_back(machine, how):
    # Left renamed, the game would no longer find itself: closing restores like the button.
    machine.registry["Program"] = CAFE
    machine.write_language_ini("Quillmere", install_dir=CAFE)
    app, dialog = start_run(machine)
    wait_for_the_end_of_the_run(dialog)

    if how == "esc":
        dialog.press("esc")
    else:
        dialog.syscommand(SC_CLOSE)
    assert app.wait_exit()
    assert machine.host_path(CAFE + r"\language.ini").is_file()
    assert app.registry_value(GAME_KEY, "Program") == CAFE + "\\"


def test_folder_that_cannot_take_the_sanitised_name_stops_the_run(machine):
    # Only the parent's name changes, and no parent of that name exists to move into.
    install_dir = CAFE + r"\Quillmere"
    machine.registry["Program"] = install_dir
    machine.write_language_ini("Quillmere", install_dir=install_dir)
    machine.write_scripted_patch(1, "3 never played")
    app, dialog = start_run(machine)
    expect_error_summary(app)
    wait_for_the_end_of_the_run(dialog)

    assert dialog.text(IDC_LOG) == text(22, install_dir, r"C:\Games\Caf0\Quillmere")
    assert machine.library_answers(1) is None
    assert app.registry_value(GAME_KEY, "Program") == install_dir + "\\"


def test_close_during_the_run_stops_before_the_next_patch(machine):
    machine.write_scripted_patch(1, "busy 1500", "3 played to its end")
    machine.write_scripted_patch(2, "3 never played")
    (machine.cd / "data2.tag").write_bytes(b"")  # a CD with both markers
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    wait_until(lambda: machine.library_answers(1), what="the library to start")

    dialog.syscommand(SC_CLOSE)
    app.wait_msgbox()
    assert dialog.text(IDC_LOG) == TEXTS[9]
    expect_error_summary(app)

    assert app.wait_exit()
    assert machine.library_answers(1)[-1] == "3 go"
    assert machine.library_answers(2) is None
    assert app.registry_value(GAME_KEY, "Program") == INSTALL_DIR + "\\"


@pytest.mark.parametrize("earlier_patch", [True, False])
def test_close_during_the_last_patch_lets_the_run_complete(machine, earlier_patch):
    # Nothing is left to stop before: no abort, no error box; the folder goes back and the
    # program ends. Without Patch1.rtp, Patch2.rtp is the first patch file as well as the last.
    machine.registry["Program"] = CAFE
    machine.write_language_ini("Quillmere", install_dir=CAFE)
    if earlier_patch:
        machine.write_scripted_patch(1, "3 played first")
    machine.write_scripted_patch(2, "busy 1500", "3 played to its end")
    (machine.cd / "data2.tag").write_bytes(b"")
    app, dialog = start_run(machine)
    if earlier_patch:
        answer_cd_prompt(app, 1)
    answer_cd_prompt(app, 2)
    wait_until(lambda: machine.library_answers(2), what="the last patch to start")

    dialog.syscommand(SC_CLOSE)

    # An error box would hold the program open.
    assert app.wait_exit()
    assert machine.library_answers(2)[-1] == "3 go"
    assert machine.host_path(CAFE + r"\language.ini").is_file()
    assert not machine.host_path(r"C:\Games\Caf0").exists()
    assert app.registry_value(GAME_KEY, "Program") == CAFE + "\\"


def test_library_messages_and_progress_then_done(machine):
    machine.write_scripted_patch(1, "3 Applying the first patch", "5 16384", "21", "3 Last words")
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    wait_for_the_end_of_the_run(dialog)

    assert machine.library_answers(1) == ["3 go", "5 go", "21 go", "3 go"]
    assert dialog.text(IDC_LOG) == DONE_IN_LOG
    assert dialog.progress(IDC_PROGRESS) == (0, PROGRESS_FULL, 16384)
    assert app.shown_msgbox() is None


@pytest.mark.parametrize("script, log", [
    (["3 before", "4 disk full"], "Internal Error: disk full"),
    (["3 before", "14"], TEXTS[4]),
    (["3 before", "13"], "before"),
])
def test_library_error_stops_the_run(machine, script, log):
    machine.write_scripted_patch(1, *script, "3 never reported")
    machine.write_scripted_patch(2, "3 never played")
    (machine.cd / "data2.tag").write_bytes(b"")
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    expect_error_summary(app)
    wait_for_the_end_of_the_run(dialog)

    event = script[-1].split()[0]
    assert machine.library_answers(1) == ["3 go", f"{event} stop"]
    assert machine.library_answers(2) is None
    assert dialog.text(IDC_LOG) == log


def test_announced_file_is_copied_from_the_cd_and_archives_are_listed(machine):
    (machine.cd / "data").mkdir()
    (machine.cd / "data" / "x.xarc").write_bytes(b"archive from the CD")
    (machine.cd / "GLOBAL.XARC").write_bytes(b"global")
    machine.write_file(INSTALL_DIR + r"\GLOBAL.XARC", b"old")
    machine.write_scripted_patch(1, r"7 data\x.xarc", "7 GLOBAL.XARC")
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    wait_for_the_end_of_the_run(dialog)

    assert machine.library_answers(1) == ["7 go", "7 go"]
    assert machine.host_path(INSTALL_DIR + r"\data\x.xarc").read_bytes() == b"archive from the CD"
    assert machine.host_path(INSTALL_DIR + r"\GLOBAL.XARC").read_bytes() == b"global"
    assert machine.host_path(INSTALL_DIR + r"\update.map").read_bytes() == b"data\\x.xarc\r\n"
    assert dialog.text(IDC_STATUS) == text(5, "GLOBAL.XARC")
    assert dialog.progress(IDC_PROGRESS) == (0, PROGRESS_FULL, 0)


def run_into_the_copy_error(machine, copied):
    """Runs a patch whose first event asks for `copied` (relative to the install folder) from
    the CD, a copy that fails, through the error summary to the run's end. Returns the dialog,
    the status line that names the file and the first line of the log (the status and the
    target), which the system's reason follows."""
    machine.write_scripted_patch(1, "7 " + copied, "3 never reported")
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    expect_error_summary(app)
    wait_for_the_end_of_the_run(dialog)

    assert machine.library_answers(1) == ["7 stop"]
    status = text(15, "...\\" + copied)
    return dialog, status, status + text(16, INSTALL_DIR + "\\" + copied)


def test_file_missing_on_the_cd_stops_the_run_with_the_copy_error(machine):
    dialog, status, failure = run_into_the_copy_error(machine, "missing.bin")

    assert dialog.text(IDC_STATUS) == status
    log = dialog.text(IDC_LOG)
    assert log.startswith(failure + "\r\r\n")
    assert log.endswith("\r\r\n") and len(log) > len(failure) + 6


def test_window_answers_while_the_library_works(machine):
    machine.write_scripted_patch(1, "busy 4000")
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    # The library holds the thread; only its event 21 lets the window handle messages.
    wait_until(lambda: machine.library_answers(1), what="the library to start")

    assert dialog.responsive(timeout=3) is not None
    assert not dialog.is_enabled(IDOK)
    wait_for_the_end_of_the_run(dialog)


def test_refused_cd_prompt_stops_before_the_library(machine):
    machine.write_scripted_patch(1, "3 never played")
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1, "No")
    expect_error_summary(app)
    wait_for_the_end_of_the_run(dialog)

    assert dialog.text(IDC_LOG) == TEXTS[9]
    assert machine.library_answers(1) is None


def test_wrong_cd_brings_the_second_prompt(machine):
    machine.write_scripted_patch(2, "3 patched from CD 2")
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 2)  # CD 1 is in the drive
    second = app.wait_msgbox()
    assert second.message == text(10, 2, CD_ROOT)
    (machine.cd / "data2.tag").write_bytes(b"")
    second.answer("Yes")
    wait_for_the_end_of_the_run(dialog)

    assert machine.library_answers(2) == ["3 go"]
    assert dialog.text(IDC_LOG) == DONE_IN_LOG


@pytest.mark.parametrize("variant", ["game_137", "game_136_space", "game_136_german", None])
def test_other_game_build_is_refused(machine, variant):
    if variant:
        machine.put_game_program(machine.cd, variant)
    else:
        (machine.cd / "game.exe").unlink()  # no game.exe: no build at all
    machine.write_scripted_patch(1, "3 never played")
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    expect_build_refused(app)
    expect_error_summary(app)
    wait_for_the_end_of_the_run(dialog)

    assert machine.library_answers(1) is None


def test_enter_runs_the_update_like_the_button(machine):
    app = machine.start()
    dialog = app.wait_dialog()

    dialog.press("enter")
    wait_for_the_end_of_the_run(dialog)

    assert dialog.text(IDC_LOG) == TEXTS[12]


def test_override_of_the_wanted_build(machine):
    machine.write_update_ini({19: "137"})
    machine.put_game_program(machine.cd, "game_137")
    machine.write_scripted_patch(1, "3 patched")
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    wait_for_the_end_of_the_run(dialog)

    assert machine.library_answers(1) == ["3 go"]


def test_cd_found_in_the_lower_of_two_drives_is_the_one_used(machine):
    # Both drives hold CD 1, but only E: has the right build: the run passes its build check
    # only if it took E:, and its prompt names that drive.
    machine.registry["Fmv"] = INSTALL_DIR + r"\Video"
    machine.put_game_program(machine.insert_cd("F", 1), "game_137")
    machine.write_scripted_patch(1, "3 patched")
    app = machine.start()
    app.wait_msgbox().answer("OK")  # the start-up prompt for the CD
    dialog = app.wait_dialog()
    dialog.click(IDOK)
    answer_cd_prompt(app, 1)  # names E:\
    wait_for_the_end_of_the_run(dialog)

    assert machine.library_answers(1) == ["3 go"]


@pytest.fixture
def small_data_folder(machine):
    """The install folder's data folder on a 1 MiB file system, so that a copy into it runs
    out of space honestly."""
    with mounts.small_disk(machine.host_path(INSTALL_DIR + r"\data")) as folder:
        yield folder


def test_copy_onto_a_full_disk_stops_the_run_and_leaves_no_partial_file(machine,
                                                                         small_data_folder):
    (machine.cd / "data").mkdir()
    (machine.cd / "data" / "big.xarc").write_bytes(bytes(range(256)) * 8192)
    dialog, _, failure = run_into_the_copy_error(machine, r"data\big.xarc")

    # The system's own text for a full disk (Wine's wording).
    assert dialog.text(IDC_LOG) == failure + "\r\r\nDisk full.\r\r\n\r\r\n"
    assert list(small_data_folder.iterdir()) == []
    assert not machine.host_path(INSTALL_DIR + r"\update.map").exists()
