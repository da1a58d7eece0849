#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the whole tree with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan (or the
# folder given as the first argument) and runs every test through ctest. Any sanitizer report fails
# the run: errors halt the program with a non-zero exit code.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
[ $# -gt 0 ] && shift
bash scripts/setup.sh test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKELVANE_SANITIZE=ON -DKELVANE_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
# Leaks are checked too (LeakSanitizer runs at exit of every test program).
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:exitcode=23:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
# Leaks inside other libraries (libcups' printer-driver cache) are listed in tests/lsan.supp.
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:exitcode=24
# The random run of the window takes longer under the sanitizers: fewer events per seed.
export KELVANE_MONKEY_EVENTS=${KELVANE_MONKEY_EVENTS:-500}
ctest --test-dir "$build" --output-on-failure "$@"
