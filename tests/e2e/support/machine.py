"""A player's machine in a Wine prefix: the game installed and registered, its CD in a drive,
the updater in a folder of its own. Scenarios change what they need before they start the
updater; the defaults pass every start-up check without a prompt."""
import contextlib
import select
import shutil
import subprocess
from pathlib import Path, PureWindowsPath

from . import paths
from .ansi import decode_ansi, to_ansi
from .driver import Driver

GAME_KEY = r"Software\Corvanel\Tessik"
INSTALL_DIR = r"C:\Games\Quillmere"
UPDATE_DIR = r"C:\Update"
GAME_TITLE = "Quillmere"


def format_ini(sections: dict) -> bytes:
    """An INI file as the game and the updater write them: ANSI, CR LF line ends.
    {section: {key: value}}; values are str (encoded to ANSI) or bytes (as they are)."""
    lines = []
    for section, values in sections.items():
        lines.append(b"[" + to_ansi(section) + b"]")
        for key, value in values.items():
            lines.append(to_ansi(key) + b"=" + to_ansi(value))
        lines.append(b"")
    return b"\r\n".join(lines)


class PlayerMachine:
    def __init__(self, prefix):
        self.prefix = prefix
        # The game's registry values; remove one to make it absent. str or ANSI bytes.
        self.registry = {"Program": INSTALL_DIR, "Fmv": "E:\\"}
        self._drivers = []
        self._registered = False
        self.write_language_ini(GAME_TITLE)
        self.install_updater()
        self.cd = self.insert_cd("E", 1)
        self.put_game_program(self.cd)

    # Files -------------------------------------------------------------------------------

    def host_path(self, windows_path: str) -> Path:
        return self.prefix.host_path(windows_path)

    def write_file(self, windows_path: str, data=b""):
        path = self.host_path(windows_path)
        path.parent.mkdir(parents=True, exist_ok=True)
        # A new file, never a write into an existing one: the prefix shares its system files
        # with the template through hard links.
        path.unlink(missing_ok=True)
        path.write_bytes(to_ansi(data))
        return path

    def write_language_ini(self, title, install_dir=INSTALL_DIR):
        """The game's language.ini naming the installed edition's title."""
        self.write_file(str(PureWindowsPath(install_dir, "language.ini")),
                        format_ini({"language": {"379": title}}))

    def write_update_ini(self, texts: dict, folder=UPDATE_DIR):
        """An override file beside the updater: {text number: value as written in the file}."""
        self.write_file(str(PureWindowsPath(folder, "Update.ini")),
                        format_ini({"Language": {f"{n:03d}": v for n, v in texts.items()}}))

    def install_updater(self, exe_name="Update.exe", folder=UPDATE_DIR):
        """Update.exe copied under `exe_name` into `folder`, with the patch library beside it
        (the real one once the build makes it; see use_scripted_patch_library)."""
        target = self.host_path(str(PureWindowsPath(folder, exe_name)))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(paths.update_exe(), target)
        shutil.copyfile(paths.patch_library(), target.parent / "fpatch32.dll")
        return target

    def move_game(self, install_dir: str):
        """The player moves the installed game to `install_dir` (ASCII) and points the
        registry at it, as a reinstall there would; for after the updater has run."""
        self.host_path(self.registry["Program"]).rename(self.host_path(install_dir))
        self.registry["Program"] = install_dir
        self.prefix.run_wine("reg", "add", "HKCU\\" + GAME_KEY, "/v", "Program", "/d",
                             install_dir, "/f")

    @contextlib.contextmanager
    def file_held_open(self, windows_path: str):
        """Another process (the game, still running) holds the file open for reading and
        writing, sharing it with nobody, until the block ends."""
        self._register_game()
        holder = self.prefix.popen_wine(paths.holder_exe(), windows_path, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE)
        try:
            ready = select.select([holder.stdout], [], [], 30)[0]
            reply = holder.stdout.readline().decode().strip() if ready else "err\ttimeout"
            if reply != "ok":
                raise RuntimeError(f"cannot hold {windows_path} open: {reply}")
            yield
        finally:
            holder.stdin.close()
            holder.wait(30)

    # Drives ------------------------------------------------------------------------------

    def map_drive(self, letter: str, drive_type: str) -> Path:
        """A drive of that type showing a fresh folder of its own; returns the folder."""
        folder = self.prefix.root / "media" / f"drive-{letter.lower()}"
        self.prefix.map_drive(letter, folder, drive_type)
        return folder

    def insert_cd(self, letter: str, number: int, drive_type="cdrom") -> Path:
        """Game CD `number` (its marker data<number>.tag in the root) in drive `letter`."""
        folder = self.map_drive(letter, drive_type)
        (folder / f"data{number}.tag").write_bytes(b"")
        return folder

    def put_game_program(self, folder: Path, variant="game_136"):
        """The game's game.exe on a CD: one of the built stand-ins, which differ only in the
        build named by their version resource (game_136, game_137, game_136_space,
        game_136_german)."""
        shutil.copyfile(paths.built(variant + ".exe"), folder / "game.exe")

    # The patch library -------------------------------------------------------------------

    def use_scripted_patch_library(self, folder=UPDATE_DIR):
        """The stand-in library beside the updater: it plays the patch files as scripts."""
        shutil.copyfile(paths.scripted_patch_library(),
                        self.host_path(str(PureWindowsPath(folder, "fpatch32.dll"))))

    def use_signed_patch_library(self, folder=UPDATE_DIR):
        """The fpatch32.dll that applies only patch files signed with the build's test key."""
        shutil.copyfile(paths.signed_patch_library(),
                        self.host_path(str(PureWindowsPath(folder, "fpatch32.dll"))))

    def write_scripted_patch(self, number: int, *lines, folder=UPDATE_DIR):
        """Patch<number>.rtp as a script of library events (tests/e2e/standin), with the
        stand-in library installed to play it."""
        self.use_scripted_patch_library(folder)
        script = b"".join(to_ansi(line) + b"\r\n" for line in lines)
        self.write_file(str(PureWindowsPath(folder, f"Patch{number}.rtp")), script)

    def library_answers(self, number: int, folder=UPDATE_DIR):
        """The updater's answers to the events of scripted patch <number>, e.g. "3 go"; None
        when the library never played it."""
        path = self.host_path(str(PureWindowsPath(folder, f"Patch{number}.rtp.answers")))
        return path.read_text().splitlines() if path.exists() else None

    # Running -----------------------------------------------------------------------------

    def start(self, exe_name="Update.exe", folder=UPDATE_DIR) -> Driver:
        """Starts the updater as a player would (from its own folder) under the UI driver."""
        self._register_game()
        driver = Driver(self.prefix, str(PureWindowsPath(folder, exe_name)), folder)
        self._drivers.append(driver)
        return driver

    def _register_game(self):
        """The game's registry values, written once, before anything of the prefix runs."""
        if self._registered:
            return
        for name, value in self.registry.items():
            value = value if isinstance(value, str) else decode_ansi(value)
            self.prefix.set_registry("HKEY_CURRENT_USER", GAME_KEY, name, value)
        self._registered = True

    @property
    def drivers(self):
        return list(self._drivers)

    def close(self):
        for driver in self._drivers:
            driver.close()
        self._drivers.clear()
