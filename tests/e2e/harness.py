"""End-to-end harness: the real saver.scr under Wine on a virtual X display.

Each test has a folder, an Xvfb display, a Wine prefix, a sound server and a trace file of its own,
so tests can run side by side. The prefixes are copies of one template per build, made once under
a lock; after each test its processes are ended and its prefix deleted.
"""

import argparse
import array
import ctypes
import fcntl
import json
import math
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import wave

PATHS = argparse.Namespace(win32_bin=None, linux_bin=None, work=None)


def main():
    """Parses the harness's own options and runs the unittest cases of the calling script."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--win32-bin", required=True)
    parser.add_argument("--linux-bin", required=True)
    parser.add_argument("--work", required=True)
    args, rest = parser.parse_known_args()
    PATHS.win32_bin, PATHS.linux_bin, PATHS.work = args.win32_bin, args.linux_bin, args.work
    os.makedirs(PATHS.work, exist_ok=True)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


def wait_until(predicate, timeout, interval=0.1, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    raise AssertionError(f"timed out after {timeout}s waiting for {what}")


class Display:
    """An X server on a free display number: Xvfb with one monitor of width x height, or, when second
    gives a second monitor's (width, height), Xorg's dummy driver with two monitors side by side, the
    main one at the left. Wine reports the two as two monitors; Xvfb has one output only, so it cannot.

    monitors lists each monitor's (left, top, width, height), the main one first; the root window,
    and so every screenshot, is root_width x root_height and covers them all."""

    def __init__(self, width=1024, height=768, second=None):
        self.width, self.height = width, height
        self.monitors = [(0, 0, width, height)]
        self.folder = None
        read_fd, write_fd = os.pipe()
        if second is None:
            server = "Xvfb"
            command = ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"]
        else:
            server = "Xorg"
            self.monitors.append((width, 0, *second))
            self.folder = tempfile.mkdtemp(prefix="xorg-")
            command = dummy_xorg(self.folder, self.monitors, write_fd)
        self.root_width = max(left + w for left, _, w, _ in self.monitors)
        self.root_height = max(top + h for _, top, _, h in self.monitors)
        self.process = subprocess.Popen(command, pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        if not number:
            self.process.kill()
            self.process.wait(timeout=10)
            raise RuntimeError(f"{server} did not start" + (f"; see {self.folder}/xorg.log" if self.folder else ""))
        self.name = f":{number}"

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)
        if self.folder:
            shutil.rmtree(self.folder, ignore_errors=True)

    def env(self):
        return dict(os.environ, DISPLAY=self.name)

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env(), capture_output=True, text=True)
        if check and result.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
        return result.stdout

    def windows(self, name):
        """Ids of visible windows whose title matches the regular expression."""
        out = self.xdotool("search", "--onlyvisible", "--name", name, check=False)
        return [int(w) for w in out.split()]

    def geometry(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def cursor_visible(self):
        """Whether the pointer's current image has any pixel that is not fully transparent."""

        class CursorImage(ctypes.Structure):
            _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                        ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                        ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                        ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]

        x11 = ctypes.CDLL("libX11.so.6")
        xfixes = ctypes.CDLL("libXfixes.so.3")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
        xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        x11.XFree.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        dpy = x11.XOpenDisplay(self.name.encode())
        try:
            image = xfixes.XFixesGetCursorImage(dpy)
            cursor = image.contents
            visible = any((cursor.pixels[i] >> 24) & 0xFF for i in range(cursor.width * cursor.height))
            x11.XFree(image)
            return visible
        finally:
            x11.XCloseDisplay(dpy)

    def pixel(self, path, x, y):
        """The colour of one pixel of a screenshot as (r, g, b)."""
        out = subprocess.run(["convert", path, "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                             capture_output=True, text=True, check=True).stdout
        m = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[1])
        return tuple(int(v) for v in m.groups())

    def rgb(self):
        """The whole screen, every monitor, as RGB bytes, row after row of root_width pixels."""
        return subprocess.run(["import", "-display", self.name, "-window", "root", "-depth", "8", "rgb:-"],
                              check=True, capture_output=True).stdout

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.name, "-window", "root", path], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path


