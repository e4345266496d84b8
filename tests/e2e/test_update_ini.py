"""Update.ini beside the updater replaces built-in texts one by one."""
import pytest

from support.updater import ABOUT_MENU_ITEM, IDC_LOG, IDC_STATUS, IDM_ABOUTBOX, IDOK, TEXTS, \
    UNSUPPORTED_ESCAPE, assert_is_the_about_box, open_about_box_from_the_system_menu


def test_override_changes_the_button_caption(machine):
    machine.write_update_ini({17: "Start patching"})
    dialog = machine.start().wait_dialog()

    assert dialog.text(IDOK) == "Start patching"
    # Only the text that the file names changes.
    assert dialog.text(IDC_STATUS) == TEXTS[1]


@pytest.mark.parametrize("written, shown", [
    (b"First\\nSecond", "First\r\nSecond"),  # LF decoded, then shown as a line break
    (b"A\\tB", "A\tB"),
    (b"Mise \xe0 jour  du   jeu", "Mise \u00e0 jour du jeu"),  # ANSI kept, space runs collapsed
    (b"", ""),
])
def test_override_of_the_log_text_is_decoded_and_normalised(machine, written, shown):
    machine.write_update_ini({2: written})
    dialog = machine.start().wait_dialog()

    assert dialog.text(IDC_LOG) == shown


def test_value_that_is_the_absent_sentinel_keeps_the_built_in_text(machine):
    machine.write_update_ini({17: b"\xa9"})
    dialog = machine.start().wait_dialog()

    assert dialog.text(IDOK) == TEXTS[17]


@pytest.mark.parametrize("key", ["17", "0017"])
def test_keys_count_only_in_their_three_digit_form(machine, key):
    machine.write_file(r"C:\Update\Update.ini", b"[Language]\r\n" + key.encode() + b"=Other\r\n")
    dialog = machine.start().wait_dialog()

    assert dialog.text(IDOK) == TEXTS[17]


def test_override_of_the_about_item_leaves_the_system_menu_alone(machine):
    machine.write_update_ini({101: "&Something else"})
    app = machine.start()
    dialog = app.wait_dialog()

    assert dialog.system_menu()[-1] == (IDM_ABOUTBOX, ABOUT_MENU_ITEM)
    assert_is_the_about_box(open_about_box_from_the_system_menu(app, dialog))


def test_unsupported_escape_is_reported_before_the_dialog_shows(machine):
    machine.write_update_ini({17: b"Up\\qdate"})
    app = machine.start()

    box = app.wait_msgbox()
    assert box.message == UNSUPPORTED_ESCAPE
    assert box.caption == "Update"
    assert box.buttons() == ["OK"]
    assert app.shown_dialog() is None

    box.answer("OK")
    dialog = app.wait_dialog()
    # The backslash is dropped, the character behind it stays.
    assert dialog.text(IDOK) == "Upqdate"


def test_each_unsupported_escape_gets_its_own_message(machine):
    # A doubled backslash: the first is unsupported, the second then escapes the n.
    machine.write_update_ini({17: b"a\\\\nb", 1: b"trailing\\"})
    app = machine.start()

    first = app.wait_msgbox()
    first.answer("OK")
    second = app.wait_msgbox()
    assert second.message == UNSUPPORTED_ESCAPE
    second.answer("OK")
    dialog = app.wait_dialog()

    assert app.shown_msgbox() is None
    assert dialog.text(IDC_STATUS) == "trailing"
    # The button takes its text as the table holds it, without the log's line-end rule.
    assert dialog.text(IDOK) == "a\nb"
