// The build sheet: its cut list and vent worked out by hand, the PDF of the three sample designs
// read back with pdftotext and pdfimages, page breaks in a long table, the picture files, and the
// command line's answers to bad input.

#include "TestSupport.h"
#include "app/DlgBuildSheet.h"
#include "graphs/GraphPicture.h"
#include "sheet/SheetWriter.h"

#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QTabWidget>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

using namespace kelvane::sheet;

namespace {

struct Word {
    int page;
    double x0, y0, x1, y1;
    QString text;
};
struct Pdf {
    double width = 0, height = 0;
    std::vector<Word> words;
    // The words of one printed line, left to right.
    std::vector<std::vector<Word>> lines() const
    {
        std::map<std::pair<int, long>, std::vector<Word>> byLine;
        for (const Word &w : words)
            byLine[{w.page, std::lround(w.y1)}].push_back(w);
        std::vector<std::vector<Word>> out;
        for (auto &[key, ws] : byLine) {
            std::sort(ws.begin(), ws.end(), [](const Word &a, const Word &b) { return a.x0 < b.x0; });
            out.push_back(ws);
        }
        return out;
    }
    QStringList lineTexts() const
    {
        QStringList out;
        for (const auto &l : lines()) {
            QStringList ws;
            for (const Word &w : l)
                ws << w.text;
            out << ws.join(QLatin1Char(' '));
        }
        return out;
    }
};

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

Pdf readPdf(const QString &path)
{
    Pdf pdf;
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    static const QRegularExpression token(
        QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)"|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    int page = 0;
    for (const auto &m : token.globalMatch(html)) {
        if (!m.captured(1).isEmpty()) {
            pdf.width = m.captured(1).toDouble();
            pdf.height = m.captured(2).toDouble();
            ++page;
        } else {
            QString text = m.captured(7);
            text.replace(QStringLiteral("&apos;"), QStringLiteral("'")).replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            pdf.words.push_back({page, m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5).toDouble(),
                                 m.captured(6).toDouble(), text});
        }
    }
    return pdf;
}

// The printed line that starts with the given words.
std::vector<Word> lineStarting(const Pdf &pdf, const QString &start)
{
    for (const auto &l : pdf.lines()) {
        QString text;
        for (const Word &w : l)
            text += w.text + QLatin1Char(' ');
        if (text.startsWith(start + QLatin1Char(' ')))
            return l;
    }
    return {};
}

const double Margin = MarginMm / 25.4 * 72;

} // namespace

class TestBuildSheet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cutList_data();
    void cutList();
    void vent_data();
    void vent();
    void examples_data();
    void examples();
    void longTableBreaksBetweenRows();
    void pictures();
    void exportThroughMenus();
    void commandLineRefuses_data();
    void commandLineRefuses();

private:
    QTemporaryDir dir_;
};

void TestBuildSheet::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
}

// A sealed box of 4.16 cu ft at ratio 2.60 : 1.60 : 1 is 31.20 x 19.20 x 12.00 in inside. By hand:
// sides (H + 2t) x (D + 2t), front and back (H + 2t) x W, top and bottom W x D; areas summed per row.
// 0.75 in: 32.70 x 19.20 (627.84 sq in = 4.36 sq ft), 32.70 x 13.50 (2 x 441.45 = 6.13 sq ft),
// 19.20 x 12.00 (2 x 230.4 = 3.20 sq ft), total 2599.38 sq in = 18.05 sq ft.
// 1 in: 33.20 x 19.20 (4.43 sq ft), 33.20 x 14.00 (6.46), 3.20, total 2665.28 sq in = 18.51 sq ft.
// 18 mm: 792.48 + 36 = 828 mm by 487.68 mm (0.404 m2), sides 340.8 mm (2 x 0.28235 = 0.565 m2), top
// 488 x 305 (2 x 0.14864 = 0.297 m2), total 1.670 m2.
void TestBuildSheet::cutList_data()
{
    QTest::addColumn<double>("wall");
    QTest::addColumn<bool>("metric");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("0.75 in") << 0.75 << false
                             << QStringList{"Front 1 32.70'' 19.20'' 4.36 sq ft", "Back 1 32.70'' 19.20'' 4.36 sq ft",
                                            "Side 2 32.70'' 13.50'' 6.13 sq ft",
                                            "Top and bottom 2 19.20'' 12.00'' 3.20 sq ft", "Total 6   18.05 sq ft"};
    QTest::newRow("1 in") << 1.0 << false
                          << QStringList{"Front 1 33.20'' 19.20'' 4.43 sq ft", "Back 1 33.20'' 19.20'' 4.43 sq ft",
                                         "Side 2 33.20'' 14.00'' 6.46 sq ft",
                                         "Top and bottom 2 19.20'' 12.00'' 3.20 sq ft", "Total 6   18.51 sq ft"};
    QTest::newRow("18 mm") << 18.0 << true
                           << QStringList{"Front 1 828 mm 488 mm 0.404 m²", "Back 1 828 mm 488 mm 0.404 m²",
                                          "Side 2 828 mm 341 mm 0.565 m²", "Top and bottom 2 488 mm 305 mm 0.297 m²",
                                          "Total 6   1.670 m²"};
}

