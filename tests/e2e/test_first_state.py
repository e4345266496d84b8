"""The main dialog as the player first sees it."""
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
