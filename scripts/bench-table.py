#!/usr/bin/env python3
"""Prints the transition benchmark's figures of both builds as one table: for every effect and size
the worst frame of each build (its best over the runs) in ms and as a multiple of a memory copy of one
frame in the same run, and the 32-bit build's worst frame over the 64-bit one's. Marks each figure
over its target with "!": 2.2 ms at 1920 x 1080 and 9 ms at 3840 x 2160 for a frame, 1.3 for the ratio
of the builds, 1.2 for "Crossfade" over the floor of its bytes."""

import glob
import json
import os
import re
import sys

FRAME_TARGET_MS = {(1920, 1080): 2.2, (3840, 2160): 9.0}
BUILD_RATIO_TARGET = 1.3
FLOOR_TARGET = 1.2


def best_runs(folder, build):
    """{(name, width, height): benchmark entry} with the smallest worst frame over the runs."""
    best = {}
    for path in sorted(glob.glob(os.path.join(folder, build + "-*.json"))):
        with open(path) as f:
            text = f.read()
        # Wine may put a line of its own before the JSON.
        data = json.loads(text[text.index("{"):])
        for b in data["benchmarks"]:
            m = re.match(r"(\w+)/(?:(\d+)/)?(\d+)/(\d+)", b["name"])
            if not m:
                continue
            kind, effect, width, height = m.group(1), m.group(2), int(m.group(3)), int(m.group(4))
            key = (kind if effect is None else int(effect), width, height)
            figure = b.get("worst_ms", b.get("frame_ms", b.get("real_time")))
            if key not in best or figure < best[key]["figure"]:
                best[key] = dict(b, figure=figure)
    return best


def mark(value, limit):
    return "!" if value > limit else ""


def main():
    folder = sys.argv[1]
    linux = best_runs(folder, "linux")
    win32 = best_runs(folder, "win32")
    over = 0
    for size in sorted(FRAME_TARGET_MS):
        limit = FRAME_TARGET_MS[size]
        print(f"\n### {size[0]} x {size[1]}: worst frame (target {limit} ms), x memory copy of a frame, "
              f"32-bit / 64-bit (target {BUILD_RATIO_TARGET})\n")
        print("| Effect | 64-bit ms | × copy | 32-bit ms | × copy | 32 / 64 |")
        print("|---|---|---|---|---|---|")
        effects = sorted(k[0] for k in linux.keys() | win32.keys() if isinstance(k[0], int) and k[1:] == size)
        for effect in effects:
            a = linux.get((effect, *size))
            b = win32.get((effect, *size))
            cells = []
            for entry in (a, b):
                if entry is None:
                    cells += ["–", "–"]
                else:
                    cells += [f"{entry['worst_ms']:.2f}{mark(entry['worst_ms'], limit)}", f"{entry['worst_x']:.1f}"]
                    over += 1 if entry["worst_ms"] > limit else 0
            if a and b and a["worst_ms"] > 0:
                ratio = b["worst_ms"] / a["worst_ms"]
                cells.append(f"{ratio:.2f}{mark(ratio, BUILD_RATIO_TARGET)}")
            else:
                cells.append("–")
            label = (a or b).get("label", "")
            print(f"| {effect} \"{label}\" | " + " | ".join(cells) + " |")
        copies = [(name, build.get(("MemcpyFrame", *size))) for name, build in (("64-bit", linux), ("32-bit", win32))]
        for name, entry in copies:
            if entry:
                print(f"\n{name}: a memory copy of one frame {entry['real_time']:.3f} ms", end="")
        print()
        for name, build in (("64-bit", linux), ("32-bit", win32)):
            c = build.get(("Crossfade", *size))
            if c:
                line = (f"{name} \"Crossfade\": {c['frame_ms']:.2f} ms a frame, {c['frame_x_floor']:.2f}"
                        f"{mark(c['frame_x_floor'], FLOOR_TARGET)} × the floor of its bytes ({c['floor_ms']:.2f} ms)")
                if "frame_x_pixman" in c:
                    line += f", {c['frame_x_pixman']:.2f} × pixman"
                print(line)
    print(f"\n{over} frame figures over their target")


if __name__ == "__main__":
    main()
