// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: A driver table with units in its header (comma, semicolon or tab separated).

#include "fuzz/FuzzCheck.h"
#include "library/Import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString source = QStringLiteral("d.csv");
    kelvane::fuzz::checkImport(kelvane::library::importTable(kelvane::fuzz::bytesOf(data, size), source), source);
    return 0;
}
