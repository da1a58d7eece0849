// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a picture's drawing routine draws on: a canvas of the picture's size in units (pixels on an
// ordinary screen; 640 x 480 for bitmaps, the build sheet and the command line), origin top-left,
// y down. It records every point, line and text as a GraphDrawing, which a picture renders on screen
// and any painter (PDF, SVG, image) paints again.
//
// Pixels: point (x, y) is snapped to the nearest whole unit and covers the block of device pixels
// (x*s .. x*s+s-1, y*s .. y*s+s-1) at pixel scale s, so 1-unit lines are crisp at every scale. A line
// of width w covers the units from x - w/2 (integer division) to x - w/2 + w - 1 across its
// direction (width 1: x; width 2: x-1 and x).
//
// Text is placed like an 8-point sans-serif font would place it: rows RowHeight units apart and
// text columns ColumnWidth units wide, drawn antialiased in a sans-serif face whose line fits a row.
// Text keeps that size on a canvas of any size.

#include "graphs/GraphDrawing.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <algorithm>

class GraphCanvas
{
public:
    // One text row. On the 640 x 480 frequency-response picture the dB labels print on rows 7, 9,
    // 11, 16 and 22 beside the grid lines at y = 80, 104, 128, 184 and 264; 12.1 units keeps every
    // label centre within 4 units of its line and the frequency row (row 26, from y = 302.5) clear of
    // the frame's bottom edge.
    static constexpr double RowHeight = 12.1;
    static constexpr double ColumnWidth = 4.7;

    explicit GraphCanvas(double width = 640, double height = 480);
    double width() const { return drawing_.width_; }
    double height() const { return drawing_.height_; }

    // Colour n of the standard 16-colour palette.
    static QColor paletteColor(int index);
    // The face of all graph text: sans-serif, 10 units em, so one line is about 11.6 units.
    static const QFont &textFont();
    // Width of a text in units.
    static double textWidth(const QString &text);
    // x of text column n (columns counted from 1 at the left edge).
    static double columnX(int column) { return (column - 1) * ColumnWidth; }

    void setLineWidth(int width) { lineWidth_ = std::max(1, width); }
    int lineWidth() const { return lineWidth_; }
    void setTextColor(int paletteIndex) { textColor_ = paletteIndex; }
    int textColor() const { return textColor_; }

    // A single point, a square of the current line width; also moves the text position there.
    void pset(double x, double y, int paletteIndex);
    // A line in the current line width; both end points are drawn.
    void line(double x1, double y1, double x2, double y2, int paletteIndex);
    // Rectangle outline in the current line width.
    void box(double x1, double y1, double x2, double y2, int paletteIndex);

    // Prints one text row at the current position in the text colour and moves the position to
    // the left edge of the next row.
    void print(const QString &text);
    // Prints text at the current position without ending the row; the position moves right by the
    // width of the text.
    void printPart(const QString &text);
    // Moves the text position to text column n of the current row.
    void tab(int column) { currentX_ = columnX(column); }
    // Text at an explicit position (top of the text row) in a palette colour.
    void drawText(double x, double yTop, const QString &text, int paletteIndex);

    double currentX() const { return currentX_; }
    double currentY() const { return currentY_; }
    void setCurrentPosition(double x, double y) { currentX_ = x; currentY_ = y; }

    const GraphDrawing &drawing() const { return drawing_; }
    // The drawing, moved out of the canvas.
    GraphDrawing takeDrawing() { return std::move(drawing_); }

private:
    void add(GraphDrawing::Mark mark);

    GraphDrawing drawing_;
    int lineWidth_ = 1;
    int textColor_ = 0;
    double currentX_ = 0;
    double currentY_ = 0;
};
