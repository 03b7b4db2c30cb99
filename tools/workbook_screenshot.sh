#!/usr/bin/env bash
# The picture of a workbook in the README: a small pixel-art picture made by
# tools/make_pixel_art.py, converted by pixcsv, printed by LibreOffice
# headless (with the metric twin of the spreadsheets' default font, so its
# cells come out square) and cut to the table and to the key:
#   tools/workbook_screenshot.sh PIXCSV FOLDER
# leaves FOLDER/screenshot-workbook.png and FOLDER/screenshot-workbook-key.png.
set -euo pipefail
pixcsv=$(realpath "$1")
folder=$(realpath "$2")
cd "$(dirname "${BASH_SOURCE[0]}")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 tools/make_pixel_art.py "$work/heart.png"
"$pixcsv" -q --xlsx "$work/heart.png"
soffice -env:UserInstallation="file://$work/profile" --headless --convert-to pdf --outdir "$work" "$work/heart.xlsx" >/dev/null 2>&1
pdftoppm -r 150 -png "$work/heart.pdf" "$work/page"
convert "$work/page-1.png" -trim -bordercolor white -border 16 "$folder/screenshot-workbook.png"
convert "$work/page-2.png" -trim -bordercolor white -border 16 "$folder/screenshot-workbook-key.png"
