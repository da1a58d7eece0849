// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures: the drawing surface (crisp lines on the logical pixel at every pixel scale, text
// rows, persistence, clearing), the bitmap writer, and the frequency-response, displacement-limits
// and crossover graphs through the window: what they draw, the readout under the pointer, saving
// and printing. Levels are worked out from the transfer functions, independently of the code.

#include "TestSupport.h"
#include "app/AnalysisTab.h"
#include "crossover/CrossoverCore.h"
#include "graphs/GraphCanvas.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphOutput.h"
#include "graphs/GraphPicture.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QMouseEvent>
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
    w->State.DriverName = QStringLiteral("W8");
    w->State.Fs = 30, w->State.Qts = 0.4, w->State.Vas = 3, w->State.Qtc = 0.707, w->State.Fc = 53, w->State.F3Sealed = 53, w->State.VbSealed = 1.41;
    w->State.Fb = 30, w->State.F3Vented = 32, w->State.VbVented = 2.5, w->State.PeakdBVented = 0.5, w->State.PeakFreqVented = 45;
    w->State.SPL = 88.3, w->State.EBP = 66.7;
    for (int f = 10; f <= 500; ++f)
        w->State.VentedResponse[f] = ventedDb(f);
    w->ButtonsOn();
    return w;
}

