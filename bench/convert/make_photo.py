"""Writes a photo-like RGB PNG: smooth light and colour fields with grain,
so that it has hundreds of thousands of distinct colours like a camera
picture, compressed at PIL's default level."""
import argparse

import numpy as np
from PIL import Image


def photo(width, height, seed=1):
    rng = np.random.default_rng(seed)
    y, x = np.mgrid[0:height, 0:width].astype(np.float32)
    x /= width
    y /= height
    channels = []
    for phase in (0.0, 2.1, 4.2):
        field = (0.5 + 0.25 * np.sin(6.0 * x + phase) * np.cos(4.0 * y - phase)
                 + 0.2 * np.sin(17.0 * (x + y) + phase) * np.sin(11.0 * x * y))
        grain = rng.normal(0.0, 0.02, size=(height, width)).astype(np.float32)
        channels.append(np.clip((field + grain) * 255.0, 0, 255).astype(np.uint8))
    return np.stack(channels, axis=-1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("output")
    parser.add_argument("--size", type=int, default=4096)
    args = parser.parse_args()
    pixels = photo(args.size, args.size)
    Image.fromarray(pixels, "RGB").save(args.output)
    values = pixels[..., 0].astype(np.int32) | (pixels[..., 1].astype(np.int32) << 8) | (
        pixels[..., 2].astype(np.int32) << 16)
    print(len(np.unique(values)))


if __name__ == "__main__":
    main()
