"""A soak of the real saver.scr under Wine: one-second items of every kind, looping music of a WAV and
an MP3 track and entry sounds, for as long as asked. It reports

- a crash: the process gone, or Wine reporting a page fault or an unhandled exception;
- a hang: no new item in the trace for HANG_SECONDS;
- growth: the process's memory (the resident set of the Wine process, from /proc) and its open
  handles as Linux sees them (the descriptors and threads of that process, from /proc: every file,
  device and thread the saver holds is one of them), sampled every few seconds; after the first
  round of items they must stay within the tolerances below.

  soak.py --minutes 3 [--scenario full|no-wmv|wav-loop|wav-pair] --win32-bin build/win32/bin
          --linux-bin build/linux/bin --work /tmp/soak
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time

import harness

HANG_SECONDS = 10
START_SECONDS = 60  # for the first item: Wine starts in a fresh prefix
SAMPLE_SECONDS = 5
# After the first round: the resident set may grow by this much (the system's caches, GStreamer's
# pools and the heap's high-water mark settle in the first rounds), descriptors and threads by
# these counts; each at its lowest over GROWTH_WINDOW seconds (see check_growth).
RSS_TOLERANCE_KB = 24 * 1024
FD_TOLERANCE = 12
THREAD_TOLERANCE = 6
GROWTH_WINDOW = 30
CRASH_PATTERNS = re.compile(r"Unhandled (page fault|exception)|page fault on|EXCEPTION_ACCESS_VIOLATION|"
                            r"wine: Unhandled|Backtrace:")
TONES = {"music.wav": 500, "music.mp3": 700, "entry.wav": 1300, "movie.avi": 900, "clip.wmv": 1100}


class Sample:
    def __init__(self, seconds, items, rss_kb, fds, threads):
        self.seconds, self.items, self.rss_kb, self.fds, self.threads = seconds, items, rss_kb, fds, threads

    def __str__(self):
        return (f"{self.seconds:7.1f} s  items {self.items:5d}  rss {self.rss_kb / 1024:7.1f} MB  "
                f"descriptors {self.fds:4d}  threads {self.threads:3d}")


class Report:
    def __init__(self):
        self.crash = None  # what showed the crash
        self.hang = None
        self.growth = []  # what grew beyond its tolerance
        self.samples = []
        self.items = 0
        self.kinds = set()  # the items shown, by extension
        self.skipped = set()

    def failures(self):
        return ([f"crash: {self.crash}"] if self.crash else []) + ([f"hang: {self.hang}"] if self.hang else []) + \
            [f"growth: {g}" for g in self.growth]

    def text(self):
        lines = [str(s) for s in self.samples]
        lines.append(f"{self.items} items shown; kinds: {', '.join(sorted(self.kinds))}")
        if self.skipped:
            lines.append("skipped: " + "; ".join(sorted(self.skipped)))
        lines += self.failures() or ["no crash, no hang, no growth"]
        return "\n".join(lines)


def make_files(folder):
    """The items, music and entry sound of the soak in folder; the names of its items in order."""
    convert = lambda *args: subprocess.run(["convert", *args], cwd=folder, check=True)
    convert("-size", "640x400", "gradient:#203a80-#e0a040", "photo.jpg")
    convert("-size", "300x500", "xc:#30a050", "-fill", "#f0f0f0", "-draw", "rectangle 40,60 260,300", "drawing.png")
    convert("-size", "400x300", "gradient:#a02020-#2020a0", "-compress", "lzw", "scan.tif")
    convert("-size", "320x240", "xc:#806040", "picture.bmp")
    convert("-delay", "30", "-size", "200x150", "xc:#c03030", "-size", "200x150", "xc:#3030c0",
            "-size", "200x150", "xc:#30c0c0", "-loop", "0", "anim.gif")
    ffmpeg = lambda *args: subprocess.run(["ffmpeg", "-loglevel", "error", "-y", *args], cwd=folder, check=True)
    harness.write_tone(os.path.join(folder, "music.wav"), TONES["music.wav"], 3.0)
    harness.write_tone(os.path.join(folder, "mp3.wav"), TONES["music.mp3"], 3.0)
    ffmpeg("-i", "mp3.wav", "-c:a", "libmp3lame", "-b:a", "64k", "music.mp3")
    harness.write_tone(os.path.join(folder, "entry.wav"), TONES["entry.wav"], 0.4)
    harness.write_tone(os.path.join(folder, "movie.wav"), TONES["movie.avi"], 1.0)
    ffmpeg("-f", "lavfi", "-i", "color=c=0x4080C0:size=160x120:rate=10:duration=1,format=bgra", "-i", "movie.wav",
           "-c:v", "rawvideo", "-pix_fmt", "bgra", "-flipped_raw_rgb", "1", "-c:a", "pcm_s16le", "movie.avi")
    ffmpeg("-f", "lavfi", "-i", "color=c=0x20C040:size=160x120:rate=25:duration=1",
           "-f", "lavfi", "-i", f"sine=frequency={TONES['clip.wmv']}:duration=1", "-c:v", "wmv2", "-c:a", "wmav2",
           "clip.wmv")
    return ["photo.jpg", "drawing.png", "scan.tif", "anim.gif", "picture.bmp", "movie.avi", "clip.wmv"]


# What a soak plays: "full" every kind of item with WAV and MP3 music and entry sounds; "no-wmv" the
# same without the WMV item (Wine's DirectShow player leaks a thread and its descriptors for each
# movie with sound it opens and closes, as a program of nothing but open, play and close shows, so a
# run with WMV measures Wine's growth as well as the saver's); "wav-loop" the stills with one WAV
# track looping as the only sound; "wav-pair" the stills with two WAV tracks in turn, so that each
# track's end closes the only WAV device.
SCENARIOS = ("full", "no-wmv", "wav-loop", "wav-pair")
MUSIC = {"full": ["music.wav", "music.mp3"], "no-wmv": ["music.wav", "music.mp3"], "wav-loop": ["music.wav"],
         "wav-pair": ["music.wav", "mp3.wav"]}


def manifest(items, scenario="full"):
    full = scenario in ("full", "no-wmv")
    if not full:
        items = [name for name in items if not name.endswith((".avi", ".wmv"))]
    elif scenario == "no-wmv":
        items = [name for name in items if not name.endswith(".wmv")]
    return {
        "header": {"Seconds": 1, "EffectSpeed": 10, "Stretch": 2, "Loop": True,
                   "BackgroundColor": "#102030", "BackgroundColor2": "#102030",
                   "ExitMouseMove": False, "ExitMouseButton": False, "ExitKeyboard": False, "ExitESC": True},
        "strings": {"SaverName": "E2E Soak", "Effect": [1, 5, 115]},
        "items": [dict({"file": name}, **({"enterSound": 0} if full and i % 2 == 0 and not name.endswith(("avi", "wmv"))
                                          else {}))
                  for i, name in enumerate(items)],
        "music": [{"file": name} for name in MUSIC[scenario]],
        "entrySounds": [{"file": "entry.wav"}] if full else [],
    }


def wine_process(prefix, name):
    """The pid of the Wine process that runs the program name in the prefix, or None; of several
    (a launcher may still be there), the largest."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/environ", "rb") as f:
                if f"WINEPREFIX={prefix}".encode() not in f.read().split(b"\0"):
                    continue
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                if name.encode() in f.read():
                    found.append(((measure(int(pid)) or (0,))[0], int(pid)))
        except OSError:
            continue
    return max(found)[1] if found else None


