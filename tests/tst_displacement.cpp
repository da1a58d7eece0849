// The displacement-limits graph: the excursion-limited output of both boxes against the thermal
// limit, its notes, the mouse readout, and the window handler's checks and drawing.
//
// Expected figures were worked out by hand from the formulas (Python double arithmetic where many
// digits are needed), not by the code under test.

#include "TestSupport.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "graphs/DisplacementCore.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphOutput.h"
#include "graphs/GraphPicture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QRadioButton>
#include <QTabWidget>
#include <cmath>

using namespace testsupport;
using namespace displacement;

namespace {

bool near(double a, double b, double relative = 1e-12)
{
    return std::abs(a - b) <= relative * std::max(std::abs(a), std::abs(b));
}

// The driver used by the window tests, set directly into the shared values as a calculation
// would leave them: Fs 30 Hz, Qts 0.4, Vas 3 cubic feet, a sealed box of Qtc 0.707. The
// displacement handler works out the efficiency again from Qes 0.4374:
// 2.7e-8 * 30^3 * 3 / 0.4374 = 0.005, and Vd from the Vd field: 0.1 litres = 1e-4 cubic metres.
void setUpDriver(FrmKelvane &w)
{
    w.DriverName = QStringLiteral("W8");
    w.Fs = 30;
    w.Qts = 0.4;
    w.Vas = 3;
    w.Qtc = 0.707;
    w.Recommendation = QStringLiteral("  A SEALED BOX IS PROBABLY BEST FOR THIS DRIVER");
    w.TxtQes->setText(QStringLiteral("0.4374"));
    w.TxtPower->setText(QStringLiteral("100"));
    w.TxtVd->setText(QStringLiteral("0.1"));
}

QColor pixel(const GraphPicture *pic, int x, int y)
{
    const int s = pic->pixelScale();
    return pic->image().pixelColor(x * s + s / 2, y * s + s / 2);
}

// True when some pixel of the logical rectangle satisfies the test.
template <typename Test>
bool anyPixel(const GraphPicture *pic, int x1, int y1, int x2, int y2, Test test)
{
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            if (test(pixel(pic, x, y)))
                return true;
    return false;
}

// Some pixel has exactly the palette colour.
bool hasColour(const GraphPicture *pic, int x1, int y1, int x2, int y2, int paletteIndex)
{
    return anyPixel(pic, x1, y1, x2, y2, [&](QColor c) { return c == GraphPicture::paletteColor(paletteIndex); });
}

// Some pixel is dark (text ink: no channel above 160).
bool hasInk(const GraphPicture *pic, int x1, int y1, int x2, int y2)
{
    return anyPixel(pic, x1, y1, x2, y2, [](QColor c) { return c.red() < 160 && c.green() < 160 && c.blue() < 160; });
}

bool blank(const GraphPicture *pic, int x1, int y1, int x2, int y2)
{
    return !anyPixel(pic, x1, y1, x2, y2, [](QColor c) { return c != QColor(Qt::white); });
}

// The handler run on a fresh window holding the sample driver, messages caught.
std::unique_ptr<FrmKelvane> drawnWindow(const QString &power = QStringLiteral("100"), double qts = 0.4,
                                        double qtc = 0.707)
{
    auto w = freshWindow();
    setUpDriver(*w);
    w->TxtPower->setText(power);
    w->Qts = qts;
    w->Qtc = qtc;
    MessageCatcher catcher;
    w->CmdDisplacement_Click();
    settle();
    QTest::qVerify(catcher.messages().isEmpty(), "no message", qPrintable(catcher.texts().join(u'|')),
                   __FILE__, __LINE__);
    return w;
}

} // namespace

class TestDisplacement : public QObject
{
    Q_OBJECT

private slots:
    // Pure core
    void sealedCoefficientAroundTheBoundary_data();
    void sealedCoefficientAroundTheBoundary();
    void referenceBoxOfQtc11();
    void noteLines_data();
    void noteLines();
    void levelRowTexts();
    void curveWithoutStartingPoint();

