// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphs/FrequencyCore.h"

#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"
#include "graphs/GraphGeometry.h"

#include <cmath>

using kelvane::checked;
using kelvane::formatNumber;

namespace freqcore {

namespace {
constexpr double CubicFeetPerLitre = 0.0353145;
constexpr double CubicFeetPerCubicMetre = 35.3145;
} // namespace

double sealedLevel(double freqHz, double fc, double qtc)
{
    const double x = freqHz / fc;
    const double x2 = x * x;
    const double gain = x2 / std::sqrt((x2 - 1.0) * (x2 - 1.0) + (x / qtc) * (x / qtc));
    return 20.0 * std::log(gain) / std::log(10.0);
}

void sealedSweep(double fc, double qtc, Curve &levels)
{
    for (int f = FirstHz; f <= LastSweepHz; ++f)
        levels[f] = checked(sealedLevel(f, fc, qtc), "sealed response");
}

Peak sealedPeak(double qtc, double f3Sealed, Peak fromModel)
{
    if (qtc < 1.0 / std::sqrt(2.0))
        return {0.0, f3Sealed};
    return fromModel;
}

std::vector<Mark> curveMarks(Curve &levels, int colour)
{
    // Coordinates go to the picture as single-precision numbers.
    const auto x = [](int f) { return double(float(graphgeo::graphX(f))); };
    const auto y = [](double level) { return double(float(graphgeo::graphY(level))); };

    std::vector<Mark> marks;
    marks.reserve(LastPlotHz - FirstHz + 1);
    for (int f = FirstHz; f <= LastPlotHz; ++f) {
        double &level = levels[f];
        checked(level, "response level");
        if (level < FloorDb)
            level = FloorDb;
        if (f == FirstHz) {
            if (level != FloorDb)
                marks.push_back({true, x(f), y(level), 0, 0, colour});
            continue;
        }
        marks.push_back({false, x(f), y(level), x(f - 1), y(levels[f - 1]),
                         level == FloorDb ? FrameColour : colour});
    }
    return marks;
}

QString recommendationFor(double ebp)
{
    return QStringLiteral("  ") + kelvane::driver::recommendation(ebp);
}

QString volumeText(double cubicFeet, int unitIndex)
{
    switch (unitIndex) {
    case 0:
        return formatNumber(cubicFeet, QStringLiteral("#0.000 Cu. Ft."));
    case 1:
        return formatNumber(cubicFeet / CubicFeetPerLitre, QStringLiteral("#0.000 l"));
    case 2:
        return formatNumber(cubicFeet / CubicFeetPerCubicMetre, QStringLiteral("#0.000 Cu M"));
    default:
        return QString();
    }
}

QStringList summaryRows(const SummaryInput &in)
{
    const auto hz = [](double v) { return formatNumber(v, QStringLiteral("#0.0 Hz")); };
    const bool unitChosen = in.volumeUnit >= 0 && in.volumeUnit <= 2;

    QStringList rows;
    rows << QString() << QString() << in.recommendation << QString();
    rows << QStringLiteral("  Free-Air Efficiency is ") + formatNumber(in.spl, QStringLiteral("#0.0 dB")) +
                QStringLiteral("      ") + in.estimatedNote;
    rows << QString();
    rows << QStringLiteral("  Speaker Data:    ") + QStringLiteral("Fs = ") + hz(in.fs) +
                QStringLiteral(",  Vas = ") + formatNumber(in.vas / CubicFeetPerLitre, QStringLiteral("#0.000 l  ")) +
                QStringLiteral(" (") + formatNumber(in.vas, QStringLiteral("#0.000 Cu. Ft.)")) +
                QStringLiteral(",  Qts = ") + formatNumber(in.qts, QStringLiteral("#0.000"));
    rows << QString();
    if (unitChosen)
        rows << QStringLiteral("  Vented Design:    ") + QStringLiteral("F3 = ") + hz(in.f3Vented) +
                    QStringLiteral(",  VB = ") + volumeText(in.vbVented, in.volumeUnit) +
                    QStringLiteral(",  Fb = ") + hz(in.fb);
    if (in.peakDbVented >= 0.01)
        rows << QStringLiteral("                              The vented box has a ") +
                    formatNumber(in.peakDbVented, QStringLiteral("#0.00 dB")) + QStringLiteral(" Peak at ") +
                    hz(in.peakFreqVented);
    rows << QString();
    if (unitChosen)
        rows << QStringLiteral("  Sealed Design:    ") + QStringLiteral("F3 = ") + hz(in.f3Sealed) +
                    QStringLiteral(",  VB = ") + volumeText(in.vbSealed, in.volumeUnit) +
                    QStringLiteral(",  Fc = ") + hz(in.fc) + QStringLiteral(",  Qtc = ") +
                    formatNumber(in.qtc, QStringLiteral("#0.000"));
    if (in.peakDbSealed >= 0.01)
        rows << QStringLiteral("                              The sealed box has a ") +
                    formatNumber(in.peakDbSealed, QStringLiteral("#0.00 dB")) + QStringLiteral(" Peak at ") +
                    hz(in.peakFreqSealed);
    rows << QString();
    return rows;
}

} // namespace freqcore
