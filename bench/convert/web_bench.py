"""The page in headless Chromium against native pixcsv, side by side in one
run, on the benchmark's photo and palette pictures (made by bench_peers, as
for convert_bench.py):

    /usr/bin/python3 bench/convert/web_bench.py --page dist/web --pixcsv PIXCSV \\
        --peers BENCH_PEERS --work FOLDER [--repeats 3]

The page's time is the user's: from handing the file to the file input to
the picture being loaded, plus from the click on the save button to the
download being handed to the browser. It is split by the worker's own
messages into loading (decoding and drawing), the numbering pass and the
writing pass. pixcsv is timed as a whole process, on both cores as it runs
and on one (the page's worker has one thread), and optionally built
with zlib alone, on one core, to tell WebAssembly's share from ISA-L's and
the second thread's. Medians, taken in turns.
Also the peak memory of the browser's renderer above its idle level while
the page converts each picture. The tables must equal pixcsv's.
"""
import argparse
import os
import statistics
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "web"))
import page_test  # noqa: E402

PICTURES = ["photo.png", "palette256.png"]
MIB = 1 << 20

# When each of the worker's answers reached the page, by the page's clock.
TIMELINE = """
window.timeline = [];
const TimedWorker = window.Worker;
window.Worker = class extends TimedWorker {
  constructor(...args) {
    super(...args);
    this.addEventListener('message', (event) => timeline.push([performance.now(), event.data.type]));
  }
};
"""


def renderer_bytes():
    """The resident memory of Chromium's renderer processes, together."""
    total = 0
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as file:
                if b"--type=renderer" not in file.read():
                    continue
            with open("/proc/%s/statm" % pid) as file:
                total += int(file.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")
        except OSError:
            continue
    return total


class PeakSampler:
    def __init__(self):
        self.peak = 0
        self.running = True
        self.thread = threading.Thread(target=self.sample)
        self.thread.start()

    def sample(self):
        while self.running:
            self.peak = max(self.peak, renderer_bytes())
            time.sleep(0.02)

    def stop(self):
        self.running = False
        self.thread.join()
        return self.peak


def timed(command):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def page_run(page, picture):
    """Seconds: load, numbering, writing, the user's total; and the table."""
    page.js("timeline.length = 0")
    start = page.js("return performance.now()")
    page.load(picture)
    clicked = page.js("return performance.now()")
    name, content = page.save("csv")
    events = page.js("return timeline")
    moment = {}
    for at, kind in events:
        moment.setdefault(kind, []).append(at)
    loaded = moment["loaded"][0]
    numbering = moment["passEnd"][0] - moment["pass"][0]
    writing = moment["download"][0] - moment["pass"][1]
    total = (loaded - start) + (moment["download"][0] - clicked)
    return [(loaded - start) / 1000, numbering / 1000, writing / 1000, total / 1000], content


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", required=True)
    parser.add_argument("--pixcsv", required=True)
    parser.add_argument("--peers", required=True, help="the bench_peers program, which makes the pictures")
    parser.add_argument("--work", required=True)
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--zlib-pixcsv", help="pixcsv built without ISA-L (-DPIXELIZER_ISAL=OFF), inflating "
                        "with zlib as the page does, measured alongside")
    args = parser.parse_args()

    pictures_dir = os.path.join(args.work, "bench-pictures")
    if not all(os.path.exists(os.path.join(pictures_dir, name)) for name in PICTURES):
        os.makedirs(pictures_dir, exist_ok=True)
        subprocess.run([args.peers, "make", pictures_dir], check=True)
    native_table = os.path.join(args.work, "native.csv")
    server = page_test.Server(os.path.abspath(args.page))
    page = page_test.Page("http://127.0.0.1:%d/index.html" % server.port, args.work, 1, TIMELINE)
    native, single, zlib_only, phases, peaks = {}, {}, {}, {}, {}
    try:
        idle = renderer_bytes()
        for repeat in range(args.repeats):
            for name in PICTURES:
                picture = os.path.join(pictures_dir, name)
                native.setdefault(name, []).append(timed([args.pixcsv, "-q", "-o", native_table, picture]))
                single.setdefault(name, []).append(
                    timed(["taskset", "-c", "0", args.pixcsv, "-q", "-o", native_table, picture]))
                if args.zlib_pixcsv:
                    zlib_only.setdefault(name, []).append(
                        timed(["taskset", "-c", "0", args.zlib_pixcsv, "-q", "-o", native_table, picture]))
                sampler = PeakSampler()
                seconds, content = page_run(page, picture)
                peaks[name] = max(peaks.get(name, 0), sampler.stop() - idle)
                phases.setdefault(name, []).append(seconds)
                with open(native_table, "rb") as file:
                    if file.read() != content:
                        sys.exit("%s: the page wrote another table than pixcsv" % name)
            print("round %d of %d done" % (repeat + 1, args.repeats), flush=True)
    finally:
        page.quit()
        server.stop()
        if os.path.exists(native_table):
            os.remove(native_table)

    print()
    print("medians of %d runs, seconds" % args.repeats)
    print("%-16s %7s %7s %7s %7s %7s %7s %9s %9s %9s"
          % ("picture", "pixcsv", "1 core", "load", "number", "write", "page", "page/pix", "page/1core", "peak"))
    for name in PICTURES:
        pix = statistics.median(native[name])
        one = statistics.median(single[name])
        load, number, write, total = (statistics.median(run[i] for run in phases[name]) for i in range(4))
        print("%-16s %7.3f %7.3f %7.3f %7.3f %7.3f %7.3f %9.2f %9.2f %8.0fM"
              % (name, pix, one, load, number, write, total, total / pix, total / one, peaks[name] / MIB))
        if args.zlib_pixcsv:
            zlib_one = statistics.median(zlib_only[name])
            print("%-16s pixcsv with zlib alone, on one core: %.3f s; page / that: %.2f"
                  % ("", zlib_one, total / zlib_one))


if __name__ == "__main__":
    main()
