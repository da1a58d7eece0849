// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// kelvane --build-sheet DESIGN.kelvane OUT.pdf [--box sealed|vented] [--ratio 1|2|3] [--wall W]
// [--units metric|inch] [--page a4|letter]: the build sheet of a design file, written without a
// window for batch use. A problem is one line on standard error and a non-zero exit status.

class QCommandLineParser;

namespace kelvane::buildsheet {

void addOptions(QCommandLineParser &parser);
// True when the command line asks for a build sheet (looked at before any application exists).
bool requested(int argc, char *argv[]);
// Runs the command once the application and the parsed command line exist; the exit status.
int run(const QCommandLineParser &parser);

} // namespace kelvane::buildsheet
