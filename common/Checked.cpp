// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Checked.h"
#include "common/NumberText.h"

namespace kelvane {

double numberIn(const QString &text)
{
    const std::optional<double> value = parseNumber(text);
    if (!value)
        throw CalcFault("not a number");
    return *value;
}

double numberInOrZero(const QString &text)
{
    return text.isEmpty() ? 0.0 : numberIn(text);
}

} // namespace kelvane
