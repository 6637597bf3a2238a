#!/usr/bin/env python3
"""Trayhound under Wine against the least a tray program can be, in one Wine session.

In one fresh prefix with its own Xvfb and wineserver, Trayhound.exe and MinimalTray.exe (a
hidden window and one tray icon, nothing else) are started alternately, each a number of times.
For every start it measures:

- start to icon: from just before `wine <program>` is started until Wine's system tray window is
  mapped. The tray window is shown only while some program has an icon in it and each program is
  ended (and the tray window seen hidden again) before the next starts, so the mapping is this
  program's icon arriving. The X server is polled every few milliseconds from this process
  through Xlib, which costs next to nothing beside the program under test.
- private memory once the icon shows: what the Unix process has written for itself, Private_Dirty
  + Swap of /proc/<pid>/smaps_rollup. Wine runs a Windows process as one Unix process, so this
  holds the program's heaps and stacks and the pages it changed in its own image and in the DLLs
  it loaded, and nothing that another process shares, the same way for both programs: what
  Windows counts as a process's private bytes. Code pages read from files are left out, as
  Windows leaves them out: they are counted as "private clean" only while no other process maps
  the same DLL, and they come and go as code runs. The unique set size (clean and dirty) is
  kept in the JSON beside it. Wine itself reports no private bytes for another process
  (GetProcessMemoryInfo gives PrivateUsage 0 and a working set that includes shared pages).

Then, with both programs running, the time from a click on each icon to its popup menu on the
X display, alternately (MinimalTray shows the same entries on the left button's release); then
Trayhound alone with a set of 20,000 real images: start to icon, and its GDI objects once the
menu has opened; then the programs-menu rebuild of 1,000 items, all in the same session.

Usage: wine_bench.py <mingw build folder> [starts per program]. Prints JSON on stdout.
"""

import ctypes
import json
import os
import shutil
import statistics
import struct
import subprocess
import sys
import time

BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else None
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 7
if BUILD is None:
    sys.exit(__doc__)

