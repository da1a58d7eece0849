// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphs/GraphPicture.h"

#include "graphs/GraphGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

GraphPicture::GraphPicture(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(baseSize());
    resize(baseSize());
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphPicture::setDrawing(Routine routine)
{
    routine_ = std::move(routine);
    drawingCurrent_ = imageCurrent_ = false;
    update();
}

GraphDrawing GraphPicture::drawingAt(QSize size) const
{
    GraphCanvas canvas(size.width(), size.height());
    if (routine_)
        routine_(canvas);
    return canvas.takeDrawing();
}

const GraphDrawing &GraphPicture::drawing() const
{
    if (!drawingCurrent_ || drawnSize_ != size()) {
        drawnSize_ = size();
        drawing_ = drawingAt(drawnSize_);
        drawingCurrent_ = true;
        imageCurrent_ = false;
    }
    return drawing_;
}

int GraphPicture::pixelScale() const
{
    return std::max(1, int(std::ceil(devicePixelRatioF())));
}

void GraphPicture::render(const GraphDrawing &drawing, int scale, QImage &image)
{
    // The image of the last drawing is painted over when it has the size: a fresh one of a megabyte
    // or more costs the system's page faults every time.
    const QSize size(int(drawing.width()) * scale, int(drawing.height()) * scale);
    if (image.size() != size || image.format() != QImage::Format_RGB32)
        image = QImage(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    drawing.paint(p);
}

const QImage &GraphPicture::image() const
{
    const GraphDrawing &shown = drawing();
    if (!imageCurrent_ || imageScale_ != pixelScale()) {
        imageScale_ = pixelScale();
        render(shown, imageScale_, image_);
        imageCurrent_ = true;
    }
    return image_;
}

QImage GraphPicture::imageAt(QSize size) const
{
    if (size == this->size())
        return image();
    QImage image;
    render(drawingAt(size), pixelScale(), image);
    return image;
}

QImage GraphPicture::renderImage(int scale) const
{
    QImage image;
    render(drawingAt(baseSize()), std::max(1, scale), image);
    return image;
}

void GraphPicture::anchor(QWidget *child, bool bottom)
{
    anchored_.push_back({child, child->pos(), bottom});
    resizeEvent(nullptr);
}

void GraphPicture::resizeEvent(QResizeEvent *)
{
    const QPoint growth(width() - LogicalWidth, height() - LogicalHeight);
    for (const Anchored &a : anchored_)
        if (a.child)
            a.child->move(a.basePos + QPoint(growth.x(), a.bottom ? growth.y() : 0));
}

void GraphPicture::paintEvent(QPaintEvent *)
{
    const QImage &shown = image();
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(rect()), shown);
}

void GraphPicture::mouseMoveEvent(QMouseEvent *event)
{
    if (onMouseMove)
        onMouseMove(event->position().x(), event->position().y());
    QWidget::mouseMoveEvent(event);
}

PictureHolder::PictureHolder(GraphPicture *picture, QWidget *parent) : QWidget(parent), picture_(picture)
{
    picture->setParent(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(GraphPicture::baseSize());
}

void PictureHolder::place()
{
    QSize room = size();
    // At its smallest size the window leaves the picture 640 x 480; as the window grows, the picture
    // may grow by twice what the window gained, so it comes to fill its place once the window has
    // grown by the room its tab had to spare.
    if (const QWidget *top = window(); top != this) {
        const QSize smallest = top->minimumSizeHint().expandedTo(top->minimumSize());
        const QSize gained = (top->size() - smallest).expandedTo(QSize(0, 0));
        room = room.boundedTo(GraphPicture::baseSize() + 2 * gained);
    }
    const auto [w, h] = graphgeo::fittedSize(room.width(), room.height());
    picture_->setGeometry((width() - w) / 2, (height() - h) / 2, w, h);
}

void PictureHolder::resizeEvent(QResizeEvent *)
{
    place();
}

void PictureHolder::showEvent(QShowEvent *)
{
    place();
}
