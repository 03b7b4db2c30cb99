#!/usr/bin/env bash
# Builds zlib from Debian's source package as a static library for a target
# whose toolchain ships none (the browser's):
#   tools/build-zlib.sh TOOLCHAIN_FILE PREFIX
# installs zlib.h, zconf.h and libz.a into PREFIX (kept when already built
# there) and the library's licence as PREFIX/share/licences/zlib.txt.
set -euo pipefail
toolchain=$(realpath "$1")
prefix=$(realpath -m "$2")
cd "$(dirname "${BASH_SOURCE[0]}")/.."
[ -f "$prefix/lib/libz.a" ] && exit 0
source=$(tools/debian-source.sh zlib build-deps/sources)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# zlib's own CMake project makes a shared and a static library under one
# name, which clash where shared libraries are built static: the static
# library alone, from the same sources, with the header zlib ships.
cat >"$work/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(zlib C)
file(GLOB sources "$source/*.c")
add_library(z STATIC \${sources})
target_compile_definitions(z PRIVATE HAVE_UNISTD_H)
install(TARGETS z ARCHIVE DESTINATION lib)
install(FILES "$source/zlib.h" "$source/zconf.h" DESTINATION include)
CMAKE
# Not our code: its warnings are not ours to fix.
cmake -S "$work" -B "$work/build" -G Ninja --toolchain "$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O3 -DNDEBUG -w" -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build "$work/build" >/dev/null
cmake --install "$work/build" >/dev/null
install -D -m 644 "$source/LICENSE" "$prefix/share/licences/zlib.txt"
