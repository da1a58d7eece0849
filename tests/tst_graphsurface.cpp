// The graph drawing surface: palette, crisp lines on the logical pixel at every pixel scale, text
// rows and columns, persistence across repaints, clearing.

#include "graphs/GraphPicture.h"

#include "TestSupport.h"

#include <QFontMetricsF>

using testsupport::fetch;

class TestGraphSurface : public QObject
{
    Q_OBJECT

private slots:
    void paletteColours_data();
    void paletteColours();
    void linesCoverWholeUnits_data();
    void linesCoverWholeUnits();
    void fractionalCoordinatesSnapToNearestUnit();
    void pointIsOneBlockOfLineWidth();
    void textRowsAndColumns();
    void textIsAntialiasedAndFitsARow();
    void pictureSurvivesRepaint();
    void clearBlanksAndHomesTextPosition();
};

namespace {
const QRgb White = qRgb(255, 255, 255);

QRgb at(const QImage &image, int x, int y)
{
    return image.pixel(x, y) | 0xff000000u;
}
} // namespace

void TestGraphSurface::paletteColours_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("rgb");
    // The colour numbers the graphs use, with the RGB values the graph legend names.
    QTest::newRow("0 black") << 0 << QColor(0, 0, 0);
    QTest::newRow("4 red") << 4 << QColor(128, 0, 0);
    QTest::newRow("8 grey") << 8 << QColor(128, 128, 128);
    QTest::newRow("9 light blue") << 9 << QColor(0, 0, 255);
    QTest::newRow("13 light magenta") << 13 << QColor(255, 0, 255);
    QTest::newRow("15 white") << 15 << QColor(255, 255, 255);
}

void TestGraphSurface::paletteColours()
{
    QCOMPARE(GraphPicture::paletteColor(fetch<int>("index")), fetch<QColor>("rgb"));
}

void TestGraphSurface::linesCoverWholeUnits_data()
{
    QTest::addColumn<int>("scale");
    QTest::newRow("ordinary screen") << 1;
    QTest::newRow("double density") << 2;
    QTest::newRow("triple density") << 3;
}

// At pixel scale s a logical unit is an s x s block, never half-covered. The 0 dB line of the
// response graph, (49, 104)-(548, 104) in grey at width 1, fills exactly device rows 104s ..
// 104s+s-1 and columns 49s .. 548s+s-1. The frame, at width 2, covers a unit and the one before:
// its left edge at x = 48 units 47 and 48, its bottom edge at y = 304 units 303 and 304.
void TestGraphSurface::linesCoverWholeUnits()
{
    const int scale = fetch<int>("scale");
    GraphPicture pic;
    pic.setLineWidth(2);
    pic.box(48, 24, 549, 304, 4);
    pic.setLineWidth(1);
    pic.line(49, 104, 548, 104, 8);
    const QImage img = pic.renderImage(scale);
    QCOMPARE(img.size(), QSize(640 * scale, 480 * scale));
    const QRgb grey = qRgb(128, 128, 128), red = qRgb(128, 0, 0);
    for (int x : {49 * scale, 300 * scale + scale / 2, 548 * scale + scale - 1})
        for (int dy = 0; dy < scale; ++dy)
            QCOMPARE(at(img, x, 104 * scale + dy), grey);
    QCOMPARE(at(img, 300 * scale, 104 * scale - 1), White);
    QCOMPARE(at(img, 300 * scale, 105 * scale), White);
    QCOMPARE(at(img, 49 * scale, 104 * scale - 1), White);
    const int y = 200 * scale, x = 300 * scale;
    QCOMPARE(at(img, 47 * scale, y), red);
    QCOMPARE(at(img, 48 * scale + scale - 1, y), red);
    QCOMPARE(at(img, 47 * scale - 1, y), White);
    QCOMPARE(at(img, 49 * scale, y), White);
    QCOMPARE(at(img, x, 303 * scale), red);
    QCOMPARE(at(img, x, 304 * scale + scale - 1), red);
    QCOMPARE(at(img, x, 303 * scale - 1), White);
    QCOMPARE(at(img, x, 305 * scale), White);
    // Corners are closed.
    QCOMPARE(at(img, 47 * scale, 23 * scale), red);
    QCOMPARE(at(img, 549 * scale + scale - 1, 304 * scale + scale - 1), red);
}

// GraphX(100) = 48 + 128 ln 10 = 342.73: the vertical grid line at 100 Hz lies on unit 343.
void TestGraphSurface::fractionalCoordinatesSnapToNearestUnit()
{
    GraphPicture pic;
    pic.line(342.73, 25, 342.73, 303, 8);
    pic.line(100.49, 50, 100.49, 60, 8);
    const QImage img = pic.renderImage(2);
    const QRgb grey = qRgb(128, 128, 128);
    QCOMPARE(at(img, 686, 200), grey);
    QCOMPARE(at(img, 687, 200), grey);
    QCOMPARE(at(img, 685, 200), White);
    QCOMPARE(at(img, 688, 200), White);
    QCOMPARE(at(img, 200, 110), grey);
    QCOMPARE(at(img, 202, 110), White);
}

