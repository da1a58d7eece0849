// SPDX-License-Identifier: GPL-3.0-or-later
// The build sheet: its cut list and vent worked out by hand, the PDF of the three sample designs
// read back with pdftotext and pdfimages, page breaks in a long table, the picture files, and the
// command line's answers to bad input.

#include "TestSupport.h"
#include "app/AnalysisTab.h"
#include "app/DlgBuildSheet.h"
#include "graphs/GraphPicture.h"
#include "sheet/SheetWriter.h"

#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QXmlStreamReader>

using namespace kelvane::sheet;
using namespace testsupport;

namespace {

struct Word {
    int page;
    double x0, y0, x1, y1;
    QString text;
};
// A PDF read back: its page size, its words, and its printed lines (the words of one line left to
// right) with their texts (the words joined by blanks).
struct Pdf {
    double width = 0, height = 0;
    std::vector<Word> words;
    std::vector<std::vector<Word>> lines;
    QStringList texts;
    // The printed line that starts with the given words.
    std::vector<Word> lineStarting(const QString &start) const
    {
        for (qsizetype i = 0; i < texts.size(); ++i)
            if ((texts[i] + u' ').startsWith(start + u' '))
                return lines[std::size_t(i)];
        return {};
    }
};

// A program run without a display in the test's folder (the current one): its exit code (-1 when it
// did not end normally), standard output and standard error.
std::tuple<int, QString, QString> run(const QString &program, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {-1, {}, {}};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

Pdf readPdf(const QString &path)
{
    static const QRegularExpression token(QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)"|)re"
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    Pdf pdf;
    std::map<std::pair<int, long>, std::vector<Word>> byLine;
    int page = 0;
    const QString html = std::get<1>(run(QStringLiteral("pdftotext"), {"-bbox", path, "-"}));
    for (const auto &m : token.globalMatch(html)) {
        if (!m.captured(1).isEmpty()) {
            pdf.width = m.captured(1).toDouble();
            pdf.height = m.captured(2).toDouble();
            ++page;
            continue;
        }
        const QString text = m.captured(7)
                                 .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
                                 .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
                                 .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        const Word w{page, m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5).toDouble(),
                     m.captured(6).toDouble(), text};
        pdf.words.push_back(w);
        byLine[{page, std::lround(w.y1)}].push_back(w);
    }
    for (auto &[key, ws] : byLine) {
        std::sort(ws.begin(), ws.end(), [](const Word &a, const Word &b) { return a.x0 < b.x0; });
        pdf.lines.push_back(ws);
        QStringList texts;
        for (const Word &w : ws)
            texts << w.text;
        pdf.texts << texts.join(u' ');
    }
    return pdf;
}

const double Margin = MarginMm / 25.4 * 72;

} // namespace

class TestBuildSheet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void boxAndVentTables_data();
    void boxAndVentTables();
    void commandLine_data();
    void commandLine();
    void longTableBreaksBetweenRows();
    void exportThroughMenus();

private:
    QTemporaryDir dir_;
};

void TestBuildSheet::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    QDir::setCurrent(dir_.path());
}

