// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphs/DisplacementCore.h"

#include "common/Checked.h"
#include "common/NumberText.h"
#include "graphs/GraphGeometry.h"

#include <cmath>

using kelvane::checked;
using kelvane::formatNumber;

namespace displacement {

const QString NoReferenceBoxText =
    QStringLiteral("  No sealed box reaches Qtc=1.1 with this driver (Qts is 1.1 or more)");

double splOfAcousticPower(double acousticWatts)
{
    return checked(10.0 * std::log(acousticWatts) / std::log(10.0) + SplOfOneAcousticWatt, "SPL");
}

ThermalLimit thermalLimit(double powerWatts, double efficiency)
{
    ThermalLimit t;
    t.acousticPowerMax = checked(powerWatts * efficiency, "acoustic power");
    t.splMax = splOfAcousticPower(t.acousticPowerMax);
    return t;
}

double cutoffRatioSquared(double qtc)
{
    const double r = checked(1.0 / (qtc * qtc) - 2.0, "cut-off ratio");
    return checked((r + std::sqrt(r * r + 4.0)) / 2.0, "cut-off ratio");
}

bool sealedResponsePeaks(double qtc)
{
    return qtc > 1.0 / std::sqrt(2.0);
}

double sealedCoefficient(double qtc)
{
    const double x = cutoffRatioSquared(qtc);
    if (!sealedResponsePeaks(qtc))
        return checked(AirConstant / (x * x), "sealed coefficient");
    // qtc^4 / (qtc^2 - 0.25) is the squared height of the response peak.
    const double q2 = qtc * qtc;
    return checked(AirConstant / (x * x * (q2 * q2) / (q2 - 0.25)), "sealed coefficient");
}

void fillLimitCurves(double kp, double vdCubicMetres, Curve &acousticPower, Curve &spl)
{
    for (int f = 10; f <= 499; ++f) {
        const double f2 = double(f) * f;
        acousticPower[f] = checked(f2 * f2 * kp * vdCubicMetres * vdCubicMetres, "acoustic power");
        spl[f] = splOfAcousticPower(acousticPower[f]);
    }
}

ReferenceBox referenceBox(double fs, double qts, double vasCubicFeet, double vdCubicMetres,
                          double efficiency)
{
    ReferenceBox b;
    const double ratio = checked(ReferenceQtc / qts, "Qtc 1.1 box");
    b.alpha = checked(ratio * ratio - 1.0, "Qtc 1.1 box");
    b.fc = checked(ReferenceQtc * fs / qts, "Qtc 1.1 box");
    b.f3 = checked(std::sqrt(cutoffRatioSquared(ReferenceQtc)) * b.fc, "Qtc 1.1 box");
    b.exists = b.alpha > 0;
    // With Qts at or above 1.1 the box would need no or a negative volume: there is none.
    b.vb = b.exists ? checked(vasCubicFeet / b.alpha, "Qtc 1.1 box") : 0.0;
    const double f3Squared = b.f3 * b.f3;
    b.acousticPower = checked(0.85 * f3Squared * f3Squared * vdCubicMetres * vdCubicMetres, "Qtc 1.1 box");
    b.power = checked(b.acousticPower / efficiency, "Qtc 1.1 box");
    return b;
}

QStringList noteLines(const NoteInput &in)
{
    QStringList lines;
    lines << QString() << QString() << in.recommendation;
    lines << QStringLiteral("  Free-Air Efficiency is ") + formatNumber(in.spl, QStringLiteral("#0.0 dB"))
                 + QStringLiteral("      ") + in.estimatedNote;
    lines << QString();
    lines << QStringLiteral("* NOTE - Maximum Thermal Power is ") + formatNumber(in.power, QStringLiteral("#0 Watts"));
    lines << QStringLiteral("* NOTE - Maximum Acoustic Output at this Power is ")
                 + formatNumber(in.splMax, QStringLiteral("#0.0 dB"));
    lines << QString();
    // Only a Qtc that is exactly the double nearest 1.1 is the reference box itself.
    if (in.qtc == ReferenceQtc) {
        lines << QStringLiteral("  Qtc=1.1 - This is the Maximum Power Handling for any Qtc cut-off Frequency");
        return lines;
    }
    if (!in.box.exists) {
        lines << NoReferenceBoxText;
        return lines;
    }
    QString volume;
    switch (in.volumeUnit) {
    case 0: volume = formatNumber(in.box.vb, QStringLiteral("#0.000 Cu. Ft. box")); break;
    case 1: volume = formatNumber(in.box.vb / 0.0353145, QStringLiteral("#0.000 l box")); break;
    case 2: volume = formatNumber(in.box.vb / 35.3145, QStringLiteral("#0.000 Cu M box")); break;
    default: return lines;
    }
    lines << QStringLiteral("  Max. cut-off Frequency Power Handling if Qtc=1.1 is ")
                 + formatNumber(in.box.power, QStringLiteral("#0 Watts"));
    lines << QStringLiteral("  at a cut-off Frequency of ") + formatNumber(in.box.f3, QStringLiteral("#0.0 Hz "))
                 + QStringLiteral("in a ") + volume;
    return lines;
}

std::array<LevelRow, 3> levelRows(double splMax, double powerWatts)
{
    // 0, -10 and -20 dB from the thermal limit: a tenth of the power per 10 dB.
    const QString far183(183, QLatin1Char(' '));
    const QString far185(185, QLatin1Char(' '));
    return {{
        {graphgeo::limitY(0), formatNumber(splMax, QStringLiteral("  #0.0 dB")),
         formatNumber(powerWatts, far183 + QStringLiteral("#0 Watts"))},
        {graphgeo::limitY(-10), formatNumber(splMax - 10, QStringLiteral("  #0.0 dB")),
         formatNumber(powerWatts / 10, far185 + QStringLiteral("#0.0 Watts"))},
        {graphgeo::limitY(-20), formatNumber(splMax - 20, QStringLiteral("  #0.0 dB")),
         formatNumber(powerWatts / 100, far185 + QStringLiteral("#0.00 Watts"))},
    }};
}

std::array<LevelRow, 3> halfwayRows(double splMax, double powerWatts)
{
    const double tenthOfPower = 1 / std::sqrt(10.0); // 5 dB
    return {{
        {graphgeo::limitY(-5), formatNumber(splMax - 5, QStringLiteral("#0.0 dB")),
         formatNumber(powerWatts * tenthOfPower, QStringLiteral("#0.0 Watts"))},
        {graphgeo::limitY(-15), formatNumber(splMax - 15, QStringLiteral("#0.0 dB")),
         formatNumber(powerWatts * tenthOfPower / 10, QStringLiteral("#0.00 Watts"))},
        {graphgeo::limitY(-25), formatNumber(splMax - 25, QStringLiteral("#0.0 dB")),
         formatNumber(powerWatts * tenthOfPower / 100, QStringLiteral("#0.000 Watts"))},
    }};
}

std::vector<CurveMark> curveMarks(Curve &levels, double splMax, int curveColour)
{
    constexpr int FrameColour = 4;
    std::vector<CurveMark> marks;
    marks.reserve(490);
    for (int f = 10; f <= 499; ++f) {
        double s = levels[f];
        if (s > splMax)
            s = splMax;
        s -= splMax;
        if (s < LevelFloor)
            s = LevelFloor;
        levels[f] = s;
        const double x = graphgeo::graphX(f);
        const double y = graphgeo::limitY(s);
        if (f == 10) {
            if (s != LevelFloor)
                marks.push_back({true, x, y, x, y, curveColour});
            continue;
        }
        marks.push_back({false, x, y, graphgeo::graphX(f - 1), graphgeo::limitY(levels[f - 1]),
                         s == LevelFloor ? FrameColour : curveColour});
    }
    return marks;
}

double readoutFrequency(double x)
{
    return checked(graphgeo::freqAtX(x), "readout");
}

double readoutLevel(double y, double splMax)
{
    // y = 64 reads splMax; 8 units a dB.
    return checked((splMax - (-8.0)) - y / 8.0, "readout");
}

double readoutWatts(double levelDb, double efficiency)
{
    return checked(std::pow(10.0, (levelDb - SplOfOneAcousticWatt) / 10.0) / efficiency, "readout");
}

} // namespace displacement
