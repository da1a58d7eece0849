// SPDX-License-Identifier: GPL-3.0-or-later
// The "Displacement Limits" picture drawn from plain data: the level at which each box reaches the
// driver's excursion limit, relative to the level at its thermal limit, with the power notes.

#include "graphs/DisplacementGraph.h"

#include "graphs/GraphAxes.h"
#include "graphs/GraphCanvas.h"
#include "graphs/GraphGeometry.h"

#include <algorithm>

using graphgeo::PlotLayout;

using displacement::Black;
using displacement::Blue;
using displacement::DarkRed;
using displacement::Grey;
using displacement::LimitsPicture;
using displacement::Magenta;

namespace {

// Text rows are placed at explicit positions, as an 8-point sans-serif font would stack them. The
// heading rows and the frequency-label row stand where the frequency-response graph prints the
// same rows (one row height apart from the top, the labels on row 26), the level rows are centred
// on their grid lines. Row 26 is kept clear of the frame's bottom edge whatever the row height.
double headingRowTop(int row)
{
    return (row - 1) * GraphCanvas::RowHeight;
}
double levelRowTop(double gridY)
{
    return gridY - GraphCanvas::RowHeight / 2;
}
const double FrequencyLabelTop = std::max(headingRowTop(26), graphgeo::PlotBottom - 1.5);

// The level row's dB label left of the frame, its watt label in the margin right of it.
void levelRow(GraphCanvas &pic, const PlotLayout &l, const displacement::LevelRow &row)
{
    const double top = levelRowTop(l.y(row.gridY));
    // A three-digit level ("  109.1 dB") is wider than the margin in this font: let the leading
    // blanks go off the left edge so the text always ends clear of the frame.
    const double dbX = std::min(0.0, l.left - 4 - GraphCanvas::textWidth(row.dbText));
    pic.drawText(dbX, top, row.dbText, Black);
    // The long run of spaces in the watt pattern only pushes the value to the right margin,
    // which here is placed directly.
    pic.drawText(l.right + 4, top, row.wattText.trimmed(), Black);
}

void GraphDisplacement(GraphCanvas &pic, const PlotLayout &l, const LimitsPicture &d)
{
    pic.drawText(0, headingRowTop(1), QStringLiteral("                  Driver:  ") + d.driverName, d.headingColour);
    pic.drawText(0, headingRowTop(4), QStringLiteral("                  Magenta - Sealed Box Response"), Magenta);
    pic.drawText(0, headingRowTop(5), QStringLiteral("                         Blue - Vented Box Response"), Blue);
    pic.setTextColor(Black);
    for (const displacement::LevelRow &row : displacement::levelRows(d.splMax, d.power))
        levelRow(pic, l, row);
    // A larger picture has the room to label the dotted lines between them too.
    if (!l.isBase())
        for (const displacement::LevelRow &row : displacement::halfwayRows(d.splMax, d.power))
            levelRow(pic, l, row);
    graphaxes::frequencyLabels(pic, l, FrequencyLabelTop);

    using graphgeo::limitY;
    pic.setLineWidth(2);
    pic.box(l.left, l.top, l.right, l.bottom, DarkRed);
    pic.setLineWidth(1);
    // The thermal-limit level, solid; then dotted lines every 5 dB below it.
    pic.line(l.left + 1, limitY(l, 0), l.right - 1, limitY(l, 0), Grey);
    for (double x = l.left + 1; x <= l.right - 2; x += 3)
        for (double level : {-5.0, -10.0, -15.0, -20.0, -25.0})
            pic.pset(x, limitY(l, level), Grey);
    graphaxes::frequencyGrid(pic, l);
    for (int k = 3; k <= 33; k += 5)
        pic.line(l.left + 4, l.y(8 * k), l.left, l.y(8 * k), DarkRed);
}

} // namespace

void displacement::drawLimits(GraphCanvas &pic, const LimitsPicture &d)
{
    const PlotLayout l = graphgeo::responseLayout(pic.width(), pic.height());
    GraphDisplacement(pic, l, d);
    // The notes start under the plot's lower-left corner.
    pic.pset(l.left, l.bottom, DarkRed);
    for (const QString &line : d.notes)
        pic.print(line);
    pic.setLineWidth(2);
    for (const auto *marks : {&d.vented, &d.sealed})
        for (const displacement::CurveMark &m : *marks) {
            if (m.point)
                pic.pset(l.x(m.x1), l.y(m.y1), m.colour);
            else
                pic.line(l.x(m.x1), l.y(m.y1), l.x(m.x2), l.y(m.y2), m.colour);
        }
    pic.setLineWidth(1);
}
