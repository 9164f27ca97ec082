#!/usr/bin/env python3
"""The tables of docs/performance.md, from the results scripts/bench.sh leaves.

    report.py RESULTS_DIR DOC.md     fills DOC.md's generated parts, keeping its prose
    report.py --compare OUT_DIR      prints two builds side by side (scripts/bench.sh --compare)

A generated part stands between "<!-- bench: NAME -->" and "<!-- end bench -->"; the rest of
the document is written by hand. Model and paint figures are medians of repetitions; the
latency rows are single runs, interleaved with their floors in rounds, summed up here as the
median and the lowest and highest run, and the row over its floor round by round.
"""
import json
import pathlib
import re
import statistics
import sys

BOARDS = {"10x15": "10 × 15", "100x100": "100 × 100", "181x181": "181 × 181",
          "1x32767": "1 × 32 767", "32767x1": "32 767 × 1"}
LARGEST = ["181x181", "1x32767", "32767x1"]  # where the budgets hold
MINES = {"density": "30 % mines", "none": "no mine", "full": "cells − 1 mines"}
LABELS = {
    "reset": "Reset (the old board's squares destroyed)", "grid-sizing": "Grid sizing",
    "mine-placement": "Mine placement", "neighbour-counts": "Neighbour counts",
    "build-squares": "Building the squares", "setup": "Whole setup sequence (\"Play Game\")",
    "reveal-all": "RevealAll", "flood": "FloodReveal of the whole board (left press)",
    "chord": "Chord (middle press)", "flag-toggle": "Flag toggle (right press)",
    "visible": "Full paint of the visible board into an image",
    "repaint": "Full repaint of the visible board, backing store flushed",
    "one-cell": "One-cell update: right press to the cell repainted",
    "widget": "Entire board widget into one image",
    "play-game": "\"Play Game\" on an uncovered board to painted",
    "play-game-first": "\"Play Game\" from the default board to painted (window grows)",
    "key-move": "Arrow key moving the current cell to painted",
    "key-uncover": "Space uncovering one cell to painted",
}
FLOOR_BUDGET = 1.15  # a growing window's "Play Game" over its floor


def budget(group, operation):
    if group == "model":
        return 2.0
    if operation in ("visible", "repaint"):
        return 8.0
    if operation == "one-cell" or (group == "paint" and operation.startswith("key-")):
        return 0.5
    if group == "latency" and operation == "play-game":
        return 1000 / 60  # one frame at 60 Hz
    return None


def ms(value, unit):
    return value * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[unit]


def fmt(value):
    if value < 1:
        return f"{value * 1000:.2g} µs" if value < 0.01 else f"{value * 1000:.3g} µs"
    return f"{value:.2f} ms" if value < 10 else f"{value:.1f} ms"


def load(path):
    """{(group, operation, screen, board, mines): [ms, ...]} and the extra counters."""
    times, extra = {}, {}
    for entry in json.loads(pathlib.Path(path).read_text())["benchmarks"]:
        if entry.get("error_occurred") or entry.get("aggregate_name", "median") != "median":
            continue
        name = re.sub(r"/(manual_time|iterations:\d+|repeats:\d+)", "", entry["run_name"])
        group, operation, board, mines = name.split("/")
        operation, _, screen = operation.partition("@")
        key = (group, operation, screen, board, mines)
        times.setdefault(key, []).append(ms(entry["real_time"], entry["time_unit"]))
        extra[key] = entry
    return times, extra


def row_label(group, operation, screen, mines):
    notes = [MINES[mines]] if group == "model" or mines != "density" else []
    if screen:
        size, dpr = screen.split("@")
        notes.append(f"{size.replace('x', ' × ')} screen, dpr {dpr}")
    return ", ".join([LABELS.get(operation, operation)] + notes)


def table(times, group):
    lines = ["| operation | " + " | ".join(BOARDS.values()) + " | budget | met |",
             "|---|" + "--:|" * len(BOARDS) + "--:|---|"]
    rows = dict.fromkeys(k[:3] + k[4:] for k in times if k[0] == group and k[1] != "memory")
    if not rows:
        return []
    for g, operation, screen, mines in rows:
        cells = {b: statistics.median(times[(g, operation, screen, b, mines)])
                 for b in BOARDS if (g, operation, screen, b, mines) in times}
        limit = budget(group, operation)
        worst = max((cells[b] for b in LARGEST if b in cells), default=0)
        met = "—" if limit is None else ("yes" if worst <= limit else "**no**")
        lines.append(f"| {row_label(g, operation, screen, mines)} | "
                     + " | ".join(fmt(cells[b]) if b in cells else "—" for b in BOARDS)
                     + f" | {'—' if limit is None else '≤ ' + fmt(limit)} | {met} |")
    return lines