    // Window
    void checksStopWithFocus_data();
    void checksStopWithFocus();
    void drawsFrameCurvesAndFields();
    void wattLabelsStandInTheRightMargin();
    void veryLowPowerDrawsBothCurvesFlat();
    void qtsAbove11DrawsWithoutReferenceBox();
    void readoutThroughTheWindow();
    void readoutTrapsFailuresSilently();
    void saveAndPrintRedraw();
    void endToEndThroughTheWindow_data();
    void endToEndThroughTheWindow();
};

// ---------------------------------------------------------------- pure core

void TestDisplacement::sealedCoefficientAroundTheBoundary_data()
{
    QTest::addColumn<double>("qtc");
    QTest::addColumn<bool>("peaks");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("kp");
    // X = (r + sqrt(r^2 + 4)) / 2 with r = 1/Qtc^2 - 2; Kp = 0.4242 / X^2, or for Qtc > 1/sqrt(2)
    // 0.4242 / (X^2 Qtc^4 / (Qtc^2 - 0.25)).
    QTest::newRow("0.5 first formula") << 0.5 << false << 2.414213562373095 << 0.07278121368266617;
    // 0.707 by the second formula would give 0.42394374452295414: the two differ in the 8th digit.
    QTest::newRow("0.707 first formula") << 0.707 << false << 1.0003021368611071 << 0.4239437832116874;
    QTest::newRow("exactly 1/sqrt(2): X = 1, Kp = 0.4242")
        << 0.7071067811865475 << false << 1.0 << 0.4242;
    // 0.7072 by the first formula would give 0.42442370610422536.
    QTest::newRow("0.7072 second formula") << 0.7072 << true << 0.9997364242540591 << 0.4244236766108137;
    // X = (sqrt 5 - 1) / 2, peak factor 1 / 0.75.
    QTest::newRow("1.0 second formula") << 1.0 << true << 0.6180339887498949 << 0.8329275135207789;
}

void TestDisplacement::sealedCoefficientAroundTheBoundary()
{
    const double qtc = fetch<double>("qtc");
    QCOMPARE(sealedResponsePeaks(qtc), fetch<bool>("peaks"));
    QVERIFY2(near(cutoffRatioSquared(qtc), fetch<double>("x"), 1e-14), qPrintable(QString::number(cutoffRatioSquared(qtc), 'g', 17)));
    QVERIFY2(near(sealedCoefficient(qtc), fetch<double>("kp"), 1e-14), qPrintable(QString::number(sealedCoefficient(qtc), 'g', 17)));
}

void TestDisplacement::referenceBoxOfQtc11()
{
    // X1 for Qtc 1.1: r1 = 1/1.21 - 2, X1 = 0.572666..., sqrt(X1) = 0.756747...
    QVERIFY(std::abs(cutoffRatioSquared(1.1) - 0.572666) < 1e-6);
    QVERIFY(std::abs(std::sqrt(cutoffRatioSquared(1.1)) - 0.756747) < 1e-6);
    // Fs 30, Qts 0.4, Vas 3 ft^3, Vd 1e-4 m^3, efficiency 0.005:
    // alpha = 2.75^2 - 1 = 6.5625, Fc = 82.5, F3 = 0.7567468 * 82.5 = 62.43161,
    // Vb = 3 / 6.5625 = 0.457143, Pa = 0.85 F3^4 Vd^2 = 0.129133, P = Pa / 0.005 = 25.8266.
    const ReferenceBox b = referenceBox(30, 0.4, 3, 1e-4, 0.005);
    QVERIFY(b.exists);
    QVERIFY(near(b.alpha, 6.5625));
    QVERIFY(near(b.fc, 82.5));
    QVERIFY(near(b.f3, 62.4316107480493, 1e-13));
    QVERIFY(near(b.vb, 0.45714285714285713));
    QVERIFY(near(b.acousticPower, 0.12913295389541396, 1e-12));
    QVERIFY(near(b.power, 25.826590779082792, 1e-12));
    // At Qts 1.1 alpha is 0 (a division by zero for the volume); above it negative: no box.
    for (double qts : {1.1, 1.3}) {
        const ReferenceBox none = referenceBox(30, qts, 3, 1e-4, 0.005);
        QVERIFY(!none.exists);
        QCOMPARE(none.vb, 0.0);
        QVERIFY(std::isfinite(none.power));
    }
    QVERIFY(referenceBox(30, 1.0999, 3, 1e-4, 0.005).exists);
    // A zero efficiency has no thermal-limit level (the window's own checks keep it from happening).
    QVERIFY_THROWS_EXCEPTION(kelvane::CalcFault, displacement::thermalLimit(100, 0));
}

