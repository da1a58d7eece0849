// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphs/GraphCanvas.h"

#include <QFontMetricsF>
#include <QHash>
#include <cmath>

GraphCanvas::GraphCanvas(double width, double height)
{
    drawing_.width_ = width;
    drawing_.height_ = height;
    drawing_.marks_.reserve(2048);
}

QColor GraphCanvas::paletteColor(int index)
{
    static const QColor colours[16] = {
        {0, 0, 0},       {0, 0, 128},     {0, 128, 0},     {0, 128, 128},
        {128, 0, 0},     {128, 0, 128},   {128, 128, 0},   {192, 192, 192},
        {128, 128, 128}, {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
        {255, 0, 0},     {255, 0, 255},   {255, 255, 0},   {255, 255, 255}};
    return colours[index & 15];
}

const QFont &GraphCanvas::textFont()
{
    // Asked for by generic family, never by a product face name, so every system answers with
    // its own default sans-serif (DejaVu Sans on Debian). Hinting is vertical only: the stems
    // stay sharp while every text keeps the same width at every pixel scale. Made once and kept
    // for the whole run (a font and its metrics took a tenth of a graph's drawing when made per
    // text).
    static const QFont *const font = [] {
        auto *f = new QFont(QStringLiteral("sans-serif"));
        f->setStyleHint(QFont::SansSerif);
        f->setPixelSize(10);
        f->setHintingPreference(QFont::PreferVerticalHinting);
        return f;
    }();
    return *font;
}

double GraphCanvas::textWidth(const QString &text)
{
    // Measuring a text shapes it, as long as drawing it takes; a graph measures the same labels every
    // time it is drawn, so the widths are kept (and forgotten when many texts have come and gone).
    static const QFontMetricsF *const metrics = new QFontMetricsF(textFont());
    static QHash<QString, double> widths;
    if (const auto it = widths.constFind(text); it != widths.constEnd())
        return *it;
    if (widths.size() > 4096)
        widths.clear();
    return widths[text] = metrics->horizontalAdvance(text);
}

void GraphCanvas::add(GraphDrawing::Mark mark)
{
    for (double v : {mark.x1, mark.y1, mark.x2, mark.y2})
        if (!std::isfinite(v))
            return; // a point that is nowhere is not drawn
    drawing_.marks_.push_back(std::move(mark));
}

void GraphCanvas::pset(double x, double y, int paletteIndex)
{
    add({GraphDrawing::Mark::Point, x, y, x, y, lineWidth_, paletteIndex, {}});
    currentX_ = x;
    currentY_ = y;
}

void GraphCanvas::line(double x1, double y1, double x2, double y2, int paletteIndex)
{
    add({GraphDrawing::Mark::Line, x1, y1, x2, y2, lineWidth_, paletteIndex, {}});
    currentX_ = x2;
    currentY_ = y2;
}

void GraphCanvas::box(double x1, double y1, double x2, double y2, int paletteIndex)
{
    line(x1, y1, x2, y1, paletteIndex);
    line(x2, y1, x2, y2, paletteIndex);
    line(x2, y2, x1, y2, paletteIndex);
    line(x1, y2, x1, y1, paletteIndex);
}

void GraphCanvas::drawText(double x, double yTop, const QString &text, int paletteIndex)
{
    if (!text.isEmpty())
        add({GraphDrawing::Mark::Text, x, yTop, x, yTop, 1, paletteIndex, text});
}

void GraphCanvas::printPart(const QString &text)
{
    drawText(currentX_, currentY_, text, textColor_);
    currentX_ += textWidth(text);
}

void GraphCanvas::print(const QString &text)
{
    drawText(currentX_, currentY_, text, textColor_);
    currentX_ = 0;
    currentY_ += RowHeight;
}
