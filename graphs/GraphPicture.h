// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture on a tab: the widget that shows a graph (or a plan) drawn at the size it has on screen.
//
// How a picture is made (every picture of the program, and any new one, works this way):
//
//   1. Write a drawing routine: a function that draws the whole picture on a GraphCanvas of any
//      size, from plain values it holds (a copy of the curves, texts and numbers it shows), never
//      reading a window. Take the canvas's width() and height() and place everything from them;
//      at 640 x 480 the picture is the program's standard one. For a plot, graphgeo::plotLayout()
//      gives the plot rectangle of that size and maps positions of the 640 x 480 plot onto it, so
//      one set of mappings serves every size (see graphs/GraphGeometry.h).
//   2. Hand the routine to the picture: picture->setDrawing(routine). The picture runs it at its own
//      size when it is next shown (not before: a picture on a hidden tab costs nothing), and again
//      whenever it changes size or moves to a screen of another pixel density.
//   3. Put the picture on its tab inside a PictureHolder (new PictureHolder(picture)), which gives it
//      the room of its place in the tab's layout: the largest 4 : 3 rectangle that fits, centred,
//      never smaller than 640 x 480.
//   4. Mouse readouts: onMouseMove receives the pointer in the picture's units (its size now);
//      map them back with the same layout the routine drew with (plotLayout of size()).
//   5. Controls placed on the picture (readouts, buttons) are placed for 640 x 480; keepRight()
//      and keepBottomRight() move them with the picture's right edge (and bottom edge) as it grows.
//
// The 640 x 480 drawing and image (drawingAt(), imageAt()) serve the bitmap save, the build sheet
// and the command line, whatever the size on screen; drawing() and image() are the picture as shown.

#include "graphs/GraphCanvas.h"
#include "graphs/GraphDrawing.h"

#include <QImage>
#include <QPointer>
#include <QSize>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

class GraphPicture : public QWidget
{
public:
    // The standard size, at which the window opens; no picture is ever smaller.
    static constexpr int LogicalWidth = 640;
    static constexpr int LogicalHeight = 480;
    static QSize baseSize() { return {LogicalWidth, LogicalHeight}; }
    static constexpr double RowHeight = GraphCanvas::RowHeight;

    using Routine = std::function<void(GraphCanvas &canvas)>;

    explicit GraphPicture(QWidget *parent = nullptr);

    static QColor paletteColor(int index) { return GraphCanvas::paletteColor(index); }
    static const QFont &textFont() { return GraphCanvas::textFont(); }
    static double textWidth(const QString &text) { return GraphCanvas::textWidth(text); }

    // What the picture shows from now on: routine drawn at the picture's size. An empty routine
    // blanks it.
    void setDrawing(Routine routine);
    // Blanks the picture.
    void clear() { setDrawing({}); }

    // The drawing as shown (at size()), made when first asked for.
    const GraphDrawing &drawing() const;
    // The same picture drawn at another size (640 x 480 for a bitmap or a build sheet).
    GraphDrawing drawingAt(QSize size) const;
    // Every text on the picture as shown, in the order it was drawn.
    QStringList texts() const { return drawing().texts(); }

    // The image on screen: size() times the pixel scale (the screen's pixel ratio rounded up; 1 on
    // an ordinary screen).
    const QImage &image() const;
    int pixelScale() const;
    // The picture drawn at another size, at the pixel scale.
    QImage imageAt(QSize size) const;
    // The picture drawn at 640 * scale x 480 * scale pixels.
    QImage renderImage(int scale) const;

    // Keeps a control placed on the picture (for 640 x 480) at its distance from the right edge, or
    // from the right and bottom edges, as the picture grows.
    void keepRight(QWidget *child) { anchor(child, false); }
    void keepBottomRight(QWidget *child) { anchor(child, true); }

    // Called with the pointer position in the picture's units.
    std::function<void(double x, double y)> onMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Anchored {
        QPointer<QWidget> child;
        QPoint basePos;
        bool bottom;
    };
    void anchor(QWidget *child, bool bottom);
    static void render(const GraphDrawing &drawing, int scale, QImage &image);

    Routine routine_;
    std::vector<Anchored> anchored_;
    // What is shown, made on demand: the drawing at drawnSize_, its image at imageScale_.
    mutable GraphDrawing drawing_;
    mutable QSize drawnSize_;
    mutable QImage image_;
    mutable int imageScale_ = 0;
    mutable bool drawingCurrent_ = false;
    mutable bool imageCurrent_ = false;
};

// Gives a picture the room of its place in a layout: the picture stands centred in it at the largest
// 4 : 3 size that fits, never below 640 x 480. The room also grows by no more than twice what the
// window has gained over its smallest size (its minimum size hint): the window opens at that size,
// so there every picture is exactly 640 x 480 whatever room other tabs leave it to spare; a window
// grown by that spare room gives the picture all of its place.
class PictureHolder : public QWidget
{
public:
    explicit PictureHolder(GraphPicture *picture, QWidget *parent = nullptr);
    QSize sizeHint() const override { return GraphPicture::baseSize(); }
    QSize minimumSizeHint() const override { return GraphPicture::baseSize(); }
    GraphPicture *picture() const { return picture_; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void place();
    GraphPicture *picture_;
};
