// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One driver of the library, in the units the library keeps: Vas in litres, Le in millihenries,
// Sd in square centimetres, Xmax and the diameter in millimetres, Mms in grams. A value the source
// did not give is an empty optional (NULL in the store), never 0.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kelvane::library {

using Value = std::optional<double>;

struct Entry {
    qint64 id = 0;            // the store's row; 0 before it is stored
    QString maker, model;
    Value fs, qts, qes, qms;  // Hz, and three Q values
    Value vas;                // litres
    Value re, le, z;          // ohms, millihenries, ohms
    Value sd, xmax, diameter; // square centimetres, millimetres, millimetres
    Value power, spl, bl, mms; // watts, dB at 1 W / 1 m, tesla-metres, grams
    QString notes;
    QString source;           // "typed", or the file the entry came from
    QString added;            // when it was stored, ISO 8601 (UTC)

    // "Maker Model", or whichever of the two there is.
    QString name() const;
};

// The numeric fields in the order of the export's columns, with the column headers.
struct Column {
    const char *header;
    Value Entry::*value;
};
extern const std::vector<Column> NumericColumns;

// What one file gave: the entries it holds and, per entry left out, why. A file that cannot be
// read at all (not well-formed, cut short, of another kind) has a failure and no entries.
struct ImportResult {
    std::vector<Entry> entries;
    QStringList skipped;      // "<what>: <reason>", one per entry left out
    QString failure;          // empty when the file was read
};

// Completes a missing Qts, Qes or Qms from the other two (1/Qts = 1/Qes + 1/Qms).
void completeQ(Entry &entry);
// Why an entry cannot be designed with (no name, or Fs, Qts or Vas missing); empty when it can.
QString unusableReason(const Entry &entry);

} // namespace kelvane::library
