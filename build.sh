#!/usr/bin/env bash
# Set-up, build, run and test in one place, so that a fresh Debian 12 machine
# needs exactly one command for each of the two jobs:
#   bash build.sh run    install what is missing, build, start the window program
#   bash build.sh test   install what is missing, build, run the whole test suite
# and beside them
#   bash build.sh windows  cross-build the Windows programs (i686, x86-64), test
#                          them under Wine, leave them in dist/ with a zip each
#   bash build.sh package  build the Debian package into dist/ and check it with lintian
#   bash build.sh web      build the page (the core as WebAssembly) into dist/web and
#                          test it in headless Chromium against the native programs
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-translations-l10n zlib1g-dev libisal-dev libxlsxwriter-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
  clang libclang-rt-14-dev
  python3 python3-numpy python3-pil python3-png python3-openpyxl
  fonts-dejavu-core fonts-comfortaa xvfb xauth libreoffice-calc-nogui
)
WINDOWS_PACKAGES=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64 file zip xvfb xauth openbox xdotool imagemagick python3
  g++-multilib lib32z1-dev qemu-user dpkg-dev
)
WEB_PACKAGES=(emscripten dpkg-dev chromium chromium-driver python3-selenium xdotool)
JOBS=$(nproc 2>/dev/null || echo 2)

install_packages() { # packages...
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
      || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  # One index that fails to load (a mirror in sync, an architecture without
  # its security index) must not stop the packages the others provide.
  "${sudo[@]}" apt-get update -qq || echo "apt-get update failed for some index; installing from the rest" >&2
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

configure_and_build() { # build dir, extra cmake arguments...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" --parallel "$JOBS"
}

run_tests() { # build dir
  ctest --test-dir "$1" --output-on-failure --parallel "$JOBS"
}

# The commands, in the order of the usage line, each followed by the steps
# that only it takes.
command_run() {
  install_packages "${PACKAGES[@]}"
  configure_and_build build -DCMAKE_BUILD_TYPE=Release -DPIXELIZER_TESTS=OFF
  exec ./build/bin/pixelizer
}

command_test() {
  install_packages "${PACKAGES[@]}"
  # The fuzz replay goes first so that the run ends with CTest's summary.
  replay_fuzz_inputs
  echo "== the test suite"
  configure_and_build build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXELIZER_WERROR=ON
  run_tests build-test
  echo "== the same suite under AddressSanitizer and UndefinedBehaviorSanitizer"
  configure_and_build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPIXELIZER_WERROR=ON -DPIXELIZER_SANITIZE=ON
  run_tests build-sanitize
}

# The load path's fuzz target over its seeds, the regression inputs and PngSuite.
replay_fuzz_inputs() {
  echo "== the load path's fuzz target over its seeds and regression inputs (clang, libFuzzer)"
  cmake -S . -B build-fuzz -G Ninja -DPIXELIZER_FUZZ=ON -DPIXELIZER_WERROR=ON \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
  cmake --build build-fuzz --parallel "$JOBS" --target load_path_fuzzer load_path_seeds
  ./build-fuzz/bin/load_path_seeds build-fuzz/fuzz/corpus
  fuzz_inputs=(build-fuzz/fuzz/corpus fuzz/regressions)
  if [ -d ../shared/pngsuite ]; then fuzz_inputs+=(../shared/pngsuite); fi
  ./build-fuzz/bin/load_path_fuzzer -runs=0 -timeout=30 "${fuzz_inputs[@]}"
}

# libxlsxwriter for a target without a Debian package of it, from Debian's
# source package: tools/build-xlsxwriter.sh; prints where it is installed.
dependencies_for() { # toolchain name
  local prefix=build-deps/$1
  echo "== libxlsxwriter for $1, from Debian's source package" >&2
  tools/build-xlsxwriter.sh "cmake/toolchains/$1.cmake" "$prefix" >&2
  echo "$PWD/$prefix"
}

command_windows() {
  install_packages "${PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
  for arch in x86_64 i686; do
    prefix=$(dependencies_for "mingw-$arch")
    echo "== Windows $arch: the programs and the tests (mingw-w64, static runtime)"
    configure_and_build "build-windows-$arch" --toolchain "cmake/toolchains/mingw-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DPIXELIZER_WERROR=ON -DPIXELIZER_DEPENDENCY_PREFIX="$prefix"
  done
  echo "== Windows x86_64: the tests under Wine"
  run_tests build-windows-x86_64
  # 32-bit Windows programs need 32-bit Wine and a kernel that runs 32-bit
  # code; where either is missing the same 32-bit code is tested below as
  # a Linux program.
  if tools/wine-run.sh build-windows-i686/bin/pixcsv.exe --version >/dev/null 2>&1; then
    echo "== Windows i686: the tests under Wine"
    run_tests build-windows-i686
  else
    echo "== Windows i686: built; this machine runs no 32-bit Windows programs"
  fi
  prefix=$(dependencies_for linux-i686)
  echo "== 32-bit Linux: the core and the converter with their tests"
  configure_and_build build-linux-i686 --toolchain cmake/toolchains/linux-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release -DPIXELIZER_WERROR=ON -DPIXELIZER_GUI=OFF -DPIXELIZER_DEPENDENCY_PREFIX="$prefix"
  run_tests build-linux-i686
  echo "== Windows and Linux converters, byte for byte"
  configure_and_build build-linux-pixcsv -DCMAKE_BUILD_TYPE=Release -DPIXELIZER_TESTS=OFF -DPIXELIZER_GUI=OFF
  pictures=(resources)
  if [ -d ../shared/pngsuite ]; then pictures+=(../shared/pngsuite); fi
  tools/compare-windows-conversions.sh build-linux-pixcsv/bin/pixcsv \
    build-windows-x86_64/bin/pixcsv.exe "${pictures[@]}"
  echo "== The Windows window under Wine: load and save through its dialogs"
  tools/drive-windows-window.sh build-windows-x86_64/bin/pixelizer.exe build-linux-pixcsv/bin/pixcsv
  make_windows_zips
}

# dist/windows-ARCH/ with the stripped programs, the README and the licence,
# and a zip of each.
make_windows_zips() {
  for arch in x86_64 i686; do
    dist=dist/windows-$arch
    rm -rf "$dist" "dist/pixelizer-windows-$arch.zip"
    mkdir -p "$dist"
    for program in build-windows-$arch/bin/pix*.exe; do
      "$arch-w64-mingw32-strip" -o "$dist/$(basename "$program")" "$program"
    done
    cp README.md LICENSE "$dist/"
    # The libraries linked into the programs, with their licences.
    mkdir -p "$dist/licences"
    cp "build-deps/mingw-$arch/share/licences/libxlsxwriter.txt" "$dist/licences/"
    cp /usr/share/doc/libz-mingw-w64-dev/copyright "$dist/licences/zlib.txt"
    (cd dist && zip -qr "pixelizer-windows-$arch.zip" "windows-$arch")
    echo "dist/pixelizer-windows-$arch.zip: $(cd "$dist" && ls -l --block-size=K pix*.exe | awk '{print $9, $5}' | tr '\n' ' ')"
  done
}

command_package() {
  install_packages "${PACKAGES[@]}" lintian dpkg-dev fakeroot file desktop-file-utils
  # Debian's hardening flags, as its own packages are built with.
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  configure_and_build build-package -DCMAKE_BUILD_TYPE=Release -DPIXELIZER_TESTS=OFF -DPIXELIZER_WERROR=ON \
    "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    "-DCMAKE_C_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)" \
    "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
  desktop-file-validate packaging/pixelizer.desktop
  (cd build-package && cpack >/dev/null)
  mkdir -p dist
  rm -f dist/pixelizer_*.deb
  cp build-package/pixelizer_*.deb dist/
  lintian --fail-on error dist/pixelizer_*.deb
  ls dist/pixelizer_*.deb
}