// The cut list of a sealed box of 4.16 cu ft at ratio 2.60 : 1.60 : 1, 31.20 x 19.20 x 12.00 in inside. By
// hand: sides (H + 2t) x (D + 2t), front and back (H + 2t) x W, top and bottom W x D; areas summed per row.
// 0.75 in: 32.70 x 19.20 (627.84 sq in = 4.36 sq ft), 32.70 x 13.50 (2 x 441.45 = 6.13 sq ft),
// 19.20 x 12.00 (2 x 230.4 = 3.20 sq ft), total 2599.38 sq in = 18.05 sq ft.
// 1 in: 33.20 x 19.20 (4.43 sq ft), 33.20 x 14.00 (6.46), 3.20, total 2665.28 sq in = 18.51 sq ft.
// 18 mm: 792.48 + 36 = 828 mm by 487.68 mm (0.404 m2), sides 340.8 mm (2 x 0.28235 = 0.565 m2), top
// 488 x 305 (2 x 0.14864 = 0.297 m2), total 1.670 m2.
// The vent of 1 cu ft tuned to 40 Hz: L = 1.463e7 R^2 / 1600 / 1728 - 1.463 R: 1 in 0.59, 3 in 9.71,
// 4 in 18.24. Vd 0.2 litre: v = 2 Fb Vd / r^2 = 24.8 m/s in 2 in (too fast), 11.0 in 3 in, 6.2 in 4 in.
void TestBuildSheet::boxAndVentTables_data()
{
    QTest::addColumn<bool>("vented");   // the vent's table (after its header row), or the cut list
    QTest::addColumn<double>("wall");
    QTest::addColumn<bool>("metric");
    QTest::addColumn<double>("userDia"); // the user's own vent, inches
    QTest::addColumn<double>("vd");      // cubic metres
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("cut list, 0.75 in") << false << 0.75 << false << 0.0 << 0.0
        << QStringList{"Front 1 32.70'' 19.20'' 4.36 sq ft", "Back 1 32.70'' 19.20'' 4.36 sq ft",
                       "Side 2 32.70'' 13.50'' 6.13 sq ft", "Top and bottom 2 19.20'' 12.00'' 3.20 sq ft",
                       "Total 6   18.05 sq ft"};
    QTest::newRow("cut list, 1 in") << false << 1.0 << false << 0.0 << 0.0
        << QStringList{"Front 1 33.20'' 19.20'' 4.43 sq ft", "Back 1 33.20'' 19.20'' 4.43 sq ft",
                       "Side 2 33.20'' 14.00'' 6.46 sq ft", "Top and bottom 2 19.20'' 12.00'' 3.20 sq ft",
                       "Total 6   18.51 sq ft"};
    QTest::newRow("cut list, 18 mm") << false << 18.0 << true << 0.0 << 0.0
        << QStringList{"Front 1 828 mm 488 mm 0.404 m²", "Back 1 828 mm 488 mm 0.404 m²",
                       "Side 2 828 mm 341 mm 0.565 m²", "Top and bottom 2 488 mm 305 mm 0.297 m²",
                       "Total 6   1.670 m²"};
    QTest::newRow("vent: narrowest not too fast") << true << 0.75 << false << 0.0 << 2e-4
        << QStringList{"Vent diameter (narrowest not too fast) 3.00''", "Vent length 9.71''", "Air speed 11.0 m/s"};
    QTest::newRow("vent: the user's own") << true << 0.75 << false << 4.0 << 2e-4
        << QStringList{"Vent diameter (your own) 4.00''", "Vent length 18.24''", "Air speed 6.2 m/s"};
    QTest::newRow("vent: no Vd, the narrowest that fits") << true << 0.75 << false << 0.0 << 0.0
        << QStringList{"Vent diameter (narrowest not too fast) 1.00''", "Vent length 0.59''",
                       "Air speed unknown (enter Vd)"};
}

void TestBuildSheet::boxAndVentTables()
{
    const bool vented = fetch<bool>("vented");
    const Snapshot s{.vbSealed = 4.16, .vbVented = 1, .fb = 40, .userVentDia = fetch<double>("userDia"),
                     .vd = fetch<double>("vd")};
    const Choices c{vented, 0, fetch<double>("wall"), fetch<bool>("metric"), PageSize::A4, false};
    const Sheet sheet = buildSheet(s, c, {}, {});
    const Table &table = std::get<Table>(vented ? sheet.sections.at(2).items.at(0) : sheet.sections.at(1).items.at(2));
    QStringList shown;
    for (const QStringList &row : table.rows)
        shown << row.join(QLatin1Char(' '));
    QCOMPARE(vented ? shown.mid(1, 3) : shown, fetch<QStringList>("rows"));
}

