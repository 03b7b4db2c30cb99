"""pixcsv on every picture of the speed goals, in one run, side by side with
its yardsticks: libpng decoding the file, zlib inflating its image data,
writing as many bytes as the table has (flushed to disk, as pixcsv does),
and two PIL + numpy peers (np.unique, and a lookup table over all 2^24
colour values). Every figure is the wall time of a whole process, the
median of the repeats, taken in turns so that the load of a shared machine
falls on all of them alike. Prints the ratios the goals are stated in and
each process's peak memory against the budget of 8 bytes per pixel and
150 MiB. The peers' tables must equal pixcsv's byte for byte."""
import argparse
import filecmp
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"  # Debian's numpy and PIL live there
MIB = 1 << 20

# Picture, pixels, and the goals: at most this many times (libpng decode +
# write), at most this share of the np.unique peer, at least this many times
# faster than the lookup-table peer.
PICTURES = [
    ("photo.png", 4096 * 4096, 1.0, 0.1, 3.0),
    ("photo-adam7.png", 4096 * 4096, 1.0, 0.1, 3.0),
    ("poster64.png", 8192 * 8192, 1.0, None, None),
    ("palette256.png", 4096 * 4096, 1.2, None, None),
    ("rgba16.png", 2048 * 2048, 1.2, None, None),
]


def run(command):
    """Wall seconds and peak resident bytes of one child process."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: %s" % " ".join(command))
    return seconds, usage.ru_maxrss * 1024


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pixcsv", required=True)
    parser.add_argument("--peers", required=True, help="the bench_peers program")
    parser.add_argument("--work", required=True, help="folder for the pictures and tables")
    parser.add_argument("--repeats", type=int, default=5)
    parser.add_argument("--peer-repeats", type=int, default=1, help="the numpy peers take minutes")
    parser.add_argument("--only", help="measure only the pictures whose names contain this")
    parser.add_argument("--before", help="another pixcsv, measured alongside (its own table and peak memory)")
    args = parser.parse_args()

    pictures_dir = os.path.join(args.work, "bench-pictures")
    if not os.path.exists(os.path.join(pictures_dir, PICTURES[-1][0])):
        os.makedirs(pictures_dir, exist_ok=True)
        print("making the pictures in %s ..." % pictures_dir, flush=True)
        subprocess.run([args.peers, "make", pictures_dir], check=True)
    pictures = [p for p in PICTURES if not args.only or args.only in p[0]]
    ours = os.path.join(args.work, "pixcsv.csv")
    theirs = os.path.join(args.work, "peer.csv")
    floor_file = os.path.join(args.work, "floor.bin")

    times = {}  # (picture, what) -> [seconds]
    peaks = {}  # (picture, what) -> bytes
    sizes = {}

    def measure(name, what, command):
        seconds, peak = run(command)
        times.setdefault((name, what), []).append(seconds)
        peaks[(name, what)] = max(peaks.get((name, what), 0), peak)

    try:
        for name, _, _, _, _ in pictures:
            picture = os.path.join(pictures_dir, name)
            run([args.pixcsv, "-q", "-o", ours, picture])
            sizes[name] = os.path.getsize(ours)
            for method in ("unique", "lut"):
                run([PYTHON, os.path.join(HERE, "peer_convert.py"), method, picture, theirs])
                if not filecmp.cmp(ours, theirs, shallow=False):
                    sys.exit("%s: the %s peer wrote another table than pixcsv" % (name, method))
        for repeat in range(max(args.repeats, args.peer_repeats)):
            for name, _, _, _, _ in pictures:
                picture = os.path.join(pictures_dir, name)
                if repeat < args.repeats:
                    measure(name, "pixcsv", [args.pixcsv, "-q", "-o", ours, picture])
                    if args.before:
                        measure(name, "before", [args.before, "-q", "-o", ours, picture])
                    measure(name, "libpng", [args.peers, "libpng", picture])
                    measure(name, "inflate", [args.peers, "inflate", picture])
                    # 1 MiB blocks flushed to disk, as pixcsv writes its table.
                    measure(name, "write", ["dd", "if=/dev/zero", "of=" + floor_file, "bs=1M",
                                            "count=%d" % sizes[name], "iflag=count_bytes", "conv=fsync",
                                            "status=none"])
                if repeat < args.peer_repeats:
                    for method in ("unique", "lut"):
                        measure(name, method, [PYTHON, os.path.join(HERE, "peer_convert.py"), method, picture,
                                               theirs])
            print("round %d of %d done" % (repeat + 1, max(args.repeats, args.peer_repeats)), flush=True)
    finally:
        for path in (ours, theirs, floor_file):
            if os.path.exists(path):
                os.remove(path)

    median = {key: statistics.median(values) for key, values in times.items()}
    print()
    print("medians of %d runs (peers: %d), seconds" % (args.repeats, args.peer_repeats))
    print("%-16s %7s %7s %7s %7s %7s %11s %8s %11s %8s %11s %6s %6s"
          % ("picture", "pixcsv", "libpng", "inflate", "write", "floor", "pix/floor", "unique", "pix/uniq",
             "lut", "lut/pix", "peak", "budget"))
    verdicts = []

    def judged(value, goal, at_most):
        if goal is None:
            return "%.2f" % value
        met = value <= goal if at_most else value >= goal
        verdicts.append(met)
        return "%.2f %s%.2g%s" % (value, "<=" if at_most else ">=", goal, "" if met else "!")

    for name, pixels, floor_goal, unique_goal, lut_goal in pictures:
        pix = median[(name, "pixcsv")]
        floor = median[(name, "libpng")] + median[(name, "write")]
        budget = 8 * pixels + 150 * MIB
        peak = peaks[(name, "pixcsv")]
        verdicts.append(peak <= budget)
        print("%-16s %7.3f %7.3f %7.3f %7.3f %7.3f %11s %8.2f %11s %8.2f %11s %5.0fM %5.0fM%s"
              % (name, pix, median[(name, "libpng")], median[(name, "inflate")], median[(name, "write")], floor,
                 judged(pix / floor, floor_goal, True), median[(name, "unique")],
                 judged(pix / median[(name, "unique")], unique_goal, True), median[(name, "lut")],
                 judged(median[(name, "lut")] / pix, lut_goal, False), peak / MIB, budget / MIB,
                 "" if peak <= budget else "!"))
    if args.before:
        print()
        print("before: " + ", ".join(
            "%s %.3f s (%.2f x floor, peak %.0fM)"
            % (name, median[(name, "before")],
               median[(name, "before")] / (median[(name, "libpng")] + median[(name, "write")]),
               peaks[(name, "before")] / MIB) for name, _, _, _, _ in pictures))
    print()
    print("peak memory of the peers: " + ", ".join(
        "%s %s %.0fM" % (name, method, peaks[(name, method)] / MIB)
        for name, _, _, _, _ in pictures for method in ("libpng", "unique", "lut")))
    print("every goal met" if all(verdicts) else "goals marked ! are not met")


if __name__ == "__main__":
    main()
