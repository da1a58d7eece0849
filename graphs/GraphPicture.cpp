#include "graphs/GraphPicture.h"

#include <QFont>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <cmath>

namespace {

// Font for graph text: a sans-serif face sized so that one row is about 12 logical units.
QFont graphFont()
{
    QFont font(QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    return font;
}

} // namespace

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

void GraphPicture::setScale(int width, int height)
{
    scaleWidth_ = width;
    scaleHeight_ = height;
}

void GraphPicture::ensureImage()
{
    const int scale = std::max(1, int(std::ceil(devicePixelRatioF())));
    if (image_.isNull() || scale != pixelScale_) {
        pixelScale_ = scale;
        image_ = QImage(LogicalWidth * scale, LogicalHeight * scale, QImage::Format_RGB32);
        image_.fill(Qt::white);
    }
}

void GraphPicture::clear()
{
    ensureImage();
    image_.fill(Qt::white);
    currentX_ = 0;
    currentY_ = 0;
    update();
}

void GraphPicture::pset(double x, double y, int paletteIndex)
{
    ensureImage();
    QPainter p(&image_);
    p.scale(pixelScale_, pixelScale_);
    p.fillRect(QRectF(std::floor(x), std::floor(y), 1, 1), paletteColor(paletteIndex));
    currentX_ = x;
    currentY_ = y;
    update();
}

void GraphPicture::line(double x1, double y1, double x2, double y2, int paletteIndex)
{
    ensureImage();
    QPainter p(&image_);
    p.scale(pixelScale_, pixelScale_);
    QPen pen(paletteColor(paletteIndex));
    pen.setWidthF(lineWidth_);
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    p.drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
    currentX_ = x2;
    currentY_ = y2;
    update();
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
    ensureImage();
    QPainter p(&image_);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(pixelScale_, pixelScale_);
    p.setFont(graphFont());
    p.setPen(paletteColor(paletteIndex));
    p.drawText(QRectF(x, yTop, LogicalWidth * 4, RowHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
               text);
    update();
}

void GraphPicture::print(const QString &text)
{
    if (!text.isEmpty())
        drawText(currentX_, currentY_, text, textColor_);
    currentX_ = 0;
    currentY_ += RowHeight;
}

void GraphPicture::paintEvent(QPaintEvent *)
{
    ensureImage();
    QPainter p(this);
    p.drawImage(rect(), image_);
}

void GraphPicture::mouseMoveEvent(QMouseEvent *event)
{
    if (onMouseMove) {
        const QPointF pos = event->position();
        onMouseMove(pos.x() * LogicalWidth / width(), pos.y() * LogicalHeight / height());
    }
    QWidget::mouseMoveEvent(event);
}
