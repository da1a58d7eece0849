// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What was drawn on a picture, mark by mark in the picture's units (its pixels on an ordinary
// screen): a value that can be kept, copied and painted again onto any painter whose coordinates are
// those units, so the screen image, a PDF page and an SVG file all come from the one drawing.

#include <QString>
#include <QStringList>
#include <vector>

class QPainter;

class GraphDrawing
{
public:
    struct Mark {
        enum Kind { Point, Line, Text } kind;
        double x1, y1, x2, y2;
        int width;
        int colour;
        QString text;
    };

    // Paints every mark in the order drawn; the painter maps the drawing's units to its device
    // (scale it first for another size).
    void paint(QPainter &painter) const;
    QStringList texts() const;
    bool isEmpty() const { return marks_.empty(); }
    // The size of the picture the drawing was made for (640 x 480 unless drawn larger).
    double width() const { return width_; }
    double height() const { return height_; }

private:
    friend class GraphCanvas;
    static void paintMark(QPainter &painter, const Mark &mark, bool paths);
    std::vector<Mark> marks_;
    double width_ = 640, height_ = 480;
};
