// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drivers written out: a CSV table with units in the header (which importTable reads back) and
// one driver as a .wdr file.

#include "library/DriverEntry.h"

#include <QByteArray>

namespace kelvane::library {

// The header line of the table (no line end).
QString csvHeader();
// One entry as a line of the table (no line end); unknown values empty.
QString csvRow(const Entry &entry);
QByteArray toCsv(const std::vector<Entry> &entries);
QByteArray toWdr(const Entry &entry);

} // namespace kelvane::library
