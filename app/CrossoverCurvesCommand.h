// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// kelvane --crossover-curves DESIGN.kelvane OUT.csv [--woofer-response F] [--woofer-impedance F]
// [--tweeter-response F] [--tweeter-impedance F] [--offset MM]: the crossover of a design simulated
// on its drivers (the files given replacing those kept in the design), written as CSV without a
// window. A problem is one line on standard error and exit status 1.
// kelvane --optimize-crossover DESIGN.kelvane OUT.kelvane [the same file options]: the crossover
// optimized on those drivers, written as a design (with the files loaded) and its result line printed.

class QCommandLineParser;

namespace kelvane::crossovercurves {

void addOptions(QCommandLineParser &parser);
// True when the command line asks for the crossover's curves or its optimizing (looked at before any application exists).
bool requested(int argc, char *argv[]);
// Runs the command once the application and the parsed command line exist; the exit status.
int run(const QCommandLineParser &parser);

} // namespace kelvane::crossovercurves
