#!/usr/bin/env bash
# Builds and runs every benchmark: the host benchmarks (strennix_bench, the
# median of 5 repetitions), the measurement under Wine beside the reference
# painter (measure-wine.sh, about 13 minutes for each edition this machine
# can run, scripts/editions.sh; each preset makes refpaint.exe beside its
# strennix.exe), the 32-bit edition's 64-bit helper (measure-win64.sh, about 4
# minutes, where 32-bit programs run), the two ways of showing the buttons
# beside each other in the 64-bit edition (measure-buttonlook.sh, about 15
# minutes) and the plots (plot.sh). The 64-bit edition's tables and plot go
# to OUT_DIR/win64.
#
# Usage: tools/bench/run.sh [OUT_DIR]   (default: build/bench-results)
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build/bench-results}
mkdir -p "$out"
cd "$root"

cmake --preset host >/dev/null
cmake --build --preset host -j2 --target strennix_bench
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2

build/host/tests/bench/strennix_bench --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/host-bench.json" --benchmark_out_format=json
tools/bench/plot.sh --host "$out/host-bench.json" --out "$out/benchmarks-host.png"
editions=" $(scripts/editions.sh) "
if [[ $editions == *" 32 "* ]]; then
  tools/bench/measure-wine.sh --edition 32 --out "$out"
  tools/bench/measure-win64.sh --out "$out"
  tools/bench/plot.sh --cpu "$out/wine-cpu.tsv" --out "$out/benchmarks-wine.png"
fi
if [[ $editions == *" 64 "* ]]; then
  tools/bench/measure-wine.sh --edition 64 --out "$out/win64"
  tools/bench/plot.sh --cpu "$out/win64/wine-cpu.tsv" --out "$out/win64/benchmarks-wine.png"
  tools/bench/measure-buttonlook.sh --edition 64 --out "$out/win64"
fi
echo "results and plots in $out"
