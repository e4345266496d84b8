"""One throw-away Wine prefix: a copy of the template of tests/wine/prefix.sh with its own
wineserver, its drive letters and registry values, removed again at the end."""
import os
import shutil
import subprocess
import tempfile
from pathlib import Path, PureWindowsPath

from . import paths, registry

DRIVE_TYPES = ("cdrom", "floppy", "hd", "network", "ramdisk")


def _prefix_function(name, *args):
    subprocess.run(["bash", "-c", f'. "$0" && {name} "$@"', str(paths.PREFIX_SCRIPT), *args],
                   check=True, stdout=subprocess.DEVNULL)


class WinePrefix:
    def __init__(self, root: Path, display: str = None):
        self.root = Path(root)
        self.display = display
        self._server_started = False
        self._pending = {hive: {} for hive in registry.HIVE_FILES}

    @classmethod
    def create(cls, display: str = None) -> "WinePrefix":
        root = Path(tempfile.mkdtemp(prefix="quill-e2e-"))
        try:
            _prefix_function("quill_wine_scratch", str(root))
        except BaseException:
            shutil.rmtree(root, ignore_errors=True)
            raise
        return cls(root, display)

    def end(self):
        _prefix_function("quill_wine_end", str(self.root))

    def env(self) -> dict:
        env = dict(os.environ)
        env.update(WINEPREFIX=str(self.root), WINEARCH=paths.WINDOWS_ARCH, WINEDEBUG="-all",
                   WINEDLLOVERRIDES="mscoree,mshtml=")
        if paths.WINDOWS_ARCH == "win64":
            env["PATH"] = f"{paths.WINE64_ONLY}{os.pathsep}{env.get('PATH', '')}"
        if self.display:
            env["DISPLAY"] = self.display
        return env

    # Files -------------------------------------------------------------------------------

    def host_path(self, windows_path: str) -> Path:
        """The Linux path of a path on one of the prefix's drives."""
        path = PureWindowsPath(windows_path)
        drive = path.drive.lower()
        if not drive:
            raise ValueError(f"not an absolute Windows path: {windows_path}")
        link = self.root / "dosdevices" / drive
        base = self.root / "drive_c" if drive == "c:" else Path(os.readlink(link))
        return base.joinpath(*path.parts[1:])

    # Drives and registry (before the program starts) -------------------------------------

    def map_drive(self, letter: str, folder: Path, drive_type: str):
        """Drive `letter` shows the Linux `folder` and reports `drive_type`."""
        if drive_type not in DRIVE_TYPES:
            raise ValueError(f"unknown drive type {drive_type}")
        link = self.root / "dosdevices" / f"{letter.lower()}:"
        if link.is_symlink():
            link.unlink()
        folder.mkdir(parents=True, exist_ok=True)
        link.symlink_to(folder.resolve())
        self.set_registry("HKEY_LOCAL_MACHINE", r"Software\Wine\Drives",
                          f"{letter.lower()}:", drive_type)

    def set_registry(self, hive: str, key: str, name: str, value: str):
        """A string value, written when the server starts (it reads drive types only then)."""
        if self._server_started:
            raise RuntimeError("registry values must be set before the prefix's server starts")
        self._pending[hive].setdefault(key, {})[name] = value

    # Running -----------------------------------------------------------------------------

    def start_server(self):
        """Writes the registry values and starts a server that stays until end()."""
        if self._server_started:
            return
        for hive, keys in self._pending.items():
            if keys:
                registry.append_keys(self.root, hive, keys)
        subprocess.run(["wineserver", "-p"], env=self.env(), check=True)
        self._server_started = True

    def run_wine(self, *args, timeout=60):
        """Runs a program in the prefix to its end, e.g. Wine's own `reg`."""
        self.start_server()
        subprocess.run(["wine", *map(str, args)], env=self.env(), check=True, timeout=timeout,
                       capture_output=True)

    def popen_wine(self, *args, **kwargs) -> subprocess.Popen:
        self.start_server()
        return subprocess.Popen(["wine", *map(str, args)], env=self.env(), **kwargs)
