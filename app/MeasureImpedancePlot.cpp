// SPDX-License-Identifier: GPL-3.0-or-later
// The "Measure Driver" window's impedance picture: the plot drawn from plain data (the measured
// curves, the fit, the resonance or tuning mark, the title and the note) and the window's side of it,
// which picks the curves of the page in front.

#include "app/DlgMeasureDriver.h"

#include "common/NumberText.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QComboBox>
#include <QTabWidget>

#include <algorithm>
#include <cmath>

using namespace kelvane;
using namespace kelvane::measure;

namespace {

constexpr int Black = 0, Green = 2, DarkRed = 4, Grey = 8, Blue = 9, Red = 12;

// "20", "500", "1k", "20k"
QString hertzLabel(double hz)
{
    return hz >= 1000 ? generalNumber(hz / 1000) + QLatin1Char('k') : generalNumber(hz);
}

} // namespace

void drawImpedancePlot(GraphCanvas &canvas, const ImpedancePlot &plot)
{
    using namespace graphgeo;
    GraphCanvas *const pic = &canvas;
    // The plot keeps its 640 x 480 margins and takes the rest of a larger picture; the axes place
    // their positions on the 640 x 480 plot, which l maps onto this one.
    const PlotLayout l = responseLayout(canvas.width(), canvas.height());
    const auto x = [&](double hz, const PlotAxes &axes) { return l.x(plotX(axes, hz)); };
    const auto y = [&](double ohms, const PlotAxes &axes) { return l.y(plotY(axes, ohms)); };
    if (plot.lines.empty()) {
        pic->drawText(l.left, l.y(200), plot.note, Black);
        return;
    }
    double lowHz = HUGE_VAL, highHz = 0, highOhms = 0;
    for (const ImpedancePlot::Line &l : plot.lines)
        for (std::size_t i = 0; i < l.hz.size(); ++i) {
            lowHz = std::min(lowHz, l.hz[i]);
            highHz = std::max(highHz, l.hz[i]);
            highOhms = std::max(highOhms, l.ohms[i]);
        }
    const PlotAxes axes = plotAxes(lowHz, highHz, highOhms);
    pic->drawText(4, 0, QStringLiteral("ohms"), Black);
    pic->drawText(l.left, GraphCanvas::RowHeight, plot.title, Black);
    pic->setLineWidth(2);
    pic->box(l.left, l.top, l.right, l.bottom, DarkRed);
    pic->setLineWidth(1);
    // Grid lines at every whole multiple of a decade, labels at 1, 2 and 5 of each.
    for (double decade = std::pow(10.0, std::floor(std::log10(axes.lowHz))); decade < axes.highHz; decade *= 10)
        for (int m = 1; m <= 9; ++m) {
            const double hz = m * decade;
            if (hz < axes.lowHz * 0.999 || hz > axes.highHz * 1.001)
                continue;
            const double gx = x(hz, axes);
            if (gx > l.left + 1 && gx < l.right - 1)
                pic->line(gx, l.top + 1, gx, l.bottom - 1, Grey);
            if (m == 1 || m == 2 || m == 5) {
                const QString label = hertzLabel(hz);
                pic->drawText(gx - GraphCanvas::textWidth(label) / 2, l.bottom + 2, label, Black);
            }
        }
    pic->drawText(l.right + 18, l.bottom + 2, QStringLiteral("Hz"), Black);
    const int steps = int(std::lround((axes.ohms.high - axes.ohms.low) / axes.ohms.step));
    for (int k = 0; k <= steps; ++k) {
        const double ohms = axes.ohms.low + k * axes.ohms.step, gy = y(ohms, axes);
        const QString label = generalNumber(ohms);
        pic->drawText(l.left - 4 - GraphCanvas::textWidth(label), gy - GraphCanvas::RowHeight / 2, label, Black);
        if (k > 0 && k < steps)
            for (double gx = l.left + 1; gx < l.right; gx += 3)
                pic->pset(gx, gy, Grey);
    }
    double legendTop = l.top + 4;
    for (const ImpedancePlot::Line &line : plot.lines) {
        pic->setLineWidth(line.width);
        for (std::size_t i = 1; i < line.hz.size(); ++i)
            pic->line(x(line.hz[i - 1], axes), y(line.ohms[i - 1], axes), x(line.hz[i], axes), y(line.ohms[i], axes),
                      line.colour);
        pic->setLineWidth(1);
        pic->drawText(l.right + 6, legendTop, line.label, line.colour);
        legendTop += GraphCanvas::RowHeight;
    }
    if (plot.markHz > axes.lowHz && plot.markHz < axes.highHz) {
        const double gx = x(plot.markHz, axes);
        pic->line(gx, l.top + 1, gx, l.bottom - 1, DarkRed);
        pic->drawText(gx + 3, l.top + 2, plot.markLabel, DarkRed);
    }
}

void DlgMeasureDriver::redraw()
{
    ImpedancePlot plot;
    // At most 2,000 points of a long file are drawn (every n-th row): the picture keeps every line.
    const auto line = [](const Curve &c, const std::vector<double> &ohms, int colour, const QString &label) {
        ImpedancePlot::Line l{{}, {}, colour, label};
        const std::size_t n = std::min(c.hz.size(), ohms.size()), step = std::max<std::size_t>(1, n / 2000);
        for (std::size_t i = 0; i < n; i += step) {
            l.hz.push_back(c.hz[i]);
            l.ohms.push_back(ohms[i]);
        }
        return l;
    };
    if (TabMeasure->currentIndex() == 1) {
        plot.note = QStringLiteral("Load the impedance curve of the built vented box.");
        if (boxCurve_) {
            plot.title = QStringLiteral("Impedance of the box: ") + boxCurve_->fileName;
            plot.lines.push_back(line(*boxCurve_, boxCurve_->magnitude, Blue, QStringLiteral("Measured")));
        }
        if (boxCheck_) {
            plot.markHz = boxCheck_->fb;
            plot.markLabel = QStringLiteral("Fb");
        }
    } else {
        plot.note = QStringLiteral("Load the driver's impedance curve measured in free air.");
        if (freeCurve_) {
            plot.title = QStringLiteral("Impedance: ") + freeCurve_->fileName;
            plot.lines.push_back(line(*freeCurve_, freeCurve_->magnitude, Blue, QStringLiteral("Measured")));
        }
        if (secondCurve_)
            plot.lines.push_back(line(*secondCurve_, secondCurve_->magnitude, Green,
                                      CboVasMethod->currentIndex() == 1 ? QStringLiteral("Test box") : QStringLiteral("Added mass")));
        if (freeAir_) {
            plot.lines.push_back(line(*freeCurve_, freeAir_->fitOhms, Red, QStringLiteral("Fit")));
            plot.lines.back().width = 1;
        }
    }
    PicMeasuredImpedance->setDrawing([plot](GraphCanvas &canvas) { drawImpedancePlot(canvas, plot); });
}