void TestBuildSheet::commandLine_data()
{
    QTest::addColumn<QString>("args");  // after --build-sheet; a sample design named as example-NAME.kelvane
    QTest::addColumn<QString>("error"); // the one line on standard error after "kelvane: "; none: written
    QTest::newRow("8 in vented") << "8in-woofer 8v.pdf --box vented --units inch --page a4" << "";
    QTest::newRow("8 in sealed") << "8in-woofer 8s.pdf --box sealed --units metric --page letter --ratio 3" << "";
    QTest::newRow("12 in vented") << "12in-subwoofer 12v.pdf --box vented --units metric --page letter" << "";
    QTest::newRow("5 in sealed") << "5in-midwoofer 5s.pdf --box sealed --units inch --page a4 --wall 1" << "";
    QTest::newRow("no such design") << "/nonexistent.kelvane out.pdf"
        << "The design could not be opened from /nonexistent.kelvane: there is no such file.";
    QTest::newRow("ratio 4") << "8in-woofer out.pdf --ratio 4" << "--ratio must be 1, 2 or 3, not \"4\"";
    QTest::newRow("wall -1") << "8in-woofer out.pdf --wall -1" << "--wall must be a number above 0, not \"-1\"";
    QTest::newRow("ported") << "8in-woofer out.pdf --box ported" << "--box must be sealed or vented, not \"ported\"";
    QTest::newRow("unwritable output")
        << "8in-woofer /nonexistent/out.pdf" << "The build sheet could not be written to /nonexistent/out.pdf.";
}

// The command line without a display writes the sheet, or refuses bad input with one line and a failure.
// Read back, the sheet holds every value of the window's own sheet, the box's captions as the Box and
// Vent tab shows them, aligned columns, nothing outside the margins and no bitmap.
void TestBuildSheet::commandLine()
{
    QStringList args = fetch<QString>("args").split(u' ');
    if (!args[0].startsWith(u'/'))
        args[0] = QStringLiteral(KELVANE_SOURCE_DIR "/examples/example-") + args[0] + QStringLiteral(".kelvane");
    const QString design = args[0], out = args[1], error = fetch<QString>("error");
    const auto [code, output, errors] = run(QStringLiteral(KELVANE_EXE), QStringList{"--build-sheet"} + args);
    QCOMPARE(errors, error.isEmpty() ? QString() : QStringLiteral("kelvane: ") + error + u'\n');
    QVERIFY(error.isEmpty() ? code == 0 : code > 0);
    if (!error.isEmpty())
        return;
    const QStringList options = args.mid(2);
    const Pdf pdf = readPdf(out);
    QCOMPARE(pdf.width, options.contains(QStringLiteral("a4")) ? 595.0 : 612.0);

    // The same sheet from the window, with the choices of the command line.
    MessageCatcher messages;
    FrmKelvane window;
    QVERIFY(window.Files->openDesign(design));
    const Snapshot snapshot = window.buildSheetSnapshot();
    Choices c = defaultChoices(snapshot, false);
    c.wall = options.contains(QStringLiteral("metric")) ? DefaultWallMm : DefaultWallIn;
    for (int i = 0; i < options.size(); i += 2)
        QVERIFY(applyOption(c, options[i].mid(2), options[i + 1]).isEmpty());
    const Sheet sheet = buildSheet(snapshot, c, {}, {});
    const QString text = pdf.texts.join(QLatin1Char('\n'));
    for (const Section &section : sheet.sections)
        for (const Item &item : section.items)
            if (const auto *t = std::get_if<Table>(&item))
                for (const QStringList &row : t->rows)
                    for (const QString &cell : row)
                        if (!cell.isEmpty())
                            QVERIFY2(text.contains(cell), qPrintable(cell));
    if (!c.metric && c.vented && c.ratio == 0)
        for (QLabel *l : {window.BoxVent->LblVVol[0], window.BoxVent->LblVHeight[0], window.BoxVent->LblVWidth[0], window.BoxVent->LblVDepth[0],
                          window.BoxVent->LblOriginalFb})
            QVERIFY2(text.contains(l->text()), qPrintable(l->text()));

    for (const Word &w : pdf.words)
        QVERIFY2(w.x0 >= Margin - 0.5 && w.x1 <= pdf.width - Margin + 0.5 && w.y0 >= Margin - 0.5
                     && w.y1 <= pdf.height - Margin + 0.5,
                 qPrintable(w.text));
    // Dimensions: every value column ends at one place; the cut list's first and last columns too.
    const auto inside = pdf.lineStarting(QStringLiteral("Inside")), outside = pdf.lineStarting("Outside");
    QVERIFY(!inside.empty());
    QCOMPARE(inside.size(), outside.size());
    for (std::size_t i = 1; i < inside.size(); ++i)
        QVERIFY(std::abs(inside[i].x1 - outside[i].x1) <= 0.5);
    const auto front = pdf.lineStarting(QStringLiteral("Front 1"));
    QVERIFY(!front.empty());
    for (const QString &first : {"Back 1", "Side 2", "Top and bottom 2", "Total 6"}) {
        const auto row = pdf.lineStarting(first);
        QVERIFY(!row.empty());
        QVERIFY(std::abs(row.front().x0 - front.front().x0) <= 0.5);
        QVERIFY(std::abs(row.back().x1 - front.back().x1) <= 0.5);
    }
    // pdfimages lists its two header lines only.
    QCOMPARE(std::get<1>(run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), out})).trimmed().count(u'\n'), 1);
}

