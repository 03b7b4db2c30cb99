#!/usr/bin/python3
"""Generates the window's pictures into resources/.

Run with Debian's interpreter (it has PIL and numpy):
    /usr/bin/python3 tools/make_pictures.py
The output is deterministic, so regenerating leaves the committed files as
they are unless this script changed.
"""
import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RESOURCES = os.path.join(ROOT, "resources")
FONT = "/usr/share/fonts/truetype/comfortaa/Comfortaa-Regular.ttf"

# Text is rendered this many times larger and averaged down, which gives the
# anti-aliasing enough coverage steps to fill all 14 intermediate levels.
SUPERSAMPLE = 4
BUTTON_SIZE = (255, 65)
TEXT_COLOUR = (230, 230, 230)
# 0 = background, 15 = text: 14 levels between them, 16 colours in all.
COVERAGE_LEVELS = 15
# About 20-pixel capitals, 14-pixel x-height and 2-pixel strokes.
TEXT_SIZE = 26

LOAD_LINES = [("Загрузити", 51, 204, 7), ("картинку", 59, 196, 38)]
SAVE_LINES = [("Зберегти", 55, 191, 8), ("у CSV", 82, 166, 34)]
BUTTONS = [
    ("Load2", (127, 127, 127), LOAD_LINES),
    ("Load1", (166, 166, 166), LOAD_LINES),
    ("Save2", (143, 170, 220), SAVE_LINES),
    ("Save1", (159, 189, 245), SAVE_LINES),
]


def ink_bounds(mask):
    ys, xs = np.nonzero(mask)
    return xs.min(), ys.min(), xs.max(), ys.max()


def render_line(font, text, tracking):
    """Coverage (0..255) of one line at supersampled scale, cropped to its ink."""
    advance = sum(font.getlength(ch) for ch in text) + tracking * len(text)
    canvas = Image.new("L", (int(advance) + 8 * SUPERSAMPLE * 10, font.size * 3), 0)
    draw = ImageDraw.Draw(canvas)
    x = 4.0 * SUPERSAMPLE
    for ch in text:
        draw.text((round(x), font.size), ch, font=font, fill=255)
        x += font.getlength(ch) + tracking
    mask = np.array(canvas)
    left, top, right, bottom = ink_bounds(mask)
    return mask[top:bottom + 1, left:right + 1]


def fit_line(font, text, ink_width):
    """A line whose ink spans ink_width target pixels: the letters are spread
    (or drawn closer) evenly, keeping their shapes and the typeface's rhythm."""
    target = ink_width * SUPERSAMPLE
    natural = render_line(font, text, 0).shape[1]
    tracking = (target - natural) / max(len(text) - 1, 1)
    line = render_line(font, text, tracking)
    for _ in range(8):
        if line.shape[1] == target:
            break
        tracking += (target - line.shape[1]) / max(len(text) - 1, 1)
        line = render_line(font, text, tracking)
    return line


def make_button(background, lines):
    font = ImageFont.truetype(FONT, TEXT_SIZE * SUPERSAMPLE)
    width, height = BUTTON_SIZE
    coverage = np.zeros((height * SUPERSAMPLE, width * SUPERSAMPLE), dtype=np.float64)
    for text, left, right, top in lines:
        line = fit_line(font, text, right - left + 1).astype(np.float64)
        y, x = top * SUPERSAMPLE, left * SUPERSAMPLE
        h, w = line.shape
        coverage[y:y + h, x:x + w] = np.maximum(coverage[y:y + h, x:x + w], line)
    coverage = coverage.reshape(height, SUPERSAMPLE, width, SUPERSAMPLE).mean(axis=(1, 3)) / 255.0
    level = np.rint(coverage * COVERAGE_LEVELS).astype(np.int64)
    bg = np.array(background, dtype=np.int64)
    ink = np.array(TEXT_COLOUR, dtype=np.int64)
    pixels = bg + np.rint((ink - bg) * level[..., None] / COVERAGE_LEVELS).astype(np.int64)
    image = Image.fromarray(pixels.astype(np.uint8), "RGB")
    colours = len(set(image.getdata()))
    if colours != COVERAGE_LEVELS + 1:
        sys.exit(f"a button picture came out with {colours} colours instead of 16")
    return image


# The placeholder: a capital A drawn by alpha alone, an arrow pointer standing
# in its counter. Geometry in pixels of the 305 x 305 picture; every pixel of
# the glyph rectangle carries the glyph colour, so only alpha shapes it.
PLACEHOLDER_SIZE = 305
GLYPH_BOX = (47, 40, 259, 267)  # inclusive
GLYPH_COLOUR = (143, 170, 220)
GLYPH_SCALE = 8
CORNER_ROUNDING = 2.5  # pixels; the typeface of the buttons has soft corners
STEM = 38  # horizontal thickness of the legs
TOP_BAR = 32  # thickness of the flat top
BAR_TOP, BAR_BOTTOM = 182, 210  # the cross bar
ARROW_MARGIN = 8


def edge_x(y, x_bottom, x_top, y_bottom, y_top):
    return x_bottom + (x_top - x_bottom) * (y - y_bottom) / (y_top - y_bottom)