void TestBuildSheet::cutList()
{
    QFETCH(double, wall);
    QFETCH(bool, metric);
    QFETCH(QStringList, rows);
    Snapshot s;
    s.vbSealed = 4.16;
    const Sheet sheet = buildSheet(s, {false, 0, wall, metric, PageSize::A4, false}, {}, {});
    const Table &cut = std::get<Table>(sheet.sections.at(1).items.at(2));
    QStringList shown;
    for (const QStringList &row : cut.rows)
        shown << row.join(QLatin1Char(' '));
    QCOMPARE(shown, rows);
}

// 1 cu ft tuned to 40 Hz: L = 1.463e7 R^2 / 1600 / 1728 - 1.463 R: 1 in 0.59, 3 in 9.71, 4 in 18.24.
// Vd 0.2 litre: v = 2 Fb Vd / r^2 = 24.8 m/s in 2 in (too fast), 11.0 in 3 in, 6.2 in 4 in.
void TestBuildSheet::vent_data()
{
    QTest::addColumn<double>("userDia");
    QTest::addColumn<double>("vd");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("narrowest not too fast") << 0.0 << 2e-4
        << QStringList{"Vent diameter (narrowest not too fast) 3.00''", "Vent length 9.71''", "Air speed 11.0 m/s"};
    QTest::newRow("the user's own") << 4.0 << 2e-4
        << QStringList{"Vent diameter (your own) 4.00''", "Vent length 18.24''", "Air speed 6.2 m/s"};
    QTest::newRow("no Vd: narrowest that fits") << 0.0 << 0.0
        << QStringList{"Vent diameter (narrowest not too fast) 1.00''", "Vent length 0.59''",
                       "Air speed unknown (enter Vd)"};
}

void TestBuildSheet::vent()
{
    QFETCH(double, userDia);
    QFETCH(double, vd);
    QFETCH(QStringList, rows);
    Snapshot s;
    s.vbVented = 1;
    s.fb = 40;
    s.userVentDia = userDia;
    s.vd = vd;
    const Sheet sheet = buildSheet(s, {true, 0, 0.75, false, PageSize::A4, false}, {}, {});
    const Table &vent = std::get<Table>(sheet.sections.at(2).items.at(0));
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(vent.rows.at(std::size_t(i) + 1).join(QLatin1Char(' ')), rows.at(i));
}

void TestBuildSheet::examples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("8 in, vented, inch, A4") << "example-8in-woofer" << QStringList{"--box", "vented", "--units", "inch", "--page", "a4"};
    QTest::newRow("8 in, sealed, metric, Letter, ratio 3")
        << "example-8in-woofer" << QStringList{"--box", "sealed", "--units", "metric", "--page", "letter", "--ratio", "3"};
    QTest::newRow("12 in, vented, metric, Letter") << "example-12in-subwoofer" << QStringList{"--box", "vented", "--units", "metric", "--page", "letter"};
    QTest::newRow("5 in, sealed, inch, A4, 1 in wall")
        << "example-5in-midwoofer" << QStringList{"--box", "sealed", "--units", "inch", "--page", "a4", "--wall", "1"};
}

