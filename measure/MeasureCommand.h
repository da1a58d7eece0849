// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The measurement from the command line, with no window:
//   kelvane --measure-driver FREE.zma [--re OHMS] [--sd CM2] [--added-mass G SECOND.zma | --test-box LITRES SECOND.zma]
// prints the driver library's export header with "Fit error [%]" and one row;
//   kelvane --measure-box BOX.zma
// prints "Fb [Hz]" and one row. A bad file or option is one line on standard error and exit status 1.

#include <QStringList>

class QCommandLineParser;
class QTextStream;

namespace kelvane::measure {

void addOptions(QCommandLineParser &parser);
// True when the command line asks for a measurement (looked at before any application exists).
bool requested(int argc, char *argv[]);
// Runs the command once the parsed command line exists; the exit status.
int run(const QCommandLineParser &parser, QTextStream &out, QTextStream &err);

} // namespace kelvane::measure
