"""The peer: the same workbook as pixcsv's, written the way a Python user
would, with xlsxwriter (Debian's python3-xlsxwriter): numpy numbers the
colours, one format per colour, rows written in constant-memory mode.

    peer_workbook.py INPUT.png OUTPUT.xlsx"""
import os
import sys

import numpy as np
import xlsxwriter

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "convert"))
from peer_convert import colour_values  # noqa: E402  the same reading of the picture


def linear(channel):
    c = channel / 255
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def white_digits(value):
    red, green, blue = value & 255, value >> 8 & 255, value >> 16 & 255
    luminance = 0.2126 * linear(red) + 0.7152 * linear(green) + 0.0722 * linear(blue)
    return (luminance + 0.05) ** 2 < 1.05 * 0.05


def main():
    source, target = sys.argv[1:3]
    values = colour_values(source)
    colours, inverse, counts = np.unique(values, return_inverse=True, return_counts=True)
    numbers = inverse.reshape(values.shape) + 1
    height, width = numbers.shape

    book = xlsxwriter.Workbook(target, {"constant_memory": True})
    table = book.add_worksheet("Таблиця")
    key = book.add_worksheet("Кольори")
    formats = [None]
    for value in colours.tolist():
        rgb = "#%02X%02X%02X" % (value & 255, value >> 8 & 255, value >> 16 & 255)
        properties = {"pattern": 1, "bg_color": rgb, "align": "center", "valign": "vcenter"}
        if white_digits(value):
            properties["font_color"] = "#FFFFFF"
        formats.append(book.add_format(properties))
    pixels = max(20, len(str(len(colours))) * 7 + 9)
    table.set_column(0, width - 1, (pixels - 5) / 7)
    table.set_default_row(pixels * 0.75)
    table.hide_gridlines(0)
    table.print_row_col_headers()
    if width > height:
        table.set_landscape()
    for y, row in enumerate(numbers.tolist()):
        for x, number in enumerate(row):
            table.write_number(y, x, number, formats[number])

    heading = book.add_format({"bold": True})
    for column, width_in_characters in enumerate((9, 8, 10, 12)):
        key.set_column(column, column, width_in_characters)
    key.hide_gridlines(0)
    key.print_row_col_headers()
    key.repeat_rows(0)
    key.write_row(0, 0, ["Номер", "Колір", "RGB", "Пікселів"], heading)
    for number, (value, count) in enumerate(zip(colours.tolist(), counts.tolist()), start=1):
        key.write_number(number, 0, number)
        key.write_blank(number, 1, None, formats[number])
        key.write_string(number, 2, "#%02X%02X%02X" % (value & 255, value >> 8 & 255, value >> 16 & 255))
        key.write_number(number, 3, count)
    book.close()


if __name__ == "__main__":
    main()