def measure(pid):
    """(resident set in kB, open descriptors, threads) of a process, or None when it is gone."""
    try:
        with open(f"/proc/{pid}/status") as f:
            status = dict(line.split(":", 1) for line in f if ":" in line)
        return int(status["VmRSS"].split()[0]), len(os.listdir(f"/proc/{pid}/fd")), int(status["Threads"])
    except (OSError, KeyError, ValueError):
        return None


class Soak:
    """Runs a built soak saver in a test's display, prefix and sound server."""

    def __init__(self, display, wine, folder, saver, items):
        self.display, self.wine, self.folder, self.saver, self.items = display, wine, folder, saver, items
        self.trace = harness.Trace(folder)
        self.output = os.path.join(folder, "wine-output.txt")

    def run(self, seconds, log=print):
        report = Report()
        # No crash dialog: a crash ends the process and Wine's debugger writes what happened.
        self.wine.run("reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD",
                      "/d", "0", "/f")
        env = dict(self.wine.env, SAVER_TRACE=self.wine.windows_path(self.trace.path), WINEDEBUG="-all,err+seh")
        with open(self.output, "wb") as out:
            process = subprocess.Popen(["wine", self.saver, "/s"], env=env, stdout=out, stderr=subprocess.STDOUT)
        self.wine.processes.append(process)
        start = time.monotonic()
        last_item, pid, baseline = start, None, None
        next_sample = start + SAMPLE_SECONDS
        shown = []  # the numbers of the items shown, in order
        trace = open(self.trace.path, "a+", encoding="latin-1")
        trace.seek(0)
        partial = ""  # a line still being written
        try:
            while time.monotonic() - start < seconds:
                time.sleep(0.5)
                now = time.monotonic()
                for line in trace.readlines():  # the lines written since the last look
                    line, partial = partial + line, ""
                    if not line.endswith("\n"):
                        partial = line
                        continue
                    m = re.search(r" Item (\d+) (shown|skipped.*)$", line.rstrip("\n"))
                    if m and m.group(2) == "shown":
                        shown.append(int(m.group(1)))
                        last_item = now
                    elif m:
                        report.skipped.add(f"Item {m.group(1)} {m.group(2)}")
                report.items = len(shown)
                if self.crashed(process, report):
                    break
                if now - last_item > (HANG_SECONDS if shown else START_SECONDS):
                    report.hang = f"no new item for {now - last_item:.0f} s after {len(shown)} items"
                    break
                pid = pid or wine_process(self.wine.prefix, os.path.basename(self.saver))
                if pid and now >= next_sample:
                    next_sample += SAMPLE_SECONDS
                    values = measure(pid)
                    if values is None:
                        continue
                    sample = Sample(now - start, len(shown), *values)
                    report.samples.append(sample)
                    log(str(sample))
                    # The first round of items, and the first turn of the music, set the level.
                    if baseline is None and len(shown) >= len(self.items) and now - start >= 12:
                        baseline = sample
            report.kinds = {os.path.splitext(self.items[index])[1] for index in shown}
        finally:
            trace.close()
            if process.poll() is None:
                self.display.xdotool("key", "Escape", check=False)
                try:
                    process.wait(timeout=20)
                except subprocess.TimeoutExpired:
                    pass
            self.crashed(process, report, ended=True)
        if baseline is not None:
            self.check_growth(report, baseline)
        elif not report.crash and not report.hang:
            report.growth.append("too short: no sample after the first round of items")
        return report

    def crashed(self, process, report, ended=False):
        if report.crash:
            return True
        with open(self.output, "rb") as f:
            text = f.read().decode(errors="replace")
        m = CRASH_PATTERNS.search(text)
        if m:
            report.crash = "Wine reports: " + text[max(0, m.start() - 200):m.end() + 600].strip()
        elif process.poll() is not None and not ended:
            report.crash = f"the process ended with {process.returncode}; the trace ends {self.trace.lines()[-5:]}"
        return report.crash is not None

    @staticmethod
    def check_growth(report, baseline):
        # Devices open and close and their threads come and go as the items and tracks change, in
        # a cycle of some twenty seconds: each value is taken at its lowest over a window longer
        # than that, once just after the first round and once at the end.
        first = [s for s in report.samples if baseline.seconds <= s.seconds <= baseline.seconds + GROWTH_WINDOW]
        last = [s for s in report.samples if s.seconds >= report.samples[-1].seconds - GROWTH_WINDOW]
        if report.samples[-1].seconds < baseline.seconds + 2 * GROWTH_WINDOW:
            report.growth.append(f"too short: no {GROWTH_WINDOW} s after the first {GROWTH_WINDOW} s that follow "
                                 "the first round of items")
            return
        for what, value, tolerance, unit in (("resident set", lambda s: s.rss_kb, RSS_TOLERANCE_KB, " kB"),
                                             ("descriptors", lambda s: s.fds, FD_TOLERANCE, ""),
                                             ("threads", lambda s: s.threads, THREAD_TOLERANCE, "")):
            before, after = min(map(value, first)), min(map(value, last))
            if after - before > tolerance:
                report.growth.append(f"the {what} grew by {after - before}{unit}, from {before}{unit} after the first "
                                     f"round to {after}{unit} at the end (tolerance {tolerance}{unit})")


