// The frequency-response graph: sealed sweep and curve clipping, the summary rows, the frame and
// curves as pixels of the saved bitmap, the readout under the pointer, saving and printing.

#include "TestSupport.h"
#include "common/Checked.h"
#include "driver/Program.h"
#include "graphs/FrequencyCore.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphOutput.h"
#include "graphs/GraphPicture.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>

using namespace testsupport;

// Levels worked out from the transfer functions, independently of the code under test.
static double sealedDb(double f) // closed box, Fc 53 Hz, Qtc 0.707
{
    const double x = f / 53.0, x2 = x * x;
    return 20 * std::log10(x2 / std::sqrt((x2 - 1) * (x2 - 1) + (x / 0.707) * (x / 0.707)));
}
static double ventedLevel(double f) // Butterworth fourth order at 32 Hz
{
    const double x4 = std::pow(f / 32.0, 4);
    return 20 * std::log10(x4 / std::sqrt(1 + x4 * x4));
}
static int unitAt(double v)
{
    return int(std::floor(v + 0.5));
}

namespace {

// A worked design: Fs 30 Hz, Qts 0.4, Vas 3 cu ft; sealed at Qtc 0.707 (Fc 53 Hz, 1.41 cu ft);
// vented response a fourth-order Butterworth high-pass at 32 Hz with a 0.5 dB peak noted at 45 Hz.
void fillSample(FrmKelvane &w)
{
    w.DriverName = QStringLiteral("W8");
    w.Fs = 30;
    w.Qts = 0.4;
    w.Vas = 3;
    w.Qtc = 0.707;
    w.Fc = 53;
    w.F3Sealed = 53;
    w.VbSealed = 1.41;
    w.PeakdBSealed = 0.3; // replaced: Qtc below 1/sqrt(2) has no peak
    w.PeakFreqSealed = 99;
    w.Fb = 30;
    w.F3Vented = 32;
    w.VbVented = 2.5;
    w.PeakdBVented = 0.5;
    w.PeakFreqVented = 45;
    w.SPL = 88.3;
    w.EBP = 66.7;
    w.EstimatedNote = QStringLiteral("note");
    for (int f = 10; f <= 500; ++f)
        w.VentedResponse[f] = ventedLevel(f);
    w.ButtonsOn(); // as after a completed calculation
}

} // namespace

class TestFrequencyGraph : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sealedPeak_data();
    void sealedPeak();
    void curveMarksClipAndColour();
    void recommendation_data();
    void recommendation();
    void summaryRows_data();
    void summaryRows();
    void peakRowThreshold_data();
    void peakRowThreshold();

    void refusedWithoutDrawing_data();
    void refusedWithoutDrawing();
    void pressSetsFieldsTabAndFocus();
    void savedBitmapShowsFrameGridAndCurves();

    void readout_data();
    void readout();
    void readoutFollowsRealPointer();

    void saveNames_data();
    void saveNames();
    void saveFailureIsReported_data();
    void saveFailureIsReported();

    void print_data();
    void print();

private:
    std::unique_ptr<FrmKelvane> w;
    std::unique_ptr<QTemporaryDir> dir;
    QString oldCwd;
};

void TestFrequencyGraph::init()
{
    w = freshWindow();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("work")));
    oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir->filePath(QStringLiteral("work"))));
}

void TestFrequencyGraph::cleanup()
{
    graphoutput::setPrinterSource({});
    QDir::setCurrent(oldCwd);
    dir.reset();
    w.reset();
}

// ---- numbers ----

void TestFrequencyGraph::sealedPeak_data()
{
    for (const char *column : {"qtc", "db", "freq"})
        QTest::addColumn<double>(column);
    // The model's peak is 0.2 dB at 80 Hz, its F3 60 Hz.
    QTest::newRow("below 1/sqrt 2: no peak, at F3") << 0.7071 << 0.0 << 60.0;
    QTest::newRow("exactly 1/sqrt 2: model stands") << 1 / std::sqrt(2.0) << 0.2 << 80.0;
    QTest::newRow("above: model stands") << 1.0 << 0.2 << 80.0;
}

