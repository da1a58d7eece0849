// The printed box-and-vent report: its lines in both layouts, line for line, and the text as it
// comes out of a printer (a PDF printer, read back with pdftotext).

#include "TestSupport.h"
#include "boxvent/BoxCore.h"
#include "boxvent/Report.h"
#include "boxvent/ReportLines.h"
#include "boxvent/TextPrinter.h"

#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>

using namespace testsupport;
using namespace kelvane::boxvent;

namespace {

// The padded literals of the report, each checked against the length the report's layout gives
// for it, so a lost or extra blank shows up as a length fault.
QStringList lengthFaults;
QString lit(const char *text, int length)
{
    const QString s = QString::fromLatin1(text);
    if (s.size() != length)
        lengthFaults << QStringLiteral("%1 chars, not %2: \"%3\"").arg(s.size()).arg(length).arg(s);
    return s;
}

QString blanks(int n)
{
    return QString(n, u' ');
}

const char *const ColumnHeads =
    "      Ratios                Volumes              Height            Width            Depth";
const char *const ColumnLines =
    "      ______                _______              ______            _____            _____";

// Captions as the tab would show them (values chosen so that every one differs).
ReportInput inchInput()
{
    ReportInput in;
    in.metric = false;
    in.addVolume = 0;
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

QStringList inchExpected()
{
    const QString ratioA = lit("2.60 : 1.60 : 1         ", 24);
    const QString ratioB = lit("2.00 : 1.44 : 1         ", 24);
    const QString ratioC = lit("1.59 : 1.26 : 1         ", 24);
    const QString inside = lit("                           (Inside Dimensions)", 46);
    return {
        lit("Additional volume due to bracing, speaker, vent, etc... :  ", 59) + " 0 " + " Cu. in.",
        "Overvolume percentage :  " + QString(" 100 ") + " %",
        "",
        "",
        "Sealed Box  1.500 Cu. Ft." + inside,
        lit(ColumnHeads, 89),
        lit(ColumnLines, 89),
        "",
        ratioA + "1.650 Cu. Ft." + blanks(11) + "26.10''" + blanks(13) + "16.10''" + blanks(12) + "10.10''",
        ratioB + "1.651 Cu. Ft." + blanks(11) + "20.20''" + blanks(13) + "14.20''" + blanks(12) + "10.20''",
        ratioC + "1.652 Cu. Ft." + blanks(11) + "16.30''" + blanks(13) + "12.90''" + blanks(12) + "10.30''",
        "",
        "",
        "Vented Box  2.250 Cu. Ft." + inside,
        lit(ColumnHeads, 89),
        lit(ColumnLines, 89),
        "",
        ratioA + "2.475 Cu. Ft." + blanks(11) + "29.10''" + blanks(13) + "17.10''" + blanks(12) + "11.10''",
        ratioB + "2.476 Cu. Ft." + blanks(11) + "23.20''" + blanks(13) + "15.20''" + blanks(12) + "11.20''",
        ratioC + "2.477 Cu. Ft." + blanks(11) + "18.30''" + blanks(13) + "14.30''" + blanks(12) + "11.30''",
        "",
        "",
        "",
        "Vent Frequency:  32.5 Hz",
        "",
        lit("Diameter                Length                 Good for the following:", 70),
        lit("________                ______                 _______________________", 70),
        "",
        lit("  1''                           ", 32) + "0.59''"
            + lit("                        (Minimum for 4'' Drivers)", 49),
        lit("  2''                           ", 32) + "3.83''"
            + lit("                         4'' and 5'' Drivers (Minimum for 6'' Drivers)", 70),
        lit("  3''                           ", 32)
            + lit("                         6'' Drivers (Minimum for 8'' Drivers)", 62),
        lit("  4''                           ", 32) + "12.00''"
            + lit("                       8'' and 10'' Drivers (Minimum for 12'' Drivers)", 70),
        lit("  6''                           ", 32)
            + lit("                      12'' Drivers (Minimum for 15'' Drivers)", 61),
        lit("  8''                           ", 32) + "78.81''"
            + lit("                      18'' Drivers (Minimum for 21'' Drivers)", 61),
        " 2.50" + lit("''                      ", 24) + "5.55''"
            + lit("                        User Chosen Vent Diameter", 49),
    };
}

constexpr double CuFtPerLitre = 0.0353145;

// Working values picked to convert to round metric figures.
ReportInput metricInput()
{
    ReportInput in = inchInput(); // the captions must not matter in this layout
    in.metric = true;
    in.addVolume = 1728;          // 1728 x 16.387064 = 28316.846592 cubic centimetres
    in.percentOverVolume = 80;
    in.vbSealed = 40 * CuFtPerLitre;      // 40 l
    in.vbSealedBuild = 50 * CuFtPerLitre; // 50 l
    in.vbVented = 20 * CuFtPerLitre;
    in.vbVentedBuild = 25 * CuFtPerLitre;
    in.depthSealed = {10, 10, 10};  // 25.4 cm deep
    in.depthVented = {5, 5, 5};     // 12.7 cm deep
    in.ventLength = {-0.5, 0, 1, 10, 20.5, 100, 5};
    in.ventDia6 = 2.5;              // 6.35 cm
    return in;
}

QStringList metricExpected()
{
    const QString ratioA = lit("2.60 : 1.60 : 1              ", 29);
    const QString ratioB = lit("2.00 : 1.44 : 1              ", 29);
    const QString ratioC = lit("1.59 : 1.26 : 1              ", 29);
    const QString litres = lit("  l                 ", 20);
    const QString cm13 = lit(" cm          ", 13);
    const QString cm12 = lit(" cm         ", 12);
    const QString inside = lit("  l                          (Inside Dimensions)", 48);
    // Heights and widths in cm: A 10 x 2.6 x 2.54 = 66.04, 10 x 1.6 x 2.54 = 40.64;
    // B 20 x 2.54 = 50.8, 14.4 x 2.54 = 36.576; C 15.9 x 2.54 = 40.386, 12.6 x 2.54 = 32.004;
    // vented at half the depth: 33.02, 20.32; 25.4, 18.288; 20.193, 16.002.
    return {
        lit("Additional volume due to bracing, speaker, vent, etc... :  ", 59) + "28316.8" + " Cu cm    ("
            + " 1728 " + " Cu. in.)",
        "Overvolume percentage :  " + QString(" 80 ") + " %",
        "",
        "",
        "Sealed Box  40.0" + inside,
        lit(ColumnHeads, 89),
        lit(ColumnLines, 89),
        "",
        ratioA + "50.0" + litres + "66.0" + cm13 + "40.6" + cm12 + "25.4 cm",
        ratioB + "50.0" + litres + "50.8" + cm13 + "36.6" + cm12 + "25.4 cm",
        ratioC + "50.0" + litres + "40.4" + cm13 + "32.0" + cm12 + "25.4 cm",
        "",
        "",
        "Vented Box  20.0" + inside,
        lit(ColumnHeads, 89),
        lit(ColumnLines, 89),
        "",
        ratioA + "25.0" + litres + "33.0" + cm13 + "20.3" + cm12 + "12.7 cm",
        ratioB + "25.0" + litres + "25.4" + cm13 + "18.3" + cm12 + "12.7 cm",
        ratioC + "25.0" + litres + "20.2" + cm13 + "16.0" + cm12 + "12.7 cm",
        "",
        "",
        "",
        "Vent Frequency:  32.5 Hz",
        "",
        lit("Diameter                Length                 Good for the following:", 70),
        lit("________                ______                 _______________________", 70),
        "",
        // Lengths -0.5 and 0 inches: a vent too wide for the box prints no length and no unit.
        lit("  2.54 cm                       ", 32)
            + lit(" cm                       (Minimum for 10 cm Drivers)", 53).mid(3),
        lit("  5.08 cm                       ", 32)
            + lit(" cm                        10 cm and 13 cm Drivers (Minimum for 15 cm Drivers)", 78).mid(3),
        lit("  7.62 cm                       ", 32) + "2.5"
            + lit(" cm                        15 cm Drivers (Minimum for 20 cm Drivers)", 68),
        lit("  10.16 cm                     ", 31) + "25.4"
            + lit(" cm                      20 cm and 25 cm Drivers (Minimum for 30 cm Drivers)", 76),
        lit("  15.24 cm                     ", 31) + "52.1"
            + lit(" cm                     30 cm Drivers (Minimum for 38 cm Drivers)", 65),
        lit("  20.32 cm                     ", 31) + "254.0"
            + lit(" cm                     46 cm Drivers (Minimum for 53 cm Drivers)", 65),
        " 6.35" + lit(" cm                      ", 25) + "12.7"
            + lit(" cm                       User Chosen Vent Diameter", 51),
    };
}

void compareLines(const QStringList &actual, const QStringList &expected)
{
    for (int i = 0; i < std::min(actual.size(), expected.size()); ++i)
        QVERIFY2(actual[i] == expected[i], qPrintable(QStringLiteral("line %1:\n  got  \"%2\"\n  want \"%3\"")
                                                         .arg(i + 1).arg(actual[i], expected[i])));
    QCOMPARE(actual.size(), expected.size());
}

QString runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// The text of a PDF as pdftotext reads it, by position (layout) or in the order it was drawn,
// one string per line, trailing blanks, page feeds and the final empty lines removed; with
// collapse, each line's blank runs collapsed (what a reader can recover whatever the font).
QStringList pdfText(const QString &pdf, bool layout, bool collapse)
{
    QStringList lines = runTool("pdftotext", {layout ? "-layout" : "-raw", "-enc", "UTF-8", pdf, "-"}).split(u'\n');
    for (QString &l : lines)
        l = collapse ? l.remove(u'\f').simplified() : l.remove(u'\f').remove(QRegularExpression(" +$"));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

int pdfPages(const QString &pdf)
{
    const QRegularExpression pages("^Pages:\\s+(\\d+)", QRegularExpression::MultilineOption);
    return pages.match(runTool("pdfinfo", {pdf})).captured(1).toInt();
}

std::unique_ptr<QPrinter> pdfPrinter(const QString &file)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    return printer;
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void inchLayout();
    void metricLayout();
    void customVentLineOmitted_data();
    void customVentLineOmitted();
    void zeroAddedVolume();
    void customVentTooWideMetric();
    void windowLayoutFollowsResultUnit_data();
    void windowLayoutFollowsResultUnit();
    void reportFromWindowAfterCalculation();
    void printedOnPdfPrinter();
};

void TestReport::inchLayout()
{
    lengthFaults.clear();
    const QStringList expected = inchExpected();
    QCOMPARE(lengthFaults, QStringList());
    compareLines(reportLines(inchInput()), expected);
}

void TestReport::metricLayout()
{
    lengthFaults.clear();
    const QStringList expected = metricExpected();
    QCOMPARE(lengthFaults, QStringList());
    compareLines(reportLines(metricInput()), expected);
}

void TestReport::customVentLineOmitted_data()
{
    QTest::addColumn<bool>("metric");
    QTest::addColumn<double>("ventDia6");
    QTest::newRow("inch, none") << false << 0.0;
    QTest::newRow("metric, negative") << true << -1.0;
}

void TestReport::customVentLineOmitted()
{
    const bool metric = fetch<bool>("metric");
    ReportInput in = metric ? metricInput() : inchInput();
    in.ventDia6 = fetch<double>("ventDia6");
    compareLines(reportLines(in), (metric ? metricExpected() : inchExpected()).mid(0, 34));
}

void TestReport::zeroAddedVolume()
{
    ReportInput in = metricInput();
    in.addVolume = 0;
    QCOMPARE(reportLines(in).at(0),
             QStringLiteral("Additional volume due to bracing, speaker, vent, etc... :  0.0 Cu cm    ( 0  Cu. in.)"));
    in.metric = false;
    QCOMPARE(reportLines(in).at(0),
             QStringLiteral("Additional volume due to bracing, speaker, vent, etc... :   0  Cu. in."));
    in.percentOverVolume = 100;
    QCOMPARE(reportLines(in).at(1), QStringLiteral("Overvolume percentage :   100  %"));
    in.percentOverVolume = 112.5;
    QCOMPARE(reportLines(in).at(1), QStringLiteral("Overvolume percentage :   112.5  %"));
}

void TestReport::customVentTooWideMetric()
{
    ReportInput in = metricInput();
    in.ventLength[6] = -3.2;
    QCOMPARE(reportLines(in).at(34),
             QStringLiteral(" 6.35 cm                      ") + blanks(23) + "User Chosen Vent Diameter");
}

void TestReport::windowLayoutFollowsResultUnit_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("line5");
    QTest::newRow("cubic feet: inches") << 0 << "Sealed Box  1.413 Cu. Ft.                           (Inside Dimensions)";
    QTest::newRow("litres: metric") << 1 << "Sealed Box  40.0  l                          (Inside Dimensions)";
    QTest::newRow("cubic metres: metric") << 2 << "Sealed Box  40.0  l                          (Inside Dimensions)";
}

void TestReport::windowLayoutFollowsResultUnit()
{
    const int unit = fetch<int>("unit");
    auto w = freshWindow();
    w->VbSealed = 40 * CuFtPerLitre; // 1.41258 cubic feet
    w->VbVented = 1;
    w->Fb = 40;
    w->VentLengths();
    w->BoxDimensions();
    w->OptSealedVolumeBox[unit]->setChecked(true);
    const QStringList lines = reportLines(reportInputOf(*w));
    QCOMPARE(lines.at(4), fetch<QString>("line5"));
    // 2 in vent on 1 cubic foot at 40 Hz: 3.8285 in = 9.724 cm
    QCOMPARE(lines.at(29), unit == 0 ? QStringLiteral("  2''                           3.83''") + lit(
                 "                         4'' and 5'' Drivers (Minimum for 6'' Drivers)", 70)
                                     : QStringLiteral("  5.08 cm                       9.7 cm") + blanks(24)
                                           + "10 cm and 13 cm Drivers (Minimum for 15 cm Drivers)");
    QCOMPARE(lines.size(), 34);
}

// The report reads what the tab shows after the calculation and the three fields.
void TestReport::reportFromWindowAfterCalculation()
{
    MessageCatcher catcher;
    auto w = freshWindow();
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxVent);
    w->OptSealedVolumeBox[0]->setChecked(true);
    w->VbSealed = 2.88;
    w->VbVented = 1;
    w->Fb = 40;
    w->VentLengths();
    w->BoxDimensions();
    typeInto(find<QLineEdit>(w.get(), "TxtAddVolume"), "1728");
    typeInto(find<QLineEdit>(w.get(), "TxtVentDia"), "2");
    settle();
    const QStringList lines = reportLines(reportInputOf(*w));
    QCOMPARE(lines.at(0), QStringLiteral("Additional volume due to bracing, speaker, vent, etc... :   1728  Cu. in."));
    QCOMPARE(lines.at(4), QStringLiteral("Sealed Box  2.880 Cu. Ft.                           (Inside Dimensions)"));
    // Sealed build 3.88 cu ft; ratio B depth (3.88 / 2.88)^(1/3) x 12 = 13.2534 in, height 26.5068,
    // width 19.0849 (calculator)
    QCOMPARE(lines.at(9), QStringLiteral("2.00 : 1.44 : 1         3.880 Cu. Ft.") + blanks(11) + "26.51''"
                              + blanks(13) + "19.08''" + blanks(12) + "13.25''");
    QCOMPARE(lines.at(23), QStringLiteral("Vent Frequency:  40.0 Hz"));
    QCOMPARE(lines.at(34), QStringLiteral(" 2.00''                      3.83''                        User Chosen Vent Diameter"));
    QCOMPARE(catcher.messages().size(), 0);
}

void TestReport::printedOnPdfPrinter()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    const QStringList lines = reportLines(inchInput());
    QVERIFY(kelvane::printTextLines(*pdfPrinter(pdf), lines));
    QCOMPARE(pdfPages(pdf), 1);
    // Read back by position every printed line is a line of its own, empty lines included; the
    // width of the blank runs inside a line depends on the font, so they are collapsed.
    QStringList expected;
    for (const QString &l : lines)
        expected << l.simplified();
    QCOMPARE(pdfText(pdf, true, true), expected);

    // A text longer than a page breaks onto further pages, every line kept in order.
    QStringList longText;
    for (int i = 1; i <= 300; ++i)
        longText << QStringLiteral("line %1 of the long text").arg(i);
    QVERIFY(kelvane::printTextLines(*pdfPrinter(dir.filePath("long.pdf")), longText));
    QVERIFY(pdfPages(dir.filePath("long.pdf")) > 1);
    QCOMPARE(pdfText(dir.filePath("long.pdf"), false, false), longText);

    // A printer that cannot open its output fails.
    QVERIFY(!kelvane::printTextLines(*pdfPrinter("/nonexistent-folder/report.pdf"), lines));
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
