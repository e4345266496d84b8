"""The demo: a whole update of the sample game (support/sample_game.py) by Update.exe on a
player's machine, the same machine the scenarios start from. On the screen of $DISPLAY you
click through it yourself; without a display it runs by itself under Xvfb. Screenshots go to
build/demo; with --screenshot the dialog's first picture also becomes docs/screenshot.png."""
import argparse
import os
import shutil
import signal
import sys
from contextlib import ExitStack

from support import paths
from support.driver import ProgramExited
from support.machine import PlayerMachine
from support.sample_game import PATCHED, PATCHED_CD2, installed_files, prepare_update
from support.steps import answer_cd_prompt, wait_for_the_end_of_the_run
from support.updater import IDOK
from support.wineprefix import WinePrefix
from support.xserver import Xvfb, screenshot, settled_screenshot

SHOTS = paths.REPO / "build" / "demo"
DOC_SCREENSHOT = paths.REPO / "docs" / "screenshot.png"


def shoot(prefix, window, name):
    """The window alone and the whole screen, once the program has painted them."""
    window.driver.wait_idle()
    settled_screenshot(prefix.display, SHOTS / f"{name}.png", crop=window.rect())
    screenshot(prefix.display, SHOTS / f"{name}-screen.png")
    print(f"screenshot: {SHOTS / name}.png")


def run_by_itself(prefix, app, dialog):
    """The player's part, played by the demo: Update, Yes to both CD prompts, OK to finish."""
    dialog.click(IDOK)
    prompt = app.wait_msgbox()
    shoot(prefix, prompt, "02-cd-prompt")
    answer_cd_prompt(app, 1)
    answer_cd_prompt(app, 2)
    wait_for_the_end_of_the_run(dialog)
    shoot(prefix, dialog, "03-done")
    dialog.click(IDOK)
    app.wait_exit()


def run(display, interactive, keep_doc_screenshot):
    prefix = WinePrefix.create(display)
    machine = None
    try:
        if interactive:
            # A real screen has a window manager: let it frame and move the windows.
            for name in ("Decorated", "Managed"):
                prefix.set_registry("HKEY_CURRENT_USER", r"Software\Wine\X11 Driver", name, "Y")
        machine = PlayerMachine(prefix)
        prepare_update(machine, two_cds=True)
        app = machine.start()
        dialog = app.wait_dialog()
        shoot(prefix, dialog, "01-dialog")
        if keep_doc_screenshot:
            shutil.copyfile(SHOTS / "01-dialog.png", DOC_SCREENSHOT)
            print(f"updated {DOC_SCREENSHOT}")
        if interactive:
            print("Update.exe runs on your screen: click Update, answer both CD prompts with"
                  " Yes, and OK to finish.")
            while not app.wait_exit(timeout=600):
                pass
        else:
            run_by_itself(prefix, app, dialog)
        updated = (installed_files(machine) == PATCHED and
                   installed_files(machine, expected=PATCHED_CD2) == PATCHED_CD2)
        print("the game is " + ("updated" if updated else "NOT updated"))
        if not updated:
            sys.exit(1)
    except ProgramExited as exited:
        sys.exit(f"Update.exe ended early (exit code {exited.exit_code})")
    finally:
        if machine:
            machine.close()
        prefix.end()


def main():
    # Ended from outside, the demo still removes its prefix and stops its Wine processes.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("demo ended from outside"))
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