def run_soak(case, seconds, scenario="full", log=print):
    """Builds the soak saver in a WineTestCase's folder and runs it; the report."""
    package = manifest(make_files(case.dir), scenario)
    items = [item["file"] for item in package["items"]]
    return Soak(case.display, case.wine, case.dir, case.build_saver(package, files={}), items).run(seconds, log)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--minutes", type=float, default=3)
    parser.add_argument("--win32-bin", required=True)
    parser.add_argument("--linux-bin", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--scenario", choices=SCENARIOS, default="full",
                        help="full: every kind of item, WAV and MP3 music, entry sounds; no-wmv: the same without "
                             "WMV; wav-loop: stills and one WAV track looping; wav-pair: stills and two WAV tracks "
                             "in turn")
    parser.add_argument("--keep", action="store_true", help="keep the soak's folder (trace, Wine's output)")
    args = parser.parse_args()
    harness.PATHS.win32_bin, harness.PATHS.linux_bin, harness.PATHS.work = args.win32_bin, args.linux_bin, args.work
    os.makedirs(args.work, exist_ok=True)

    class Run(harness.WineTestCase):
        def runTest(self):
            pass

    case = Run()
    case.setUp()
    try:
        print(f"soak in {case.dir} for {args.minutes} minutes", flush=True)
        report = run_soak(case, args.minutes * 60, args.scenario, log=lambda line: print(line, flush=True))
        print(report.text())
    finally:
        case.doCleanups()
        if not args.keep:
            shutil.rmtree(case.dir, ignore_errors=True)
    return 1 if report.failures() else 0


if __name__ == "__main__":
    sys.exit(main())
