"""The real saver.scr under Wine on two monitors of different sizes: a landscape main monitor and a
portrait one to its right. The saver covers each monitor edge to edge; the first item shows on both
at once, the next goes to monitor 2, the one after to the main monitor again, and each is laid out
for the size of the monitor it goes to. When monitor 2 is switched off in the display settings while
the saver runs, its window closes, a transition running on it is cut short, and every item from then
on comes on the main monitor."""

import os
import re
import subprocess
import time

import harness
from pictures import solid_bmp

BACKGROUND = (0x10, 0x20, 0x30)
# Three items of one size in three colours, shown at their natural size, centred (size mode 2).
ITEMS = [("red.bmp", (0xD0, 0x20, 0x20)), ("blue.bmp", (0x20, 0x40, 0xD0)), ("green.bmp", (0x20, 0xB0, 0x40))]
ITEM_WIDTH, ITEM_HEIGHT = 300, 200
RED, BLUE, GREEN = (colour for _, colour in ITEMS)


class TwoMonitors(harness.WineTestCase):
    width, height = 1024, 768
    second_monitor = (600, 800)

    def test_items_alternate_between_the_monitors_each_laid_out_for_its_own(self):
        saver = self.build_three_items()
        main, second = self.display.monitors

        process = self.wine.start(saver, "/s", trace=self.trace.path)
        self.trace.wait_for("Monitor 2: {},{} {}x{}".format(*second), 60)

        # The first item comes at once, without a transition, on every monitor.
        self.trace.wait_for("Item 0 shown", 60)
        screen = self.settled_screen("item-0", (main, RED), (second, RED))
        self.check_item(screen, main, RED, "item 0 on the main monitor")
        self.check_item(screen, second, RED, "item 0 on monitor 2")

        # The next tick's item goes to monitor 2, laid out for that monitor's own size.
        self.trace.wait_for("Restart Timer", 30)
        screen = self.settled_screen("item-1", (second, BLUE))
        self.check_item(screen, second, BLUE, "item 1 on monitor 2")
        self.check_item(screen, main, RED, "item 0 stays on the main monitor")

        # And the one after goes to the main monitor again.
        self.trace.wait_for("Restart Timer", 30, count=2)
        screen = self.settled_screen("item-2", (main, GREEN))
        self.check_item(screen, main, GREEN, "item 2 on the main monitor")
        self.check_item(screen, second, BLUE, "item 1 stays on monitor 2")

        self.display.xdotool("key", "Escape")
        self.assertEqual(self.wait_exit(process), 0)
        self.assertEqual(self.trace.lines()[-1], "Form Destroy")

    def test_a_monitor_switched_off_loses_its_window_and_the_main_monitor_takes_every_item(self):
        saver = self.build_three_items()
        main, second = self.display.monitors
        process = self.wine.start(saver, "/s", trace=self.trace.path)
        self.trace.wait_for("Monitor 2: {},{} {}x{}".format(*second), 60)

        # Item 1 has come to monitor 2 and its transition has ended.
        self.trace.wait_for("Restart Timer", 60)
        self.check_item(self.settled_screen("item-1", (second, BLUE)), second, BLUE, "item 1 on monitor 2")
        self.assertEqual(len(self.windows_over(second)), 1, "one window over monitor 2")

        result = self.wine.run(self.monitor_off_program(), "{},{}".format(*second[:2]))
        self.assertEqual((result.returncode, result.stdout.strip()), (0, r"\\.\DISPLAY2 off"), result.stderr)
        self.trace.wait_for("Monitor 2 gone", 30)
        self.assertEqual(self.windows_over(second), [], "the window over monitor 2 is closed")

        self.check_items_go_to_the_main_monitor(main)
        self.check_ends_on_escape(process)

    def test_a_monitor_switched_off_during_its_transition_cuts_the_transition_short(self):
        # Item 1, which goes to monitor 2, comes in 600 frames, for seconds; the others at once.
        saver = self.build_three_items(slow=1)
        main, second = self.display.monitors
        process = self.wine.start(saver, "/s", trace=self.trace.path)
        self.trace.wait_for("Monitor 2: {},{} {}x{}".format(*second), 60)
        # Started ahead, the program switches the monitor off as soon as it is told.
        switch = self.wine.start(self.monitor_off_program(), "{},{}".format(*second[:2]), "wait",
                                 stdin=subprocess.PIPE, output=os.path.join(self.dir, "monitor_off.txt"))
        harness.wait_until(lambda: "waiting" in self.read("monitor_off.txt") or switch.poll() is not None, 30,
                           what="the program that switches the monitor off")
        self.assertIsNone(switch.poll(), self.read("monitor_off.txt"))

        self.trace.wait_for("Item 1 shown", 60)
        switch.stdin.write(b"\n")
        switch.stdin.close()
        self.assertEqual(switch.wait(timeout=30), 0, self.read("monitor_off.txt"))
        self.trace.wait_for("Monitor 2 gone", 30)
        self.trace.wait_for("Restart Timer", 30)
        self.assertEqual(self.windows_over(second), [], "the window over monitor 2 is closed")
        # The monitor went while item 1's transition ran there, and the transition ended with it:
        # its 600 frames, 9 ms apart at the least, would have taken over 5 s.
        ticks = self.trace_ticks()
        self.assertLess(ticks["Item 1 shown"], ticks["Monitor 2 gone"])
        self.assertLess(ticks["Monitor 2 gone"], ticks["Restart Timer"])
        self.assertLess(ticks["Restart Timer"] - ticks["Item 1 shown"], 599 * 9, "the transition is cut short")

        self.check_items_go_to_the_main_monitor(main)
        self.check_ends_on_escape(process)

    def build_three_items(self, slow=None):
        """The saver of ITEMS shown at their natural size, centred, one every 2 s; with slow, item 1
        has its own transition at that speed."""
        items = [{"file": name} for name, _ in ITEMS]
        if slow:
            items[1].update({"effects": [5], "effectSpeed": slow})
        manifest = {
            "header": {"Seconds": 2, "DisplayOrder": 0, "EffectSpeed": 8, "Stretch": 2,
                       "BackgroundColor": "#102030", "BackgroundColor2": "#102030",
                       "ExitMouseMove": False, "ExitMouseButton": False, "ExitKeyboard": False, "ExitESC": True},
            "strings": {"SaverName": "E2E Two Monitors", "Effect": [5]},
            "items": items,
        }
        return self.build_saver(manifest, files={name: solid_bmp(ITEM_WIDTH, ITEM_HEIGHT, colour)
                                                 for name, colour in ITEMS})

    @staticmethod
    def monitor_off_program():
        """Switches a monitor off through the display settings, as a user would. An output switched
        off behind Wine's back (xrandr --off) leaves the monitor list of Wine 8 up to date, but no
        window hears of it: Wine sends WM_DISPLAYCHANGE only for its own display settings."""
        return os.path.join(harness.PATHS.win32_bin, "monitor_off.exe")

    def read(self, name):
        with open(os.path.join(self.dir, name), errors="replace") as f:
            return f.read()

    def check_items_go_to_the_main_monitor(self, main):
        """The next two items after the monitor went both come on the main monitor, each in turn; with
        two monitors the second of them would have gone to monitor 2."""
        gone = self.trace.lines().index("Monitor 2 gone")
        for n in (1, 2):
            shown = harness.wait_until(lambda: self.items_settled(gone)[n - 1:], 30,
                                       what=f"item {n} after the monitor went")
            index = shown[0]
            colour = ITEMS[index][1]
            screen = self.settled_screen(f"after-{n}", (main, colour))
            self.assertEqual(screen.width, main[2], "the screen is the main monitor alone")
            self.check_item(screen, main, colour, f"item {index}, {n} after the monitor went, on the main monitor")

    def items_settled(self, after):
        """The indexes of the items shown after the trace's line at after whose transitions have
        ended, in order."""
        lines = self.trace.lines()[after + 1:]
        settled = []
        for i, line in enumerate(lines):
            m = re.fullmatch(r"Item (\d+) shown", line)
            if m and "Restart Timer" in lines[i + 1:]:
                settled.append(int(m.group(1)))
        return settled

    def trace_ticks(self):
        """The tick count of each text's first line in the trace."""
        ticks = {}
        with open(self.trace.path, encoding="latin-1") as f:
            for line in f:
                tick, _, text = line.strip().partition(" ")
                ticks.setdefault(text, int(tick))
        return ticks

    def check_ends_on_escape(self, process):
        self.display.xdotool("key", "Escape")
        self.assertEqual(self.wait_exit(process), 0)
        self.assertEqual(self.trace.lines()[-1], "Form Destroy")

    def windows_over(self, monitor):
        """The visible X windows that cover exactly the monitor's rectangle."""
        ids = self.display.xdotool("search", "--onlyvisible", "--name", "", check=False).split()
        return [w for w in ids if self.display.geometry(w) == tuple(monitor)]

    def settled_screen(self, name, *shown):
        """A screenshot of the whole screen, kept in the test's folder, taken once each (monitor, colour)
        of shown is at the centre of the item's place there, or after 10 s as the screen is then: what
        reaches the windows reaches the X server a moment later."""
        deadline = time.monotonic() + 10
        while True:
            path = self.display.screenshot(os.path.join(self.dir, name + ".png"))
            screen = Screen.read(path)
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
    """The pixels of a screenshot: the screen shrinks when a monitor is switched off."""

    def __init__(self, rgb, width):
        self.rgb, self.width = rgb, width

    @classmethod
    def read(cls, path):
        ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
        # The header is "P6", the width, the height and the largest value, and one white space ends it.
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+\d+\s", ppm)
        return cls(ppm[header.end():], int(header.group(1)))

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])


if __name__ == "__main__":
    harness.main()
