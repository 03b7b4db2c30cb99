#!/usr/bin/env bash
# Set-up, build, run and test in one place, so that a fresh Debian 12 machine
# needs exactly one command for each of the two jobs:
#   bash build.sh run    install what is missing, build, start the window program
#   bash build.sh test   install what is missing, build, run the whole test suite
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
  clang libclang-rt-14-dev
  python3 python3-numpy python3-pil python3-png
  fonts-dejavu-core fonts-comfortaa xvfb xauth
)
JOBS=$(nproc 2>/dev/null || echo 2)

install_packages() {
  local missing=()
  for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
      || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
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

case "${1:-}" in
  run)
    install_packages
    configure_and_build build -DCMAKE_BUILD_TYPE=Release -DPIXELIZER_TESTS=OFF
    exec ./build/bin/pixelizer
    ;;
  test)
    install_packages
    # The fuzz replay goes first so that the run ends with CTest's summary.
    echo "== the load path's fuzz target over its seeds and regression inputs (clang, libFuzzer)"
    cmake -S . -B build-fuzz -G Ninja -DPIXELIZER_FUZZ=ON -DPIXELIZER_WERROR=ON \
      -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
    cmake --build build-fuzz --parallel "$JOBS" --target load_path_fuzzer load_path_seeds
    ./build-fuzz/bin/load_path_seeds build-fuzz/fuzz/corpus
    fuzz_inputs=(build-fuzz/fuzz/corpus fuzz/regressions)
    if [ -d ../shared/pngsuite ]; then fuzz_inputs+=(../shared/pngsuite); fi
    ./build-fuzz/bin/load_path_fuzzer -runs=0 -timeout=30 "${fuzz_inputs[@]}"
    echo "== the test suite"
    configure_and_build build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXELIZER_WERROR=ON
    run_tests build-test
    echo "== the same suite under AddressSanitizer and UndefinedBehaviorSanitizer"
    configure_and_build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPIXELIZER_WERROR=ON -DPIXELIZER_SANITIZE=ON
    run_tests build-sanitize
    ;;
  *)
    echo "usage: bash build.sh run|test" >&2
    exit 2
    ;;
esac