def dummy_xorg(folder, monitors, display_fd):
    """The command line of an Xorg server whose dummy driver drives one output for each monitor, each
    at its own mode and place. The driver counts an output other than the first as connected once it
    has a mode, which the "Enable" option of its monitor gives it at start-up. The server leaves the
    machine's input devices and virtual terminals alone."""

    def modeline(name, w, h):
        # Blanking and clock only have to be plausible: nothing scans these modes out.
        htotal, vtotal = w + 160, h + 30
        return (f'  Modeline "{name}" {htotal * vtotal * 60 / 1e6:.2f} {w} {w + 40} {w + 80} {htotal} '
                f'{h} {h + 3} {h + 6} {vtotal}')

    names = [f"{w}x{h}" for _, _, w, h in monitors]
    root_width = max(left + w for left, _, w, _ in monitors)
    root_height = max(top + h for _, top, _, h in monitors)
    lines = ['Section "ServerFlags"', '  Option "AutoAddDevices" "false"', '  Option "AutoEnableDevices" "false"',
             '  Option "DontVTSwitch" "true"', "EndSection",
             'Section "Device"', '  Identifier "card"', '  Driver "dummy"',
             f"  VideoRam {root_width * root_height * 4 // 1024 + 1024}"]
    lines += [f'  Option "Monitor-DUMMY{i}" "monitor{i}"' for i in range(len(monitors))]
    lines.append("EndSection")
    for i, ((left, top, w, h), name) in enumerate(zip(monitors, names)):
        lines += ['Section "Monitor"', f'  Identifier "monitor{i}"', "  HorizSync 1.0-1000.0",
                  "  VertRefresh 1.0-200.0", modeline(name, w, h), f'  Option "PreferredMode" "{name}"',
                  '  Option "Enable" "true"', f'  Option "Position" "{left} {top}"', "EndSection"]
    lines += ['Section "Screen"', '  Identifier "screen"', '  Device "card"', '  Monitor "monitor0"',
              "  DefaultDepth 24", '  SubSection "Display"', "    Depth 24",
              f"    Virtual {root_width} {root_height}", "    Modes " + " ".join(f'"{n}"' for n in names),
              "  EndSubSection", "EndSection"]
    config = os.path.join(folder, "xorg.conf")
    with open(config, "w") as f:
        f.write("\n".join(lines) + "\n")
    # An empty folder in place of the machine's own configuration snippets.
    os.makedirs(os.path.join(folder, "xorg.conf.d"))
    # The server itself, not the wrapper that may stand in front of it and admit console users only.
    return ["/usr/lib/xorg/Xorg", "-displayfd", str(display_fd), "-config", config,
            "-configdir", os.path.join(folder, "xorg.conf.d"), "-logfile", os.path.join(folder, "xorg.log"),
            "-nolisten", "tcp", "-noreset", "-sharevts", "-novtswitch"]


# The files of a prefix that Wine only reads once the prefix is made: the modules and the locale
# tables, nearly all of its 600 MB. Copies share them with the template through hard links; all the
# rest (the registry, the .ini files, the users' folders) is each copy's own. A test must never write
# over one of the shared files: it would write into the template and every other copy.
SHARED_SUFFIXES = (".dll", ".exe", ".drv", ".sys", ".ocx", ".cpl", ".acm", ".ax", ".tlb", ".nls")


