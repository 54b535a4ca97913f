"""The real saver.scr under Wine: F2 makes the picture on screen the desktop wallpaper, a Windows
bitmap item copied as it is and a JPEG item decoded, in the Windows folder or, where that cannot be
written, in the user's own folder, with the desktop's five values in the registry; the saver runs
on after the key, its release included."""

import os
import re
import subprocess
import time

import harness

NAME = "E2E Wallpaper"
DESKTOP = "Control Panel\\Desktop"
WALLPAPER = "C:\\windows\\Screen Saver Wallpaper.bmp"
VALUES = ("Wallpaper", "TileWallpaper", "WallpaperStyle", "WallpaperOriginX", "WallpaperOriginY")


class Wallpaper(harness.WineTestCase):
    def press_f2(self, item, stretch):
        """Runs a saver of the one item, presses and releases F2 and ends it with Esc; returns the
        Windows path of the wallpaper file, its bytes and the desktop's values."""
        manifest = {"header": {"ExitKeyboard": True, "AllowWallpaperKey": True, "Stretch": stretch, "Seconds": 60},
                    "strings": {"SaverName": NAME}, "items": [{"file": item}]}
        saver = self.build_saver(manifest)
        if os.path.exists(self.trace.path):
            os.remove(self.trace.path)  # each run's own lines
        process = self.wine.start(saver, "/s", trace=self.trace.path)
        self.trace.wait_for("Item 0 shown", 60)
        harness.wait_until(lambda: self.display.windows(f"^{NAME}$"), 30, what="the saver's window")
        time.sleep(0.5)
        self.display.xdotool("key", "F2")

        def written():
            return next((m.group(1) for m in map(re.compile(r"^Wallpaper ([A-Z]:\\.*)$").match, self.trace.lines())
                         if m), None)

        path = harness.wait_until(written, 30, what="the wallpaper file")
        shot = self.display.screenshot(os.path.join(self.dir, f"notice-{item}.png"))
        self.assertEqual(self.display.pixel(shot, 100, 200), (255, 255, 255), "the notice's white ground")
        time.sleep(1)
        self.assertIsNone(process.poll(), "F2 and its release leave the saver running")
        self.assertNotIn("Form CLose", self.trace.lines())
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)
        local = os.path.join(self.wine.prefix, "drive_c", *path[3:].split("\\"))
        with open(local, "rb") as f:
            data = f.read()
        os.remove(local)
        values = {name: value for name, (kind, value) in self.wine.reg_query(DESKTOP).items()
                  if name in VALUES and kind == "REG_SZ"}
        return path, data, values

    def test_f2_writes_the_item_as_the_wallpaper_and_the_desktop_values(self):
        run = lambda *args: subprocess.run(["convert", *args], cwd=self.dir, check=True)
        run("-size", "320x200", "gradient:#c04020-#2060e0", "BMP3:photo.bmp")
        with open(os.path.join(self.dir, "photo.bmp"), "rb") as f:
            bmp = f.read()
        path, data, values = self.press_f2("photo.bmp", 2)
        self.assertEqual(path, WALLPAPER)
        self.assertEqual(data, bmp, "a bitmap is copied byte for byte")
        self.assertEqual(values, {"Wallpaper": WALLPAPER, "TileWallpaper": "0", "WallpaperStyle": "0",
                                  "WallpaperOriginX": "0", "WallpaperOriginY": "0"})

        run("-size", "300x180", "plasma:fractal", "-seed", "3", "photo.jpg")
        path, data, values = self.press_f2("photo.jpg", 1)
        self.assertEqual(path, WALLPAPER)
        written = os.path.join(self.dir, "written.bmp")
        with open(written, "wb") as f:
            f.write(data)
        # The decoded JPEG, pixel for pixel, as the same library decodes it for ImageMagick.
        out = subprocess.run(["compare", "-metric", "AE", written, os.path.join(self.dir, "photo.jpg"), "null:"],
                             capture_output=True, text=True)
        self.assertEqual(out.stderr.split()[0], "0", "pixels that differ from the decoded JPEG")
        self.assertEqual(values["WallpaperStyle"], "2", "stretched to fit")
        self.assertEqual(values["Wallpaper"], WALLPAPER)

    def test_a_windows_folder_that_cannot_be_written_gives_way_to_the_users_own(self):
        # The tests run as root, for whom every folder can be written: a folder where the file would
        # go keeps it from being written there.
        os.mkdir(os.path.join(self.wine.prefix, "drive_c", "windows", "Screen Saver Wallpaper.bmp"))
        subprocess.run(["convert", "-size", "40x30", "xc:#30a050", "BMP3:photo.bmp"], cwd=self.dir, check=True)
        path, data, values = self.press_f2("photo.bmp", 2)
        self.assertRegex(path, r"^C:\\users\\[^\\]+\\AppData\\Roaming\\Tavolisk\\Screen Saver Wallpaper\.bmp$")
        with open(os.path.join(self.dir, "photo.bmp"), "rb") as f:
            self.assertEqual(data, f.read())
        self.assertEqual(values["Wallpaper"], path, "the file actually written")


if __name__ == "__main__":
    harness.main()
