#pragma once
// A drawing surface with a logical 640 x 480 scale (origin top-left, y down). It keeps one
// persistent image: the screen shows it, the bitmap save writes it and the window print grabs it.
// Text is placed like an 8-point sans-serif font would place it: about 12 units a row and 4.7 units
// a text column.

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

class GraphPicture : public QWidget
{
public:
    static constexpr int LogicalWidth = 640;
    static constexpr int LogicalHeight = 480;
    static constexpr double RowHeight = 12.0;
    static constexpr double ColumnWidth = 4.7;

    explicit GraphPicture(QWidget *parent = nullptr);

    // Colour n of the standard 16-colour palette.
    static QColor paletteColor(int index);

    // The logical scale; Form_Load sets 640 x 480 (the only scale the graphs use).
    void setScale(int width, int height);
    int scaleWidth() const { return scaleWidth_; }
    int scaleHeight() const { return scaleHeight_; }

    // Blanks the picture and puts the text position at the top-left corner.
    void clear();
    void setLineWidth(int width) { lineWidth_ = width; }
    int lineWidth() const { return lineWidth_; }
    void setTextColor(int paletteIndex) { textColor_ = paletteIndex; }
    int textColor() const { return textColor_; }

    // A single point; also moves the text position there.
    void pset(double x, double y, int paletteIndex);
    void line(double x1, double y1, double x2, double y2, int paletteIndex);
    void box(double x1, double y1, double x2, double y2, int paletteIndex);

    // Prints one text row at the current position in the text colour and moves the position to
    // the left edge of the next row.
    void print(const QString &text);
    // Text at an explicit logical position (top of the text row) in a palette colour.
    void drawText(double x, double yTop, const QString &text, int paletteIndex);
    // x of text column n (columns counted from 1 at the left edge).
    static double columnX(int column) { return (column - 1) * ColumnWidth; }

    double currentX() const { return currentX_; }
    double currentY() const { return currentY_; }
    void setCurrentPosition(double x, double y) { currentX_ = x; currentY_ = y; }

    // The persistent image, at a whole multiple of 640 x 480 pixels.
    const QImage &image() const { return image_; }
    int pixelScale() const { return pixelScale_; }

    // Called with the pointer position in logical units.
    std::function<void(double x, double y)> onMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void ensureImage();

    QImage image_;
    int pixelScale_ = 1;
    int scaleWidth_ = LogicalWidth;
    int scaleHeight_ = LogicalHeight;
    int lineWidth_ = 1;
    int textColor_ = 0;
    double currentX_ = 0;
    double currentY_ = 0;
};
