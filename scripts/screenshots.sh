#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of every tab under a virtual X server (Xvfb), with a sample driver calculated, into
# docs/screenshots/ for the README.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build
command -v xvfb-run >/dev/null || { apt-get install -y -qq xvfb xauth; }
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target kelvane-screenshots
mkdir -p docs/screenshots
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" build/kelvane-screenshots docs/screenshots
