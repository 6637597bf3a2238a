#!/usr/bin/env python3
"""Turns the native benchmark's JSON and wine_bench.py's JSON into one short Markdown table.

Usage: report.py <native json> <wine json>
"""

import json
import os
import subprocess
import sys

ICONS = 30_000  # keys in the INI benchmark's set
SCAN_SAMPLE = 100  # lookups per iteration of the plain scan

UNIT = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def native_medians(path):
    """Median wall time in ms of every benchmark run with repetitions."""
    with open(path) as f:
        data = json.load(f)
    medians, repetitions = {}, 0
    for entry in data["benchmarks"]:
        if entry.get("aggregate_name") == "median":
            medians[entry["run_name"]] = entry["real_time"] * UNIT[entry["time_unit"]]
            repetitions = entry.get("repetitions", repetitions)
    return medians, repetitions


def machine():
    model = "unknown CPU"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    cores = os.cpu_count()
    try:
        wine = subprocess.run(["wine", "--version"], capture_output=True, text=True,
                              stdin=subprocess.DEVNULL, timeout=60).stdout.strip()
    except (OSError, subprocess.TimeoutExpired):
        wine = "Wine not found"
    return f"{model}, {cores} cores, {wine}"


def ms(value):
    return f"{value:.2f} ms" if value < 10 else f"{value:.0f} ms"


def us(value_ms):
    return f"{value_ms * 1000:.2f} µs" if value_ms < 1 else ms(value_ms)


def mib(kib):
    return f"{kib / 1024:.1f} MiB"


def verdict(ratio, aim):
    return f"≤ {aim}× {'met' if ratio <= aim else '**missed**'}"


def main():
    native, repetitions = native_medians(sys.argv[1])
    with open(sys.argv[2]) as f:
        wine = json.load(f)
    starts = wine["starts"]
    runs = starts["Trayhound"]["icon_ms"]["runs"]
    split = native["ReadAndSplitLines"]
    load, save = native["Load"], native["Save"]
    indexed = native["LookUpEveryIcon"] / ICONS
    scan = native["LookUpIconsByScanning"] / SCAN_SAMPLE
    icon_th, icon_min = starts["Trayhound"]["icon_ms"]["median"], starts["MinimalTray"]["icon_ms"]["median"]
    mem_th, mem_min = (starts["Trayhound"]["private_kib"]["median"],
                       starts["MinimalTray"]["private_kib"]["median"])
    rebuild, plain = wine["menu"]["rebuild"]["median_ms"], wine["menu"]["plain"]["median_ms"]
    clicks = wine["click_to_menu"]
    click_th, click_min = clicks["Trayhound"]["median"], clicks["MinimalTray"]["median"]
    big = wine["big_set"]
    gdi = f", {big['gdi_objects']} GDI objects" if big["gdi_objects"] else ""
    gdi += f", {mib(big['private_kib'])} private" if big.get("private_kib") else ""

    rows = [
        ("load 100,000 items (data file, as at start-up)", ms(load),
         f"read and split the file: {ms(split)}", f"{load / split:.1f}×", verdict(load / split, 3)),
        ("save 100,000 items (temporary file, flush, replace)", ms(save),
         f"read and split the file: {ms(split)}", f"{save / split:.1f}×", "none set"),
        ("INI lookup in a 30,000-line icon set, per key", us(indexed),
         f"scan from the first line: {us(scan)}", f"1/{scan / indexed:,.0f}", "none set"),
        ("programs menu rebuild, 1,000 items with pictures (Wine)", ms(rebuild),
         f"popup of the 1,000 texts alone: {ms(plain)}", f"{rebuild / plain:.1f}×", "none set"),
        (f"start to tray icon (Wine, median of {runs})", ms(icon_th),
         f"MinimalTray.exe: {ms(icon_min)}", f"{icon_th / icon_min:.2f}×",
         verdict(icon_th / icon_min, 1.3)),
        (f"private memory once the icon shows (Wine, median of {runs})", mib(mem_th),
         f"MinimalTray.exe: {mib(mem_min)}", f"{mem_th / mem_min:.2f}×",
         verdict(mem_th / mem_min, 1.5)),
        (f"click to programs menu (Wine, median of {clicks['Trayhound']['runs']})", ms(click_th),
         f"MinimalTray.exe, same entries: {ms(click_min)}", f"{click_th / click_min:.2f}×",
         verdict(click_th / click_min, 1.2)),
        (f"start to icon with a set of {big['pictures']:,} images; first menu (Wine)",
         f"{ms(big['icon_ms'])}; {ms(big['menu_ms'])}{gdi}",
         f"the small start above: {ms(icon_th)}", f"{big['icon_ms'] / icon_th:.2f}×", "none set"),
    ]
    print(f"Machine: {machine()}. Wall-clock medians of repeated runs (native: {repetitions} repetitions, "
          f"menu rebuild: {wine['menu']['rebuild']['runs']} runs), on a machine shared with other "
          "work.")
    print()
    print("| measurement | Trayhound | reference | ratio | aim |")
    print("|---|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")


if __name__ == "__main__":
    main()
