"""The main dialog as the player first sees it, on a machine that passes every start-up check."""
from support.machine import GAME_TITLE
from support.updater import IDC_LOG, IDC_PROGRESS, IDC_STATUS, IDOK, PROGRESS_FULL, TEXTS


def test_dialog_shows_the_first_texts_and_an_empty_bar(machine):
    app = machine.start()
    dialog = app.wait_dialog()

    assert dialog.text(IDOK) == TEXTS[17]
    assert dialog.text(IDC_STATUS) == TEXTS[1]
    assert dialog.text(IDC_LOG) == TEXTS[2]
    assert dialog.progress(IDC_PROGRESS) == (0, PROGRESS_FULL, 0)
    assert dialog.is_enabled(IDOK)


def test_caption_is_the_title_as_the_game_writes_it(machine):
    machine.write_language_ini(GAME_TITLE.upper())
    dialog = machine.start().wait_dialog()

    assert dialog.caption == GAME_TITLE.upper()


def test_no_message_box_on_a_machine_that_passes_the_checks(machine):
    app = machine.start()
    app.wait_dialog()

    assert app.shown_msgbox() is None
