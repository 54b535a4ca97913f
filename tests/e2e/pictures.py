"""Picture files for the end-to-end tests, written byte by byte."""


def solid_bmp(width, height, rgb):
    """A 24-bit Windows bitmap of one colour, rgb a (red, green, blue) tuple."""
    stride = (width * 3 + 3) & ~3
    pixels = bytes(rgb[::-1]) * width + bytes(stride - width * 3)
    header = b"BM" + (54 + stride * height).to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little")
    info = ((40).to_bytes(4, "little") + width.to_bytes(4, "little") + height.to_bytes(4, "little") +
            (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(24))
    return header + info + pixels * height
