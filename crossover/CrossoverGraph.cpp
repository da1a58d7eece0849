// SPDX-License-Identifier: GPL-3.0-or-later
// The crossover's response plot on the "Crossover" tab: the frame with its grid and labels, the
// woofer's low-pass, the tweeter's high-pass and their sum, and the readout under the mouse.

#include "app/FrmKelvane.h"
#include "common/NumberText.h"
#include "crossover/CrossoverCore.h"
#include "graphs/GraphPicture.h"

#include <QLineEdit>

namespace {

constexpr int Black = 0, Green = 2, DarkRed = 4, Grey = 8, Blue = 9, Magenta = 13;

// Grid levels (dB) below the top edge: solid at 0 dB, dotted at the others.
constexpr double GridLevels[] = {0, -3, -6, -12, -18, -24, -30};
constexpr double LabelLevels[] = {6, 0, -3, -6, -12, -18, -24, -30, -36};
constexpr struct {
    double hz;
    const char *text;
} FrequencyLabels[] = {{20, "20"},    {50, "50"},  {100, "100"}, {200, "200"}, {500, "500"},
                       {1000, "1k"}, {2000, "2k"}, {5000, "5k"},  {10000, "10k"}, {20000, "20k"}};

void drawCurve(GraphPicture *pic, const std::vector<crossover::plot::Point> &points, int colour)
{
    using crossover::plot::Bottom;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const crossover::plot::Point &a = points[i - 1], &b = points[i];
        // Under the floor the curve runs along the frame's bottom edge, which stays in its colour.
        if (a.y == Bottom && b.y == Bottom)
            continue;
        pic->line(a.x, a.y, b.x, b.y, colour);
    }
}

} // namespace

void FrmKelvane::CrossoverGraph()
{
    // QWidget has x() and y() of its own: the plot mapping is named in full.
    namespace plot = crossover::plot;
    using plot::Left, plot::Top, plot::Right, plot::Bottom;
    GraphPicture *pic = Picture1;
    const double row = GraphPicture::RowHeight;

    for (double level : LabelLevels) {
        const QString text = (level > 0 ? QStringLiteral("+") : QString())
                             + kelvane::formatNumber(level, QStringLiteral("#0 dB"));
        pic->drawText(Left - 4 - GraphPicture::textWidth(text), plot::y(level) - row / 2, text, Black);
    }
    for (const auto &label : FrequencyLabels) {
        const QString text = QLatin1String(label.text);
        pic->drawText(plot::x(label.hz) - GraphPicture::textWidth(text) / 2, Bottom + 6, text, Black);
    }

    pic->setLineWidth(2);
    pic->box(Left, Top, Right, Bottom, DarkRed);
    pic->setLineWidth(1);
    pic->line(Left + 1, plot::y(0), Right - 1, plot::y(0), Grey);
    for (double level : GridLevels)
        if (level != 0)
            for (double gx = Left + 1; gx <= Right - 2; gx += 3)
                pic->pset(gx, plot::y(level), Grey);
    // Vertical lines at 30 ... 90 Hz, 100 ... 900 Hz, 1 ... 9 kHz and 10 kHz (20 Hz and 20 kHz lie
    // on the frame).
    for (double decade : {10.0, 100.0, 1000.0})
        for (int m = 1; m <= 9; ++m) {
            const double hz = m * decade;
            if (hz > plot::FirstHz && hz < plot::LastHz && (decade > 10 || m >= 3))
                pic->line(plot::x(hz), Top + 1, plot::x(hz), Bottom - 1, Grey);
        }
    pic->line(plot::x(10000), Top + 1, plot::x(10000), Bottom - 1, Grey);
    for (double level = plot::TopDb; level >= plot::FloorDb; level -= 6)
        pic->line(Left + 4, plot::y(level), Left, plot::y(level), DarkRed);
}

void FrmKelvane::CrossoverResponse()
{
    GraphPicture *pic = Picture1;
    pic->clear();
    pic->setScale(GraphPicture::LogicalWidth, GraphPicture::LogicalHeight);
    CrossoverGraph();
    if (!CrossoverNetwork)
        return;
    const crossover::Design &d = *CrossoverNetwork;
    const double row = GraphPicture::RowHeight;

    pic->drawText(4, 2, QStringLiteral("Blue - Woofer Low-Pass"), Blue);
    pic->drawText(4, 2 + row, QStringLiteral("Magenta - Tweeter High-Pass"), Magenta);
    pic->drawText(4, 2 + 2 * row,
                  d.tweeterSign < 0 ? QStringLiteral("Green - Sum, tweeter in reversed polarity")
                                    : QStringLiteral("Green - Sum, tweeter in normal polarity"),
                  Green);
    pic->drawText(4, crossover::plot::Bottom + 8 + row,
                  QLatin1String(crossover::alignment(d.in.type).name) + QStringLiteral(":  woofer low-pass at ")
                      + kelvane::formatNumber(d.in.wooferHz, QStringLiteral("#,##0 Hz"))
                      + QStringLiteral(",  tweeter high-pass at ")
                      + kelvane::formatNumber(d.in.tweeterHz, QStringLiteral("#,##0 Hz")),
                  Black);

    using crossover::plot::Curve;
    pic->setLineWidth(2);
    drawCurve(pic, crossover::plot::curvePoints(d, Curve::Woofer), Blue);
    drawCurve(pic, crossover::plot::curvePoints(d, Curve::Tweeter), Magenta);
    drawCurve(pic, crossover::plot::curvePoints(d, Curve::Sum), Green);
    pic->setLineWidth(1);
}

void FrmKelvane::Picture1_MouseMove(int /*Button*/, int /*Shift*/, double X, double Y)
{
    if (!crossover::plot::inside(X, Y))
        return;
    TxtCrossoverFreqXNum->setText(
        kelvane::formatNumber(crossover::plot::freqAtX(X), QStringLiteral("#,##0 Hz")));
    TxtCrossoverYNum->setText(
        kelvane::formatNumber(crossover::plot::levelAtY(Y), QStringLiteral("##,##0.0 dB")));
}
