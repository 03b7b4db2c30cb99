#!/usr/bin/python3
"""The page in headless Chromium, against the native programs:

    xvfb-run -a -s "-screen 0 1600x1200x24" /usr/bin/python3 tests/web/page_test.py \\
        PAGE_FOLDER NATIVE_BIN_FOLDER [PNG_FOLDER...] [--screenshots FOLDER]

Every picture of the folders is loaded through the page's file input and
saved with its save button, as CSV and as a workbook: the downloads must
equal pixcsv's files byte for byte, and where pixcsv fails the page's error
box must say what pixcsv says. Then a cancelled save, hostile files, and the
preview's and the buttons' pixels against the Qt window's at device pixel
ratios 1 and 2
(the window driven by tools/take_screenshots.py under the X server the test
runs in). Needs Debian's chromium, chromium-driver, python3-selenium,
python3-pil, python3-numpy and xdotool.
"""
import argparse
import os
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time
import zlib

import numpy
from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
# Bounds in the window's client area: the preview and the two buttons.
PREVIEW = (17, 16, 305, 305)
BUTTONS = {"load": (41, 344, 255, 65), "save": (41, 432, 255, 65)}
TIMEOUT = 300

# Counts the worker's answers by kind, so that the test knows when a job is
# done however fast it was.
COUNT_ANSWERS = """
window.answers = {};
const PageWorker = window.Worker;
window.Worker = class extends PageWorker {
  constructor(...args) {
    super(...args);
    this.addEventListener('message', (event) => {
      answers[event.data.type] = (answers[event.data.type] || 0) + 1;
    });
  }
};
"""

failures = []


def check(name, condition, detail=""):
    if not condition:
        failures.append(name)
    print("ok  " if condition else "FAIL", name, detail if not condition else "", flush=True)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_declaring(width, height, colour_type, bit_depth):
    """A PNG whose header asks for width x height and whose image data is
    one empty row: only what the header declares is large."""
    header = struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", zlib.compress(b"\0"))
            + png_chunk(b"IEND", b""))


