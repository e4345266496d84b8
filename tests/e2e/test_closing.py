"""Ways out of the dialog before an update has run: each ends the program."""
import pytest

from support.updater import SC_CLOSE


@pytest.mark.parametrize("how", ["close box", "close request", "esc"])
def test_dialog_closed_before_the_update_ends_the_program(machine, how):
    app = machine.start()
    dialog = app.wait_dialog()

    if how == "close box":
        dialog.syscommand(SC_CLOSE)
    elif how == "close request":
        dialog.close()
    else:
        dialog.press("esc")

    assert app.wait_exit()
