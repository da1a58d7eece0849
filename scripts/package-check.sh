#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, installs it with apt, checks the installed desktop entry and starts the
# installed program headless: it must still be running a few seconds later.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v desktop-file-validate >/dev/null && command -v dpkg-shlibdeps >/dev/null || \
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends desktop-file-utils dpkg-dev
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target kelvane
(cd build && cpack -G DEB >/dev/null)
deb=build/kelvane_1.0.6_amd64.deb
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "./$deb" >/dev/null
desktop-file-validate /usr/share/applications/kelvane.desktop
test -f /usr/share/icons/hicolor/32x32/apps/kelvane.png
test -f /usr/share/icons/hicolor/scalable/apps/kelvane.svg
test -f /usr/share/mime/packages/kelvane.xml
QT_QPA_PLATFORM=offscreen /usr/bin/kelvane >/dev/null 2>&1 &
pid=$!
sleep 4
if kill -0 "$pid" 2>/dev/null; then
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "package check: installed kelvane started and kept running"
else
  echo "package check: installed kelvane exited early" >&2
  exit 1
fi
