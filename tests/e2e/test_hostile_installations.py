"""Installations that stand in the update's way, with the real fpatch32.dll: the player is
told why in plain words, every file is left old or new, and once the cause is gone the next
run of the updater completes."""
import os

from support import mounts, patches
from support.machine import GAME_KEY, INSTALL_DIR, UPDATE_DIR
from support.sample_game import ORIGINAL, PATCHED, assert_each_file_old_or_new, files_now, \
    installed_files, prepare_update
from support.steps import answer_cd_prompt, expect_error_summary, start_run, \
    update_to_the_end, wait_for_the_end_of_the_run
from support.updater import IDC_LOG, IDOK, text

# The sample update's first entry as the library applies them, and its largest file.
FIRST_FILE = r"data\global.xarc"
LARGE_FILE = r"data\maps.xarc"
# Where the player moves the game to take a hostile path away.
MOVED_DIR = r"C:\Quillmere"
# Wine's system texts (FormatMessage) for the errors these scenarios meet.
SHARING_VIOLATION = "Sharing violation."
NAME_TOO_LONG = "File name is too long."
PATH_NOT_FOUND = "Path not found."


def copy_error(install_dir, name, system_text):
    """The log after a failed copy from the CD: its line ends as the log box holds them."""
    return (text(15, "...\\" + name) + text(16, install_dir + "\\" + name) +
            f"\r\r\n{system_text}\r\r\n\r\r\n")


def run_to_the_error(machine, cd_prompt=True):
    """A run that stops with the error box; then the finish. Returns what the log showed."""
    app, dialog = start_run(machine)
    if cd_prompt:
        answer_cd_prompt(app, 1)
    expect_error_summary(app)
    wait_for_the_end_of_the_run(dialog)
    log = dialog.text(IDC_LOG)
    dialog.click(IDOK)
    assert app.wait_exit()
    return log


def run_to_the_end(machine, install_dir=INSTALL_DIR, updater_folder=UPDATE_DIR):
    """A run that completes, the finish, and the game at the new version."""
    app = update_to_the_end(machine, updater_folder)
    assert installed_files(machine, install_dir) == PATCHED
    assert app.registry_value(GAME_KEY, "Program") == install_dir + "\\"


def test_game_file_held_open_by_the_running_game(machine):
    prepare_update(machine)
    machine.write_file(INSTALL_DIR + "\\" + FIRST_FILE, ORIGINAL[FIRST_FILE])
    before = files_now(machine)

    with machine.file_held_open(INSTALL_DIR + "\\" + FIRST_FILE):
        log = run_to_the_error(machine)

    assert log == copy_error(INSTALL_DIR, FIRST_FILE, SHARING_VIOLATION)
    assert_each_file_old_or_new(machine, before)
    run_to_the_end(machine)


def test_read_only_game_folder(machine):
    prepare_update(machine)
    before = files_now(machine)
    game = machine.host_path(INSTALL_DIR)

    with mounts.read_only(game):
        log = run_to_the_error(machine)
        assert_each_file_old_or_new(machine, before)
        mounts.unmount(game)
        run_to_the_end(machine)

    # The file's folder cannot be made there; the copy into it then finds no such path.
    assert log == copy_error(INSTALL_DIR, FIRST_FILE, PATH_NOT_FOUND)


# Letters of code page 1252 beyond ASCII, from both of its upper ranges (0x80 to 0x9F: Œ, Š,
# ž, Ÿ; 0xA0 and above: è, Ñ, ú, ß).
LETTERS = "Quillm\u00e8re \u0152uvre \u0160\u017e\u0178 \u00d1and\u00fa Stra\u00dfe"


def test_game_folder_named_with_letters_beyond_ascii(machine):
    # Sanitised for the run and named as before once it is over.
    install_dir = "C:\\Games\\" + LETTERS
    machine.registry["Program"] = install_dir
    machine.write_language_ini("Quillmere", install_dir=install_dir)
    prepare_update(machine, install_dir)

    run_to_the_end(machine, install_dir)

    games = machine.host_path("C:\\Games")
    assert sorted(p.name for p in games.iterdir()) == sorted([LETTERS, "Quillmere"])


def test_run_killed_while_the_game_folder_bears_the_sanitised_name(machine):
    # A kill (or a power cut) during the run leaves the folder and the registry value
    # sanitised. The next start reads the sanitised name as the game's; its finish still
    # gives the folder the player's own name back, and forgets the name it kept.
    install_dir = "C:\\Games\\" + LETTERS
    sanitised = "".join(c if " " <= c <= "\x7f" else "0" for c in install_dir)
    machine.registry["Program"] = install_dir
    machine.write_language_ini("Quillmere", install_dir=install_dir)
    prepare_update(machine, install_dir)

    app, _ = start_run(machine)
    app.wait_msgbox()  # the CD prompt: by now the folder bears the sanitised name
    assert machine.host_path(sanitised).is_dir()
    assert app.registry_value(GAME_KEY, "Program") == sanitised + "\\"
    app.command("kill")
    app.close()

    app = update_to_the_end(machine)
    assert installed_files(machine, install_dir) == PATCHED
    assert app.registry_value(GAME_KEY, "Program") == install_dir + "\\"
    assert app.registry_value(GAME_KEY, "UpdateOriginalProgram") is None
    games = machine.host_path("C:\\Games")
    assert sorted(p.name for p in games.iterdir()) == sorted([LETTERS, "Quillmere"])


