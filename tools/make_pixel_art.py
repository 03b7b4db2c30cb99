"""A small pixel-art picture of a few colours, the kind a pattern is made
from: make_pixel_art.py OUTPUT.png"""
import sys

from PIL import Image

ART = [
    "....................",
    "...RR.....RR........",
    "..RRRR...RRRR.......",
    ".RRWRRR.RRRRRR......",
    ".RWRRRRRRRRRRR..GG..",
    ".RRRRRRRRRRRRR.GGGG.",
    "..RRRRRRRRRRR..GGGG.",
    "...RRRRRRRRR....GG..",
    "....RRRRRRR.....B...",
    ".....RRRRR......B...",
    "......RRR......YBY..",
    ".......R.......YYY..",
    "....................",
]
COLOURS = {".": (250, 244, 227), "R": (214, 40, 57), "W": (255, 255, 255), "G": (76, 153, 71),
           "B": (120, 72, 35), "Y": (247, 200, 67)}

picture = Image.new("RGB", (len(ART[0]), len(ART)))
for y, row in enumerate(ART):
    for x, cell in enumerate(row):
        picture.putpixel((x, y), COLOURS[cell])
picture.save(sys.argv[1])
