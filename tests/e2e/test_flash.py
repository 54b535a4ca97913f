"""Flash items in the real saver.scr under Wine, with our own control standing in for the player: a
package that carries it installs and registers it in a fresh prefix under the player's class id and
ProgID, the saver creates it by that class id, the movie shows in the panel of
its size mode, the item hands back when the movie ends, and a right click never reaches the control.
Without the control the movies are skipped; a control that misbehaves never stops the slideshow."""

import os
import struct
import subprocess
import time
import zlib

import harness

CLASS_ID = "{D27CDB6E-AE6D-11cf-96B8-444553540000}"  # the system's Flash player control
CLASS_KEY = "CLSID\\" + CLASS_ID + "\\InprocServer32"
PROG_ID = "ShockwaveFlash.ShockwaveFlash"
MOVIE = (0x33, 0x66, 0x99)
BACKGROUND = (0x10, 0x20, 0x30)
STILL = (0xC0, 0x30, 0x30)


def swf(width, height, seconds, rgb, compressed=False):
    """A movie of width x height pixels, 25 frames a second for the given seconds, with a background tag."""
    x_max, y_max = width * 20, height * 20
    bits = max(x_max, y_max).bit_length() + 1  # the format's fields are signed
    fields = "{:05b}".format(bits) + "".join("{:0{}b}".format(v, bits) for v in (0, x_max, 0, y_max))
    fields += "0" * (-len(fields) % 8)
    frames = 25 * seconds
    body = int(fields, 2).to_bytes(len(fields) // 8, "big") + struct.pack("<HH", 25 * 256, frames)
    body += struct.pack("<H", 9 << 6 | 3) + bytes(rgb)
    body += struct.pack("<H", 1 << 6) * frames + struct.pack("<H", 0)
    header = (b"CWS" if compressed else b"FWS") + bytes([6]) + struct.pack("<I", 8 + len(body))
    return header + (zlib.compress(body) if compressed else body)


class FlashItems(harness.WineTestCase):
    def setUp(self):
        super().setUp()  # the test's own prefix: a system where the control is not registered
        self.log = os.path.join(self.dir, "control.txt")

    def control_dll(self):
        with open(os.path.join(harness.PATHS.win32_bin, "flash_control.dll"), "rb") as f:
            return f.read()

    def build(self, items, header=None, player=None, seconds=2):
        """A saver of the movie (550 x 400, the given seconds) and a still picture, items as manifest entries."""
        subprocess.run(["convert", "-size", "200x150", "xc:#c03030", os.path.join(self.dir, "still.png")], check=True)
        manifest = {
            "header": dict({"Seconds": 30, "Stretch": 2, "EffectSpeed": 10, "BackgroundColor": "#102030",
                            "BackgroundColor2": "#102030", "ExitMouseMove": False, "ExitMouseButton": False,
                            "ExitKeyboard": False, "ExitESC": True}, **(header or {})),
            "strings": {"SaverName": "E2E Flash", "Effect": [115]},
            "items": items,
        }
        files = {"movie.swf": swf(550, 400, seconds, MOVIE)}
        if player is not None:
            files["player.ocx"] = player
            manifest["flashPlayer"] = {"file": "player.ocx"}
        return self.build_saver(manifest, files=files)

    def start(self, saver, fault=None):
        env = {"FLASH_CONTROL_LOG": self.wine.windows_path(self.log)}
        if fault:
            env["FLASH_CONTROL_FAULT"] = fault
        return self.wine.start(saver, "/s", trace=self.trace.path, env=env)

    def control_log(self):
        try:
            with open(self.log, encoding="latin-1") as f:
                return [line.split(None, 1)[1].rstrip("\n") for line in f if " " in line.strip()]
        except FileNotFoundError:
            return []

    def shown_at(self, item):
        """The trace's tick count of the line saying that the item is shown."""
        path = self.trace.path
        with open(path, encoding="latin-1") as f:
            for line in f:
                tick, text = line.split(None, 1)
                if text.strip() == f"Item {item} shown":
                    return int(tick)
        raise AssertionError(f"item {item} was not shown")

    def end(self, process):
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)

    def screenshot_of(self, item):
        self.trace.wait_for(f"Item {item} shown", 60)
        time.sleep(0.4)  # the control paints its window
        return self.display.screenshot(os.path.join(self.dir, f"item-{item}.png"))

    def assert_panel(self, shot, rect, what):
        """The movie's colour fills exactly the visible part of rect (left, top, right, bottom)."""
        left, top, right, bottom = rect[0], rect[1], min(rect[2], self.width), min(rect[3], self.height)
        for x, y in ((left, top), (right - 1, top), (left, bottom - 1), (right - 1, bottom - 1)):
            self.assertEqual(self.display.pixel(shot, x, y), MOVIE, f"{what}: inside at {x},{y}")
        outside = [(left - 1, top), (right, bottom - 1), (left, top - 1), (right - 1, bottom)]
        for x, y in outside:
            if 0 <= x < self.width and 0 <= y < self.height:
                self.assertEqual(self.display.pixel(shot, x, y), BACKGROUND, f"{what}: outside at {x},{y}")

    def test_the_packaged_control_is_installed_then_shows_each_mode_and_hands_back_at_the_end(self):
        ocx = os.path.join(self.wine.system_folder(), "FLASH.OCX")
        self.assertFalse(os.path.exists(ocx))
        self.assertIsNone(self.wine.reg_query(CLASS_KEY, hive="HKCR"))
        self.assertIsNone(self.wine.reg_query(PROG_ID, hive="HKCR"))
        modes = [0, 1, 2]
        items = [{"file": "movie.swf", "sizeMode": m, "duration": -1} for m in modes] + [{"file": "still.png"}]
        process = self.start(self.build(items, player=self.control_dll()))

        # Mode 0: the fit of 551 x 401 grown by one pixel each way; mode 1: the screen; mode 2: 551 x 401 centred.
        panels = {0: (0, 11, 1025, 757), 1: (0, 0, 1024, 768), 2: (237, 184, 788, 585)}
        for item, mode in enumerate(modes):
            self.assert_panel(self.screenshot_of(item), panels[mode], f"mode {mode}")
        self.trace.wait_for("Item 3 shown", 30)
        self.end(process)

        lines = self.trace.lines()
        self.assertIn("Flash player missing", lines)
        for item in range(3):
            # Each movie lasts 2 s; the poll sees its end within 100 ms, and loading takes a little.
            took = self.shown_at(item + 1) - self.shown_at(item)
            self.assertGreaterEqual(took, 2000, f"item {item}")
            self.assertLess(took, 2500, f"item {item}")
        self.assertEqual(lines.count("Flash movie ended"), 3)

        with open(ocx, "rb") as f:
            self.assertEqual(f.read(), self.control_dll())
        server = self.wine.reg_query(CLASS_KEY, hive="HKCR")
        self.assertIsNotNone(server)
        self.assertEqual(server["(Default)"][1].lower(), r"c:\windows\system32\flash.ocx")
        # Found by its ProgID as by its class id, as the player's own registration has it.
        by_name = self.wine.reg_query(PROG_ID + "\\CLSID", hive="HKCR")
        self.assertEqual(by_name["(Default)"][1].upper(), CLASS_ID.upper())
        named = self.wine.reg_query("CLSID\\" + CLASS_ID + "\\ProgID", hive="HKCR")
        self.assertEqual(named["(Default)"][1], PROG_ID)
        log = self.control_log()
        self.assertIn("DllRegisterServer", log)
        self.assertIn("header 11000 8000 rate 6400 frames 50 background 336699", log)
        self.assertEqual(log.count("Play"), 3)
        self.assertIn("SetObjectRects 0,0,1025,746", log)
        self.assertIn("SetObjectRects 0,0,551,401", log)
        self.assertIn("Menu 0", log)
        self.assertIn("Movie none", log)

    def test_a_right_click_never_reaches_the_control(self):
        process = self.start(self.build([{"file": "movie.swf", "sizeMode": 1}], player=self.control_dll(), seconds=20))
        self.screenshot_of(0)
        self.display.xdotool("mousemove", 512, 384, "click", 1)
        harness.wait_until(lambda: "mouse WM_LBUTTONUP" in self.control_log(), 10, what="the left click")
        self.display.xdotool("click", 3)
        harness.wait_until(lambda: "mouse WM_RBUTTONUP" in self.control_log(), 10, what="the right button's release")
        self.assertIsNone(process.poll(), "clicks do not end this saver")
        self.end(process)
        log = self.control_log()
        self.assertIn("mouse WM_LBUTTONDOWN", log)
        self.assertNotIn("mouse WM_RBUTTONDOWN", log)

    def test_without_the_control_or_a_player_in_the_package_movies_are_skipped(self):
        items = [{"file": "still.png"}, {"file": "movie.swf"}, {"file": "still.png", "sizeMode": 1}]
        process = self.start(self.build(items, header={"Seconds": 1}))
        self.trace.wait_for("Item 2 shown", 30)
        self.assertEqual(self.display.windows("^Screen Saver$"), [], "no message")
        self.end(process)
        self.assertIn("Item 1 skipped: the player control cannot be created (0x80040154)", self.trace.lines())
        self.assertFalse(os.path.exists(os.path.join(self.wine.system_folder(), "FLASH.OCX")))

    def test_a_control_that_raises_fails_or_never_stops_does_not_stop_the_slideshow(self):
        saver = self.build([{"file": "movie.swf", "duration": 2}, {"file": "still.png"}], header={"Seconds": 1},
                           player=self.control_dll())
        process = self.start(saver, fault="throw")
        self.trace.wait_for("Item 1 shown", 30)
        self.end(process)
        self.assertIn("Item 0 skipped: Menu raised an exception: the test control refuses", self.trace.lines())

        os.remove(self.trace.path)
        process = self.start(saver, fault="fail")
        self.trace.wait_for("Item 1 shown", 30)
        self.end(process)
        self.assertIn("Item 0 skipped: Menu cannot be set (0x80004005)", self.trace.lines())

        os.remove(self.trace.path)
        process = self.start(saver, fault="endless")
        self.trace.wait_for("Item 1 shown", 30)
        self.end(process)
        took = self.shown_at(1) - self.shown_at(0)
        self.assertGreaterEqual(took, 2000)
        self.assertLess(took, 2500, "the item's own 2 s end a movie that never stops")
        self.assertNotIn("Flash movie ended", self.trace.lines())

    def test_a_player_that_does_not_register_gives_both_messages(self):
        process = self.start(self.build([{"file": "movie.swf"}], player=os.urandom(4096)))
        for text in ("unable to register", "unable to find"):
            self.trace.wait_for(f"Message box: {text} the Flash player", 60)
            box = harness.wait_until(lambda: self.display.windows("."), 30, what=f"the message box: {text}")
            self.display.xdotool("windowfocus", "--sync", box[0])
            self.display.xdotool("key", "Return")
        self.wait_exit(process)
        self.assertTrue(os.path.exists(os.path.join(self.wine.system_folder(), "FLASH.OCX")))
        self.assertIsNone(self.wine.reg_query(CLASS_KEY, hive="HKCR"))
        self.assertIsNone(self.wine.reg_query(PROG_ID, hive="HKCR"))


if __name__ == "__main__":
    harness.main()
