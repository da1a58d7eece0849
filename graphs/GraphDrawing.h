// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What was drawn on a 640 x 480 picture, mark by mark in logical units: a value that can be kept,
// copied and painted again onto any painter whose coordinates are the logical scale, so the screen
// image, a PDF page and an SVG file all come from the one drawing.

#include <QString>
#include <QStringList>
#include <vector>

class QPainter;
class GraphPicture;

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

    // Paints every mark in the order drawn; the painter maps the logical 640 x 480 scale to its
    // device (scale it first for another size).
    void paint(QPainter &painter) const;
    QStringList texts() const;
    bool isEmpty() const { return marks_.empty(); }

private:
    friend class GraphPicture;
    static void paintMark(QPainter &painter, const Mark &mark, bool paths = false);
    std::vector<Mark> marks_;
};