void TestDisplacement::noteLines_data()
{
    QTest::addColumn<double>("qtc");
    QTest::addColumn<double>("qts");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("tail");

    const QString maxLine = QStringLiteral("  Max. cut-off Frequency Power Handling if Qtc=1.1 is 26 Watts");
    // The reference box: F3 62.43 Hz (shown "62.4 Hz "), P 25.83 W, Vb of exactly 1 cubic foot:
    // 28.317 litres (1 / 0.0353145 = 28.3170...) and 0.028 cubic metres (1 / 35.3145 = 0.02832).
    QTest::newRow("cubic feet") << 0.707 << 0.4 << 0
        << QStringList{maxLine, QStringLiteral("  at a cut-off Frequency of 62.4 Hz in a 1.000 Cu. Ft. box")};
    QTest::newRow("litres") << 0.707 << 0.4 << 1
        << QStringList{maxLine, QStringLiteral("  at a cut-off Frequency of 62.4 Hz in a 28.317 l box")};
    QTest::newRow("cubic metres") << 0.707 << 0.4 << 2
        << QStringList{maxLine, QStringLiteral("  at a cut-off Frequency of 62.4 Hz in a 0.028 Cu M box")};
    QTest::newRow("no unit selected") << 0.707 << 0.4 << -1 << QStringList{};
    const double typed11 = *kelvane::parseNumber(QStringLiteral("1.1"));
    QTest::newRow("Qtc typed 1.1") << typed11 << 0.4 << 0
        << QStringList{QStringLiteral("  Qtc=1.1 - This is the Maximum Power Handling for any Qtc cut-off Frequency")};
    const double typedNear = *kelvane::parseNumber(QStringLiteral("1.10000001"));
    QTest::newRow("Qtc typed 1.10000001") << typedNear << 0.4 << 0
        << QStringList{maxLine, QStringLiteral("  at a cut-off Frequency of 62.4 Hz in a 1.000 Cu. Ft. box")};
    QTest::newRow("Qts 1.1: no reference box") << 1.2 << 1.1 << 0 << QStringList{NoReferenceBoxText};
    QTest::newRow("Qts 1.5, no unit: no reference box") << 1.6 << 1.5 << -1 << QStringList{NoReferenceBoxText};
}

void TestDisplacement::noteLines()
{
    NoteInput in;
    in.recommendation = QStringLiteral("  A SEALED BOX IS PROBABLY BEST FOR THIS DRIVER");
    in.spl = 89.24;
    in.estimatedNote = QStringLiteral("Estimated, Enter Qes to calculate.");
    in.power = 99.5;
    in.splMax = 109.18970004336019;
    in.qtc = fetch<double>("qtc");
    in.box.exists = fetch<double>("qts") < 1.1;
    in.box.vb = in.box.exists ? 1.0 : 0.0;
    in.box.f3 = 62.4316107480493;
    in.box.power = 25.826590779082792;
    in.volumeUnit = fetch<int>("unit");

    const QStringList head{
        QString(), QString(), in.recommendation,
        QStringLiteral("  Free-Air Efficiency is 89.2 dB      Estimated, Enter Qes to calculate."),
        QString(),
        QStringLiteral("* NOTE - Maximum Thermal Power is 100 Watts"),
        QStringLiteral("* NOTE - Maximum Acoustic Output at this Power is 109.2 dB"),
        QString()};
    QCOMPARE(displacement::noteLines(in), head + fetch<QStringList>("tail"));
}