// 120 rows do not fit one page: every row is printed once and whole, and each page of the table
// starts with its header. A very long title wraps and a very long cell is cut short.
void TestBuildSheet::longTableBreaksBetweenRows()
{
    Table t{{{QStringLiteral("Name")}, {QStringLiteral("Value"), true}}, {{QString(300, QLatin1Char('W')), {}}}};
    for (int i = 1; i <= 120; ++i)
        t.rows.push_back({QStringLiteral("Row %1").arg(i), QStringLiteral("%1.5 mm").arg(i)});
    QVERIFY(writePdfFile({QString(200, QLatin1Char('L')), PageSize::A4, {{QStringLiteral("Rows"), {t}}}}, "long.pdf"));
    const Pdf pdf = readPdf(QStringLiteral("long.pdf"));
    for (const Word &w : pdf.words) // a name of 200 or 300 letters stays on the page too
        QVERIFY(w.x0 >= Margin - 0.5 && w.x1 <= pdf.width - Margin + 0.5);
    for (int i = 1; i <= 120; ++i)
        QCOMPARE(pdf.texts.count(QStringLiteral("Row %1 %1.5 mm").arg(i)), 1);
    int breaks = 0;
    for (std::size_t i = 1; i < pdf.lines.size(); ++i)
        if (pdf.lines[i].front().page != pdf.lines[i - 1].front().page) {
            ++breaks;
            QCOMPARE(pdf.lines[i].front().text, QStringLiteral("Name"));
        }
    QVERIFY(breaks >= 1);
}

