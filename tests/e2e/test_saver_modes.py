"""The real saver.scr in each mode under Wine: the full-screen window and its exit conditions, the
configuration dialog and the settings it stores, the password-change mode and presentations."""

import os
import shutil
import time

import harness
from pictures import solid_bmp

# In the background's colour, so that the screen shows that colour whichever way it is placed.
PICTURE = {"a.bmp": solid_bmp(8, 8, (0x33, 0x66, 0x99))}


class ModeTest(harness.WineTestCase):
    """Each test has a saver name, and so a settings key, of its own, which starts empty."""

    def setUp(self):
        super().setUp()
        self.name = "E2E " + self.id().rsplit(".", 1)[-1][5:30]
        self.key = "Software\\Tavolisk\\" + self.name
        self.wine.reg_delete(self.key)

    def manifest(self, **header):
        base = {"ExitMouseMove": False, "ExitMouseButton": False, "ExitKeyboard": False, "ExitESC": False,
                "BackgroundColor": "#336699", "BackgroundColor2": "#336699"}
        base.update(header)
        return {"header": base,
                "strings": {"SaverName": self.name, "ExitLink": "http://exit.invalid/"},
                "items": [{"file": "a.bmp"}]}

    def window(self, what):
        return harness.wait_until(lambda: self.display.windows("^" + self.name + "$"), 30, what=what)[0]


class FullScreen(ModeTest):
    def start(self, **header):
        saver = self.build_saver(self.manifest(**header), files=PICTURE)
        process = self.wine.start(saver, "/s", trace=self.trace.path)
        self.trace.wait_for("Package read")
        window = self.window("the saver's window")
        harness.wait_until(lambda: self.display.geometry(window)[2:] == (self.width, self.height), 10,
                           what="the full-screen size")
        time.sleep(1.0)
        return process, window

    def still_running(self, process, seconds=1.5):
        time.sleep(seconds)
        return process.poll() is None

    def test_the_window_covers_the_screen_in_the_background_colour_without_a_pointer(self):
        process, window = self.start(ExitKeyboard=True)
        self.assertEqual(self.display.geometry(window), (0, 0, self.width, self.height))
        shot = self.display.screenshot(os.path.join(self.dir, "full.png"))
        for x, y in [(0, 0), (self.width - 1, self.height - 1), (512, 384), (3, self.height - 2)]:
            self.assertEqual(self.display.pixel(shot, x, y), (0x33, 0x66, 0x99), (x, y))
        self.assertFalse(self.display.cursor_visible())
        self.display.xdotool("key", "a")
        self.wait_exit(process)
        lines = self.trace.lines()
        self.assertIn("Open http://exit.invalid/", lines)
        self.assertIn("Form CLose", lines)

    def test_with_only_mouse_move_a_key_and_a_small_move_do_not_end_it(self):
        process, _ = self.start(ExitMouseMove=True)
        self.display.xdotool("key", "a")
        self.assertTrue(self.still_running(process), "a key must not end it")
        self.display.xdotool("mousemove_relative", "--", 5, 5)
        self.assertTrue(self.still_running(process), "5 pixels must not end it")
        self.display.xdotool("mousemove_relative", "--", 1, 0)
        self.wait_exit(process)
        self.assertIn("Open http://exit.invalid/", self.trace.lines())