void TestDisplacement::levelRowTexts()
{
    // Power 100 W labels 100, 10.0 and 1.00 Watts; SPLMax 92.04 labels 92.0, 82.0 and 72.0 dB.
    const auto rows = levelRows(92.04, 100);
    const double gridY[] = {64, 144, 224};
    const char *db[] = {"  92.0 dB", "  82.0 dB", "  72.0 dB"};
    const QString watts[] = {QString(183, u' ') + "100 Watts", QString(185, u' ') + "10.0 Watts",
                             QString(185, u' ') + "1.00 Watts"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(rows[i].gridY, gridY[i]);
        QCOMPARE(rows[i].dbText, QLatin1String(db[i]));
        QCOMPARE(rows[i].wattText, watts[i]);
    }
}

void TestDisplacement::curveWithoutStartingPoint()
{
    // SPLMax 100; the limit climbs 1 dB per hertz from 60 dB (-40) at 10 Hz, so it lies on the
    // -30 dB floor up to 20 Hz and rises above it from 21 Hz.
    Curve s{};
    for (int f = 10; f <= 499; ++f)
        s[f] = 50.0 + f;
    const auto marks = curveMarks(s, 100.0, 13);
    QCOMPARE(int(marks.size()), 489); // no point at 10 Hz, segments 11 ... 499
    QVERIFY(!marks.front().point);
    for (int f = 11; f <= 20; ++f) {
        const CurveMark &m = marks[f - 11];
        QCOMPARE(m.colour, 4); // on the floor: the frame's dark red
        QCOMPARE(m.y1, 304.0);
        QCOMPARE(m.y2, 304.0);
    }
    // 21 Hz is -29 dB: y = 64 + 8 * 29 = 296, drawn back to the floor at 20 Hz in magenta.
    const CurveMark &rise = marks[21 - 11];
    QCOMPARE(rise.colour, 13);
    QCOMPARE(rise.y1, 296.0);
    QCOMPARE(rise.y2, 304.0);
    QCOMPARE(s[10], -30.0);
    QCOMPARE(s[21], -29.0);
    QCOMPARE(s[60], 0.0); // 110 dB clipped at the thermal limit
}

// ---------------------------------------------------------------- window

void TestDisplacement::checksStopWithFocus_data()
{
    for (const char *column : {"qes", "power", "vd", "focus"})
        QTest::addColumn<QString>(column);

    QTest::newRow("no Qes") << "" << "100" << "0.1" << "TxtQes";
    QTest::newRow("Qes 0") << "0" << "100" << "0.1" << "TxtQes";
    QTest::newRow("no power") << "0.45" << "" << "0.1" << "TxtPower";
    // Neither Vd nor cone area nor diameter: Vd stays 0.
    QTest::newRow("no Vd") << "0.45" << "100" << "" << "TxtVd";
    QTest::newRow("Vd 0") << "0.45" << "100" << "0" << "TxtVd";
    QTest::newRow("Qes checked before power") << "" << "" << "" << "TxtQes";
}

void TestDisplacement::checksStopWithFocus()
{
    auto w = freshWindow();
    setUpDriver(*w);
    w->Power = 50; // an earlier power does not count: the field is read again
    w->TxtQes->setText(fetch<QString>("qes"));
    w->TxtPower->setText(fetch<QString>("power"));
    w->TxtVd->setText(fetch<QString>("vd"));
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxModel);
    MessageCatcher catcher;
    w->CmdDisplacement_Click();
    settle();
    QCOMPARE(catcher.messages(), (QList<Message>{{QStringLiteral("Error"), Program::MoreDataNeededText}}));
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabInput));
    QCOMPARE(w->focusWidget(), find(w.get(), fetch<QString>("focus")));
    QVERIFY(blank(w->PicDisplacementLimit, 0, 0, 639, 479));
}