def new_prefix(target, env):
    """Copies the build's template prefix to target, making the template first if need be."""
    template = os.path.join(PATHS.work, "wineprefix")
    listing = os.path.join(template, ".shared.json")
    with open(os.path.join(PATHS.work, "wineprefix.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        shared = read_shared(template, listing)
        if shared is None:
            shutil.rmtree(template, ignore_errors=True)
            template_env = dict(env, WINEPREFIX=template)
            subprocess.run(["wineboot", "-i"], env=template_env, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=240)
            subprocess.run(["wineserver", "-w"], env=template_env, timeout=120)
            shared = {}
            for folder, _, names in os.walk(template):
                for name in names:
                    path = os.path.join(folder, name)
                    if name.lower().endswith(SHARED_SUFFIXES) and not os.path.islink(path):
                        st = os.stat(path)
                        shared[os.path.relpath(path, template)] = [st.st_size, st.st_mtime_ns]
            with open(listing, "w") as f:
                json.dump(shared, f)

        def link_or_copy(source, destination):
            if os.path.relpath(source, template) in shared:
                os.link(source, destination)
            else:
                shutil.copy2(source, destination)

        def template_only(folder, names):
            # Debian's Wine names the folder of the prefix's server in "wineserver"; a copy makes its own.
            return {"wineserver", ".shared.json"} & set(names) if folder == template else set()

        shutil.copytree(template, target, symlinks=True, copy_function=link_or_copy, ignore=template_only)
    # Wine brings a prefix it finds out of date up to date in place, through the shared files.
    with open(os.path.join(target, ".update-timestamp"), "w") as f:
        f.write("disable\n")


def read_shared(template, listing):
    """The template's shared files as {path: [size, mtime]}; None when the template is missing or one
    of them was written since it was made."""
    try:
        with open(listing) as f:
            shared = json.load(f)
        for path, (size, mtime) in shared.items():
            st = os.stat(os.path.join(template, path))
            if (st.st_size, st.st_mtime_ns) != (size, mtime):
                return None
        return shared
    except (OSError, ValueError):
        return None


class Wine:
    """Runs Windows programs on a display in a Wine prefix of the test's own, which plays its sound
    into the test's sound server."""

    def __init__(self, display, folder, sound):
        self.display = display
        self.prefix = os.path.join(folder, "wineprefix")
        self.env = dict(display.env(), WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", WINEARCH="win32", PULSE_SERVER=sound.server)
        self.processes = []
        new_prefix(self.prefix, self.env)

    def system_folder(self):
        """The Linux path of the prefix's system folder."""
        return os.path.join(self.prefix, "drive_c", "windows", "system32")

    @staticmethod
    def windows_path(path):
        return "Z:" + os.path.abspath(path).replace("/", "\\")

    def start(self, program, *args, trace=None, cwd=None, env=None, stdin=None, output=None):
        """Starts a program and returns at once; stdin as subprocess takes it (PIPE to write to the
        program), output the path of a file that gets what the program prints."""
        env = dict(self.env, **(env or {}))
        if trace:
            env["SAVER_TRACE"] = self.windows_path(trace)
        with open(output or os.devnull, "wb") as out:
            process = subprocess.Popen(["wine", program, *args], env=env, cwd=cwd, stdin=stdin, stdout=out,
                                       stderr=subprocess.STDOUT if output else subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def run(self, *args, timeout=60):
        # Files, not pipes: the services the first program starts hold its output open for seconds
        # after it ends.
        def text(f):
            f.seek(0)
            return f.read().decode(errors="replace").replace("\r\n", "\n")

        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            result = subprocess.run(["wine", *args], env=self.env, stdout=out, stderr=err, timeout=timeout)
            return subprocess.CompletedProcess(result.args, result.returncode, text(out), text(err))

    def reg_query(self, key, hive="HKCU"):
        """The values of a key under the hive (HKEY_CURRENT_USER unless told) as {name: (type, value)};
        None when it is missing."""
        result = self.run("reg", "query", hive + "\\" + key.lstrip("\\"))
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.splitlines():
            m = re.match(r"\s+(\S.*?)\s+(REG_\w+)\s*(.*)$", line)
            if m:
                values[m.group(1)] = (m.group(2), m.group(3))
        return values

    def reg_delete(self, key):
        self.run("reg", "delete", "HKCU\\" + key.lstrip("\\"), "/f")

    def kill(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self):
        self.kill()
        for process in self.processes:
            process.wait(timeout=10)
        # Debian's Wine keeps each prefix's server socket in a folder of its own in the temporary folder.
        try:
            with open(os.path.join(self.prefix, "wineserver")) as f:
                name = f.read().strip()
            if re.fullmatch(r"wine-\w+", name):
                shutil.rmtree(os.path.join(self.env.get("TMPDIR") or "/tmp", name), ignore_errors=True)
        except FileNotFoundError:
            pass
        shutil.rmtree(self.prefix, ignore_errors=True)


class SoundServer:
    """A PulseAudio daemon of the test's own with one sink, "rec", that plays into nothing; what
    Wine plays there is recorded from the sink's monitor."""

    def __init__(self, folder):
        self.folder = os.path.join(folder, "pulse")
        runtime = os.path.join(self.folder, "runtime")
        os.makedirs(runtime, mode=0o700)
        # A socket's path holds at most 107 bytes, and the test's folder can lie deeper than that.
        self.socket_folder = tempfile.mkdtemp(prefix="pulse-")
        socket = os.path.join(self.socket_folder, "native")
        self.server = "unix:" + socket
        self.env = dict(os.environ, XDG_RUNTIME_DIR=runtime, HOME=self.folder, PULSE_SERVER=self.server)
        self.log = os.path.join(self.folder, "pulseaudio.log")
        with open(self.log, "w") as log:
            self.process = subprocess.Popen(
                ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm=yes",
                 "-L", "module-null-sink sink_name=rec",
                 "-L", f"module-native-protocol-unix auth-anonymous=1 socket={socket}"],
                env=self.env, stdout=log, stderr=subprocess.STDOUT)
        self.recordings = []
        try:
            wait_until(lambda: os.path.exists(socket) or self.process.poll() is not None, 20, what="the sound server")
            if self.process.poll() is not None:
                raise RuntimeError(f"pulseaudio ended at once; see {self.log}")
        except BaseException:
            self.close()
            raise

    def record(self, path):
        """Starts recording the sink into a WAV file; the recording runs when this returns."""
        recording = Recording(self, path)
        self.recordings.append(recording)
        return recording

    def close(self):
        try:
            for recording in self.recordings:
                recording.stop()
        finally:
            self.process.terminate()
            self.process.wait(timeout=10)
            shutil.rmtree(self.socket_folder, ignore_errors=True)


class Recording:
    """What the sound server's sink plays, as a WAV file of 8000 Hz mono 16-bit samples; started is
    the time.time() of its first sample."""

    RATE = 8000
    HEADER = 44  # bytes before the first sample
    LATENCY = 0.02  # from the sink to the file

    def __init__(self, sound, path):
        self.path = path
        pcm = [f"--rate={self.RATE}", "--channels=1", "--format=s16le"]
        # An idle null sink feeds its monitor nothing, so the silence before and between sounds would
        # be missing from the recording; a stream of zeros keeps the sink running.
        self.filler = subprocess.Popen(["pacat", "--playback", "--latency-msec=20", "--device=rec", "--raw", *pcm,
                                        "/dev/zero"], env=sound.env)
        # Without a short latency the monitor loses whole streams.
        self.process = subprocess.Popen(["parecord", "--latency-msec=20", "--device=rec.monitor", *pcm,
                                         "--file-format=wav", path], env=sound.env)

        # The first samples reach the file from a moment to two seconds after parecord starts, and
        # what played meanwhile is lost: the recording starts at the first samples.
        def samples_bytes():
            size = os.path.getsize(path) if os.path.exists(path) else 0
            return size - self.HEADER if size > self.HEADER else 0

        held = wait_until(samples_bytes, 20, interval=0.005, what="the first recorded samples")
        self.started = time.time() - held / (2 * self.RATE)

    def at(self, wall_time):
        """The time in the recording, in seconds, of what sounded at a time.time(); what the sink
        played then is in the recording up to LATENCY later."""
        return wall_time - self.started

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGINT)  # parecord completes the file's header
            self.process.wait(timeout=10)
        if self.filler.poll() is None:
            self.filler.terminate()
            self.filler.wait(timeout=10)
        return self

    def tones(self, frequencies, window=0.05):
        return Tones(self.path, frequencies, window)


class Tones:
    """The levels of some frequencies in each short window of a mono 16-bit WAV file, measured with
    the Goertzel algorithm; a level is the tone's amplitude as a fraction of full scale."""

    SOUNDING = 0.03  # a test tone is 0.25; where one starts or stops it leaks under 0.02 into the others
    SILENT = 0.002  # the largest sample of a silent window, as a fraction of full scale
    BRIDGE = 0.25

    def __init__(self, path, frequencies, window=0.05):
        with wave.open(path) as w:
            rate = w.getframerate()
            samples = array.array("h", w.readframes(w.getnframes()))
        n = int(rate * window)
        self.window = n / rate
        self.frequencies = list(frequencies)
        self.levels = []  # per window: {frequency: level}
        self.peaks = []  # per window: the largest sample as a fraction of full scale
        for start in range(0, len(samples) - n + 1, n):
            chunk = samples[start:start + n]
            self.levels.append({f: goertzel_level(chunk, rate, f) for f in self.frequencies})
            self.peaks.append(max(map(abs, chunk)) / 32768)

    def sounding(self):
        """For each window, the set of the frequencies that sound in it."""
        return [{f for f, level in levels.items() if level >= self.SOUNDING} for levels in self.levels]

    def runs(self, frequency):
        """The stretches in which a frequency sounds, as (start, end) in seconds. Wine's sound drops
        out for moments when the machine is busy; a gap of up to BRIDGE does not end a run."""
        runs, start = [], None
        for i, levels in enumerate(self.levels + [{}]):
            on = levels.get(frequency, 0) >= self.SOUNDING
            if on and start is None:
                start = i
            elif not on and start is not None:
                if runs and start * self.window - runs[-1][1] <= self.BRIDGE:
                    runs[-1] = (runs[-1][0], i * self.window)
                else:
                    runs.append((start * self.window, i * self.window))
                start = None
        return runs

    def sequence(self):
        """Every run of every frequency as (frequency, start, end), in order of start."""
        return sorted(((f, start, end) for f in self.frequencies for start, end in self.runs(f)),
                      key=lambda run: run[1])

    def silent_from(self, start):
        """Whether nothing at all sounds in the windows that begin at or after start (in seconds)."""
        first = math.ceil(start / self.window)
        return all(peak < self.SILENT for peak in self.peaks[first:])

    def duration(self):
        return len(self.levels) * self.window


def write_tone(path, frequency, seconds, rate=22050, amplitude=0.25):
    """A WAV file of one sine tone, mono 16-bit."""
    samples = array.array("h", (round(amplitude * 32767 * math.sin(2 * math.pi * frequency * i / rate))
                                for i in range(round(seconds * rate))))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(samples.tobytes())
    return path


def goertzel_level(samples, rate, frequency):
    """The amplitude of one frequency in the samples, as a fraction of full scale."""
    k = 2 * math.cos(2 * math.pi * frequency / rate)
    s1 = s2 = 0.0
    for x in samples:
        s1, s2 = x + k * s1 - s2, s1
    power = s1 * s1 + s2 * s2 - k * s1 * s2
    return 2 * math.sqrt(max(power, 0.0)) / len(samples) / 32768


class Trace:
    """The program's trace file: one text a line after a tick count."""

    def __init__(self, folder):
        self.path = os.path.join(folder, "trace.txt")

    def lines(self):
        try:
            with open(self.path, encoding="latin-1") as f:
                return [line.rstrip("\n").split(" ", 1)[1] if " " in line.strip() else line.strip()
                        for line in (l.lstrip() for l in f)]
        except FileNotFoundError:
            return []

    def wait_for(self, text, timeout=30, count=1):
        try:
            return wait_until(lambda: self.lines().count(text) >= count, timeout,
                              what=f"trace line {text!r}" + (f" {count} times" if count > 1 else ""))
        except AssertionError as e:
            raise AssertionError(f"{e}; the trace holds {self.lines()}") from None


class WineTestCase(unittest.TestCase):
    """A folder, a display, a sound server and a Wine prefix of the test's own; everything is ended
    afterwards."""

    width, height = 1024, 768
    second_monitor = None  # (width, height) of a monitor to the right of the main one

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix=self.id().rsplit(".", 1)[-1] + "-", dir=PATHS.work)
        self.display = Display(self.width, self.height, self.second_monitor)
        self.addCleanup(self.display.close)
        self.sound = SoundServer(self.dir)
        self.addCleanup(self.sound.close)
        self.wine = Wine(self.display, self.dir, self.sound)
        self.addCleanup(self.wine.close)
        self.trace = Trace(self.dir)

    def saver_path(self):
        return os.path.join(PATHS.win32_bin, "saver.scr")

    def copy_saver(self, name="saver.scr", source=None):
        target = os.path.join(self.dir, name)
        shutil.copyfile(source or self.saver_path(), target)
        return target

    def build_saver(self, manifest, name="saver.scr", files=None):
        """Builds a saver from the real runtime with sspack; files maps names to bytes to put beside it."""
        for file_name, data in (files or {}).items():
            with open(os.path.join(self.dir, file_name), "wb") as f:
                f.write(data)
        manifest_path = os.path.join(self.dir, name + ".json")
        with open(manifest_path, "w") as f:
            json.dump(manifest, f)
        target = os.path.join(self.dir, name)
        subprocess.run([os.path.join(PATHS.linux_bin, "sspack"), "build", manifest_path, "--runtime", self.saver_path(),
                        "-o", target], check=True)
        return target

    def wait_exit(self, process, timeout=30):
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            raise AssertionError("the program did not end")
