#!/usr/bin/env bash
# The Windows converter against the Linux one, byte for byte:
#   tools/compare-windows-conversions.sh LINUX_PIXCSV WINDOWS_PIXCSV.exe [PNG_FOLDER...]
# Every PNG of the given folders (the program's own pictures when none are
# given) and two damaged files whose failure messages hold a line break are
# converted by both, into CSV tables and into workbooks, in one run each; the
# files must be identical and so must the bytes of the failure lines,
# standard error going to a file.
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
shift 2
cd "$(dirname "${BASH_SOURCE[0]}")/.."
wine_run=$PWD/tools/wine-run.sh
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(resources)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/linux" "$work/windows"
count=0
for folder in "${folders[@]}"; do
  for picture in "$folder"/*.png; do
    cp "$picture" "$work/linux/"
    cp "$picture" "$work/windows/"
    count=$((count + 1))
  done
done

# A first chunk that is not IHDR, and image data that is no zlib stream.
python3 - "$work/linux" <<'PYTHON'
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
signature = b"\x89PNG\r\n\x1a\n"
header = chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0))
damaged = {"damaged-first-chunk.png": signature + chunk(b"IEND", b""),
           "damaged-image-data.png": signature + header + chunk(b"IDAT", b"\x78\x9c\xff\xff") + chunk(b"IEND", b"")}
for name, data in damaged.items():
    open(f"{sys.argv[1]}/{name}", "wb").write(data)
PYTHON
cp "$work"/linux/damaged-*.png "$work/windows/"
count=$((count + 2))

# Relative names, so that both failure reports name the files alike.
for kind in "" --xlsx; do
  (cd "$work/linux" && "$linux" -q $kind -- *.png >>"$work/linux.out" 2>>"$work/linux.err") || true
  (cd "$work/windows" && "$wine_run" "$windows" -q $kind -- *.png >>"$work/windows.out" 2>>"$work/windows.err") || true
done

status=0
if ! diff -r "$work/linux" "$work/windows" >"$work/tables.diff"; then
  echo "tables differ:" >&2
  head -20 "$work/tables.diff" >&2
  status=1
fi
if ! cmp -s "$work/linux.err" "$work/windows.err"; then
  echo "failure lines differ (line ends shown as ^M\$):" >&2
  diff <(cat -A "$work/linux.err") <(cat -A "$work/windows.err") | head -20 >&2
  status=1
fi
tables=$(find "$work/linux" -name '*.csv' | wc -l)
workbooks=$(find "$work/linux" -name '*.xlsx' | wc -l)
failures=$(wc -l <"$work/linux.err")
[ $status -eq 0 ] && echo "$count pictures: $tables tables, $workbooks workbooks and $failures failure lines identical on Linux and Windows"
exit $status