def test_game_inside_a_folder_named_with_letters_beyond_ascii(machine):
    # The game folder cannot take the sanitised name: its parent would have to change too.
    install_dir = "C:\\" + LETTERS + "\\Quillmere"
    machine.registry["Program"] = install_dir
    machine.write_language_ini("Quillmere", install_dir=install_dir)
    prepare_update(machine, install_dir)
    before = files_now(machine, install_dir)

    log = run_to_the_error(machine, cd_prompt=False)

    sanitised = "".join(c if " " <= c <= "\x7f" else "0" for c in install_dir)
    assert log == text(22, install_dir, sanitised)
    assert_each_file_old_or_new(machine, before, install_dir)
    machine.move_game(MOVED_DIR)
    run_to_the_end(machine, MOVED_DIR)


def test_game_path_near_max_path(machine):
    # The game's own files fit in MAX_PATH (260 with the terminating zero), a few characters
    # short, where a suffix on a temporary name would not: the CD's copy and the library's
    # result are made beside their targets under names no longer than the targets' own, so
    # the update goes through and leaves no temporary file.
    install_dir = "C:\\Games\\" + "Q" * (240 - len("C:\\Games\\"))
    longest = len(install_dir + "\\" + FIRST_FILE)
    assert longest < 260 <= longest + len(".fp~") + 1
    machine.registry["Program"] = install_dir
    machine.write_language_ini("Quillmere", install_dir=install_dir)
    prepare_update(machine, install_dir)
    before = files_now(machine, install_dir)

    run_to_the_end(machine, install_dir)

    assert_each_file_old_or_new(machine, before, install_dir)


def test_disk_fills_up_at_the_library_temporary_file(machine):
    # Room for the CD's copy of the large file, but not for its patched version beside it.
    prepare_update(machine)
    data = machine.host_path(INSTALL_DIR + r"\data")
    with mounts.small_disk(data):
        free = os.statvfs(data).f_bavail * os.statvfs(data).f_frsize
        filler = data / "player's screenshots.bin"
        filler.write_bytes(bytes(free - len(ORIGINAL[LARGE_FILE]) - 48 * 1024))
        before = files_now(machine)

        log = run_to_the_error(machine)

        assert log == text(6, f"cannot write {LARGE_FILE}: the disk is full")
        assert_each_file_old_or_new(machine, before)
        assert files_now(machine)[LARGE_FILE] == ORIGINAL[LARGE_FILE]
        filler.unlink()
        run_to_the_end(machine)


def test_patch_files_on_a_read_only_medium(machine):
    # The update as it came on a disc: the updater, the library and the patch file on a
    # medium that takes no writes. Nothing is written beside them, so the update completes.
    medium = machine.map_drive("D", "cdrom")
    machine.install_updater(folder="D:\\")
    prepare_update(machine)
    machine.host_path(UPDATE_DIR + r"\Patch1.rtp").rename(medium / "Patch1.rtp")

    with mounts.read_only(medium):
        run_to_the_end(machine, updater_folder="D:\\")


def test_file_to_delete_past_max_path(machine):
    # The update deletes a file whose path passes MAX_PATH, where the system's ANSI calls
    # cannot reach it: the run fails and says why, rather than ending with "DONE!" while the
    # file stays in place.
    install_dir = "C:\\Games\\" + "Q" * (200 - len("C:\\Games\\"))
    obsolete = "data\\" + "o" * 60 + ".xarc"
    assert len(install_dir + "\\" + obsolete) >= 260
    machine.registry["Program"] = install_dir
    machine.write_language_ini("Quillmere", install_dir=install_dir)
    prepare_update(machine, install_dir)
    old_content = b"a region the new version no longer has"
    machine.write_file(install_dir + "\\" + obsolete, old_content)
    patches.build_patch({**ORIGINAL, obsolete: old_content}, PATCHED,
                        machine.host_path(UPDATE_DIR + r"\Patch1.rtp"), delete=True)

    log = run_to_the_error(machine)

    assert log == text(6, f"cannot delete {obsolete}: {NAME_TOO_LONG.rstrip('.')}")
    assert machine.host_path(install_dir + "\\" + obsolete).read_bytes() == old_content
