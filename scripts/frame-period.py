#!/usr/bin/env python3
"""The end-to-end frame period of the real saver.scr under Wine: a slideshow of a few pictures the
size of the screen, through fixed effects, at 1920 x 1080 and at 3840 x 2160. From the trace, each
transition's time from its start to its last frame on the screen over the frames its effect drew,
beside the frame delay of 9 ms: median and spread, for every effect and for all.

  scripts/frame-period.py [--transitions N] [--effects 115,10,87,112] [--sizes 1920x1080,3840x2160]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import wine_timing  # noqa: E402
from wine_timing import FRAME_DELAY_MS, summary  # noqa: E402

COLOURS = [("#2050c0", "#f0c040"), ("#c03030", "#30c0c0"), ("#30a050", "#f0f0f0"), ("#603090", "#f09030")]


def make_pictures(screen, width, height):
    """Four gradients the size of the screen, each with a block of its own, as JPEGs."""
    names = []
    for n, (a, b) in enumerate(COLOURS):
        name = f"picture{n}.jpg"
        left, top = width * (n + 1) // 6, height // 4
        screen.tool("convert", "-size", f"{width}x{height}", f"gradient:{a}-{b}", "-fill", "#f0f0f0", "-draw",
                    f"rectangle {left},{top} {left + width // 6},{top + height // 2}", "-quality", "90", name)
        names.append(name)
    return names


def measure(width, height, effects, count, speed, keep):
    print(f"{width} x {height}: effects {', '.join(map(str, effects))}, speed {speed}", flush=True)
    with wine_timing.Screen(width, height, keep) as screen:
        manifest = {
            "header": {"Seconds": 1, "DisplayOrder": 0, "EffectSpeed": speed, "Stretch": 2,
                       "ExitMouseMove": False, "ExitMouseButton": False, "ExitKeyboard": False, "ExitESC": True},
            "strings": {"SaverName": "Frame Period", "Effect": effects},
            "items": [{"file": name} for name in make_pictures(screen, width, height)],
        }
        found = [t for t in screen.run(manifest, count) if not t.stopped and t.frames > 0]
    lines = []
    for effect in sorted({t.effect for t in found}):
        own = [t for t in found if t.effect == effect]
        lines.append(f"  effect {effect:3d}, {own[0].frames} frames: period {summary([t.period() for t in own])}")
    lines.append(f"  all: period {summary([t.period() for t in found])}; frame delay {FRAME_DELAY_MS} ms")
    return lines


def main():
    parser = wine_timing.options(__doc__)
    parser.add_argument("--transitions", type=int, default=16, help="transitions at each size")
    parser.add_argument("--effects", default="115,10,87,112", help="the effects to draw from, by number")
    parser.add_argument("--speed", type=int, default=8, help="the effect speed, 1 (smooth) to 10 (fast)")
    parser.add_argument("--sizes", default="1920x1080,3840x2160")
    args = parser.parse_args()
    wine_timing.setup(args)
    effects = [int(e) for e in args.effects.split(",")]
    report = []
    for size in args.sizes.split(","):
        width, height = (int(v) for v in size.split("x"))
        report.append(f"{width} x {height}:")
        report += measure(width, height, effects, args.transitions, args.speed, args.keep)
    print("\n".join(report))
    return 0


if __name__ == "__main__":
    sys.exit(main())
