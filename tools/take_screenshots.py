#!/usr/bin/python3
"""Takes screenshots of the window program under a virtual X display.

    xvfb-run -a -s "-screen 0 1024x768x24" /usr/bin/python3 tools/take_screenshots.py \\
        build/bin/pixelizer OUTPUT_FOLDER [PICTURE.png ...]

Needs xdotool and Debian's PIL. Shots: the window at start, the pointer over
the load button, and each picture loaded through the open dialog.
QT_SCALE_FACTOR in the environment shows the window at another density.
"""
import os
import subprocess
import sys
import time

from PIL import ImageGrab

TITLE = "Пікселізація..."
DIALOG_TITLE = "Завантажити зображення"
LOAD_BUTTON_CENTRE = (41 + 127, 344 + 32)  # logical pixels in the window
AWAY = (330, 10)


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True, text=True).stdout


def visible_windows(title):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                          capture_output=True, text=True).stdout.split()


def find_window(title=TITLE):
    for _ in range(100):
        found = visible_windows(title)
        if found:
            return found[0]
        time.sleep(0.1)
    sys.exit(f"the window {title} did not appear")


def open_dialog(window):
    # Without a window manager nobody gives the window the focus back when a
    # dialog closes, and Qt may drop the first click after it: click again.
    for _ in range(3):
        xdotool("windowfocus", window)
        xdotool("click", 1)
        for _ in range(20):
            found = visible_windows(DIALOG_TITLE)
            if found:
                return found[0]
            time.sleep(0.1)
    sys.exit("the open dialog did not appear")


def wait_closed(title):
    for _ in range(100):
        if not visible_windows(title):
            return
        time.sleep(0.1)
    sys.exit(f"the window {title} did not close")


def geometry(window):
    values = dict(line.split("=") for line in xdotool("getwindowgeometry", "--shell", window).split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def shoot(window, path):
    time.sleep(0.6)
    x, y, width, height = geometry(window)
    ImageGrab.grab(bbox=(x, y, x + width, y + height), xdisplay=os.environ["DISPLAY"]).save(path)
    print(path)


def point_at(window, logical, scale):
    x, y, _, _ = geometry(window)
    xdotool("mousemove", x + round(logical[0] * scale), y + round(logical[1] * scale))
    time.sleep(0.3)


def main():
    program, folder, pictures = sys.argv[1], sys.argv[2], sys.argv[3:]
    scale = float(os.environ.get("QT_SCALE_FACTOR", "1"))
    os.makedirs(folder, exist_ok=True)
    process = subprocess.Popen([program])
    try:
        window = find_window()
        point_at(window, AWAY, scale)
        shoot(window, os.path.join(folder, "idle.png"))
        point_at(window, LOAD_BUTTON_CENTRE, scale)
        shoot(window, os.path.join(folder, "hover-load.png"))
        for picture in pictures:
            point_at(window, LOAD_BUTTON_CENTRE, scale)
            dialog = open_dialog(window)
            time.sleep(0.5)
            # The keyboard is in the file name field, which holds the last name.
            xdotool("key", "--window", dialog, "ctrl+a")
            xdotool("type", "--delay", 5, os.path.abspath(picture))
            xdotool("key", "Return")
            wait_closed(DIALOG_TITLE)
            # A click on the bare window closes the name completer's list,
            # which without a window manager outlives the dialog.
            point_at(window, AWAY, scale)
            xdotool("click", 1)
            name = os.path.splitext(os.path.basename(picture))[0]
            shoot(window, os.path.join(folder, f"loaded-{name}.png"))
    finally:
        process.terminate()
        process.wait()


if __name__ == "__main__":
    main()