void TestFrequencyGraph::sealedPeak()
{
    const freqcore::Peak p = freqcore::sealedPeak(fetch<double>("qtc"), 60, {0.2, 80});
    QCOMPARE(p.db, fetch<double>("db"));
    QCOMPARE(p.freqHz, fetch<double>("freq"));
}

// A curve clipped at 10 Hz, climbing out, dipping below the floor, touching it exactly and coming
// back: red segments exactly where the level at the upper frequency is -25 dB.
void TestFrequencyGraph::curveMarksClipAndColour()
{
    freqcore::Curve c{};
    c.fill(0.0);
    c[10] = -30;
    c[11] = -10;
    c[12] = -40;
    c[13] = -25;
    c[14] = -5;
    c[500] = -99; // beyond the drawn range: neither drawn nor clipped
    const auto marks = freqcore::curveMarks(c, 9);
    QCOMPARE(marks.size(), size_t(489)); // lines 11..499 Hz, no point at 10 Hz
    QCOMPARE(c[10], -25.0);
    QCOMPARE(c[12], -25.0);
    QCOMPARE(c[500], -99.0);
    const auto x = [](int f) { return double(float(48 + 128 * std::log(f / 10.0))); };
    const auto y = [](double db) { return double(float(104 - 8 * db)); };
    QCOMPARE(marks[0], (freqcore::Mark{false, x(11), y(-10), x(10), y(-25), 9}));
    QCOMPARE(marks[1], (freqcore::Mark{false, x(12), y(-25), x(11), y(-10), 4}));
    QCOMPARE(marks[2].colour, 4);
    QCOMPARE(marks[3].colour, 9);
    QCOMPARE(marks.back(), (freqcore::Mark{false, x(499), y(0), x(498), y(0), 9}));

    c.fill(0.0);
    c[10] = -24.9;
    const auto withPoint = freqcore::curveMarks(c, 13);
    QCOMPARE(withPoint.size(), size_t(490));
    QCOMPARE(withPoint[0], (freqcore::Mark{true, x(10), y(-24.9), 0, 0, 13}));

    c[300] = qQNaN();
    QVERIFY_THROWS_EXCEPTION(kelvane::CalcFault, freqcore::curveMarks(c, 13));
}

void TestFrequencyGraph::recommendation_data()
{
    QTest::addColumn<double>("ebp");
    QTest::addColumn<QString>("text");
    const QString sealed = QStringLiteral("  A SEALED BOX IS PROBABLY BEST FOR THIS DRIVER");
    const QString vented = QStringLiteral("  A VENTED BOX IS PROBABLY BEST FOR THIS DRIVER  ");
    const QString either = QStringLiteral("  EITHER A SEALED BOX OR A VENTED BOX IS FINE FOR THIS DRIVER");
    QTest::newRow("EBP exactly 50") << 50.0 << sealed;
    QTest::newRow("EBP just over 50") << 50.001 << either;
    QTest::newRow("EBP just under 100") << 99.999 << either;
    QTest::newRow("EBP exactly 100") << 100.0 << vented;
}

void TestFrequencyGraph::recommendation()
{
    QCOMPARE(freqcore::recommendationFor(fetch<double>("ebp")), fetch<QString>("text"));
}

