"""Video items of the real saver.scr under Wine: a movie between two pictures fills exactly the
rectangle its size mode gives, with the background around it, and sounds; the next item follows its
end. Movies of every kind (AVI, WMV, ASF, MPEG, MP4, M4V, MOV) show their picture and sound, and
muted ones are silent and leave the music alone.

Wine's DirectShow device draws through Direct3D, whose OpenGL output into a child window (the
panel) never reaches the screen of a virtual X server; on its GDI renderer it does. So the tests'
Wine draws Direct3D through GDI. Media Foundation's video renderer needs the OpenGL one: there it
refuses the movie, and the DirectShow device plays it instead."""

import os
import subprocess
import time

import harness

BACKGROUND = (0x10, 0x20, 0x30)
MUSIC, NATURAL_TONE, STRETCH_TONE, FIT_TONE = 500, 1100, 1300, 1500
WMV = ["-c:v", "wmv2", "-c:a", "wmav2"]
ASF = WMV + ["-f", "asf"]
MPEG = ["-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg"]
H264 = ["-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"]
MP4 = H264 + ["-f", "mp4"]
MOV = H264 + ["-f", "mov"]


class Video(harness.WineTestCase):
    name = "E2E Video"

    def setUp(self):
        super().setUp()
        self.wine.run("reg", "add", "HKCU\\Software\\Wine\\Direct3D", "/v", "renderer", "/d", "gdi", "/f")
        for name, colour in (("a.png", "#c0c0c0"), ("b.png", "#806040")):
            subprocess.run(["convert", "-size", "200x150", "xc:" + colour, os.path.join(self.dir, name)], check=True)

    def movie(self, name, size, colour, frequency, seconds=1.6):
        """An AVI of one colour with a tone as its sound."""
        tone = harness.write_tone(os.path.join(self.dir, name + ".wav"), frequency, seconds)
        # Uncompressed 32-bit frames, stored bottom-up: Wine draws 24-bit frames with their bytes
        # taken as 32-bit pixels, MS Video 1 keeps five bits a channel, and Wine gives a top-down
        # movie a negative height. One colour reads the same either way up.
        source = "color=c=0x{:02X}{:02X}{:02X}:size={}x{}:rate=5:duration={},format=bgra".format(*colour, *size, seconds)
        subprocess.run(["ffmpeg", "-loglevel", "error", "-f", "lavfi", "-i", source, "-i", tone,
                        "-c:v", "rawvideo", "-pix_fmt", "bgra", "-flipped_raw_rgb", "1", "-c:a", "pcm_s16le",
                        os.path.join(self.dir, name)], check=True)
        return name

    def saver(self, items, music=(), **header):
        settings = {"Seconds": 1, "Stretch": 2, "ExitMouseMove": False, "ExitMouseButton": False,
                    "ExitKeyboard": False, "ExitESC": True,
                    "BackgroundColor": "#%02x%02x%02x" % BACKGROUND, "BackgroundColor2": "#%02x%02x%02x" % BACKGROUND}
        settings.update(header)
        return self.build_saver({"header": settings, "strings": {"SaverName": self.name, "Effect": [1]},
                                 "items": items, "music": [{"file": f} for f in music]})

    def start(self, saver):
        self.recording = self.sound.record(os.path.join(self.dir, "sound.wav"))
        return self.wine.start(saver, "/s", trace=self.trace.path)

    def wait_for_screen(self, rect, colour, what, timeout=1.5):
        """Waits until the screen shows exactly the colour in rect (left, top, width, height) and the
        background everywhere else."""
        expected = picture(self.width, self.height, rect, colour)
        deadline = time.monotonic() + timeout
        while True:
            screen = self.display.rgb()
            if screen == expected:
                return
            if time.monotonic() > deadline:
                self.fail(f"{what}: the screen should show {colour} in {rect}; it shows {describe(screen, self.width, colour)}")

    def test_each_size_mode_places_the_movie_and_the_next_item_follows_its_end(self):
        natural, stretch, fit = (0x20, 0xC0, 0x40), (0xC0, 0x20, 0x40), (0x40, 0x20, 0xC0)
        saver = self.saver([
            {"file": "a.png"},
            {"file": self.movie("natural.avi", (320, 240), natural, NATURAL_TONE)},  # the saver's Stretch, 2
            {"file": self.movie("stretch.avi", (160, 120), stretch, STRETCH_TONE), "sizeMode": 1},
            {"file": self.movie("fit.avi", (320, 160), fit, FIT_TONE), "sizeMode": 0},
            {"file": "b.png"},
        ])
        self.start(saver)
        self.trace.wait_for("Item 1 shown", timeout=30)
        # One pixel larger than the movie each way, centred: 512 - 321 div 2, 384 - 241 div 2.
        self.wait_for_screen((352, 264, 321, 241), natural, "natural size")
        self.trace.wait_for("Item 2 shown")
        self.wait_for_screen((0, 0, self.width, self.height), stretch, "stretched")
        self.trace.wait_for("Item 3 shown")
        # The fit of 321 x 161 into 1024 x 768 is 1024 x 514 at (0, 127); the panel is one pixel
        # larger each way, and its last column lies off the screen.
        self.wait_for_screen((0, 127, 1024, 515), fit, "fitted")
        self.trace.wait_for("Item 4 shown")
        lines = [line for line in self.trace.lines() if line.startswith("Item ") or line == "Video ended"]
        self.assertEqual(lines[:8], ["Item 0 shown", "Item 1 shown", "Video ended", "Item 2 shown", "Video ended",
                                     "Item 3 shown", "Video ended", "Item 4 shown"])
        tones = self.recording.stop().tones([NATURAL_TONE, STRETCH_TONE, FIT_TONE])
        self.assertEqual([f for f, _, _ in tones.sequence()], [NATURAL_TONE, STRETCH_TONE, FIT_TONE],
                         "each movie sounds")

    def clip(self, name, codecs, frequency, seconds=1.5, colour=(0x20, 0xC0, 0x40)):
        """A movie of one colour with a tone as its sound, in the codecs given."""
        subprocess.run(["ffmpeg", "-loglevel", "error",
                        "-f", "lavfi", "-i", "color=c=0x{:02X}{:02X}{:02X}:size=160x120:rate=25:duration={}".format(
                            *colour, seconds),
                        "-f", "lavfi", "-i", f"sine=frequency={frequency}:duration={seconds}", *codecs,
                        os.path.join(self.dir, name)], check=True)
        return name

    def test_every_kind_shows_its_picture_and_sounds(self):
        kinds = [("clip.wmv", WMV, (0xC0, 0x20, 0x20), 500), ("clip.asf", ASF, (0x20, 0xC0, 0x40), 700),
                 ("clip.mpeg", MPEG, (0x20, 0x40, 0xC0), 900), ("clip.MPG", MPEG, (0xC0, 0xC0, 0x20), 1100),
                 ("clip.mp4", MP4, (0xC0, 0x20, 0xC0), 1300), ("clip.m4v", MP4, (0x20, 0xC0, 0xC0), 1500),
                 ("clip.mov", MOV, (0xE0, 0x80, 0x20), 1700)]
        items = [{"file": "a.png"}]
        for name, codecs, colour, tone in kinds:
            items.append({"file": self.clip(name, codecs, tone, seconds=1.2, colour=colour), "sizeMode": 1})
        self.start(self.saver(items + [{"file": "b.png"}]))
        for index, (name, _, colour, _) in enumerate(kinds, 1):
            with self.subTest(name):
                line = harness.wait_until(
                    lambda: next((l for l in self.trace.lines() if l.startswith(f"Item {index} ")), None), 30,
                    interval=0.02, what=f"item {index}")
                self.assertEqual(line, f"Item {index} shown")
                # Lossy codecs: near the colour, over the whole screen (stretched), not exactly it.
                harness.wait_until(lambda: self.fills_screen(colour), 1.5, interval=0.05,
                                   what=f"the {name} picture {colour} over the screen")
        self.trace.wait_for(f"Item {len(kinds) + 1} shown", timeout=20)
        lines = [line for line in self.trace.lines() if line.startswith("Item ") or line == "Video ended"]
        self.assertEqual(lines.count("Video ended"), len(kinds), lines)
        tones = [tone for _, _, _, tone in kinds]
        heard = self.recording.stop().tones(tones)
        self.assertEqual([f for f, _, _ in heard.sequence()], tones, "each movie sounds, in turn")

    def fills_screen(self, colour, tolerance=40):
        """Whether the centre and the corners of the screen show about the colour."""
        screen = self.display.rgb()
        w, h = self.width, self.height
        for x, y in ((w // 2, h // 2), (4, 4), (w - 5, 4), (4, h - 5), (w - 5, h - 5)):
            pixel = screen[(y * w + x) * 3:(y * w + x) * 3 + 3]
            if any(abs(a - b) > tolerance for a, b in zip(pixel, colour)):
                return False
        return True

    def test_muted_movies_of_every_kind_are_silent_and_the_music_goes_on(self):
        harness.write_tone(os.path.join(self.dir, "music.wav"), MUSIC, 40.0)
        movies = {1: ("AVI", FIT_TONE), 2: ("WMV", STRETCH_TONE), 3: ("MPEG", NATURAL_TONE), 4: ("MP4", 1700)}
        saver = self.saver([{"file": "a.png"}, {"file": self.movie("m.avi", (160, 120), (0x20, 0xC0, 0x40), FIT_TONE)},
                            {"file": self.clip("m.wmv", WMV, STRETCH_TONE)},
                            {"file": self.clip("m.mpg", MPEG, NATURAL_TONE)},
                            {"file": self.clip("m.mp4", MP4, 1700)}, {"file": "b.png"}],
                           music=["music.wav"], MuteVideo=True)
        self.start(saver)
        self.trace.wait_for("Item 0 shown", timeout=30)
        played = {}  # item: (shown, ended) as time.time()
        for index in movies:
            line = harness.wait_until(lambda: next((l for l in self.trace.lines() if l.startswith(f"Item {index} ")),
                                                   None), 20, interval=0.02, what=f"item {index}")
            # A kind Wine cannot open is skipped as it opens; a movie that opened must play, muted.
            self.assertNotIn("does not play", line)
            if line == f"Item {index} shown":
                shown = time.time()
                self.trace.wait_for("Video ended", count=len(played) + 1)
                played[index] = (shown, time.time())
        self.trace.wait_for("Item 5 shown")
        tones = self.recording.stop().tones([MUSIC] + [tone for _, tone in movies.values()])
        self.assertIn(1, played, "the AVI plays")
        for index, (kind, tone) in movies.items():
            with self.subTest(kind):
                if index not in played:
                    self.skipTest(f"Wine does not play {kind} here")
                self.assertEqual(tones.runs(tone), [], f"the {kind} movie's own sound")
                # A trace line is seen up to a tenth of a second after it is written.
                shown, ended = played[index]
                during = (self.recording.at(shown), self.recording.at(ended) - 0.2)
                self.assertTrue(any(start <= during[0] and during[1] <= end for start, end in tones.runs(MUSIC)),
                                f"the music plays on while the {kind} movie plays, {during}: {tones.runs(MUSIC)}")

def picture(width, height, rect, colour):
    """RGB bytes of the background with a rectangle of one colour."""
    left, top, w, h = rect
    background, inside = bytes(BACKGROUND), bytes(colour)
    empty = background * width
    row = background * left + inside * w + background * (width - left - w)
    return empty * top + row * h + empty * (height - top - h)


def describe(screen, width, colour):
    """Where a colour lies on a screen of RGB bytes, and what else is there."""
    target = bytes(colour)
    xs, ys, others = [], [], set()
    for i in range(0, len(screen), 3):
        pixel = screen[i:i + 3]
        if pixel == target:
            xs.append(i // 3 % width)
            ys.append(i // 3 // width)
        elif pixel != bytes(BACKGROUND) and len(others) < 5:
            others.add(tuple(pixel))
    where = f"{len(xs)} pixels in x {min(xs)}..{max(xs)}, y {min(ys)}..{max(ys)}" if xs else "none of it"
    return f"{where}; other colours: {sorted(others)}"


if __name__ == "__main__":
    harness.main()
