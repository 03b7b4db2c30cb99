#!/usr/bin/env bash
# A fuzzing session of the load path, one job:
#   bash fuzz/run.sh [SECONDS]        (default 3600)
# Builds the fuzz target in build-fuzz (or $PIXELIZER_FUZZ_BUILD), starts from
# the generated seeds, the regression inputs and PngSuite, and keeps what it
# learns in fuzz/corpus-work/ (not committed), so that sessions add up.
# A finding is written to <build>/fuzz/findings/; make it a regression test
# or copy it into fuzz/regressions/ once fixed. The last lines report the
# executions and their rate.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-3600}
build=${PIXELIZER_FUZZ_BUILD:-build-fuzz}

cmake -S . -B "$build" -G Ninja -DPIXELIZER_FUZZ=ON -DPIXELIZER_WERROR=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
cmake --build "$build" --parallel 2 --target load_path_fuzzer load_path_seeds
"$build/bin/load_path_seeds" "$build/fuzz/corpus"
mkdir -p fuzz/corpus-work "$build/fuzz/findings"
inputs=(fuzz/corpus-work "$build/fuzz/corpus" fuzz/regressions)
if [ -d ../shared/pngsuite ]; then inputs+=(../shared/pngsuite); fi

# -timeout: no input of at most 16 KiB may take seconds; a hang is a finding.
exec "$build/bin/load_path_fuzzer" -max_total_time="$seconds" -max_len=16384 -timeout=10 \
  -rss_limit_mb=4096 -dict=fuzz/png.dict -artifact_prefix="$build/fuzz/findings/" \
  -print_final_stats=1 "${inputs[@]}"
