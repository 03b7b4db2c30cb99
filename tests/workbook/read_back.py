"""Reads pixcsv's workbooks back with an independent reader (openpyxl) and
checks them against pixcsv's own CSV and colour key of the same picture:
the numbers, every cell's fill and digit colour, the key's swatches, texts
and pixel counts, one cell format per colour, square cells and the print
set-up. A picture that pixcsv refuses must be refused alike for both kinds.

usage: read_back.py PIXCSV PICTURE_OR_FOLDER...
"""

import concurrent.futures
import os
import re
import subprocess
import sys
import tempfile
import zipfile

import openpyxl

DIGIT_PIXELS = 7
MARGIN_PIXELS = 5


def pictures(paths):
    for path in paths:
        if os.path.isdir(path):
            for name in sorted(os.listdir(path)):
                if name.lower().endswith(".png"):
                    yield os.path.join(path, name)
        else:
            yield path


def run(pixcsv, *arguments):
    done = subprocess.run([pixcsv, "-q", *arguments], capture_output=True)
    return done.returncode, done.stderr.decode()


def linear(channel):
    c = channel / 255
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def white_digits(rgb):
    red, green, blue = int(rgb[0:2], 16), int(rgb[2:4], 16), int(rgb[4:6], 16)
    luminance = 0.2126 * linear(red) + 0.7152 * linear(green) + 0.0722 * linear(blue)
    return 1.05 / (luminance + 0.05) > (luminance + 0.05) / 0.05


def column_pixels(width):
    # How spreadsheets turn a stored column width into pixels.
    return int(((256 * width + int(128 / DIGIT_PIXELS)) / 256) * DIGIT_PIXELS)


def check(pixcsv, picture, folder):
    csv_path = os.path.join(folder, "t.csv")
    key_path = os.path.join(folder, "key.csv")
    book_path = os.path.join(folder, "t.xlsx")
    for stale in (csv_path, key_path, book_path):
        if os.path.exists(stale):
            os.remove(stale)
    csv_status = run(pixcsv, "--legend", key_path, "-o", csv_path, picture)
    book_status = run(pixcsv, "-o", book_path, picture)
    if csv_status[0] != 0:
        failure = csv_status[1].replace(csv_path, book_path)
        assert book_status == (csv_status[0], failure), (book_status, csv_status)
        assert not os.path.exists(book_path)
        return "refused"
    assert book_status == (0, ""), book_status

    with open(csv_path, "rb") as f:
        rows = [[int(n) for n in line.split(b";")[:-1]] for line in f.read().split(b"\r\n")[:-1]]
    with open(key_path, "rb") as f:
        key = [line.split(b";") for line in f.read().split(b"\r\n")[:-1]]
    colours = [k[1].decode()[1:] for k in key]

    book = openpyxl.load_workbook(book_path)
    assert book.sheetnames == ["Таблиця", "Кольори"], book.sheetnames
    table, legend = book.worksheets
    assert (table.max_row, table.max_column) == (len(rows), len(rows[0])), (table.max_row, table.max_column)
    for y, row in enumerate(table.iter_rows()):
        for x, cell in enumerate(row):
            number = rows[y][x]
            assert cell.value == number, (y, x, cell.value, number)
            rgb = colours[number - 1]
            assert cell.fill.patternType == "solid" and cell.fill.fgColor.rgb == "FF" + rgb, (y, x, cell.fill)
            digits = cell.font.color.rgb if cell.font.color is not None else None
            assert (digits == "FFFFFFFF") == white_digits(rgb), (y, x, rgb, digits)

    assert [c.value for c in legend[1]] == ["Номер", "Колір", "RGB", "Пікселів"]
    assert legend.max_row == len(key) + 1
    for number, line in enumerate(key, start=1):
        cells = legend[number + 1]
        assert [cells[0].value, cells[2].value, cells[3].value] == [number, line[1].decode(), int(line[2])], number
        assert cells[1].value is None and cells[1].fill.fgColor.rgb == "FF" + colours[number - 1], number
    assert legend.print_title_rows == "$1:$1"

    with zipfile.ZipFile(book_path) as package:
        sheet = package.read("xl/worksheets/sheet1.xml").decode()
        styles = package.read("xl/styles.xml").decode()
    assert len(set(re.findall(r'<c r="[A-Z]+[0-9]+" s="([0-9]+)"', sheet))) == len(key)
    assert re.search(r'<cellXfs count="([0-9]+)"', styles).group(1) == str(len(key) + 2)

    width = table.column_dimensions["A"].width
    height = table.row_dimensions[1].height or table.sheet_format.defaultRowHeight
    assert abs(column_pixels(width) - height * 4 / 3) < 1, (width, height)
    assert table.print_options.gridLines and table.print_options.headings
    landscape = len(rows[0]) > len(rows)
    assert (table.page_setup.orientation == "landscape") == landscape
    return "checked"


# Memory-backed where the machine has it: every output is flushed to disk.
SCRATCH = "/dev/shm" if os.path.isdir("/dev/shm") else None


def outcome_of(pixcsv, picture):
    with tempfile.TemporaryDirectory(prefix="pix-read-back-", dir=SCRATCH) as folder:
        try:
            return check(pixcsv, picture, folder)
        except AssertionError as failure:
            print(f"{picture}: {failure}")
            return "wrong"


def main():
    pixcsv, paths = sys.argv[1], sys.argv[2:]
    outcomes = {}
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count()) as pool:
        for outcome in pool.map(lambda picture: outcome_of(pixcsv, picture), pictures(paths)):
            outcomes[outcome] = outcomes.get(outcome, 0) + 1
    print(", ".join(f"{count} {outcome}" for outcome, count in sorted(outcomes.items())))
    return 1 if "wrong" in outcomes or "checked" not in outcomes else 0


if __name__ == "__main__":
    sys.exit(main())
