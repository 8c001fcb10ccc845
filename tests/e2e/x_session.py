"""The pieces an end-to-end run of Miravue is made of: a private X display, the reference
player service and its request log, the program itself, and the X tools a user's actions are
made with (xclip, xdotool, import). Used by the e2e tests and by bench/app/measure.py.

Everything waits by polling with a deadline, never by a fixed sleep: the machines these run on
are small and busy.
"""

import ctypes
import ctypes.util
import hashlib
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
from dataclasses import dataclass, field


class E2EError(Exception):
    """A step of the run did not happen the way the test needs."""


def wait_until(predicate, timeout, what, interval=0.02):
    """Calls predicate until it returns something true and returns that, or raises E2EError
    naming `what` once `timeout` seconds have passed."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise E2EError(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


class ProcessSet:
    """The processes a run started; all of them end with the run, newest first."""

    def __init__(self):
        self._processes = []

    def start(self, args, env, **kwargs):
        # A process group of its own, so that what the process starts ends with it.
        process = subprocess.Popen(args, env=env, start_new_session=True, **kwargs)
        self._processes.append(process)
        return process

    def stop(self, process, timeout=10):
        """SIGTERM, then SIGKILL after `timeout` seconds. Returns the exit code."""
        if process.poll() is None:
            try:
                os.killpg(process.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            try:
                process.wait(timeout)
            except subprocess.TimeoutExpired:
                try:
                    os.killpg(process.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                process.wait()
        else:
            # It ended on its own; whatever it left in its group goes too.
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass
        return process.returncode

    def stop_all(self):
        for process in reversed(self._processes):
            self.stop(process)
        self._processes.clear()


class Xvfb:
    """A private X server on the first free display number of a range, local clients only."""

    def __init__(self, processes, workdir, displays=range(81, 100), screen="1280x1024x24"):
        self._processes = processes
        self._workdir = workdir
        self._displays = displays
        self._screen = screen
        self.display = None
        self.process = None

    def start(self, timeout=30):
        for number in self._displays:
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(
                f"/tmp/.X11-unix/X{number}"
            ):
                continue
            log = open(os.path.join(self._workdir, f"xvfb-{number}.log"), "wb")
            process = self._processes.start(
                ["Xvfb", f":{number}", "-screen", "0", self._screen, "-nolisten", "tcp",
                 "-noreset"],
                env=os.environ.copy(), stdout=log, stderr=subprocess.STDOUT,
            )
            display = f":{number}"
            env = dict(os.environ, DISPLAY=display)

            def ready():
                if process.poll() is not None:
                    return "exited"
                probe = subprocess.run(["xdpyinfo"], env=env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
                return "ready" if probe.returncode == 0 else None

            state = wait_until(ready, timeout, f"Xvfb on {display}", interval=0.05)
            if state == "ready":
                self.display = display
                self.process = process
                return display
            # Another server took the number between our look and its start: next one.
        raise E2EError(f"no free X display among :{self._displays[0]}..:{self._displays[-1]}")


class SessionBus:
    """A D-Bus session bus for the display's clients, as a desktop session has. Without one,
    GLib autolaunches a bus per display that outlives the run (it forks away from us), and
    the accessibility bus is started on it."""

    def __init__(self, processes, workdir):
        self._processes = processes
        self._output = os.path.join(workdir, "session-bus-address")
        self.address = None

    def start(self, timeout=30):
        process = self._processes.start(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
            env=os.environ.copy(), stdout=open(self._output, "wb"), stderr=subprocess.DEVNULL,
        )

        def address():
            if process.poll() is not None:
                raise E2EError("the session bus did not start")
            with open(self._output, "rb") as text:
                line = text.read().decode()
            return line.strip() if line.endswith("\n") else None

        self.address = wait_until(address, timeout, "the session bus")
        return self.address


@dataclass
class Request:
    """One entry of the player service's request log."""

    time: float
    method: str
    target: str
    version: str
    headers: list = field(default_factory=list)  # (name, value) pairs, in the log's order

    def header(self, name):
        for key, value in self.headers:
            if key.lower() == name.lower():
                return value
        return None


def read_request_log(path):
    """Parses the log that miravue-player-service --log writes."""
    requests = []
    try:
        with open(path, "rb") as log:
            text = log.read().decode("utf-8", "replace")
    except FileNotFoundError:
        return requests
    for line in text.split("\n"):
        if not line:
            continue
        if line.startswith("\t"):
            if requests:
                name, _, value = line[1:].partition(": ")
                requests[-1].headers.append((name, value))
            continue
        parts = line.split(" ")
        if len(parts) < 4:
            continue  # an entry still being written
        requests.append(Request(float(parts[0]), parts[1], " ".join(parts[2:-1]), parts[-1]))
    return requests


