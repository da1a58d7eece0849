// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plain text on a printer: lines one under the other in the printer's default font, from the top of
// the first page, a new page whenever the next line would not fit.

#include <QStringList>

class QPrinter;

namespace kelvane {

// Prints the lines as one document on an already set-up printer and ends the document.
// False when the printer cannot be opened or a further page cannot be started; the partly built
// document is then discarded.
bool printTextLines(QPrinter &printer, const QStringList &lines);

// The same on the system's default printer. False when there is no default printer or printing
// fails.
bool printTextOnDefaultPrinter(const QStringList &lines, const QString &documentName);

} // namespace kelvane
