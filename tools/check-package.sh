#!/usr/bin/env bash
# Installs the Debian package from dist/ as a user would, converts a picture
# with the installed pixcsv, then removes the package and checks that none of
# its files is left. Safe to run again, also with the package installed.
#   bash tools/check-package.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(dist/pixelizer_*.deb)
if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
  echo "check-package: expected one dist/pixelizer_*.deb; run: bash build.sh package" >&2
  exit 1
fi
package=${packages[0]}
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "check-package: $*" >&2
  exit 1
}

echo "== installing $package"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --reinstall "./$package" >/dev/null

version=$(dpkg-deb -f "$package" Version)
[ "$(/usr/bin/pixcsv --version)" = "pixcsv $version" ] || fail "pixcsv --version does not say $version"

# 3 x 2 pixels: white, black, white over black, black, red.
/usr/bin/python3 - "$work/example.png" <<'EOF'
import struct, sys, zlib

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

rows = [b"\xff\xff\xff\x00\x00\x00\xff\xff\xff", b"\x00\x00\x00\x00\x00\x00\xff\x00\x00"]
with open(sys.argv[1], "wb") as png:
    png.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 3, 2, 8, 2, 0, 0, 0))
              + chunk(b"IDAT", zlib.compress(b"".join(b"\x00" + row for row in rows))) + chunk(b"IEND", b""))
EOF
/usr/bin/pixcsv -q "$work/example.png"
printf '3;1;3;\r\n1;1;2;\r\n' >"$work/expected.csv"
cmp "$work/example.csv" "$work/expected.csv" || fail "the installed pixcsv wrote other bytes"
echo "installed pixcsv $version converts as expected"

echo "== removing the package"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove -y -qq pixelizer >/dev/null
left=0
while read -r file; do
  if [ -e "$file" ]; then
    echo "check-package: left behind: $file" >&2
    left=1
  fi
done < <(dpkg-deb --fsys-tarfile "$package" | tar -t | sed -n 's|^\./\(.*[^/]\)$|/\1|p')
[ "$left" -eq 0 ] || exit 1
echo "removed, no file left"
