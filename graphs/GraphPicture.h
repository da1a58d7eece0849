// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A drawing surface with a logical 640 x 480 scale (origin top-left, y down). It keeps one
// persistent image: the screen shows it, the bitmap save writes it and the window print grabs it.
//
// Every drawing call is also kept in a list, so the image can be painted again at another pixel
// density (the window moved to a high-density screen) without losing what was drawn, and rendered
// at any whole multiple of 640 x 480 for checks.
//
// Pixels: logical point (x, y) is snapped to the nearest whole unit and covers the block of
// device pixels (x*s .. x*s+s-1, y*s .. y*s+s-1) at pixel scale s, so 1-unit lines are crisp at
// every scale. A line of width w covers the units from x - w/2 (integer division) to
// x - w/2 + w - 1 across its direction (width 1: x; width 2: x-1 and x).
//
// Text is placed like an 8-point sans-serif font would place it: rows RowHeight units apart and
// text columns ColumnWidth units wide, drawn antialiased in a sans-serif face whose line fits a row.

#include "graphs/GraphDrawing.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <vector>

class QPainter;

class GraphPicture : public QWidget
{
public:
    static constexpr int LogicalWidth = 640;
    static constexpr int LogicalHeight = 480;
    // One text row. The dB labels print on rows 7, 9, 11, 16 and 22 beside the grid lines at
    // y = 80, 104, 128, 184 and 264; 12.1 units keeps every label centre within 4 units of its
    // line and the frequency row (row 26, from y = 302.5) clear of the frame's bottom edge.
    static constexpr double RowHeight = 12.1;
    static constexpr double ColumnWidth = 4.7;

    explicit GraphPicture(QWidget *parent = nullptr);

    // Colour n of the standard 16-colour palette.
    static QColor paletteColor(int index);
    // The face of all graph text: sans-serif, 10 units em, so one line is about 11.6 units.
    static QFont textFont();

    // The logical scale; Form_Load sets 640 x 480 (the only scale the graphs use).
    void setScale(int width, int height);
    int scaleWidth() const { return scaleWidth_; }
    int scaleHeight() const { return scaleHeight_; }

    // Blanks the picture and puts the text position at the top-left corner.
    void clear();
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
    // Text at an explicit logical position (top of the text row) in a palette colour.
    void drawText(double x, double yTop, const QString &text, int paletteIndex);
    // x of text column n (columns counted from 1 at the left edge).
    static double columnX(int column) { return (column - 1) * ColumnWidth; }
    // Width of a text in logical units.
    static double textWidth(const QString &text);

    double currentX() const { return currentX_; }
    double currentY() const { return currentY_; }
    void setCurrentPosition(double x, double y) { currentX_ = x; currentY_ = y; }

    // The persistent image, at a whole multiple of 640 x 480 pixels (the screen's pixel ratio
    // rounded up; 640 x 480 on an ordinary screen).
    const QImage &image() const { return image_; }
    int pixelScale() const { return pixelScale_; }
    // The same drawing rendered afresh at 640 * scale x 480 * scale pixels.
    QImage renderImage(int scale) const;

    // Every text on the picture, in the order it was drawn (for checks of what the picture shows).
    QStringList texts() const { return drawing_.texts(); }
    // What is drawn, as a value that can be painted again onto any painter (PDF, SVG, image).
    const GraphDrawing &drawing() const { return drawing_; }

    // Called with the pointer position in logical units.
    std::function<void(double x, double y)> onMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    using Mark = GraphDrawing::Mark;

    void ensureImage();
    void add(Mark mark);

    QImage image_;
    GraphDrawing drawing_;
    int pixelScale_ = 1;
    int scaleWidth_ = LogicalWidth;
    int scaleHeight_ = LogicalHeight;
    int lineWidth_ = 1;
    int textColor_ = 0;
    double currentX_ = 0;
    double currentY_ = 0;
};
