// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphs/GraphPicture.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <cmath>


GraphPicture::GraphPicture(QWidget *parent) : QWidget(parent)
{
    setFixedSize(LogicalWidth, LogicalHeight);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    clear();
}

QColor GraphPicture::paletteColor(int index)
{
    static const QColor colours[16] = {
        {0, 0, 0},       {0, 0, 128},     {0, 128, 0},     {0, 128, 128},
        {128, 0, 0},     {128, 0, 128},   {128, 128, 0},   {192, 192, 192},
        {128, 128, 128}, {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
        {255, 0, 0},     {255, 0, 255},   {255, 255, 0},   {255, 255, 255}};
    return colours[index & 15];
}

QFont GraphPicture::textFont()
{
    // Asked for by generic family, never by a product face name, so every system answers with
    // its own default sans-serif (DejaVu Sans on Debian). Hinting is vertical only: the stems
    // stay sharp while every text keeps the same width at every pixel scale.
    QFont font(QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

double GraphPicture::textWidth(const QString &text)
{
    return QFontMetricsF(textFont()).horizontalAdvance(text);
}

void GraphPicture::setScale(int width, int height)
{
    scaleWidth_ = width;
    scaleHeight_ = height;
}

QImage GraphPicture::renderImage(int scale) const
{
    scale = std::max(1, scale);
    QImage image(LogicalWidth * scale, LogicalHeight * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    drawing_.paint(p);
    return image;
}

void GraphPicture::ensureImage()
{
    const int scale = std::max(1, int(std::ceil(devicePixelRatioF())));
    if (image_.isNull() || scale != pixelScale_) {
        pixelScale_ = scale;
        image_ = renderImage(scale);
    }
}

void GraphPicture::add(Mark mark)
{
    for (double v : {mark.x1, mark.y1, mark.x2, mark.y2})
        if (!std::isfinite(v))
            return; // a point that is nowhere is not drawn
    ensureImage();
    drawing_.marks_.push_back(std::move(mark));
    QPainter p(&image_);
    p.scale(pixelScale_, pixelScale_);
    GraphDrawing::paintMark(p, drawing_.marks_.back());
    update();
}

void GraphPicture::clear()
{
    drawing_.marks_.clear();
    image_ = QImage();
    ensureImage();
    currentX_ = 0;
    currentY_ = 0;
    update();
}

void GraphPicture::pset(double x, double y, int paletteIndex)
{
    add({Mark::Point, x, y, x, y, lineWidth_, paletteIndex, {}});
    currentX_ = x;
    currentY_ = y;
}

void GraphPicture::line(double x1, double y1, double x2, double y2, int paletteIndex)
{
    add({Mark::Line, x1, y1, x2, y2, lineWidth_, paletteIndex, {}});
    currentX_ = x2;
    currentY_ = y2;
}

void GraphPicture::box(double x1, double y1, double x2, double y2, int paletteIndex)
{
    line(x1, y1, x2, y1, paletteIndex);
    line(x2, y1, x2, y2, paletteIndex);
    line(x2, y2, x1, y2, paletteIndex);
    line(x1, y2, x1, y1, paletteIndex);
}

void GraphPicture::drawText(double x, double yTop, const QString &text, int paletteIndex)
{
    if (!text.isEmpty())
        add({Mark::Text, x, yTop, x, yTop, 1, paletteIndex, text});
}

void GraphPicture::printPart(const QString &text)
{
    drawText(currentX_, currentY_, text, textColor_);
    currentX_ += textWidth(text);
}

void GraphPicture::print(const QString &text)
{
    drawText(currentX_, currentY_, text, textColor_);
    currentX_ = 0;
    currentY_ += RowHeight;
}

void GraphPicture::paintEvent(QPaintEvent *)
{
    ensureImage();
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(rect()), image_);
}

void GraphPicture::mouseMoveEvent(QMouseEvent *event)
{
    if (onMouseMove) {
        const QPointF pos = event->position();
        onMouseMove(pos.x() * LogicalWidth / width(), pos.y() * LogicalHeight / height());
    }
    QWidget::mouseMoveEvent(event);
}
