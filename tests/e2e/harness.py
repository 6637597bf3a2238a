"""Drives the real Trayhound.exe under Wine the way a person would.

Each WineSession is a fresh copy of the build's booted Wine prefix with an Xvfb display of its own
(scripts/wine-prefix.sh). The tray icon is clicked with xdotool in Wine's system tray window; what
the program shows (popup menus, dialogs, message boxes) is read through the test probe that
th-inject loads into the running program, because another process cannot read a program's menus
under Wine. Every wait has its own bound of at most 30 s.
"""

import getpass
import json
import os
import pathlib
import re
import shutil
import subprocess
import time
import unittest

BUILD = os.environ["TRAYHOUND_E2E_BUILD"]
TRAYHOUND_EXE = os.environ["TRAYHOUND_EXE"]
INJECT_EXE = os.environ["TRAYHOUND_INJECT_EXE"]
WORK = os.path.join(BUILD, "e2e")
PREFIX_TOOL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "wine-prefix.sh")
USER = os.environ.get("USER") or getpass.getuser()

SETTINGS_KEY = r"HKCU\Software\VB and VBA Program Settings\Trayhound"
SETS_KEY = SETTINGS_KEY + r"\Options\LastIconSetFileNames"
INTERNAL_SET = "trayhound:\\internal.iconset"
TRAY_WINDOW_NAME = "Wine System Tray"
SCREEN = (1024, 768)  # the sessions' Xvfb screen
MESSAGE_TEXT_ID = 0xFFFF  # a message box's text
# Exit code of a Wine process that ended before its program ran (rare, on a loaded machine).
NOT_STARTED = 127


def _run(args, env, check=True, done=lambda result: result.returncode != NOT_STARTED or result.stdout):
    """Runs a command with no inherited pipes, so that ctest never waits for Wine's servers. A run
    not `done` (by default: Wine failed to start it, exit code 127) is started again, twice at most."""
    for _ in range(3):
        result = subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, timeout=30, close_fds=True)
        result.text = result.stdout.decode("utf-8", "replace")
        if done(result):
            break
    if check and result.returncode != 0:
        raise RuntimeError(f"{args} failed with {result.returncode}: {result.text!r}")
    return result


def _spawn(args, env, log):
    with open(log, "ab") as out:
        return subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=subprocess.STDOUT, close_fds=True, start_new_session=True)


