#!/usr/bin/env bash
# Builds libxlsxwriter from Debian's source package as a static library for a
# target that Debian has no package of it for:
#   tools/build-xlsxwriter.sh TOOLCHAIN_FILE PREFIX
# installs headers and library into PREFIX (kept when already built there)
# and the library's licence as PREFIX/share/licences/libxlsxwriter.txt.
set -euo pipefail
toolchain=$(realpath "$1")
prefix=$(realpath -m "$2")
cd "$(dirname "${BASH_SOURCE[0]}")/.."
[ -f "$prefix/lib/libxlsxwriter.a" ] && exit 0
source=$(tools/debian-source.sh libxlsxwriter build-deps/sources)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$source/." "$work/src"
# Under mingw-w64 the library would open the workbook with the runtime's
# fopen, in the ANSI code page: names in other scripts would be mangled.
# Its Windows path (UTF-8 names opened as UTF-16) is kept instead, with the
# minizip file functions that path needs.
sed -i '/^#ifdef __MINGW32__$/{N;/\n#undef _WIN32$/{N;d}}' "$work/src/src/packager.c" "$work/src/src/utility.c"
sed -i '/list(APPEND LXW_SOURCES third_party\/minizip\/ioapi.c/{n;s/if(MSVC)/if(WIN32)/}' "$work/src/CMakeLists.txt"
# zlib built from source into the same prefix (tools/build-zlib.sh), where
# the target has none of its own.
zlib=()
if [ -f "$prefix/lib/libz.a" ]; then
  zlib=(-DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a")
fi
# Not our code: its warnings are not ours to fix.
cmake -S "$work/src" -B "$work/build" -G Ninja --toolchain "$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG -w" -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
  -DUSE_SYSTEM_MINIZIP=OFF -DUSE_STANDARD_TMPFILE=OFF -DUSE_OPENSSL_MD5=OFF -DUSE_NO_MD5=OFF "${zlib[@]}" >/dev/null
cmake --build "$work/build" >/dev/null
cmake --install "$work/build" >/dev/null
install -D -m 644 "$source/License.txt" "$prefix/share/licences/libxlsxwriter.txt"
