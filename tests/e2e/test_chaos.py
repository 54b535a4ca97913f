"""The real saver.scr driven as an impatient person would, round after round: a presentation with slow
transitions is steered through its panel, clicked beside the panel, moved over, pressed F2 at and
closed by Close or Esc while a transition runs; the configuration dialog is closed by Close or Esc
while its effect preview runs and its pages change; a preview loses the window it lies in. Each
round must end the program within a few seconds in its orderly way, leave no temporary "SS" file
behind and leave the saver's registry key as it found it.

Every round has a seed of its own, which a failure names; the same seed replays the same steps."""

import glob
import os
import random
import subprocess
import time

import harness
import uidriver
from pictures import solid_bmp
from test_preview import PREVIEW_CLOSE, read_handle

NAME = "E2E Chaos"
KEY = "Software\\Tavolisk\\" + NAME
COLOURS = [(192, 48, 48), (48, 160, 64), (48, 80, 208), (208, 192, 64)]
SEED = 20261208
# A start in a fresh prefix beside other tests may take long on a busy machine.
START_TIMEOUT = 90

# The panel at 96 pixels an inch: its rectangle on a 1024 x 768 screen and its buttons in order.
PANEL = (415, 707, 193, 41)
BUTTONS = ["btnPlay", "btnPause", "btnBack", "btnNext", "btnClose"]

# The close steps of the full-screen saver and the presentation, in order (other lines may lie between).
SAVER_CLOSE = ["Form CLose", "Screensaver freed", "Delete snd files", "Extradata exitlink stuff", "Freeing backg",
               "Freeing gifbackg", "Freeing bgimg", "Freeing logo", "Freeing MemImage", "Form Destroy"]
CONFIG_CLOSE = ["Form CLose", "Screensaver freed", "Delete snd files", "Extradata exitlink stuff", "Form Destroy"]
PAGES = ["General", "Position", "Effects", "Sound", "Behavior"]


def in_order(lines, steps):
    """Whether the steps occur in the lines in that order."""
    it = iter(lines)
    return all(any(line == step for line in it) for step in steps)


