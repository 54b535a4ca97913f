#!/usr/bin/env python3
"""The time from the timer's tick to the start of the next item's transition, in the real saver.scr
under Wine at 1920 x 1080: a slideshow of 24-megapixel JPEGs (6000 x 4000) and 12-megapixel HEICs
in 512-pixel tiles (4032 x 3024, as a phone writes them), each shown for 3 s. From the trace, the
"Tick" line's time to the start of the transition that follows it: median and spread for each kind.

  scripts/tick-to-transition.py [--rounds N] [--size 1920x1080]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import wine_timing  # noqa: E402
from wine_timing import summary  # noqa: E402

# Each picture's smooth colours from a small plasma, enlarged, with grain as a sensor leaves it, so
# that the files are as dear to decode as photographs.
SEEDS = [11, 12]


def make_pictures(screen, linux_bin):
    names = []
    for n, seed in enumerate(SEEDS):
        small = f"small{n}.png"
        screen.tool("convert", "-seed", str(seed), "-size", "300x200", "plasma:", small)
        name = f"photo{n}.jpg"
        screen.tool("convert", small, "-resize", "6000x4000!", "-seed", str(seed), "-attenuate", "0.4", "+noise",
                    "Gaussian", "-quality", "92", "-sampling-factor", "2x2", name)
        names.append(name)
        heic_source = f"heic{n}.png"
        screen.tool("convert", small, "-resize", "4032x3024!", "-seed", str(seed), "-attenuate", "0.03", "+noise",
                    "Gaussian", heic_source)
        name = f"phone{n}.heic"
        screen.tool(os.path.join(linux_bin, "make_tiled_heic"), heic_source, name, "512")
        names.append(name)
    return names


def main():
    parser = wine_timing.options(__doc__)
    parser.add_argument("--rounds", type=int, default=3, help="times round the four items")
    parser.add_argument("--size", default="1920x1080")
    args = parser.parse_args()
    wine_timing.setup(args)
    width, height = (int(v) for v in args.size.split("x"))
    with wine_timing.Screen(width, height, args.keep) as screen:
        print(f"making the pictures in {screen.dir}", flush=True)
        names = make_pictures(screen, args.linux_bin)
        manifest = {
            "header": {"Seconds": 3, "DisplayOrder": 0, "EffectSpeed": 8, "Stretch": 0,
                       "ExitMouseMove": False, "ExitMouseButton": False, "ExitKeyboard": False, "ExitESC": True},
            "strings": {"SaverName": "Tick To Transition", "Effect": [115]},
            "items": [{"file": name} for name in names],
        }
        print(f"{width} x {height}, {len(names)} items for 3 s each", flush=True)
        found = [t for t in screen.run(manifest, args.rounds * len(names) - 1) if t.tick is not None]
    kinds = {"24-megapixel JPEG": ".jpg", "12-megapixel HEIC in tiles": ".heic"}
    for kind, extension in kinds.items():
        times = [t.from_tick() for t in found if t.item is not None and names[t.item].endswith(extension)]
        print(f"{kind}: tick to transition {summary(times)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
