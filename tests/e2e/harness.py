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
import shutil
import subprocess
import time
import unittest

BUILD = os.environ["TRAYHOUND_E2E_BUILD"]
TRAYHOUND_EXE = os.environ["TRAYHOUND_EXE"]
PROBE_DLL = os.environ["TRAYHOUND_PROBE_DLL"]
INJECT_EXE = os.environ["TRAYHOUND_INJECT_EXE"]
WORK = os.path.join(BUILD, "e2e")
# The Wine tests' prefix; sessions are copies of it as it was booted.
BASE_PREFIX = os.path.join(BUILD, "wineprefix")
PREFIX_TOOL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                           "wine-prefix.sh")
USER = os.environ.get("USER") or getpass.getuser()

SETTINGS_KEY = r"HKCU\Software\VB and VBA Program Settings\Trayhound"
TRAY_WINDOW_NAME = "Wine System Tray"
SCREEN = (1024, 768)  # the sessions' Xvfb screen
MESSAGE_TEXT_ID = 0xFFFF  # a message box's text

# Exit code of a Wine process that ended before its program ran (rare, on a loaded machine).
NOT_STARTED = 127


def _run(args, env, timeout=30):
    """Runs a command with no inherited pipes, so that ctest never waits for Wine's servers. A run
    that Wine failed to start (nothing printed, exit code 127) is started again, twice at most."""
    for _ in range(3):
        result = subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, timeout=timeout, close_fds=True)
        if result.returncode != NOT_STARTED or result.stdout:
            break
    return result


def _quiet(args, env, check=True, returncode=False):
    """Runs a command; returns its output, or its exit code when asked for that."""
    result = _run(args, env)
    if check and result.returncode != 0:
        raise RuntimeError(f"{args} failed with {result.returncode}")
    return result.returncode if returncode else result.stdout.decode("utf-8", "replace")


def _spawn(args, env, log=None):
    out = open(log, "ab") if log else subprocess.DEVNULL
    try:
        return subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=subprocess.STDOUT, close_fds=True, start_new_session=True)
    finally:
        if log:
            out.close()


