// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Displacement Limits" picture drawn from plain data: the level at which each box reaches the
// driver's excursion limit, relative to the level at its thermal limit, with the power notes.

#include "graphs/DisplacementCore.h"

#include <QString>
#include <QStringList>
#include <vector>

class GraphCanvas;

namespace displacement {

// The picture's colours, as indexes of the 16-colour palette.
constexpr int Black = 0, DarkRed = 4, Grey = 8, Blue = 9, Magenta = 13;

// What the picture shows, kept with it so that it can be drawn again at any size.
struct LimitsPicture {
    QString driverName;
    int headingColour = Black;
    double splMax = 0, power = 0;
    QStringList notes;
    std::vector<displacement::CurveMark> vented, sealed; // in 640 x 480 units
};

// Draws the whole picture on pic at its size (640 x 480 the standard picture).
void drawLimits(GraphCanvas &pic, const LimitsPicture &d);

} // namespace displacement
