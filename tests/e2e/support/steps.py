"""Steps that many scenarios of the update run share: what a player does and waits for."""
import time

from .machine import INSTALL_DIR, UPDATE_DIR
from .sample_game import EDITED_README
from .updater import IDC_LOG, IDOK, TEXTS, text

CD_ROOT = "E:\\"
# Text 13 as the log box shows it: its CR LF pairs become CR CR LF.
DONE_IN_LOG = ("DONE!\r\r\nYour game is now patched to the latest version.\r\r\n"
               "Press OK to Exit.")


def wait_until(condition, timeout=30, what="condition"):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


def start_run(machine, updater_folder=UPDATE_DIR):
    """Starts the updater and clicks its button: the run begins."""
    app = machine.start(folder=updater_folder)
    dialog = app.wait_dialog()
    dialog.click(IDOK)
    return app, dialog


def wait_for_the_end_of_the_run(dialog, timeout=60):
    wait_until(lambda: dialog.text(IDOK) == TEXTS[14] and dialog.is_enabled(IDOK),
               timeout=timeout, what="the button to read OK")


def update_to_the_end(machine, updater_folder=UPDATE_DIR):
    """A run of one patch file that completes without a box, then the finish: the program
    has ended. Returns its driver, which still reads the registry."""
    app, dialog = start_run(machine, updater_folder)
    answer_cd_prompt(app, 1)
    wait_for_the_end_of_the_run(dialog)
    assert dialog.text(IDC_LOG) == DONE_IN_LOG
    assert app.shown_msgbox() is None
    dialog.click(IDOK)
    assert app.wait_exit()
    return app


def answer_cd_prompt(app, number, answer="Yes"):
    prompt = app.wait_msgbox()
    assert (prompt.message, prompt.buttons()) == (text(8, number, CD_ROOT), ["Yes", "No"])
    prompt.answer(answer)


def expect_error_summary(app):
    box = app.wait_msgbox()
    assert (box.message, box.buttons()) == (TEXTS[11], ["OK"])
    box.answer("OK")


def expect_patch_refused_and_nothing_changed(machine):
    """Runs the update of a patch file the library refuses as damaged: the player reads the
    damaged-patch message and the error summary, and the installed game stays as it was, no
    original from the CD even copied in."""
    app, dialog = start_run(machine)
    answer_cd_prompt(app, 1)
    expect_error_summary(app)
    wait_for_the_end_of_the_run(dialog)
    assert dialog.text(IDC_LOG) == TEXTS[4]
    assert machine.host_path(INSTALL_DIR + r"\readme.txt").read_bytes() == EDITED_README
    assert not machine.host_path(INSTALL_DIR + r"\data").exists()


def expect_build_refused(app):
    """The build check's box: the game on the CD is not the build the patches need."""
    box = app.wait_msgbox()
    assert (box.message, box.buttons()) == (TEXTS[20], ["OK"])
    box.answer("OK")
