"""pixcsv against the PIL + numpy peer on one generated 4096 x 4096 photo,
in one run: wall time (best of several), peak memory of each process, and
the time that merely writing the same number of bytes takes (the floor).
Both outputs must be byte-identical."""
import argparse
import filecmp
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"  # Debian's numpy and PIL live there
MIB = 1 << 20


def run(command):
    """Wall seconds and peak resident bytes of one child process."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit("failed: %s" % " ".join(command))
    return seconds, usage.ru_maxrss * 1024


def best(command, repeats):
    runs = [run(command) for _ in range(repeats)]
    return min(r[0] for r in runs), max(r[1] for r in runs)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pixcsv", required=True)
    parser.add_argument("--work", default=None, help="folder for the picture and outputs")
    parser.add_argument("--size", type=int, default=4096)
    parser.add_argument("--repeats", type=int, default=3)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(dir=args.work) as work:
        picture = os.path.join(work, "photo.png")
        colours = subprocess.run([PYTHON, os.path.join(HERE, "make_photo.py"), picture, "--size", str(args.size)],
                                 check=True, capture_output=True, text=True).stdout.strip()
        ours = os.path.join(work, "pixcsv.csv")
        peer = os.path.join(work, "peer.csv")
        floor = os.path.join(work, "floor.bin")

        pixcsv_time, pixcsv_peak = best([args.pixcsv, "-q", "-o", ours, picture], args.repeats)
        peer_time, peer_peak = best([PYTHON, os.path.join(HERE, "peer_convert.py"), picture, peer], args.repeats)
        if not filecmp.cmp(ours, peer, shallow=False):
            sys.exit("pixcsv and the peer wrote different bytes")
        size = os.path.getsize(ours)
        # The same bytes written in 1 MiB blocks and flushed to disk, as pixcsv does.
        floor_time, _ = best(["dd", "if=/dev/zero", "of=" + floor, "bs=1M", "count=%d" % size,
                              "iflag=count_bytes", "conv=fsync", "status=none"], args.repeats)

        pixels = args.size * args.size
        budget = 8 * pixels + 150 * MIB
        print("picture: %d x %d, %s distinct colours, %.1f MiB PNG, %.1f MiB CSV"
              % (args.size, args.size, colours, os.path.getsize(picture) / MIB, size / MIB))
        print("pixcsv:       %6.3f s   peak %6.1f MiB (budget %.1f MiB: %s)"
              % (pixcsv_time, pixcsv_peak / MIB, budget / MIB, "within" if pixcsv_peak <= budget else "OVER"))
        print("PIL + numpy:  %6.3f s   peak %6.1f MiB" % (peer_time, peer_peak / MIB))
        print("write floor:  %6.3f s" % floor_time)
        print("pixcsv is %.1f x faster than the peer and takes %.2f x the write floor"
              % (peer_time / pixcsv_time, pixcsv_time / floor_time))


if __name__ == "__main__":
    main()
