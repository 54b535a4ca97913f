"""A short soak of the real saver.scr under Wine (soak.py runs it for as long as asked): a minute
and a half of one-second items of every kind but WMV (whose player in Wine grows by itself) with
looping WAV and MP3 music and entry sounds, with no crash, no hang and no growth of memory,
descriptors or threads after the first round."""

import harness
import soak

SECONDS = 90


class Soak(harness.WineTestCase):
    def test_a_run_of_every_kind_of_item_with_looping_music_neither_crashes_nor_hangs_nor_grows(self):
        report = soak.run_soak(self, SECONDS, "no-wmv")
        print(report.text())
        self.assertEqual(report.failures(), [], report.text())
        self.assertGreaterEqual(report.items, 20, "items follow one another every second or so")
        self.assertLessEqual({".jpg", ".png", ".tif", ".gif", ".bmp", ".avi"}, report.kinds, report.text())


if __name__ == "__main__":
    harness.main()