os.environ.setdefault("TRAYHOUND_E2E_BUILD", BUILD)
os.environ.setdefault("TRAYHOUND_EXE", os.path.join(BUILD, "Trayhound.exe"))
os.environ.setdefault("TRAYHOUND_PROBE_DLL", os.path.join(BUILD, "tests", "e2e", "th-probe.dll"))
os.environ.setdefault("TRAYHOUND_INJECT_EXE", os.path.join(BUILD, "tests", "e2e", "th-inject.exe"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

import harness  # noqa: E402  (needs the environment above)

MINIMAL_EXE = os.path.join(BUILD, "bench", "MinimalTray.exe")
WINDOW_TOOL = os.path.join(BUILD, "bench", "window_tool.exe")
MENU_BENCH = os.path.join(BUILD, "bench", "menu_rebuild_bench.exe")

PROGRAMS = {
    "Trayhound": (harness.TRAYHOUND_EXE, "TrayhoundTrayWindow"),
    "MinimalTray": (MINIMAL_EXE, "MinimalTrayWindow"),
}

# A menu as someone might keep: twenty programs, documents and links with pictures.
DATA_FILE = b"".join(
    b"Program %d\\tCtrl+%d\tC:\\Program Files\\Vendor %d\\app.exe\t%d\r\n" % (i, i % 10, i, 1 + i % 5)
    if i % 7 else b"-\t\t0\r\n"
    for i in range(1, 21))


# The same entries as MinimalTray's menu: the display captions, a TAB before the key name.
MENU_TEXT = "".join(
    (f"Program {i}\tCtrl+{i % 10}\n" if i % 7 else "-\n") for i in range(1, 21))
MENU_FILE = r"C:\menu.txt"
ICON_STEP = 20  # pixels from one icon to the next in Wine's tray window


class XTray:
    """Asks the X server whether Wine's system tray window is mapped."""

    IS_VIEWABLE = 2

    class _Attributes(ctypes.Structure):
        _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                    ("height", ctypes.c_int), ("border_width", ctypes.c_int),
                    ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                    ("root", ctypes.c_ulong), ("class_", ctypes.c_int),
                    ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                    ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                    ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                    ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                    ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                    ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                    ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]

    class _ClassHint(ctypes.Structure):
        _fields_ = [("res_name", ctypes.c_void_p), ("res_class", ctypes.c_void_p)]

    def __init__(self, display):
        x = ctypes.cdll.LoadLibrary("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                 ctypes.POINTER(ctypes.c_uint)]
        x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                           ctypes.POINTER(self._Attributes)]
        x.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XGetClassHint.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(self._ClassHint)]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        # A window that goes away between two requests must not end this process.
        handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
        self._handler = handler_type(lambda display, event: 0)
        x.XSetErrorHandler.argtypes = [handler_type]
        x.XSetErrorHandler(self._handler)
        self._x = x
        self._display = x.XOpenDisplay(display.encode())
        if not self._display:
            raise RuntimeError(f"cannot open display {display}")
        self._root = x.XDefaultRootWindow(self._display)
        self._tray = None  # the tray's X window once seen; Wine keeps it while hidden

    def _is_tray(self, window):
        name = ctypes.c_char_p()
        if not self._x.XFetchName(self._display, window, ctypes.byref(name)) or not name.value:
            return False
        found = name.value == harness.TRAY_WINDOW_NAME.encode()
        self._x.XFree(name)
        return found

    def _viewable(self, window):
        attributes = self._Attributes()
        if not self._x.XGetWindowAttributes(self._display, window, ctypes.byref(attributes)):
            return False
        return attributes.map_state == self.IS_VIEWABLE

    def owner(self, window):
        """The name Wine gives a window's program in WM_CLASS ("trayhound.exe"), or ""."""
        hint = self._ClassHint()
        if not self._x.XGetClassHint(self._display, window, ctypes.byref(hint)):
            return ""
        name = ctypes.string_at(hint.res_name).decode(errors="replace") if hint.res_name else ""
        for text in (hint.res_name, hint.res_class):
            if text:
                self._x.XFree(text)
        return name.lower()

    def viewable_windows(self):
        """The top-level X windows that are viewable now."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self._x.XQueryTree(self._display, self._root, ctypes.byref(root),
                                  ctypes.byref(parent), ctypes.byref(children), ctypes.byref(count)):
            return set()
        try:
            return {children[i] for i in range(count.value) if self._viewable(children[i])}
        finally:
            if children:
                self._x.XFree(children)

    def shown(self):
        if self._tray is not None and self._viewable(self._tray):
            return True
        for window in self.viewable_windows():
            if self._is_tray(window):
                self._tray = window
                return True
        return False

    def close(self):
        self._x.XCloseDisplay(self._display)


def unix_process(name, prefix):
    """The Unix process id of a running Windows program of this prefix."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/comm", "rb") as f:
                if f.read().strip() != name.encode()[:15]:
                    continue
            with open(f"/proc/{entry}/environ", "rb") as f:
                if f"WINEPREFIX={prefix}".encode() in f.read().split(b"\0"):
                    return int(entry)
        except OSError:
            continue
    return None


def memory_kib(pid):
    """(private dirty + swap, unique set size) of the process, in KiB."""
    fields = {}
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            parts = line.split()
            if len(parts) == 3 and parts[2] == "kB":
                fields[parts[0].rstrip(":")] = int(parts[1])
    return (fields["Private_Dirty"] + fields.get("Swap", 0),
            fields["Private_Clean"] + fields["Private_Dirty"])


def window_tool(session, command, window_class):
    return harness._run(["wine", session.windows_path(session.tool), command, window_class],
                        session.env, check=False).text.strip()


def start_program(session, name):
    exe, _ = PROGRAMS[name]
    arguments = [MENU_FILE] if name == "MinimalTray" else []
    return harness._spawn(["wine", exe, *arguments], session.env,
                          os.path.join(session.dir, f"{name}.log"))


