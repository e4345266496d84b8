"""An X server for the program's windows: Xvfb on a display number it picks itself."""
import os
import select
import subprocess
import time
from pathlib import Path


class Xvfb:
    def __init__(self, width=1024, height=768):
        self.geometry = f"{width}x{height}x24"
        self.process = None
        self.display = None

    def start(self, timeout=20):
        read_end, write_end = os.pipe()
        # -displayfd: Xvfb takes the first free display number and writes it to the pipe once
        # it accepts connections, so no number is guessed and no socket is polled.
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.geometry,
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        try:
            number = _read_line(read_end, timeout)
        finally:
            os.close(read_end)
        if not number:
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        return self

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()


def _read_line(fd, timeout):
    data = b""
    while not data.endswith(b"\n"):
        ready, _, _ = select.select([fd], [], [], timeout)
        if not ready:
            break
        chunk = os.read(fd, 64)
        if not chunk:
            break
        data += chunk
    return data.decode().strip()


def screenshot(display: str, path: Path, crop=None):
    """The whole screen, or the rectangle (left, top, right, bottom) of it, as a PNG file."""
    path.parent.mkdir(parents=True, exist_ok=True)
    command = ["import", "-display", display, "-window", "root"]
    if crop:
        left, top, right, bottom = crop
        command += ["-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage"]
    subprocess.run(command + [str(path)], check=True, timeout=30,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def settled_screenshot(display: str, path: Path, crop=None, attempts=20, pause=0.2):
    """A screenshot taken once the picture stops changing: a window that has just been shown
    may still be painting, and Wine hands its drawing to the X server a moment later."""
    previous = None
    for _ in range(attempts):
        screenshot(display, path, crop)
        current = path.read_bytes()
        if current == previous:
            return
        previous = current
        time.sleep(pause)