void TestGraphSurface::pointIsOneBlockOfLineWidth()
{
    GraphPicture pic;
    pic.pset(100, 100, 9);
    QCOMPARE(pic.currentX(), 100.0);
    QCOMPARE(pic.currentY(), 100.0);
    pic.setLineWidth(2);
    pic.pset(200, 200, 13);
    const QImage img = pic.renderImage(1);
    QCOMPARE(at(img, 100, 100), qRgb(0, 0, 255));
    QCOMPARE(at(img, 101, 100), White);
    QCOMPARE(at(img, 100, 101), White);
    for (int x : {199, 200})
        for (int y : {199, 200})
            QCOMPARE(at(img, x, y), qRgb(255, 0, 255));
    QCOMPARE(at(img, 201, 200), White);
    QCOMPARE(at(img, 198, 200), White);
}

void TestGraphSurface::textRowsAndColumns()
{
    GraphPicture pic;
    pic.print(QStringLiteral("first"));
    QCOMPARE(pic.currentX(), 0.0);
    QCOMPARE(pic.currentY(), GraphPicture::RowHeight);
    pic.print(QString());
    QCOMPARE(pic.currentY(), 2 * GraphPicture::RowHeight);
    // Column 10 of an 8-point line is 9 average characters of 4.7 units from the edge.
    pic.tab(10);
    QCOMPARE(pic.currentX(), 9 * 4.7);
    pic.printPart(QStringLiteral("10"));
    QCOMPARE(pic.currentX(), 9 * 4.7 + GraphPicture::textWidth(QStringLiteral("10")));
    QCOMPARE(pic.currentY(), 2 * GraphPicture::RowHeight);
    // Rows are about 12 units apart, as 8-point text on the 640 x 480 scale.
    QVERIFY(GraphPicture::RowHeight >= 11.5 && GraphPicture::RowHeight <= 12.5);
}

void TestGraphSurface::textIsAntialiasedAndFitsARow()
{
    const QFontMetricsF metrics(GraphPicture::textFont());
    QVERIFY2(metrics.height() <= GraphPicture::RowHeight, qPrintable(QString::number(metrics.height())));
    QVERIFY(metrics.height() >= 10);
    // Four digits take about four columns (an average character of about 4.7 units, give or take a
    // unit for the face at hand).
    const double perChar = metrics.horizontalAdvance(QStringLiteral("0000")) / 4;
    QVERIFY2(perChar > 4.7 - 1.0 && perChar < 4.7 + 2.0, qPrintable(QString::number(perChar)));

    GraphPicture pic;
    pic.drawText(10, 10, QStringLiteral("W8 -10 dB"), 0);
    const QImage img = pic.renderImage(1);
    int ink = 0, partial = 0;
    for (int y = 10; y < 23; ++y)
        for (int x = 10; x < 70; ++x) {
            const int g = qGray(img.pixel(x, y));
            ink += g < 128;
            partial += g > 20 && g < 235;
        }
    QVERIFY(ink > 20);
    QVERIFY2(partial > 5, "text edges should be smoothed");
    // Nothing outside the row.
    for (int x = 0; x < 200; ++x) {
        QCOMPARE(at(img, x, 8), White);
        QCOMPARE(at(img, x, 10 + int(GraphPicture::RowHeight) + 1), White);
    }
}

void TestGraphSurface::pictureSurvivesRepaint()
{
    GraphPicture pic;
    pic.setLineWidth(2);
    pic.box(48, 24, 549, 304, 4);
    pic.print(QStringLiteral("Driver"));
    const QImage before = pic.image();
    pic.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pic));
    pic.repaint();
    pic.resize(300, 200); // a fixed-size picture ignores this
    QCOMPARE(pic.size(), QSize(640, 480));
    QCOMPARE(pic.image().size(), QSize(640, 480) * pic.pixelScale());
    QCOMPARE(pic.image(), before);
    QImage shown = pic.grab().toImage().convertToFormat(QImage::Format_RGB32);
    shown.setDevicePixelRatio(1);
    QCOMPARE(shown, before);
}

void TestGraphSurface::clearBlanksAndHomesTextPosition()
{
    GraphPicture pic;
    pic.line(0, 0, 100, 100, 0);
    pic.print(QStringLiteral("x"));
    pic.clear();
    QCOMPARE(pic.currentX(), 0.0);
    QCOMPARE(pic.currentY(), 0.0);
    QImage blank(pic.image().size(), QImage::Format_RGB32);
    blank.fill(Qt::white);
    QCOMPARE(pic.image(), blank);
    // Points at nowhere, and a line far outside the picture, leave it alone.
    pic.line(0, 0, qQNaN(), 10, 0);
    pic.pset(qInf(), 10, 0);
    pic.line(-1e30, -1e30, -1e29, -1e30, 0);
    QCOMPARE(pic.image(), blank);
}

QTEST_MAIN(TestGraphSurface)
#include "tst_graphsurface.moc"
