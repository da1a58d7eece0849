// The pictures: the drawing surface (crisp lines on the logical pixel at every pixel scale, text
// rows, persistence, clearing), the bitmap writer, and the frequency-response, displacement-limits
// and crossover graphs through the window: what they draw, the readout under the pointer, saving
// and printing. Levels are worked out from the transfer functions, independently of the code.

#include "TestSupport.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphOutput.h"
#include "graphs/GraphPicture.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <cmath>

using namespace testsupport;

namespace {

double sealedDb(double f) // closed box, Fc 53 Hz, Qtc 0.707
{
    const double x = f / 53.0, x2 = x * x;
    return 20 * std::log10(x2 / std::sqrt((x2 - 1) * (x2 - 1) + (x / 0.707) * (x / 0.707)));
}

double ventedDb(double f) // Butterworth fourth order at 32 Hz
{
    const double x4 = std::pow(f / 32.0, 4);
    return 20 * std::log10(x4 / std::sqrt(1 + x4 * x4));
}

// A worked design set as a calculation leaves it: Fs 30 Hz, Qts 0.4, Vas 3 cu ft; sealed at Qtc
// 0.707 (Fc 53 Hz, 1.41 cu ft); vented response a fourth-order Butterworth at 32 Hz.
std::unique_ptr<FrmKelvane> sampleWindow()
{
    auto w = freshWindow();
    w->DriverName = QStringLiteral("W8");
    w->Fs = 30, w->Qts = 0.4, w->Vas = 3, w->Qtc = 0.707, w->Fc = 53, w->F3Sealed = 53, w->VbSealed = 1.41;
    w->Fb = 30, w->F3Vented = 32, w->VbVented = 2.5, w->PeakdBVented = 0.5, w->PeakFreqVented = 45;
    w->SPL = 88.3, w->EBP = 66.7;
    for (int f = 10; f <= 500; ++f)
        w->VentedResponse[f] = ventedDb(f);
    w->ButtonsOn();
    return w;
}

// The displacement handler's driver: Qes 0.4374 gives 2.7e-8 * 30^3 * 3 / 0.4374 = 0.005, and Vd
// 0.1 litres = 1e-4 cubic metres; 100 W at 0.5 % is SPLMax 109.19 dB.
std::unique_ptr<FrmKelvane> limitsWindow(const QString &power = QStringLiteral("100"), double qts = 0.4)
{
    auto w = sampleWindow();
    w->Qts = qts;
    w->Qtc = qts < 1 ? 0.707 : qts + 0.1;
    w->Recommendation = QStringLiteral("  A SEALED BOX IS PROBABLY BEST FOR THIS DRIVER");
    act(w.get(), "TxtQes=0.4374; TxtVd=0.1; TxtPower=" + power);
    MessageCatcher catcher;
    w->CmdDisplacement_Click();
    settle();
    QTest::qVerify(catcher.shown().isEmpty(), "no message", qPrintable(catcher.shown()), __FILE__, __LINE__);
    return w;
}

QColor pixel(const GraphPicture *pic, double x, double y)
{
    const int s = pic->pixelScale();
    return pic->image().pixelColor(int(std::floor(x + 0.5)) * s + s / 2, int(std::floor(y + 0.5)) * s + s / 2);
}

// Whether some pixel of the logical rectangle has the palette colour (-1: is dark text ink).
bool has(const GraphPicture *pic, int x1, int y1, int x2, int y2, int colour)
{
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) {
            const QColor c = pixel(pic, x, y);
            if (colour < 0 ? c.red() < 160 && c.green() < 160 && c.blue() < 160 : c == GraphPicture::paletteColor(colour))
                return true;
        }
    return false;
}

bool blank(const GraphPicture *pic, int x1, int y1, int x2, int y2)
{
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            if (pixel(pic, x, y) != QColor(Qt::white))
                return false;
    return true;
}

QStringList entries(const QString &folder = QStringLiteral("."))
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

std::function<std::unique_ptr<QPrinter>()> printerTo(const QString &pdf)
{
    return [pdf]() -> std::unique_ptr<QPrinter> { return pdf.isEmpty() ? nullptr : pdfPrinter(pdf); };
}

constexpr int Red = 4, Grey = 8, Blue = 9, Magenta = 13;

} // namespace

