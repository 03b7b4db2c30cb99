"""Writes a Windows icon file holding the given PNG pictures as they are:
    python3 tools/make_ico.py OUTPUT.ico PICTURE.png...
Every Windows since Vista reads PNG entries; sizes come from the PNG headers."""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("not a PNG file")
    return struct.unpack(">II", data[16:24])


def main(output, pictures):
    images = [open(name, "rb").read() for name in pictures]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for data in images:
        width, height = png_size(data)
        # 256 is written as 0: the entry's size fields are single bytes.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(output, "wb") as icon:
        icon.write(header + entries + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
