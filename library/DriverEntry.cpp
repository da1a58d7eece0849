// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/DriverEntry.h"

#include <cmath>

namespace kelvane::library {

const std::vector<Column> NumericColumns = {
    {"Fs [Hz]", &Entry::fs},        {"Qts", &Entry::qts},           {"Qes", &Entry::qes},
    {"Qms", &Entry::qms},           {"Vas [l]", &Entry::vas},       {"Re [ohm]", &Entry::re},
    {"Le [mH]", &Entry::le},        {"Z [ohm]", &Entry::z},         {"Sd [cm2]", &Entry::sd},
    {"Xmax [mm]", &Entry::xmax},    {"Diameter [mm]", &Entry::diameter}, {"Pe [W]", &Entry::power},
    {"SPL [dB]", &Entry::spl},      {"Bl [Tm]", &Entry::bl},        {"Mms [g]", &Entry::mms},
};

QString Entry::name() const
{
    if (maker.isEmpty() || model.isEmpty())
        return maker + model;
    return maker + QLatin1Char(' ') + model;
}

void completeQ(Entry &e)
{
    // 1/Qts = 1/Qes + 1/Qms, solved for whichever one is missing; Qts is below both others. A result
    // that is not a finite positive number (the product of two huge Q values overflows) stays missing.
    const auto keep = [](Value &q, double value) {
        if (std::isfinite(value) && value > 0)
            q = value;
    };
    if (!e.qts && e.qes && e.qms)
        keep(e.qts, *e.qes * *e.qms / (*e.qes + *e.qms));
    else if (!e.qes && e.qts && e.qms && *e.qms > *e.qts)
        keep(e.qes, *e.qts * *e.qms / (*e.qms - *e.qts));
    else if (!e.qms && e.qts && e.qes && *e.qes > *e.qts)
        keep(e.qms, *e.qts * *e.qes / (*e.qes - *e.qts));
}

QString unusableReason(const Entry &e)
{
    if (e.maker.trimmed().isEmpty() && e.model.trimmed().isEmpty())
        return QStringLiteral("no maker or model");
    QStringList missing;
    if (!e.fs)
        missing << QStringLiteral("Fs");
    if (!e.qts)
        missing << QStringLiteral("Qts");
    if (!e.vas)
        missing << QStringLiteral("Vas");
    if (missing.isEmpty())
        return {};
    return QStringLiteral("no %1").arg(missing.join(QStringLiteral(", ")));
}

} // namespace kelvane::library
