"""The peers: the same conversion as pixcsv, written the way a numpy user
would, for opaque pictures and pictures with an alpha channel (composited
onto black as pixcsv does). The numbering is either np.unique or a lookup
table over all 2^24 colour values; the writing is a table of cell texts.

    peer_convert.py unique|lut INPUT.png OUTPUT.csv"""
import sys

import numpy as np
from PIL import Image


def colour_values(source):
    picture = Image.open(source)
    if "A" in picture.getbands() or "transparency" in picture.info:
        rgba = np.asarray(picture.convert("RGBA"), dtype=np.int32)
        alpha = rgba[..., 3:4]
        rgb = (rgba[..., :3] * alpha + 127) // 255
    else:
        rgb = np.asarray(picture.convert("RGB"), dtype=np.int32)
    return rgb[..., 0] | (rgb[..., 1] << 8) | (rgb[..., 2] << 16)


def numbers_by_unique(values):
    colours, inverse = np.unique(values, return_inverse=True)
    return len(colours), inverse.reshape(values.shape) + 1


def numbers_by_lookup(values):
    present = np.zeros(1 << 24, dtype=np.int32)
    present[values] = 1
    rank = np.cumsum(present, dtype=np.int32)
    return int(rank[-1]), rank[values]


def write(numbers, count, target):
    cells = [b""] + [b"%d;" % number for number in range(1, count + 1)]
    with open(target, "wb", buffering=1 << 20) as out:
        for row in numbers.tolist():
            out.write(b"".join([cells[n] for n in row]))
            out.write(b"\r\n")


def main():
    method, source, target = sys.argv[1:4]
    values = colour_values(source)
    count, numbers = (numbers_by_unique if method == "unique" else numbers_by_lookup)(values)
    write(numbers, count, target)


if __name__ == "__main__":
    main()
