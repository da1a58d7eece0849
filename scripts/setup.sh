#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages Kelvane needs, and only those that are missing, so a second run
# installs nothing. "setup.sh build" for building and running; "setup.sh test" adds what the tests
# use (a CUPS print queue, pdftotext, German and French locales with a decimal comma, the Debian
# driver database of the qspeakers package that the driver library imports, clang and its libFuzzer
# runtime for the fuzz targets of scripts/fuzz.sh) and Google
# Benchmark, so the benchmarks are compiled too; "setup.sh bench" adds Google Benchmark alone;
# "setup.sh package" adds what scripts/package-check.sh builds and checks the Debian package with
# (dpkg-shlibdeps, appstreamcli, desktop-file-validate, lintian).
set -euo pipefail

mode=${1:-build}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

packages=(cmake g++ make qt6-base-dev qt6-svg-dev libqt6sql6-sqlite fonts-dejavu-core libfftw3-dev libeigen3-dev)
if [ "$mode" = test ]; then
  packages+=(cups cups-client printer-driver-cups-pdf poppler-utils locales libbenchmark-dev qspeakers
            clang libclang-rt-14-dev)
fi
if [ "$mode" = bench ]; then
  packages+=(libbenchmark-dev)
fi
if [ "$mode" = package ]; then
  packages+=(dpkg-dev appstream desktop-file-utils lintian)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "$mode" = test ]; then
  # Locales with a decimal comma, so the tests can prove numbers never follow the system locale.
  for loc in de_DE.UTF-8 fr_FR.UTF-8; do
    if ! locale -a 2>/dev/null | grep -qi "^${loc%.UTF-8}.utf8$"; then
      $SUDO sed -i "s/^# *\(${loc} UTF-8\)/\1/" /etc/locale.gen
      grep -q "^${loc} UTF-8" /etc/locale.gen || echo "${loc} UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
      need_gen=1
    fi
  done
  if [ "${need_gen:-0}" = 1 ]; then
    $SUDO locale-gen >/dev/null
  fi
fi
