"""The checks made while the dialog opens: the game is registered, it is the English edition,
and the game CD is found. A failed check shows its message and ends the program."""
import pytest

from support.machine import GAME_TITLE, INSTALL_DIR
from support.updater import IDOK, TEXTS

REGISTRY_MISSING = TEXTS[3]
WRONG_LANGUAGE = TEXTS[18]
NO_PATCHES = TEXTS[12]


def insert_cd_prompt(number):
    return TEXTS[21].replace("%i", str(number))


def assert_fails_with(app, message):
    """The one message of a failed check; after OK the program ends without its dialog."""
    box = app.wait_msgbox()
    assert (box.message, box.buttons()) == (message, ["OK"])
    assert app.shown_dialog() is None
    box.answer("OK")
    assert app.wait_exit(), "the program should end after a failed check"


def use_video_folder(machine):
    """Fmv names a folder, not a drive root, so the updater must look for the CD."""
    machine.registry["Fmv"] = INSTALL_DIR + r"\Video"


@pytest.mark.parametrize("missing", [["Program"], ["Fmv"], ["Program", "Fmv"]])
def test_missing_registry_value_is_reported_once(machine, missing):
    for name in missing:
        del machine.registry[name]
    assert_fails_with(machine.start(), REGISTRY_MISSING)


def test_registry_value_too_long_for_its_buffer_counts_as_missing(machine):
    machine.registry["Program"] = "C:\\" + "x" * 257  # 260 characters: no room for the zero
    assert_fails_with(machine.start(), REGISTRY_MISSING)


def test_install_path_with_a_character_beyond_ascii(machine):
    # The registry holds é; the program sees the ANSI byte 0xE9 and finds language.ini there.
    machine.registry["Program"] = r"C:\Games\Caf" + "\u00e9"
    machine.write_language_ini(GAME_TITLE, install_dir=r"C:\Games\Caf" + "\u00e9")
    assert machine.start().wait_dialog().caption == GAME_TITLE


@pytest.mark.parametrize("language_ini", [
    None,                                                   # no file
    b"[language]\r\n380=Quillmere\r\n",                     # no key 379
    b"[language]\r\n379=Quillmere Deutsche Ausgabe\r\n",   # another edition
    b"[language]\r\n379=\xa9\r\n",                          # the absent-value sentinel
])
def test_other_edition_is_refused(machine, language_ini):
    path = machine.host_path(INSTALL_DIR + r"\language.ini")
    if language_ini is None:
        path.unlink()
    else:
        path.write_bytes(language_ini)
    assert_fails_with(machine.start(), WRONG_LANGUAGE)


def test_override_of_the_title_changes_the_edition_accepted(machine):
    machine.write_update_ini({0: "Kvilmer"})
    machine.write_language_ini("Kvilmer")
    assert machine.start().wait_dialog().caption == "Kvilmer"


def test_video_folder_on_a_bare_drive_needs_no_cd(machine):
    machine.registry["Fmv"] = "D:"  # not even a drive here
    app = machine.start()
    app.wait_dialog()
    assert app.shown_msgbox() is None


@pytest.mark.parametrize("patch_files, cd_number", [
    ([], 0),
    (["Patch1.rtp"], 1),
    (["Patch2.rtp", "Patch3.rtp"], 2),
])
def test_prompt_asks_for_the_cd_of_the_first_patch(machine, patch_files, cd_number):
    use_video_folder(machine)
    for name in patch_files:
        machine.write_file("C:\\Update\\" + name, b"")
    app = machine.start()

    box = app.wait_msgbox()
    assert box.message == insert_cd_prompt(cd_number)
    assert box.buttons() == ["OK", "Cancel"]


def test_cancel_at_the_prompt_ends_the_program(machine):
    use_video_folder(machine)
    app = machine.start()
    app.wait_msgbox().answer("Cancel")
    assert_fails_with(app, NO_PATCHES)


def test_cd_in_a_cd_drive_is_found_after_the_prompt(machine):
    use_video_folder(machine)
    machine.write_file(r"C:\Update\Patch1.rtp", b"")
    app = machine.start()

    app.wait_msgbox().answer("OK")
    dialog = app.wait_dialog()

    assert dialog.text(IDOK) == TEXTS[17]
    assert app.shown_msgbox() is None


@pytest.mark.parametrize("letter, drive_type", [
    ("E", "hd"),         # fixed drives are not searched
    ("E", "network"),
    ("A", "cdrom"),      # the first drive of the list is never searched
])
def test_cd_where_it_is_not_searched_for_brings_the_prompt_again(machine, letter, drive_type):
    use_video_folder(machine)
    machine.write_file(r"C:\Update\Patch1.rtp", b"")
    machine.map_drive("E", "hd")  # no CD in E: any more
    machine.insert_cd(letter, 1, drive_type)
    app = machine.start()

    first = app.wait_msgbox()
    first.answer("OK")
    again = app.wait_msgbox()

    assert again.message == insert_cd_prompt(1)
    again.answer("Cancel")
    assert_fails_with(app, NO_PATCHES)


@pytest.mark.parametrize("drive_type", ["floppy"])
def test_cd_in_a_removable_drive_is_found(machine, drive_type):
    use_video_folder(machine)
    machine.write_file(r"C:\Update\Patch1.rtp", b"")
    machine.map_drive("E", "hd")
    machine.insert_cd("F", 1, drive_type)
    app = machine.start()

    app.wait_msgbox().answer("OK")
    app.wait_dialog()
