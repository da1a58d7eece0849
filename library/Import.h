// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Driver files read into entries. Each reader is a function from bytes to entries plus problems:
// it touches neither the store nor any window, so a test or a fuzz target calls it directly.
// `source` is what the entries' source will say (normally the file's name).

#include "library/DriverEntry.h"

#include <QByteArray>

namespace kelvane::library {

// The XML driver database of the Qt loudspeaker program (<speakers><speaker vendor= model= .../>):
// vas in litres, le in mH, sd in square metres, xmax in millimetres, dia in metres.
ImportResult importXmlDatabase(const QByteArray &bytes, const QString &source);
// A one-driver .wdr file: [Driver] and Key=Value lines in SI units; 0 means unknown.
ImportResult importWdr(const QByteArray &bytes, const QString &source);
// A comma-, semicolon- or tab-separated table whose header names each column with its unit.
ImportResult importTable(const QByteArray &bytes, const QString &source);

// The largest driver file read (a database of some ten thousand drivers is a few megabytes); a
// larger file, or a device that never ends, is refused after this many bytes instead of filling memory.
inline constexpr qint64 MaxImportBytes = 64 * 1024 * 1024;

// The kind recognised from the content (the name's extension only breaks a tie), then its reader.
ImportResult importDriverFile(const QByteArray &bytes, const QString &fileName);

// A number as files write it: "." or (with decimalComma) "," as decimal mark, an exponent, and an
// optional unit after it ("5.82 N/A"), times toLibraryUnit. Empty for no number, a negative one, or
// one that is not finite once converted (1e306 m³ of Vas overflows in litres).
std::optional<double> importNumber(QString text, bool decimalComma = false, double toLibraryUnit = 1);

// The end of one entry in every reader: a missing Q completed from the other two, then the entry
// kept, or left out as "<what>: <reason>" (`bad` if given, else why it cannot be designed with).
void finishEntry(Entry &&entry, const QString &bad, const QString &what, ImportResult &result);

} // namespace kelvane::library
