// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The library from the command line, with no window: import files and print the summary, or print
// the drivers matching a text as CSV in the export's columns. Each returns the exit status.

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace kelvane::library {

int importDriversCommand(const QString &libraryPath, const QStringList &files, QTextStream &out, QTextStream &err);
int listDriversCommand(const QString &libraryPath, const QString &text, QTextStream &out, QTextStream &err);

} // namespace kelvane::library
