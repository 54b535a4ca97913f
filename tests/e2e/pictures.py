"""Picture files for the end-to-end tests, written byte by byte."""


def solid_bmp(width, height, rgb):
    """A 24-bit Windows bitmap of one colour, rgb a (red, green, blue) tuple."""
    stride = (width * 3 + 3) & ~3
    pixels = bytes(rgb[::-1]) * width + bytes(stride - width * 3)
    header = b"BM" + (54 + stride * height).to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little")
    info = ((40).to_bytes(4, "little") + width.to_bytes(4, "little") + height.to_bytes(4, "little") +
            (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(24))
    return header + info + pixels * height


def _s15(value):
    """An ICC s15Fixed16Number."""
    return int(round(value * 65536)).to_bytes(4, "big", signed=True)


def _xyz(x, y, z):
    return b"XYZ " + bytes(4) + _s15(x) + _s15(y) + _s15(z)


def display_p3_profile():
    """A version 2 display profile of Display P3 as phones embed it: the P3 primaries adapted to the
    D50 white of the profile connection space, and the sRGB curve on each channel."""
    description = b"Display P3\0"
    tags = [
        (b"desc", b"desc" + bytes(4) + len(description).to_bytes(4, "big") + description + bytes(8) + bytes(3 + 67)),
        (b"wtpt", _xyz(0.9642, 1.0, 0.8249)),
        (b"rXYZ", _xyz(0.5151, 0.2412, -0.0011)),
        (b"gXYZ", _xyz(0.2920, 0.6922, 0.0419)),
        (b"bXYZ", _xyz(0.1571, 0.0666, 0.7841)),
    ]
    curve = (b"para" + bytes(4) + (3).to_bytes(2, "big") + bytes(2) + _s15(2.4) + _s15(1 / 1.055) +
             _s15(0.055 / 1.055) + _s15(1 / 12.92) + _s15(0.04045))
    tags += [(b"rTRC", curve), (b"gTRC", curve), (b"bTRC", curve)]
    tags.append((b"cprt", b"text" + bytes(4) + b"No copyright\0"))
    table, data = b"", b""
    offset = 128 + 4 + 12 * len(tags)
    for signature, body in tags:
        body += bytes(-len(body) % 4)
        table += signature + (offset + len(data)).to_bytes(4, "big") + len(body).to_bytes(4, "big")
        data += body
    size = offset + len(data)
    header = (size.to_bytes(4, "big") + bytes(4) + bytes((2, 0x10, 0, 0)) + b"mntrRGB XYZ " + bytes(12) + b"acsp" +
              bytes(24) + bytes(4) + _s15(0.9642) + _s15(1.0) + _s15(0.8249) + bytes(4) + bytes(16) + bytes(28))
    assert len(header) == 128
    return header + len(tags).to_bytes(4, "big") + table + data
