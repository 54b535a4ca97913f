"""The Windows picture and text services under Wine, through the cross build's picture_probe."""

import os
import struct

import harness


def icon_image(width, height, rows, bits):
    """An icon image in bitmap form from rows of (r, g, b, a), top to bottom. 32 bits keeps the
    alpha; 24 bits puts pixels with alpha below 128 into the AND mask."""
    colour, mask = b"", b""
    mask_stride = (width + 31) // 32 * 4
    for row in reversed(rows):
        line = b"".join(bytes((b, g, r, a)) if bits == 32 else bytes((b, g, r)) for r, g, b, a in row)
        colour += line + b"\0" * (-len(line) % 4)
        mask_bits = 0
        for x, (_, _, _, a) in enumerate(row):
            if bits == 24 and a < 128:
                mask_bits |= 1 << (mask_stride * 8 - 1 - x)
        mask += mask_bits.to_bytes(mask_stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bits, 0, 0, 0, 0, 0, 0)
    return header + colour + mask


def icon_file(images):
    """An icon file of (width, height, bits, image) entries."""
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, bits, image in images:
        data += struct.pack("<BBBBHHII", width, height, 0, 0, 1, bits, len(image), offset)
        offset += len(image)
    return data + b"".join(image for _, _, _, image in images)


class PictureServices(harness.WineTestCase):
    def probe(self, *args):
        result = self.wine.run(os.path.join(harness.PATHS.win32_bin, "picture_probe.exe"), *args)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout

    def picture(self, name, *points):
        return self.probe("picture", self.wine.windows_path(os.path.join(self.dir, name)), *points).split()

    def test_icons_keep_their_transparency(self):
        clear, blue, red, green = (0, 0, 0, 0), (0, 0, 255, 128), (255, 0, 0, 255), (0, 255, 0, 255)
        large = [[clear] * 16 + [blue] * 16] * 16 + [[red] * 32] * 16
        small = [[green] * 16] * 16
        with open(os.path.join(self.dir, "alpha.ico"), "wb") as f:
            f.write(icon_file([(16, 16, 24, icon_image(16, 16, small, 24)),
                               (32, 32, 32, icon_image(32, 32, large, 32))]))
        self.assertEqual(self.picture("alpha.ico", "0,0", "20,5", "5,20"),
                         ["32", "32", "00000000", "800000FF", "FFFF0000"])

        masked = [[green] * 8 + [clear] * 8] * 16
        with open(os.path.join(self.dir, "masked.ico"), "wb") as f:
            f.write(icon_file([(16, 16, 24, icon_image(16, 16, masked, 24))]))
        self.assertEqual(self.picture("masked.ico", "2,2", "12,2"), ["16", "16", "FF00FF00", "00000000"])

    def test_metafiles_play_at_their_own_size(self):
        self.probe("metafiles", self.wine.windows_path(self.dir))
        # One inch by half an inch at 96 dots an inch; the left half painted over white.
        points = ("10,10", "40,40", "60,24")
        self.assertEqual(self.picture("t.emf", *points), ["96", "48", "FFFF0000", "FFFF0000", "FFFFFFFF"])
        self.assertEqual(self.picture("t.wmf", *points), ["96", "48", "FF0000FF", "FF0000FF", "FFFFFFFF"])
        with open(os.path.join(self.dir, "broken.wmf"), "wb") as f:
            f.write(b"\xd7\xcd\xc6\x9a" + b"\x01" * 40)
        self.assertEqual(self.picture("broken.wmf"), ["nothing"])

    def test_text_changes_only_glyph_pixels(self):
        lines = {name: [int(n) for n in numbers]
                 for name, *numbers in (line.split() for line in self.probe("text").splitlines())}
        one_w, one_h, two_w, two_h, big_w, big_h = lines["measure"]
        self.assertEqual(two_h, 2 * one_h)
        self.assertGreater(two_w, one_w)
        self.assertGreater(big_w, one_w)
        self.assertGreater(big_h, one_h)
        changed, exact, outside, partial, _ = lines["smooth"]
        self.assertGreater(exact, 0)
        self.assertGreater(changed, exact, "anti-aliased edges blend")
        self.assertEqual((outside, partial), (0, 0))
        changed, exact, outside, partial, _ = lines["sharp"]
        self.assertEqual(changed, exact, "without anti-aliasing every glyph pixel is the colour")
        self.assertEqual(outside, 0)
        self.assertGreaterEqual(lines["underlined"][4], 1, "the underline is a solid row")


if __name__ == "__main__":
    harness.main()
