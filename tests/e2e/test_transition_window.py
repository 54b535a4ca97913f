"""One transition into a real window through the Windows backend: the image control shows the old
picture, and after the transition's last frame the screen shows exactly the new one."""

import os
import subprocess

import harness

WIDTH, HEIGHT = 320, 240


def write_picture(path, pixel):
    """A PNG of WIDTH x HEIGHT whose pixels are pixel(x, y) -> (r, g, b); returns the raw RGB bytes."""
    raw = bytes(c for y in range(HEIGHT) for x in range(WIDTH) for c in pixel(x, y))
    ppm = path + ".ppm"
    with open(ppm, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (WIDTH, HEIGHT) + raw)
    subprocess.run(["convert", ppm, path], check=True)
    return raw


def old_pixel(x, y):
    return ((x * 7) % 256, (y * 5) % 256, 200 if (x // 16 + y // 16) % 2 else 40)


def new_pixel(x, y):
    return (255 - (y * 3) % 256, (x * 11 + y) % 256, (x ^ y) % 256)


class TransitionWindow(harness.WineTestCase):
    def setUp(self):
        super().setUp()
        self.old = write_picture(os.path.join(self.dir, "old.png"), old_pixel)
        self.new = write_picture(os.path.join(self.dir, "new.png"), new_pixel)
        self.go = os.path.join(self.dir, "go")

    def window_pixels(self, name):
        """The screen's pixels under the window, as raw RGB bytes."""
        window = harness.wait_until(lambda: self.display.windows("^Transition Window$"), 30, what="the window")[0]
        x, y, width, height = self.display.geometry(window)
        self.assertEqual((width, height), (WIDTH, HEIGHT))
        shot = self.display.screenshot(os.path.join(self.dir, name + ".png"))
        return subprocess.run(["convert", shot, "-crop", f"{width}x{height}+{x}+{y}", "+repage", "rgb:-"],
                              check=True, capture_output=True).stdout

    def run_effect(self, effect, frames):
        program = os.path.join(harness.PATHS.win32_bin, "transition_window.exe")
        self.wine.start(program, self.wine.windows_path(os.path.join(self.dir, "old.png")),
                        self.wine.windows_path(os.path.join(self.dir, "new.png")), str(effect), str(frames),
                        self.wine.windows_path(self.go), trace=self.trace.path)
        self.trace.wait_for("Showing the old picture")
        harness.wait_until(lambda: self.window_pixels("before") == self.old, 20, what="the old picture on screen")
        open(self.go, "w").close()
        self.trace.wait_for("Transition done")
        self.assertEqual(self.window_pixels("after"), self.new, "the screen after the final frame")

    def test_door_open_copies_the_old_halves_and_ends_on_the_new_image(self):
        self.run_effect(10, 32)

    def test_line_pattern_ends_on_the_new_image(self):
        self.run_effect(45, 32)


if __name__ == "__main__":
    harness.main()
