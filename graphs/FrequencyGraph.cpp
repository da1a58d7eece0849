// SPDX-License-Identifier: GPL-3.0-or-later
// The frequency-response picture drawn from plain data: its frame, the sealed and vented curves
// with the summary under them.

#include "graphs/FrequencyGraph.h"

#include "graphs/GraphAxes.h"
#include "graphs/GraphCanvas.h"
#include "graphs/GraphGeometry.h"

using graphgeo::PlotLayout;

namespace {

// The frame: driver name, legend, level and frequency labels, the red frame, the grey grid and the
// ticks. At 640 x 480 the labels stand on the text rows of an 8-point font; larger, each level
// label is centred on its grid line and the frequency labels under theirs.
void Graph(GraphCanvas &pic, const PlotLayout &l, const QString &DriverName)
{
    // Text rows from the top: driver, legend, dB labels beside their grid lines, frequency labels
    // just under the frame.
    pic.print(QStringLiteral("                  Driver:  ") + DriverName);
    for (int row = 2; row <= 4; ++row)
        pic.print(QString());
    pic.setTextColor(freqcore::SealedColour);
    pic.print(QStringLiteral("                  Magenta - Sealed Box Response"));
    pic.setTextColor(freqcore::VentedColour);
    pic.print(QStringLiteral("                         Blue - Vented Box Response"));
    pic.setTextColor(0);
    if (l.isBase()) {
        pic.print(QStringLiteral("    +3 dB"));
        pic.print(QString());
        pic.print(QStringLiteral("      0 dB"));
        pic.print(QString());
        pic.print(QStringLiteral("     -3 dB"));
        for (int row = 12; row <= 15; ++row)
            pic.print(QString());
        pic.print(QStringLiteral("   -10 dB"));
        for (int row = 17; row <= 21; ++row)
            pic.print(QString());
        pic.print(QStringLiteral("   -20 dB"));
        for (int row = 23; row <= 25; ++row)
            pic.print(QString());
        for (const graphgeo::FrequencyLabel &label : graphgeo::FrequencyLabels) {
            pic.tab(label.column);
            pic.printPart(QLatin1String(label.text));
        }
        pic.print(QString());
    } else {
        std::vector<graphaxes::ValueLabel> levels;
        for (const auto &[db, text] : {std::pair{3, "+3 dB"}, {0, "0 dB"}, {-3, "-3 dB"}, {-10, "-10 dB"},
                                       {-20, "-20 dB"}, {5, "+5 dB"}, {-5, "-5 dB"}, {-15, "-15 dB"}})
            levels.push_back({graphgeo::graphY(l, db), QLatin1String(text)});
        graphaxes::leftLabels(pic, l, levels);
        graphaxes::frequencyLabels(pic, l, 0);
    }

    // The frame.
    pic.setLineWidth(2);
    pic.box(l.left, l.top, l.right, l.bottom, 4);
    pic.setLineWidth(1);
    // 0 dB line, then dotted lines at +5, +3, -5, -3, -10, -15 and -20 dB.
    pic.line(l.left + 1, graphgeo::graphY(l, 0), l.right - 1, graphgeo::graphY(l, 0), 8);
    for (double x = l.left + 1; x <= l.right - 2; x += 3)
        for (int y : {64, 80, 144, 128, 184, 224, 264})
            pic.pset(x, l.y(y), 8);
    // Vertical grid lines (10 and 500 Hz lie on the frame).
    graphaxes::frequencyGrid(pic, l);
    // Ticks at +-3 dB outside the frame and every 5 dB from +10 to -20 dB inside it.
    pic.line(l.left, l.y(80), l.left - 4, l.y(80), 4);
    pic.line(l.left, l.y(128), l.left - 4, l.y(128), 4);
    for (int k = 3; k <= 33; k += 5)
        pic.line(l.left + 4, l.y(8 * k), l.left, l.y(8 * k), 4);
}

} // namespace

void freqcore::drawFrequencyResponse(GraphCanvas &pic, const FrequencyPicture &d)
{
    const PlotLayout l = graphgeo::responseLayout(pic.width(), pic.height());
    Graph(pic, l, d.driverName);
    pic.setLineWidth(2);
    for (const auto *marks : {&d.vented, &d.sealed})
        for (const freqcore::Mark &m : *marks) {
            if (m.point)
                pic.pset(l.x(m.x1), l.y(m.y1), m.colour);
            else
                pic.line(l.x(m.x1), l.y(m.y1), l.x(m.x2), l.y(m.y2), m.colour);
        }
    pic.setLineWidth(1);
    // The point at the frame's bottom-left corner starts the summary there.
    pic.pset(l.left, l.bottom, 4);
    for (const QString &row : d.summary)
        pic.print(row);
}
