#include "graphs/GraphDrawing.h"
#include "graphs/GraphPicture.h"

#include <QPainter>
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
    for (const Mark &mark : marks_)
        paintMark(painter, mark);
}

QStringList GraphDrawing::texts() const
{
    QStringList out;
    for (const Mark &m : marks_)
        if (m.kind == Mark::Text)
            out << m.text;
    return out;
}

void GraphDrawing::paintMark(QPainter &p, const Mark &mark)
{
    const QColor colour = GraphPicture::paletteColor(mark.colour);
    switch (mark.kind) {
    case Mark::Point:
        p.fillRect(QRectF(firstUnit(mark.x1, mark.width), firstUnit(mark.y1, mark.width), mark.width,
                          mark.width),
                   colour);
        break;
    case Mark::Line: {
        // The pen's centre runs through the middle of the covered units, so an axis-parallel line
        // fills whole device pixels with nothing half-covered; no antialiasing blurs the edges.
        const double offset = (mark.width % 2) ? 0.5 : 0.0;
        const QPointF a(snap(mark.x1) + offset, snap(mark.y1) + offset);
        const QPointF b(snap(mark.x2) + offset, snap(mark.y2) + offset);
        if (a == b) {
            p.fillRect(QRectF(firstUnit(mark.x1, mark.width), firstUnit(mark.y1, mark.width), mark.width,
                              mark.width),
                       colour);
            break;
        }
        QPen pen(colour);
        pen.setWidthF(mark.width);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(pen);
        p.drawLine(a, b);
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
