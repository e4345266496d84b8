"""The About box, opened from the system menu."""
import pytest

from support.updater import ABOUT_MENU_ITEM, IDOK, IDM_ABOUTBOX, TEXTS, \
    assert_is_the_about_box, open_about_box_from_the_system_menu


def test_system_menu_ends_in_a_separator_and_the_about_item(machine):
    dialog = machine.start().wait_dialog()

    assert dialog.system_menu()[-2:] == [None, (IDM_ABOUTBOX, ABOUT_MENU_ITEM)]


@pytest.mark.parametrize("command", [IDM_ABOUTBOX, 0x13, 0x1F])
def test_about_commands_open_the_about_box(machine, command):
    app = machine.start()
    dialog = app.wait_dialog()

    dialog.syscommand(command)
    about = app.wait_dialog(timeout=10, skip=[dialog])

    assert_is_the_about_box(about)
    assert not dialog.is_enabled(), "the main dialog waits while its About box is open"


def test_next_command_id_does_not_open_the_about_box(machine):
    app = machine.start()
    dialog = app.wait_dialog()

    # Posted messages are handled in order. Had 0x20 opened a box, the About command behind
    # it would open a second one inside that box's loop.
    dialog.syscommand(0x20)
    dialog.syscommand(IDM_ABOUTBOX)
    about = app.wait_dialog(timeout=10, skip=[dialog])

    assert_is_the_about_box(about)
    assert app.shown_dialog(skip=[dialog, about]) is None


def test_about_item_is_the_last_item_of_the_system_menu(machine):
    app = machine.start()
    dialog = app.wait_dialog()

    assert_is_the_about_box(open_about_box_from_the_system_menu(app, dialog))


@pytest.mark.parametrize("how", ["ok", "esc"])
def test_closing_the_about_box_returns_to_the_dialog(machine, how):
    app = machine.start()
    dialog = app.wait_dialog()
    dialog.syscommand(IDM_ABOUTBOX)
    about = app.wait_dialog(timeout=10, skip=[dialog])

    if how == "ok":
        about.click(IDOK)
    else:
        about.press("esc")
    about.wait_gone()

    assert not app.has_exited()
    assert dialog.is_visible() and dialog.is_enabled()
    assert dialog.text(IDOK) == TEXTS[17]