void TestFrequencyGraph::summaryRows_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("rows");
    // Figures of the worked design: Vas 3 cu ft = 3 / 0.0353145 = 84.951 l; vented 2.5 cu ft =
    // 70.792 l = 0.071 cubic metres; sealed 1.41 cu ft = 39.927 l = 0.040 cubic metres.
    const QString rec = QStringLiteral("  EITHER A SEALED BOX OR A VENTED BOX IS FINE FOR THIS DRIVER");
    const QString eff = QStringLiteral("  Free-Air Efficiency is 88.3 dB      note");
    const QString speaker =
        QStringLiteral("  Speaker Data:    Fs = 30.0 Hz,  Vas = 84.951 l   (3.000 Cu. Ft.),  Qts = 0.400");
    const QString ventedPeak =
        QStringLiteral("                              The vented box has a 0.50 dB Peak at 45.0 Hz");
    const auto rows = [&](const QString &vented, const QString &sealed) {
        QStringList r{QString(), QString(), rec, QString(), eff, QString(), speaker, QString()};
        if (!vented.isEmpty())
            r << vented;
        r << ventedPeak << QString();
        if (!sealed.isEmpty())
            r << sealed;
        r << QString();
        return r;
    };
    QTest::newRow("cubic feet") << 0
        << rows(QStringLiteral("  Vented Design:    F3 = 32.0 Hz,  VB = 2.500 Cu. Ft.,  Fb = 30.0 Hz"),
                QStringLiteral("  Sealed Design:    F3 = 53.0 Hz,  VB = 1.410 Cu. Ft.,  Fc = 53.0 Hz,  Qtc = 0.707"));
    QTest::newRow("litres") << 1
        << rows(QStringLiteral("  Vented Design:    F3 = 32.0 Hz,  VB = 70.792 l,  Fb = 30.0 Hz"),
                QStringLiteral("  Sealed Design:    F3 = 53.0 Hz,  VB = 39.927 l,  Fc = 53.0 Hz,  Qtc = 0.707"));
    QTest::newRow("cubic metres") << 2
        << rows(QStringLiteral("  Vented Design:    F3 = 32.0 Hz,  VB = 0.071 Cu M,  Fb = 30.0 Hz"),
                QStringLiteral("  Sealed Design:    F3 = 53.0 Hz,  VB = 0.040 Cu M,  Fc = 53.0 Hz,  Qtc = 0.707"));
    QTest::newRow("no unit selected") << -1 << rows(QString(), QString());
}

void TestFrequencyGraph::summaryRows()
{
    freqcore::SummaryInput in;
    in.recommendation = freqcore::recommendationFor(66.7);
    in.spl = 88.3;
    in.estimatedNote = QStringLiteral("note");
    in.fs = 30;
    in.vas = 3;
    in.qts = 0.4;
    in.f3Vented = 32;
    in.vbVented = 2.5;
    in.fb = 30;
    in.peakDbVented = 0.5;
    in.peakFreqVented = 45;
    in.f3Sealed = 53;
    in.vbSealed = 1.41;
    in.fc = 53;
    in.qtc = 0.707;
    in.peakDbSealed = 0;
    in.peakFreqSealed = 53;
    in.volumeUnit = fetch<int>("unit");
    QCOMPARE(freqcore::summaryRows(in), fetch<QStringList>("rows"));
}

void TestFrequencyGraph::peakRowThreshold_data()
{
    QTest::addColumn<double>("vented");
    QTest::addColumn<double>("sealed");
    QTest::addColumn<QStringList>("peakRows");
    const QString v = QStringLiteral("                              The vented box has a ");
    const QString s = QStringLiteral("                              The sealed box has a ");
    QTest::newRow("both under 0.01 dB") << 0.0099999 << 0.0 << QStringList();
    QTest::newRow("both exactly 0.01 dB") << 0.01 << 0.01
        << QStringList{v + "0.01 dB Peak at 45.0 Hz", s + "0.01 dB Peak at 70.0 Hz"};
    QTest::newRow("sealed 1.25 dB only") << 0.0 << 1.25 << QStringList{s + "1.25 dB Peak at 70.0 Hz"};
}

void TestFrequencyGraph::peakRowThreshold()
{
    freqcore::SummaryInput in;
    in.peakDbVented = fetch<double>("vented");
    in.peakFreqVented = 45;
    in.peakDbSealed = fetch<double>("sealed");
    in.peakFreqSealed = 70;
    QStringList found;
    for (const QString &row : freqcore::summaryRows(in))
        if (row.contains(QLatin1String("Peak at")))
            found << row;
    QCOMPARE(found, fetch<QStringList>("peakRows"));
}

// ---- the window ----

void TestFrequencyGraph::refusedWithoutDrawing_data()
{
    QTest::addColumn<double>("vas");
    QTest::addColumn<double>("fc");
    QTest::addColumn<QString>("message");
    QTest::newRow("no Vas: more data needed") << 0.0 << 53.0 << Program::MoreDataNeededText;
    // Fc = 0 cannot come out of a completed calculation; if it does, it is reported, not drawn.
    QTest::newRow("impossible Fc 0") << 3.0 << 0.0 << Program::NumberErrorText;
}

