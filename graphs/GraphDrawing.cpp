// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphs/GraphDrawing.h"
#include "graphs/GraphPicture.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace {

// Nearest whole logical unit; coordinates far outside the picture are held at a distance the
// rasteriser handles exactly.
double snap(double v)
{
    return std::floor(std::clamp(v, -1.0e5, 1.0e5) + 0.5);
}

// First unit covered across a line of width w drawn at unit v (see GraphPicture.h).
double firstUnit(double v, int width)
{
    return snap(v) - width / 2;
}

} // namespace

void GraphDrawing::paint(QPainter &painter) const
{
    // A bitmap is painted as the screen always was; a document (PDF, SVG) gets every point and line
    // as a path, which each format keeps as a vector shape.
    const bool paths = painter.paintEngine() && painter.paintEngine()->type() != QPaintEngine::Raster;
    for (const Mark &mark : marks_)
        paintMark(painter, mark, paths);
}

QStringList GraphDrawing::texts() const
{
    QStringList out;
    for (const Mark &m : marks_)
        if (m.kind == Mark::Text)
            out << m.text;
    return out;
}

void GraphDrawing::paintMark(QPainter &p, const Mark &mark, bool paths)
{
    const QColor colour = GraphPicture::paletteColor(mark.colour);
    // A point: the square of the line width's units around it.
    const auto square = [&] {
        const QRectF r(firstUnit(mark.x1, mark.width), firstUnit(mark.y1, mark.width), mark.width, mark.width);
        if (paths) {
            QPainterPath path;
            path.addRect(r);
            p.fillPath(path, colour);
        } else {
            p.fillRect(r, colour);
        }
    };
    switch (mark.kind) {
    case Mark::Point:
        square();
        break;
    case Mark::Line: {
        // The pen's centre runs through the middle of the covered units, so an axis-parallel line
        // fills whole device pixels with nothing half-covered; no antialiasing blurs the edges.
        const double offset = (mark.width % 2) ? 0.5 : 0.0;
        const QPointF a(snap(mark.x1) + offset, snap(mark.y1) + offset);
        const QPointF b(snap(mark.x2) + offset, snap(mark.y2) + offset);
        if (a == b) {
            square();
            break;
        }
        QPen pen(colour);
        pen.setWidthF(mark.width);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(pen);
        if (paths) {
            QPainterPath path(a);
            path.lineTo(b);
            p.strokePath(path, pen);
        } else {
            p.drawLine(a, b);
        }
        break;
    }
    case Mark::Text:
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setFont(GraphPicture::textFont());
        p.setPen(colour);
        p.drawText(QRectF(mark.x1, mark.y1, GraphPicture::LogicalWidth * 4.0, GraphPicture::RowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip | Qt::TextSingleLine, mark.text);
        break;
    }
}