void TestDisplacement::drawsFrameCurvesAndFields()
{
    auto w = drawnWindow();
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabDisplacement));
    // 100 W at 0.5 %: SPLMax 109.19 dB; Qtc 0.707 takes the first coefficient formula, 0.42394.
    QVERIFY(near(w->SPLMax, 109.18970004336019));
    // Pa(100) vented = 100^4 * 3 * 1e-8 = 3 acoustic W; after drawing the level is relative and
    // clipped: 10 log10(3) + 112.2 = 116.97 dB lies above the thermal limit, so 0.
    QVERIFY(near(w->PaVented[100], 3.0));
    QCOMPARE(w->SPLVentedLimit[100], 0.0);
    // Sealed at 20 Hz: Pa = 160000 * 0.42394 * 1e-8 = 6.783e-4 W, 80.51 dB, -28.68 dB relative.
    QVERIFY(near(w->SPLSealedLimit[20], 10 * std::log10(160000 * 0.4239437832116874e-8) + 112.2
                                            - 109.18970004336019, 1e-12));

    const GraphPicture *pic = w->PicDisplacementLimit;
    // The frame: dark red on all four edges, the grey thermal-limit line, a dotted -10 dB line.
    QCOMPARE(pixel(pic, 48, 200), GraphPicture::paletteColor(4));
    QCOMPARE(pixel(pic, 549, 200), GraphPicture::paletteColor(4));
    QCOMPARE(pixel(pic, 55, 64), GraphPicture::paletteColor(8)); // the curves still lie on the floor here
    QCOMPARE(pixel(pic, 304, 144), GraphPicture::paletteColor(8)); // 304 = 49 + 3 * 85
    QCOMPARE(pixel(pic, 305, 144), QColor(Qt::white));
    // The 100 Hz grid line.
    QVERIFY(hasColour(pic, int(graphgeo::graphX(100)) - 1, 230, int(graphgeo::graphX(100)) + 1, 230, 8));

    // Vented curve: at 10 Hz Pa = 3e-4 W, 76.97 dB, -32.2 dB relative: on the floor. At 30 Hz
    // 10 log10(3e-8 * 810000) + 112.2 - 109.19 = -13.14 dB: y = 64 + 105.1 = 169.1.
    const double rel30 = 10 * std::log10(3e-8 * 810000.0) + 112.2 - 109.18970004336019;
    const int x30 = int(graphgeo::graphX(30)), y30 = int(64 - 8 * rel30);
    QVERIFY(hasColour(pic, x30 - 2, y30 - 2, x30 + 2, y30 + 2, 9));
    // It reaches the thermal limit at 63.9 Hz (40 log10 f = 72.22) and stays flat at y = 64; at
    // 80 Hz the sealed curve is still 4.6 dB below.
    const int x80 = int(graphgeo::graphX(80));
    QVERIFY(hasColour(pic, x80 - 1, 62, x80 + 1, 66, 9));
    // Sealed curve at 40 Hz: 10 log10(0.42394e-8 * 2.56e6) + 112.2 - 109.19 = -16.63 dB: y = 197.
    const double rel40 = 10 * std::log10(0.4239437832116874e-8 * 2560000.0) + 112.2 - 109.18970004336019;
    const int x40 = int(graphgeo::graphX(40)), y40 = int(64 - 8 * rel40);
    QVERIFY(hasColour(pic, x40 - 2, y40 - 2, x40 + 2, y40 + 2, 13));
    // The sealed curve reaches the thermal limit at 104.7 Hz (40 log10 f = 80.72), x = 349.
    QVERIFY(hasColour(pic, 350, 62, 540, 66, 13));
    // The floor stretch at the very left (both curves below -30 dB) is drawn in dark red.
    QVERIFY(hasColour(pic, 55, 302, 60, 306, 4));
    QVERIFY(!hasColour(pic, 49, 290, 57, 306, 9));

    // Text: heading row, dB labels left of the frame level with their lines, frequency labels
    // under the frame, notes further down.
    QVERIFY(hasInk(pic, 0, 0, 300, 11));
    for (int gridY : {64, 144, 224})
        QVERIFY(hasInk(pic, 0, gridY - 5, 46, gridY + 5));
    QVERIFY(hasInk(pic, 40, 306, 60, 318)); // "10" under 10 Hz
    QVERIFY(blank(pic, 0, 260, 40, 300));
    QVERIFY(hasInk(pic, 0, 328, 400, 339)); // the recommendation
}

