"""The UI driver (tests/e2e/driver) as Python objects: one driver process per scenario starts
the program under test and answers one command at a time."""
import os
import select
import subprocess
import time

from . import paths
from .ansi import decode_ansi
from .protocol import parse_reply

# Wine needs a moment for its first program in a fresh prefix, longer on a loaded machine.
FIRST_WINDOW_TIMEOUT = 30
# The time a reply may take beyond the time a command itself waits.
REPLY_MARGIN = 15

# The system command of Alt with a key; with a space it opens the system menu.
SC_KEYMENU = 0xF100
# The id of the text in Wine's message box.
MSGBOX_TEXT_ID = 0xFFFF


class DriverError(Exception):
    pass


class WindowTimeout(DriverError):
    """No window of the kind waited for appeared in time."""


class ProgramExited(DriverError):
    """The program ended while the driver waited for one of its windows."""

    def __init__(self, exit_code):
        super().__init__(f"the program exited with code {exit_code}")
        self.exit_code = exit_code


class Driver:
    def __init__(self, prefix, program: str, working_dir: str):
        """Starts `program` (a Windows path in `prefix`) with the working directory given."""
        self.prefix = prefix
        self._buffer = b""
        self.process = prefix.popen_wine(
            paths.driver_exe(), working_dir, program,
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        ok, result = self._read_reply(FIRST_WINDOW_TIMEOUT + REPLY_MARGIN)
        if not ok:
            self.close()
            raise DriverError(f"cannot start {program}: {result}")
        self.pid = int(result[0])

    # The wire ----------------------------------------------------------------------------

    def _read_reply(self, timeout):
        deadline = time.monotonic() + timeout
        fd = self.process.stdout.fileno()
        while b"\n" not in self._buffer:
            remaining = deadline - time.monotonic()
            ready = select.select([fd], [], [], max(remaining, 0))[0] if remaining > 0 else []
            if not ready:
                raise DriverError(f"no reply from the driver within {timeout} s")
            chunk = os.read(fd, 65536)
            if not chunk:
                raise DriverError("the driver ended unexpectedly")
            self._buffer += chunk
        line, self._buffer = self._buffer.split(b"\n", 1)
        return parse_reply(line)

    def try_command(self, *words, wait=0):
        """(True, fields) or (False, reason). `wait`: seconds the command itself may take."""
        line = " ".join(str(w) for w in words) + "\n"
        self.process.stdin.write(line.encode("ascii"))
        self.process.stdin.flush()
        return self._read_reply(wait + REPLY_MARGIN)

    def command(self, *words, wait=0):
        ok, result = self.try_command(*words, wait=wait)
        if not ok:
            raise DriverError(f"{' '.join(map(str, words))}: {result}")
        return result

    def close(self):
        """Ends the driver, and the program with it if it still runs."""
        if self.process.poll() is None:
            try:
                self.process.stdin.close()
                self.process.wait(10)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
                self.process.wait()

    # Windows of the program --------------------------------------------------------------

    def _wait_window(self, kind, timeout, skip):
        ok, result = self.try_command("wait", kind, int(timeout * 1000),
                                      *(w.hwnd for w in skip), wait=timeout)
        if ok:
            return result[0].decode()
        if result.startswith("exited "):
            raise ProgramExited(int(result.split()[1]))
        raise WindowTimeout(f"no {kind} within {timeout} s; windows: {self.windows()}")

    def wait_dialog(self, timeout=FIRST_WINDOW_TIMEOUT, skip=()):
        """The first shown dialog of the program that is not a message box (nor in `skip`)."""
        return Window(self, self._wait_window("dialog", timeout, skip))

    def shown_dialog(self, skip=()):
        """The shown dialog (not a message box) right now, or None."""
        try:
            return self.wait_dialog(timeout=0, skip=skip)
        except (WindowTimeout, ProgramExited):
            return None

    def shown_msgbox(self):
        """The shown message box right now, or None."""
        try:
            return self.wait_msgbox(timeout=0)
        except (WindowTimeout, ProgramExited):
            return None

    def wait_msgbox(self, timeout=FIRST_WINDOW_TIMEOUT, skip=()):
        return MessageBox(self, self._wait_window("msgbox", timeout, skip))

    def wait_menu(self, timeout=5):
        return Window(self, self._wait_window("menu", timeout, ()))

    def windows(self):
        """The program's top-level windows, described for a person reading a failure."""
        ok, result = self.try_command("windows")
        return [decode_ansi(f) for f in result] if ok else [f"(windows unknown: {result})"]

    def exit_code(self, timeout=10):
        """Waits for the program to end and returns its exit code."""
        return int(self.command("exit", int(timeout * 1000), wait=timeout)[0])

    def wait_exit(self, timeout=10) -> bool:
        """Whether the program ends within `timeout` seconds."""
        return self.try_command("exit", int(timeout * 1000), wait=timeout)[0]

    def registry_value(self, key, name):
        """A string value under HKEY_CURRENT_USER as the program reads it, None if missing."""
        ok, result = self.try_command("regget", key, name)
        return decode_ansi(result[0]) if ok else None

    def wait_idle(self, timeout=10):
        """Until the program waits for input with none pending: what it shows is painted."""
        self.command("idle", int(timeout * 1000), wait=timeout)

    def has_exited(self):
        return self.try_command("exit", 0)[0]


class Control:
    def __init__(self, field: bytes):
        id_, class_name, visible, enabled, text = field.split(b":", 4)
        self.id = int(id_)
        self.class_name = class_name.decode("latin-1")
        self.visible = visible == b"1"
        self.enabled = enabled == b"1"
        self.text = decode_ansi(text)

    def __repr__(self):
        return f"Control({self.id}, {self.class_name}, {self.text!r})"


class Window:
    def __init__(self, driver: Driver, hwnd: str):
        self.driver = driver
        self.hwnd = hwnd

    def _command(self, name, *args, wait=0):
        return self.driver.command(name, self.hwnd, *args, wait=wait)

    @property
    def caption(self) -> str:
        return decode_ansi(self._command("text")[0])

    def text(self, control_id) -> str:
        return decode_ansi(self._command("text", control_id)[0])

    def progress(self, control_id):
        """(low, high, position) of a progress bar."""
        return tuple(int(v) for v in self._command("progress", control_id))

    def is_enabled(self, control_id=None) -> bool:
        return self._command("state", *([control_id] if control_id is not None else []))[1] == b"1"

    def is_visible(self, control_id=None) -> bool:
        return self._command("state", *([control_id] if control_id is not None else []))[0] == b"1"

    def controls(self):
        return [Control(f) for f in self._command("controls")]

    def rect(self):
        return tuple(int(v) for v in self._command("rect"))

    def click(self, control_id):
        self._command("click", control_id)

    def syscommand(self, command, lparam=0):
        self._command("syscommand", command, lparam)

    def close(self):
        """WM_CLOSE, as the system's close request."""
        self._command("close")

    def press(self, key):
        """"esc", "enter", "up" or "down"."""
        self._command("key", key)

    def system_menu(self):
        """The system menu's items as (command id, text), None for a separator."""
        items = []
        for field in self._command("menu"):
            if field == b"-":
                items.append(None)
            else:
                command, text = field.split(b":", 1)
                items.append((int(command), decode_ansi(text)))
        return items

    def open_system_menu(self):
        """Alt+Space: the system menu opens with its first item selected."""
        self.syscommand(SC_KEYMENU, ord(" "))
        return self.driver.wait_menu()

    def responsive(self, timeout=2):
        """The round trip of a message in ms, or None when the window does not answer."""
        ok, result = self.driver.try_command("responsive", self.hwnd, int(timeout * 1000),
                                             wait=timeout)
        return float(result[0]) if ok else None

    def wait_gone(self, timeout=10):
        self._command("gone", int(timeout * 1000), wait=timeout)

    def __repr__(self):
        return f"Window({self.hwnd})"


class MessageBox(Window):
    """Wine's message box: its text is a static with the id -1; unused buttons are destroyed."""

    @property
    def message(self) -> str:
        for control in self.controls():
            if control.id == MSGBOX_TEXT_ID and control.class_name.lower() == "static":
                return control.text
        raise DriverError(f"message box {self.hwnd} has no text")

    def buttons(self):
        """The captions of its buttons, without the & of their access keys."""
        return [c.text.replace("&", "") for c in self._visible_buttons()]

    def answer(self, caption):
        """Clicks the button with that caption and waits for the box to go."""
        for control in self._visible_buttons():
            if control.text.replace("&", "") == caption:
                self.click(control.id)
                self.wait_gone()
                return
        raise DriverError(f"no button {caption!r} in message box; buttons: {self.buttons()}")

    def _visible_buttons(self):
        return [c for c in self.controls() if c.class_name.lower() == "button" and c.visible]
