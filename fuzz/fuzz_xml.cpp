// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: The XML driver database (<speakers><speaker .../></speakers>).

#include "fuzz/FuzzCheck.h"
#include "library/Import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString source = QStringLiteral("d.xml");
    kelvane::fuzz::checkImport(kelvane::library::importXmlDatabase(kelvane::fuzz::bytesOf(data, size), source), source);
    return 0;
}