void TestDisplacement::wattLabelsStandInTheRightMargin()
{
    auto w = drawnWindow(QStringLiteral("10000")); // the widest labels: "10000 Watts", "1000.0 Watts"
    const GraphPicture *pic = w->PicDisplacementLimit;
    for (int gridY : {64, 144, 224}) {
        // Ink right of the frame level with the grid line, none at the picture's last column and
        // none in the frame line's own column band beyond the frame (550 ... 552).
        QVERIFY2(hasInk(pic, 553, gridY - 4, 639, gridY + 4), qPrintable(QString::number(gridY)));
        QVERIFY(blank(pic, 636, gridY - 6, 639, gridY + 6));
        QVERIFY(blank(pic, 551, gridY - 6, 552, gridY + 6));
        // Not a row higher or lower.
        QVERIFY(blank(pic, 553, gridY - 14, 639, gridY - 8));
    }
}

void TestDisplacement::veryLowPowerDrawsBothCurvesFlat()
{
    // 0.0001 W at 0.5 %: 5e-7 acoustic W, SPLMax = 10 log10(5e-7) + 112.2 = 49.2 dB, while even the
    // sealed box reaches 10 log10(1e4 * 0.42394 * 1e-8) + 112.2 = 68.5 dB at 10 Hz: both curves lie
    // flat on the thermal-limit line (y = 64) from 10 Hz on, the sealed one drawn over the vented.
    auto w = drawnWindow(QStringLiteral("0.0001"));
    QVERIFY(near(w->SPLMax, 10 * std::log10(5e-7) + 112.2));
    const GraphPicture *pic = w->PicDisplacementLimit;
    for (int x : {48, 100, 300, 500, 548})
        QVERIFY2(hasColour(pic, x, 62, x, 66, 13), qPrintable(QString::number(x)));
    QVERIFY(!hasColour(pic, 49, 68, 548, 303, 13));
    QVERIFY(!hasColour(pic, 49, 68, 548, 303, 9));
    QVERIFY(!hasColour(pic, 53, 68, 547, 302, 4)); // no stretch on the floor (ticks end at 52)
    QCOMPARE(w->SPLSealedLimit[10], 0.0);
    QCOMPARE(w->SPLVentedLimit[499], 0.0);
}

void TestDisplacement::qtsAbove11DrawsWithoutReferenceBox()
{
    for (double qts : {1.1, 1.4}) {
        auto w = drawnWindow(QStringLiteral("100"), qts, qts + 0.1);
        QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabDisplacement));
        QCOMPARE(w->VbQtc11, 0.0);
        const GraphPicture *pic = w->PicDisplacementLimit;
        QVERIFY(hasInk(pic, 0, 400, 400, 411));  // the one line instead
        QVERIFY(blank(pic, 0, 412, 639, 424));
        QVERIFY(hasColour(pic, 350, 62, 540, 66, 13)); // curves as usual
    }
}

