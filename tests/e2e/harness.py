"""End-to-end harness: the real saver.scr under Wine on a virtual X display.

Each test gets its own Xvfb display and a fresh trace file; the Wine prefix is shared by all tests
of a build (made once, under a lock) and its processes are ended after every test.
"""

import argparse
import ctypes
import fcntl
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

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
    """An Xvfb server on a free display number."""

    def __init__(self, width=1024, height=768):
        self.width, self.height = width, height
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)

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

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.name, "-window", "root", path], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path


def _copy_prefix(source, target):
    """A private copy of a prefix. The system folder's files, most of its bytes, are hard links:
    nothing rewrites them, and a file put there is the copy's own."""
    system = os.path.join(source, "drive_c", "windows", "system32")

    def copy(src, dst):
        if os.path.dirname(src) == system:
            os.link(src, dst)
        else:
            shutil.copy2(src, dst)

    shutil.copytree(source, target, symlinks=True, copy_function=copy)


class Wine:
    """Runs Windows programs in the build's shared Wine prefix on a display, or in a private copy
    of it made at prefix (a system that the test may change)."""

    def __init__(self, display, prefix=None):
        self.display = display
        self.prefix = os.path.join(PATHS.work, "wineprefix")
        self.env = dict(display.env(), WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", WINEARCH="win32")
        self._ensure_prefix()
        if prefix:
            _copy_prefix(self.prefix, prefix)
            self.prefix = self.env["WINEPREFIX"] = prefix

    def system_folder(self):
        """The Linux path of the prefix's system folder."""
        return os.path.join(self.prefix, "drive_c", "windows", "system32")

    def _ensure_prefix(self):
        with open(os.path.join(PATHS.work, "wineprefix.lock"), "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            ready = os.path.join(self.prefix, ".ready")
            if not os.path.exists(ready):
                shutil.rmtree(self.prefix, ignore_errors=True)
                subprocess.run(["wineboot", "-i"], env=self.env, check=True,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=240)
                subprocess.run(["wineserver", "-w"], env=self.env, timeout=120)
                open(ready, "w").close()

    @staticmethod
    def windows_path(path):
        return "Z:" + os.path.abspath(path).replace("/", "\\")

    def start(self, program, *args, trace=None, cwd=None, env=None):
        env = dict(self.env, **(env or {}))
        if trace:
            env["SAVER_TRACE"] = self.windows_path(trace)
        return subprocess.Popen(["wine", program, *args], env=env, cwd=cwd,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, *args, timeout=60):
        return subprocess.run(["wine", *args], env=self.env, capture_output=True, text=True, timeout=timeout)

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

    def wait_for(self, text, timeout=30):
        return wait_until(lambda: text in self.lines(), timeout, what=f"trace line {text!r}")


class WineTestCase(unittest.TestCase):
    """A display, the Wine prefix and a folder of the test's own; everything is ended afterwards."""

    width, height = 1024, 768

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix=self.id().rsplit(".", 1)[-1] + "-", dir=PATHS.work)
        self.display = Display(self.width, self.height)
        self.addCleanup(self.display.close)
        self.wine = Wine(self.display)
        self.addCleanup(self.wine.kill)
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