// The command line without a display writes the sheet; read back, it holds every value of the
// window's own sheet, the box's captions as the Box and Vent tab shows them, aligned columns, nothing
// outside the margins and no bitmap.
void TestBuildSheet::examples()
{
    QFETCH(QString, file);
    QFETCH(QStringList, options);
    const QString design = QStringLiteral(KELVANE_SOURCE_DIR "/examples/") + file + QStringLiteral(".kelvane");
    const QString out = dir_.filePath(file + QString::number(QTest::currentDataTag()[0]) + QStringLiteral(".pdf"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KELVANE_EXE), QStringList{QStringLiteral("--build-sheet"), design, out} + options);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(p.readAllStandardError(), QByteArray());
    const Pdf pdf = readPdf(out);
    QCOMPARE(pdf.width, options.contains(QStringLiteral("a4")) ? 595.0 : 612.0);

    // The same sheet from the window, with the choices of the command line.
    testsupport::MessageCatcher messages;
    FrmKelvane window;
    QVERIFY(window.openDesign(design));
    const Snapshot snapshot = window.buildSheetSnapshot();
    Choices c = defaultChoices(snapshot, false);
    c.wall = options.contains(QStringLiteral("metric")) ? DefaultWallMm : DefaultWallIn;
    for (int i = 0; i < options.size(); i += 2)
        QVERIFY(applyOption(c, options[i].mid(2), options[i + 1]).isEmpty());
    const Sheet sheet = buildSheet(snapshot, c, {}, {});
    const QString text = pdf.lineTexts().join(QLatin1Char('\n'));
    for (const Section &section : sheet.sections)
        for (const Item &item : section.items)
            if (const auto *t = std::get_if<Table>(&item))
                for (const QStringList &row : t->rows)
                    for (const QString &cell : row)
                        if (!cell.isEmpty())
                            QVERIFY2(text.contains(cell), qPrintable(cell));
    if (!c.metric && c.vented && c.ratio == 0)
        for (QLabel *l : {window.LblVVol[0], window.LblVHeight[0], window.LblVWidth[0], window.LblVDepth[0],
                          window.LblOriginalFb})
            QVERIFY2(text.contains(l->text()), qPrintable(l->text()));

    for (const Word &w : pdf.words)
        QVERIFY2(w.x0 >= Margin - 0.5 && w.x1 <= pdf.width - Margin + 0.5 && w.y0 >= Margin - 0.5
                     && w.y1 <= pdf.height - Margin + 0.5,
                 qPrintable(w.text));
    // Dimensions: every value column ends at one place; the cut list's first and last columns too.
    const auto inside = lineStarting(pdf, QStringLiteral("Inside")), outside = lineStarting(pdf, QStringLiteral("Outside"));
    QVERIFY(!inside.empty());
    QCOMPARE(inside.size(), outside.size());
    for (std::size_t i = 1; i < inside.size(); ++i)
        QVERIFY(std::abs(inside[i].x1 - outside[i].x1) <= 0.5);
    const auto front = lineStarting(pdf, QStringLiteral("Front 1"));
    QVERIFY(!front.empty());
    for (const QString &first : {"Back 1", "Side 2", "Top and bottom 2", "Total 6"}) {
        const auto row = lineStarting(pdf, first);
        QVERIFY(!row.empty());
        QVERIFY(std::abs(row.front().x0 - front.front().x0) <= 0.5);
        QVERIFY(std::abs(row.back().x1 - front.back().x1) <= 0.5);
    }
    const QString images = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), out});
    QCOMPARE(images.trimmed().split(QLatin1Char('\n')).size(), 2); // the two header lines only
}

// 120 rows do not fit one page: every row is printed once and whole, and each page of the table
// starts with its header. A very long title wraps and a very long cell is cut short.
void TestBuildSheet::longTableBreaksBetweenRows()
{
    Table t{{{QStringLiteral("Name")}, {QStringLiteral("Value"), true}}, {{QString(300, QLatin1Char('W')), {}}}};
    for (int i = 1; i <= 120; ++i)
        t.rows.push_back({QStringLiteral("Row %1").arg(i), QStringLiteral("%1.5 mm").arg(i)});
    const QString path = dir_.filePath(QStringLiteral("long.pdf"));
    QVERIFY(writePdfFile({QString(200, QLatin1Char('L')), PageSize::A4, {{QStringLiteral("Rows"), {t}}}}, path));
    const Pdf pdf = readPdf(path);
    for (const Word &w : pdf.words) // a name of 200 or 300 letters stays on the page too
        QVERIFY(w.x0 >= Margin - 0.5 && w.x1 <= pdf.width - Margin + 0.5);
    const QStringList lines = pdf.lineTexts();
    for (int i = 1; i <= 120; ++i)
        QCOMPARE(lines.count(QStringLiteral("Row %1 %1.5 mm").arg(i)), 1);
    const auto all = pdf.lines();
    int breaks = 0;
    for (std::size_t i = 1; i < all.size(); ++i)
        if (all[i].front().page != all[i - 1].front().page) {
            ++breaks;
            QCOMPARE(all[i].front().text, QStringLiteral("Name"));
        }
    QVERIFY(breaks >= 1);
}

