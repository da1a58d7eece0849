// SPDX-License-Identifier: GPL-3.0-or-later
// The crossover's response plot on the "Crossover" tab: the frame with its grid and labels, the
// woofer's low-pass, the tweeter's high-pass and their sum, and the readout under the mouse.

#include "crossover/CrossoverPictures.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "crossover/CrossoverCore.h"
#include "graphs/GraphAxes.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QLineEdit>

namespace {

constexpr int Black = 0, Green = 2, DarkRed = 4, Grey = 8, Blue = 9, Magenta = 13;

// Grid levels (dB) below the top edge: solid at 0 dB, dotted at the others.
constexpr double GridLevels[] = {0, -3, -6, -12, -18, -24, -30};
// Labelled levels; a larger plot labels every 3 dB below 0 dB where the labels fit.
constexpr double LabelLevels[] = {6, 0, -3, -6, -12, -18, -24, -30, -36};
constexpr double FurtherLabelLevels[] = {-9, -15, -21, -27, -33};
struct FrequencyLabel {
    double hz;
    const char *text;
};
constexpr FrequencyLabel FrequencyLabels[] = {
    {20, "20"}, {50, "50"}, {100, "100"}, {200, "200"}, {500, "500"},
    {1000, "1k"}, {2000, "2k"}, {5000, "5k"}, {10000, "10k"}, {20000, "20k"}};
constexpr FrequencyLabel FurtherFrequencyLabels[] = {
    {30, "30"}, {300, "300"}, {3000, "3k"}, {40, "40"}, {400, "400"}, {4000, "4k"},
    {70, "70"}, {700, "700"}, {7000, "7k"}};

void drawCurve(GraphCanvas &pic, const graphgeo::PlotLayout &l, const std::vector<crossover::plot::Point> &points,
               int colour)
{
    using crossover::plot::Bottom;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const crossover::plot::Point &a = points[i - 1], &b = points[i];
        // Under the floor the curve runs along the frame's bottom edge, which stays in its colour.
        if (a.y == Bottom && b.y == Bottom)
            continue;
        pic.line(l.x(a.x), l.y(a.y), l.x(b.x), l.y(b.y), colour);
    }
}

void CrossoverGraph(GraphCanvas &pic, const graphgeo::PlotLayout &l)
{
    namespace plot = crossover::plot;
    std::vector<graphaxes::ValueLabel> levels;
    const auto levelLabel = [&](double level) {
        levels.push_back({l.y(plot::y(level)), (level > 0 ? QStringLiteral("+") : QString())
                                                   + kelvane::formatNumber(level, QStringLiteral("#0 dB"))});
    };
    for (double level : LabelLevels)
        levelLabel(level);
    if (!l.isBase())
        for (double level : FurtherLabelLevels)
            levelLabel(level);
    graphaxes::leftLabels(pic, l, levels);

    std::vector<std::pair<double, double>> spans;
    std::vector<QString> texts;
    const auto frequencyLabel = [&](const FrequencyLabel &label) {
        texts.push_back(QLatin1String(label.text));
        const double x = l.x(plot::x(label.hz)), half = GraphCanvas::textWidth(texts.back()) / 2;
        spans.push_back({x - half, x + half});
    };
    for (const FrequencyLabel &label : FrequencyLabels)
        frequencyLabel(label);
    if (!l.isBase())
        for (const FrequencyLabel &label : FurtherFrequencyLabels)
            frequencyLabel(label);
    const std::vector<bool> kept = graphgeo::labelsThatFit(spans, 6);
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (l.isBase() || kept[i])
            pic.drawText(spans[i].first, l.bottom + 6, texts[i], Black);

    pic.setLineWidth(2);
    pic.box(l.left, l.top, l.right, l.bottom, DarkRed);
    pic.setLineWidth(1);
    pic.line(l.left + 1, l.y(plot::y(0)), l.right - 1, l.y(plot::y(0)), Grey);
    for (double level : GridLevels)
        if (level != 0)
            for (double gx = l.left + 1; gx <= l.right - 2; gx += 3)
                pic.pset(gx, l.y(plot::y(level)), Grey);
    // Vertical lines at 30 ... 90 Hz, 100 ... 900 Hz, 1 ... 9 kHz and 10 kHz (20 Hz and 20 kHz lie
    // on the frame).
    for (double decade : {10.0, 100.0, 1000.0})
        for (int m = 1; m <= 9; ++m) {
            const double hz = m * decade;
            if (hz > plot::FirstHz && hz < plot::LastHz && (decade > 10 || m >= 3))
                pic.line(l.x(plot::x(hz)), l.top + 1, l.x(plot::x(hz)), l.bottom - 1, Grey);
        }
    pic.line(l.x(plot::x(10000)), l.top + 1, l.x(plot::x(10000)), l.bottom - 1, Grey);
    for (double level = plot::TopDb; level >= plot::FloorDb; level -= 6)
        pic.line(l.left + 4, l.y(plot::y(level)), l.left, l.y(plot::y(level)), DarkRed);
}

} // namespace

namespace crossover {

graphgeo::PlotLayout responsePlotLayout(double width, double height)
{
    return graphgeo::plotLayout(width, height, plot::Left, plot::Top, plot::Right, plot::Bottom);
}

void drawResponse(GraphCanvas &pic, const ResponsePicture &r)
{
    const graphgeo::PlotLayout l = crossover::responsePlotLayout(pic.width(), pic.height());
    CrossoverGraph(pic, l);
    if (!r.network)
        return;
    const crossover::Design &d = *r.network;
    const double row = GraphCanvas::RowHeight;

    pic.drawText(4, 2, QStringLiteral("Blue - Woofer Low-Pass"), Blue);
    pic.drawText(4, 2 + row, QStringLiteral("Magenta - Tweeter High-Pass"), Magenta);
    pic.drawText(4, 2 + 2 * row,
                 d.tweeterSign < 0 ? QStringLiteral("Green - Sum, tweeter in reversed polarity")
                                   : QStringLiteral("Green - Sum, tweeter in normal polarity"),
                 Green);
    pic.drawText(4, l.bottom + 8 + row,
                 QLatin1String(crossover::alignment(d.in.type).name) + QStringLiteral(":  woofer low-pass at ")
                     + kelvane::formatNumber(d.in.wooferHz, QStringLiteral("#,##0 Hz"))
                     + QStringLiteral(",  tweeter high-pass at ")
                     + kelvane::formatNumber(d.in.tweeterHz, QStringLiteral("#,##0 Hz")),
                 Black);

    // A wider plot takes a point every 2 of its own units; the points of the 640 x 480 plot, which
    // were checked when the network was calculated, serve should a finer one meet a fault.
    std::array<std::vector<crossover::plot::Point>, 3> finer;
    if (!l.isBase()) {
        try {
            finer = crossover::plot::allCurvePoints(d, 2 / l.xScale());
        } catch (const kelvane::CalcFault &) {
            finer = {};
        }
    }
    const auto &curves = finer[0].empty() ? r.curves : finer;
    const int colours[] = {Blue, Magenta, Green};
    pic.setLineWidth(2);
    for (std::size_t c = 0; c < 3; ++c)
        drawCurve(pic, l, curves[c], colours[c]);
    pic.setLineWidth(1);
}

} // namespace crossover
