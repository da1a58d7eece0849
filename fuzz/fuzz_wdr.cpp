// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: A one-driver .wdr file ([Driver] and Key=Value lines).

#include "fuzz/FuzzCheck.h"
#include "library/Import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString source = QStringLiteral("d.wdr");
    kelvane::fuzz::checkImport(kelvane::library::importWdr(kelvane::fuzz::bytesOf(data, size), source), source);
    return 0;
}
