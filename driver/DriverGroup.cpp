// SPDX-License-Identifier: GPL-3.0-or-later
#include "driver/DriverGroup.h"

#include "common/NumberText.h"

#include <cmath>

namespace kelvane::driver {

namespace {

constexpr double LitresPerCubicFoot = 1 / 0.0353145;

} // namespace

DriverGroup group(const DriverValues &one, int count, Wiring wiring, bool isobaric)
{
    DriverGroup g;
    g.count = count;
    g.isobaric = isobaric && isobaricOffered(count);
    g.wiring = wiring == Wiring::SeriesParallel && count != 4 ? Wiring::Parallel : wiring;
    const double n = count;
    g.cones = g.isobaric ? count / 2 : count;
    const double vasFactor = g.isobaric ? n / 4 : n;
    const double ohmsFactor = g.wiring == Wiring::Series ? n : g.wiring == Wiring::Parallel ? 1 / n : 1.0;
    g.equivalent = {one.vas * vasFactor, one.sd * g.cones, one.vd * g.cones, one.mms * n, one.power * n,
                    one.re * ohmsFactor, one.le * ohmsFactor, one.z * ohmsFactor};
    g.efficiencyDb = 10 * std::log10(vasFactor);
    return g;
}

std::optional<int> driverCount(const QString &text)
{
    const std::optional<double> n = parseNumber(text);
    if (!n || *n != std::floor(*n) || *n < 1 || *n > MaxDrivers)
        return std::nullopt;
    return int(*n);
}

QStringList wiringNames(int count)
{
    QStringList names{QStringLiteral("Parallel"), QStringLiteral("Series")};
    if (count == 4)
        names << QStringLiteral("Series-parallel");
    return names;
}

QString groupLine(const DriverGroup &g, std::optional<double> spl)
{
    if (g.count <= 1)
        return {};
    const char *const wired[] = {"parallel", "series", "series-parallel"};
    QString line = QStringLiteral("%1 drivers in %2").arg(g.count).arg(QLatin1String(wired[int(g.wiring)]));
    if (g.isobaric)
        line += QStringLiteral(" as %1 isobaric pair%2").arg(g.cones).arg(g.cones > 1 ? QStringLiteral("s") : QString());
    const DriverValues &e = g.equivalent;
    QStringList figures;
    // A figure is shown when its data is given and it is finite.
    const auto add = [&figures](bool given, double value, const char *pattern, const char *unit) {
        if (given && std::isfinite(value))
            figures << formatNumber(value, QLatin1String(pattern)) + QString::fromUtf8(unit);
    };
    add(e.z > 0, e.z, "#0.0", " ohms");
    add(e.vas > 0, e.vas * LitresPerCubicFoot, "Vas #0", " l");
    add(e.sd > 0, e.sd * 1e4, "Sd #0", " cm²");
    if (spl) {
        add(true, *spl, "#0.0", " dB at 1 W");
        add(e.re > 0, *spl + 10 * std::log10(2.83 * 2.83 / e.re), "#0.0", " dB at 2.83 V");
    }
    return figures.isEmpty() ? line : line + QStringLiteral(": ") + figures.join(QStringLiteral(", "));
}

} // namespace kelvane::driver