void TestBuildSheet::pictures()
{
    testsupport::MessageCatcher messages;
    FrmKelvane window;
    QVERIFY(window.openDesign(QStringLiteral(KELVANE_SOURCE_DIR "/examples/example-8in-woofer.kelvane")));
    const QString png = dir_.filePath(QStringLiteral("plan.png")), svg = dir_.filePath(QStringLiteral("plan.svg"));
    QVERIFY(writePicture(window.PicCrossoverPlan->drawing(), png, pictureFormatOf(png), QStringLiteral("Plan")));
    QCOMPARE(QImage(png).size(), QSize(1280, 960));
    QVERIFY(writePicture(window.PicFrequency->drawing(), svg, pictureFormatOf(svg), QStringLiteral("Frequency")));
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int paths = 0;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("path"))
            ++paths;
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(paths > 0);
    // A failed write leaves the file that was there.
    QVERIFY(!writePicture(window.PicFrequency->drawing(), dir_.path(), PictureFormat::Png, {}));
}

// The menus' way. Before "Calculate Box" there is nothing to build and the Input tab has no picture.
// The 8-inch sample (EBP 66.7: either box, sealed first; volumes in litres) opens
// the dialog at 18 mm and metric; inch units bring 0.75 in; a wall of 0 is refused and 1 in taken.
// The sheet then shows the sealed box's inside sizes as Box and Vent does. A picture named without a
// suffix takes the file type chosen in the dialog.
void TestBuildSheet::exportThroughMenus()
{
    testsupport::MessageCatcher messages;
    FrmKelvane window;
    window.MnuExportBuildSheet->trigger();
    window.MnuExportPicture->trigger();
    QCOMPARE(messages.texts(), QStringList(2, QStringLiteral("More data needed!")));
    messages.clear();
    QVERIFY(window.openDesign(QStringLiteral(KELVANE_SOURCE_DIR "/examples/example-8in-woofer.kelvane")));
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
    const QStringList lines = readPdf(dir_.filePath(QStringLiteral("DlgExportBuildSheet.pdf"))).lineTexts();
    QVERIFY(lines.contains(QStringLiteral("Wall thickness 1''")));
    QVERIFY(lines.contains(QStringList{QStringLiteral("Inside"), window.LblCHeight[0]->text(),
                                       window.LblCWidth[0]->text(), window.LblCDepth[0]->text()}
                               .join(QLatin1Char(' '))));
    window.SSTab->setCurrentIndex(FrmKelvane::TabCrossoverPlans);
    window.MnuExportPicture->trigger();
    QVERIFY(QFile::exists(dir_.filePath(QStringLiteral("DlgExportPicture.svg"))));
}

void TestBuildSheet::commandLineRefuses_data()
{
    const QString good = QStringLiteral(KELVANE_SOURCE_DIR "/examples/example-8in-woofer.kelvane");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("line");
    QTest::newRow("no such design") << QStringList{"--build-sheet", "/nonexistent.kelvane", "out.pdf"}
                                    << "kelvane: The design could not be opened from /nonexistent.kelvane: there is no such file.";
    QTest::newRow("ratio 4") << QStringList{"--build-sheet", good, "out.pdf", "--ratio", "4"}
                             << "kelvane: --ratio must be 1, 2 or 3, not \"4\"";
    QTest::newRow("wall -1") << QStringList{"--build-sheet", good, "out.pdf", "--wall", "-1"}
                             << "kelvane: --wall must be a number above 0, not \"-1\"";
    QTest::newRow("box ported") << QStringList{"--build-sheet", good, "out.pdf", "--box", "ported"}
                                << "kelvane: --box must be sealed or vented, not \"ported\"";
    QTest::newRow("unwritable output") << QStringList{"--build-sheet", good, "/nonexistent/out.pdf"}
                                       << "kelvane: The build sheet could not be written to /nonexistent/out.pdf.";
}

void TestBuildSheet::commandLineRefuses()
{
    QFETCH(QStringList, args);
    QFETCH(QString, line);
    QProcess p;
    p.setWorkingDirectory(dir_.path());
    p.start(QStringLiteral(KELVANE_EXE), args);
    QVERIFY(p.waitForFinished(60000));
    QVERIFY(p.exitCode() != 0);
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()), line + QLatin1Char('\n'));
}

QTEST_MAIN(TestBuildSheet)
#include "tst_buildsheet.moc"
