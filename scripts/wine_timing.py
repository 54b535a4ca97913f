"""What the measuring scripts share: the real saver.scr run under Wine on a virtual screen of a given
size, in the end-to-end tests' display, Wine prefix and sound server (tests/e2e/harness.py), and its
trace read back with each line's tick count.

The trace lines that time a slideshow:
  "Tick"                                                  the timer brings the next item
  "Effect 115"                                            its transition starts
  "Item 3 shown"                                          the item's load is done
  "Transition 115: 48 frames in 460 ms, last at 8123 ms"  the effect drew 48 frames; its last frame
                                                          reached the screen 460 ms after the start
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402

FRAME_DELAY_MS = 9
TRANSITION = re.compile(r"Transition (\d+): (\d+) frames in (\d+) ms, last at (\d+) ms(, stopped)?$")
SHOWN = re.compile(r"Item (\d+) shown$")


class Transition:
    """One transition from its trace line, with the tick and the item that brought it."""

    def __init__(self, match, tick, item):
        self.effect, self.frames, self.took, self.last = (int(match.group(i)) for i in range(1, 5))
        self.stopped = match.group(5) is not None
        self.started = self.last - self.took
        self.tick = tick  # the tick count of the "Tick" before it, None for a transition without one
        self.item = item

    def period(self):
        """The end-to-end frame period: the transition's time over its frames."""
        return self.took / self.frames if self.frames else None

    def from_tick(self):
        return self.started - self.tick if self.tick is not None else None


def read_trace(path):
    """The trace as (tick count, text) pairs."""
    lines = []
    try:
        with open(path, encoding="latin-1") as f:
            for line in f:
                count, _, text = line.strip().partition(" ")
                if count.isdigit():
                    lines.append((int(count), text))
    except FileNotFoundError:
        pass
    return lines


def transitions(lines):
    """The transitions of a trace, in order, each paired with the tick before it and the item it showed."""
    found, tick, item = [], None, None
    for count, text in lines:
        if text == "Tick":
            tick, item = count, None
        elif m := SHOWN.match(text):
            item = int(m.group(1))
        elif m := TRANSITION.match(text):
            found.append(Transition(m, tick, item))
            tick = None
    return found


def summary(values, unit="ms"):
    """Median, quartiles and range of some values, as one short text."""
    values = sorted(values)
    if not values:
        return "none"
    if len(values) >= 4:
        q1, _, q3 = statistics.quantiles(values, n=4)
        quartiles = f", quartiles {q1:.1f} to {q3:.1f}"
    else:
        quartiles = ""
    return (f"median {statistics.median(values):.1f} {unit}{quartiles}, range {values[0]:.1f} to "
            f"{values[-1]:.1f} (n = {len(values)})")


def options(description):
    """The scripts' shared options; the parser, for a script to add its own."""
    parser = argparse.ArgumentParser(description=description, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--win32-bin", default=os.path.join(ROOT, "build", "win32", "bin"))
    parser.add_argument("--linux-bin", default=os.path.join(ROOT, "build", "linux", "bin"))
    parser.add_argument("--work", default=os.path.join(ROOT, "out", "timing"))
    parser.add_argument("--keep", action="store_true", help="keep each run's folder (pictures, trace)")
    return parser


def setup(args):
    """Points the harness at the builds. saver.scr is copied first, so that a rebuild meanwhile does
    not change what is measured."""
    os.makedirs(args.work, exist_ok=True)
    private = os.path.join(args.work, "bin")
    os.makedirs(private, exist_ok=True)
    shutil.copyfile(os.path.join(args.win32_bin, "saver.scr"), os.path.join(private, "saver.scr"))
    harness.PATHS.win32_bin, harness.PATHS.linux_bin, harness.PATHS.work = private, args.linux_bin, args.work


class Screen:
    """A display of one size with its own Wine prefix and sound server, as each end-to-end test has."""

    def __init__(self, width, height, keep=False):
        class Case(harness.WineTestCase):
            def runTest(self):
                pass

        Case.width, Case.height = width, height
        self.keep = keep
        self.case = Case()
        self.case.setUp()
        self.dir = self.case.dir

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.case.doCleanups()
        if not self.keep:
            shutil.rmtree(self.dir, ignore_errors=True)

    def tool(self, *args):
        subprocess.run(args, cwd=self.dir, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, manifest, count, timeout=600, log=print):
        """Builds the saver, runs it full screen until count transitions have ended (the first item
        comes without one) and ends it with Esc; its transitions."""
        saver = self.case.build_saver(manifest)
        trace = self.case.trace
        process = self.case.wine.start(saver, "/s", trace=trace.path)
        deadline = time.monotonic() + timeout
        seen = 0
        try:
            while seen < count:
                if process.poll() is not None:
                    raise RuntimeError(f"saver.scr ended with {process.returncode}; the trace ends "
                                       f"{trace.lines()[-5:]}")
                if time.monotonic() > deadline:
                    raise RuntimeError(f"{seen} of {count} transitions in {timeout} s")
                time.sleep(0.5)
                now = len(transitions(read_trace(trace.path)))
                if now != seen:
                    seen = now
                    log(f"  {seen} of {count} transitions")
        finally:
            if process.poll() is None:
                self.case.display.xdotool("key", "Escape", check=False)
                try:
                    process.wait(timeout=30)
                except subprocess.TimeoutExpired:
                    process.kill()
        return transitions(read_trace(trace.path))
