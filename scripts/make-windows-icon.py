#!/usr/bin/env python3
"""Packs the editor's icon PNGs into the .ico that its Windows .rc file names.

    python3 scripts/make-windows-icon.py app/zentab_editor.ico packaging/icons/hicolor/*/apps/*.png

Each PNG goes into the .ico as it is (Windows reads PNG entries since Vista),
smallest first; sizes above 256 pixels are left out, as .ico cannot hold them.
"""
import struct
import sys


def png_size(data, name):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        sys.exit(f"{name}: not a PNG file")
    return struct.unpack(">II", data[16:24])


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    images = {}
    for name in sys.argv[2:]:
        with open(name, "rb") as f:
            data = f.read()
        width, height = png_size(data, name)
        if width != height:
            sys.exit(f"{name}: {width}x{height} is not square")
        if width <= 256:
            images[width] = data
    if not images:
        sys.exit("no PNG of 256 pixels or less")
    sizes = sorted(images)
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size in sizes:
        # 0 stands for 256 in the one-byte width and height.
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(images[size]), offset)
        offset += len(images[size])
    for size in sizes:
        out += images[size]
    with open(sys.argv[1], "wb") as f:
        f.write(out)
    print(f"{sys.argv[1]}: {', '.join(str(s) for s in sizes)} pixels")


if __name__ == "__main__":
    main()
