"""The real saver.scr shows the pictures phones and the web make, under Wine: a HEIC in tiles as
phones write it, an AVIF stored on its side, a JPEG with a Display P3 profile, a WebP and an
animated WebP. After each transition the screen equals what ssrender run shows for the same saver
on the simulated machine, and the turn and the colour conversion are checked by their own pixels.
A phone's 48-megapixel HEIC in tiles, beyond the pixel cap, shows reduced to the screen."""

import glob
import os
import subprocess
import time

import harness
import pictures
from test_slideshow import difference

ITEMS = ["tiled.heic", "turned.avif", "p3.jpg", "still.webp", "anim.webp"]
BACKGROUND = (0x10, 0x20, 0x30)


class PhonePictures(harness.WineTestCase):
    def run_tool(self, *args):
        subprocess.run(args, cwd=self.dir, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def make_pictures(self):
        self.run_tool("convert", "-size", "700x500", "gradient:#2050c0-#f0c040", "-fill", "#f0f0f0", "-draw",
                      "rectangle 100,100 300,400", "tiled.png")
        self.run_tool(os.path.join(harness.PATHS.linux_bin, "make_tiled_heic"), "tiled.png", "tiled.heic", "256")
        # Stored 400 x 200, red on the left, blue on the right, to be turned a quarter anticlockwise:
        # upright 200 x 400 with blue above red.
        self.run_tool("convert", "-size", "400x200", "xc:#d02020", "-fill", "#2020d0", "-draw",
                      "rectangle 200,0 399,199", "stored.png")
        self.run_tool("avifenc", "--min", "0", "--max", "10", "--irot", "1", "stored.png", "turned.avif")
        with open(os.path.join(self.dir, "p3.icc"), "wb") as f:
            f.write(pictures.display_p3_profile())
        self.run_tool("convert", "-size", "300x300", "xc:rgb(200,100,50)", "-quality", "95", "-profile", "p3.icc",
                      "p3.jpg")
        self.run_tool("convert", "-size", "500x300", "gradient:#30a050-#f0f0f0", "still.png")
        self.run_tool("cwebp", "-q", "90", "still.png", "-o", "still.webp")
        for n, colour in enumerate(["#c03030", "#3030c0", "#30c0c0"]):
            self.run_tool("convert", "-size", "200x150", f"xc:{colour}", f"frame{n}.png")
        # The first frame stays long, so that the screenshot after the transition sees it.
        self.run_tool("img2webp", "-loop", "0", "-lossless", "-d", "4000", "frame0.png", "-d", "500", "frame1.png",
                      "frame2.png", "-o", "anim.webp")

    def test_each_picture_after_its_transition_matches_the_simulation(self):
        self.make_pictures()
        manifest = {
            "header": {"Seconds": 3, "DisplayOrder": 0, "EffectSpeed": 8, "Stretch": 2,
                       "BackgroundColor": "#102030", "BackgroundColor2": "#102030",
                       "ExitMouseMove": False, "ExitMouseButton": False, "ExitKeyboard": False, "ExitESC": True},
            "strings": {"SaverName": "E2E Phone Pictures", "Effect": [5]},
            "items": [{"file": name} for name in ITEMS[:-1]] + [{"file": ITEMS[-1], "sizeMode": 0}],
        }
        saver = self.build_saver(manifest, files={})
        expected = os.path.join(self.dir, "expected")
        subprocess.run([os.path.join(harness.PATHS.linux_bin, "ssrender"), "run", saver, "--screen",
                        f"{self.width}x{self.height}", "--seconds", "18", "--out", expected], check=True,
                       stdout=subprocess.DEVNULL)
        frames = sorted(glob.glob(os.path.join(expected, "transition-*.png")))
        self.assertGreaterEqual(len(frames), len(ITEMS) - 1)

        process = self.wine.start(saver, "/s", trace=self.trace.path)
        self.trace.wait_for("Item 0 shown", 60)
        time.sleep(1.0)  # the first item comes at once, without a transition
        shots = {0: self.display.screenshot(os.path.join(self.dir, "wine-0.png"))}
        for n, frame in enumerate(frames[:len(ITEMS) - 1], start=1):
            harness.wait_until(lambda: self.trace.lines().count("Restart Timer") >= n, 60,
                               what=f"transition {n}")
            shots[n] = self.display.screenshot(os.path.join(self.dir, f"wine-{n}.png"))
            self.assertLess(difference(shots[n], frame), 1.5, f"after transition {n} ({ITEMS[n % len(ITEMS)]})")
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)

        near = lambda rgb, want: all(abs(a - b) < 20 for a, b in zip(rgb, want))
        # The AVIF upright, 200 x 400, centred: blue above, red below.
        turned = shots[1]
        self.assertTrue(near(self.display.pixel(turned, 512, 284), (0x20, 0x20, 0xD0)),
                        self.display.pixel(turned, 512, 284))
        self.assertTrue(near(self.display.pixel(turned, 512, 484), (0xD0, 0x20, 0x20)),
                        self.display.pixel(turned, 512, 484))
        self.assertEqual(self.display.pixel(turned, 411, 384), BACKGROUND)
        self.assertEqual(self.display.pixel(turned, 512, 183), BACKGROUND)
        # Display P3 (200, 100, 50) is sRGB (215, 93, 31), as a colour-managed viewer shows it.
        converted = self.display.pixel(shots[2], 512, 384)
        self.assertTrue(near(converted, (215, 93, 31)) and abs(converted[2] - 50) > 10, converted)

    def test_a_48_megapixel_photo_in_tiles_shows_reduced_to_the_screen(self):
        # 8064 x 6016 in tiles of 512, as a phone's largest photographs: beyond the pixel cap, so it
        # is decoded tile by tile into a picture the size of the screen. Quadrants of four colours.
        quadrants = [(0xC0, 0x30, 0x30), (0x30, 0x30, 0xC0), (0x30, 0xC0, 0x30), (0xF0, 0xF0, 0xF0)]
        draw = []
        for n, (r, g, b) in enumerate(quadrants[1:], start=1):
            left, top = (63, 0) if n == 1 else (0, 47) if n == 2 else (63, 47)
            draw += ["-fill", f"rgb({r},{g},{b})", "-draw", f"rectangle {left},{top} {left + 62},{top + 46}"]
        self.run_tool("convert", "-size", "126x94", "xc:rgb(%d,%d,%d)" % quadrants[0], *draw, "max.png")
        self.run_tool(os.path.join(harness.PATHS.linux_bin, "make_tiled_heic"), "max.png", "max.heic", "512", "64")
        manifest = {
            "header": {"Seconds": 30, "DisplayOrder": 0, "EffectSpeed": 8, "Stretch": 0,
                       "BackgroundColor": "#102030", "BackgroundColor2": "#102030",
                       "ExitMouseMove": False, "ExitMouseButton": False, "ExitKeyboard": False, "ExitESC": True},
            "strings": {"SaverName": "E2E Phone Max", "Effect": [5]},
            "items": [{"file": "max.heic"}],
        }
        saver = self.build_saver(manifest, files={})
        process = self.wine.start(saver, "/s", trace=self.trace.path)
        self.trace.wait_for("Item 0 shown", 120)
        time.sleep(1.0)
        shot = self.display.screenshot(os.path.join(self.dir, "wine-max.png"))
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)

        decoded = [line for line in self.trace.lines() if "Item 0 decoded at" in line]
        self.assertTrue(decoded, "the trace shows no reduced decoding")
        near = lambda rgb, want: all(abs(a - b) < 12 for a, b in zip(rgb, want))
        # Resized to fit, 1024 x 764 in the middle: each quadrant's middle in its colour.
        for (x, y), want in zip([(256, 192), (768, 192), (256, 576), (768, 576)], quadrants):
            seen = self.display.pixel(shot, x, y)
            self.assertTrue(near(seen, want), f"({x}, {y}): {seen}, not {want}")


if __name__ == "__main__":
    harness.main()
