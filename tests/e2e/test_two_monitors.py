"""The real saver.scr under Wine on two monitors of different sizes: a landscape main monitor and a
portrait one to its right. The saver covers each monitor edge to edge; the first item shows on both
at once, the next goes to monitor 2, the one after to the main monitor again, and each is laid out
for the size of the monitor it goes to."""

import os
import subprocess
import time

import harness
from pictures import solid_bmp

BACKGROUND = (0x10, 0x20, 0x30)
# Three items of one size in three colours, shown at their natural size, centred (size mode 2).
ITEMS = [("red.bmp", (0xD0, 0x20, 0x20)), ("blue.bmp", (0x20, 0x40, 0xD0)), ("green.bmp", (0x20, 0xB0, 0x40))]
ITEM_WIDTH, ITEM_HEIGHT = 300, 200


class TwoMonitors(harness.WineTestCase):
    width, height = 1024, 768
    second_monitor = (600, 800)

    def test_items_alternate_between_the_monitors_each_laid_out_for_its_own(self):
        manifest = {
            "header": {"Seconds": 2, "DisplayOrder": 0, "EffectSpeed": 8, "Stretch": 2,
                       "BackgroundColor": "#102030", "BackgroundColor2": "#102030",
                       "ExitMouseMove": False, "ExitMouseButton": False, "ExitKeyboard": False, "ExitESC": True},
            "strings": {"SaverName": "E2E Two Monitors", "Effect": [5]},
            "items": [{"file": name} for name, _ in ITEMS],
        }
        saver = self.build_saver(manifest, files={name: solid_bmp(ITEM_WIDTH, ITEM_HEIGHT, colour)
                                                  for name, colour in ITEMS})
        main, second = self.display.monitors
        red, blue, green = (colour for _, colour in ITEMS)

        process = self.wine.start(saver, "/s", trace=self.trace.path)
        self.trace.wait_for("Monitor 2: {},{} {}x{}".format(*second), 60)

        # The first item comes at once, without a transition, on every monitor.
        self.trace.wait_for("Item 0 shown", 60)
        screen = self.settled_screen("item-0", (main, red), (second, red))
        self.check_item(screen, main, red, "item 0 on the main monitor")
        self.check_item(screen, second, red, "item 0 on monitor 2")

        # The next tick's item goes to monitor 2, laid out for that monitor's own size.
        self.trace.wait_for("Restart Timer", 30)
        screen = self.settled_screen("item-1", (second, blue))
        self.check_item(screen, second, blue, "item 1 on monitor 2")
        self.check_item(screen, main, red, "item 0 stays on the main monitor")

        # And the one after goes to the main monitor again.
        self.trace.wait_for("Restart Timer", 30, count=2)
        screen = self.settled_screen("item-2", (main, green))
        self.check_item(screen, main, green, "item 2 on the main monitor")
        self.check_item(screen, second, blue, "item 1 stays on monitor 2")

        self.display.xdotool("key", "Escape")
        self.assertEqual(self.wait_exit(process), 0)
        self.assertEqual(self.trace.lines()[-1], "Form Destroy")

    def settled_screen(self, name, *shown):
        """A screenshot of both monitors, kept in the test's folder, taken once each (monitor, colour)
        of shown is at the centre of the item's place there, or after 10 s as the screen is then: what
        reaches the windows reaches the X server a moment later."""
        deadline = time.monotonic() + 10
        while True:
            path = self.display.screenshot(os.path.join(self.dir, name + ".png"))
            rgb = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
            screen = Screen(rgb, self.display.root_width)
            if all(self.shows(screen, monitor, colour) for monitor, colour in shown) or time.monotonic() > deadline:
                return screen
            time.sleep(0.1)

    @staticmethod
    def item_rect(monitor):
        """Where a centred item of natural size lies on the monitor, in screen coordinates."""
        left, top, width, height = monitor
        x, y = left + (width - ITEM_WIDTH) // 2, top + (height - ITEM_HEIGHT) // 2
        return x, y, x + ITEM_WIDTH, y + ITEM_HEIGHT

    def shows(self, screen, monitor, colour):
        x0, y0, x1, y1 = self.item_rect(monitor)
        return screen.at((x0 + x1) // 2, (y0 + y1) // 2) == colour

    def check_item(self, screen, monitor, colour, what):
        """The item's colour fills exactly its rectangle; the background lies just outside it."""
        x0, y0, x1, y1 = self.item_rect(monitor)
        inside = [(x0, y0), (x1 - 1, y0), (x0, y1 - 1), (x1 - 1, y1 - 1), ((x0 + x1) // 2, (y0 + y1) // 2)]
        outside = [(x0 - 1, y0), (x1, y1 - 1), (x0, y0 - 1), (x1 - 1, y1)]
        self.assertEqual([screen.at(x, y) for x, y in inside], [colour] * len(inside), f"{what}: inside {inside}")
        self.assertEqual([screen.at(x, y) for x, y in outside], [BACKGROUND] * len(outside),
                         f"{what}: just outside {outside}")
        self.check_corners(screen, monitor, what)

    def check_corners(self, screen, monitor, what):
        left, top, width, height = monitor
        corners = [(left, top), (left + width - 1, top), (left, top + height - 1), (left + width - 1, top + height - 1)]
        self.assertEqual([screen.at(x, y) for x, y in corners], [BACKGROUND] * 4, f"{what}: the monitor's corners")


class Screen:
    """The pixels of a screenshot."""

    def __init__(self, rgb, width):
        self.rgb, self.width = rgb, width

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])


if __name__ == "__main__":
    harness.main()