def placeholder_shapes():
    left, top, right, bottom = GLYPH_BOX
    right, bottom = right + 1, bottom + 1  # pixel edges
    top_left, top_right = 123.0, right - (123.0 - left)
    outer = [(left, bottom), (top_left, top), (top_right, top), (right, bottom)]

    def outer_left(y):
        return edge_x(y, left, top_left, bottom, top)

    def outer_right(y):
        return edge_x(y, right, top_right, bottom, top)

    def inner(y):
        return outer_left(y) + STEM, outer_right(y) - STEM

    counter_top = top + TOP_BAR
    apex_x = (inner(counter_top)[0] + inner(counter_top)[1]) / 2
    counter = [(inner(BAR_TOP)[0], BAR_TOP), (apex_x, counter_top), (inner(BAR_TOP)[1], BAR_TOP)]
    notch = [(inner(bottom)[0], bottom), (inner(BAR_BOTTOM)[0], BAR_BOTTOM),
             (inner(BAR_BOTTOM)[1], BAR_BOTTOM), (inner(bottom)[1], bottom)]
    return outer, counter, notch


def arrow_in(counter):
    """The classic pointer, as large as fits into the counter triangle with
    ARROW_MARGIN to spare."""
    pointer = [(0, 0), (0, 16), (4, 12), (7, 19), (9, 18), (6, 11), (11, 11)]
    # Leaning the head a little towards the apex lets it grow while it still
    # reads as a pointer (upright, at 22.5 degrees, it reads as an arrow sign).
    turn = math.radians(8)
    cos_t, sin_t = math.cos(turn), math.sin(turn)
    turned = [(x * cos_t - y * sin_t, x * sin_t + y * cos_t) for x, y in pointer]

    (bl, base), (ax, ay), (br, _) = counter

    def inside(px, py):
        if py > base - ARROW_MARGIN:
            return False
        half = (py - ay) / (base - ay) * (br - bl) / 2
        return abs(px - ax) <= half - ARROW_MARGIN * (1 + ((br - bl) / 2 / (base - ay)) ** 2) ** 0.5

    best = None
    for tip_y in np.arange(ay + ARROW_MARGIN, base, 0.5):
        for scale in np.arange(8.0, 0.5, -0.05):
            points = [(ax + x * scale, tip_y + y * scale) for x, y in turned]
            shift = ax - (min(p[0] for p in points) + max(p[0] for p in points)) / 2
            points = [(x + shift, y) for x, y in points]
            if all(inside(x, y) for x, y in points):
                if best is None or scale > best[0]:
                    best = (scale, points)
                break
    return best[1]


def make_placeholder():
    outer, counter, notch = placeholder_shapes()
    s = GLYPH_SCALE
    mask = Image.new("L", (PLACEHOLDER_SIZE * s, PLACEHOLDER_SIZE * s), 0)
    draw = ImageDraw.Draw(mask)

    def poly(points, fill):
        draw.polygon([(x * s, y * s) for x, y in points], fill=fill)

    poly(outer, 255)
    poly(counter, 0)
    poly(notch, 0)
    poly(arrow_in(counter), 255)
    # Rounding: blur and cut at half way, which softens every corner alike.
    mask = mask.filter(ImageFilter.GaussianBlur(CORNER_ROUNDING * s))
    mask = mask.point(lambda v: 255 if v >= 128 else 0)
    alpha = np.array(mask, dtype=np.float64)
    alpha = alpha.reshape(PLACEHOLDER_SIZE, s, PLACEHOLDER_SIZE, s).mean(axis=(1, 3))
    alpha = np.rint(alpha).astype(np.uint8)

    left, top, right, bottom = GLYPH_BOX
    pixels = np.zeros((PLACEHOLDER_SIZE, PLACEHOLDER_SIZE, 4), dtype=np.uint8)
    pixels[..., :3] = 255
    pixels[top:bottom + 1, left:right + 1, :3] = GLYPH_COLOUR
    pixels[top:bottom + 1, left:right + 1, 3] = alpha[top:bottom + 1, left:right + 1]
    return Image.fromarray(pixels, "RGBA")


# The program icon: four equal squares.
ICON_SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
ICON_QUARTERS = [(127, 127, 127), (166, 166, 166), (217, 217, 217), (191, 191, 191)]


def make_icon(size):
    image = Image.new("RGB", (size, size))
    half = size // 2
    draw = ImageDraw.Draw(image)
    for index, colour in enumerate(ICON_QUARTERS):
        x, y = (index % 2) * half, (index // 2) * half
        draw.rectangle([x, y, x + half - 1, y + half - 1], fill=colour)
    return image


def main():
    for name, background, lines in BUTTONS:
        make_button(background, lines).save(os.path.join(RESOURCES, f"{name}.png"), optimize=True)
    make_placeholder().save(os.path.join(RESOURCES, "Placeholder.png"), optimize=True)
    for size in ICON_SIZES:
        make_icon(size).save(os.path.join(RESOURCES, f"ProgramIcon{size}.png"), optimize=True)


if __name__ == "__main__":
    main()