void TestFrequencyGraph::refusedWithoutDrawing()
{
    fillSample(*w);
    w->Vas = fetch<double>("vas");
    w->Fc = fetch<double>("fc");
    const QImage blank = w->PicFrequency->image();
    MessageCatcher catcher;
    w->CmdFrequency_Click();
    settle();
    QCOMPARE(catcher.messages(), (QList<Message>{{QStringLiteral("Error"), fetch<QString>("message")}}));
    QCOMPARE(w->PicFrequency->image(), blank);
    if (w->Vas == 0) {
        QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabInput));
        QCOMPARE(w->focusWidget(), w->TxtFs);
    }
}

void TestFrequencyGraph::pressSetsFieldsTabAndFocus()
{
    fillSample(*w);
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxModel);
    w->CmdFrequency->setEnabled(true);
    MessageCatcher catcher;
    w->CmdFrequency->click();
    settle();
    QVERIFY(catcher.messages().isEmpty());
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabFrequency));
    QCOMPARE(w->focusWidget(), w->CmdDisplacement);
    QCOMPARE(w->Recommendation, QStringLiteral("  EITHER A SEALED BOX OR A VENTED BOX IS FINE FOR THIS DRIVER"));
    QCOMPARE(w->PeakdBSealed, 0.0);
    QCOMPARE(w->PeakFreqSealed, 53.0);
    QVERIFY(std::abs(w->SealedResponse[53] - 20 * std::log10(0.707)) < 1e-9);
    QVERIFY(std::abs(w->SealedResponse[500] - sealedDb(500)) < 1e-9);
    QCOMPARE(w->SealedResponse[9], 0.0); // below 10 Hz nothing is written
    // The vented curve stays clipped at the floor where it was drawn.
    QCOMPARE(w->VentedResponse[12], -25.0);
    QCOMPARE(w->VentedResponse[40], ventedLevel(40));
}

void TestFrequencyGraph::savedBitmapShowsFrameGridAndCurves()
{
    fillSample(*w);
    w->CmdFrequency_Click();
    const QImage first = w->PicFrequency->image();
    w->CmdFrequency_Click(); // a second press draws the identical picture
    QCOMPARE(w->PicFrequency->image(), first);
    w->CmdSave_Click();

    // An uncompressed Windows bitmap of the picture, 640 x 480 times the pixel scale.
    QFile f(QStringLiteral("W8Frequency.bmp"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    QVERIFY(b.size() > 54);
    QCOMPARE(b.left(2), QByteArray("BM"));
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(b.constData() + at); };
    QCOMPARE(u32(2), quint32(b.size()));
    QCOMPARE(qint32(u32(18)), 640 * w->PicFrequency->pixelScale());
    QCOMPARE(std::abs(qint32(u32(22))), 480 * w->PicFrequency->pixelScale());
    QCOMPARE(u32(30), quint32(0)); // BI_RGB: no compression
    QImage bmp(QStringLiteral("W8Frequency.bmp"), "BMP");
    QCOMPARE(bmp.convertToFormat(QImage::Format_RGB32), first);
    const int s = bmp.width() / 640;
    const auto px = [&](double x, double y) {
        return QColor(bmp.pixel(unitAt(x) * s + s / 2, unitAt(y) * s + s / 2));
    };
    const QColor red(128, 0, 0), grey(128, 128, 128), white(255, 255, 255);
    const QColor blue(0, 0, 255), magenta(255, 0, 255);
    const double x200 = 48 + 128 * std::log(20.0); // the 200 Hz grid line: 431.46
    const struct { double x, y; QColor colour; } expected[] = {
        {48, 150, red}, {549, 150, red}, {300, 24, red}, {300, 304, red}, // frame (48, 24)-(549, 304)
        {45, 80, red}, {45, 128, red}, {51, 144, red}, {51, 264, red},    // ticks: +-3 dB outside, 5 dB inside
        {60, 104, grey},                                                  // 0 dB line, curves far below
        {x200, 150, grey}, {x200 + 1, 150, white},
        {400, 64, grey}, {401, 64, white}, {402, 64, white}};             // dotted +5 dB: x = 49 + 3k
    for (const auto &e : expected)
        QVERIFY2(px(e.x, e.y) == e.colour, qPrintable(QStringLiteral("at %1, %2").arg(e.x).arg(e.y)));
    // Curves where they stand apart: vented (blue) and sealed (magenta) at 25 and 35 Hz.
    for (double f : {25.0, 35.0}) {
        const double x = 48 + 128 * std::log(f / 10);
        QCOMPARE(px(x, 104 - 8 * ventedLevel(f)), blue);
        QCOMPARE(px(x, 104 - 8 * sealedDb(f)), magenta);
    }
}

void TestFrequencyGraph::readout_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<QString>("freq");
    QTest::addColumn<QString>("level");
    // f = 10 e^(X/128 - 0.375), L = 13 - Y/8, worked out by hand; on the frame nothing changes.
    QTest::newRow("on left edge") << 48.0 << 104.0 << "Hz" << "dB";
    QTest::newRow("on right edge") << 549.0 << 104.0 << "Hz" << "dB";
    QTest::newRow("on bottom edge") << 300.0 << 304.0 << "Hz" << "dB";
    QTest::newRow("just right of the left edge at 0 dB") << 48.01 << 104.0 << "10.0 Hz" << "0.0 dB";
    QTest::newRow("100 Hz at +5 dB") << 342.7309 << 64.0 << "100.0 Hz" << "5.0 dB";
    QTest::newRow("just inside top") << 200.0 << 24.01 << "32.8 Hz" << "10.0 dB";
    QTest::newRow("just inside bottom right") << 548.99 << 303.99 << "501.0 Hz" << "-25.0 dB";
    QTest::newRow("half a tenth rounds away from zero") << 400.0 << 150.0 << "156.4 Hz" << "-5.8 dB";
}

