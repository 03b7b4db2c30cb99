#!/usr/bin/env bash
# Runs a Windows program on this machine: tools/wine-run.sh PROGRAM.exe [ARGUMENTS...]
# Each machine word size has its own private Wine prefix (made on first use,
# under a lock, so that parallel tests do not race to create it), outside the
# user's own ~/.wine. PIXELIZER_WINEPREFIX_ROOT moves the prefixes elsewhere.
set -euo pipefail
program=$1
root=${PIXELIZER_WINEPREFIX_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/pixelizer-wine}
# PE32+ programs (x86-64) need the 64-bit loader; wine picks 32-bit otherwise.
if file -b "$program" | grep -q 'PE32+'; then
  loader=/usr/lib/wine/wine64
  export WINEPREFIX=$root/win64 WINEARCH=win64
else
  loader=wine
  export WINEPREFIX=$root/win32 WINEARCH=win32
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER=$loader
mkdir -p "$root"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  (
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || "$loader" wineboot --init >/dev/null 2>&1
    wineserver -w 2>/dev/null || true
  ) 9>"$root/.lock-$(basename "$WINEPREFIX")"
fi
exec "$loader" "$@"
