// SPDX-License-Identifier: GPL-3.0-or-later
// The box-and-vent cores, called with numbers: a vent's length and its caption, the build volume,
// the vent speed mark, and the printed report's lines in both layouts. ctest runs this program under
// the C and a German locale too. Expected figures and lines are worked by hand from the formulas
// quoted next to them.

#include "boxvent/BoxCore.h"
#include "boxvent/ReportLines.h"

#include <QTest>

#include <cmath>

using namespace kelvane;

namespace {

template <typename T>
T fetch(const char *column)
{
    return *static_cast<T *>(QTest::qData(column, qMetaTypeId<T>()));
}

QString sp(int n)
{
    return QString(n, u' ');
}

} // namespace

class TestBoxVentReport : public QObject
{
    Q_OBJECT

private slots:
    // Lv = 1.463e7 R^2 / Fb^2 / Vb - 1.463 R (inches), worked by hand.
    void ventLength_data()
    {
        for (const char *column : {"diameter", "fb", "vbCuIn", "expected"})
            QTest::addColumn<double>(column);
        QTest::addColumn<QString>("shown");
        // 1.463e7 / 1600 / 1728 = 5.2915219907; minus 1.463
        QTest::newRow("1 cu ft, 40 Hz, 2 in") << 2.0 << 40.0 << 1728.0 << 3.8285219907 << "3.83''";
        // 1.463e7 x 16 / 10000 / 17280 = 1.3546296; minus 5.852
        QTest::newRow("too wide") << 8.0 << 100.0 << 17280.0 << -4.4973704 << "";
        QTest::newRow("no diameter") << 0.0 << 40.0 << 1728.0 << 0.0 << "";
    }
    void ventLength()
    {
        const double lv = boxvent::ventLength(fetch<double>("diameter"), fetch<double>("fb"), fetch<double>("vbCuIn"));
        QVERIFY2(std::abs(lv - fetch<double>("expected")) < 1e-6, qPrintable(QString::number(lv, 'g', 12)));
        QCOMPARE(boxvent::ventLengthCaption(lv), fetch<QString>("shown"));
    }

    void buildVolumeAndVentSpeed()
    {
        // (net + added / 1728) x percent / 100
        QVERIFY(std::abs(boxvent::buildVolume(2.5, 1728, 100) - 3.5) < 1e-12);
        QVERIFY(std::abs(boxvent::buildVolume(1.0, 864, 110) - 1.65) < 1e-12);
        // 17 m/s itself is still quiet; only a speed over it is marked.
        QVERIFY(!boxvent::ventTooFast(16.99) && !boxvent::ventTooFast(17.0) && boxvent::ventTooFast(17.01));
    }

    void reportInches() { QCOMPARE(boxvent::reportLines(inchInput()), inchExpected()); }
    void reportMetric() { QCOMPARE(boxvent::reportLines(metricInput()), metricExpected()); }
    void reportVariants()
    {
        // No user vent (or a negative one): the last line is left out.
        boxvent::ReportInput in = inchInput();
        in.ventDia6 = 0;
        QCOMPARE(boxvent::reportLines(in), inchExpected().mid(0, 34));
        in = metricInput();
        in.ventDia6 = -1;
        QCOMPARE(boxvent::reportLines(in), metricExpected().mid(0, 34));
        in.ventDia6 = 2.5;
        in.ventLength[6] = -3.2;
        QCOMPARE(boxvent::reportLines(in).at(34), " 6.35 cm" + sp(45) + "User Chosen Vent Diameter");
        in.addVolume = 0;
        QCOMPARE(boxvent::reportLines(in).at(0),
                 QStringLiteral("Additional volume due to bracing, speaker, vent, etc... :  0.0 Cu cm    ( 0  Cu. in.)"));
        in.metric = false;
        QCOMPARE(boxvent::reportLines(in).at(0), QStringLiteral("Additional volume due to bracing, speaker, vent, etc... :   0  Cu. in."));
        in.percentOverVolume = 112.5;
        QCOMPARE(boxvent::reportLines(in).at(1), QStringLiteral("Overvolume percentage :   112.5  %"));
    }

private:
    // Captions as the tab would show them (values chosen so that every one differs).
    static boxvent::ReportInput inchInput()
    {
        boxvent::ReportInput in;
        in.percentOverVolume = 100;
        in.originalCVol = "1.500 Cu. Ft.";
        in.originalVVol = "2.250 Cu. Ft.";
        in.originalFb = "32.5 Hz";
        in.cVol = {"1.650 Cu. Ft.", "1.651 Cu. Ft.", "1.652 Cu. Ft."};
        in.cHeight = {"26.10''", "20.20''", "16.30''"};
        in.cWidth = {"16.10''", "14.20''", "12.90''"};
        in.cDepth = {"10.10''", "10.20''", "10.30''"};
        in.vVol = {"2.475 Cu. Ft.", "2.476 Cu. Ft.", "2.477 Cu. Ft."};
        in.vHeight = {"29.10''", "23.20''", "18.30''"};
        in.vWidth = {"17.10''", "15.20''", "14.30''"};
        in.vDepth = {"11.10''", "11.20''", "11.30''"};
        in.ventLengthCaption = {"0.59''", "3.83''", "", "12.00''", "", "78.81''", "5.55''"};
        in.ventDiaText = "2.50";
        in.ventDia6 = 2.5;
        return in;
    }

