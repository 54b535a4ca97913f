"""The real saver.scr under Wine: after Esc the exit banner shows centred at its picture's size, the
white shape with its black outline where the picture is transparent, the close glyph with its hint
at the top right; a click on the picture closes it and the program ends."""

import os
import subprocess

import harness
import uidriver

NAME = "E2E Banner"
BANNER = (51, 102, 204)


class ExitBanner(harness.WineTestCase):
    def test_the_banner_shows_centred_after_esc_and_a_click_ends_the_program(self):
        run = lambda *args: subprocess.run(["convert", *args], cwd=self.dir, check=True)
        run("-size", "64x48", "xc:#808080", "item.png")
        # 400 x 300: opaque but for a transparent frame of 10 pixels.
        run("-size", "380x280", "xc:rgb(51,102,204)", "-bordercolor", "none", "-border", "10", "PNG32:banner.png")
        manifest = {"header": {"ExitESC": True, "Seconds": 60}, "strings": {"SaverName": NAME},
                    "items": [{"file": "item.png"}], "exitBanner": {"file": "banner.png"}}
        process = self.wine.start(self.build_saver(manifest), "/s", trace=self.trace.path)
        self.trace.wait_for("Item 0 shown", 60)
        harness.wait_until(lambda: self.display.windows(f"^{NAME}$"), 30, what="the saver's window")
        self.display.xdotool("key", "Escape")

        driver = uidriver.Driver(self.wine)
        c = driver.wait_window("Exit Banner")
        self.assertEqual(c[""]["client"], [400, 300])
        self.assertEqual(c["imgBanner"]["rect"], [0, 0, 400, 300])
        self.assertEqual(c["imgClose"]["rect"], [400 - 9 - 21, 8, 21, 21])
        self.assertEqual(c["imgClose"].get("hint"), "Close")
        window = self.display.windows("^Exit Banner$")[0]
        self.assertEqual(self.display.geometry(window), (312, 234, 400, 300), "(1024 - 400) div 2, (768 - 300) div 2")
        self.assertEqual(self.display.windows(f"^{NAME}$"), [], "the saver's window has gone")

        shot = self.display.screenshot(os.path.join(self.dir, "banner.png"))
        self.assertEqual(self.display.pixel(shot, 312, 234), (0, 0, 0), "the shape's outline")
        self.assertEqual(self.display.pixel(shot, 312 + 200, 234 + 299), (0, 0, 0))
        self.assertEqual(self.display.pixel(shot, 312 + 5, 234 + 150), (255, 255, 255), "the white shape")
        self.assertEqual(self.display.pixel(shot, 512, 384), BANNER)
        self.assertEqual(self.display.pixel(shot, 312 + 370, 234 + 8), (128, 128, 128), "the close glyph's frame")
        self.assertEqual(self.display.pixel(shot, 312 + 380, 234 + 18), (0, 0, 0), "its cross")
        self.assertIsNone(process.poll(), "the program waits for the banner")

        self.display.xdotool("mousemove", 512, 384, "click", "1")
        self.wait_exit(process)
        self.assertEqual(self.trace.lines().count("Displaying exit banner"), 1)
        self.assertIn("Exit banner closed", self.trace.lines())


if __name__ == "__main__":
    harness.main()