class Server:
    """The page folder served as any static server would, on every address
    of the machine: the loopback one is a secure context for the browser,
    the network's is not."""

    def __init__(self, folder):
        with socket.socket() as probe:
            probe.bind(("0.0.0.0", 0))
            self.port = probe.getsockname()[1]
        self.process = subprocess.Popen(
            ["/usr/bin/python3", "-m", "http.server", str(self.port), "--bind", "0.0.0.0", "--directory", folder],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            try:
                socket.create_connection(("127.0.0.1", self.port), 0.2).close()
                return
            except OSError:
                time.sleep(0.1)
        sys.exit("the static server did not start")

    def stop(self):
        self.process.terminate()
        self.process.wait()

    def url(self, host="127.0.0.1"):
        return "http://%s:%d/index.html" % (host, self.port)


def network_address():
    """An address of this machine that is not a loopback one, if any."""
    addresses = subprocess.run(["hostname", "-I"], capture_output=True, text=True).stdout.split()
    return next((address for address in addresses if "." in address and not address.startswith("127.")), None)


class Page:
    def __init__(self, url, work, ratio, instrument=""):
        # Chromium saves downloads only into a folder named by an absolute path.
        browser = tempfile.mkdtemp(prefix="browser-", dir=os.path.abspath(work))
        self.downloads = os.path.join(browser, "downloads")
        os.makedirs(self.downloads)
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                         "--disable-background-networking", "--disable-component-update", "--disable-sync",
                         "--user-data-dir=" + os.path.join(browser, "profile"), "--window-size=1001,800",
                         "--force-device-scale-factor=%g" % ratio, "--force-color-profile=srgb"]:
            options.add_argument(argument)
        options.add_experimental_option("prefs", {"download.default_directory": self.downloads,
                                                  "download.prompt_for_download": False})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": COUNT_ANSWERS + instrument})
        self.driver.get(url)
        self.wait_for("created")

    def quit(self):
        self.driver.quit()

    def answers(self, kind):
        return self.driver.execute_script("return window.answers[arguments[0]] || 0", kind)

    def wait_until(self, condition, what):
        deadline = time.time() + TIMEOUT
        while not condition():
            if time.time() > deadline:
                sys.exit("timed out waiting for " + what)
            time.sleep(0.02)

    def wait_for(self, kind, before=0):
        self.wait_until(lambda: self.answers(kind) > before, kind)

    def js(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def failure(self):
        """The error box's text, closing the box; None when it is not open."""
        if not self.js("return document.getElementById('failure').open"):
            return None
        text = self.js("return document.getElementById('failure-text').textContent")
        self.driver.find_element(By.ID, "failure-ok").click()
        return text

    def load(self, picture):
        before = self.answers("loaded")
        picker = self.driver.find_element(By.CSS_SELECTOR, "input[type=file]")
        # Emptied as the load button empties it, so that the same file
        # picked again is a new choice.
        self.js("arguments[0].value = ''", picker)
        picker.send_keys(os.path.abspath(picture))
        self.wait_for("loaded", before)
        return self.failure()

    def save(self, kind):
        """The downloaded file's name and bytes, or the failure text."""
        self.js("document.getElementById('kind').value = arguments[0]", kind)
        before = self.answers("saved")
        self.driver.find_element(By.ID, "save").click()
        self.wait_for("saved", before)
        failure = self.failure()
        if failure is not None:
            return None, failure
        self.wait_until(lambda: self.finished_downloads(), "the download")
        name = self.finished_downloads()[0]
        path = os.path.join(self.downloads, name)
        with open(path, "rb") as file:
            content = file.read()
        os.remove(path)
        return name, content

    def finished_downloads(self):
        """The downloaded files once Chromium has none in the making."""
        names = os.listdir(self.downloads)
        if any(name.startswith(".") or name.endswith(".crdownload") for name in names):
            return []
        return names


def native_conversions(pixcsv, pictures, folder):
    """pixcsv on copies of every picture, CSV and workbook, as a user would
    run it: the tables written, and the message of every failure by name."""
    os.makedirs(folder)
    for picture in pictures:
        shutil.copy(picture, folder)
    messages = {}
    for kind in ([], ["--xlsx"]):
        names = sorted(os.listdir(folder))
        run = subprocess.run([pixcsv, "-q", *kind, "--", *[n for n in names if n.endswith(".png")]],
                             cwd=folder, capture_output=True, text=True)
        for line in run.stderr.splitlines():
            _, name, message = line.split(": ", 2)
            messages[(name, "xlsx" if kind else "csv")] = message
    return folder, messages


def check_conversions(page, pixcsv, pictures, folder, where, kinds=("csv", "xlsx")):
    folder, messages = native_conversions(pixcsv, pictures, folder)
    differing = []
    for picture in pictures:
        name = os.path.basename(picture)
        stem = os.path.splitext(name)[0]
        load_failure = page.load(picture)
        if load_failure is not None:
            if messages.get((name, "csv")) != load_failure:
                differing.append("%s: page %r, pixcsv %r" % (name, load_failure, messages.get((name, "csv"))))
            continue
        for kind in kinds:
            downloaded, content = page.save(kind)
            expected_name = stem + "." + kind
            if downloaded is None:
                if messages.get((name, kind)) != content:
                    differing.append("%s %s: page %r, pixcsv %r" % (name, kind, content, messages.get((name, kind))))
                continue
            with open(os.path.join(folder, expected_name), "rb") as file:
                native = file.read()
            if downloaded != expected_name or content != native:
                differing.append("%s %s: page's %s differs" % (name, kind, downloaded))
    check("%s, %d pictures: the page's tables, workbooks and failure messages are pixcsv's"
          % (where, len(pictures)), not differing, "\n  ".join(differing[:20]))


def check_stored_tables(page):
    """The tables written into the page's storage go once downloaded: none
    is older than the minute a download is given to read it."""
    names = page.driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        navigator.storage.getDirectory().then((root) => root.getDirectoryHandle('tables'))
          .then(async (folder) => { const names = []; for await (const name of folder.keys()) names.push(name); done(names); },
                () => done([]));""")
    now = page.js("return Date.now()")
    stale = [name for name in names if now - int(name.split("-")[0]) > 70000]
    check("no table stays in the page's storage after its download", not stale, str(stale))


def check_window_parts(page):
    check("the caption is the window's", page.js("return document.title") == "Пікселізація...")
    check("the file input is the page's only one", page.js("return document.querySelectorAll('input[type=file]').length") == 1)
    check("both buttons show the hand pointer",
          page.js("return ['load', 'save'].every((id) => getComputedStyle(document.getElementById(id)).cursor === 'pointer')"))
    corner = "return Array.from(document.querySelector('#load canvas').getContext('2d').getImageData(0, 0, 1, 1).data)"
    normal = page.js(corner)
    ActionChains(page.driver).move_to_element(page.driver.find_element(By.ID, "load")).perform()
    over = page.js(corner)
    ActionChains(page.driver).move_to_element(page.driver.find_element(By.ID, "kind")).perform()
    check("the load button shows Load2, and Load1 under the pointer",
          normal[:3] == [127, 127, 127] and over[:3] == [166, 166, 166] and page.js(corner) == normal,
          "%s %s" % (normal, over))
    shown = page.load(os.path.join(ROOT, "LICENSE"))
    check("a file that is no PNG is refused in a box titled with the application's name",
          shown and page.js("return document.getElementById('failure-title').textContent") == "pixelizer")


def check_cancel(page, pixcsv, picture, work):
    page.load(picture)
    page.js("document.getElementById('kind').value = 'xlsx'")
    before = page.answers("loaded")
    page.driver.find_element(By.ID, "save").click()
    page.wait_until(lambda: page.js("return document.getElementById('progress').open"), "the progress box")
    page.driver.find_element(By.ID, "progress-cancel").click()
    page.wait_for("loaded", before)
    time.sleep(2)
    check("a cancelled save downloads nothing", not os.listdir(page.downloads), str(os.listdir(page.downloads)))
    native = os.path.join(work, "large.csv")
    subprocess.run([pixcsv, "-q", "-o", native, picture], check=True)
    name, content = page.save("csv")
    with open(native, "rb") as file:
        check("after a cancel the picture is still loaded and saves in full",
              name == "large.csv" and content == file.read())
    os.remove(native)


def check_hostile(page, good_picture, work):
    for width, height, colour_type, depth in [(65535, 65535, 6, 16), (30000, 30000, 2, 8)]:
        path = os.path.join(work, "hostile-%d.png" % width)
        with open(path, "wb") as file:
            file.write(png_declaring(width, height, colour_type, depth))
        message = page.load(path)
        expected = ('Not enough memory to load this "Portable Network Graphics" image of %d x %d pixels.'
                    % (width, height))
        check("a file declaring %d x %d pixels fails with the out-of-memory message" % (width, height),
              message == expected, repr(message))
    check("after them a picture loads and saves", page.load(good_picture) is None and page.save("csv")[0])


def make_pictures(work):
    """Two pictures for the preview, a wide opaque one and a tall one with
    alpha; a large one of 16384 colours, whose workbook takes long enough
    to be cancelled; one too wide for a workbook."""
    y, x = numpy.mgrid[0:480, 0:640]
    wide = numpy.stack([(x * 7) % 256, (y * 3) % 256, (x ^ y) % 256], -1)
    y, x = numpy.mgrid[0:305, 0:200]
    tall = numpy.stack([(x * 5) % 256, 255 - y % 256, numpy.full_like(x, 128), (x + y) % 256], -1)
    y, x = numpy.mgrid[0:2048, 0:2048]
    large = numpy.stack([(x % 32) * 8, (y % 32) * 8, ((x // 32 + y // 32) % 16) * 16], -1)
    # One column more than a workbook holds.
    beyond = numpy.stack([numpy.mgrid[0:2, 0:16385][1] % 256] * 3, -1)
    paths = {}
    for name, picture in [("wide", wide), ("tall", tall), ("large", large), ("beyond", beyond)]:
        paths[name] = os.path.join(work, name + ".png")
        Image.fromarray(picture.astype(numpy.uint8)).save(paths[name])
    return paths


def crop(shot, bounds, ratio):
    left, top, width, height = (round(value * ratio) for value in bounds)
    return Image.open(shot).convert("RGB").crop((left, top, left + width, top + height))


def window_parts(window, pictures, ratio, work):
    """The Qt window's buttons, and its preview with each picture loaded,
    at a scale."""
    folder = os.path.join(work, "window-%g" % ratio)
    subprocess.run(["/usr/bin/python3", os.path.join(ROOT, "tools", "take_screenshots.py"), window, folder,
                    *pictures], check=True, env=dict(os.environ, QT_SCALE_FACTOR="%g" % ratio),
                   stdout=subprocess.DEVNULL)
    parts = {button: crop(os.path.join(folder, "idle.png"), bounds, ratio) for button, bounds in BUTTONS.items()}
    for picture in pictures:
        stem = os.path.splitext(os.path.basename(picture))[0]
        parts[stem] = crop(os.path.join(folder, "loaded-%s.png" % stem), PREVIEW, ratio)
    return parts


def check_against_window(page, window, pictures, ratio, work):
    expected = window_parts(window, pictures, ratio, work)

    def same(element, part):
        shot = os.path.join(work, "page-%s-%g.png" % (part, ratio))
        page.driver.find_element(By.ID, element).screenshot(shot)
        shown = Image.open(shot).convert("RGB")
        return shown.size == expected[part].size and shown.tobytes() == expected[part].tobytes()

    # Both buttons as they look without the pointer over them.
    ActionChains(page.driver).move_to_element(page.driver.find_element(By.ID, "kind")).perform()
    for button in BUTTONS:
        check("ratio %g: the %s button equals the Qt window's, pixel for pixel" % (ratio, button),
              same(button, button))
    for picture in pictures:
        stem = os.path.splitext(os.path.basename(picture))[0]
        page.load(picture)
        check("ratio %g: the preview of %s equals the Qt window's, pixel for pixel" % (ratio, stem),
              same("preview", stem))


def landscape(path):
    """A sky, a sun and two hills: a picture to show in the screenshots."""
    from PIL import ImageDraw
    picture = Image.new("RGB", (640, 480))
    draw = ImageDraw.Draw(picture)
    for y in range(480):
        draw.line([(0, y), (639, y)], fill=(70 + y // 6, 130 + y // 5, 225 - y // 8))
    draw.ellipse([470, 50, 540, 120], fill=(255, 230, 140))
    draw.polygon([(0, 330), (160, 250), (330, 300), (500, 230), (639, 290), (639, 479), (0, 479)], fill=(96, 140, 60))
    draw.polygon([(0, 400), (220, 330), (420, 380), (639, 340), (639, 479), (0, 479)], fill=(70, 110, 40))
    picture.save(path)


def take_screenshots(page, folder, ratio, work):
    suffix = "" if ratio == 1 else "-%gx" % ratio
    desk = page.driver.find_element(By.CSS_SELECTOR, ".desk")
    desk.screenshot(os.path.join(folder, "screenshot-web-start%s.png" % suffix))
    picture = os.path.join(work, "landscape.png")
    landscape(picture)
    page.load(picture)
    desk.screenshot(os.path.join(folder, "screenshot-web-loaded%s.png" % suffix))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page")
    parser.add_argument("native", help="the folder with the native pixcsv and pixelizer")
    parser.add_argument("folders", nargs="*")
    parser.add_argument("--screenshots", help="also leave screenshots of the page in this folder")
    args = parser.parse_args()
    pixcsv = os.path.abspath(os.path.join(args.native, "pixcsv"))
    window = os.path.abspath(os.path.join(args.native, "pixelizer"))
    pictures = sorted(os.path.join(folder, name) for folder in [os.path.join(ROOT, "resources"), *args.folders]
                      for name in os.listdir(folder) if name.endswith(".png"))

    work = tempfile.mkdtemp(prefix="page-test-")
    server = Server(os.path.abspath(args.page))
    url = server.url()
    try:
        made = make_pictures(work)
        address = network_address()
        if address:
            # Not a secure context: the tables collect in memory instead.
            # Chromium holds a workbook downloaded from such a page until
            # the user says to keep it, so CSV tables only.
            page = Page(server.url(address), work, 1.25)
            try:
                check_conversions(page, pixcsv, pictures[:40], os.path.join(work, "native-insecure"),
                                  "in memory, at ratio 1.25", ("csv",))
            finally:
                page.quit()
        else:
            print("skipped: the page in memory, without an address that is not a secure context")
        for ratio in (1, 2):
            page = Page(url, work, ratio)
            try:
                if ratio == 1:
                    check_window_parts(page)
                    check_conversions(page, pixcsv, pictures + [made["beyond"]], os.path.join(work, "native"),
                                      "in the page's storage")
                    check_cancel(page, pixcsv, made["large"], work)
                    check_hostile(page, made["wide"], work)
                    check_stored_tables(page)
                check_against_window(page, window, [made["wide"], made["tall"]], ratio, work)
            finally:
                page.quit()
            if args.screenshots:
                page = Page(url, work, ratio)
                take_screenshots(page, args.screenshots, ratio, work)
                page.quit()
    finally:
        server.stop()
        shutil.rmtree(work)
    if failures:
        sys.exit("%d checks failed: %s" % (len(failures), ", ".join(failures)))
    print("every check passed")


if __name__ == "__main__":
    main()
