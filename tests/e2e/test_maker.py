"""The real ssmaker.exe under Wine, driven through its controls by the test driver: a project opened
from the command line, a folder added, a file dropped from the shell, a broken picture refused with the builder's own reason,
effects chosen, the project saved and built, the build compared byte for byte with `sspack build`
of the saved manifest, and the built saver tried and installed."""

import glob
import json
import os
import shutil
import subprocess

import harness
import uidriver

TITLE = "Screen Saver Maker"
NAME = "E2E Maker"


class Maker(harness.WineTestCase):
    def setUp(self):
        super().setUp()
        self.driver = uidriver.Driver(self.wine)
        # The maker and the runtime in one folder, as a Windows user gets them.
        self.tools = os.path.join(self.dir, "Maker")
        os.makedirs(self.tools)
        for program in ("ssmaker.exe", "saver.scr"):
            shutil.copyfile(os.path.join(harness.PATHS.win32_bin, program), os.path.join(self.tools, program))
        for folder in ("photos", "more"):
            os.makedirs(os.path.join(self.dir, folder))
        self.convert("photos/a.jpg", "96x64", "#cc2222")
        self.convert("more/b.png", "64x96", "#2222cc")
        self.convert("more/c.jpg", "80x60", "#22cc22")
        self.convert("d.jpg", "60x60", "#cccc22")
        with open(os.path.join(self.dir, "more", "notes.txt"), "w") as f:
            f.write("not a picture")
        with open(os.path.join(self.dir, "broken.jpg"), "wb") as f:
            f.write(b"\xff\xd8\xff\xe0" + bytes(range(256)) * 4)

    def convert(self, name, size, colour):
        subprocess.run(["convert", "-size", size, "xc:" + colour, os.path.join(self.dir, name)], check=True)

    def sspack(self, *args):
        return subprocess.run([os.path.join(harness.PATHS.linux_bin, "sspack"), *args], capture_output=True,
                              text=True)

    def start_maker(self, project):
        """Starts the maker on the project and waits for its window. Under a full parallel run a
        first start in a fresh prefix has, rarely, never shown a window nor written a trace line;
        what Wine printed then is kept in maker-N.txt, and the maker is started once more."""
        for attempt in (1, 2):
            process = self.wine.start(os.path.join(self.tools, "ssmaker.exe"), self.wine.windows_path(project),
                                      trace=self.trace.path, output=os.path.join(self.dir, f"maker-{attempt}.txt"))
            try:
                return self.driver.wait_window(TITLE, timeout=30)
            except AssertionError as e:
                if attempt == 2:
                    raise AssertionError(f"{e}; the windows on screen: {self.driver.run('windows')}") from None
                print(f"the maker showed no window (running: {process.poll() is None}); starting it again",
                      flush=True)
                process.kill()
                process.wait()

    def wait_line(self, start, timeout=30):
        """The first trace line that starts so, once there is one."""
        return harness.wait_until(lambda: next((l for l in self.trace.lines() if l.startswith(start)), None), timeout,
                                  what=f"a trace line {start!r}")

    def wait_controls(self, condition, timeout=30):
        """The window's controls once they meet the condition."""
        return harness.wait_until(lambda: (lambda c: c if condition(c) else None)(self.driver.controls(TITLE)),
                                  timeout, what="the window's controls")

    def dismiss_message(self, text):
        line = self.wait_line("Message box: " + text)
        self.display.xdotool("key", "Return")
        harness.wait_until(lambda: self.driver._try_dump(TITLE), 10, what="the maker's window")
        return line

    def test_a_project_made_in_the_window_builds_what_sspack_builds_and_runs(self):
        project = os.path.join(self.dir, "show.json")
        with open(project, "w") as f:
            json.dump({"strings": {"SaverName": NAME}, "items": [{"file": "photos/a.jpg"}]}, f)
        self.start_maker(project)
        self.wait_line("Opened ")
        # The thumbnails come once they are made.
        c = self.wait_controls(lambda c: c["lvItems"]["pictures"] == 1)
        self.assertEqual(c["lvItems"]["items"], ["a.jpg"])
        self.assertEqual(c["edName"]["caption"], NAME)

        # A folder: what the saver shows, in name order; the notes are left out.
        self.driver.click(TITLE, "btnAddFolder")
        self.driver.answer_folder(os.path.join(self.dir, "more"))
        self.trace.wait_for("Added 2 of 2")
        c = self.driver.controls(TITLE)
        self.assertEqual(c["lvItems"]["items"], ["a.jpg", "b.png", "c.jpg"])
        self.assertEqual(c["lvItems"]["pictures"], 3)

        # A file dropped from the shell, named with the shell's separators.
        self.driver.drop(TITLE, "lvItems", os.path.join(self.dir, "d.jpg"))
        self.trace.wait_for("Added 1 of 1")
        c = self.driver.controls(TITLE)
        self.assertEqual(c["lvItems"]["items"], ["a.jpg", "b.png", "c.jpg", "d.jpg"])
        self.assertEqual(c["lvItems"]["pictures"], 4)

        # A broken picture is refused with the reason the builder gives.
        self.driver.click(TITLE, "btnAddPictures")
        self.driver.answer_open(self.dir, "broken.jpg")
        self.trace.wait_for("Added 0 of 1")
        refused = self.dismiss_message("Not added")
        with open(os.path.join(self.dir, "broken.json"), "w") as f:
            json.dump({"items": [{"file": "broken.jpg"}]}, f)
        built = self.sspack("build", os.path.join(self.dir, "broken.json"), "--runtime",
                            os.path.join(self.tools, "saver.scr"), "-o", os.path.join(self.dir, "never.scr"))
        reason = next(l for l in built.stderr.splitlines() if "broken.jpg: " in l).split("broken.jpg: ", 1)[1]
        self.assertIn(self.wine.windows_path(os.path.join(self.dir, "broken.jpg")) + ": " + reason, refused)
        self.assertEqual(self.driver.controls(TITLE)["lvItems"]["items"], ["a.jpg", "b.png", "c.jpg", "d.jpg"])

        # A caption for the second item, two effects and a faster speed.
        self.driver.select(TITLE, "lvItems", 1)
        self.driver.type(TITLE, "edCaption", "Blue")
        self.driver.tab(TITLE, "PageControl", "Effects")
        self.driver.click(TITLE, "btnSelectNone")
        self.driver.line(TITLE, "lbEffects", 114, box=True)
        self.driver.line(TITLE, "lbEffects", 4, box=True)
        self.driver.slide(TITLE, "tbEffectSpeed", 7)
        c = self.driver.controls(TITLE)
        self.assertEqual([i for i, on in enumerate(c["lbEffects"]["checks"]) if on], [4, 114])
        self.display.screenshot(os.path.join(self.dir, "maker-effects.png"))

        self.driver.click(TITLE, "btnSave")
        self.wait_line("Saved ")
        with open(project) as f:
            saved = json.load(f)
        self.assertEqual([item["file"] for item in saved["items"]], ["photos/a.jpg", "more/b.png", "more/c.jpg", "d.jpg"])
        self.assertEqual(saved["items"][1]["caption"], {"text": "Blue"})
        self.assertEqual(saved["strings"]["Effect"], [5, 115])
        self.assertEqual(saved["header"]["EffectSpeed"], 7)

        # The first build asks where, offering the saver's name beside the project.
        os.makedirs(os.path.join(self.dir, "out"))
        output = os.path.join(self.dir, "out", NAME + ".scr")
        self.driver.click(TITLE, "btnBuild")
        self.driver.answer_save(output)
        self.wait_line("Build built: ", timeout=120)
        c = self.driver.controls(TITLE)
        self.assertEqual(c["pbBuild"]["value"], c["pbBuild"]["maximum"])
        self.assertTrue(c["btnTry"]["enabled"])

        reference = os.path.join(self.dir, "reference.scr")
        result = self.sspack("build", project, "--runtime", os.path.join(self.tools, "saver.scr"), "-o", reference)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(output, "rb") as a, open(reference, "rb") as b:
            self.assertTrue(a.read() == b.read(), "the window and sspack build different bytes")

        # Try runs the built saver full screen.
        self.driver.click(TITLE, "btnTry")
        self.trace.wait_for("Item 0 shown", timeout=60)
        self.display.xdotool("key", "Escape")

        # Install makes it the user's screen saver, from a copy in the user's own folder.
        self.driver.wait_window(TITLE)
        self.driver.click(TITLE, "btnInstall")
        message = self.dismiss_message(NAME + " is now your screen saver")
        copies = glob.glob(os.path.join(self.wine.prefix, "drive_c", "users", "*", "*", "Local", "Screen Savers",
                                        NAME + ".scr")) + \
            glob.glob(os.path.join(self.wine.prefix, "drive_c", "users", "*", "Local Settings", "Application Data",
                                   "Screen Savers", NAME + ".scr"))
        self.assertEqual(len(copies), 1, message)
        with open(copies[0], "rb") as a, open(output, "rb") as b:
            self.assertTrue(a.read() == b.read())
        desktop = self.wine.reg_query("Control Panel\\Desktop")
        self.assertEqual(desktop["ScreenSaveActive"], ("REG_SZ", "1"))
        self.assertTrue(desktop["SCRNSAVE.EXE"][1].upper().endswith(".SCR"), desktop["SCRNSAVE.EXE"])


if __name__ == "__main__":
    harness.main()