// The displacement handler's driver: Qes 0.4374 gives 2.7e-8 * 30^3 * 3 / 0.4374 = 0.005, and Vd
// 0.1 litres = 1e-4 cubic metres; 100 W at 0.5 % is SPLMax 109.19 dB.
std::unique_ptr<FrmKelvane> limitsWindow(const QString &power = QStringLiteral("100"), double qts = 0.4)
{
    auto w = sampleWindow();
    w->State.Qts = qts;
    w->State.Qtc = qts < 1 ? 0.707 : qts + 0.1;
    w->State.Recommendation = QStringLiteral("  A SEALED BOX IS PROBABLY BEST FOR THIS DRIVER");
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

constexpr int Red = 4, Grey = 8, Blue = 9, Magenta = 13;
constexpr int Frequency = 0, Limits = 1, NoEfficiency = 2, Crossover = 3; // the readouts' pictures

// The three pictures saved and printed the same way: the step that brings each to the front, its
// buttons, and the tab a redraw after saving from another tab leaves in front (the plan's none).
struct Graph {
    const char *draw;
    GraphPicture *(*picture)(FrmKelvane *);
    QPushButton *(*save)(FrmKelvane *);
    QPushButton *(*print)(FrmKelvane *);
    FrmKelvane::Tab redrawnOn;
};
using F = FrmKelvane;
const Graph Graphs[] = {
    {"CmdFrequency", [](F *w) { return w->Frequency->PicFrequency; }, [](F *w) { return w->Frequency->CmdSave; },
     [](F *w) { return w->Frequency->CmdPrintFreq; }, F::TabFrequency},
    {"CmdDisplacement", [](F *w) { return w->Displacement->PicDisplacementLimit; },
     [](F *w) { return w->Displacement->CmdSaveDisplacement; }, [](F *w) { return w->Displacement->CmdPrintDisplacement; },
     F::TabDisplacement},
    {"tab=4", [](F *w) { return w->CrossoverPlans->PicCrossoverPlan; }, [](F *w) { return w->CrossoverPlans->CmdSavePlan; },
     [](F *w) { return w->CrossoverPlans->CmdPrintPlan; }, F::TabBoxModel}};

// All three pictures drawn for the named driver (a crossover of 3 kHz into 8 ohms), `g` in front.
std::unique_ptr<FrmKelvane> graphWindow(const Graph &g, const QString &name = QStringLiteral("W8"))
{
    auto w = limitsWindow();
    w->State.DriverName = name;
    act(w.get(), "tab=3; TxtZ=8; Text2=8; Text3=3000; Text4=3000; OptCrossoverType(0); CmdCalculateCrossover; "
                 "CmdFrequency; " + QString::fromLatin1(g.draw));
    return w;
}

// All five pictures drawn for the W8 driver with a fourth-order crossover and a Zobel network, the
// Analysis tab on the cone excursion at 100 W, the Crossover tab in front.
std::unique_ptr<FrmKelvane> everyPictureWindow()
{
    auto w = limitsWindow();
    act(w.get(), "TxtSd=220; TxtXmax=5; tab=3; TxtRe=6.4; TxtL=0.5; TxtZ=8; Text1=1200; Text2=6; Text3=2500; Text4=2500; "
                 "OptCrossoverType(4); CmdCalculateCrossover; CmdFrequency; tab=7; tab=3");
    w->Analysis->CboAnalysisGraph->setCurrentIndex(2);
    return w;
}

// SHA-1 of the picture's 640 x 480 pixels as shown.
QByteArray pixelHash(const GraphPicture *pic)
{
    const QImage image = pic->image().convertToFormat(QImage::Format_RGB32);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int y = 0; y < image.height(); ++y)
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 4));
    return hash.result().toHex();
}

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
            pic.setDrawing([](GraphCanvas &c) {
                c.setLineWidth(2);
                c.box(48, 24, 549, 304, Red);
                c.pset(200, 200, Magenta);
                c.setLineWidth(1);
                c.line(49, 104, 548, 104, Grey);
                c.line(342.73, 125, 342.73, 303, Grey);
            });
            const QImage img = pic.renderImage(s);
            QCOMPARE(img.size(), QSize(640 * s, 480 * s));
            // Device pixels expected in a colour: {x, y, colour}; -1 is white.
            const int last = s - 1, expected[][3] = {
                {49 * s, 104 * s, Grey}, {548 * s + last, 104 * s + last, Grey}, {300 * s, 104 * s - 1, -1},
                {300 * s, 105 * s, -1}, {47 * s, 200 * s, Red}, {48 * s + last, 200 * s, Red}, {49 * s, 200 * s, -1},
                {47 * s - 1, 200 * s, -1}, {343 * s, 200 * s, Grey}, {342 * s + last, 200 * s, -1},
                {47 * s, 23 * s, Red}, {199 * s, 199 * s, Magenta}, {201 * s, 200 * s, -1}};
            for (const auto &[x, y, colour] : expected)
                QVERIFY2(QColor(img.pixel(x, y)) == (colour < 0 ? QColor(Qt::white) : GraphPicture::paletteColor(colour)),
                         qPrintable(QStringLiteral("scale %1 at %2, %3").arg(s).arg(x).arg(y)));
        }
    }

    void textRowsRepaintAndClear()
    {
        GraphCanvas rows;
        rows.print(QStringLiteral("first"));
        rows.print(QString());
        QCOMPARE(rows.currentY(), 2 * GraphCanvas::RowHeight);
        // Column 10 of an 8-point line is 9 average characters of 4.7 units from the edge.
        rows.tab(10);
        QCOMPARE(rows.currentX(), 9 * 4.7);
        rows.printPart(QStringLiteral("10"));
        QCOMPARE(rows.currentX(), 9 * 4.7 + GraphCanvas::textWidth(QStringLiteral("10")));
        // Rows about 12 units apart, as 8-point text on the 640 x 480 scale, and the font fits a row.
        QVERIFY(GraphCanvas::RowHeight >= 11.5 && GraphCanvas::RowHeight <= 12.5);
        QVERIFY(QFontMetricsF(GraphCanvas::textFont()).height() <= GraphCanvas::RowHeight);
        // Text stays inside its row.
        GraphPicture text;
        text.setDrawing([](GraphCanvas &c) { c.drawText(10, 10, QStringLiteral("W8 -10 dB"), 0); });
        const int below = 11 + int(GraphCanvas::RowHeight);
        QVERIFY(has(&text, 10, 10, 70, below - 1, -1));
        QVERIFY(blank(&text, 0, 8, 200, 8) && blank(&text, 0, below, 200, below));
        // The picture survives repaints, and is never smaller than 640 x 480, on screen as in its image.
        GraphPicture pic;
        pic.setDrawing([](GraphCanvas &c) { c.box(48, 24, 549, 304, Red); });
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
        // Clearing blanks it; points at nowhere are not drawn.
        pic.clear();
        QVERIFY(blank(&pic, 0, 0, 639, 479));
        pic.setDrawing([](GraphCanvas &c) {
            c.line(0, 0, qQNaN(), 10, 0);
            c.pset(qInf(), 10, 0);
            c.line(-1e30, -1e30, -1e29, -1e30, 0);
        });
        QVERIFY(blank(&pic, 0, 0, 639, 479));
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
            w->State.Vas = vas;
            w->State.Fc = fc;
            const QImage before = w->Frequency->PicFrequency->image();
            MessageCatcher catcher;
            w->CmdFrequency_Click();
            settle();
            QCOMPARE(catcher.shown(), QLatin1String(message));
            QCOMPARE(w->Frequency->PicFrequency->image(), before);
            if (vas == 0)
                QCOMPARE(shown(w.get(), "tab; focus"), QStringLiteral("tab=0; focus=TxtFs"));
        }
    }

    void frequencyDrawn()
    {
        auto w = sampleWindow();
        w->State.PeakdBSealed = 0.3; // replaced: Qtc below 1/sqrt(2) has no peak
        act(w.get(), "tab=1; CmdFrequency");
        QCOMPARE(shown(w.get(), "tab; focus"), QStringLiteral("tab=5; focus=CmdDisplacement"));
        QCOMPARE(w->State.PeakdBSealed, 0.0);
        QCOMPARE(w->State.PeakFreqSealed, 53.0);
        // What is drawn is held pixel for pixel by picturesAtBaseSize.
        QCOMPARE(w->State.VentedResponse[12], -25.0); // clipped at the floor where drawn
        // The readout follows a real pointer: the picture is 640 x 480 pixels for 640 x 480 units.
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::mouseMove(w->Frequency->PicFrequency, QPoint(200, 150));
        settle();
        QCOMPARE(shown(w.get(), "TxtFreqXNum; TxtSPLYNum"), QStringLiteral("TxtFreqXNum=32.8 Hz; TxtSPLYNum=-5.8 dB"));
    }

    // Each picture goes to the current folder as the bitmap of itself, under the driver's name, which
    // itself never changes, and is then redrawn, identically, on its tab; a name that would not make
    // a plain file there is refused, a folder in the way fails the write.
    void graphSaved_data()
    {
        QTest::addColumn<int>("graph");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("saved");
        QTest::newRow("named driver") << 0 << "W8" << "W8Frequency.bmp" << true;
        QTest::newRow("unnamed driver") << 0 << "" << "FrequencyResponseFrequency.bmp" << true;
        QTest::newRow("like the placeholder") << 0 << "FrequencyResponse" << "FrequencyResponseFrequency.bmp" << true;
        QTest::newRow("every sign admitted") << 0 << "Big 12.5 'Pro'_x-1" << "Big 12.5 'Pro'_x-1Frequency.bmp" << true;
        QTest::newRow("leading points") << 0 << ".." << "..Frequency.bmp" << true;
        for (const QString &bad : {QStringLiteral("a/b"), QStringLiteral("../escape"), QStringLiteral("..\\x"),
                                   QStringLiteral("W8\tx"), QStringLiteral("W8") + QChar(0x7f), QString(300, u'W')})
            QTest::newRow(qPrintable("refused " + bad.left(12))) << 0 << bad << bad + "Frequency.bmp" << false;
        QTest::newRow("a folder in the way") << 0 << "W8" << "W8Frequency.bmp" << false;
        QTest::newRow("limits") << 1 << "W8" << "W8Limits.bmp" << true;
        QTest::newRow("limits, unnamed driver") << 1 << "" << "PowerResponseLimits.bmp" << true;
        QTest::newRow("crossover plan") << 2 << "W8" << "W8Plan.bmp" << true;
        QTest::newRow("crossover plan, unnamed driver") << 2 << "" << "CrossoverPlan.bmp" << true;
        QTest::newRow("crossover plan, refused") << 2 << "a/b" << "a/bPlan.bmp" << false;
    }
    void graphSaved()
    {
        const Graph &g = Graphs[fetch<int>("graph")];
        const QString name = fetch<QString>("name"), file = fetch<QString>("file");
        const bool saved = fetch<bool>("saved");
        InTempFolder root;
        QDir().mkdir(QStringLiteral("work"));
        QDir::setCurrent(QStringLiteral("work"));
        if (!saved)
            QVERIFY(QDir().mkdir(QStringLiteral("a")) && QDir().mkdir(QStringLiteral("W8Frequency.bmp")));
        auto w = graphWindow(g, name);
        const QImage before = g.picture(w.get())->image();
        MessageCatcher catcher;
        act(w.get(), "tab=1");
        g.save(w.get())->click();
        settle();
        QCOMPARE(catcher.shown(), saved ? QString() : "Error: The image could not be saved to " + file + ".");
        QCOMPARE(entries(), saved ? QStringList{file} : QStringList({"W8Frequency.bmp", "a"}));
        QVERIFY(entries("a").isEmpty() && entries("W8Frequency.bmp").isEmpty());
        QCOMPARE(entries(root.path()), QStringList{"work"});
        QCOMPARE(w->State.DriverName, name);
        QCOMPARE(g.picture(w.get())->image(), before);
        if (saved) { // the bitmap is the picture itself (its format is the bitmap writer's, tested above)
            QCOMPARE(QImage(file, "BMP").convertToFormat(before.format()), before);
            QCOMPARE(w->SSTab->currentIndex(), int(g.redrawnOn));
        }
    }

    // The picture's two buttons are hidden while the window is printed and shown again after,
    // whatever happened; a printed graph is redrawn on its tab.
    void graphPrinted_data()
    {
        QTest::addColumn<int>("graph");
        QTest::addColumn<QString>("steps"); // before the print
        QTest::addColumn<QString>("pdf"); // empty: no printer
        QTest::newRow("frequency") << 0 << "" << "page.pdf";
        QTest::newRow("no printer") << 0 << "" << "";
        QTest::newRow("printer cannot open its output") << 0 << "" << "missing/folder/page.pdf";
        QTest::newRow("limits, from another tab") << 1 << "tab=1" << "page.pdf";
        QTest::newRow("crossover plan") << 2 << "" << "page.pdf";
    }
    void graphPrinted()
    {
        InTempFolder folder;
        const Graph &g = Graphs[fetch<int>("graph")];
        const QString pdf = fetch<QString>("pdf").isEmpty() ? QString() : folder.path(fetch<QString>("pdf"));
        auto w = graphWindow(g);
        QPushButton *save = g.save(w.get()), *print = g.print(w.get());
        const QImage before = g.picture(w.get())->image();
        act(w.get(), fetch<QString>("steps"));
        bool buttonsShown = false;
        graphoutput::setPrinterSource([&]() -> std::unique_ptr<QPrinter> {
            buttonsShown = save->isVisible() || print->isVisible();
            return pdf.isEmpty() ? nullptr : pdfPrinter(pdf);
        });
        MessageCatcher catcher;
        print->click();
        settle();
        const bool printed = fetch<QString>("pdf") == QLatin1String("page.pdf");
        QCOMPARE(catcher.shown(), printed ? QString() : QStringLiteral("print"));
        QVERIFY(!buttonsShown);
        QVERIFY(save->isVisibleTo(w.get()) && print->isVisibleTo(w.get()));
        QCOMPARE(g.picture(w.get())->image(), before);
        QCOMPARE(w->State.DriverName, QStringLiteral("W8"));
        if (printed) {
            QFile out(pdf);
            QVERIFY(out.open(QIODevice::ReadOnly) && out.size() > 1000 && out.read(4) == "%PDF");
            QVERIFY(w->SSTab->currentWidget()->isAncestorOf(g.picture(w.get())));
        }
        if (printed && g.redrawnOn == FrmKelvane::TabFrequency)
            QCOMPARE(w->focusWidget(), w->BoxModel->CmdDisplacement);
    }

    void limitsRefused_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no Qes") << "TxtQes=; CmdDisplacement" << "TxtQes";
        QTest::newRow("no power") << "TxtPower=; CmdDisplacement" << "TxtPower";
        QTest::newRow("Vd 0") << "TxtVd=0; CmdDisplacement" << "TxtVd";
        QTest::newRow("Qes checked before power") << "TxtQes=; TxtPower=; TxtVd=; CmdDisplacement" << "TxtQes";
        // The redraw after a save reads the fields again.
        QTest::newRow("power emptied before a save") << "CmdDisplacement; TxtPower=; CmdSaveDisplacement" << "TxtPower";
    }
    void limitsRefused()
    {
        InTempFolder folder;
        auto w = sampleWindow();
        w->State.Power = 50; // an earlier power does not count: the field is read again
        MessageCatcher catcher;
        act(w.get(), "TxtQes=0.45; TxtPower=100; TxtVd=0.1; tab=1; " + fetch<QString>("steps"));
        settle();
        QCOMPARE(catcher.shown(), QStringLiteral("more"));
        QCOMPARE(shown(w.get(), "tab; focus"), "tab=0; focus=" + fetch<QString>("focus"));
        if (!fetch<QString>("steps").contains(QLatin1String("Save")))
            QVERIFY(blank(w->Displacement->PicDisplacementLimit, 0, 0, 639, 479));
    }

    void limitsDrawn()
    {
        auto w = limitsWindow();
        // 100 W at 0.5 %: SPLMax 109.19 dB; Qtc 0.707 takes the first coefficient formula, 0.42394.
        const double splMax = 109.18970004336019, kp = 0.4239437832116874e-8;
        QVERIFY(qAbs(w->State.SPLMax - splMax) < 1e-9);
        // Pa(100) vented = 100^4 * 3 * 1e-8 = 3 W, above the thermal limit: 0 after drawing.
        QVERIFY(qAbs(w->State.PaVented[100] - 3.0) < 1e-12);
        QCOMPARE(w->State.SPLVentedLimit[100], 0.0);
        // Sealed at 20 Hz: Pa = 160000 * 0.42394e-8 W, -28.68 dB relative.
        QVERIFY(qAbs(w->State.SPLSealedLimit[20] - (10 * std::log10(160000 * kp) + 112.2 - splMax)) < 1e-9);
        // What is drawn is held pixel for pixel by picturesAtBaseSize.
    }

    void limitsLabelsAndExtremes()
    {
        // The widest watt labels ("10000 Watts", "1000.0 Watts") stand right of the frame, level with
        // their grid lines, clear of the frame line's own columns and the picture's last ones.
        auto wide = limitsWindow(QStringLiteral("10000"));
        for (int gridY : {64, 144, 224}) {
            QVERIFY(has(wide->Displacement->PicDisplacementLimit, 553, gridY - 4, 639, gridY + 4, -1));
            QVERIFY(blank(wide->Displacement->PicDisplacementLimit, 636, gridY - 6, 639, gridY + 6));
            QVERIFY(blank(wide->Displacement->PicDisplacementLimit, 551, gridY - 6, 552, gridY + 6));
            QVERIFY(blank(wide->Displacement->PicDisplacementLimit, 553, gridY - 14, 639, gridY - 8));
        }
        // 0.0001 W: SPLMax = 10 log10(5e-7) + 112.2 = 49.2 dB, below even the sealed box's 68.5 dB at
        // 10 Hz: both curves flat on the thermal-limit line, the sealed one drawn over the vented.
        auto low = limitsWindow(QStringLiteral("0.0001"));
        const GraphPicture *pic = low->Displacement->PicDisplacementLimit;
        for (int x : {48, 100, 300, 500, 548})
            QVERIFY(has(pic, x, 62, x, 66, Magenta));
        QVERIFY(!has(pic, 49, 68, 548, 303, Magenta) && !has(pic, 49, 68, 548, 303, Blue) && !has(pic, 53, 68, 547, 302, Red));
        QVERIFY(low->State.SPLSealedLimit[10] == 0.0 && low->State.SPLVentedLimit[499] == 0.0);
        // Qts 1.1 and above: no reference box, one line instead of two.
        for (double qts : {1.1, 1.4}) {
            auto w = limitsWindow(QStringLiteral("100"), qts);
            QCOMPARE(w->State.VbQtc11, 0.0);
            QVERIFY(has(w->Displacement->PicDisplacementLimit, 0, 400, 400, 411, -1) && blank(w->Displacement->PicDisplacementLimit, 0, 412, 639, 424));
        }
    }

    void readouts_data()
    {
        QTest::addColumn<int>("graph");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<QString>("shows");
        // Frequency response: f = 10 e^(X/128 - 0.375), L = 13 - Y/8, worked out by hand; on the
        // frame nothing changes.
        const QString freq = QStringLiteral("TxtFreqXNum=%1; TxtSPLYNum=%2");
        QTest::newRow("on left edge") << Frequency << 48.0 << 104.0 << freq.arg("Hz", "dB");
        QTest::newRow("on right edge") << Frequency << 549.0 << 104.0 << freq.arg("Hz", "dB");
        QTest::newRow("on bottom edge") << Frequency << 300.0 << 304.0 << freq.arg("Hz", "dB");
        QTest::newRow("just right of the left edge") << Frequency << 48.01 << 104.0 << freq.arg("10.0 Hz", "0.0 dB");
        QTest::newRow("100 Hz at +5 dB") << Frequency << 342.7309 << 64.0 << freq.arg("100.0 Hz", "5.0 dB");
        QTest::newRow("just inside top") << Frequency << 200.0 << 24.01 << freq.arg("32.8 Hz", "10.0 dB");
        QTest::newRow("just inside bottom right") << Frequency << 548.99 << 303.99 << freq.arg("501.0 Hz", "-25.0 dB");
        QTest::newRow("half a tenth rounds up") << Frequency << 400.0 << 150.0 << freq.arg("156.4 Hz", "-5.8 dB");
        // Limits, same frequency scale: y = 64 reads SPLMax (109.19 dB), 8 units a dB; the watts are
        // 10^((L - 112.2) / 10) / 0.005: 100 W at the thermal limit, 10 W 10 dB below it, and
        // 10^(4.24 / 10) * 200 = 266.07 W at 113.44 dB (y = 30).
        const QString limits = QStringLiteral("TxtFreqPowerXNum=%1; TxtSPLpowerYNum=%2; TxtSPLpowerYwattsNum=%3");
        QTest::newRow("limits on left edge") << Limits << 48.0 << 64.0 << limits.arg("Hz", "dB", "Watts");
        QTest::newRow("thermal limit") << Limits << 176.0 << 64.0 << limits.arg("27.2 Hz", "109.2 dB", "100.0 Watts");
        QTest::newRow("10 dB below") << Limits << 342.73 << 144.0 << limits.arg("100.0 Hz", "99.2 dB", "10.0 Watts");
        QTest::newRow("right edge") << Limits << 548.9 << 30.0 << limits.arg("500.6 Hz", "113.4 dB", "266.1 Watts");
        // Before a calculation the watts cannot be worked out: silently left alone.
        QTest::newRow("no efficiency") << NoEfficiency << 176.0 << 64.0 << limits.arg("27.2 Hz", "109.2 dB", "Watts");
        // Crossover: the middle of the axis, x = (48 + 616) / 2 = 332, is sqrt(20 x 20,000) = 632 Hz;
        // y = 237 is 6 - (237 - 48) / 9 = -15 dB; the plot's edges are x = 48, 616 and y = 48, 426.
        const QString crossover = QStringLiteral("TxtCrossoverFreqXNum=%1; TxtCrossoverYNum=%2");
        QTest::newRow("crossover at -15 dB") << Crossover << 332.0 << 237.0 << crossover.arg("632 Hz", "-15.0 dB");
        QTest::newRow("crossover on bottom edge") << Crossover << 332.0 << 426.0 << crossover.arg("Hz", "dB");
        QTest::newRow("crossover left of the plot") << Crossover << 20.0 << 237.0 << crossover.arg("Hz", "dB");
    }
    void readouts()
    {
        const int graph = fetch<int>("graph");
        auto w = sampleWindow();
        GraphPicture *pics[] = {w->Frequency->PicFrequency, w->Displacement->PicDisplacementLimit, w->Displacement->PicDisplacementLimit, w->Crossover->Picture1};
        w->State.SPLMax = 10 * std::log10(0.5) + 112.2; // 100 W at 0.5 %
        w->State.Efficiency = graph == NoEfficiency ? 0 : 0.005;
        GraphPicture *pic = pics[graph];
        MessageCatcher catcher;
        pic->onMouseMove(fetch<double>("x"), fetch<double>("y"));
        // Leaving the plot keeps the last values; so does drawing the frequency graph.
        pic->onMouseMove(620, 470);
        w->CmdFrequency_Click();
        settle();
        QCOMPARE(catcher.shown(), QString());
        QCOMPARE(shown(w.get(), fetch<QString>("shows")), fetch<QString>("shows"));
    }

    // Every picture at 640 x 480 is the same, pixel for pixel, as before the pictures could grow: the
    // hashes were taken of the pictures as they were drawn then (the Analysis picture's since its notes
    // moved under it).
    void picturesAtBaseSize_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QByteArray>("hash");
        QTest::newRow("frequency response") << "PicFrequency" << QByteArray("5e88406e1e223a907810d7357ce68efbe3b95d24");
        QTest::newRow("displacement limits") << "PicDisplacementLimit" << QByteArray("8f6b9be93bd1ca696de3afeb4ed08b6eb5ac60fe");
        QTest::newRow("crossover plot") << "Picture1" << QByteArray("cce276682bbe8feb315a029b68651ac7c288e17f");
        QTest::newRow("crossover plan") << "PicCrossoverPlan" << QByteArray("be39de3aba08b5537852a703e5a2321131c32c14");
        QTest::newRow("analysis") << "PicAnalysis" << QByteArray("281966c6da96c1191c3649a8109dd3b0be1af8fb");
    }
    void picturesAtBaseSize()
    {
        auto w = everyPictureWindow();
        auto *pic = find<GraphPicture>(w.get(), fetch<QString>("picture"));
        QCOMPARE(pixelHash(pic), fetch<QByteArray>("hash"));
    }

    // The window opens with every picture at 640 x 480. In a 1600 x 1000 window each is larger, in
    // proportion, and a readout at a point of a drawn curve reads that curve at the frequency shown:
    // the sealed box's -7.97 dB at 35 Hz (Fc 53 Hz, Qtc 0.707); the vented box's limit at 25 Hz,
    // 10 log10(3e-8 * 25^4) + 112.2 = 92.89 dB, 10^(-1.931) / 0.005 = 2.34 W; a fourth-order
    // Linkwitz-Riley low-pass at its crossover frequency, -6.02 dB; the Analysis tab's excursion at
    // 100 Hz. Back at the default size, every picture is as it was.
    void picturesGrowWithTheWindow()
    {
        auto w = everyPictureWindow();
        const std::pair<FrmKelvane::Tab, GraphPicture *> pictures[] = {
            {F::TabFrequency, w->Frequency->PicFrequency}, {F::TabDisplacement, w->Displacement->PicDisplacementLimit},
            {F::TabCrossover, w->Crossover->Picture1}, {F::TabCrossoverPlans, w->CrossoverPlans->PicCrossoverPlan},
            {F::TabAnalysis, w->Analysis->PicAnalysis}};
        const QSize standard = w->size();
        QList<QByteArray> hashes;
        for (const auto &[tab, pic] : pictures) {
            w->SSTab->setCurrentIndex(tab);
            QCOMPARE(pic->size(), QSize(640, 480));
            hashes << pixelHash(pic);
        }
        w->resize(1600, 1000);
        settle();
        // The pointer at (x, y) on the picture, in its own units.
        const auto pointAt = [&](GraphPicture *pic, double x, double y) {
            QMouseEvent move(QEvent::MouseMove, QPointF(x, y), pic->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(pic, &move);
        };
        for (const auto &[tab, pic] : pictures) {
            w->SSTab->setCurrentIndex(tab);
            settle();
            QVERIFY2(pic->width() > 1000 && pic->width() * 3 == pic->height() * 4,
                     qPrintable(QStringLiteral("%1 x %2").arg(pic->width()).arg(pic->height())));
            const graphgeo::PlotLayout l = graphgeo::responseLayout(pic->width(), pic->height());
            if (pic == w->Frequency->PicFrequency) {
                pointAt(pic, graphgeo::graphX(l, 35), graphgeo::graphY(l, sealedDb(35)));
                QCOMPARE(shown(w.get(), "TxtFreqXNum; TxtSPLYNum"), QStringLiteral("TxtFreqXNum=35.0 Hz; TxtSPLYNum=-8.0 dB"));
            } else if (pic == w->Displacement->PicDisplacementLimit) {
                const double level = 10 * std::log10(3e-8 * std::pow(25.0, 4)) + 112.2;
                pointAt(pic, graphgeo::graphX(l, 25), graphgeo::limitY(l, level - w->State.SPLMax));
                QCOMPARE(shown(w.get(), "TxtFreqPowerXNum; TxtSPLpowerYNum; TxtSPLpowerYwattsNum"),
                         QStringLiteral("TxtFreqPowerXNum=25.0 Hz; TxtSPLpowerYNum=92.9 dB; TxtSPLpowerYwattsNum=2.3 Watts"));
            } else if (pic == w->Crossover->Picture1) {
                namespace plot = crossover::plot;
                const graphgeo::PlotLayout c = graphgeo::plotLayout(pic->width(), pic->height(), plot::Left, plot::Top,
                                                                    plot::Right, plot::Bottom);
                pointAt(pic, c.x(plot::x(2500)), c.y(plot::y(20 * std::log10(0.5))));
                QCOMPARE(shown(w.get(), "TxtCrossoverFreqXNum; TxtCrossoverYNum"),
                         QStringLiteral("TxtCrossoverFreqXNum=2,500 Hz; TxtCrossoverYNum=-6.0 dB"));
            } else if (pic == w->Analysis->PicAnalysis) {
                const auto &curves = w->Analysis->shownData().curves;
                const auto axis = kelvane::analysis::axisFor(kelvane::analysis::Graph::Excursion, w->Analysis->shownData());
                pointAt(pic, graphgeo::graphX(l, 100), l.y(kelvane::analysis::axisY(axis, curves[0][100])));
                QCOMPARE(w->Analysis->TxtAnalysisXNum->text(), QStringLiteral("100 Hz"));
                QCOMPARE(w->Analysis->TxtAnalysisSealedNum->text(),
                         kelvane::analysis::valueText(kelvane::analysis::Graph::Excursion, curves[0][100]));
            }
        }
        w->resize(standard);
        settle();
        for (int i = 0; i < 5; ++i) {
            w->SSTab->setCurrentIndex(pictures[i].first);
            QCOMPARE(pictures[i].second->size(), QSize(640, 480));
            QCOMPARE(pixelHash(pictures[i].second), hashes[i]);
        }
    }
};

QTEST_MAIN(TestGraphs)
#include "tst_graphs.moc"
