#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A long random run of the window before a release: EVENTS (default 100000) events of the random run
# of tests/tst_monkey.cpp over all tabs, in one go from one seed (the second argument, or a fresh one),
# printed so a failure can be reproduced. A crash, a hang (one event over 10 s), "nan" or "inf" on
# screen or a message that is not the program's own fails it; the last events are printed then.
set -euo pipefail
cd "$(dirname "$0")/.."
events=${1:-100000}
seed=${2:-$(od -An -N6 -tu8 /dev/urandom | tr -d ' ')}
bash scripts/setup.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tst_monkey
echo "soak: seed $seed, $events events (reproduce with scripts/soak.sh $events $seed)"
start=$(date +%s)
status=0
# Qt Test stops any test function after 5 minutes; the run's own watchdog bounds each event instead.
QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 LANG=C.UTF-8 KELVANE_MONKEY_SEED=$seed KELVANE_MONKEY_EVENTS=$events \
  QTEST_FUNCTION_TIMEOUT=$((24 * 3600 * 1000)) build/tests/tst_monkey randomEvents || status=$?
echo "soak: seed $seed, $events events, $(( $(date +%s) - start )) s: $([ $status = 0 ] && echo passed || echo FAILED)"
exit $status