command_web() {
  install_packages "${PACKAGES[@]}" "${WEB_PACKAGES[@]}"
  # emscripten's tools need Debian's node modules and Python, whichever node
  # and python3 come first on the PATH.
  export NODE_PATH=/usr/share/nodejs EMSDK_PYTHON=/usr/bin/python3
  local toolchain=cmake/toolchains/emscripten.cmake prefix=build-deps/emscripten
  echo "== zlib and libxlsxwriter for the browser, from Debian's source packages"
  tools/build-zlib.sh "$toolchain" "$prefix"
  tools/build-xlsxwriter.sh "$toolchain" "$prefix"
  echo "== the page: the core as WebAssembly"
  cmake -S . -B build-web -G Ninja --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release -DPIXELIZER_WERROR=ON \
    -DPIXELIZER_TESTS=OFF -DPIXELIZER_GUI=OFF -DPIXELIZER_DEPENDENCY_PREFIX="$PWD/$prefix" >/dev/null
  cmake --build build-web --parallel "$JOBS" --target pixelizer_web
  rm -rf dist/web
  mkdir -p dist
  cp -r build-web/web dist/web
  echo "== the native converter and window, to hold the page against"
  configure_and_build build-web-native -DCMAKE_BUILD_TYPE=Release -DPIXELIZER_TESTS=OFF -DPIXELIZER_WERROR=ON
  echo "== the page in headless Chromium"
  local pictures=()
  if [ -d ../shared/pngsuite ]; then pictures+=(../shared/pngsuite); fi
  xvfb-run -a -s "-screen 0 1600x1200x24" /usr/bin/python3 tests/web/page_test.py \
    dist/web build-web-native/bin "${pictures[@]}"
  ls -l dist/web/pixelizer.*
}

case "${1:-}" in
  run | test | windows | package | web) "command_$1" ;;
  *)
    echo "usage: bash build.sh run|test|windows|package|web" >&2
    exit 2
    ;;
esac
