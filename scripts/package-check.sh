#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, checks its AppStream metadata (appstreamcli), its desktop entry
# (desktop-file-validate) and the package itself (lintian: its warnings are printed, an error fails the
# check), installs it with apt, and starts the installed program headless: it must still be running a
# few seconds later.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh package
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target kelvane kelvane-docs
(cd build && cpack -G DEB >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
deb=build/kelvane_${version}_amd64.deb

appstreamcli validate --no-net data/org.kelvane.Kelvane.metainfo.xml
desktop-file-validate data/org.kelvane.Kelvane.desktop
echo "package check: lintian $deb"
lintian --fail-on error "$deb"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "./$deb" >/dev/null
desktop-file-validate /usr/share/applications/org.kelvane.Kelvane.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.kelvane.Kelvane.metainfo.xml >/dev/null
test -f /usr/share/icons/hicolor/32x32/apps/kelvane.png
test -f /usr/share/icons/hicolor/scalable/apps/kelvane.svg
test -f /usr/share/mime/packages/kelvane.xml
test -f /usr/share/man/man1/kelvane.1.gz
test -f /usr/share/doc/kelvane/copyright
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
