"""The main dialog as the player first sees it, on a machine that passes every start-up check."""
from support.machine import GAME_TITLE

IDOK = 1
IDC_PROGRESS = 1000
IDC_STATUS = 1001
IDC_LOG = 1002


def test_dialog_shows_the_first_texts_and_an_empty_bar(machine):
    app = machine.start()
    dialog = app.wait_dialog()

    assert dialog.text(IDOK) == "Update"
    assert dialog.text(IDC_STATUS) == "Preparing to patch files:"
    assert dialog.text(IDC_LOG) == "Click [Update] to start the update"
    assert dialog.progress(IDC_PROGRESS) == (0, 0x8000, 0)
    assert dialog.is_enabled(IDOK)


def test_caption_is_the_title_as_the_game_writes_it(machine):
    machine.write_language_ini(GAME_TITLE.upper())
    dialog = machine.start().wait_dialog()

    assert dialog.caption == GAME_TITLE.upper()


def test_no_message_box_on_a_machine_that_passes_the_checks(machine):
    app = machine.start()
    app.wait_dialog()

    assert app.shown_msgbox() is None
