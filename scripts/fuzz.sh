#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets of the file readers (fuzz/, with clang++) into build-fuzz and runs each
# for SECONDS (default 60) from its seed corpus and the inputs of past findings. Any crash, hang
# (an input taking over 10 s), leak or memory use over 2 GB fails the run; the input that caused it
# is left in build-fuzz/findings/<target>/ (keep it under fuzz/regressions/<target>/ once fixed).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
bash scripts/setup.sh test
cmake -S . -B "$build" -DKELVANE_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for target in designfile xml wdr csv curve; do
  # New inputs go into a working corpus in the build folder; the repository's seeds stay as they are.
  corpus=$build/corpus/$target findings=$build/findings/$target
  mkdir -p "$corpus" "$findings"
  seeds=(fuzz/corpus/$target)
  [ -d fuzz/regressions/$target ] && seeds+=(fuzz/regressions/$target)
  echo "== fuzz_$target for $seconds s"
  dict=(); [ -f fuzz/$target.dict ] && dict=(-dict=fuzz/$target.dict)
  if ! "$build/fuzz/fuzz_$target" "$corpus" "${seeds[@]}" "${dict[@]}" -max_total_time="$seconds" -timeout=10 \
       -rss_limit_mb=2048 -artifact_prefix="$findings/" -print_final_stats=1 2>"$build/fuzz_$target.log"; then
    tail -n 60 "$build/fuzz_$target.log"
    echo "fuzz_$target: a finding, input in $findings/" >&2
    exit 1
  fi
  grep -E "^#[0-9]+.*(DONE|cov:)" "$build/fuzz_$target.log" | tail -n 1
  grep -E "stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)" "$build/fuzz_$target.log"
done
