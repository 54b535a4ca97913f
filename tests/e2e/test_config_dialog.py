"""The real saver.scr's configuration dialog under Wine, driven through its controls by the test
driver: translated captions and the panel's geometry at 96, 144 and 192 pixels an inch, a change on
every page and what closing stores, the effect preview, the playlist editor (and a selection of
files too long for the open-file dialog's first answer room), the about window and the keyboard."""

import os
import subprocess
import time

import harness
import uidriver

NAME = "E2E Panel"
KEY = "Software\\Tavolisk\\" + NAME
TRANSLATION = "Screen Saver\r\nClose=Schliessen\r\nGeneral=Allgemein\r\nAbout=Info\r\nMy Playlist=Meine Liste\r\n"


class ConfigDialog(harness.WineTestCase):
    def setUp(self):
        super().setUp()
        self.driver = uidriver.Driver(self.wine)
        subprocess.run(["convert", "-size", "64x48", "xc:#336699", os.path.join(self.dir, "a.png")], check=True)
        subprocess.run(["convert", "-size", "470x62", "xc:#aa8844", os.path.join(self.dir, "banner.bmp")], check=True)
        for i, frequency in enumerate((440, 660)):
            harness.write_tone(os.path.join(self.dir, f"t{i}.wav"), frequency, 0.5)

    def saver(self, translation="", banner=False, **strings):
        manifest = {"header": {"ExitESC": True, "AllowCustomPlaylist": True, "Seconds": 7},
                    "strings": {"SaverName": NAME, "TranslationText": translation, **strings},
                    "items": [{"file": "a.png"}],
                    "music": [{"file": "t0.wav"}, {"file": "t1.wav"}]}
        if banner:
            manifest["configBanner"] = {"file": "banner.bmp"}
        return self.build_saver(manifest)

    def open_panel(self, saver, dpi=96):
        self.wine.run("reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                      str(dpi), "/f")
        process = self.wine.start(saver, "/c", trace=self.trace.path)
        controls = self.driver.wait_window(NAME)
        return process, controls

    def close_panel(self, process):
        self.driver.click(NAME, "btnClose")
        self.wait_exit(process)

    def stored(self):
        return {name: value for name, (_, value) in (self.wine.reg_query(KEY) or {}).items()}

    def test_translated_captions_and_the_geometry_at_each_scale(self):
        saver = self.saver(TRANSLATION, banner=True)
        for dpi in (96, 144, 192):
            process, c = self.open_panel(saver, dpi)

            def px(v):
                return (v * dpi + 48) // 96

            def place(x, y, w, h):
                return [px(x), px(y), px(w), px(h)]

            self.assertEqual(c[""]["client"], [px(513), px(381 - 15)], f"{dpi}: the link's 15 pixels go")
            self.assertEqual(c["PageControl"]["rect"], [px(10), px(69) + px(7), px(399), px(281)], dpi)
            for name, y in (("btnAbout", 28), ("btnWebsite", 60), ("btnClose", 263)):
                self.assertEqual(c[name]["rect"], [px(418), px(69) + px(y), px(83), px(25)], f"{name} at {dpi}")
            self.assertEqual(c["PanelWebBanner"]["rect"], place(22, 5, 470, 62), dpi)
            self.assertEqual(c["ImgPreviewTrans"]["rect"][2:], [px(119), px(95)], dpi)
            self.assertTrue(c["BannerPlaceHolderPanel"]["visible"])
            self.assertFalse(c["Link"]["visible"])
            self.assertEqual(c["btnClose"]["caption"], "Schliessen")
            self.assertEqual(c["btnAbout"]["caption"], "Info...")
            self.assertEqual(c["PageControl"]["tabs"], ["Allgemein", "Position", "Effects", "Sound", "Behavior"])
            self.assertEqual(c["GroupBox10"]["caption"], "Allgemein")
            self.assertEqual(c["lbEffects"]["items"][114], "Crossfade")
            self.display.screenshot(os.path.join(self.dir, f"panel-{dpi}.png"))
            self.close_panel(process)

        # Without the banner strip the panel is 69 pixels shorter and the controls move up.
        process, c = self.open_panel(self.saver())
        self.assertEqual(c[""]["client"], [513, 381 - 69 - 15])
        self.assertEqual(c["PageControl"]["rect"], [10, 7, 399, 281])
        self.assertFalse(c["BannerPlaceHolderPanel"]["visible"])
        self.close_panel(process)

    def test_a_change_on_every_page_is_stored_and_nothing_else(self):
        process, c = self.open_panel(self.saver())
        title = NAME
        self.driver.type(title, "edSeconds", "12")
        self.driver.tab(title, "PageControl", "Position")
        self.driver.click(title, "rbSizeStretch")
        self.driver.tab(title, "PageControl", "Effects")
        self.driver.line(title, "lbEffects", 0, box=True)
        self.driver.slide(title, "tbEffectSpeed", 8)
        self.driver.tab(title, "PageControl", "Sound")
        self.driver.click(title, "cbMute")
        self.driver.tab(title, "PageControl", "Behavior")
        self.driver.click(title, "cbExitMouseMove")
        c = self.driver.controls(title)
        self.assertFalse(c["cbExitMouseMove"]["checked"])
        self.assertTrue(c["cbMute"]["checked"])
        self.assertEqual(c["lbEffects"]["checks"], [False] + [True] * 119)
        self.close_panel(process)
        stored = self.stored()
        # What the package gave and the user left alone comes back as it was.
        expected = {"Seconds": "0xc", "Stretch": "0x1", "DisplayOrder": "0x0", "DesktopStart": "0x0", "Loop": "0x0",
                    "Mute": "0x1", "ShuffleMelody": "0x0", "EffectSpeed": "0x8", "PlayOneRandom": "0x0",
                    "ExitMouseMove": "0x0", "ExitMouseButton": "0x1", "ExitKeyboard": "0x1", "ExitESC": "0x1",
                    "UseCustomPlaylist": "0x0", "DisableTwoMonitors": "0x0"}
        self.assertEqual({k: v for k, v in stored.items() if k != "Effect"}, expected)
        # The selection's characters include line breaks, which the registry tool's listing cannot show:
        # the trace names what was written.
        written = next(line for line in self.trace.lines() if line.startswith("Settings written: "))
        self.assertIn(" Effect=" + ",".join(map(str, range(2, 121))) + " ", written)

    def test_clicking_an_effect_previews_it_between_the_two_samples(self):
        process, c = self.open_panel(self.saver())
        self.driver.tab(NAME, "PageControl", "Effects")
        x, y, w, h = self.driver.controls(NAME)["ImgPreviewTrans"]["rect"]
        window = self.display.windows("^" + NAME + "$")[0]
        wx, wy = self.display.geometry(window)[:2]

        def sky():
            # The top of the picture: the night sky of the second sample, the day sky of the first.
            shot = self.display.screenshot(os.path.join(self.dir, f"preview-{time.monotonic():.2f}.png"))
            return self.display.pixel(shot, wx + x + w // 8, wy + y + h // 6)

        night = sky()
        self.assertLess(sum(night), 200, night)
        self.driver.line(NAME, "lbEffects", 114, settle=2.0)  # Crossfade, then wait past its 32 frames
        day = sky()
        self.assertGreater(sum(day), 450, day)
        self.driver.line(NAME, "lbEffects", 2, settle=2.0)  # back to the second sample
        self.assertEqual(sky(), night)
        self.close_panel(process)

    def test_the_playlist_editor_adds_orders_and_stores_files(self):
        music = os.path.join(self.dir, "music")
        os.makedirs(music)
        for i, frequency in enumerate((330, 550, 770)):
            harness.write_tone(os.path.join(music, f"m{i}.wav"), frequency, 0.3)
        process, c = self.open_panel(self.saver(TRANSLATION))
        self.driver.tab(NAME, "PageControl", "Sound")
        self.driver.click(NAME, "btnPlaylistEditor")
        editor = self.driver.wait_window("Meine Liste")
        self.assertFalse(editor["btnMelodyDelete"]["enabled"])
        self.assertTrue(editor["btnMelodyAdd"]["enabled"])
        self.driver.click("Meine Liste", "btnMelodyAdd", settle=0)
        self.driver.answer_open(music, "m0.wav", "m1.wav", "m2.wav")
        editor = harness.wait_until(lambda: self._lines("Meine Liste", 3), 20, what="three lines")
        self.assertEqual(editor["lbMelodies"]["itemIndex"], 0)
        self.assertTrue(all(editor[b]["enabled"] for b in ("btnMelodyDelete", "btnMelodyDelAll", "btnMelodyUp",
                                                           "btnMelodyDown", "btnPlay", "btnStop")))
        self.driver.line("Meine Liste", "lbMelodies", 2)
        self.driver.click("Meine Liste", "btnMelodyUp")
        self.driver.click("Meine Liste", "btnClose")
        stored = harness.wait_until(lambda: self.wine.reg_query(KEY + "\\PlayList"), 10, what="the stored list")
        folder = self.wine.windows_path(music)
        self.assertEqual([stored[f"item{i}"][1] for i in range(3)],
                         [folder + "\\m0.wav", folder + "\\m2.wav", folder + "\\m1.wav"])
        self.close_panel(process)

    def test_a_selection_longer_than_the_dialogs_first_room_adds_every_file(self):
        """300 files of 240-character names, every one selected in the dialog's list: its answer (the
        folder, then each name and its zero byte) takes over 70 KiB, more than the 64 KiB the dialog
        is first given. The folder is short, so that each full path stays within the system's 260."""
        music = os.path.join(self.wine.prefix, "drive_c", "m")
        os.makedirs(music)
        names = [f"{i:03d} " + ("a rather long title of a piece of music " * 6)[:232] + ".wav" for i in range(300)]
        for name in names:
            open(os.path.join(music, name), "wb").close()  # the editor never reads them
        process, c = self.open_panel(self.saver())
        self.driver.tab(NAME, "PageControl", "Sound")
        self.driver.click(NAME, "btnPlaylistEditor")
        self.driver.wait_window("My Playlist")
        self.driver.click("My Playlist", "btnMelodyAdd", settle=0)
        self.driver.run("open-all", "C:\\m", timeout=120)
        harness.wait_until(lambda: self._lines("My Playlist", len(names)), 30, what="a line for every file")
        self.driver.click("My Playlist", "btnClose")
        stored = harness.wait_until(lambda: self.wine.reg_query(KEY + "\\PlayList"), 10, what="the stored list")
        self.assertEqual(sorted(value for _, value in stored.values()), ["C:\\m\\" + n for n in names])
        self.close_panel(process)

    def _lines(self, title, count):
        c = self.driver.controls(title)
        return c if len(c["lbMelodies"]["items"]) == count else None

    def test_the_about_window_shows_the_packages_name_text_and_link(self):
        process, c = self.open_panel(self.saver(AboutText="Made for the tests", WebsiteURL="www.example.com"))
        self.driver.click(NAME, "btnAbout")
        about = self.driver.wait_window("About")
        self.assertEqual(about["Title"]["caption"], NAME)
        self.assertEqual(about["Text"]["caption"], "Made for the tests")
        self.assertEqual(about["Link"]["caption"], "www.example.com")
        self.assertTrue(about["Link"]["visible"])
        self.assertEqual(about[""]["client"], [354, 211])
        self.display.screenshot(os.path.join(self.dir, "about.png"))
        self.driver.click("About", "btnClose")
        self.close_panel(process)

    def test_the_keyboard_moves_in_reading_order_and_presses_access_keys(self):
        process, c = self.open_panel(self.saver())
        window = self.display.windows("^" + NAME + "$")[0]
        self.display.xdotool("windowfocus", "--sync", window, check=False)
        seen = [self.driver.focus(NAME)]
        for _ in range(5):
            self.display.xdotool("key", "Tab")
            time.sleep(0.2)
            seen.append(self.driver.focus(NAME))
        # The page's controls, then its page control and the buttons beside it ("Website..." is hidden:
        # the package names no site).
        self.assertEqual(seen, ["edSeconds", "rbSequential", "cbDesktop", "PageControl", "btnAbout", "btnClose"])
        self.display.xdotool("key", "alt+r")
        time.sleep(0.3)
        self.assertTrue(self.driver.controls(NAME)["rbRandom"]["checked"], "Alt+R chooses \"&Random\"")
        self.display.xdotool("key", "ctrl+Tab")
        time.sleep(0.3)
        c = self.driver.controls(NAME)
        self.assertTrue(c["tsPosition"]["visible"])
        self.assertFalse(c["tsGeneral"]["visible"])
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)
        self.assertEqual(self.stored()["DisplayOrder"], "0x1")


if __name__ == "__main__":
    harness.main()
