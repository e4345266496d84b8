"""What the scenarios know of Update.exe from the outside: control ids, system commands and
the texts it shows with no override file."""

from .driver import DriverError

IDOK = 1
IDC_PROGRESS = 1000
IDC_STATUS = 1001
IDC_LOG = 1002
ID_STATIC = 65535  # a control whose template id is -1

IDM_ABOUTBOX = 0x10
SC_CLOSE = 0xF060

PROGRESS_FULL = 0x8000

ABOUT_CAPTION = "About Update"
ABOUT_MENU_ITEM = "&About Update..."
ABOUT_TEXT = ("Update - Version 1.0\n\n\n"
              "Uses Ferrule Patch 5.20(r)(tm) from Ferrule Software")

# Built-in texts, by number.
TEXTS = {
    1: "Preparing to patch files:",
    2: "Click [Update] to start the update",
    3: "One or more registry keys is missing!\n"
       "Please reinstall the game before trying to patch it.",
    4: "Invalid patch file!",
    5: "Patching file: %s",
    6: "Internal Error: %s",
    8: 'Please insert game CD%i in drive "%s"',
    9: "User aborted operation.",
    10: 'Wrong CD inserted or drive not ready.\nPlease insert CD%i in drive "%s"',
    11: "Errors occured during patching!",
    12: "No patches were applied. Press OK to Exit",
    13: "DONE!\r\nYour game is now patched to the latest version.\r\nPress OK to Exit.",
    14: "OK",
    15: 'Copying file "%s"...',
    16: 'An error occured while copying the file "%s"',
    17: "Update",
    18: "This update is only compatible with the English version of the game.",
    20: "This patch is not compatible with your version of the game. Please check our "
        "web-site for more information about the patches.",
    21: "Please insert Quillmere CD %i into any drive, and click OK.",
    22: 'The game folder "%s" could not be renamed to "%s".',
    23: 'The game folder could not be renamed back to "%s"; it stays at "%s".',
    24: 'The game folder "%s" could not be recorded in the registry.',
    25: 'The game folder is back at "%s", but the registry still names "%s".',
}
UNSUPPORTED_ESCAPE = "Unsupported character!"


def text(number, *args):
    """A built-in text with its placeholders filled, as the program fills them."""
    result = TEXTS[number]
    for arg in args:
        result = result.replace("%i" if isinstance(arg, int) else "%s", str(arg), 1)
    return result


def assert_is_the_about_box(box):
    assert box.caption == ABOUT_CAPTION
    controls = box.controls()
    texts = [(c.class_name, c.text) for c in controls if c.id == ID_STATIC and "\n" in c.text]
    assert texts == [("Static", ABOUT_TEXT)]
    assert [(c.id, c.text) for c in controls if c.class_name == "Button"] == [(IDOK, "OK")]


def open_about_box_from_the_system_menu(app, dialog, attempts=3):
    """Alt+Space, Up (from the first item round to the last), Enter: the About box, settled.
    Keys are posted from outside, so now and then the Enter that chose the item also reaches
    the new box and closes it at once; the player's gesture is then simply made again."""
    for _ in range(attempts):
        dialog.open_system_menu()
        dialog.press("up")
        dialog.press("enter")
        box = app.wait_dialog(timeout=10, skip=[dialog])
        app.wait_idle()
        try:
            if box.is_visible():
                return box
        except DriverError:
            pass  # already destroyed
    raise AssertionError(f"the About box did not stay open in {attempts} attempts")