def end_program(session, tray, name, program):
    window_tool(session, "close", PROGRAMS[name][1])
    program.wait(30)
    harness.wait_for(lambda: not tray.shown(), 10, interval=0.01, what="the tray to hide")


def measure_start(session, tray, name):
    exe, window_class = PROGRAMS[name]
    exe_name = os.path.basename(exe)
    started = time.monotonic()
    program = start_program(session, name)
    while not tray.shown():
        if program.poll() is not None:
            raise RuntimeError(f"{name} ended with {program.returncode} before its icon showed")
        if time.monotonic() - started > 60:
            raise RuntimeError(f"no tray icon from {name} after 60 s")
        time.sleep(0.003)
    icon_seconds = time.monotonic() - started
    pid = unix_process(exe_name, session.prefix)
    private, unique = memory_kib(pid) if pid else (None, None)
    windows_memory = window_tool(session, "memory", window_class).split()
    end_program(session, tray, name, program)
    return {
        "icon_ms": icon_seconds * 1000,
        "private_kib": private,
        "unique_kib": unique,
        "windows_private_kib": int(windows_memory[0]) // 1024 if windows_memory else None,
        "windows_working_set_kib": int(windows_memory[1]) // 1024 if windows_memory else None,
    }


def click_to_menu(session, tray, icon, program):
    """Seconds from a click on the `icon`-th tray icon until a new window of `program` (its popup
    menu) is viewable on the display; the menu is closed again with a click beside it."""
    before = tray.viewable_windows()
    x, y = session.icon_position()
    started = time.monotonic()
    harness._run(["xdotool", "mousemove", str(x + ICON_STEP * icon), str(y), "click", "1"],
                 session.env)
    exe = os.path.basename(PROGRAMS[program][0]).lower()
    while not (opened := {w for w in tray.viewable_windows() - before if tray.owner(w) == exe}):
        if time.monotonic() - started > 10:
            raise RuntimeError("no menu within 10 s of the click")
        time.sleep(0.002)
    seconds = time.monotonic() - started
    session.click_at(700, 600)
    harness.wait_for(lambda: not (tray.viewable_windows() & opened), 10, interval=0.01,
                     what="the menu to close")
    # The next click must not make a double click with this one.
    time.sleep(0.6)
    return seconds


def measure_clicks(session, tray, runs):
    programs = {}
    try:
        # One after the other, so that the icons stand in the tray in this order.
        for name, (_, window_class) in PROGRAMS.items():
            programs[name] = start_program(session, name)
            harness.wait_for(lambda: window_tool(session, "memory", window_class), 30,
                             what=f"{name} to start")
            time.sleep(1)
        for icon, name in enumerate(PROGRAMS):  # each menu shown once before timing
            click_to_menu(session, tray, icon, name)
        samples = {name: [] for name in PROGRAMS}
        for run in range(runs):
            order = list(enumerate(PROGRAMS)) if run % 2 == 0 else list(reversed(list(enumerate(PROGRAMS))))
            for icon, name in order:
                samples[name].append({"menu_ms": click_to_menu(session, tray, icon, name) * 1000})
        return {name: summary(values, "menu_ms") for name, values in samples.items()}
    finally:
        for name, program in programs.items():
            window_tool(session, "close", PROGRAMS[name][1])
            program.wait(30)


def bitmap(colour):
    """A 12 x 12 picture, 24 bits per pixel, one colour."""
    row = bytes(colour) * 12
    pixels = row * 12
    header = struct.pack("<IiiHHIIiiII", 40, 12, 12, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return (b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) +
            header + pixels)


