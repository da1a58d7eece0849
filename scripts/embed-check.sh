#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Kelvane's library as a subdirectory of a small parent CMake project, the way another
# project would embed it, and links a program of the parent's own against it. It fails when a path
# of the build refers to the parent's folders instead of Kelvane's.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
bash scripts/setup.sh build
host=${1:-build-embed}
mkdir -p "$host/src"
cat > "$host/src/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.21)
project(KelvaneHost LANGUAGES CXX)
add_subdirectory("$repo" kelvane)
add_executable(kelvane-host host.cpp)
target_link_libraries(kelvane-host PRIVATE kelvanelib)
CMAKE
cat > "$host/src/host.cpp" <<'CPP'
// A parent project's program: a sealed box for a 30 Hz, Qts 0.4, 3 cu ft driver at Qtc 0.707.
#include "models/SealedModel.h"
#include <cstdio>
int main()
{
    const kelvane::sealed::Design d = kelvane::sealed::forQtc(30, 0.4, 3, 0.707);
    std::printf("embedded build: sealed box %.3f cu ft\n", d.vb);
    return d.vb > 0 ? 0 : 1;
}
CPP
cmake -S "$host/src" -B "$host/build" -DBUILD_TESTING=OFF -DKELVANE_BENCHMARKS=OFF >/dev/null
cmake --build "$host/build" -j"$(nproc)" --target kelvane-host
"$host/build/kelvane-host"