void TestFrequencyGraph::readout()
{
    w->PicFrequency_MouseMove(0, 0, fetch<double>("x"), fetch<double>("y"));
    QCOMPARE(w->TxtFreqXNum->text(), fetch<QString>("freq"));
    QCOMPARE(w->TxtSPLYNum->text(), fetch<QString>("level"));
    // Leaving the plot keeps the last values; so does drawing the graph.
    w->PicFrequency_MouseMove(0, 0, 600, 400);
    fillSample(*w);
    w->CmdFrequency_Click();
    QCOMPARE(w->TxtFreqXNum->text(), fetch<QString>("freq"));
}

void TestFrequencyGraph::readoutFollowsRealPointer()
{
    fillSample(*w);
    w->CmdFrequency_Click();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QTest::mouseMove(w->PicFrequency, QPoint(200, 150));
    settle();
    QCOMPARE(w->TxtFreqXNum->text(), QStringLiteral("32.8 Hz"));
    QCOMPARE(w->TxtSPLYNum->text(), QStringLiteral("-5.8 dB"));
}

void TestFrequencyGraph::saveNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::newRow("named driver") << "W8" << "W8Frequency.bmp";
    QTest::newRow("unnamed driver") << "" << "FrequencyResponseFrequency.bmp";
    QTest::newRow("driver named like the placeholder") << "FrequencyResponse" << "FrequencyResponseFrequency.bmp";
    QTest::newRow("every sign the name field admits") << "Big Woofer 12.5 'Pro'_x-1"
                                                       << "Big Woofer 12.5 'Pro'_x-1Frequency.bmp";
    QTest::newRow("leading points") << ".." << "..Frequency.bmp";
}

// The file goes to the current folder under the driver's name; the name itself is never changed.
void TestFrequencyGraph::saveNames()
{
    const QString name = fetch<QString>("name");
    fillSample(*w);
    w->DriverName = name;
    w->CmdFrequency_Click();
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxModel);
    w->CmdSave->setEnabled(true);
    MessageCatcher catcher;
    w->CmdSave_Click();
    settle();
    QVERIFY(catcher.messages().isEmpty());
    QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{fetch<QString>("file")});
    QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("work")});
    QCOMPARE(w->DriverName, name);
    // Redrawn afterwards: the graph's tab, focus on the next button.
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabFrequency));
    QCOMPARE(w->focusWidget(), w->CmdDisplacement);
}

