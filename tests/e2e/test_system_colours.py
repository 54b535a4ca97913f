"""Package colours that name a system colour, in the real saver.scr under Wine: the background
gradient takes the colours the system gives those display elements, as the prefix's colour scheme
(the registry's "Control Panel\\Colors") has them."""

import os
import subprocess
import time

import harness

# COLOR_HIGHLIGHT and COLOR_INFOBK, and their names in the colour scheme.
HIGHLIGHT, HIGHLIGHT_NAME = 0x8000000D, "Hilight"
TOOLTIP, TOOLTIP_NAME = 0x80000018, "InfoWindow"


class SystemColours(harness.WineTestCase):
    def scheme(self, name):
        """The scheme's colour of a display element as (r, g, b)."""
        colours = self.wine.reg_query("Control Panel\\Colors")
        return tuple(int(v) for v in colours[name][1].split())

    def test_the_gradient_runs_between_the_systems_colours(self):
        subprocess.run(["convert", "-size", "200x150", "xc:#30c040", os.path.join(self.dir, "item.png")], check=True)
        manifest = {
            "header": {"Seconds": 30, "Stretch": 2, "GradientStyle": 1, "BackgroundColor": HIGHLIGHT,
                       "BackgroundColor2": TOOLTIP, "ExitMouseMove": False, "ExitMouseButton": False,
                       "ExitKeyboard": False, "ExitESC": True},
            "strings": {"SaverName": "E2E System Colours"},
            "items": [{"file": "item.png"}],
        }
        process = self.wine.start(self.build_saver(manifest), "/s", trace=self.trace.path)
        self.trace.wait_for("Item 0 shown", 60)
        time.sleep(0.5)
        shot = self.display.screenshot(os.path.join(self.dir, "shown.png"))
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)
        # Rows: the first colour on row 0, the second on the last band's rows.
        self.assertEqual(self.display.pixel(shot, 10, 0), self.scheme(HIGHLIGHT_NAME))
        self.assertEqual(self.display.pixel(shot, 10, self.height - 1), self.scheme(TOOLTIP_NAME))
        self.assertEqual(self.display.pixel(shot, self.width // 2, self.height // 2), (0x30, 0xC0, 0x40))


if __name__ == "__main__":
    harness.main()