class Chaos(harness.WineTestCase):
    def setUp(self):
        super().setUp()
        self.driver = uidriver.Driver(self.wine)
        for i, (r, g, b) in enumerate(COLOURS):
            subprocess.run(["convert", "-size", "320x240", f"xc:rgb({r},{g},{b})",
                            os.path.join(self.dir, f"item{i}.png")], check=True)
        for i, frequency in enumerate((440, 660)):
            harness.write_tone(os.path.join(self.dir, f"t{i}.wav"), frequency, 0.5)

    # What every round must leave as it found it.

    def temp_files(self):
        drive = os.path.join(self.wine.prefix, "drive_c")
        folders = glob.glob(os.path.join(drive, "users", "*", "AppData", "Local", "Temp")) + \
            glob.glob(os.path.join(drive, "users", "*", "Temp")) + [os.path.join(drive, "windows", "temp")]
        return sorted(os.path.relpath(path, drive) for folder in folders
                      for path in glob.glob(os.path.join(folder, "[Ss][Ss]*")))

    def registry(self):
        return self.wine.reg_query(KEY)

    def round_dir(self, kind, index):
        folder = os.path.join(self.dir, f"{kind}-{index}")
        os.makedirs(folder)
        return folder

    def check_end(self, process, trace, steps, what):
        """The program ends within a few seconds, its trace ending with its orderly close."""
        try:
            process.wait(timeout=8)
        except subprocess.TimeoutExpired:
            process.kill()
            self.fail(f"{what}: still running 8 s after it was closed; the trace ends {trace.lines()[-12:]}")
        lines = trace.lines()
        self.assertTrue(lines and lines[-1] == "Form Destroy", f"{what}: the trace ends {lines[-12:]}")
        self.assertTrue(in_order(lines, steps), f"{what}: the close steps {steps} in {lines[-30:]}")

    def check_left_alone(self, registry, what):
        self.assertEqual(self.temp_files(), [], f"{what}: temporary files left")
        self.assertEqual(self.registry(), registry, f"{what}: the saver's registry key changed")

    # The presentation.

    def click(self, x, y):
        self.display.xdotool("mousemove", x, y, "click", "1")

    def button(self, name):
        i = BUTTONS.index(name)
        self.click(PANEL[0] + 3 + 38 * i + 17, PANEL[1] + 3 + 17)

    def transitions_running(self, trace):
        lines = trace.lines()
        started = sum(1 for line in lines if line.startswith("Effect ") and line[7:].isdigit())
        return started > lines.count("Restart Timer")

    def presentation_round(self, show, seed, registry):
        rng = random.Random(seed)
        what = f"presentation round, seed {seed}"
        trace = harness.Trace(self.round_dir("show", seed))
        self.display.xdotool("mousemove", 512, 384)
        process = self.wine.start(show, trace=trace.path)
        trace.wait_for("Item 0 shown", 60)
        actions = {
            "next": lambda: self.button("btnNext"),
            "back": lambda: self.button("btnBack"),
            "pause": lambda: self.button("btnPause"),
            "play": lambda: self.button("btnPlay"),
            "beside": lambda: self.click(rng.randrange(0, 1024), rng.randrange(0, 650)),
            "move": lambda: self.display.xdotool("mousemove", rng.randrange(0, 1024), rng.randrange(0, 768)),
            "f2": lambda: self.display.xdotool("key", "F2"),
        }
        for _ in range(rng.randrange(6, 14)):
            actions[rng.choice(sorted(actions))]()
            time.sleep(rng.uniform(0.0, 0.6))
        self.assertIsNone(process.poll(), f"{what}: ended before it was closed")
        # Playing again, so that a transition comes; the close falls into it.
        self.button("btnPlay")
        harness.wait_until(lambda: self.transitions_running(trace), 20, interval=0.05,
                           what=f"{what}: a transition")
        time.sleep(rng.uniform(0.0, 0.5))
        if rng.random() < 0.5:
            self.button("btnClose")
        else:
            self.display.xdotool("key", "Escape")
        self.check_end(process, trace, SAVER_CLOSE, what)
        self.check_left_alone(registry, what)

    def test_a_presentation_closed_during_transitions_after_random_steering(self):
        manifest = {"header": {"Seconds": 1, "Stretch": 1, "ExitESC": True, "AllowWallpaperKey": True,
                               "EffectSpeed": 3},
                    "strings": {"SaverName": NAME, "Effect": [5, 30, 60, 114]},
                    "items": [{"file": f"item{i}.png"} for i in range(len(COLOURS))],
                    "music": [{"file": "t0.wav"}, {"file": "t1.wav"}]}
        show = self.build_saver(manifest, name="chaos.exe")
        # Values of the user's own, which no round may change.
        self.wine.run("reg", "add", "HKCU\\" + KEY, "/v", "EffectSpeed", "/t", "REG_DWORD", "/d", "3", "/f")
        self.wine.run("reg", "add", "HKCU\\" + KEY, "/v", "Seconds", "/t", "REG_DWORD", "/d", "1", "/f")
        registry = self.registry()
        self.assertEqual(self.temp_files(), [])
        for index in range(10):
            with self.subTest(seed=SEED + index):
                self.presentation_round(show, SEED + index, registry)

    # The configuration dialog.

    def config_round(self, saver, seed, registry):
        rng = random.Random(seed)
        what = f"configuration round, seed {seed}"
        trace = harness.Trace(self.round_dir("config", seed))
        process = self.wine.start(saver, "/c", trace=trace.path)
        self.driver.wait_window(NAME, START_TIMEOUT)
        self.driver.tab(NAME, "PageControl", "Effects", settle=0)
        for _ in range(rng.randrange(3, 7)):
            if rng.random() < 0.6:
                self.driver.line(NAME, "lbEffects", rng.randrange(0, 120), settle=rng.uniform(0.0, 0.4))
            else:
                self.driver.tab(NAME, "PageControl", rng.choice(PAGES), settle=rng.uniform(0.0, 0.4))
        # The last effect clicked previews while the dialog closes.
        self.driver.line(NAME, "lbEffects", rng.randrange(0, 120), settle=rng.uniform(0.0, 0.2))
        self.assertIsNone(process.poll(), f"{what}: ended before it was closed")
        if seed % 2 == 0:
            self.driver.click(NAME, "btnClose", settle=0)
        else:
            window = self.display.windows("^" + NAME + "$")[0]
            self.display.xdotool("windowfocus", "--sync", window, check=False)
            self.display.xdotool("key", "Escape")
        self.check_end(process, trace, CONFIG_CLOSE, what)
        self.assertTrue(any(line.startswith("Settings written: ") for line in trace.lines()), what)
        self.check_left_alone(registry, what)

    def test_the_configuration_dialog_closed_while_its_preview_runs(self):
        saver = self.build_saver({"header": {"ExitESC": True, "AllowCustomPlaylist": True, "EffectSpeed": 3},
                                  "strings": {"SaverName": NAME},
                                  "items": [{"file": "item0.png"}],
                                  "music": [{"file": "t0.wav"}, {"file": "t1.wav"}]})
        # A first opening stores the settings as the dialog shows them; every later one stores the same.
        process = self.wine.start(saver, "/c")
        self.driver.wait_window(NAME, START_TIMEOUT)
        self.driver.click(NAME, "btnClose", settle=0)
        self.wait_exit(process)
        registry = self.registry()
        self.assertIsNotNone(registry)
        for index in range(6):
            with self.subTest(seed=SEED + index):
                self.config_round(saver, SEED + index, registry)

    # The preview.

    def test_a_preview_whose_window_goes_away(self):
        saver = self.build_saver({"strings": {"SaverName": NAME}, "items": [{"file": "item0.png"}],
                                  "previewImage": {"file": "preview.bmp"}},
                                 files={"preview.bmp": solid_bmp(16, 12, COLOURS[1])})
        registry = self.registry()
        for index in range(4):
            seed = SEED + index
            with self.subTest(seed=seed):
                rng = random.Random(seed)
                what = f"preview round, seed {seed}"
                folder = self.round_dir("preview", seed)
                handle_file, other_file = os.path.join(folder, "handle.txt"), os.path.join(folder, "other.txt")
                # The window is destroyed by its program, or its program is killed.
                destroys = rng.random() < 0.5 or index == 0
                program = "preview_parent_probe.exe" if destroys else "preview_host.exe"
                host = self.wine.start(os.path.join(harness.PATHS.win32_bin, program),
                                       self.wine.windows_path(handle_file), self.wine.windows_path(other_file))
                handle = harness.wait_until(lambda: read_handle(handle_file), 30, what="the host's handle")
                trace = harness.Trace(folder)
                process = self.wine.start(saver, "/p", handle, trace=trace.path)
                trace.wait_for("Preview picture 16x12")
                if destroys:
                    harness.wait_until(lambda: os.path.exists(other_file), 30, what="the preview area destroyed")
                else:
                    time.sleep(rng.uniform(0.0, 1.0))
                    host.kill()
                self.check_end(process, trace, PREVIEW_CLOSE, what)
                self.check_left_alone(registry, what)
                host.kill()
                host.wait(timeout=10)


if __name__ == "__main__":
    harness.main()
