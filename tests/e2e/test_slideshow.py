"""The real saver.scr runs a slideshow of a JPEG, a PNG and an animated GIF under Wine; after each
transition the screen equals what ssrender run shows for the same saver on the simulated machine."""

import glob
import os
import subprocess

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


def difference(a, b):
    """The mean absolute difference of two pictures, in 8-bit steps."""
    out = subprocess.run(["compare", "-metric", "MAE", a, b, "null:"], capture_output=True, text=True)
    return float(out.stderr.split()[0]) / 257.0


if __name__ == "__main__":
    harness.main()
