"""The test driver (ui_driver.exe of the cross build): finds the program's controls by their names
in another process, operates them as a user would, and reads what they show."""

import json
import os
import time

import harness


class Driver:
    def __init__(self, wine):
        self.wine = wine
        self.exe = os.path.join(harness.PATHS.win32_bin, "ui_driver.exe")

    def run(self, *args, timeout=60):
        result = self.wine.run(self.exe, *map(str, args), timeout=timeout)
        if result.returncode != 0:
            raise AssertionError(f"ui_driver {' '.join(map(str, args))}: {result.stderr.strip()}")
        return result.stdout

    def controls(self, title):
        """{name: what the control shows}; the window itself under the name ""."""
        return {c["name"]: c for c in map(json.loads, self.run("dump", title).splitlines())}

    def wait_window(self, title, timeout=30):
        return harness.wait_until(lambda: self._try_dump(title), timeout, interval=0.3, what=f"the window {title!r}")

    def _try_dump(self, title):
        result = self.wine.run(self.exe, "dump", title)
        return {c["name"]: c for c in map(json.loads, result.stdout.splitlines())} if result.returncode == 0 else None

    def focus(self, title):
        return self.run("focus", title).strip()

    def click(self, title, name, settle=0.3):
        self.run("click", title, name)
        time.sleep(settle)

    def tab(self, title, name, caption, settle=0.3):
        self.run("tab", title, name, caption)
        time.sleep(settle)

    def type(self, title, name, text, settle=0.2):
        self.run("type", title, name, text)
        time.sleep(settle)

    def slide(self, title, name, value, settle=0.2):
        self.run("slide", title, name, value)
        time.sleep(settle)

    def line(self, title, name, index, box=False, settle=0.3):
        self.run("line", title, name, index, *(["box"] if box else []))
        time.sleep(settle)

    def answer_open(self, folder, *files):
        """Answers the open-file dialog (it must be about to open) with files of one folder."""
        self.run("open", self.wine.windows_path(folder), *files)

    def select(self, title, name, index, settle=0.3):
        """Picks a line of a drop-down list or picture list as a user would."""
        self.run("select", title, name, index)
        time.sleep(settle)

    def drop(self, title, name, *paths, settle=0.5):
        """Drops files (Linux paths) on the control as the shell drops them."""
        self.run("drop", title, name, *(self.wine.windows_path(p) for p in paths))
        time.sleep(settle)

    def answer_save(self, path):
        """Answers the save-file dialog (it must be about to open) with a file (a Linux path)."""
        self.run("save", self.wine.windows_path(path))

    def answer_folder(self, folder):
        """Answers the folder picker (it must be about to open) with a folder (a Linux path)."""
        self.run("folder", self.wine.windows_path(folder))

    def answer_color(self, color):
        """Answers the colour dialog (it must be about to open) with a colour 0xBBGGRR."""
        self.run("color", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF)
