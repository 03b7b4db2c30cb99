#!/usr/bin/env bash
# The Windows window driven as a person would, under Wine on a virtual screen
# with a window manager: load a picture through the open dialog, save the
# table through the save dialog with Enter, then the workbook by choosing its
# file type there; compare both with the Linux converter's.
#   tools/drive-windows-window.sh PIXELIZER.exe LINUX_PIXCSV [SCREENSHOT_FOLDER [DPI]]
# With a folder, screenshots of the window at start and with the picture are
# left there as windows-start[-DPI].png and windows-loaded[-DPI].png.
set -euo pipefail
program=$(realpath "$1")
pixcsv=$(realpath "$2")
shots=${3:-}
dpi=${4:-96}
cd "$(dirname "${BASH_SOURCE[0]}")/.."
[ -z "$shots" ] || shots=$(realpath "$shots")

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$program" "$pixcsv" "$shots" "$dpi"
fi

work=$(mktemp -d)
export PIXELIZER_WINEPREFIX_ROOT=$work/wine
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -z "${manager:-}" ] || kill "$manager" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A prefix of its own, at the density asked for.
export WINEPREFIX=$PIXELIZER_WINEPREFIX_ROOT/win64 WINEARCH=win64 WINEDEBUG=-all
mkdir -p "$PIXELIZER_WINEPREFIX_ROOT"
/usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w

openbox >/dev/null 2>&1 &
manager=$!
sleep 1

mkdir "$work/Картинки"
cp resources/ProgramIcon256.png "$work/Картинки/кіт.png"
"$pixcsv" -q -o "$work/expected.csv" "$work/Картинки/кіт.png"
"$pixcsv" -q -o "$work/expected.xlsx" "$work/Картинки/кіт.png"

tools/wine-run.sh "$program" &
window=$(xdotool search --sync --name 'Пікселізація' | head -1)
sleep 2
capture() { # name
  [ -n "$shots" ] || return 0
  local suffix=""
  [ "$dpi" = 96 ] || suffix="-$dpi"
  import -window "$window" -frame "$shots/$1$suffix.png" 2>/dev/null || import -window root "$shots/$1$suffix.png"
}
click_button() { # design x, design y of a point on the button
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --window "$window" $(($1 * dpi / 96)) $(($2 * dpi / 96)) click 1
}
# The dialog named (or the newest window when no name is given) takes the keys.
focus_dialog() { # title
  local dialog
  sleep 3
  if [ -n "$1" ]; then
    dialog=$(xdotool search --sync --name "$1" | tail -1)
  else
    dialog=$(xdotool search --onlyvisible --name '.' | tail -1)
  fi
  xdotool windowactivate --sync "$dialog" 2>/dev/null || xdotool windowfocus --sync "$dialog"
  sleep 1
}
capture windows-start

click_button 168 376
focus_dialog 'Завантажити зображення'
[ -z "${PIXELIZER_DRIVE_DEBUG:-}" ] || import -window root "$PIXELIZER_DRIVE_DEBUG/open-dialog.png"
xdotool type --delay 120 "Z:${work//\//\\}\\Картинки\\кіт.png"
sleep 1
[ -z "${PIXELIZER_DRIVE_DEBUG:-}" ] || import -window root "$PIXELIZER_DRIVE_DEBUG/open-typed.png"
xdotool key Return
sleep 3
xdotool mousemove --window "$window" 5 5
sleep 1
capture windows-loaded

click_button 168 464
focus_dialog ''
[ -z "${PIXELIZER_DRIVE_DEBUG:-}" ] || import -window root "$PIXELIZER_DRIVE_DEBUG/save-dialog.png"
xdotool key Return
saved() { # name
  for _ in $(seq 20); do
    [ -f "$work/Картинки/$1" ] && break
    sleep 0.5
  done
  if cmp -s "$work/expected.${1##*.}" "$work/Картинки/$1"; then
    echo "the window's $1 equals pixcsv's ($(wc -c <"$work/Картинки/$1") bytes) at $dpi dpi"
  else
    echo "the window wrote no $1 or another one than pixcsv at $dpi dpi" >&2
    exit 1
  fi
}
saved кіт.csv

# The file type list follows the name box; choosing the workbook there
# renames the proposal.
click_button 168 464
focus_dialog ''
xdotool key Tab Down
sleep 1
[ -z "${PIXELIZER_DRIVE_DEBUG:-}" ] || import -window root "$PIXELIZER_DRIVE_DEBUG/save-workbook.png"
xdotool key Return
saved кіт.xlsx