    // The lines both layouts share, around the three ratio rows of each box.
    static QStringList reportFrame(const QString &head0, const QString &head1, const QString &sealed,
                                   const QStringList &sealedRows, const QString &vented, const QStringList &ventedRows,
                                   const QStringList &ventRows)
    {
        const QString heads = "      Ratios                Volumes              Height            Width            Depth";
        const QString rules = "      ______                _______              ______            _____            _____";
        return QStringList{head0, head1, "", "", sealed, heads, rules, ""} + sealedRows
               + QStringList{"", "", vented, heads, rules, ""} + ventedRows
               + QStringList{"", "", "", "Vent Frequency:  32.5 Hz", "",
                             "Diameter                Length                 Good for the following:",
                             "________                ______                 _______________________", ""}
               + ventRows;
    }

    static QStringList inchExpected()
    {
        const QString ratio[] = {"2.60 : 1.60 : 1" + sp(9), "2.00 : 1.44 : 1" + sp(9), "1.59 : 1.26 : 1" + sp(9)};
        const QString inside = sp(27) + "(Inside Dimensions)";
        const auto row = [](const QString &r, const char *vol, const char *h, const char *w, const char *d) {
            return r + vol + sp(11) + h + sp(13) + w + sp(12) + d;
        };
        const auto vent = [](const char *dia, const QString &length, int gap, const char *use) {
            return QStringLiteral("  %1''").arg(QLatin1String(dia)) + sp(27) + length + sp(gap) + use;
        };
        return reportFrame(
            "Additional volume due to bracing, speaker, vent, etc... :   0  Cu. in.", "Overvolume percentage :   100  %",
            "Sealed Box  1.500 Cu. Ft." + inside,
            {row(ratio[0], "1.650 Cu. Ft.", "26.10''", "16.10''", "10.10''"),
             row(ratio[1], "1.651 Cu. Ft.", "20.20''", "14.20''", "10.20''"),
             row(ratio[2], "1.652 Cu. Ft.", "16.30''", "12.90''", "10.30''")},
            "Vented Box  2.250 Cu. Ft." + inside,
            {row(ratio[0], "2.475 Cu. Ft.", "29.10''", "17.10''", "11.10''"),
             row(ratio[1], "2.476 Cu. Ft.", "23.20''", "15.20''", "11.20''"),
             row(ratio[2], "2.477 Cu. Ft.", "18.30''", "14.30''", "11.30''")},
            {vent("1", "0.59''", 24, "(Minimum for 4'' Drivers)"),
             vent("2", "3.83''", 25, "4'' and 5'' Drivers (Minimum for 6'' Drivers)"),
             vent("3", "", 25, "6'' Drivers (Minimum for 8'' Drivers)"),
             vent("4", "12.00''", 23, "8'' and 10'' Drivers (Minimum for 12'' Drivers)"),
             vent("6", "", 22, "12'' Drivers (Minimum for 15'' Drivers)"),
             vent("8", "78.81''", 22, "18'' Drivers (Minimum for 21'' Drivers)"),
             " 2.50''" + sp(22) + "5.55''" + sp(24) + "User Chosen Vent Diameter"});
    }

