// SPDX-License-Identifier: GPL-3.0-or-later
// The numeric cores, called with numbers: number text, the box models, the graphs' figures and
// notes, the crossover, the curves file (box and vent sizes and the printed report are in
// tst_boxventreport). ctest runs this program (like every test) under the C and a German locale, so
// each row also proves the result does not depend on the system's decimal separator. Expected
// figures are worked by hand from the formulas quoted next to them (Python double arithmetic where
// many digits are needed).

#include "common/Checked.h"
#include "common/NumberText.h"
#include "crossover/CrossoverCore.h"
#include "design/DesignFile.h"
#include "driver/DriverCore.h"
#include "graphs/DisplacementCore.h"
#include "graphs/FrequencyCore.h"
#include "graphs/GraphGeometry.h"
#include "models/SealedModel.h"
#include "models/VentedModel.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace kelvane;

namespace {

template <typename T>
T fetch(const char *column)
{
    return *static_cast<T *>(QTest::qData(column, qMetaTypeId<T>()));
}

bool near(double a, double b, double relative = 1e-12)
{
    return std::abs(a - b) <= relative * std::max(std::abs(a), std::abs(b));
}

QString sp(int n)
{
    return QString(n, u' ');
}

} // namespace

class TestCore : public QObject
{
    Q_OBJECT

private slots:
    void formatNumber_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const QString &p, double v, const QString &e) { QTest::newRow(name) << p << v << e; };
        // Ties are decided on the decimal text, not on the binary value just below it.
        row("tie 1.0005", "#0.000", 1.0005, "1.001");
        row("tie negative", "#0.0", -1.25, "-1.3");
        row("tie 2.5 no decimals", "#0", 2.5, "3");
        row("17-digit text", "#0.0000000000000000", 0.1 + 0.2, "0.3000000000000000");
        row("carry over point", "#0.000", 9.9996, "10.000");
        row("carry into new group", "#,##0.0", 999.95, "1,000.0");
        row("tiny rounds up", "#0.0000", 5e-5, "0.0001");
        row("negative zero", "#0.0", -0.0, "0.0");
        row("negative rounds to zero", "#0.00", -0.004, "0.00");
        row("hash only zero", "#", 0.0, "");
        row("no integer zero", "#.00", 0.5, ".50");
        row("forced integer digits", "000", 7.0, "007");
        row("optional decimal dropped", "#0.0#", 1.5, "1.5");
        row("optional decimal kept", "#0.0#", 1.255, "1.26");
        row("grouped Hz", "#,##0.0 Hz", 1234.56, "1,234.6 Hz");
        row("grouped negative", "#,##0.00", -1234567.891, "-1,234,567.89");
        row("inch marks", "#0.00''", 3.829, "3.83''");
        row("later points literal", "#0.000 Cu. Ft.)", 12.3456, "12.346 Cu. Ft.)");
        row("minus after prefix", "  #0.0 dB", -5.0, "  -5.0 dB");
        row("second point is text", "#0.0.", 3.5, "3.5.");
        row("point in the text before", "No. #0", 5.0, "No. 5");
        row("only first section", "#0 of #0", 5.0, "5 of #0");
        row("huge grouped", "#,##0", 1e300, "1" + QString(",000").repeated(100));
        row("NaN", "#0.0 Hz", std::nan(""), " Hz");
        row("infinity", "x #0 y", -std::numeric_limits<double>::infinity(), "x  y");
        row("empty pattern", "", 2.5, "2.5");
    }
    void formatNumber() { QCOMPARE(kelvane::formatNumber(fetch<double>("value"), fetch<QString>("pattern")), fetch<QString>("expected")); }

    // Each row gives the general form and the printed-report form of the same value.
    void generalNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("general");
        QTest::addColumn<QString>("printed");
        auto row = [](const char *name, double v, const QString &g, const QString &p) { QTest::newRow(name) << v << g << p; };
        row("0.8+0.1", 0.8 + 0.1, "0.9", " 0.9 ");
        row("integer", 3.0, "3", " 3 ");
        row("negative", -2.5, "-2.5", "-2.5 ");
        row("one third", 1.0 / 3, "0.333333333333333", " 0.333333333333333 ");
        row("zero", 0.0, "0", " 0 ");
        row("negative zero", -0.0, "0", " 0 ");
        row("15 digits", 123456789012345.0, "123456789012345", " 123456789012345 ");
        row("1E+15", 1e15, "1E+15", " 1E+15 ");
        row("rounds up to 1E+15", 999999999999999.9, "1E+15", " 1E+15 ");
        row("large rounded", 1234567890123456789.0, "1.23456789012346E+18", " 1.23456789012346E+18 ");
        row("largest", std::numeric_limits<double>::max(), "1.79769313486232E+308", " 1.79769313486232E+308 ");
        row("0.01", 0.01, "0.01", " 0.01 "); // a value taken for zero would show "0"
        row("0.0001", 0.0001, "0.0001", " 0.0001 ");
        row("9E-05", 0.00009, "9E-05", " 9E-05 ");
        row("1.5E-07", -1.5e-7, "-1.5E-07", "-1.5E-07 ");
        row("denormal", 5e-324, "5E-324", " 5E-324 ");
        row("NaN", std::nan(""), "", "  ");
    }
    void generalNumber()
    {
        QCOMPARE(kelvane::generalNumber(fetch<double>("value")), fetch<QString>("general"));
        QCOMPARE(kelvane::plainPrint(fetch<double>("value")), fetch<QString>("printed"));
    }

    void parseNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("decimal") << "12.5" << true << 12.5;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("0.1 exact double") << "0.1" << true << 0.1;
        QTest::newRow("long integer") << "1000000000000000000000" << true << 1e21;
        QTest::newRow("underflow is zero") << "0." + QString(400, u'0') + "1" << true << 0.0;
        QTest::newRow("400 nines") << QString(400, u'9') << false << 0.0;
        const std::pair<const char *, QString> notNumbers[] = {
            {"empty", ""}, {"point only", "."}, {"two points", "1.2.3"}, {"letters", "abc"}, {"exponent", "1e5"},
            {"leading blank", " 1"}, {"minus", "-1"}, {"comma", "1,5"}, {"inf", "inf"},
            {"arabic-indic digit", QString(QChar(0x0663))}, {"fullwidth digit", QString(QChar(0xFF11))}};
        for (const auto &[name, text] : notNumbers)
            QTest::newRow(name) << text << false << 0.0;
    }
    void parseNumber()
    {
        const std::optional<double> got = kelvane::parseNumber(fetch<QString>("text"));
        QCOMPARE(got.has_value(), fetch<bool>("valid"));
        if (got)
            QCOMPARE(*got, fetch<double>("value"));
    }

    // Closed box: alpha = (Qtc/Qts)^2 - 1, Fc = Qtc Fs/Qts, Vb = Vas/alpha; peak only above 1/sqrt 2.
    void sealedModel()
    {
        const double threshold = 1.0 / std::sqrt(2.0);
        QCOMPARE(sealed::peak(100, threshold).freq, 0.0);
        QCOMPARE(sealed::peak(100, threshold).dB, 0.0);
        QVERIFY(sealed::peak(100, 0.71).freq > 1000 && sealed::peak(100, 0.71).dB < 0.001);
        // 0.6493 cu ft: alpha = 3.080240, Fc = 50 sqrt(4.080240) = 100.998, Qtc = 0.706986.
        const sealed::Design d = sealed::forVolume(50, 0.35, 2, 0.6493);
        QVERIFY(qAbs(d.alpha - 3.080240) < 1e-5 && qAbs(d.fc - 100.998) < 1e-3 && qAbs(d.qtc - 0.706986) < 1e-5);
        QCOMPARE(d.peakdB, 0.0);
        QVERIFY(qAbs(sealed::forVolume(50, 0.35, 2, sealed::forQtc(50, 0.35, 2, 0.9).vb).qtc - 0.9) < 1e-12);
        // alpha = 0 makes the volume infinite.
        QVERIFY_THROWS_EXCEPTION(CalcFault, sealed::forQtc(50, 0.5, 2, 0.5));
        QVERIFY_THROWS_EXCEPTION(CalcFault, sealed::forVolume(50, 0.35, 2, 0.0));
    }

    void ventedFit_data()
    {
        for (const char *column : {"qloss", "fb", "vb"})
            QTest::addColumn<double>(column);
        // Fs 30, Qts 0.4, Vas 3. Below 6: 0.419*30/0.4^0.9721 = 30.6318, 0.4^3.357*3/0.0743 = 1.86315.
        // 6..8: 30*(0.0019108/0.16 + 0.35445/0.4 + 0.1168) = 30.44603, 3/(2.212 + 0.032005 - 1.1327) = 2.69953.
        // Above 8: 0.421*30/0.4^0.933 = 29.69487, 0.4^3.019*3/0.0689 = 2.73855.
        QTest::newRow("Qloss 5.999 first row") << 5.999 << 30.631817 << 1.863150;
        QTest::newRow("Qloss 6 middle row") << 6.0 << 30.446025 << 2.699529;
        QTest::newRow("Qloss 8 middle row") << 8.0 << 30.446025 << 2.699529;
        QTest::newRow("Qloss 8.001 last row") << 8.001 << 29.694867 << 2.738553;
    }
    void ventedFit()
    {
        const vented::Fit f = vented::alignmentFit(30, 0.4, 3, fetch<double>("qloss"));
        QVERIFY2(qAbs(f.fb - fetch<double>("fb")) < 1e-5, qPrintable(QString::number(f.fb)));
        QVERIFY2(qAbs(f.vb - fetch<double>("vb")) < 1e-5, qPrintable(QString::number(f.vb)));
    }

    void ventedSearchIsBounded()
    {
        // The Qloss 7 driver settles in 30 steps, even when no restart is allowed.
        const vented::Coefficients easy = vented::coefficients(30, 0.4, 3, 30.4, 2.6995, 7);
        QVERIFY(vented::searchMinus3dB(easy, 0).found);
        // Fs 20, Qts 0.8, Vas 10, Ql 7, tuned to 5 Hz in 1 cu ft: settles only after three restarts
        // from 1.5 (on a true root); allowed two, it gives up after three rounds of 501 steps.
        const vented::Coefficients slow = vented::coefficients(20, 0.8, 10, 5, 1, 7);
        const vented::Search full = vented::searchMinus3dB(slow);
        QVERIFY(full.found);
        QVERIFY(full.steps > 3 * (vented::NewtonStepsPerRound + 1) && full.steps < 4 * (vented::NewtonStepsPerRound + 1));
        QVERIFY(qAbs(vented::minus3dBResidual(slow, full.x)) < 1e-6);
        const vented::Search cut = vented::searchMinus3dB(slow, 2);
        QVERIFY(!cut.found);
        QCOMPARE(cut.steps, 3 * (vented::NewtonStepsPerRound + 1));
        // Fs 50, Qts 2, Vas 40, Ql 10, tuned to 5 Hz in 0.5 cu ft never settles.
        const vented::Search never = vented::searchMinus3dB(vented::coefficients(50, 2, 40, 5, 0.5, 10));
        QVERIFY(!never.found);
        QCOMPARE(never.steps, (vented::NewtonRestarts + 1) * (vented::NewtonStepsPerRound + 1));
        // Where Newton settles, its root is kept to the last bit.
        for (const vented::Coefficients &c : {easy, slow}) {
            QCOMPARE(vented::findMinus3dB(c).x, vented::searchMinus3dB(c).x);
            QCOMPARE(vented::findMinus3dB(c).steps, vented::searchMinus3dB(c).steps);
        }
        // An equation that cannot be evaluated (A1 so large that F overflows) has no root to show.
        vented::Coefficients huge = easy;
        huge.a1 = 1e200;
        QVERIFY(!vented::findMinus3dB(huge).found);
        // A root near x = 1e20 (F ~ A1^2 x^6 - x^8 for large x, so the root is A1), where neighbouring
        // doubles lie 16,384 apart: the bisection ends on it instead of hanging Calculate Box.
        huge.a1 = 1e20;
        QVERIFY(qAbs(vented::bracketMinus3dB(huge).x / 1e20 - 1) < 1e-12 && vented::findMinus3dB(huge).found);
    }

    // The sweep against the normalised response |H|^2 = x^8 / ((A1 x^3 - A3 x)^2 + (x^4 - A2 x^2 + 1)^2),
    // x = f / sqrt(Fs Fb), from its first to its last whole hertz (the curves file's 10 and 500 Hz).
    void ventedSweep()
    {
        const vented::Coefficients c = vented::coefficients(30, 0.4, 3, 30.4, 2.6995, 7);
        const vented::Response r = vented::responseSweep(30, 0.4, 7, c);
        for (int f : {10, 31, 100, 500}) {
            const double x = f / std::sqrt(30 * 30.4), odd = c.a1 * x * x * x - c.a3 * x, even = x * x * x * x - c.a2 * x * x + 1;
            QVERIFY2(std::abs(r.dB[f] - 10 * std::log10(std::pow(x, 8) / (odd * odd + even * even))) < 1e-9, qPrintable(QString::number(f)));
        }
        QCOMPARE(r.dB[9], 0.0);
    }

    // Butterworth points between the advice bands (EBP exactly 50 and 100 go through the window).
    void recommendation()
    {
        QCOMPARE(driver::recommendation(50.001), QStringLiteral("EITHER A SEALED BOX OR A VENTED BOX IS FINE FOR THIS DRIVER"));
        QCOMPARE(driver::recommendation(99.999), QStringLiteral("EITHER A SEALED BOX OR A VENTED BOX IS FINE FOR THIS DRIVER"));
        QCOMPARE(driver::recommendation(250), QStringLiteral("A VENTED BOX IS PROBABLY BEST FOR THIS DRIVER  "));
        const QString either = QStringLiteral("  EITHER A SEALED BOX OR A VENTED BOX IS FINE FOR THIS DRIVER");
        QCOMPARE(freqcore::recommendationFor(50), QStringLiteral("  A SEALED BOX IS PROBABLY BEST FOR THIS DRIVER"));
        QCOMPARE(freqcore::recommendationFor(50.001), either);
        QCOMPARE(freqcore::recommendationFor(99.999), either);
        QCOMPARE(freqcore::recommendationFor(100), QStringLiteral("  A VENTED BOX IS PROBABLY BEST FOR THIS DRIVER  "));
    }

    void sealedCoefficient_data()
    {
        QTest::addColumn<double>("qtc");
        QTest::addColumn<bool>("peaks");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("kp");
        // X = (r + sqrt(r^2 + 4)) / 2 with r = 1/Qtc^2 - 2; Kp = 0.4242 / X^2, or for Qtc > 1/sqrt(2)
        // 0.4242 / (X^2 Qtc^4 / (Qtc^2 - 0.25)).
        QTest::newRow("0.707 first formula") << 0.707 << false << 1.0003021368611071 << 0.4239437832116874;
        QTest::newRow("exactly 1/sqrt(2)") << 0.7071067811865475 << false << 1.0 << 0.4242;
        QTest::newRow("0.7072 second formula") << 0.7072 << true << 0.9997364242540591 << 0.4244236766108137;
        QTest::newRow("1.0 second formula") << 1.0 << true << 0.6180339887498949 << 0.8329275135207789;
    }
    void sealedCoefficient()
    {
        const double qtc = fetch<double>("qtc");
        QCOMPARE(displacement::sealedResponsePeaks(qtc), fetch<bool>("peaks"));
        QVERIFY(near(displacement::cutoffRatioSquared(qtc), fetch<double>("x"), 1e-14));
        QVERIFY(near(displacement::sealedCoefficient(qtc), fetch<double>("kp"), 1e-14));
    }

    void referenceBoxOfQtc11()
    {
        // Fs 30, Qts 0.4, Vas 3 ft^3, Vd 1e-4 m^3, efficiency 0.005: alpha = 2.75^2 - 1 = 6.5625,
        // Fc = 82.5, F3 = 0.7567468 * 82.5 = 62.43161, Vb = 3 / 6.5625, Pa = 0.85 F3^4 Vd^2, P = Pa / 0.005.
        const displacement::ReferenceBox b = displacement::referenceBox(30, 0.4, 3, 1e-4, 0.005);
        QVERIFY(b.exists && near(b.alpha, 6.5625) && near(b.fc, 82.5) && near(b.f3, 62.4316107480493, 1e-13));
        QVERIFY(near(b.vb, 0.45714285714285713) && near(b.acousticPower, 0.12913295389541396));
        QVERIFY(near(b.power, 25.826590779082792));
        // At Qts 1.1 alpha is 0 (a division by zero for the volume); above it negative: no box.
        for (double qts : {1.1, 1.3}) {
            const displacement::ReferenceBox none = displacement::referenceBox(30, qts, 3, 1e-4, 0.005);
            QVERIFY(!none.exists && none.vb == 0.0 && std::isfinite(none.power));
        }
        QVERIFY(displacement::referenceBox(30, 1.0999, 3, 1e-4, 0.005).exists);
        QVERIFY_THROWS_EXCEPTION(CalcFault, displacement::thermalLimit(100, 0));
    }

    void displacementNotes_data()
    {
        QTest::addColumn<double>("qtc");
        QTest::addColumn<double>("qts");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QStringList>("tail");
        const QString maxLine = QStringLiteral("  Max. cut-off Frequency Power Handling if Qtc=1.1 is 26 Watts");
        const QString at = QStringLiteral("  at a cut-off Frequency of 62.4 Hz in a ");
        // The reference box of exactly 1 cubic foot: 28.317 litres, 0.028 cubic metres.
        QTest::newRow("cubic feet") << 0.707 << 0.4 << 0 << QStringList{maxLine, at + "1.000 Cu. Ft. box"};
        QTest::newRow("litres") << 0.707 << 0.4 << 1 << QStringList{maxLine, at + "28.317 l box"};
        QTest::newRow("cubic metres") << 0.707 << 0.4 << 2 << QStringList{maxLine, at + "0.028 Cu M box"};
        QTest::newRow("no unit selected") << 0.707 << 0.4 << -1 << QStringList{};
        QTest::newRow("Qtc typed 1.1") << *kelvane::parseNumber(QStringLiteral("1.1")) << 0.4 << 0
            << QStringList{"  Qtc=1.1 - This is the Maximum Power Handling for any Qtc cut-off Frequency"};
        QTest::newRow("Qtc typed 1.10000001") << *kelvane::parseNumber(QStringLiteral("1.10000001")) << 0.4 << 0
                                              << QStringList{maxLine, at + "1.000 Cu. Ft. box"};
        QTest::newRow("Qts 1.1: no reference box") << 1.2 << 1.1 << 0 << QStringList{displacement::NoReferenceBoxText};
        QTest::newRow("Qts 1.5, no unit") << 1.6 << 1.5 << -1 << QStringList{displacement::NoReferenceBoxText};
    }
    void displacementNotes()
    {
        displacement::NoteInput in;
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
        const QStringList head{"", "", in.recommendation,
                               "  Free-Air Efficiency is 89.2 dB      Estimated, Enter Qes to calculate.", "",
                               "* NOTE - Maximum Thermal Power is 100 Watts",
                               "* NOTE - Maximum Acoustic Output at this Power is 109.2 dB", ""};
        QCOMPARE(displacement::noteLines(in), head + fetch<QStringList>("tail"));
    }

    void displacementLevelsAndReadout()
    {
        // Power 100 W labels 100, 10.0 and 1.00 Watts; SPLMax 92.04 labels 92.0, 82.0 and 72.0 dB.
        const auto rows = displacement::levelRows(92.04, 100);
        const QString watts[] = {sp(183) + "100 Watts", sp(185) + "10.0 Watts", sp(185) + "1.00 Watts"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(rows[i].gridY, 64.0 + 80 * i);
            QCOMPARE(rows[i].dbText, QStringLiteral("  %1.0 dB").arg(92 - 10 * i));
            QCOMPARE(rows[i].wattText, watts[i]);
        }
        // SPLMax 100; the limit climbs 1 dB per hertz from 60 dB (-40) at 10 Hz: on the -30 dB floor
        // up to 20 Hz, above it from 21 Hz.
        displacement::Curve s{};
        for (int f = 10; f <= 499; ++f)
            s[f] = 50.0 + f;
        const auto marks = displacement::curveMarks(s, 100.0, 13);
        QCOMPARE(int(marks.size()), 489); // no point at 10 Hz, segments 11 ... 499
        QVERIFY(!marks.front().point);
        for (int f = 11; f <= 20; ++f)
            QVERIFY(marks[f - 11].colour == 4 && marks[f - 11].y1 == 304.0 && marks[f - 11].y2 == 304.0);
        // 21 Hz is -29 dB: y = 64 + 8 * 29 = 296, drawn back to the floor at 20 Hz in magenta.
        QVERIFY(marks[10].colour == 13 && marks[10].y1 == 296.0 && marks[10].y2 == 304.0);
        QCOMPARE(s[10], -30.0);
        QCOMPARE(s[21], -29.0);
        QCOMPARE(s[60], 0.0); // 110 dB clipped at the thermal limit
    }

    void sealedPeakOnTheGraph()
    {
        // |H| = x^2 / sqrt((x^2 - 1)^2 + (x / Qtc)^2), x = f / Fc: Qtc itself at Fc; from 10 Hz on.
        freqcore::Curve c{};
        freqcore::sealedSweep(53, 0.707, c);
        QVERIFY(std::abs(c[53] - 20 * std::log10(0.707)) < 1e-9);
        const double x = 500 / 53.0;
        QVERIFY(std::abs(c[500] - 20 * std::log10(x * x / std::sqrt((x * x - 1) * (x * x - 1) + x * x / 0.499849))) < 1e-9);
        QVERIFY(c[9] == 0.0 && c[10] < -20);
        // The model's peak is 0.2 dB at 80 Hz, its F3 60 Hz: below 1/sqrt 2 no peak, at F3.
        QCOMPARE(freqcore::sealedPeak(0.7071, 60, {0.2, 80}).db, 0.0);
        QCOMPARE(freqcore::sealedPeak(0.7071, 60, {0.2, 80}).freqHz, 60.0);
        QCOMPARE(freqcore::sealedPeak(1 / std::sqrt(2.0), 60, {0.2, 80}).freqHz, 80.0);
        QCOMPARE(freqcore::sealedPeak(1.0, 60, {0.2, 80}).db, 0.2);
    }

    // A curve clipped at 10 Hz, climbing out, dipping below the floor, touching it and coming back:
    // red segments exactly where the level at the upper frequency is -25 dB.
    void responseCurveMarks()
    {
        freqcore::Curve c{};
        c[10] = -30;
        c[11] = -10;
        c[12] = -40;
        c[13] = -25;
        c[14] = -5;
        c[500] = -99; // beyond the drawn range: neither drawn nor clipped
        const auto marks = freqcore::curveMarks(c, 9);
        QCOMPARE(marks.size(), size_t(489)); // lines 11..499 Hz, no point at 10 Hz
        QVERIFY(c[10] == -25.0 && c[12] == -25.0 && c[500] == -99.0);
        const auto x = [](int f) { return double(float(48 + 128 * std::log(f / 10.0))); };
        const auto y = [](double db) { return double(float(104 - 8 * db)); };
        QCOMPARE(marks[0], (freqcore::Mark{false, x(11), y(-10), x(10), y(-25), 9}));
        QCOMPARE(marks[1], (freqcore::Mark{false, x(12), y(-25), x(11), y(-10), 4}));
        QVERIFY(marks[2].colour == 4 && marks[3].colour == 9);
        QCOMPARE(marks.back(), (freqcore::Mark{false, x(499), y(0), x(498), y(0), 9}));
        c.fill(0.0);
        c[10] = -24.9;
        const auto withPoint = freqcore::curveMarks(c, 13);
        QCOMPARE(withPoint.size(), size_t(490));
        QCOMPARE(withPoint[0], (freqcore::Mark{true, x(10), y(-24.9), 0, 0, 13}));
        c[300] = qQNaN();
        QVERIFY_THROWS_EXCEPTION(CalcFault, freqcore::curveMarks(c, 13));
    }

    // A picture of W x H keeps the margins of the 640 x 480 one (48 left, 24 top, 91 right, 176 bottom),
    // so x = 48 + (W - 139) / 501 * 128 ln(f / 10) and y = 24 + (H - 200) / 280 * 8 (10 - L), worked in
    // Python; the readout's inverses bring back the frequency and the level.
    void graphMappingAtAnySize_data()
    {
        for (const char *c : {"width", "height", "hz", "db", "x", "y"})
            QTest::addColumn<double>(c);
        QTest::newRow("640 x 480, 100 Hz at 0 dB") << 640.0 << 480.0 << 100.0 << 0.0 << 342.7309 << 104.0;
        QTest::newRow("1280 x 960, 100 Hz at 0 dB") << 1280.0 << 960.0 << 100.0 << 0.0 << 719.2334 << 241.1429;
        QTest::newRow("1600 x 1200, 500 Hz at -25 dB") << 1600.0 << 1200.0 << 500.0 << -25.0 << 1508.2387 << 1024.0;
        QTest::newRow("1600 x 1200, 10 Hz at +10 dB") << 1600.0 << 1200.0 << 10.0 << 10.0 << 48.0 << 24.0;
        QTest::newRow("1244 x 933, 35 Hz at -3 dB") << 1244.0 << 933.0 << 35.0 << -3.0 << 401.6742 << 296.2571;
    }
    void graphMappingAtAnySize()
    {
        const graphgeo::PlotLayout l = graphgeo::responseLayout(fetch<double>("width"), fetch<double>("height"));
        const double x = graphgeo::graphX(l, fetch<double>("hz")), y = graphgeo::graphY(l, fetch<double>("db"));
        QVERIFY2(std::abs(x - fetch<double>("x")) < 1e-4 && std::abs(y - fetch<double>("y")) < 1e-4,
                 qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
        QVERIFY(near(graphgeo::freqAtX(l, x), fetch<double>("hz"), 1e-12));
        QVERIFY(std::abs(graphgeo::levelAtY(l, y) - fetch<double>("db")) < 1e-12);
        // The thermal-limit axis on the same plot: 0 dB where the response axis has +5 dB.
        QVERIFY(std::abs(graphgeo::limitY(l, 0) - graphgeo::graphY(l, 5)) < 1e-9);
    }

    // The largest 4 : 3 rectangle in a room, never below 640 x 480; and labels kept only where they
    // clear the ones before by the gap.
    void pictureSizeAndLabels()
    {
        const std::pair<std::pair<int, int>, std::pair<int, int>> rooms[] = {
            {{640, 480}, {640, 480}}, {{1000, 600}, {800, 600}}, {{1601, 1300}, {1600, 1200}},
            {{643, 2000}, {640, 480}}, {{300, 200}, {640, 480}}};
        for (const auto &[room, size] : rooms)
            QCOMPARE(graphgeo::fittedSize(room.first, room.second), size);
        // (11, 20) starts 1 after (0, 10): too close; (13, 20) clears it by 3; (12, 40) overlaps that.
        QCOMPARE(graphgeo::labelsThatFit({{0, 10}, {11, 20}, {13, 20}, {12, 40}, {-30, -2}}, 2),
                 (std::vector<bool>{true, false, true, false, true}));
    }

    void summaryRows_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QStringList>("rows");
        // Vas 3 cu ft = 3 / 0.0353145 = 84.951 l; vented 2.5 cu ft = 70.792 l = 0.071 cubic metres;
        // sealed 1.41 cu ft = 39.927 l = 0.040 cubic metres.
        const auto rows = [](const QString &vented, const QString &sealed) {
            QStringList r{"", "", "  EITHER A SEALED BOX OR A VENTED BOX IS FINE FOR THIS DRIVER", "",
                          "  Free-Air Efficiency is 88.3 dB      note", "",
                          "  Speaker Data:    Fs = 30.0 Hz,  Vas = 84.951 l   (3.000 Cu. Ft.),  Qts = 0.400", ""};
            if (!vented.isEmpty())
                r << "  Vented Design:    F3 = 32.0 Hz,  VB = " + vented + ",  Fb = 30.0 Hz";
            r << sp(30) + "The vented box has a 0.50 dB Peak at 45.0 Hz" << "";
            if (!sealed.isEmpty())
                r << "  Sealed Design:    F3 = 53.0 Hz,  VB = " + sealed + ",  Fc = 53.0 Hz,  Qtc = 0.707";
            return r << "";
        };
        QTest::newRow("cubic feet") << 0 << rows("2.500 Cu. Ft.", "1.410 Cu. Ft.");
        QTest::newRow("litres") << 1 << rows("70.792 l", "39.927 l");
        QTest::newRow("cubic metres") << 2 << rows("0.071 Cu M", "0.040 Cu M");
        QTest::newRow("no unit selected") << -1 << rows("", "");
    }
    void summaryRows()
    {
        freqcore::SummaryInput in{freqcore::recommendationFor(66.7), 88.3, "note", 30, 3, 0.4, 32, 2.5, 30, 0.5, 45,
                                  53, 1.41, 53, 0.707, 0, 53, fetch<int>("unit")};
        QCOMPARE(freqcore::summaryRows(in), fetch<QStringList>("rows"));
        // Peak rows from 0.01 dB on.
        const auto peakRows = [](double vented, double sealed) {
            freqcore::SummaryInput p;
            p.peakDbVented = vented;
            p.peakFreqVented = 45;
            p.peakDbSealed = sealed;
            p.peakFreqSealed = 70;
            return freqcore::summaryRows(p).filter("Peak at");
        };
        QCOMPARE(peakRows(0.0099999, 0), QStringList());
        QCOMPARE(peakRows(0.01, 0.01), (QStringList{sp(30) + "The vented box has a 0.01 dB Peak at 45.0 Hz",
                                                    sp(30) + "The sealed box has a 0.01 dB Peak at 70.0 Hz"}));
    }

    // Each alignment's sections against |H|^2 = 1 / (1 + x^(2n)) (x = f / fc low-pass, fc / f
    // high-pass); a Linkwitz-Riley of order 2m is the Butterworth of order m squared.
    void crossoverSections_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("order");
        QTest::addColumn<bool>("lr");
        QTest::newRow("first-order Butterworth") << 0 << 1 << false;
        QTest::newRow("second-order Butterworth") << 1 << 2 << false;
        QTest::newRow("second-order Linkwitz-Riley") << 2 << 2 << true;
        QTest::newRow("third-order Butterworth") << 3 << 3 << false;
        QTest::newRow("fourth-order Linkwitz-Riley") << 4 << 4 << true;
    }
    void crossoverSections()
    {
        const int order = fetch<int>("order");
        const bool lr = fetch<bool>("lr");
        const auto analyticDb = [&](double x) {
            return lr ? -20.0 * std::log10(1.0 + std::pow(x, order)) : -10.0 * std::log10(1.0 + std::pow(x, 2 * order));
        };
        // Different loads and frequencies for the two sections: the response depends on f / fc alone.
        const crossover::Design d = crossoverOf(fetch<int>("type"), 2500, 3100);
        for (double ratio : {0.1, 0.25, 0.5, 0.8, 1.0, 1.25, 2.0, 4.0, 10.0}) {
            QVERIFY2(std::abs(crossover::levelDb(d.woofer, 8, 2500 * ratio) - analyticDb(ratio)) < 0.01, qPrintable(QString::number(ratio)));
            QVERIFY2(std::abs(crossover::levelDb(d.tweeter, 6, 3100 * ratio) - analyticDb(1 / ratio)) < 0.01, qPrintable(QString::number(ratio)));
        }
    }

    void crossoverSum_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("sign");
        QTest::addColumn<double>("peakDb");
        // Allpass sums: first order normal, LR2 reversed, LR4 normal, third order either way. The
        // second-order Butterworth pair reversed sums to (1 - s^2) / (s^2 + sqrt2 s + 1): +3.01 dB at fc.
        QTest::newRow("first order, normal") << 0 << 1.0 << 0.0;
        QTest::newRow("LR2, reversed") << 2 << -1.0 << 0.0;
        QTest::newRow("third order, normal") << 3 << 1.0 << 0.0;
        QTest::newRow("third order, reversed") << 3 << -1.0 << 0.0;
        QTest::newRow("LR4, normal") << 4 << 1.0 << 0.0;
        QTest::newRow("Butterworth 2, reversed, +3 dB") << 1 << -1.0 << 3.0103;
    }
    void crossoverSum()
    {
        crossover::Design d = crossoverOf(fetch<int>("type"), 2000, 2000);
        if (fetch<int>("type") != 3)
            QCOMPARE(d.tweeterSign, fetch<double>("sign"));
        d.tweeterSign = fetch<double>("sign");
        double highest = -100, lowest = 100;
        for (double f = 20; f <= 20000; f *= 1.01) {
            highest = std::max(highest, crossover::levels(d, f).sum);
            lowest = std::min(lowest, crossover::levels(d, f).sum);
        }
        QVERIFY2(std::abs(highest - fetch<double>("peakDb")) < 0.01, qPrintable(QString::number(highest)));
        QVERIFY(fetch<double>("peakDb") > 0 || lowest > -0.1);
    }

    void nearestE12_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("e12");
        // Nearest by ratio: the boundary between two neighbours a, b is sqrt(a b).
        QTest::newRow("0.424 to 0.39 (boundary 0.428)") << 0.424 << 0.39;
        QTest::newRow("0.43 to 0.47") << 0.43 << 0.47;
        QTest::newRow("1.09 to 1.0 (boundary 1.095)") << 1.09 << 1.0;
        QTest::newRow("1.1 to 1.2") << 1.1 << 1.2;
        QTest::newRow("0.9003 to 0.82 (boundary 0.9055)") << 0.9003 << 0.82;
        QTest::newRow("9.1 up to the next decade's 10") << 9.1 << 10.0;
        QTest::newRow("a series value stays") << 47.0 << 47.0;
        QTest::newRow("microfarads in farads") << 4.69e-6 << 4.7e-6;
    }
    void nearestE12() { QVERIFY(std::abs(crossover::nearestE12(fetch<double>("value")) / fetch<double>("e12") - 1) < 1e-12); }

    void crossoverValueBeyondItsUnit()
    {
        // Re 1e-153 ohms with Le 1 mH: C = 0.001 / (1.25e-153)^2 = 6.4e302 F is a number, but 6.4e308 uF
        // is not, so the design is refused before anything is shown.
        QVERIFY_THROWS_EXCEPTION(CalcFault, crossoverOf(0, 3000, 3000, 8, 1e-153, 0.001));
        QVERIFY(crossoverOf(0, 3000, 3000, 8, 6.4, 0.001).zobel.used);
    }

    void curvesCsv()
    {
        // Values of f / 8 (exact in binary): 25 Hz is 3.125; a non-finite value leaves its cell empty.
        std::array<double, 501> ramp{};
        for (int f = 0; f <= 500; ++f)
            ramp[f] = f / 8.0;
        ramp[11] = std::numeric_limits<double>::quiet_NaN();
        const QStringList lines = design::curvesCsv({{QStringLiteral("Ramp"), &ramp}}).split(u'\n');
        QCOMPARE(lines.mid(0, 3), (QStringList{"Frequency (Hz),Ramp", "10,1.25", "11,"}));
        QCOMPARE(lines.at(16), QStringLiteral("25,3.125"));
        QCOMPARE(lines.at(491), QStringLiteral("500,62.5"));
    }

private:
    static crossover::Design crossoverOf(int type, double wooferHz, double tweeterHz, double tweeterOhms = 6,
                                         double reOhms = 0, double leHenries = 0)
    {
        crossover::Input in;
        in.type = type;
        in.wooferOhms = 8;
        in.wooferHz = wooferHz;
        in.tweeterOhms = tweeterOhms;
        in.tweeterHz = tweeterHz;
        in.reOhms = reOhms;
        in.leHenries = leHenries;
        return crossover::design(in);
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