class PlayerService:
    """The reference player service on the port the program's key endpoint names."""

    def __init__(self, processes, executable, port, workdir):
        self._processes = processes
        self._executable = executable
        self.port = port
        self.log_path = os.path.join(workdir, "service-requests.log")
        self._output_path = os.path.join(workdir, "service-output.log")
        self.process = None

    def start(self, port_wait=30):
        """Starts the service. Another test run may hold the port for a while; past
        `port_wait` seconds that is a clear failure, not a hang."""
        deadline = time.monotonic() + port_wait
        while True:
            output = open(self._output_path, "wb")
            process = self._processes.start(
                [self._executable, "--port", str(self.port), "--log", self.log_path],
                env=os.environ.copy(), stdout=output, stderr=subprocess.STDOUT,
            )

            def listening():
                if process.poll() is not None:
                    return "exited"
                with open(self._output_path, "rb") as text:
                    return "listening" if b"listening on" in text.read() else None

            state = wait_until(listening, 30, "the player service to listen")
            if state == "listening":
                self.process = process
                return
            with open(self._output_path, "rb") as text:
                message = text.read().decode("utf-8", "replace").strip()
            if "already in use" not in message:
                raise E2EError(f"the player service did not start: {message}")
            if time.monotonic() >= deadline:
                raise E2EError(
                    f"port {self.port} on 127.0.0.1 is taken by another process ({message}). "
                    "The end-to-end tests need it: the program's key endpoint is fixed at build "
                    "time (MIRAVUE_KEY_ENDPOINT)."
                )
            time.sleep(0.5)

    def requests(self):
        return read_request_log(self.log_path)


def x_env(display, bus_address=None, **extra):
    env = dict(os.environ, DISPLAY=display, LC_ALL="C.UTF-8")
    if bus_address:
        env["DBUS_SESSION_BUS_ADDRESS"] = bus_address
    env.update(extra)
    return env


class XTools:
    """The user's hands on one display: clipboard, keys, mouse, windows, screenshots."""

    def __init__(self, display, bus_address=None):
        self.display = display
        self.env = x_env(display, bus_address)

    def run(self, *args, input=None, timeout=30):
        result = subprocess.run(list(args), env=self.env, input=input, capture_output=True,
                                timeout=timeout)
        if result.returncode != 0:
            raise E2EError(f"{' '.join(args)} failed: {result.stderr.decode(errors='replace')}")
        return result.stdout

    # Clipboard -----------------------------------------------------------------------------

    def clipboard_targets(self):
        result = subprocess.run(["xclip", "-selection", "clipboard", "-o", "-t", "TARGETS"],
                                env=self.env, capture_output=True, timeout=10)
        return result.stdout.decode(errors="replace").split() if result.returncode == 0 else []

    def set_clipboard(self, data, target):
        """Makes an xclip process the clipboard's owner with `data` as `target`, and returns
        once the clipboard offers it."""
        # xclip stays behind as the selection's owner until the next owner or the display's end.
        subprocess.run(["xclip", "-selection", "clipboard", "-t", target, "-i"], env=self.env,
                       input=data, check=True, timeout=10, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        wait_until(lambda: target in self.clipboard_targets(), 10,
                   f"the clipboard to offer {target}")

    def set_clipboard_text(self, text):
        self.set_clipboard(text.encode("utf-8"), "UTF8_STRING")

        def holds_text():
            result = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=self.env,
                                    capture_output=True, timeout=10)
            return result.returncode == 0 and result.stdout == text.encode("utf-8")

        wait_until(holds_text, 10, f"the clipboard to hold {text!r}")

    # Keys and mouse ------------------------------------------------------------------------

    def key(self, keys):
        self.run("xdotool", "key", keys)

    def drag(self, start, end, steps=12):
        """A left-button drag from `start` to `end` (root coordinates), moved in small steps
        as a hand would, so that the drag threshold, the XDND handshake and the drop all
        happen as they do for a user."""
        (x0, y0), (x1, y1) = start, end
        self.run("xdotool", "mousemove", "--sync", str(x0), str(y0))
        self.run("xdotool", "mousedown", "1")
        for i in range(1, steps + 1):
            x = x0 + (x1 - x0) * i // steps
            y = y0 + (y1 - y0) * i // steps
            self.run("xdotool", "mousemove", "--sync", str(x), str(y))
            time.sleep(0.03)
        # A few small moves over the target: the source only drops once the target has
        # answered a position message with an accepted action.
        for dx in (3, -3, 2, -2, 0):
            self.run("xdotool", "mousemove", "--sync", str(x1 + dx), str(y1))
            time.sleep(0.05)
        self.run("xdotool", "mouseup", "1")

    # Windows -------------------------------------------------------------------------------

    def find_windows(self, name_regex, visible=True):
        args = ["xdotool", "search"]
        if visible:
            args.append("--onlyvisible")
        args += ["--name", name_regex]
        result = subprocess.run(args, env=self.env, capture_output=True, timeout=10)
        return [int(w) for w in result.stdout.split()] if result.returncode == 0 else []

    def wait_for_window(self, name_regex, timeout):
        def found():
            windows = self.find_windows(name_regex)
            return windows[0] if windows else None

        return wait_until(found, timeout, f"a visible window named /{name_regex}/")

    def window_name(self, window):
        return self.run("xdotool", "getwindowname", str(window)).decode("utf-8").rstrip("\n")

    def window_property(self, window, name):
        return self.run("xprop", "-id", str(window), name).decode("utf-8").rstrip("\n")

    def geometry(self, window):
        """(x, y, width, height) of the window's area on the screen."""
        info = self.run("xwininfo", "-id", str(window)).decode()

        def number(label):
            return int(re.search(rf"{label}:\s+(-?\d+)", info).group(1))

        return (number("Absolute upper-left X"), number("Absolute upper-left Y"),
                number("Width"), number("Height"))

    def focused_window(self):
        return int(self.run("xdotool", "getwindowfocus").split()[0])

    def screenshot(self):
        return Image.from_ppm(self.run("import", "-window", "root", "-depth", "8", "ppm:-", timeout=60))

    def save_window_png(self, window, path):
        self.run("import", "-window", str(window), path, timeout=60)


