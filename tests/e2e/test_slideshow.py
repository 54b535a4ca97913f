"""The real saver.scr runs a slideshow of a JPEG, a PNG and an animated GIF under Wine; after each
transition the screen equals what ssrender run shows for the same saver on the simulated machine."""

import glob
import os
import struct
import subprocess
import time

import harness

ITEMS = ["photo.jpg", "drawing.png", "anim.gif"]


class Slideshow(harness.WineTestCase):
    def make_pictures(self):
        run = lambda *args: subprocess.run(["convert", *args], cwd=self.dir, check=True)
        run("-size", "640x400", "gradient:#203a80-#e0a040", "photo.jpg")
        run("-size", "300x500", "xc:#30a050", "-fill", "#f0f0f0", "-draw", "rectangle 40,60 260,300", "drawing.png")
        # Three frames; the first stays long, so that the screenshot after the transition sees it.
        run("-delay", "400", "-size", "200x150", "xc:#c03030", "-delay", "50", "-size", "200x150", "xc:#3030c0",
            "-size", "200x150", "xc:#30c0c0", "-loop", "0", "anim.gif")

    def test_each_item_after_its_transition_matches_the_simulation(self):
        self.make_pictures()
        manifest = {
            "header": {"Seconds": 3, "DisplayOrder": 0, "EffectSpeed": 8, "Stretch": 2,
                       "BackgroundColor": "#102030", "BackgroundColor2": "#405060", "GradientStyle": 1,
                       "ExitMouseMove": False, "ExitMouseButton": False, "ExitKeyboard": False, "ExitESC": True},
            "strings": {"SaverName": "E2E Slideshow", "Effect": [5]},
            "items": [{"file": name} for name in ITEMS[:2]] + [{"file": ITEMS[2], "sizeMode": 0}],
        }
        saver = self.build_saver(manifest, files={})
        expected = os.path.join(self.dir, "expected")
        subprocess.run([os.path.join(harness.PATHS.linux_bin, "ssrender"), "run", saver, "--screen",
                        f"{self.width}x{self.height}", "--seconds", "12", "--out", expected], check=True,
                       stdout=subprocess.DEVNULL)
        frames = sorted(glob.glob(os.path.join(expected, "transition-*.png")))
        self.assertGreaterEqual(len(frames), 3)

        process = self.wine.start(saver, "/s", trace=self.trace.path)
        for n, frame in enumerate(frames[:3], start=1):
            harness.wait_until(lambda: self.trace.lines().count("Restart Timer") >= n, 60,
                               what=f"transition {n}")
            shot = self.display.screenshot(os.path.join(self.dir, f"wine-{n}.png"))
            self.assertLess(difference(shot, frame), 1.5, f"after transition {n} ({ITEMS[n % 3]})")
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)

    def test_a_portrait_photo_stored_on_its_side_shows_upright(self):
        """A phone's portrait photo: stored 400 x 200, left half red, with EXIF orientation 6 (a
        quarter turn clockwise to view). Upright it is 200 x 400, red above blue, centred."""
        subprocess.run(["convert", "-size", "400x200", "xc:#d02020", "-fill", "#2020d0", "-draw",
                        "rectangle 200,0 399,199", "-quality", "95", "stored.jpg"], cwd=self.dir, check=True)
        with open(os.path.join(self.dir, "stored.jpg"), "rb") as f:
            stored = f.read()
        manifest = {
            "header": {"Seconds": 3, "Stretch": 2, "BackgroundColor": "#102030", "BackgroundColor2": "#102030",
                       "ExitMouseMove": False, "ExitMouseButton": False, "ExitKeyboard": False, "ExitESC": True},
            "strings": {"SaverName": "E2E Portrait", "Effect": [5]},
            "items": [{"file": "portrait.jpg"}],
        }
        saver = self.build_saver(manifest, files={"portrait.jpg": with_orientation(stored, 6)})
        expected = os.path.join(self.dir, "expected")
        subprocess.run([os.path.join(harness.PATHS.linux_bin, "ssrender"), "run", saver, "--screen",
                        f"{self.width}x{self.height}", "--seconds", "2", "--every", "1000", "--out", expected],
                       check=True, stdout=subprocess.DEVNULL)

        process = self.wine.start(saver, "/s", trace=self.trace.path)
        self.trace.wait_for("Item 0 shown", 60)
        time.sleep(1.0)  # the first item comes at once, without a transition
        shot = self.display.screenshot(os.path.join(self.dir, "wine.png"))
        near = lambda rgb, want: all(abs(a - b) < 16 for a, b in zip(rgb, want))
        red, blue, background = (0xD0, 0x20, 0x20), (0x20, 0x20, 0xD0), (0x10, 0x20, 0x30)
        # 200 x 400 at ((1024 - 200) / 2, (768 - 400) / 2) = (412, 184).
        self.assertTrue(near(self.display.pixel(shot, 512, 200), red), self.display.pixel(shot, 512, 200))
        self.assertTrue(near(self.display.pixel(shot, 512, 570), blue), self.display.pixel(shot, 512, 570))
        for x, y in [(411, 384), (612, 384), (512, 183), (512, 584)]:
            self.assertEqual(self.display.pixel(shot, x, y), background, (x, y))
        for x, y in [(413, 384), (610, 384), (512, 186), (512, 582)]:
            self.assertNotEqual(self.display.pixel(shot, x, y), background, (x, y))
        self.assertLess(difference(shot, os.path.join(expected, "screen-0001000.png")), 1.5)
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)


def with_orientation(jpeg, orientation):
    """The JPEG with an EXIF block after its start marker giving the orientation, in the big-endian
    order cameras write."""
    ifd = struct.pack(">H", 1) + struct.pack(">HHIHH", 0x0112, 3, 1, orientation, 0) + struct.pack(">I", 0)
    block = b"Exif\0\0" + b"MM\0\x2a" + struct.pack(">I", 8) + ifd
    return jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(block) + 2) + block + jpeg[2:]


def difference(a, b):
    """The mean absolute difference of two pictures, in 8-bit steps."""
    out = subprocess.run(["compare", "-metric", "MAE", a, b, "null:"], capture_output=True, text=True)
    return float(out.stderr.split()[0]) / 257.0


if __name__ == "__main__":
    harness.main()
