// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphs/GraphDrawing.h"
#include "graphs/GraphCanvas.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QHash>
#include <QPen>
#include <QTextLayout>
#include <memory>
#include <algorithm>
#include <cmath>

namespace {

// Nearest whole logical unit; coordinates far outside the picture are held at a distance the
// rasteriser handles exactly.
double snap(double v)
{
    return std::floor(std::clamp(v, -1.0e5, 1.0e5) + 0.5);
}

// Text is laid out left-aligned in a row this wide: wider than any text, which is never clipped.
constexpr double TextBoxWidth = 4 * 640.0;

// First unit covered across a line of width w drawn at unit v (see GraphCanvas.h).
double firstUnit(double v, int width)
{
    return snap(v) - width / 2;
}

// A text laid out once in the graphs' face and kept: laying a text out (shaping it) took as long as
// drawing it, and a graph draws the same labels every time. The cache is emptied when it has grown
// large (texts typed into the driver's name change with every key).
QTextLine laidOut(const QString &text)
{
    static QHash<QString, std::shared_ptr<QTextLayout>> layouts;
    if (layouts.size() > 4096)
        layouts.clear();
    std::shared_ptr<QTextLayout> &layout = layouts[text];
    if (!layout) {
        layout = std::make_shared<QTextLayout>(text, GraphCanvas::textFont());
        layout->setCacheEnabled(true);
        layout->beginLayout();
        QTextLine line = layout->createLine();
        line.setLineWidth(TextBoxWidth);
        layout->endLayout();
    }
    return layout->lineAt(0);
}

// The square a point covers: the line width's units around it.
QRectF square(const GraphDrawing::Mark &mark)
{
    return {firstUnit(mark.x1, mark.width), firstUnit(mark.y1, mark.width), double(mark.width), double(mark.width)};
}

// The line a Line mark draws. The pen's centre runs through the middle of the covered units, so an
// axis-parallel line fills whole device pixels with nothing half-covered; no antialiasing blurs the
// edges.
QLineF pixelLine(const GraphDrawing::Mark &mark)
{
    const double offset = (mark.width % 2) ? 0.5 : 0.0;
    return {snap(mark.x1) + offset, snap(mark.y1) + offset, snap(mark.x2) + offset, snap(mark.y2) + offset};
}

} // namespace

void GraphDrawing::paint(QPainter &painter) const
{
    painter.setFont(GraphCanvas::textFont());
    // A document (PDF, SVG) gets every point and line as a path, which each format keeps as a vector
    // shape.
    if (painter.paintEngine() && painter.paintEngine()->type() != QPaintEngine::Raster) {
        for (const Mark &mark : marks_)
            paintMark(painter, mark, true);
        return;
    }
    // A bitmap is painted as the screen always was, mark by mark, but each run of lines of one colour
    // and width goes to the rasteriser in one call: setting up the pen for every line took a fifth
    // of a graph's painting. The lines are opaque and not antialiased, so the pixels are the same.
    std::vector<QLineF> run;
    std::vector<QRectF> squares;
    int runColour = -1, runWidth = 0;
    const auto flush = [&] {
        if (!squares.empty()) {
            // Points: whole-unit squares, filled as fillRect fills each of them.
            painter.setPen(Qt::NoPen);
            painter.setBrush(GraphCanvas::paletteColor(runColour));
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.drawRects(squares.data(), int(squares.size()));
            painter.setBrush(Qt::NoBrush);
            squares.clear();
        }
        if (run.empty())
            return;
        QPen pen(GraphCanvas::paletteColor(runColour));
        pen.setWidthF(runWidth);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(pen);
        painter.drawLines(run.data(), int(run.size()));
        run.clear();
    };
    for (const Mark &mark : marks_) {
        if (mark.kind == Mark::Text) {
            // Where QPainter::drawText puts a single line in the mark's row, left-aligned and
            // centred vertically.
            flush();
            const QTextLine line = laidOut(mark.text);
            painter.setRenderHint(QPainter::TextAntialiasing, true);
            painter.setPen(GraphCanvas::paletteColor(mark.colour));
            // (QTextLine::height() is rounded up to a whole unit; the text's own height is not.)
            const double height = line.ascent() + line.descent();
            line.draw(&painter, QPointF(mark.x1, mark.y1 + (GraphCanvas::RowHeight - height) / 2));
            continue;
        }
        if (mark.kind == Mark::Line) {
            const QLineF l = pixelLine(mark);
            if (l.p1() != l.p2()) {
                if (mark.colour != runColour || mark.width != runWidth || !squares.empty())
                    flush();
                runColour = mark.colour;
                runWidth = mark.width;
                run.push_back(l);
                continue;
            }
        }
        if (mark.kind == Mark::Point || mark.kind == Mark::Line) {
            if (mark.colour != runColour || mark.width != runWidth || !run.empty())
                flush();
            runColour = mark.colour;
            runWidth = mark.width;
            squares.push_back(square(mark));
            continue;
        }
        flush();
        paintMark(painter, mark, false);
    }
    flush();
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
    const QColor colour = GraphCanvas::paletteColor(mark.colour);
    // A point: the square of the line width's units around it.
    const auto square = [&] {
        const QRectF r = ::square(mark);
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
        const QLineF l = pixelLine(mark);
        const QPointF a = l.p1(), b = l.p2();
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
        p.setPen(colour);
        p.drawText(QRectF(mark.x1, mark.y1, TextBoxWidth, GraphCanvas::RowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip | Qt::TextSingleLine, mark.text);
        break;
    }
}
