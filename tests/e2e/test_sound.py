"""The music and the entry sounds of the real saver.scr under Wine, recorded from the test's own
sound server: the built-in tracks in order and round again, M4A and AAC tracks, silence when muted,
an entry sound over the music, the sound's end with the saver, the WAV driver kept loaded past its
last device, and the user's own playlist."""

import glob
import os
import subprocess
import time

import harness
import soak

# Far enough apart for 50 ms windows to tell them apart.
A, B, C, D = 500, 700, 900, 1300

# Wine plays MP3 through DirectShow: opening the file and starting to sound take 0.3 to 0.65 s
# together, and it reports the end some 0.2 s before the sound has played out, which the next track
# then cuts off. An MP3 track is allowed that; WAV tracks are held to 300 ms.
MP3_LATE, MP3_SHORT = 0.5, 0.4


class Sound(harness.WineTestCase):
    name = "E2E Sound"

    def setUp(self):
        super().setUp()
        subprocess.run(["convert", "-size", "64x48", "xc:#2060a0", os.path.join(self.dir, "a.png")], check=True)
        subprocess.run(["convert", "-size", "64x48", "xc:#a06020", os.path.join(self.dir, "b.png")], check=True)

    def tone(self, name, frequency, seconds):
        """A tone file in the test's folder: WAV, or MP3, M4A or AAC (ADTS) made from it."""
        path = os.path.join(self.dir, name)
        if name.endswith(".wav"):
            return harness.write_tone(path, frequency, seconds)
        wav = harness.write_tone(path + ".wav", frequency, seconds)
        codec = {".mp3": ["-c:a", "libmp3lame", "-b:a", "64k"], ".m4a": ["-c:a", "aac", "-f", "ipod"],
                 ".aac": ["-c:a", "aac", "-f", "adts"]}[os.path.splitext(name)[1]]
        subprocess.run(["ffmpeg", "-loglevel", "error", "-i", wav, *codec, path], check=True)
        return path

    def saver(self, music=(), entry_sounds=(), items=({"file": "a.png"},), **header):
        settings = {"Seconds": 30, "ExitMouseMove": False, "ExitMouseButton": False, "ExitKeyboard": False,
                    "ExitESC": True, "BackgroundColor": "#000000", "BackgroundColor2": "#000000"}
        settings.update(header)
        return self.build_saver({"header": settings, "strings": {"SaverName": self.name, "Effect": [1]},
                                 "items": list(items), "music": [{"file": f} for f in music],
                                 "entrySounds": [{"file": f} for f in entry_sounds]})

    def start(self, saver):
        """Starts recording, then the saver."""
        self.recording = self.sound.record(os.path.join(self.dir, "sound.wav"))
        return self.wine.start(saver, "/s", trace=self.trace.path)

    def track_files(self):
        return glob.glob(os.path.join(self.wine.prefix, "drive_c", "**", "SSSND.*"), recursive=True)

    def test_the_tracks_play_in_order_and_round_again(self):
        self.tone("t0.wav", A, 1.0)
        self.tone("t1.mp3", B, 1.0)
        self.tone("t2.wav", C, 1.0)
        self.start(self.saver(music=["t0.wav", "t1.mp3", "t2.wav"], Loop=True))
        self.trace.wait_for("Music track 0", count=2, timeout=20)
        time.sleep(1.3)
        tones = self.recording.stop().tones([A, B, C])
        runs = tones.sequence()[:4]
        self.assertEqual([f for f, _, _ in runs], [A, B, C, A], runs)
        for f, start, end in runs[:3]:
            shortest = 0.85 - (MP3_SHORT if f == B else 0)
            self.assertTrue(shortest <= end - start <= 1.15, f"the {f} Hz track plays once, whole: {runs}")
        for (_, _, end), (f, start, _) in zip(runs, runs[1:]):
            self.assertLessEqual(start - end, 0.3 + (MP3_LATE if f == B else 0), f"the gap before {f} Hz: {runs}")

    def test_m4a_and_aac_tracks_sound(self):
        self.tone("t0.m4a", A, 1.0)
        self.tone("t1.aac", B, 1.0)
        self.tone("t2.wav", C, 1.0)
        self.start(self.saver(music=["t0.m4a", "t1.aac", "t2.wav"]))
        self.trace.wait_for("Music track 2", timeout=20)
        time.sleep(1.3)
        tones = self.recording.stop().tones([A, B, C])
        runs = tones.sequence()
        self.assertEqual([f for f, _, _ in runs], [A, B, C], runs)
        for f, start, end in runs[:2]:
            self.assertGreater(end - start, 0.5, f"the {f} Hz track sounds: {runs}")

    def test_a_lone_m4a_track_sounds_again_on_its_open_player(self):
        # Wine's Media Foundation player, stopped and started again at its end, says it plays and is
        # silent; the track must sound each time round.
        self.tone("t0.m4a", A, 0.8)
        self.start(self.saver(music=["t0.m4a"], Loop=True))
        self.trace.wait_for("Music track 0", count=3, timeout=20)
        time.sleep(1.0)
        runs = self.recording.stop().tones([A]).runs(A)
        # The rounds may follow one another without a gap: the track sounds three times as long.
        self.assertGreater(sum(end - start for start, end in runs), 2.0, f"three times round: {runs}")

    def test_muted_neither_the_music_nor_an_entry_sound_sounds(self):
        self.tone("t0.wav", A, 1.0)
        self.tone("e.wav", D, 0.5)
        self.start(self.saver(music=["t0.wav"], entry_sounds=["e.wav"], items=[{"file": "a.png", "enterSound": 0}],
                              Mute=True))
        self.trace.wait_for("Item 0 shown")
        time.sleep(1.5)  # longer than either sound
        tones = self.recording.stop().tones([A, D])
        self.assertTrue(tones.silent_from(0), f"the loudest window: {max(tones.peaks)}")
        lines = self.trace.lines()
        self.assertNotIn("Music track 0", lines)
        self.assertNotIn("Entry sound 0", lines)

    def test_an_entry_sound_sounds_over_the_music(self):
        self.tone("t0.wav", A, 4.0)
        self.tone("e.wav", D, 0.6)
        self.start(self.saver(music=["t0.wav"], entry_sounds=["e.wav"], Seconds=1,
                              items=[{"file": "a.png"}, {"file": "b.png", "enterSound": 0}]))
        self.trace.wait_for("Entry sound 0")
        time.sleep(1.0)
        tones = self.recording.stop().tones([A, D])
        entry = tones.runs(D)
        self.assertEqual(len(entry), 1, entry)
        self.assertAlmostEqual(entry[0][1] - entry[0][0], 0.6, delta=0.15)
        music = tones.runs(A)
        self.assertEqual(len(music), 1, f"the music goes on through the entry sound: {music}")
        self.assertLess(music[0][0], entry[0][0] - 0.5, "the music comes first")
        self.assertGreater(music[0][1], entry[0][1] + 0.3, "and outlasts the entry sound")
        self.assertIn({A, D}, tones.sounding())

    def test_esc_stops_the_music_at_once_and_deletes_its_file(self):
        # Both kinds of device: Wine's WAV device would play out its queued sound while it closes,
        # were it not paused first.
        self.tone("t0.wav", A, 10.0)
        self.tone("t1.mp3", B, 10.0)
        for track, frequency in (("t0.wav", A), ("t1.mp3", B)):
            with self.subTest(track):
                recording = self.sound.record(os.path.join(self.dir, f"esc-{track}.wav"))
                process = self.wine.start(self.saver(music=[track]), "/s", trace=self.trace.path)
                self.trace.wait_for("Music track 0", count=1 if track == "t0.wav" else 2)
                harness.wait_until(lambda: self.display.windows("^" + self.name + "$"), 20, what="the saver's window")
                files = self.track_files()
                self.assertEqual([os.path.basename(f) for f in files], ["SSSND" + os.path.splitext(track)[1].upper()])
                time.sleep(1.0)
                pressed = time.time()
                self.display.xdotool("key", "Escape")
                self.wait_exit(process)
                time.sleep(0.5)
                tones = recording.stop().tones([frequency])
                key = recording.at(pressed)
                self.assertTrue(any(start < key - 0.2 < end for start, end in tones.runs(frequency)),
                                "the music plays up to the key")
                self.assertTrue(tones.silent_from(key + 0.5 + harness.Recording.LATENCY), "silent 500 ms after the key")
                self.assertGreater(tones.duration(), key + 1.0, "the recording runs on after the end")
                self.assertFalse(any(os.path.exists(f) for f in files), files)
                self.assertIn("FinishScreenSaver", self.trace.lines())

    def test_the_wav_driver_stays_loaded_after_its_last_device_closes(self):
        # The WAV device's completion notice comes from a thread that still runs the driver's code;
        # the next track, on another device, closes the WAV device at once. Were the driver unloaded
        # with it, that thread could fault in code no longer there.
        self.tone("t0.wav", A, 0.6)
        self.tone("t1.mp3", B, 6.0)
        process = self.start(self.saver(music=["t0.wav", "t1.mp3"]))
        self.trace.wait_for("Music track 1", timeout=20)
        time.sleep(1.0)
        pid = soak.wine_process(self.wine.prefix, "saver.scr")
        self.assertIsNotNone(pid)
        with open(f"/proc/{pid}/maps") as f:
            drivers = {os.path.basename(line.split()[-1]).lower() for line in f if "mci" in line.lower()}
        self.assertIn("mciwave.dll", drivers)
        self.assertIn("mciqtz32.dll", drivers, "the MP3 device's driver, for comparison")
        tones = self.recording.stop().tones([A, B])
        self.assertEqual([f for f, _, _ in tones.sequence()], [A, B], "both tracks sound")
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)

    def test_the_users_own_playlist_plays_where_it_is_and_stays(self):
        self.tone("t0.wav", A, 1.0)
        own = os.path.join(self.dir, "my music")
        os.mkdir(own)
        mine = [harness.write_tone(os.path.join(own, "first.wav"), B, 0.8),
                harness.write_tone(os.path.join(own, "second.wav"), C, 0.8)]
        contents = [read(f) for f in mine]
        key = "HKCU\\Software\\Tavolisk\\" + self.name
        self.wine.run("reg", "add", key, "/v", "UseCustomPlaylist", "/t", "REG_DWORD", "/d", "1", "/f")
        for i, path in enumerate(mine):
            self.wine.run("reg", "add", key + "\\PlayList", "/v", f"item{i}", "/d", self.wine.windows_path(path), "/f")
        process = self.start(self.saver(music=["t0.wav"]))
        self.trace.wait_for("Music over", timeout=20)
        self.assertIn("UseCustomPlaylist=1", next(line for line in self.trace.lines() if line.startswith("Panel ")))
        time.sleep(0.3)
        self.display.xdotool("key", "Escape")
        self.wait_exit(process)
        tones = self.recording.stop().tones([A, B, C])
        self.assertEqual([f for f, _, _ in tones.sequence()], [B, C], "the user's files, not the built-in track")
        self.assertEqual([read(f) for f in mine], contents, "the user's files stay as they were")


def read(path):
    with open(path, "rb") as f:
        return f.read()


if __name__ == "__main__":
    harness.main()