class TestGraphs : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { graphoutput::setPrinterSource({}); }

    // At pixel scale s a logical unit is an s x s block, never half-covered: the 0 dB line at width 1,
    // (49, 104)-(548, 104), fills device rows 104s .. 104s+s-1; the frame at width 2 covers a unit and
    // the one before, its left edge at x = 48 units 47 and 48. GraphX(100) = 48 + 128 ln 10 = 342.73
    // lies on unit 343; a point is one block of the line width.
    void linesCoverWholeUnits()
    {
        for (int s : {1, 2, 3}) {
            GraphPicture pic;
            pic.setLineWidth(2);
            pic.box(48, 24, 549, 304, Red);
            pic.pset(200, 200, Magenta);
            pic.setLineWidth(1);
            pic.line(49, 104, 548, 104, Grey);
            pic.line(342.73, 125, 342.73, 303, Grey);
            const QImage img = pic.renderImage(s);
            QCOMPARE(img.size(), QSize(640 * s, 480 * s));
            // Device pixels expected in a colour: {x, y, colour}; -1 is white.
            const int expected[][3] = {{49 * s, 104 * s, Grey}, {548 * s + s - 1, 104 * s + s - 1, Grey}, {300 * s, 104 * s - 1, -1},
                                       {300 * s, 105 * s, -1}, {47 * s, 200 * s, Red}, {48 * s + s - 1, 200 * s, Red},
                                       {47 * s - 1, 200 * s, -1}, {49 * s, 200 * s, -1}, {47 * s, 23 * s, Red},
                                       {549 * s + s - 1, 304 * s + s - 1, Red}, {343 * s, 200 * s, Grey}, {342 * s + s - 1, 200 * s, -1},
                                       {199 * s, 199 * s, Magenta}, {201 * s, 200 * s, -1}};
            for (const auto &[x, y, colour] : expected)
                QVERIFY2(QColor(img.pixel(x, y)) == (colour < 0 ? QColor(Qt::white) : GraphPicture::paletteColor(colour)),
                         qPrintable(QStringLiteral("scale %1 at %2, %3").arg(s).arg(x).arg(y)));
        }
    }

    void textRowsRepaintAndClear()
    {
        GraphPicture pic;
        pic.print(QStringLiteral("first"));
        pic.print(QString());
        QCOMPARE(pic.currentY(), 2 * GraphPicture::RowHeight);
        // Column 10 of an 8-point line is 9 average characters of 4.7 units from the edge.
        pic.tab(10);
        QCOMPARE(pic.currentX(), 9 * 4.7);
        pic.printPart(QStringLiteral("10"));
        QCOMPARE(pic.currentX(), 9 * 4.7 + GraphPicture::textWidth(QStringLiteral("10")));
        // Rows about 12 units apart, as 8-point text on the 640 x 480 scale, and the font fits a row.
        QVERIFY(GraphPicture::RowHeight >= 11.5 && GraphPicture::RowHeight <= 12.5);
        QVERIFY(QFontMetricsF(GraphPicture::textFont()).height() <= GraphPicture::RowHeight);
        // Text is smoothed (grey edges) and stays inside its row.
        GraphPicture text;
        text.drawText(10, 10, QStringLiteral("W8 -10 dB"), 0);
        int ink = 0, partial = 0;
        for (int y = 10; y < 23; ++y)
            for (int x = 10; x < 70; ++x) {
                const int g = qGray(text.renderImage(1).pixel(x, y));
                ink += g < 128;
                partial += g > 20 && g < 235;
            }
        QVERIFY(ink > 20 && partial > 5);
        QVERIFY(blank(&text, 0, 8, 200, 8) && blank(&text, 0, 11 + int(GraphPicture::RowHeight), 200, 11 + int(GraphPicture::RowHeight)));
        // The picture survives repaints and resizing, on screen as in its image.
        pic.box(48, 24, 549, 304, Red);
        const QImage before = pic.image();
        pic.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pic));
        pic.repaint();
        pic.resize(300, 200);
        QCOMPARE(pic.size(), QSize(640, 480));
        QCOMPARE(pic.image(), before);
        QImage onScreen = pic.grab().toImage().convertToFormat(QImage::Format_RGB32);
        onScreen.setDevicePixelRatio(1);
        QCOMPARE(onScreen, before);
        // Clearing blanks it and homes the text position; points at nowhere leave it alone.
        pic.clear();
        QVERIFY(pic.currentX() == 0.0 && pic.currentY() == 0.0);
        pic.line(0, 0, qQNaN(), 10, 0);
        pic.pset(qInf(), 10, 0);
        pic.line(-1e30, -1e30, -1e29, -1e30, 0);
        QImage white(pic.image().size(), QImage::Format_RGB32);
        white.fill(Qt::white);
        QCOMPARE(pic.image(), white);
    }

    // The bitmap appears whole under its name, replaces an earlier file keeping its permissions and
    // leaves no part file behind.
    void bitmapWriter()
    {
        InTempFolder folder;
        const QString name = QStringLiteral("W8Frequency.bmp");
        const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
        QImage image(640, 480, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter(&image).drawLine(48, 304, 549, 24);
        QFile(QStringLiteral(".kelvane-%1.part").arg(QCoreApplication::applicationPid())).open(QIODevice::WriteOnly);
        for (QFile::Permissions earlier : {QFile::Permissions(), ownerOnly | QFile::ReadGroup, ownerOnly}) {
            if (earlier)
                QVERIFY(QFile::setPermissions(name, earlier));
            QVERIFY(graphoutput::saveBitmap(image, name));
            // 54 bytes of headers and 640 x 480 pixels of 3 bytes (rows of 1920 bytes need no padding).
            QCOMPARE(QFileInfo(name).size(), qint64(54 + 640 * 480 * 3));
            QCOMPARE(QImage(name, "BMP").convertToFormat(QImage::Format_RGB32), image);
            QCOMPARE(entries(), QStringList{name});
            if (earlier) // the owner, group and other bits (the user bits repeat the owner's)
                QCOMPARE(QFile::permissions(name) & ~QFile::Permissions(0x0f00), earlier);
        }
    }

    void frequencyRefused()
    {
        for (const auto &[vas, fc, message] : {std::tuple{0.0, 53.0, "more"}, {3.0, 0.0, "number"}}) {
            auto w = sampleWindow(); // no Vas: more data; Fc 0 cannot come out of a calculation
            w->Vas = vas;
            w->Fc = fc;
            const QImage before = w->PicFrequency->image();
            MessageCatcher catcher;
            w->CmdFrequency_Click();
            settle();
            QCOMPARE(catcher.shown(), QLatin1String(message));
            QCOMPARE(w->PicFrequency->image(), before);
            if (vas == 0)
                QCOMPARE(shown(w.get(), "tab; focus"), QStringLiteral("tab=0; focus=TxtFs"));
        }
    }

    void frequencyDrawnAndSaved()
    {
        InTempFolder folder;
        auto w = sampleWindow();
        w->PeakdBSealed = 0.3; // replaced: Qtc below 1/sqrt(2) has no peak
        MessageCatcher catcher;
        act(w.get(), "tab=1; CmdFrequency");
        QCOMPARE(shown(w.get(), "tab; focus"), QStringLiteral("tab=5; focus=CmdDisplacement"));
        QCOMPARE(w->PeakdBSealed, 0.0);
        QCOMPARE(w->PeakFreqSealed, 53.0);
        const QImage first = w->PicFrequency->image();
        w->CmdFrequency_Click(); // a second press draws the identical picture
        QCOMPARE(w->PicFrequency->image(), first);
        w->CmdSave_Click();
        QCOMPARE(catcher.shown(), QString());
        // The bitmap is the picture itself (its format is the bitmap writer's, tested above).
        QCOMPARE(QImage(QStringLiteral("W8Frequency.bmp"), "BMP").convertToFormat(QImage::Format_RGB32), first);
        // Frame (48, 24)-(549, 304), ticks +-3 dB outside and 5 dB inside, the 0 dB line, the 200 Hz
        // grid line (431.46) and the dotted +5 dB line (x = 49 + 3k).
        const GraphPicture *pic = w->PicFrequency;
        const double x200 = 48 + 128 * std::log(20.0);
        for (const auto &[x, y, c] : {std::tuple{48.0, 150.0, Red}, {549.0, 150.0, Red}, {300.0, 24.0, Red}, {300.0, 304.0, Red},
                                      {45.0, 80.0, Red}, {51.0, 144.0, Red}, {60.0, 104.0, Grey}, {x200, 150.0, Grey}, {400.0, 64.0, Grey}})
            QVERIFY2(pixel(pic, x, y) == GraphPicture::paletteColor(c), qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
        QVERIFY(pixel(pic, x200 + 1, 150) == QColor(Qt::white) && pixel(pic, 401, 64) == QColor(Qt::white));
        // The curves where they stand apart: vented (blue) and sealed (magenta) at 25 and 35 Hz.
        for (double f : {25.0, 35.0}) {
            QCOMPARE(pixel(pic, 48 + 128 * std::log(f / 10), 104 - 8 * ventedDb(f)), GraphPicture::paletteColor(Blue));
            QCOMPARE(pixel(pic, 48 + 128 * std::log(f / 10), 104 - 8 * sealedDb(f)), GraphPicture::paletteColor(Magenta));
        }
        QCOMPARE(w->VentedResponse[12], -25.0); // clipped at the floor where drawn
        // The readout follows a real pointer: the picture is 640 x 480 pixels for 640 x 480 units.
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::mouseMove(w->PicFrequency, QPoint(200, 150));
        settle();
        QCOMPARE(shown(w.get(), "TxtFreqXNum; TxtSPLYNum"), QStringLiteral("TxtFreqXNum=32.8 Hz; TxtSPLYNum=-5.8 dB"));
    }

    void frequencyReadout_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<QString>("shows");
        // f = 10 e^(X/128 - 0.375), L = 13 - Y/8, worked out by hand; on the frame nothing changes.
        QTest::newRow("on left edge") << 48.0 << 104.0 << "TxtFreqXNum=Hz; TxtSPLYNum=dB";
        QTest::newRow("on right edge") << 549.0 << 104.0 << "TxtFreqXNum=Hz; TxtSPLYNum=dB";
        QTest::newRow("on bottom edge") << 300.0 << 304.0 << "TxtFreqXNum=Hz; TxtSPLYNum=dB";
        QTest::newRow("just right of the left edge") << 48.01 << 104.0 << "TxtFreqXNum=10.0 Hz; TxtSPLYNum=0.0 dB";
        QTest::newRow("100 Hz at +5 dB") << 342.7309 << 64.0 << "TxtFreqXNum=100.0 Hz; TxtSPLYNum=5.0 dB";
        QTest::newRow("just inside top") << 200.0 << 24.01 << "TxtFreqXNum=32.8 Hz; TxtSPLYNum=10.0 dB";
        QTest::newRow("just inside bottom right") << 548.99 << 303.99 << "TxtFreqXNum=501.0 Hz; TxtSPLYNum=-25.0 dB";
        QTest::newRow("half a tenth rounds away from zero") << 400.0 << 150.0 << "TxtFreqXNum=156.4 Hz; TxtSPLYNum=-5.8 dB";
    }
    void frequencyReadout()
    {
        auto w = sampleWindow();
        w->PicFrequency_MouseMove(0, 0, fetch<double>("x"), fetch<double>("y"));
        // Leaving the plot keeps the last values; so does drawing the graph.
        w->PicFrequency_MouseMove(0, 0, 600, 400);
        w->CmdFrequency_Click();
        QCOMPARE(shown(w.get(), fetch<QString>("shows")), fetch<QString>("shows"));
    }

    // The file goes to the current folder under the driver's name, which itself never changes; a
    // name that would not make a plain file there is refused, a folder in the way fails the write.
    void frequencySaveNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file"); // empty: refused
        QTest::newRow("named driver") << "W8" << "W8Frequency.bmp";
        QTest::newRow("unnamed driver") << "" << "FrequencyResponseFrequency.bmp";
        QTest::newRow("named like the placeholder") << "FrequencyResponse" << "FrequencyResponseFrequency.bmp";
        QTest::newRow("every sign the name field admits") << "Big Woofer 12.5 'Pro'_x-1" << "Big Woofer 12.5 'Pro'_x-1Frequency.bmp";
        QTest::newRow("leading points") << ".." << "..Frequency.bmp";
        for (const QString &bad : {QStringLiteral("a/b"), QStringLiteral("../escape"), QStringLiteral("..\\x"), QStringLiteral("W8\tx"),
                                   QStringLiteral("W8\nx"), QStringLiteral("W8") + QChar(0x7f), QString(300, u'W')})
            QTest::newRow(qPrintable("refused " + bad.left(12))) << bad << "";
        QTest::newRow("a folder in the way") << "W8" << "";
    }
    void frequencySaveNames()
    {
        const QString name = fetch<QString>("name"), file = fetch<QString>("file");
        InTempFolder root;
        QDir().mkdir(QStringLiteral("work"));
        QDir::setCurrent(QStringLiteral("work"));
        if (file.isEmpty())
            QVERIFY(QDir().mkdir(QStringLiteral("a")) && QDir().mkdir(QStringLiteral("W8Frequency.bmp")));
        auto w = sampleWindow();
        w->DriverName = name;
        w->CmdFrequency_Click();
        const QImage before = w->PicFrequency->image();
        MessageCatcher catcher;
        act(w.get(), "tab=1; CmdSave");
        settle();
        QCOMPARE(catcher.shown(), file.isEmpty() ? "Error: The image could not be saved to " + name + "Frequency.bmp." : QString());
        QCOMPARE(entries(), file.isEmpty() ? QStringList({"W8Frequency.bmp", "a"}) : QStringList({file}));
        QVERIFY(entries("a").isEmpty() && entries("W8Frequency.bmp").isEmpty());
        QCOMPARE(entries(root.path()), QStringList{"work"});
        QCOMPARE(w->DriverName, name);
        QCOMPARE(w->PicFrequency->image(), before);
        if (!file.isEmpty()) // redrawn on its tab afterwards
            QCOMPARE(shown(w.get(), "tab; focus"), QStringLiteral("tab=5; focus=CmdDisplacement"));
    }

    // The two buttons are hidden while printing and shown again after, whatever happened.
    void frequencyPrint()
    {
        InTempFolder folder;
        for (const QString &pdf : {folder.path("page.pdf"), QString(), folder.path("missing/folder/page.pdf")}) {
            auto w = sampleWindow();
            w->CmdFrequency_Click();
            const QImage before = w->PicFrequency->image();
            bool buttonsShown = false;
            graphoutput::setPrinterSource([&, print = printerTo(pdf)] {
                buttonsShown = w->CmdSave->isVisible() || w->CmdPrintFreq->isVisible();
                return print();
            });
            MessageCatcher catcher;
            w->CmdPrintFreq_Click();
            settle();
            const bool printed = pdf.endsWith(QLatin1String("/page.pdf")) && !pdf.contains(QLatin1String("missing"));
            QCOMPARE(catcher.shown(), printed ? QString() : QStringLiteral("print"));
            QVERIFY(!buttonsShown || pdf.isEmpty());
            QVERIFY(w->CmdSave->isVisible() && w->CmdPrintFreq->isVisible());
            QCOMPARE(w->PicFrequency->image(), before);
            QCOMPARE(w->DriverName, QStringLiteral("W8"));
            if (printed) {
                QFile out(pdf);
                QVERIFY(out.open(QIODevice::ReadOnly) && out.size() > 1000 && out.read(4) == "%PDF");
                QCOMPARE(w->focusWidget(), w->CmdDisplacement);
            }
        }
    }

    void limitsRefused_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no Qes") << "TxtQes=" << "TxtQes";
        QTest::newRow("Qes 0") << "TxtQes=0" << "TxtQes";
        QTest::newRow("no power") << "TxtPower=" << "TxtPower";
        // Neither Vd nor cone area nor diameter: Vd stays 0.
        QTest::newRow("no Vd") << "TxtVd=" << "TxtVd";
        QTest::newRow("Vd 0") << "TxtVd=0" << "TxtVd";
        QTest::newRow("Qes checked before power") << "TxtQes=; TxtPower=; TxtVd=" << "TxtQes";
    }
    void limitsRefused()
    {
        auto w = sampleWindow();
        w->Power = 50; // an earlier power does not count: the field is read again
        act(w.get(), "TxtQes=0.45; TxtPower=100; TxtVd=0.1; tab=1; " + fetch<QString>("steps"));
        MessageCatcher catcher;
        w->CmdDisplacement_Click();
        settle();
        QCOMPARE(catcher.shown(), QStringLiteral("more"));
        QCOMPARE(shown(w.get(), "tab; focus"), "tab=0; focus=" + fetch<QString>("focus"));
        QVERIFY(blank(w->PicDisplacementLimit, 0, 0, 639, 479));
    }

    void limitsDrawn()
    {
        auto w = limitsWindow();
        QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabDisplacement));
        // 100 W at 0.5 %: SPLMax 109.19 dB; Qtc 0.707 takes the first coefficient formula, 0.42394.
        const double splMax = 109.18970004336019, kp = 0.4239437832116874e-8;
        QVERIFY(qAbs(w->SPLMax - splMax) < 1e-9);
        // Pa(100) vented = 100^4 * 3 * 1e-8 = 3 W, above the thermal limit: 0 after drawing.
        QVERIFY(qAbs(w->PaVented[100] - 3.0) < 1e-12);
        QCOMPARE(w->SPLVentedLimit[100], 0.0);
        // Sealed at 20 Hz: Pa = 160000 * 0.42394e-8 W, -28.68 dB relative.
        QVERIFY(qAbs(w->SPLSealedLimit[20] - (10 * std::log10(160000 * kp) + 112.2 - splMax)) < 1e-9);
        const GraphPicture *pic = w->PicDisplacementLimit;
        // The frame, the grey thermal-limit line, the dotted -10 dB line (304 = 49 + 3 * 85).
        QVERIFY(pixel(pic, 48, 200) == GraphPicture::paletteColor(Red) && pixel(pic, 549, 200) == GraphPicture::paletteColor(Red));
        QVERIFY(pixel(pic, 55, 64) == GraphPicture::paletteColor(Grey) && pixel(pic, 304, 144) == GraphPicture::paletteColor(Grey));
        QCOMPARE(pixel(pic, 305, 144), QColor(Qt::white));
        QVERIFY(has(pic, int(graphgeo::graphX(100)) - 1, 230, int(graphgeo::graphX(100)) + 1, 230, Grey));
        // Vented at 30 Hz: 10 log10(3e-8 * 810000) + 112.2 - 109.19 = -13.14 dB; at the thermal limit
        // from 63.9 Hz on (40 log10 f = 72.22), so flat at y = 64 at 80 Hz.
        const auto near = [&](double f, double rel, int colour) {
            const int x = int(graphgeo::graphX(f)), y = int(64 - 8 * rel);
            return has(pic, x - 2, y - 2, x + 2, y + 2, colour);
        };
        QVERIFY(near(30, 10 * std::log10(3e-8 * 810000.0) + 112.2 - splMax, Blue));
        QVERIFY(near(80, 0, Blue));
        // Sealed at 40 Hz: -16.63 dB; at the thermal limit from 104.7 Hz (x = 349).
        QVERIFY(near(40, 10 * std::log10(kp * 2560000.0) + 112.2 - splMax, Magenta));
        QVERIFY(has(pic, 350, 62, 540, 66, Magenta));
        // The floor stretch at the very left (both curves below -30 dB) is dark red.
        QVERIFY(has(pic, 55, 302, 60, 306, Red) && !has(pic, 49, 290, 57, 306, Blue));
        // Text: heading, dB labels level with their lines, "10" under 10 Hz, the recommendation.
        QVERIFY(has(pic, 0, 0, 300, 11, -1) && has(pic, 40, 306, 60, 318, -1) && has(pic, 0, 328, 400, 339, -1));
        for (int gridY : {64, 144, 224})
            QVERIFY(has(pic, 0, gridY - 5, 46, gridY + 5, -1));
        QVERIFY(blank(pic, 0, 260, 40, 300));
    }

    void limitsLabelsAndExtremes()
    {
        // The widest watt labels ("10000 Watts", "1000.0 Watts") stand right of the frame, level with
        // their grid lines, clear of the frame line's own columns and the picture's last ones.
        auto wide = limitsWindow(QStringLiteral("10000"));
        for (int gridY : {64, 144, 224}) {
            QVERIFY(has(wide->PicDisplacementLimit, 553, gridY - 4, 639, gridY + 4, -1));
            QVERIFY(blank(wide->PicDisplacementLimit, 636, gridY - 6, 639, gridY + 6));
            QVERIFY(blank(wide->PicDisplacementLimit, 551, gridY - 6, 552, gridY + 6));
            QVERIFY(blank(wide->PicDisplacementLimit, 553, gridY - 14, 639, gridY - 8));
        }
        // 0.0001 W: SPLMax = 10 log10(5e-7) + 112.2 = 49.2 dB, below even the sealed box's 68.5 dB at
        // 10 Hz: both curves flat on the thermal-limit line, the sealed one drawn over the vented.
        auto low = limitsWindow(QStringLiteral("0.0001"));
        const GraphPicture *pic = low->PicDisplacementLimit;
        for (int x : {48, 100, 300, 500, 548})
            QVERIFY(has(pic, x, 62, x, 66, Magenta));
        QVERIFY(!has(pic, 49, 68, 548, 303, Magenta) && !has(pic, 49, 68, 548, 303, Blue) && !has(pic, 53, 68, 547, 302, Red));
        QVERIFY(qAbs(low->SPLMax - (10 * std::log10(5e-7) + 112.2)) < 1e-9);
        QVERIFY(low->SPLSealedLimit[10] == 0.0 && low->SPLVentedLimit[499] == 0.0);
        // Qts 1.1 and above: no reference box, one line instead of two.
        for (double qts : {1.1, 1.4}) {
            auto w = limitsWindow(QStringLiteral("100"), qts);
            QCOMPARE(w->VbQtc11, 0.0);
            QVERIFY(has(w->PicDisplacementLimit, 0, 400, 400, 411, -1) && blank(w->PicDisplacementLimit, 0, 412, 639, 424));
            QVERIFY(has(w->PicDisplacementLimit, 350, 62, 540, 66, Magenta));
        }
    }

    void limitsReadout()
    {
        // X = 176: 10 e^(176/128 - 0.375) = 27.18 Hz; y = 64 reads SPLMax, y = 144 10 dB less;
        // 10^((92.04 - 112.2) / 10) / 0.01 = 0.96383 W.
        auto w = freshWindow();
        w->SPLMax = 92.04;
        w->Efficiency = 0.01;
        const QString start = QStringLiteral("TxtFreqPowerXNum=Hz; TxtSPLpowerYNum=dB; TxtSPLpowerYwattsNum=Watts");
        for (auto [x, y] : {std::pair{48.0, 64.0}, {549.0, 64.0}, {176.0, 24.0}, {176.0, 304.0}, {600.0, 400.0}})
            w->PicDisplacementLimit_MouseMove(0, 0, x, y);
        QCOMPARE(shown(w.get(), start), start);
        w->SSTab->setCurrentIndex(FrmKelvane::TabDisplacement);
        settle();
        QTest::mouseMove(w->PicDisplacementLimit, QPoint(176, 64));
        settle();
        QCOMPARE(shown(w.get(), start), QStringLiteral("TxtFreqPowerXNum=27.2 Hz; TxtSPLpowerYNum=92.0 dB; TxtSPLpowerYwattsNum=1.0 Watts"));
        w->PicDisplacementLimit_MouseMove(0, 0, 342.73, 144);
        w->PicDisplacementLimit_MouseMove(0, 0, 600, 144); // leaving keeps the last values
        QCOMPARE(shown(w.get(), start), QStringLiteral("TxtFreqPowerXNum=100.0 Hz; TxtSPLpowerYNum=82.0 dB; TxtSPLpowerYwattsNum=0.1 Watts"));
        // Near the right edge: 10 e^(548.9/128 - 0.375) = 500.6 Hz; 96.3 dB at y = 30.
        w->PicDisplacementLimit_MouseMove(0, 0, 548.9, 30);
        QCOMPARE(shown(w.get(), start).left(61), QStringLiteral("TxtFreqPowerXNum=500.6 Hz; TxtSPLpowerYNum=96.3 dB; TxtSPLpow"));
        // 100 W at 0.5 %: the thermal limit (y = 64) reads 10^((109.19 - 112.2) / 10) / 0.005 = 100 W.
        w->SPLMax = 10 * std::log10(0.5) + 112.2;
        w->Efficiency = 0.005;
        w->PicDisplacementLimit_MouseMove(0, 0, 176, 64);
        QCOMPARE(shown(w.get(), "TxtSPLpowerYwattsNum"), QStringLiteral("TxtSPLpowerYwattsNum=100.0 Watts"));
        // No calculation yet: the watts cannot be worked out, silently.
        auto fresh = freshWindow();
        fresh->SPLMax = 92.04;
        MessageCatcher catcher;
        fresh->PicDisplacementLimit_MouseMove(0, 0, 176, 64);
        settle();
        QCOMPARE(catcher.shown(), QString());
        QCOMPARE(shown(fresh.get(), start), QStringLiteral("TxtFreqPowerXNum=27.2 Hz; TxtSPLpowerYNum=92.0 dB; TxtSPLpowerYwattsNum=Watts"));
    }

    void limitsSavedAndPrinted()
    {
        InTempFolder folder;
        auto w = limitsWindow();
        MessageCatcher catcher;
        const QImage before = w->PicDisplacementLimit->image();
        // Saving writes <name>Limits.bmp, the graph itself; unnamed: PowerResponseLimits.bmp.
        w->CmdSaveDisplacement_Click();
        QCOMPARE(QImage(QStringLiteral("W8Limits.bmp")).convertToFormat(QImage::Format_RGB32), before.convertToFormat(QImage::Format_RGB32));
        w->DriverName.clear();
        w->CmdSaveDisplacement_Click();
        QVERIFY(QFile::exists(QStringLiteral("PowerResponseLimits.bmp")));
        QCOMPARE(w->DriverName, QString());
        QCOMPARE(catcher.shown(), QString());
        // The redraw after the save reads the fields again: an emptied power stops it.
        w->DriverName = QStringLiteral("W8");
        act(w.get(), "TxtPower=");
        w->CmdSaveDisplacement_Click();
        settle();
        QCOMPARE(catcher.shown(), QStringLiteral("more"));
        QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabInput));
        // Printing: no message, buttons back, graph redrawn on its tab.
        catcher.clear();
        graphoutput::setPrinterSource(printerTo(folder.path("print.pdf")));
        act(w.get(), "TxtPower=100; tab=1");
        w->CmdPrintDisplacement_Click();
        settle();
        QCOMPARE(catcher.shown(), QString());
        QVERIFY(QFileInfo(folder.path("print.pdf")).size() > 0);
        QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabDisplacement));
        QVERIFY(w->CmdPrintDisplacement->isVisibleTo(w.get()) && w->CmdSaveDisplacement->isVisibleTo(w.get()));
        QCOMPARE(w->PicDisplacementLimit->image(), before);
    }

    void crossoverReadoutAndPlan()
    {
        InTempFolder folder;
        auto w = freshWindow();
        // The middle of the axis, x = (48 + 616) / 2 = 332, is sqrt(20 x 20,000) = 632 Hz; y = 237 is
        // 6 - (237 - 48) / 9 = -15 dB.
        QMouseEvent move(QEvent::MouseMove, QPointF(332, 237), w->Picture1->mapToGlobal(QPointF(332, 237)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w->Picture1, &move);
        // Below the plot (its bottom edge at y = 426) the readout keeps its values.
        QMouseEvent below(QEvent::MouseMove, QPointF(332, 440), w->Picture1->mapToGlobal(QPointF(332, 440)), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w->Picture1, &below);
        QCOMPARE(shown(w.get(), "TxtCrossoverFreqXNum; TxtCrossoverYNum"), QStringLiteral("TxtCrossoverFreqXNum=632 Hz; TxtCrossoverYNum=-15.0 dB"));
        // The plan is saved after the driver, or as CrossoverPlan.bmp for an unnamed one.
        QVERIFY(w->PicCrossoverPlan->texts().contains("No crossover has been calculated yet."));
        QCOMPARE(shown(w.get(), "CmdSavePlan; CmdPrintPlan"), QStringLiteral("CmdSavePlan=off; CmdPrintPlan=off"));
        MessageCatcher catcher;
        act(w.get(), "tab=3; TxtZ=8; Text2=8; Text3=3000; Text4=3000; OptCrossoverType(0); CmdCalculateCrossover; tab=4; CmdSavePlan");
        w->DriverName = "W8";
        act(w.get(), "CmdSavePlan");
        w->DriverName = "a/b";
        act(w.get(), "CmdSavePlan");
        settle();
        QCOMPARE(entries(), (QStringList{"CrossoverPlan.bmp", "W8Plan.bmp"}));
        QCOMPARE(catcher.shown(), QStringLiteral("Error: The image could not be saved to a/bPlan.bmp."));
    }
};

QTEST_MAIN(TestGraphs)
#include "tst_graphs.moc"