    // Working values picked to convert to round metric figures.
    static boxvent::ReportInput metricInput()
    {
        constexpr double CuFtPerLitre = 0.0353145;
        boxvent::ReportInput in = inchInput(); // the captions must not matter in this layout
        in.metric = true;
        in.addVolume = 1728; // 1728 x 16.387064 = 28316.846592 cubic centimetres
        in.percentOverVolume = 80;
        in.vbSealed = 40 * CuFtPerLitre;
        in.vbSealedBuild = 50 * CuFtPerLitre;
        in.vbVented = 20 * CuFtPerLitre;
        in.vbVentedBuild = 25 * CuFtPerLitre;
        in.depthSealed = {10, 10, 10}; // 25.4 cm deep
        in.depthVented = {5, 5, 5};    // 12.7 cm deep
        in.ventLength = {-0.5, 0, 1, 10, 20.5, 100, 5};
        return in;
    }

    static QStringList metricExpected()
    {
        const QString ratio[] = {"2.60 : 1.60 : 1" + sp(14), "2.00 : 1.44 : 1" + sp(14), "1.59 : 1.26 : 1" + sp(14)};
        const QString inside = "  l" + sp(26) + "(Inside Dimensions)";
        const auto row = [](const QString &r, const char *vol, const char *h, const char *w, const char *d) {
            return r + vol + "  l" + sp(17) + h + " cm" + sp(10) + w + " cm" + sp(9) + d + " cm";
        };
        // Heights and widths in cm: A 10 x 2.6 x 2.54 = 66.04, 10 x 1.6 x 2.54 = 40.64; B 50.8, 36.576;
        // C 40.386, 32.004; vented at half the depth. Lengths -0.5 and 0 inches print no length and no unit.
        const auto vent = [](const char *dia, int pad, const QString &length, int gap, const char *use) {
            return QStringLiteral("  %1 cm").arg(QLatin1String(dia)) + sp(pad) + length + (length.isEmpty() ? "" : " cm") + sp(gap) + use;
        };
        return reportFrame(
            "Additional volume due to bracing, speaker, vent, etc... :  28316.8 Cu cm    ( 1728  Cu. in.)",
            "Overvolume percentage :   80  %", "Sealed Box  40.0" + inside,
            {row(ratio[0], "50.0", "66.0", "40.6", "25.4"), row(ratio[1], "50.0", "50.8", "36.6", "25.4"),
             row(ratio[2], "50.0", "40.4", "32.0", "25.4")},
            "Vented Box  20.0" + inside,
            {row(ratio[0], "25.0", "33.0", "20.3", "12.7"), row(ratio[1], "25.0", "25.4", "18.3", "12.7"),
             row(ratio[2], "25.0", "20.2", "16.0", "12.7")},
            {vent("2.54", 23, "", 23, "(Minimum for 10 cm Drivers)"),
             vent("5.08", 23, "", 24, "10 cm and 13 cm Drivers (Minimum for 15 cm Drivers)"),
             vent("7.62", 23, "2.5", 24, "15 cm Drivers (Minimum for 20 cm Drivers)"),
             vent("10.16", 21, "25.4", 22, "20 cm and 25 cm Drivers (Minimum for 30 cm Drivers)"),
             vent("15.24", 21, "52.1", 21, "30 cm Drivers (Minimum for 38 cm Drivers)"),
             vent("20.32", 21, "254.0", 21, "46 cm Drivers (Minimum for 53 cm Drivers)"),
             " 6.35 cm" + sp(22) + "12.7 cm" + sp(23) + "User Chosen Vent Diameter"});
    }
};

QTEST_GUILESS_MAIN(TestBoxVentReport)
#include "tst_boxventreport.moc"