def measure_big_set(session, tray, pictures=20_000):
    """Trayhound with a set of `pictures` image files, forty entries showing pictures across it."""
    folder = os.path.join(session.drive_c, "bigset")
    os.makedirs(folder, exist_ok=True)
    lines = [b"[Trayhound Icon Set]", b"name=Big", b"count=%d" % pictures]
    for i in range(1, pictures + 1):
        with open(os.path.join(folder, f"{i}.bmp"), "wb") as f:
            f.write(bitmap((i % 256, (i // 256) % 256, 128)))
        lines.append(b"%d=%d.bmp" % (i, i))
    with open(os.path.join(folder, "big.iconset"), "wb") as f:
        f.write(b"\r\n".join(lines) + b"\r\n")
    key = harness.SETTINGS_KEY + r"\Options\LastIconSetFileNames"
    session.reg_set(key, "count", "1")
    session.reg_set(key, "1", r"C:\bigset\big.iconset")
    session.write_data_file(b"".join(b"Entry %d\tC:\\app%d.exe\t%d\r\n" % (i, i, 1 + i * 499)
                                     for i in range(40)))
    started = time.monotonic()
    program = start_program(session, "Trayhound")
    harness.wait_for(tray.shown, 30, interval=0.003, what="the tray icon with the big set")
    icon_ms = (time.monotonic() - started) * 1000
    time.sleep(0.5)
    menu_ms = click_to_menu(session, tray, 0, "Trayhound") * 1000
    # Wine's GetGuiResources answers 0; the private memory shows what bitmaps would cost.
    gdi = window_tool(session, "gdi", PROGRAMS["Trayhound"][1])
    pid = unix_process(os.path.basename(harness.TRAYHOUND_EXE), session.prefix)
    private = memory_kib(pid)[0] if pid else None
    end_program(session, tray, "Trayhound", program)
    return {"pictures": pictures, "icon_ms": icon_ms, "menu_ms": menu_ms,
            "gdi_objects": int(gdi) if gdi.isdigit() and int(gdi) else None,
            "private_kib": private}


def run_menu_bench(session):
    exe = os.path.join(session.drive_c, "menu_rebuild_bench.exe")
    output = subprocess.run(["wine", session.windows_path(exe)], env=session.env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, timeout=300, check=True).stdout.decode()
    results = {}
    for line in output.splitlines():
        parts = line.split()
        if len(parts) == 5:
            results[parts[0]] = {"median_ms": float(parts[1]), "fastest_ms": float(parts[2]),
                                 "slowest_ms": float(parts[3]), "runs": int(parts[4])}
    return results


def summary(samples, key):
    values = [s[key] for s in samples if s[key] is not None]
    if not values:
        return None
    return {"median": statistics.median(values), "min": min(values), "max": max(values),
            "runs": len(values)}


def main():
    session = harness.WineSession("bench")
    tray = None
    try:
        session.tool = os.path.join(session.drive_c, "window_tool.exe")
        shutil.copy(WINDOW_TOOL, session.tool)
        shutil.copy(MENU_BENCH, os.path.join(session.drive_c, "menu_rebuild_bench.exe"))
        session.write_data_file(DATA_FILE)
        with open(os.path.join(session.drive_c, "menu.txt"), "w", encoding="utf-8") as f:
            f.write(MENU_TEXT)
        tray = XTray(session.display)
        # The first program of a session also starts Wine's desktop and services: not timed.
        for name in PROGRAMS:
            measure_start(session, tray, name)
        samples = {name: [] for name in PROGRAMS}
        for run in range(RUNS):
            # Alternating which goes first spreads any drift of the machine over both.
            order = list(PROGRAMS) if run % 2 == 0 else list(reversed(PROGRAMS))
            for name in order:
                samples[name].append(measure_start(session, tray, name))
        keys = ("icon_ms", "private_kib", "unique_kib", "windows_private_kib",
                "windows_working_set_kib")
        result = {"starts": {name: {key: summary(values, key) for key in keys}
                             for name, values in samples.items()},
                  "samples": samples,
                  "click_to_menu": measure_clicks(session, tray, max(RUNS, 11)),
                  "big_set": measure_big_set(session, tray),
                  "menu": run_menu_bench(session)}
        json.dump(result, sys.stdout, indent=1)
        print()
    finally:
        if tray:
            tray.close()
        session.close()


if __name__ == "__main__":
    main()
