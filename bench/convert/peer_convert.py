"""The peer: the same conversion as pixcsv for an opaque RGB PNG, written the
way a numpy user would, np.unique for the numbering and a table of cell
texts for the writing."""
import sys

import numpy as np
from PIL import Image


def convert(source, target):
    pixels = np.asarray(Image.open(source).convert("RGB"), dtype=np.int32)
    values = pixels[..., 0] | (pixels[..., 1] << 8) | (pixels[..., 2] << 16)
    colours, inverse = np.unique(values, return_inverse=True)
    numbers = inverse.reshape(values.shape)
    cells = [b"%d;" % number for number in range(1, len(colours) + 1)]
    with open(target, "wb", buffering=1 << 20) as out:
        for row in numbers.tolist():
            out.write(b"".join([cells[n] for n in row]))
            out.write(b"\r\n")


if __name__ == "__main__":
    convert(sys.argv[1], sys.argv[2])
