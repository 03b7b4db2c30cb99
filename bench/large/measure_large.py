"""A 16384 x 16384 RGB picture through pixcsv and through the window (headless,
large_window_run): wall time and peak resident memory of each, checked
against the table the picture must give.

The picture holds every one of the 2^24 colour values (red = x mod 256,
green = y mod 256, blue from the 256-pixel tile), so the table's numbers
are the colour values plus one, eight digits at most: the largest table and
colour list any picture of this size can ask for."""
import argparse
import filecmp
import os
import struct
import subprocess
import sys
import time
import zlib

import numpy

SIDE = 16384
MIB = 1 << 20


def colour_values(y):
    x = numpy.arange(SIDE, dtype=numpy.int64)
    blue = ((x >> 8) + 64 * (y >> 8)) & 255
    return (x & 255) + 256 * (y & 255) + 65536 * blue


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def write_picture(path):
    with open(path + ".part", "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIDE, SIDE, 8, 2, 0, 0, 0)))
        packer = zlib.compressobj(6)
        pending = b""
        for y in range(SIDE):
            values = colour_values(y)
            rgb = numpy.stack([values & 255, values >> 8 & 255, values >> 16], axis=1).astype(numpy.uint8)
            pending += packer.compress(b"\0" + rgb.tobytes())
            if len(pending) >= MIB:
                out.write(chunk(b"IDAT", pending))
                pending = b""
        out.write(chunk(b"IDAT", pending + packer.flush()) + chunk(b"IEND", b""))
    os.replace(path + ".part", path)


def expected_size():
    total = 0
    for y in range(SIDE):
        numbers = colour_values(y) + 1
        digits = sum(int((numbers >= 10 ** k).sum()) for k in range(1, 9)) + SIDE
        total += digits + SIDE + 2  # and ";" per cell, CR LF per line
    return total


def run(command):
    """Wall seconds, peak resident bytes and standard output of one child."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
    output = child.stdout.read()
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: %s" % " ".join(command))
    return seconds, usage.ru_maxrss * 1024, output


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pixcsv", required=True)
    parser.add_argument("--window", required=True)
    parser.add_argument("--work", default="/tmp/pixelizer-large")
    arguments = parser.parse_args()

    os.makedirs(arguments.work, exist_ok=True)
    picture = os.path.join(arguments.work, "large.png")
    if not os.path.exists(picture):
        print("generating %s ..." % picture, flush=True)
        write_picture(picture)
    print("picture: %d x %d RGB, %.1f MiB file, %.0f MiB of pixels"
          % (SIDE, SIDE, os.path.getsize(picture) / MIB, SIDE * SIDE * 3 / MIB))

    by_pixcsv = os.path.join(arguments.work, "pixcsv.csv")
    by_window = os.path.join(arguments.work, "window.csv")
    try:
        seconds, peak, _ = run([arguments.pixcsv, "-q", "-o", by_pixcsv, picture])
        print("pixcsv:  %7.1f s, peak %6.0f MiB" % (seconds, peak / MIB), flush=True)
        seconds, peak, stages = run([arguments.window, picture, by_window])
        print("window:  %7.1f s, peak %6.0f MiB; by stage:" % (seconds, peak / MIB))
        print("  " + stages.strip().replace("\n", "\n  "), flush=True)

        size = os.path.getsize(by_pixcsv)
        print("table:   %.0f MiB" % (size / MIB))
        if size != expected_size():
            sys.exit("the table has %d bytes, not %d" % (size, expected_size()))
        with open(by_pixcsv, "rb") as table:
            first = table.readline()
        if first != ("".join("%d;" % (v + 1) for v in colour_values(0)) + "\r\n").encode():
            sys.exit("the first line is not the expected one")
        if not filecmp.cmp(by_pixcsv, by_window, shallow=False):
            sys.exit("the window and pixcsv wrote different tables")
        print("both tables as expected and identical")
    finally:
        for table in (by_pixcsv, by_window):
            if os.path.exists(table):
                os.remove(table)


if __name__ == "__main__":
    main()
