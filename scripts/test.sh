#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up, builds (only what changed) and runs every test headless through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure "$@"
# The random run's seeds (three fixed, one fresh each run), so a failing run can be reproduced.
grep -ho "monkey seed [0-9]*, [0-9]* events (reproduce with KELVANE_MONKEY_SEED=[0-9]*)" \
  build/Testing/Temporary/LastTest.log 2>/dev/null | sort -u || true