class XTestKeyboard:
    """Key presses sent over one open X connection through the XTEST extension (what xdotool
    does), for timing: starting an xdotool process costs tens of milliseconds, which would
    swamp what is measured."""

    def __init__(self, display):
        self._x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        self._xtst = ctypes.CDLL(ctypes.util.find_library("Xtst"))
        self._x11.XOpenDisplay.restype = ctypes.c_void_p
        self._x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self._x11.XStringToKeysym.restype = ctypes.c_ulong
        self._x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self._x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self._x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self._x11.XFlush.argtypes = [ctypes.c_void_p]
        self._x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self._x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                 ctypes.c_ulong]
        self._display = self._x11.XOpenDisplay(display.encode())
        if not self._display:
            raise E2EError(f"cannot open display {display}")

    def close(self):
        if self._display:
            self._x11.XCloseDisplay(self._display)
            self._display = None

    def press(self, key_name):
        """Presses and releases the key; returns time.time() just before the press left."""
        keycode = self._x11.XKeysymToKeycode(self._display,
                                             self._x11.XStringToKeysym(key_name.encode()))
        if keycode == 0:
            raise E2EError(f"no key code for {key_name}")
        self._xtst.XTestFakeKeyEvent(self._display, keycode, 1, 0)
        sent = time.time()
        self._x11.XFlush(self._display)
        self._xtst.XTestFakeKeyEvent(self._display, keycode, 0, 0)
        self._x11.XSync(self._display, 0)
        return sent


class Image:
    """An RGB screenshot, enough of it to look at single pixels."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self._rgb = width, height, rgb

    @classmethod
    def from_ppm(cls, data):
        # P6 header: magic, width, height, maximum value, one white-space byte, then pixels.
        fields = []
        pos = 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos)
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise E2EError("unexpected screenshot format")
        width, height = int(fields[1]), int(fields[2])
        pixels = data[pos + 1:pos + 1 + width * height * 3]
        if len(pixels) != width * height * 3:
            raise E2EError("truncated screenshot")
        return cls(width, height, pixels)

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise E2EError(f"pixel {x},{y} is off the screen")
        i = (y * self.width + x) * 3
        return tuple(self._rgb[i:i + 3])


def same_colour(a, b, tolerance=3):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


# Torrents -----------------------------------------------------------------------------------


def make_torrent(workdir, name, size=40000):
    """A real .torrent made by mktorrent over a file of `size` bytes named after `name`."""
    payload = os.path.join(workdir, f"{name}.bin")
    with open(payload, "wb") as out:
        out.write(hashlib.sha256(name.encode()).digest() * (size // 32 + 1))
    torrent = os.path.join(workdir, f"{name}.torrent")
    subprocess.run(["mktorrent", "-a", "http://127.0.0.1:1/announce", "-o", torrent, payload],
                   check=True, capture_output=True, timeout=60)
    return torrent


def _bencode_end(data, pos):
    """The position after the bencoded value that starts at `pos`."""
    kind = data[pos:pos + 1]
    if kind == b"i":
        return data.index(b"e", pos) + 1
    if kind in (b"l", b"d"):
        pos += 1
        while data[pos:pos + 1] != b"e":
            pos = _bencode_end(data, pos)
        return pos + 1
    colon = data.index(b":", pos)
    return colon + 1 + int(data[pos:colon])


def torrent_info_hash(path):
    """SHA-1 of the info dictionary exactly as the file holds it (mktorrent writes canonical
    bencoding, so this is the hash any client computes)."""
    with open(path, "rb") as torrent:
        data = torrent.read()
    if data[:1] != b"d":
        raise E2EError(f"{path} is not a bencoded dictionary")
    pos = 1
    while data[pos:pos + 1] != b"e":
        key_end = _bencode_end(data, pos)
        key = data[data.index(b":", pos) + 1:key_end]
        value_end = _bencode_end(data, key_end)
        if key == b"info":
            return hashlib.sha1(data[key_end:value_end]).hexdigest()
        pos = value_end
    raise E2EError(f"{path} has no info dictionary")


def make_workdir():
    return tempfile.mkdtemp(prefix="miravue-e2e-")


def remove_workdir(path):
    shutil.rmtree(path, ignore_errors=True)