// The menus' way. Before "Calculate Box" there is nothing to build and the Input tab has no picture.
// The 8-inch sample (EBP 66.7: either box, sealed first; volumes in litres) opens
// the dialog at 18 mm and metric; inch units bring 0.75 in; a wall of 0 is refused and 1 in taken.
// The sheet then shows the sealed box's inside sizes as Box and Vent does. A picture named without a
// suffix takes the file type chosen in the dialog (SVG: valid XML with paths); a PNG is twice the
// picture's size; a failed write leaves the file that was there.
void TestBuildSheet::exportThroughMenus()
{
    MessageCatcher messages;
    FrmKelvane window;
    window.MnuExportBuildSheet->trigger();
    window.MnuExportPicture->trigger();
    QCOMPARE(messages.texts(), QStringList(2, QStringLiteral("More data needed!")));
    messages.clear();
    QVERIFY(window.Files->openDesign(QStringLiteral(KELVANE_SOURCE_DIR "/examples/example-8in-woofer.kelvane")));
    messages.rejectDialogs = false;
    QStringList seen;
    QTimer answer;
    answer.setInterval(5);
    connect(&answer, &QTimer::timeout, [&] {
        if (auto *d = qobject_cast<DlgBuildSheet *>(QApplication::activeModalWidget())) {
            seen << d->TxtWallThickness->text() << d->CboBox->currentText() << d->CboUnits->currentText();
            d->CboUnits->setCurrentIndex(1);
            seen << d->TxtWallThickness->text();
            d->TxtWallThickness->setText(QStringLiteral("0"));
            d->accept();
            d->TxtWallThickness->setText(QStringLiteral("1"));
            d->accept();
        } else if (auto *f = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            f->selectNameFilter(f->nameFilters().constLast());
            f->selectFile(dir_.filePath(f->objectName()));
            static_cast<QDialog *>(f)->accept();
        }
    });
    answer.start();
    window.MnuExportBuildSheet->trigger();
    QCOMPARE(seen, (QStringList{"18", "Sealed box (recommended)", "Metric (mm, litres)", "0.75"}));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Please enter a number > 0!")});
    const QStringList lines = readPdf(QStringLiteral("DlgExportBuildSheet.pdf")).texts;
    QVERIFY(lines.contains(QStringLiteral("Wall thickness 1''")));
    // The Analysis tab's notes stand under its graph as text, not in the picture.
    const QStringList notes = window.Analysis->notes();
    QVERIFY(!notes.isEmpty());
    const QString sheetText = lines.join(u' ').replace(QChar(0xfb01), QStringLiteral("fi")); // the "fi" ligature
    for (const QString &note : notes)
        QVERIFY2(sheetText.contains(note) && !window.Analysis->PicAnalysis->texts().contains(note), qPrintable(note));
    QVERIFY(lines.contains(QStringList{QStringLiteral("Inside"), window.BoxVent->LblCHeight[0]->text(),
                                       window.BoxVent->LblCWidth[0]->text(), window.BoxVent->LblCDepth[0]->text()}
                               .join(QLatin1Char(' '))));
    window.SSTab->setCurrentIndex(FrmKelvane::TabFrequency);
    window.MnuExportPicture->trigger();
    QFile svg(QStringLiteral("DlgExportPicture.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    int paths = 0;
    QString viewBox;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("path"))
            ++paths;
        else if (xml.isStartElement() && xml.name() == QLatin1String("svg"))
            viewBox = xml.attributes().value(QLatin1String("viewBox")).toString();
    QCOMPARE(viewBox, QStringLiteral("0 0 640 480"));
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(paths > 0);
    QVERIFY(writePicture(window.CrossoverPlans->PicCrossoverPlan->drawing(), "plan.png", PictureFormat::Png, QStringLiteral("Plan")));
    QCOMPARE(QImage(QStringLiteral("plan.png")).size(), QSize(1280, 960));
    // A picture grown with the window is exported at its size; the sheet still takes it at 640 x 480.
    window.resize(1600, 1000);
    window.SSTab->setCurrentIndex(FrmKelvane::TabCrossoverPlans);
    settle();
    const QSize shown = window.CrossoverPlans->PicCrossoverPlan->size();
    QVERIFY(shown.width() > 640);
    QVERIFY(writePicture(window.CrossoverPlans->PicCrossoverPlan->drawing(), "grown.png", PictureFormat::Png, {}));
    QCOMPARE(QImage(QStringLiteral("grown.png")).size(), 2 * shown);
    QCOMPARE(window.buildSheetSnapshot().plan.width(), 640.0);
    QVERIFY(!writePicture(window.Frequency->PicFrequency->drawing(), dir_.path(), PictureFormat::Png, {}));
}

QTEST_MAIN(TestBuildSheet)
#include "tst_buildsheet.moc"
