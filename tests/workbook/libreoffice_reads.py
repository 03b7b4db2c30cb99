"""A real spreadsheet as the client: LibreOffice opens pixcsv's workbooks
headless and saves what it read as flat OpenDocument; the numbers and
fills of its table sheet and the rows of its key must be pixcsv's CSV and
colour key. LibreOffice's own xlsx export is not used: it rewrites fills.

usage: libreoffice_reads.py PIXCSV PICTURE_OR_FOLDER...
"""

import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

TABLE = "{urn:oasis:names:tc:opendocument:xmlns:table:1.0}"
STYLE = "{urn:oasis:names:tc:opendocument:xmlns:style:1.0}"
OFFICE = "{urn:oasis:names:tc:opendocument:xmlns:office:1.0}"
FORMAT = "{urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0}"
TEXT = "{urn:oasis:names:tc:opendocument:xmlns:text:1.0}"


def pictures(paths):
    for path in paths:
        if os.path.isdir(path):
            yield from (os.path.join(path, n) for n in sorted(os.listdir(path)) if n.lower().endswith(".png"))
        else:
            yield path


def sheets(path):
    """Every sheet as {(row, column): (value, background)} for its cells
    that hold something."""
    backgrounds, found, grid, row = {}, [], None, 0
    for event, element in ElementTree.iterparse(path, events=("start", "end")):
        if event == "end" and element.tag == STYLE + "style":
            properties = element.find(STYLE + "table-cell-properties")
            colour = properties.get(FORMAT + "background-color") if properties is not None else None
            backgrounds[element.get(STYLE + "name")] = colour
        elif element.tag == TABLE + "table":
            if event == "start":
                grid, row = {}, 0
            else:
                found.append(grid)
                element.clear()
        elif event == "end" and element.tag == TABLE + "table-row" and grid is not None:
            column = 0
            cells = []
            for cell in element:
                repeat = int(cell.get(TABLE + "number-columns-repeated", "1"))
                value = cell.get(OFFICE + "value")
                if value is None and cell.find(TEXT + "p") is not None:
                    value = "".join(cell.find(TEXT + "p").itertext())
                background = backgrounds.get(cell.get(TABLE + "style-name"))
                if value is not None or background not in (None, "transparent"):
                    cells += [(column + i, (value, background)) for i in range(min(repeat, 16384))]
                column += repeat
            rows = int(element.get(TABLE + "number-rows-repeated", "1"))
            if cells:
                for r in range(rows):
                    for column, content in cells:
                        grid[(row + r, column)] = content
            row += rows
            element.clear()
    return found


def expected(pixcsv, picture, folder):
    """pixcsv's CSV numbers and key lines, or nothing for a refused picture."""
    csv, key, book = (os.path.join(folder, name) for name in ("t.csv", "key.csv", "t.xlsx"))
    done = subprocess.run([pixcsv, "-q", "--legend", key, "-o", csv, picture], stderr=subprocess.DEVNULL)
    if done.returncode != 0:
        return None
    subprocess.run([pixcsv, "-q", "-o", book, picture], check=True)
    with open(csv, "rb") as f:
        rows = [[int(n) for n in line.split(b";")[:-1]] for line in f.read().split(b"\r\n")[:-1]]
    with open(key, "rb") as f:
        lines = [line.decode().split(";") for line in f.read().split(b"\r\n")[:-1]]
    return rows, lines


def compare(read, rows, lines):
    table, legend = read
    colours = ["#" + line[1][1:].lower() for line in lines]
    for y, row in enumerate(rows):
        for x, number in enumerate(row):
            value, background = table.get((y, x), (None, None))
            if value is None or int(float(value)) != number or background != colours[number - 1]:
                return "cell %d,%d: %s, %s instead of %d, %s" % (y, x, value, background, number, colours[number - 1])
    if len(table) != sum(len(row) for row in rows):
        return "%d cells instead of %d" % (len(table), sum(len(row) for row in rows))
    for number, line in enumerate(lines, start=1):
        got = [legend.get((number, c), (None, None))[0] for c in (0, 2, 3)]
        if [int(float(got[0])), got[1], int(float(got[2]))] != [number, line[1], int(line[2])]:
            return "key row %d: %s instead of %s" % (number, got, line)
        if legend.get((number, 1), (None, None))[1] != colours[number - 1]:
            return "key row %d: swatch %s" % (number, legend.get((number, 1)))
    return None


def main():
    pixcsv, paths = sys.argv[1], sys.argv[2:]
    with tempfile.TemporaryDirectory(prefix="pix-libreoffice-") as folder:
        books, wanted = [], {}
        for index, picture in enumerate(pictures(paths)):
            own = os.path.join(folder, str(index))
            os.mkdir(own)
            result = expected(pixcsv, picture, own)
            if result is not None:
                book = os.path.join(folder, "%d.xlsx" % index)
                os.rename(os.path.join(own, "t.xlsx"), book)
                books.append(book)
                wanted[book] = (picture, result)
        out = os.path.join(folder, "read")
        subprocess.run(["soffice", "-env:UserInstallation=file://" + os.path.join(folder, "profile"), "--headless",
                        "--convert-to", "fods", "--outdir", out, *books],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wrong = 0
        for book in books:
            picture, (rows, lines) = wanted[book]
            read = os.path.join(out, os.path.basename(book)[:-5] + ".fods")
            problem = "LibreOffice did not open it" if not os.path.exists(read) else compare(sheets(read), rows, lines)
            if problem:
                print("%s: %s" % (picture, problem))
                wrong += 1
    print("%d workbooks opened by LibreOffice, %d read as written" % (len(books), len(books) - wrong))
    return 1 if wrong or not books else 0


if __name__ == "__main__":
    sys.exit(main())
