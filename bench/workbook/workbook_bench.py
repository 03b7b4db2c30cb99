"""pixcsv writing workbooks, side by side with a Python peer writing the
same workbook with xlsxwriter (peer_workbook.py), in one run: a 1024 x 1024
picture of 256 colours in 8 x 8 blocks, as pixel art is, and the 4096 x
4096 palette picture of the conversion benchmark. Wall times of whole
processes, medians of the repeats taken in turns; pixcsv's peak memory
against the budget of 8 bytes per pixel and 150 MiB. Before timing, the
peer's workbook of the small picture must hold pixcsv's numbers and fills."""
import argparse
import os
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "convert"))
from convert_bench import MIB, PYTHON, run  # noqa: E402  timed the same way

# Picture, pixels, and the goal: the peer takes at least this many times
# as long as pixcsv.
PICTURES = [
    ("pixelart1024.png", 1024 * 1024, 5.0),
    ("palette256.png", 4096 * 4096, None),
]


def make_pixel_art(path):
    import numpy as np  # in a process of its own, as the comparison below
    from PIL import Image

    rng = np.random.default_rng(8)
    palette = rng.integers(0, 256, size=(256, 3), dtype=np.uint8)
    blocks = rng.integers(0, 256, size=(128, 128))
    blocks[:16, :16] = np.arange(256).reshape(16, 16)  # every colour at least once
    indexes = np.kron(blocks, np.ones((8, 8), dtype=np.int64))
    Image.fromarray(palette[indexes], "RGB").save(path)


def same_workbook(ours, theirs):
    """Run in a process of its own: the readers' memory would otherwise be
    counted in every later child's peak, which starts as a copy of this one."""
    import openpyxl

    mine = openpyxl.load_workbook(ours)
    peer = openpyxl.load_workbook(theirs)
    for a, b in zip(mine.worksheets[0].iter_rows(), peer.worksheets[0].iter_rows()):
        for x, y in zip(a, b):
            if x.value != y.value or x.fill.fgColor.rgb != y.fill.fgColor.rgb:
                return False
    rows = lambda book: [[c.value for c in row] for row in book.worksheets[1].iter_rows()]
    return rows(mine) == rows(peer)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pixcsv", required=True)
    parser.add_argument("--peers", required=True, help="the bench_peers program, which makes the palette picture")
    parser.add_argument("--work", required=True, help="folder for the pictures and workbooks")
    parser.add_argument("--repeats", type=int, default=5)
    parser.add_argument("--peer-repeats", type=int, default=1, help="the peer takes minutes on the large picture")
    args = parser.parse_args()

    pictures_dir = os.path.join(args.work, "bench-pictures")
    if not os.path.exists(os.path.join(pictures_dir, "palette256.png")):
        os.makedirs(pictures_dir, exist_ok=True)
        subprocess.run([args.peers, "make", pictures_dir], check=True)
    if not os.path.exists(os.path.join(pictures_dir, "pixelart1024.png")):
        subprocess.run([PYTHON, __file__, "make", os.path.join(pictures_dir, "pixelart1024.png")], check=True)
    ours = os.path.join(args.work, "pixcsv.xlsx")
    theirs = os.path.join(args.work, "peer.xlsx")
    peer = os.path.join(HERE, "peer_workbook.py")

    small = os.path.join(pictures_dir, PICTURES[0][0])
    run([args.pixcsv, "-q", "-o", ours, small])
    run([PYTHON, peer, small, theirs])
    if subprocess.run([PYTHON, __file__, "compare", ours, theirs]).returncode != 0:
        sys.exit("the peer's workbook holds other numbers or fills than pixcsv's")

    times, peaks, sizes = {}, {}, {}
    try:
        for repeat in range(max(args.repeats, args.peer_repeats)):
            for name, _, _ in PICTURES:
                picture = os.path.join(pictures_dir, name)
                for what, command, output, repeats in (
                        ("pixcsv", [args.pixcsv, "-q", "-o", ours, picture], ours, args.repeats),
                        ("peer", [PYTHON, peer, picture, theirs], theirs, args.peer_repeats)):
                    if repeat < repeats:
                        seconds, peak = run(command)
                        times.setdefault((name, what), []).append(seconds)
                        peaks[(name, what)] = max(peaks.get((name, what), 0), peak)
                        sizes[(name, what)] = os.path.getsize(output)
            print("round %d of %d done" % (repeat + 1, max(args.repeats, args.peer_repeats)), flush=True)
    finally:
        for path in (ours, theirs):
            if os.path.exists(path):
                os.remove(path)

    print()
    print("medians of %d runs (peer: %d), seconds" % (args.repeats, args.peer_repeats))
    print("%-18s %8s %8s %12s %9s %9s %8s %8s" % ("picture", "pixcsv", "peer", "peer/pixcsv", "pix size", "peer size",
                                                  "peak", "budget"))
    met = True
    for name, pixels, goal in PICTURES:
        pix = statistics.median(times[(name, "pixcsv")])
        them = statistics.median(times[(name, "peer")])
        ratio = them / pix
        budget = 8 * pixels + 150 * MIB
        peak = peaks[(name, "pixcsv")]
        verdict = "" if goal is None else (" >=%.0f" % goal if ratio >= goal else " >=%.0f!" % goal)
        met = met and (goal is None or ratio >= goal) and peak <= budget
        print("%-18s %8.3f %8.3f %12s %8.1fM %8.1fM %7.0fM %7.0fM%s"
              % (name, pix, them, "%.1f%s" % (ratio, verdict), sizes[(name, "pixcsv")] / MIB,
                 sizes[(name, "peer")] / MIB, peak / MIB, budget / MIB, "" if peak <= budget else "!"))
    print("peak memory of the peer: " + ", ".join("%s %.0fM" % (name, peaks[(name, "peer")] / MIB)
                                                  for name, _, _ in PICTURES))
    print("every goal met" if met else "goals marked ! are not met")


if __name__ == "__main__":
    if sys.argv[1:2] == ["make"]:
        make_pixel_art(sys.argv[2])
    elif sys.argv[1:2] == ["compare"]:
        sys.exit(0 if same_workbook(sys.argv[2], sys.argv[3]) else 1)
    else:
        main()