def prefix_tool(*args):
    """scripts/wine-prefix.sh, on a display of its own rather than the caller's."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    result = subprocess.run([PREFIX_TOOL, *args], env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, close_fds=True, timeout=30, check=True)
    return result.stdout.decode().strip()


def wait_for(predicate, timeout, interval=0.1, what="condition"):
    assert timeout <= 30, "no wait is longer than 30 s"
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


class WineSession:
    """One clean prefix, one display, at most one running Trayhound."""

    def __init__(self, name):
        self.dir = os.path.join(WORK, name)
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.prefix = os.path.join(self.dir, "prefix")
        prefix_tool("clone", BASE_PREFIX, self.prefix)
        self.display = prefix_tool("start", self.prefix)
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all", DISPLAY=self.display,
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("WAYLAND_DISPLAY", None)
        self.program = None
        self.holder = None
        self.injected = False
        self.last_icon_click = 0.0
        self.double_click_time = 0.5  # the system's, in seconds
        shutil.copy(PROBE_DLL, os.path.join(self.drive_c, "th-probe.dll"))

    # Paths ----------------------------------------------------------------------------------

    @property
    def drive_c(self):
        return os.path.join(self.prefix, "drive_c")

    @property
    def app_data(self):
        return os.path.join(self.drive_c, "users", USER, "AppData", "Roaming")

    @property
    def data_file(self):
        return os.path.join(self.app_data, "Trayhound", "Document.dat")

    def write_data_file(self, content: bytes):
        os.makedirs(os.path.dirname(self.data_file), exist_ok=True)
        with open(self.data_file, "wb") as f:
            f.write(content)

    def read_data_file(self):
        with open(self.data_file, "rb") as f:
            return f.read()

    def windows_path(self, linux_path):
        relative = os.path.relpath(linux_path, self.drive_c)
        return "C:\\" + relative.replace("/", "\\")

    # Registry ---------------------------------------------------------------------------------

    def reg_add(self, key, value, data, kind="REG_SZ"):
        _quiet(["wine", "reg", "add", key, "/v", value, "/t", kind, "/d", data, "/f"], self.env)

    def attrib(self, change, path):
        """Windows' attrib command on a file of the prefix: `change` such as "+h", or "" to
        read; its output."""
        return _quiet(["wine", "attrib", *([change] if change else []), self.windows_path(path)],
                      self.env)

    def reg_delete(self, key, value):
        _quiet(["wine", "reg", "delete", key, "/v", value, "/f"], self.env)

    def reg_query(self, key, value):
        """The value's text, or None when it does not exist."""
        result = _run(["wine", "reg", "query", key, "/v", value], self.env)
        if result.returncode != 0:
            return None
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == value.lower() and parts[1].startswith("REG_"):
                return parts[2] if len(parts) == 3 else ""
        return None

    # The program ------------------------------------------------------------------------------

    def start(self, wait_icon=True, exe=TRAYHOUND_EXE):
        """Starts Trayhound: the built one, or another copy such as an installed one."""
        log = os.path.join(self.dir, "trayhound.log")
        self.program = _spawn(["wine", exe], self.env, log)
        self.injected = False
        if wait_icon:
            for _ in range(2):
                wait_for(lambda: self.icon_shown() or not self.is_running(), 30, what="the tray icon")
                if self.is_running() or self.program.returncode != NOT_STARTED:
                    break
                self.program = _spawn(["wine", exe], self.env, log)
            self.wait_for_icon()
        return self.program

    def run_second_instance(self, timeout=30):
        """Starts another Trayhound and returns its exit code once it has ended."""
        second = _spawn(["wine", TRAYHOUND_EXE], self.env)
        try:
            return second.wait(timeout)
        finally:
            if second.poll() is None:
                second.kill()
                second.wait()

    def request_shutdown(self, value="1"):
        """Asks the running program to end, as a script would."""
        self.reg_add(SETTINGS_KEY + r"\Command", "Shutdown", value)

    def is_running(self):
        return self.program is not None and self.program.poll() is None

    def wait_exit(self, timeout=20):
        return self.program.wait(timeout)

    def loaded_dlls(self):
        """Lower-case names of the DLLs mapped into the running program, which Wine runs as the
        Unix process that `wine` started."""
        names = set()
        with open(f"/proc/{self.program.pid}/maps") as maps:
            for line in maps:
                fields = line.split(None, 5)  # address, mode, offset, device, inode, path
                if len(fields) == 6 and fields[5].strip().lower().endswith(".dll"):
                    names.add(os.path.basename(fields[5].strip()).lower())
        return names

    def tray_window(self):
        """Wine's system tray window, shown only while some program has an icon in it."""
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", TRAY_WINDOW_NAME],
                                env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, close_fds=True)
        ids = result.stdout.split()
        return ids[0].decode() if ids else None

    def icon_shown(self):
        return self.tray_window() is not None

    def wait_for_icon(self, timeout=30):
        wait_for(self.icon_shown, timeout, what="the tray icon")

    def icon_position(self):
        window = self.tray_window()
        assert window, "no tray icon"
        geometry = _quiet(["xdotool", "getwindowgeometry", "--shell", window], self.env)
        values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
        x, y = int(values["X"]), int(values["Y"])
        height = int(values["HEIGHT"])
        # With an unmanaged tray Wine draws its caption inside: the first icon sits about 10 px in
        # from the left edge and 10 px up from the bottom edge.
        return x + 12, y + height - 12

    def click_icon(self, button=1, double=False, delay=0.12):
        """A click on the icon; `double`: two, `delay` seconds apart (a person's double click).
        It waits out the double-click time since the last click on the icon first, so that two
        steps of a test never make a double click by chance."""
        wait = self.last_icon_click + self.double_click_time + 0.1 - time.monotonic()
        if wait > 0:
            time.sleep(wait)
        x, y = self.icon_position()
        args = ["xdotool", "mousemove", str(x), str(y), "click"]
        if double:
            args += ["--repeat", "2", "--delay", str(int(delay * 1000))]
        _quiet(args + [str(button)], self.env)
        self.last_icon_click = time.monotonic()

    def click_at(self, x, y, button=1):
        _quiet(["xdotool", "mousemove", str(x), str(y), "click", str(button)], self.env)

    def double_click_at(self, x, y):
        _quiet(["xdotool", "mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "80", "1"],
               self.env)

    def drag(self, start, end):
        """Holds the left button down at start, moves to end in a few steps and lets go."""
        (x0, y0), (x1, y1) = start, end
        args = ["xdotool", "mousemove", str(x0), str(y0), "mousedown", "1"]
        for step in range(1, 5):
            args += ["sleep", "0.05", "mousemove", str(x0 + (x1 - x0) * step // 4),
                     str(y0 + (y1 - y0) * step // 4)]
        _quiet(args + ["sleep", "0.1", "mouseup", "1"], self.env)

    def key(self, *keys):
        _quiet(["xdotool", "key", *keys], self.env)

    def screenshot(self, name):
        path = os.path.join(WORK, "screenshots", name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        _quiet(["import", "-display", self.display, "-window", "root", path], self.env)
        return path

    # The probe ----------------------------------------------------------------------------------

    @property
    def _exchange(self):
        return os.path.join(self.drive_c, "trayhound-probe")

    def inject(self):
        if self.injected:
            return
        shutil.rmtree(self._exchange, ignore_errors=True)
        # A program just started may not be listed yet, or may still be loading its libraries:
        # the injector fails then, and is run again.
        wait_for(lambda: _quiet(["wine", INJECT_EXE, "Trayhound.exe", r"C:\th-probe.dll"],
                                self.env, check=False, returncode=True) == 0,
                 20, interval=0.5, what="the probe to be loaded")
        wait_for(lambda: os.path.exists(os.path.join(self._exchange, "ready.txt")), 10, what="the probe")
        self.injected = True

    def probe(self, request, timeout=10):
        self.inject()
        response = os.path.join(self._exchange, "response.txt")
        if os.path.exists(response):
            os.unlink(response)
        partial = os.path.join(self._exchange, "request.tmp")
        with open(partial, "w", encoding="utf-8") as f:
            f.write(request)
        os.replace(partial, os.path.join(self._exchange, "request.txt"))
        wait_for(lambda: os.path.exists(response), timeout, interval=0.03, what=f"probe answer to {request!r}")
        with open(response, encoding="utf-8") as f:
            answer = json.load(f)
        os.unlink(response)
        if isinstance(answer, dict) and "error" in answer:
            raise AssertionError(f"probe: {answer['error']}")
        return answer

    def open_menu(self, button):
        """Clicks the icon and returns the entries of the popup menu that opens."""
        self.inject()
        self.click_icon(button)
        menus = wait_for(lambda: self.probe("menu"), 10, interval=0.1, what="a popup menu")
        return menus[-1]["items"]

    def choose(self, items, text):
        """Clicks the menu entry with this text, as a person would."""
        entry = next(item for item in items if item["text"] == text)
        left, top, right, bottom = entry["rect"]
        self.click_at((left + right) // 2, (top + bottom) // 2)

    def close_menu(self):
        """Clicks the empty desktop: an open popup menu closes when the user clicks elsewhere."""
        self.click_at(700, 600)
        wait_for(lambda: not self.probe("menu"), 5, what="the menu to close")

    def windows(self):
        return self.probe("windows")

    def find(self, hwnd):
        """The program's visible top-level window with this handle, or None."""
        return next((w for w in self.windows() if w["hwnd"] == hwnd), None)

    def window(self, title, timeout=10):
        return wait_for(lambda: next((w for w in self.windows() if w["title"] == title), None),
                        timeout, what=f"window {title!r}")

    # Ending -------------------------------------------------------------------------------------

    def hold_hotkey(self, modifiers, key):
        """Another program takes the hotkey (MOD_* bits, virtual key) and keeps it."""
        log = os.path.join(self.dir, "holder.log")
        if os.path.exists(log):
            os.unlink(log)
        self.holder = _spawn(["wine", INJECT_EXE, "--hold", str(modifiers), str(key)], self.env, log)
        wait_for(lambda: "held" in pathlib.Path(log).read_text(), 20, what="another program to hold the hotkey")

    def close(self):
        for process in (self.program, self.holder):
            if process and process.poll() is None:
                process.kill()
                process.wait(10)
        prefix_tool("stop", self.prefix)
        # A prefix copy is large; the program's log stays beside it for a failing test to show.
        shutil.rmtree(self.prefix, ignore_errors=True)


class SessionTest(unittest.TestCase):
    """A test case with a fresh Wine session per test."""

    def setUp(self):
        self.session = WineSession(f"{type(self).__name__}.{self._testMethodName}")
        self.addCleanup(self.session.close)

    def until(self, read, expected, what, timeout=10):
        """Polls until read() gives expected, then compares (so a failure shows the difference)."""
        last = None

        def matches():
            nonlocal last
            last = read()
            return last == expected

        try:
            wait_for(matches, timeout, what=what)
        except AssertionError:
            self.assertEqual(last, expected, what)
        return last

    def find(self, hwnd):
        return self.session.find(hwnd)

    def assert_shutdown_request_ends_it(self, value="1"):
        """Asks the running program to end, as a script would: it must end cleanly within the
        polling period, and the request must be gone."""
        s = self.session
        s.request_shutdown(value)
        started = time.monotonic()
        self.assertEqual(s.wait_exit(20), 0)
        self.assertLess(time.monotonic() - started, 12)
        self.assertIsNone(s.reg_query(SETTINGS_KEY + r"\Command", "Shutdown"))