def prefix_tool(*args):
    """scripts/wine-prefix.sh, on a display of its own rather than the caller's."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    return subprocess.run([PREFIX_TOOL, *args], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          close_fds=True, timeout=60, check=True).stdout.decode().strip()


def start_prefix(prefix):
    """Starts the prefix and returns its display. On a loaded machine Wine's first desktop in a
    fresh prefix has been seen to hang: such a start is stopped and made once more."""
    try:
        return prefix_tool("start", prefix)
    except subprocess.TimeoutExpired:
        prefix_tool("stop", prefix)
        return prefix_tool("start", prefix)


def wait_for(predicate, timeout, what, interval=0.1):
    assert timeout <= 30, "no wait is longer than 30 s"
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)
    return value


def centre(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


class WineSession:
    """One clean prefix, one display, at most one running Trayhound."""

    def __init__(self, name):
        self.dir = os.path.join(WORK, name)
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.prefix = os.path.join(self.dir, "prefix")
        prefix_tool("clone", os.path.join(BUILD, "wineprefix"), self.prefix)
        self.display = start_prefix(self.prefix)
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all", DISPLAY=self.display,
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("WAYLAND_DISPLAY", None)
        self.program = None
        self.last_icon_click = 0.0
        self.double_click_time = 0.5  # the system's, in seconds
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.data_file = os.path.join(self.drive_c, "users", USER, "AppData", "Roaming", "Trayhound",
                                      "Document.dat")
        self._exchange = os.path.join(self.drive_c, "trayhound-probe")
        shutil.copy(os.environ["TRAYHOUND_PROBE_DLL"], os.path.join(self.drive_c, "th-probe.dll"))

    def write_data_file(self, content: bytes):
        os.makedirs(os.path.dirname(self.data_file), exist_ok=True)
        pathlib.Path(self.data_file).write_bytes(content)

    def add_marker(self):
        """C:\\mark.bat, which leaves C:\\launched.txt behind when it runs; returns that file's path."""
        pathlib.Path(self.drive_c, "mark.bat").write_bytes(b"@echo launched> C:\\launched.txt\r\n")
        return os.path.join(self.drive_c, "launched.txt")

    def read_data_file(self):
        return pathlib.Path(self.data_file).read_bytes()

    def attrib(self, *change):
        """Windows' attrib command on the data file: a change such as "+h", or none to read."""
        return _run(["wine", "attrib", *change, self.windows_path(self.data_file)], self.env).text

    def windows_path(self, path):
        return "C:\\" + os.path.relpath(path, self.drive_c).replace("/", "\\")

    def reg(self, *args):
        """Windows' reg: its output, or None for no such key or value; a failed reg is run again."""
        done = lambda result: result.returncode == 0 or "Unable to find" in result.text
        result = _run(["wine", "reg", *args], self.env, check=False, done=done)
        if not done(result):
            raise RuntimeError(f"reg {' '.join(args)} failed with {result.returncode}: {result.text!r}")
        return result.text if result.returncode == 0 else None

    def reg_set(self, key, value, data):
        """Sets a text value, or deletes it when data is None."""
        change = ["delete", key, "/v", value] if data is None else ["add", key, "/v", value, "/d", data]
        self.reg(*change, "/f")

    def reg_query(self, key, value):
        """The value's text, or None when it does not exist."""
        text = self.reg("query", key, "/v", value) or ""
        found = re.search(rf"^\s*{re.escape(value)}\s+REG_\w+[ \t]*(.*?)\s*$", text, re.M | re.I)
        return found and found[1]

    def start(self, wait_icon=True, exe=TRAYHOUND_EXE):
        """Starts the program (an installed copy: `exe`); returns its process."""
        shutil.rmtree(self._exchange, ignore_errors=True)  # a new program takes the probe afresh
        log = os.path.join(self.dir, "trayhound.log")
        self.program = _spawn(["wine", exe], self.env, log)
        if wait_icon:
            wait_for(lambda: self.icon_shown() or not self.is_running(), 30, "the tray icon")
            if not self.is_running() and self.program.returncode == NOT_STARTED:
                self.program = _spawn(["wine", exe], self.env, log)
            wait_for(self.icon_shown, 30, "the tray icon")
        return self.program

    def run_second_instance(self):
        return _run(["wine", TRAYHOUND_EXE], self.env, check=False).returncode

    def is_running(self):
        return self.program is not None and self.program.poll() is None

    def wait_exit(self, timeout=20):
        return self.program.wait(timeout)

    def loaded_dlls(self):
        """Lower-case names of the DLLs mapped into the running program, which Wine runs as the
        Unix process that `wine` started."""
        with open(f"/proc/{self.program.pid}/maps") as maps:
            paths = [line.split(None, 5)[-1].strip() for line in maps]
        return {os.path.basename(path).lower() for path in paths if path.lower().endswith(".dll")}

    def tray_window(self):
        """Wine's system tray window, shown only while some program has an icon in it."""
        result = _run(["xdotool", "search", "--onlyvisible", "--name", TRAY_WINDOW_NAME],
                      self.env, check=False)
        return next(iter(result.text.split()), None)

    icon_shown = tray_window

    def click_icon(self, button=1, double=False, delay=0.12):
        """A click on the icon; `double`: two, `delay` seconds apart (a person's double click).
        It waits out the double-click time since the last click on the icon first, so that two
        steps of a test never make a double click by chance."""
        time.sleep(max(0.0, self.last_icon_click + self.double_click_time + 0.1 - time.monotonic()))
        self.click_at(*self.icon_position(), button, repeat=2 if double else 1, delay=delay)
        self.last_icon_click = time.monotonic()

    def icon_position(self):
        window = self.tray_window()
        assert window, "no tray icon"
        geometry = _run(["xdotool", "getwindowgeometry", "--shell", window], self.env).text
        values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
        # Below the caption Wine draws, the first icon sits about 12 px in from the left and bottom.
        return int(values["X"]) + 12, int(values["Y"]) + int(values["HEIGHT"]) - 12

    def click_at(self, x, y, button=1, repeat=1, delay=0.08):
        self.xdotool("mousemove", x, y, "click", "--repeat", repeat, "--delay", int(delay * 1000),
                     button)

    def drag(self, start, end):
        """Holds the left button down at start, moves to end in a few steps and lets go."""
        (x0, y0), (x1, y1) = start, end
        steps = [arg for i in range(1, 5)
                 for arg in ("sleep", 0.05, "mousemove", x0 + (x1 - x0) * i // 4, y0 + (y1 - y0) * i // 4)]
        self.xdotool("mousemove", x0, y0, "mousedown", 1, *steps, "sleep", 0.1, "mouseup", 1)

    def xdotool(self, *args):
        _run(["xdotool", *map(str, args)], self.env)

    def screenshot(self, name):
        path = os.path.join(WORK, "screenshots", name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        _run(["import", "-display", self.display, "-window", "root", path], self.env)

    def inject(self):
        ready = os.path.join(self._exchange, "ready.txt")
        if os.path.exists(ready):
            return
        # The injector fails on a program still starting, and is run again.
        command = ["wine", INJECT_EXE, "Trayhound.exe", r"C:\th-probe.dll"]
        wait_for(lambda: _run(command, self.env, check=False).returncode == 0, 20,
                 "the probe to be loaded", interval=0.5)
        wait_for(lambda: os.path.exists(ready), 10, "the probe")

    def probe(self, request, *args):
        """Sends a request with its arguments (a window as its handle) and returns the answer."""
        self.inject()
        request = " ".join([request, *(str(a["hwnd"] if isinstance(a, dict) else a) for a in args)])
        response = pathlib.Path(self._exchange, "response.txt")
        response.unlink(missing_ok=True)
        partial = pathlib.Path(self._exchange, "request.tmp")
        partial.write_text(request, encoding="utf-8")
        os.replace(partial, os.path.join(self._exchange, "request.txt"))
        wait_for(response.exists, 10, f"probe answer to {request!r}", interval=0.03)
        answer = json.loads(response.read_text(encoding="utf-8"))
        response.unlink()
        if isinstance(answer, dict) and "error" in answer:
            raise AssertionError(f"probe: {answer['error']}")
        return answer

    def open_menu(self, button):
        self.inject()
        self.click_icon(button)
        return wait_for(self.menus, 10, "a popup menu")[-1]

    def choose(self, items, text):
        self.click_at(*centre(next(item for item in items if item["text"] == text)["rect"]))

    def command(self, entry, title=None):
        """Chooses an entry of the command menu; returns the window titled `title` that opens."""
        self.choose(self.open_menu(3), entry)
        return title and self.window(title)

    def close_menu(self):
        """Clicks the empty desktop: an open popup menu closes when the user clicks elsewhere."""
        self.click_at(700, 600)
        wait_for(lambda: not self.menus(), 5, "the menu to close")

    def windows(self):
        return self.probe("windows")

    def menus(self):
        return [w["items"] for w in self.windows() if w["class"] == "#32768"]

    def find(self, hwnd):
        return next((w for w in self.windows() if w["hwnd"] == hwnd), None)

    def window(self, title, timeout=10):
        return wait_for(lambda: next((w for w in self.windows() if w["text"] == title), None),
                        timeout, f"window {title!r}")

    def close(self):
        if self.is_running():
            self.program.kill()
            self.program.wait(10)
        prefix_tool("stop", self.prefix)
        # A prefix copy is large; the program's log stays beside it for a failing test to show.
        shutil.rmtree(self.prefix, ignore_errors=True)


class SessionTest(unittest.TestCase):
    def setUp(self):
        self.session = WineSession(f"{type(self).__name__}.{self._testMethodName}")
        self.addCleanup(self.session.close)

    def until(self, read, expected, what, timeout=10):
        """Polls until read() gives expected, then compares (so a failure shows the difference)."""
        last = [None]
        try:
            wait_for(lambda: last.append(read()) or last[-1] == expected, timeout, what)
        except AssertionError:
            self.assertEqual(last[-1], expected, what)

    def start(self, data=None):
        """Starts Trayhound, on this data file when given; returns the session."""
        if data is not None:
            self.session.write_data_file(data)
        self.session.start()
        return self.session

    def find(self, hwnd):
        return self.session.find(hwnd)

    def gone(self, window):
        wait_for(lambda: self.find(window["hwnd"]) is None, 10, f"{window['text']!r} to close")

    def close_with(self, window, button=None):
        """Presses a button of the window, or its close box, and waits for the window to close."""
        self.session.probe("click" if button else "close", control(window, button) if button else window)
        self.gone(window)

    def assert_shutdown_request_ends_it(self, value="1"):
        """Asks the running program to end, as a script would: it must end cleanly within the
        polling period, and the request must be gone."""
        s = self.session
        s.reg_set(SETTINGS_KEY + r"\Command", "Shutdown", value)
        started = time.monotonic()
        self.assertEqual(s.wait_exit(20), 0)
        self.assertLess(time.monotonic() - started, 12)
        self.assertIsNone(s.reg_query(SETTINGS_KEY + r"\Command", "Shutdown"))


def controls(window, kind):
    return [c for c in window["controls"] if c["class"].lower() == kind.lower()]


def control(window, text, kind="Button"):
    return next(c for c in controls(window, kind) if c["text"] == text)


def message_text(box):
    return next(c["text"] for c in box["controls"] if c["id"] == MESSAGE_TEXT_ID)