class Configuration(ModeTest):
    def open_panel(self, saver):
        process = self.wine.start(saver, "/c", trace=self.trace.path)
        self.trace.wait_for("Package read")
        window = self.window("the dialog")
        return process, window

    def test_closing_writes_every_setting_and_the_next_start_shows_them(self):
        saver = self.build_saver(self.manifest(ExitESC=True, Seconds=9, Stretch=3, DisplayOrder=2), files=PICTURE)
        process, window = self.open_panel(saver)
        x, y, w, h = self.display.geometry(window)
        self.assertLess(abs((x + w // 2) - self.width // 2), 8, "centred across")
        self.assertLess(abs((y + h // 2) - self.height // 2), 20, "centred down")
        self.assertLess(w, 600)
        self.display.xdotool("windowfocus", "--sync", window)
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)

        values = self.wine.reg_query(self.key)
        self.assertIsNotNone(values, "the settings key must exist")
        self.assertEqual(len(values), 16, values)
        self.assertEqual(values["Seconds"], ("REG_DWORD", "0x9"))
        self.assertEqual(values["Stretch"], ("REG_DWORD", "0x3"))
        self.assertEqual(values["DisplayOrder"], ("REG_DWORD", "0x2"))
        self.assertEqual(values["ExitESC"], ("REG_DWORD", "0x1"))
        self.assertEqual(values["Effect"][0], "REG_SZ")

        # A stored value the user changed is what the panel shows next time.
        self.wine.run("reg", "add", "HKCU\\" + self.key, "/v", "Seconds", "/t", "REG_DWORD", "/d", "42", "/f")
        os.remove(self.trace.path)
        process, window = self.open_panel(saver)
        panel = next(line for line in self.trace.lines() if line.startswith("Panel "))
        self.assertIn("Seconds=42 Stretch=3 DisplayOrder=2", panel)
        self.display.xdotool("windowfocus", "--sync", window)
        self.display.xdotool("key", "Return")
        self.wait_exit(process)


class StoredEffect(ModeTest):
    """String values are read whole, zero bytes included: an "Effect" with a zero in it names no
    effect, so the package reading fails in every mode, and the value stays as it was stored."""

    def probe(self, *args):
        result = self.wine.run(os.path.join(harness.PATHS.win32_bin, "registry_probe.exe"), *args)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout.strip()

    def test_an_effect_with_a_zero_byte_can_not_run_and_is_left_as_stored(self):
        self.probe("write", self.key, "Effect", "010005")
        self.assertEqual(self.probe("read", self.key, "Effect"), "010005")
        saver = self.build_saver(self.manifest(ExitESC=True), files=PICTURE)
        for mode in ("/s", "/c"):
            with self.subTest(mode=mode):
                if os.path.exists(self.trace.path):
                    os.remove(self.trace.path)
                process = self.wine.start(saver, mode, trace=self.trace.path)
                self.trace.wait_for("Message box: can not run")
                box = harness.wait_until(lambda: self.display.windows("^Screen Saver$"), 30, what="the message box")
                self.display.xdotool("windowfocus", "--sync", box[0])
                self.display.xdotool("key", "Return")
                self.wait_exit(process)
                self.assertIn('Package not readable: "Effect" names effect 0', self.trace.lines())
                self.assertEqual(self.probe("read", self.key, "Effect"), "010005")


class OtherModes(ModeTest):
    def test_password_change_mode_ends_at_once(self):
        saver = self.build_saver(self.manifest(), files=PICTURE)
        process = self.wine.start(saver, "/a", "0", trace=self.trace.path)
        self.wait_exit(process, timeout=20)
        self.assertIn("Form Destroy", self.trace.lines())

    def test_a_copy_named_exe_runs_full_screen_and_only_esc_ends_it(self):
        saver = self.build_saver(self.manifest(ExitKeyboard=True, ExitMouseMove=True), files=PICTURE)
        show = os.path.join(self.dir, "Show.exe")
        shutil.copyfile(saver, show)
        process = self.wine.start(show, "/s", trace=self.trace.path)
        self.trace.wait_for("Package read")
        self.assertIn("Mode presentation", self.trace.lines())
        window = self.window("the show's window")
        harness.wait_until(lambda: self.display.geometry(window)[2:] == (self.width, self.height), 10,
                           what="the full-screen size")
        self.display.xdotool("key", "a")
        self.display.xdotool("mousemove_relative", "--", 40, 40)
        time.sleep(1.5)
        self.assertIsNone(process.poll(), "only Esc ends a presentation")
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)

    def test_a_copy_that_may_not_run_as_a_program_ends_at_once(self):
        saver = self.build_saver(self.manifest(AllowRunAsProgram=False), files=PICTURE)
        show = os.path.join(self.dir, "Show.exe")
        shutil.copyfile(saver, show)
        process = self.wine.start(show, trace=self.trace.path)
        self.wait_exit(process, timeout=20)
        self.assertIn("Presentation not allowed", self.trace.lines())


if __name__ == "__main__":
    harness.main()