// A name that would not make a plain file in the current folder is refused and nothing is written
// anywhere; a folder in the way of the file makes the write fail. Either way the user is told, and
// the graph and the driver name stay as they were.
void TestFrequencyGraph::saveFailureIsReported_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("slash into a folder") << "a/b";
    QTest::newRow("up and out") << "../escape";
    QTest::newRow("backslash") << "..\\x";
    QTest::newRow("tab") << "W8\tx";
    QTest::newRow("line feed") << "W8\nx";
    QTest::newRow("delete") << QStringLiteral("W8") + QChar(0x7f);
    QTest::newRow("too long for the file system") << QString(300, QLatin1Char('W'));
    QTest::newRow("a folder in the way") << "W8";
}

void TestFrequencyGraph::saveFailureIsReported()
{
    const QString name = fetch<QString>("name");
    QVERIFY(QDir::current().mkdir(QStringLiteral("a")));
    QVERIFY(QDir::current().mkdir(QStringLiteral("W8Frequency.bmp")));
    fillSample(*w);
    w->CmdFrequency_Click();
    w->DriverName = name;
    const QImage before = w->PicFrequency->image();
    MessageCatcher catcher;
    w->CmdSave_Click();
    settle();
    QCOMPARE(catcher.messages(),
             (QList<Message>{{QStringLiteral("Error"),
                              QStringLiteral("The image could not be saved to ") + name + "Frequency.bmp."}}));
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    QCOMPARE(QDir::current().entryList(all, QDir::Name), (QStringList{"W8Frequency.bmp", "a"}));
    QVERIFY(QDir(QStringLiteral("a")).isEmpty(all));
    QVERIFY(QDir(QStringLiteral("W8Frequency.bmp")).isEmpty(all));
    QCOMPARE(QDir(dir->path()).entryList(all), QStringList{QStringLiteral("work")});
    QCOMPARE(w->DriverName, name);
    QCOMPARE(w->PicFrequency->image(), before);
}

void TestFrequencyGraph::print_data()
{
    QTest::addColumn<QString>("pdf"); // where the printer writes; empty: no printer at all
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("working printer") << "page.pdf" << QStringList();
    QTest::newRow("no printer") << "" << QStringList{Program::PrintProblemText};
    QTest::newRow("printer fails") << "missing/folder/page.pdf" << QStringList{Program::PrintProblemText};
}

// The two buttons are hidden while printing and shown again after, whatever happened; the graph
// and the driver name stay as they were.
void TestFrequencyGraph::print()
{
    const QString pdf = fetch<QString>("pdf").isEmpty() ? QString() : dir->filePath(fetch<QString>("pdf"));
    fillSample(*w);
    w->CmdFrequency_Click();
    const QImage before = w->PicFrequency->image();
    bool buttonsShown = true;
    graphoutput::setPrinterSource([&]() -> std::unique_ptr<QPrinter> {
        buttonsShown = w->CmdSave->isVisible() || w->CmdPrintFreq->isVisible();
        if (pdf.isEmpty())
            return nullptr;
        auto p = std::make_unique<QPrinter>();
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(pdf);
        return p;
    });
    MessageCatcher catcher;
    w->CmdPrintFreq_Click();
    settle();
    QCOMPARE(catcher.texts(), fetch<QStringList>("messages"));
    for (const Message &m : catcher.messages())
        QCOMPARE(m.title, QStringLiteral("Error"));
    QVERIFY(!buttonsShown || pdf.isEmpty());
    QVERIFY(w->CmdSave->isVisible());
    QVERIFY(w->CmdPrintFreq->isVisible());
    QCOMPARE(w->PicFrequency->image(), before);
    QCOMPARE(w->DriverName, QStringLiteral("W8"));
    if (catcher.texts().isEmpty()) {
        QFile out(pdf);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QVERIFY(out.size() > 1000);
        QCOMPARE(out.read(4), QByteArray("%PDF"));
        QCOMPARE(w->focusWidget(), w->CmdDisplacement);
    }
}

QTEST_MAIN(TestFrequencyGraph)
#include "tst_frequencygraph.moc"
