#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmark programs in a Release tree (build-release/), runs them all headless and prints
# one table: benchmark, measured (median wall time of the repetitions, or peak resident memory),
# target, ok or MISSED. "bench.sh --markdown" prints the table in Markdown (as in
# docs/benchmarks.md). BENCH_REPETITIONS sets the number of repetitions (default 5).
# The figures are measurements, not tests: nothing fails when a target is missed.
set -euo pipefail
cd "$(dirname "$0")/.."

table_args=()
[ "${1:-}" = --markdown ] && table_args+=(--markdown)
repetitions=${BENCH_REPETITIONS:-5}

bash scripts/setup.sh bench
# Google Benchmark, if the set-up did not bring it.
dpkg-query -W -f='${Status}' libbenchmark-dev 2>/dev/null | grep -q "install ok installed" || {
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends libbenchmark-dev
}
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DKELVANE_BENCHMARKS=ON >/dev/null
mkdir -p build-release
if ! cmake --build build-release -j"$(nproc)" --target benchmarks >build-release/bench-build.log 2>&1; then
  cat build-release/bench-build.log >&2
  exit 1
fi

export QT_QPA_PLATFORM=offscreen
bin=build-release/bench
out=build-release/bench-results
rm -rf "$out"
mkdir -p "$out"
for program in kelvane-bench-core kelvane-bench-window kelvane-bench-graphs kelvane-bench-library \
    kelvane-bench-sheet kelvane-bench-crossover kelvane-bench-measure; do
  echo "running $program ..." >&2
  "$bin/$program" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_out="$out/$program.json" --benchmark_out_format=json >"$out/$program.txt" 2>&1
done
echo "running kelvane-bench-session ..." >&2
"$bin/kelvane-bench-session" --out="$out/session.json" 2>"$out/session.txt"

echo >&2
"$bin/kelvane-bench-table" "${table_args[@]}" "$out"/kelvane-bench-core.json \
  "$out"/kelvane-bench-window.json "$out"/kelvane-bench-graphs.json "$out"/kelvane-bench-library.json \
  "$out"/kelvane-bench-sheet.json "$out"/kelvane-bench-crossover.json "$out"/kelvane-bench-measure.json \
  "$out"/session.json