void TestDisplacement::readoutThroughTheWindow()
{
    // X = 176: 10 e^(176/128 - 0.375) = 10 e = 27.18 Hz; y = 64 reads SPLMax, y = 144 10 dB less;
    // 10^((92.04 - 112.2) / 10) / 0.01 = 0.96383 W.
    auto w = freshWindow();
    w->SPLMax = 92.04;
    w->Efficiency = 0.01;
    // Outside the plot (and on its edges) the fields keep their start texts.
    for (auto [x, y] : {std::pair{48.0, 64.0}, {549.0, 64.0}, {176.0, 24.0}, {176.0, 304.0}, {600.0, 400.0}})
        w->PicDisplacementLimit_MouseMove(0, 0, x, y);
    QCOMPARE(w->TxtFreqPowerXNum->text(), QStringLiteral("Hz"));
    QCOMPARE(w->TxtSPLpowerYNum->text(), QStringLiteral("dB"));
    QCOMPARE(w->TxtSPLpowerYwattsNum->text(), QStringLiteral("Watts"));
    // A real pointer move: the picture is 640 x 480 pixels for 640 x 480 units.
    w->SSTab->setCurrentIndex(FrmKelvane::TabDisplacement);
    settle();
    QTest::mouseMove(w->PicDisplacementLimit, QPoint(176, 64));
    settle();
    QCOMPARE(w->TxtFreqPowerXNum->text(), QStringLiteral("27.2 Hz"));
    QCOMPARE(w->TxtSPLpowerYNum->text(), QStringLiteral("92.0 dB"));
    QCOMPARE(w->TxtSPLpowerYwattsNum->text(), QStringLiteral("1.0 Watts"));

    w->PicDisplacementLimit_MouseMove(0, 0, 342.73, 144);
    QCOMPARE(w->TxtFreqPowerXNum->text(), QStringLiteral("100.0 Hz"));
    QCOMPARE(w->TxtSPLpowerYNum->text(), QStringLiteral("82.0 dB"));
    QCOMPARE(w->TxtSPLpowerYwattsNum->text(), QStringLiteral("0.1 Watts"));
    // Leaving the plot keeps the last values.
    w->PicDisplacementLimit_MouseMove(0, 0, 600, 144);
    QCOMPARE(w->TxtFreqPowerXNum->text(), QStringLiteral("100.0 Hz"));
    // Near the right edge: 10 e^(548.9/128 - 0.375) = 500.6 Hz, with the thousands separator
    // only beyond 999.
    w->PicDisplacementLimit_MouseMove(0, 0, 548.9, 30);
    QCOMPARE(w->TxtFreqPowerXNum->text(), QStringLiteral("500.6 Hz"));
    QCOMPARE(w->TxtSPLpowerYNum->text(), QStringLiteral("96.3 dB"));
}

void TestDisplacement::readoutTrapsFailuresSilently()
{
    auto w = freshWindow();
    w->SPLMax = 92.04;
    w->Efficiency = 0; // no calculation yet: the watts cannot be worked out
    MessageCatcher catcher;
    w->PicDisplacementLimit_MouseMove(0, 0, 176, 64);
    settle();
    QVERIFY(catcher.messages().isEmpty());
    QCOMPARE(w->TxtFreqPowerXNum->text(), QStringLiteral("27.2 Hz"));
    QCOMPARE(w->TxtSPLpowerYNum->text(), QStringLiteral("92.0 dB"));
    QCOMPARE(w->TxtSPLpowerYwattsNum->text(), QStringLiteral("Watts"));
}

void TestDisplacement::saveAndPrintRedraw()
{
    QTemporaryDir dir;
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    auto w = drawnWindow();
    MessageCatcher catcher;
    const QImage before = w->PicDisplacementLimit->image();

    // Saving writes <name>Limits.bmp, the graph itself at 640 x 480 times the pixel scale.
    w->CmdSaveDisplacement_Click();
    QVERIFY(catcher.texts().isEmpty());
    QImage saved(dir.filePath(QStringLiteral("W8Limits.bmp")));
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), before.convertToFormat(QImage::Format_RGB32));

    // Unnamed: PowerResponseLimits.bmp, and the name stays empty.
    w->DriverName.clear();
    w->CmdSaveDisplacement_Click();
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("PowerResponseLimits.bmp"))));
    QCOMPARE(w->DriverName, QString());

    // The redraw after the save reads the fields again: an emptied power stops it.
    w->DriverName = QStringLiteral("W8");
    w->TxtPower->clear();
    w->CmdSaveDisplacement_Click();
    settle();
    QCOMPARE(catcher.texts(), QStringList{Program::MoreDataNeededText});
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabInput));

    // Printing on a working printer: no message, buttons back, graph redrawn on its tab.
    catcher.clear();
    w->TxtPower->setText(QStringLiteral("100"));
    const QString pdf = dir.filePath(QStringLiteral("print.pdf"));
    graphoutput::setPrinterSource([pdf] {
        auto printer = std::make_unique<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return printer;
    });
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxModel);
    w->CmdPrintDisplacement_Click();
    settle();
    QVERIFY(catcher.texts().isEmpty());
    QVERIFY(QFileInfo(pdf).size() > 0);
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabDisplacement));
    QVERIFY(w->CmdPrintDisplacement->isVisibleTo(w.get()));
    QVERIFY(w->CmdSaveDisplacement->isVisibleTo(w.get()));
    QCOMPARE(w->PicDisplacementLimit->image(), before);
    // (Printer failures are reported by the same code as for the frequency graph, tested there.)
    graphoutput::setPrinterSource({});
    QDir::setCurrent(oldCwd);
}