def spread(values):
    return f"{fmt(statistics.median(values))} ({fmt(min(values))}–{fmt(max(values))})"


def latency(times, prefix=""):
    """Each row, its floor and the row over its floor, round by round."""
    lines = ["| operation | board | rounds | program, median (lowest–highest) | floor | "
             "over the floor | budget | met |", "|---|---|--:|--:|--:|--:|--:|---|"]
    found = False
    for (group, operation, screen, board, mines), runs in times.items():
        if group != "latency":
            continue
        floors = times.get(("floor", operation, screen, board, mines), [])
        ratios = [r / f for r, f in zip(runs, floors)]
        ratio = (f"{statistics.median(ratios):.2f}× ({min(ratios):.2f}–{max(ratios):.2f})"
                 if ratios else "—")
        limit = budget("latency", operation)
        if operation == "play-game-first":
            shown, met = f"≤ {FLOOR_BUDGET:.2f}×", ratios and statistics.median(ratios) <= FLOOR_BUDGET
        elif limit is not None:
            shown, met = f"≤ {fmt(limit)}", statistics.median(runs) <= limit
        else:
            shown, met = "—", None
        found = True
        lines.append(f"| {prefix}{LABELS[operation]} | {BOARDS[board]} | {len(runs)} | "
                     f"{spread(runs)} | {spread(floors) if floors else '—'} | {ratio} | {shown} | "
                     f"{'—' if met is None else 'yes' if met else '**no**'} |")
    return lines if found else []


def memory(extra, peak_file):
    if not peak_file.exists():
        return []
    lines = ["| board | grids | squares | together | met |", "|---|--:|--:|--:|---|"]
    for board, head in BOARDS.items():
        entry = extra.get(("model", "memory", "", board, "none"))
        if entry:
            total = entry["model_bytes_per_cell"]
            met = ("yes" if total <= 32 else "**no**") if board in LARGEST else "—"
            lines.append(f"| {head} | {entry['board_bytes_per_cell']:.1f} | "
                         f"{entry['squares_bytes_per_cell']:.1f} | {total:.1f} | {met} |")
    lines += ["", "| board | peak resident memory | window | met |", "|---|--:|--:|---|"]
    for line in peak_file.read_text().splitlines():
        fields = line.split()
        if len(fields) >= 4 and fields[0] == "peak":
            mb = float(fields[2]) / 1024
            met = ("yes" if mb <= 80 else "**no**") if fields[1] in BOARDS else "—"
            lines.append(f"| {BOARDS.get(fields[1], fields[1])} | {mb:.1f} MB | {fields[3]} | {met} |")
    return lines


def fill(doc, parts):
    text = doc.read_text()
    for name, lines in parts.items():
        text, found = re.subn(rf"(<!-- bench: {name} -->\n).*?(<!-- end bench -->)",
                              lambda m: m.group(1) + "\n".join(lines) + "\n" + m.group(2),
                              text, flags=re.S)
        if not found:
            sys.exit(f"report.py: {doc} has no part named {name}")
    doc.write_text(text)


def main():
    if sys.argv[1] == "--compare":
        out = pathlib.Path(sys.argv[2])
        info = dict(line.split(": ", 1) for line in (out / "info.txt").read_text().splitlines())
        print(f"A = {info['A']}, B = {info['B']}; latency runs in the order A B B A, each row and "
              f"its floor interleaved in rounds; {info['priority']}.\n")
        for side in "AB":
            times = {}
            for run in (f"{side}1", f"{side}2"):
                for key, values in load(out / f"{run}.json")[0].items():
                    times.setdefault(key, []).extend(values)
            print("\n".join(latency(times, f"{side}: ")) + "\n")
        print("Instructions (callgrind, offscreen platform):\n")
        print((out / "instructions.md").read_text())
        print(f"Pictures after \"Play Game\" and \"Test Code\": {info['pictures']}.")
        print(f"1-minute load average before and after each run: {info['load']}.")
        return
    results, doc = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    times, extra = {}, {}
    for path in sorted(results.glob("*.json")):
        t, e = load(path)
        for key, values in t.items():
            times.setdefault(key, []).extend(values)
        extra.update(e)
    parts = {"run": (results / "run.txt").read_text().splitlines(),
             "model": table(times, "model"), "paint": table(times, "paint"),
             "latency": latency(times), "memory": memory(extra, results / "peak.txt"),
             "instructions": (results / "instructions.txt").read_text().splitlines()}
    if (results / "window.md").exists():  # bench/window_abuse.sh's section
        parts["window"] = (results / "window.md").read_text().splitlines()
    fill(doc, {k: v for k, v in parts.items() if v})


if __name__ == "__main__":
    main()
