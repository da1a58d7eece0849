// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lines of the printed box-and-vent report, built from the tab's captions and the program's
// values. Two layouts: inches and cubic feet (the tab's own captions), or centimetres and litres
// (converted from the working values).

#include <QString>
#include <QStringList>
#include <array>

namespace kelvane::boxvent {

struct ReportInput {
    bool metric = false;              // any result unit other than cubic feet
    double addVolume = 0;             // cubic inches
    double percentOverVolume = 0;     // percent
    double ventDia6 = 0;              // the user's vent diameter, inches; <= 0 when none

    // Inch layout: captions as the tab shows them, and the text of the user's diameter field.
    QString originalCVol, originalVVol, originalFb;
    std::array<QString, 3> cVol, cHeight, cWidth, cDepth;
    std::array<QString, 3> vVol, vHeight, vWidth, vDepth;
    std::array<QString, 7> ventLengthCaption;
    QString ventDiaText;

    // Metric layout: working values (cubic feet, inches).
    double vbSealed = 0, vbVented = 0, vbSealedBuild = 0, vbVentedBuild = 0;
    std::array<double, 3> depthSealed{}, depthVented{}; // ratios A, B, C
    std::array<double, 7> ventLength{};
};

// The report, one string per printed line (an empty string is an empty line).
// In the metric layout a vent length that is zero or negative (a vent too wide for the box) is
// left out together with its " cm", as the tab leaves its caption empty.
QStringList reportLines(const ReportInput &in);

} // namespace kelvane::boxvent