void TestDisplacement::endToEndThroughTheWindow_data()
{
    QTest::addColumn<QString>("qtc");
    QTest::addColumn<bool>("volumeLine");
    QTest::newRow("Qtc 0.707") << "0.707" << true;
    QTest::newRow("Qtc typed 1.1") << "1.1" << false;
    QTest::newRow("Qtc typed 1.10000001") << "1.10000001" << true;
}

void TestDisplacement::endToEndThroughTheWindow()
{
    QFETCH(QString, qtc);
    QFETCH(bool, volumeLine);

    // Fs 30 Hz, Vas 4 cubic feet, Qts 0.4, Qes 0.4, 100 W, Vd 0.1 litres, typed as a user would.
    // Efficiency 2.7e-8 * 27000 * 4 / 0.4 = 0.00729; SPLMax = 10 log10(0.729) + 112.2 = 110.827 dB.
    // The Qtc 1.1 box: alpha 6.5625, Vb = 4 / 6.5625 = 0.609524 cubic feet, F3 62.4316 Hz,
    // Pa = 0.85 * 62.4316^4 * 1e-8 = 0.129133 W, 0.129133 / 0.00729 = 17.7137 W.
    auto w = freshWindow();
    MessageCatcher catcher;
    QTest::mouseClick(w->OptVas[0], Qt::LeftButton);
    typeInto(w->TxtName, QStringLiteral("W8"));
    typeInto(w->TxtFs, QStringLiteral("30"));
    typeInto(w->TxtVas, QStringLiteral("4"));
    typeInto(w->TxtQts, QStringLiteral("0.4"));
    typeInto(w->TxtQes, QStringLiteral("0.4"));
    typeInto(w->TxtPower, QStringLiteral("100"));
    typeInto(w->TxtVd, QStringLiteral("0.1"));
    settle();
    QTest::mouseClick(w->CmdCalculateInput, Qt::LeftButton);
    settle();
    typeInto(w->TxtQtc, qtc, false);
    QTest::mouseClick(w->CmdCalculate, Qt::LeftButton);
    settle();
    QVERIFY(w->CmdDisplacement->isEnabled());
    QTest::mouseClick(w->CmdDisplacement, Qt::LeftButton);
    settle();
    QVERIFY2(catcher.messages().isEmpty(), qPrintable(catcher.texts().join(QLatin1Char('|'))));
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabDisplacement));

    QCOMPARE(w->Qtc == 1.1, !volumeLine);
    QVERIFY(near(w->Efficiency, 0.00729, 1e-12));
    QVERIFY(near(w->SPLMax, 110.82727528317974, 1e-12));
    QVERIFY(near(w->VbQtc11, 0.6095238095238096, 1e-12));
    QVERIFY(near(w->PowerQtc11, 17.713711096764605, 1e-10));

    const GraphPicture *pic = w->PicDisplacementLimit;
    QCOMPARE(pixel(pic, 48, 200), GraphPicture::paletteColor(4));
    QVERIFY(hasInk(pic, 553, 60, 639, 68));     // "100 Watts"
    QVERIFY(hasInk(pic, 0, 400, 400, 411));
    QCOMPARE(hasInk(pic, 0, 412, 639, 424), volumeLine);
    // The vented curve reaches the thermal limit where 10 log10(3e-8 f^4) + 112.2 = 110.83:
    // f = 70.2 Hz; it is flat from there on.
    QVERIFY(hasColour(pic, int(graphgeo::graphX(90)), 62, int(graphgeo::graphX(90)) + 1, 66, 9));
}

QTEST_MAIN(TestDisplacement)
#include "tst_displacement.moc"
