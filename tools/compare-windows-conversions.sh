#!/usr/bin/env bash
# The Windows converter against the Linux one, byte for byte:
#   tools/compare-windows-conversions.sh LINUX_PIXCSV WINDOWS_PIXCSV.exe [PNG_FOLDER...]
# Every PNG of the given folders (the program's own pictures when none are
# given) is converted by both, into CSV tables and into workbooks, in one run
# each; the files must be identical and so must the failure lines (the
# Windows console's CR LF aside).
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

# Relative names, so that both failure reports name the files alike.
for kind in "" --xlsx; do
  (cd "$work/linux" && "$linux" -q $kind -- *.png >>"$work/linux.out" 2>>"$work/linux.err") || true
  (cd "$work/windows" && "$wine_run" "$windows" -q $kind -- *.png >>"$work/windows.out" 2>>"$work/windows.err") || true
done
tr -d '\r' <"$work/windows.err" >"$work/windows.err.lf"

status=0
if ! diff -r "$work/linux" "$work/windows" >"$work/tables.diff"; then
  echo "tables differ:" >&2
  head -20 "$work/tables.diff" >&2
  status=1
fi
if ! diff "$work/linux.err" "$work/windows.err.lf" >"$work/failures.diff"; then
  echo "failure lines differ:" >&2
  head -20 "$work/failures.diff" >&2
  status=1
fi
tables=$(find "$work/linux" -name '*.csv' | wc -l)
workbooks=$(find "$work/linux" -name '*.xlsx' | wc -l)
failures=$(wc -l <"$work/linux.err")
[ $status -eq 0 ] && echo "$count pictures: $tables tables, $workbooks workbooks and $failures failure lines identical on Linux and Windows"
exit $status
