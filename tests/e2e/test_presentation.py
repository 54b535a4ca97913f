"""The real saver.scr as a presentation (a copy named ".exe") under Wine: a mouse move brings its
panel up at the bottom of the screen, at 96 and 144 pixels an inch, with its hints as tooltips; its
buttons, clicked through the test driver, and a click beside the panel steer the show, and Esc still
ends it after a button disabled itself; a movie that starts while the panel shows plays beneath it."""

import os
import subprocess
import time

import harness
import uidriver

NAME = "E2E Show"
COLOURS = [(192, 48, 48), (48, 160, 64), (48, 80, 208)]
BUTTONS = [("btnPlay", "&Play", "Play"), ("btnPause", "P&ause", "Pause"), ("btnBack", "&Back", "Back"),
           ("btnNext", "&Next", "Next"), ("btnClose", "&Close", "Close")]


class Presentation(harness.WineTestCase):
    def setUp(self):
        super().setUp()
        self.driver = uidriver.Driver(self.wine)
        for i, (r, g, b) in enumerate(COLOURS):
            item = os.path.join(self.dir, f"item{i}.png")
            subprocess.run(["convert", "-size", "64x48", f"xc:rgb({r},{g},{b})", item], check=True)

    def start(self, seconds, dpi=96):
        """The show, stretched over the screen, without transitions."""
        manifest = {"header": {"Seconds": seconds, "Stretch": 1, "ExitESC": True},
                    "strings": {"SaverName": NAME, "Effect": []},
                    "items": [{"file": f"item{i}.png"} for i in range(len(COLOURS))]}
        show = self.build_saver(manifest, name="show.exe")
        self.wine.run("reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                      str(dpi), "/f")
        self.display.xdotool("mousemove", 512, 384)
        process = self.wine.start(show, trace=self.trace.path)
        self.trace.wait_for("Item 0 shown", 60)
        self.driver.wait_window(NAME)
        return process

    def items_shown(self):
        return [line for line in self.trace.lines() if line.startswith("Item ") and line.endswith(" shown")]

    def colour(self):
        """What the screen shows away from the panel."""
        return tuple(self.display.rgb()[(100 * self.width + 100) * 3:][:3])

    def panel_on_screen(self, name):
        """The rectangle of everything on the screen that is not the item's colour, and the screenshot."""
        shot = self.display.screenshot(os.path.join(self.dir, name))
        rgb = self.display.rgb()
        item = tuple(rgb[:3])
        left, top, right, bottom = self.width, self.height, -1, -1
        for y in range(self.height // 2, self.height):
            row = rgb[y * self.width * 3:(y + 1) * self.width * 3]
            xs = [x for x in range(self.width) if tuple(row[x * 3:x * 3 + 3]) != item]
            if xs:
                left, right = min(left, xs[0]), max(right, xs[-1])
                top, bottom = min(top, y), y
        if right < 0:
            return None, shot
        return [left, top, right - left + 1, bottom - top + 1], shot

    def test_the_panel_comes_up_at_its_place_after_a_mouse_move(self):
        for dpi, expected in ((96, [415, 707, 193, 41]), (144, [367, 676, 290, 62])):
            process = self.start(60, dpi)
            c = self.driver.controls(NAME)
            self.assertFalse(c["PresPanel"]["visible"], "hidden at start")
            self.assertEqual(self.panel_on_screen(f"before-{dpi}.png")[0], None)

            self.display.xdotool("mousemove", 100, 100)
            harness.wait_until(lambda: self.driver.controls(NAME)["PresPanel"]["visible"], 10, what="the panel")
            time.sleep(0.5)
            rect, shot = self.panel_on_screen(f"panel-{dpi}.png")
            self.assertEqual(rect, expected, f"at {dpi}: centred, 20 pixels (scaled) above the bottom")
            # A raised inner bevel: lighter than the face at the top left, darker at the bottom right.
            x, y, w, h = rect
            face = self.display.pixel(shot, x + 2, y + 1)
            self.assertGreater(sum(self.display.pixel(shot, x, y)), sum(face))
            self.assertLess(sum(self.display.pixel(shot, x + w - 1, y + h - 1)), sum(face))

            c = self.driver.controls(NAME)
            self.assertEqual(c["PresPanel"]["rect"], expected)
            step, side = (38, 35) if dpi == 96 else (57, 53)
            for i, (name, caption, hint) in enumerate(BUTTONS):
                self.assertEqual(c[name]["caption"], caption)
                self.assertEqual(c[name].get("hint"), hint)
                margin = (3 * dpi + 48) // 96
                self.assertEqual(c[name]["rect"], [expected[0] + margin + i * step, expected[1] + margin, side, side],
                                 f"{name} at {dpi}")
            self.assertFalse(c["btnPlay"]["enabled"])
            self.assertTrue(c["btnPause"]["enabled"])

            # Resting on a button shows its hint.
            bx, by, bw, bh = c["btnNext"]["rect"]
            self.display.xdotool("mousemove", bx + bw // 2, by + bh // 2)
            harness.wait_until(lambda: '"Next" "tooltips_class32"' in self.driver.run("windows"), 10,
                               what="the tooltip")
            self.display.screenshot(os.path.join(self.dir, f"tooltip-{dpi}.png"))

            self.display.xdotool("key", "Escape")
            self.wait_exit(process)

    def test_the_buttons_and_a_click_beside_the_panel_steer_the_show(self):
        process = self.start(1)
        self.display.xdotool("mousemove", 100, 100)
        harness.wait_until(lambda: self.driver.controls(NAME)["PresPanel"]["visible"], 10, what="the panel")

        self.driver.click(NAME, "btnPause")
        self.trace.wait_for("ActPause")
        c = self.driver.controls(NAME)
        self.assertTrue(c["btnPlay"]["enabled"])
        self.assertFalse(c["btnPause"]["enabled"])
        self.assertNotIn("ActNext", self.trace.lines(), "a click on the panel does not advance")
        paused = self.items_shown()
        shown = COLOURS[int(paused[-1].split()[1])]
        self.assertEqual(self.colour(), shown)

        # Beside the panel a real click shows the next item; the panel's buttons step on and back.
        def step(act, item, count):
            act()
            self.trace.wait_for(f"Item {item} shown", count=count)
            time.sleep(0.3)
            self.assertEqual(self.colour(), COLOURS[item], f"item {item}")

        last = int(paused[-1].split()[1])
        counts = {i: sum(line == f"Item {i} shown" for line in paused) for i in range(3)}

        def expect(item):
            counts[item] += 1
            return item, counts[item]

        step(lambda: self.display.xdotool("mousemove", 300, 300, "click", "1"), *expect((last + 1) % 3))
        step(lambda: self.driver.click(NAME, "btnNext"), *expect((last + 2) % 3))
        step(lambda: self.driver.click(NAME, "btnBack"), *expect((last + 1) % 3))
        held = len(self.items_shown())
        time.sleep(2.5)  # more than two display times of a playing show
        self.assertEqual(len(self.items_shown()), held, "paused: nothing follows on its own")

        self.driver.click(NAME, "btnPlay")
        self.trace.wait_for("ActPlay")
        harness.wait_until(lambda: len(self.items_shown()) >= held + 2, 20, what="the show playing on")
        c = self.driver.controls(NAME)
        self.assertFalse(c["btnPlay"]["enabled"])
        self.assertTrue(c["btnPause"]["enabled"])

        self.driver.click(NAME, "btnClose")
        self.wait_exit(process)
        self.assertIn("Form CLose", self.trace.lines())

    def test_esc_ends_the_show_after_a_click_on_a_button_that_disables_itself(self):
        process = self.start(60)
        self.display.xdotool("mousemove", 100, 100)
        harness.wait_until(lambda: self.driver.controls(NAME)["PresPanel"]["visible"], 10, what="the panel")
        # A real click gives Pause the focus, and Pause disables itself.
        x, y, w, h = self.driver.controls(NAME)["btnPause"]["rect"]
        self.display.xdotool("mousemove", x + w // 2, y + h // 2, "click", "1")
        self.trace.wait_for("ActPause")
        time.sleep(0.3)
        self.display.xdotool("key", "Escape")
        self.wait_exit(process, timeout=10)
        self.assertIn("Form CLose", self.trace.lines())

    def test_a_movie_that_starts_while_the_panel_shows_plays_beneath_it(self):
        movie_colour = (0x20, 0xC0, 0x40)
        # Uncompressed 32-bit frames stored bottom-up, which Wine's movie device draws as they are.
        source = "color=c=0x{:02X}{:02X}{:02X}:size=160x120:rate=5:duration=8,format=bgra".format(*movie_colour)
        subprocess.run(["ffmpeg", "-loglevel", "error", "-f", "lavfi", "-i", source, "-c:v", "rawvideo",
                        "-pix_fmt", "bgra", "-flipped_raw_rgb", "1", os.path.join(self.dir, "movie.avi")], check=True)
        manifest = {"header": {"Seconds": 8, "Stretch": 1, "ExitESC": True},
                    "strings": {"SaverName": NAME, "Effect": []},
                    "items": [{"file": "item0.png"}, {"file": "movie.avi"}]}
        show = self.build_saver(manifest, name="show.exe")
        self.display.xdotool("mousemove", 512, 384)
        process = self.wine.start(show, trace=self.trace.path)
        self.trace.wait_for("Item 0 shown", 60)
        self.driver.wait_window(NAME)
        # The pointer comes to rest on the panel's edge, beside its buttons: the panel stays up and
        # nothing moves any more.
        left, top, width, height = 415, 707, 193, 41
        self.display.xdotool("mousemove", left + 1, top + 1)
        harness.wait_until(lambda: self.driver.controls(NAME)["PresPanel"]["visible"], 10, what="the panel")
        self.assertNotIn("Item 1 shown", self.trace.lines(), "the panel came up before the movie")
        self.trace.wait_for("Item 1 shown", 30)
        time.sleep(1.5)
        self.assertIsNone(process.poll())
        self.display.screenshot(os.path.join(self.dir, "movie-under-panel.png"))
        rgb = self.display.rgb()
        self.assertEqual(tuple(rgb[(100 * self.width + 100) * 3:][:3]), movie_colour, "the movie plays")
        covered = [(x, y) for y in range(top, top + height) for x in range(left, left + width)
                   if tuple(rgb[(y * self.width + x) * 3:][:3]) == movie_colour]
        self.assertEqual(covered[:5], [], "the panel's buttons show over the movie")
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)


if __name__ == "__main__":
    harness.main()
