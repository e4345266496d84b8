"""The demo: Update.exe on a player's machine (the same machine the scenarios start from), on
the screen of $DISPLAY or, without one, under Xvfb. Screenshots go to build/demo; with
--screenshot the dialog's picture also becomes docs/screenshot.png."""
import argparse
import os
import shutil
import sys
from contextlib import ExitStack

from support import paths
from support.driver import ProgramExited
from support.machine import PlayerMachine
from support.wineprefix import WinePrefix
from support.xserver import Xvfb, screenshot

SHOTS = paths.REPO / "build" / "demo"
DOC_SCREENSHOT = paths.REPO / "docs" / "screenshot.png"


def shoot(prefix, window, name):
    """The whole screen and the window alone, once the program has painted it."""
    window.driver.wait_idle()
    screenshot(prefix.display, SHOTS / f"{name}-screen.png")
    screenshot(prefix.display, SHOTS / f"{name}.png", crop=window.rect())
    print(f"screenshot: {SHOTS / name}.png")


def run(display, interactive, keep_doc_screenshot):
    prefix = WinePrefix.create(display)
    machine = None
    try:
        if interactive:
            # A real screen has a window manager: let it frame and move the windows.
            for name in ("Decorated", "Managed"):
                prefix.set_registry("HKEY_CURRENT_USER", r"Software\Wine\X11 Driver", name, "Y")
        machine = PlayerMachine(prefix)
        app = machine.start()
        dialog = app.wait_dialog()
        shoot(prefix, dialog, "01-dialog")
        if keep_doc_screenshot:
            shutil.copyfile(SHOTS / "01-dialog.png", DOC_SCREENSHOT)
            print(f"updated {DOC_SCREENSHOT}")
        if interactive:
            print("Update.exe runs on your screen; the demo ends when you close it.")
            while not app.wait_exit(timeout=600):
                pass
        else:
            dialog.close()
            app.wait_exit()
    except ProgramExited as exited:
        sys.exit(f"Update.exe ended early (exit code {exited.exit_code})")
    finally:
        if machine:
            machine.close()
        prefix.end()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--screenshot", action="store_true",
                        help="also write the dialog's picture to docs/screenshot.png")
    args = parser.parse_args()
    with ExitStack() as stack:
        display = os.environ.get("DISPLAY")
        interactive = bool(display)
        if not interactive:
            display = stack.enter_context(Xvfb()).display
        run(display, interactive, args.screenshot)


if __name__ == "__main__":
    main()
