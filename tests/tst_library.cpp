// SPDX-License-Identifier: GPL-3.0-or-later
// The driver library: each file format read into entries (units, suffixes, decimal commas, missing
// and zero values, damaged files, files of another kind), the store (duplicates, one transaction per
// file, two programs writing at once, a damaged library file), and the window's Use and Add.

#include "TestSupport.h"
#include "app/DlgDriverLibrary.h"
#include "graphs/GraphPicture.h"
#include "library/Export.h"
#include "library/Import.h"

#include <QProcess>
#include <QPushButton>
#include <QTableView>

using namespace kelvane::library;
using namespace testsupport;

namespace {

QStringList rowsOf(const std::vector<Entry> &entries)
{
    QStringList rows;
    for (const Entry &e : entries)
        rows << csvRow(e);
    return rows;
}

// The child process of twoProcessesWriteAtOnce: adds count drivers, one transaction each.
int writeDrivers(const QString &path, const QString &prefix, int count)
{
    DriverStore store;
    if (!store.open(path))
        return 1;
    for (int i = 0; i < count; ++i)
        if (!store.add({.maker = prefix, .model = QString::number(i), .fs = 30, .qts = 0.4, .vas = 50}))
            return 2;
    return 0;
}

} // namespace

class TestLibrary : public QObject
{
    Q_OBJECT

private slots:
    void importFormats_data();
    void importFormats();
    void duplicatesAndDamagedFiles();
    void debianDatabase();
    void twoProcessesWriteAtOnce();
    void useFillsTheInputTabAsTyped();
    void addAndDeleteFromTheWindow();
    void damagedLibraryIsSetAside();

private:
    QTemporaryDir dir_;
};

void TestLibrary::importFormats_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("rows"); // as the export writes them
    QTest::addColumn<QStringList>("skipped");
    QTest::addColumn<QString>("failure");
    const auto row = [](const char *name, const char *file, const QByteArray &bytes, const QStringList &rows,
                        const QStringList &skipped = {}, const QString &failure = {}) {
        QTest::newRow(name) << QString::fromLatin1(file) << bytes << rows << skipped << failure;
    };
    // sd 0.022 m² = 220 cm², dia 0.2 m = 200 mm; "5.82 N/A" is 5.82 T·m; fs="0" is unknown; the missing
    // Qes = Qts Qms / (Qms - Qts) = 0.5 * 4.5 / 4 = 0.5625.
    row("xml: units, a unit suffix, zero and missing unknown, Qes completed", "d.xml",
        "<?xml version='1.0'?><speakers><speaker vendor='Acme' model='W8' fs='35' qts='0.4' qes='0.45' qms='3.6' "
        "vas='30' re='5.6' le='0.8' z='8' sd='0.022' xmax='5' dia='0.2' pe='60' spl='88' bl='5.82 N/A'/>\n"
        "<speaker vendor='Acme' model='T0' fs='0' qts='0.4' vas='10'/>"
        "<speaker vendor='A' model='B' fs='40' qts='0.5' qms='4.5' vas='20'/></speakers>",
        {"Acme,W8,35,0.4,0.45,3.6,30,5.6,0.8,8,220,5,200,60,88,5.82,,d.xml,",
         "A,B,40,0.5,0.5625,4.5,20,,,,,,,,,,,d.xml,"},
        {"Acme T0: no Fs"});
    row("xml: cut short adds nothing", "d.xml",
        "<speakers><speaker vendor='A' model='B' fs='40' qts='0.4' vas='20'/>\n<speak", {}, {},
        "the XML is cut short at line 2");
    row("xml: not well-formed", "d.xml", "<speakers><speaker vendor='A' fs=40/></speakers>", {}, {},
        "the XML is not well-formed (");
    row("xml of another kind", "d.xml", "<svg><rect/></svg>", {}, {}, "not a driver database (the XML holds <svg>)");
    // Vas 0.075 m³ = 75 l, Le 0.0014 H = 1.4 mH, Sd 0.034 m² = 340 cm², Xmax 0.0075 m = 7.5 mm,
    // Mms 0.044 kg = 44 g.
    row("wdr: SI units", "w.wdr",
        "[Driver]\r\nBrand=Acme\r\nModel=W10\r\nFs=28\r\nQts=0.35\r\nQes=0.38\r\nQms=4.5\r\nVas=0.075\r\nRe=5.8\r\n"
        "Le=0.0014\r\nZnom=8\r\nSd=0.034\r\nXmax=0.0075\r\nPe=150\r\nSPL=89\r\nBL=9.8\r\nMms=0.044\r\n",
        {"Acme,W10,28,0.35,0.38,4.5,75,5.8,1.4,8,340,7.5,,150,89,9.8,44,w.wdr,"});
    row("wdr: decimal comma, 0 unknown", "driver.txt",
        "[Driver]\nBrand=Acme\nModel=W5\nFs=40\nQts=0,5\nQes=0\nVas=0,02\nLe=0\n",
        {"Acme,W5,40,0.5,,,20,,,,,,,,,,,driver.txt,"});
    row("wdr: without Vas skipped", "w.wdr", "[Driver]\nBrand=Acme\nModel=W5\nFs=40\nQts=0.5\nVas=0\n", {},
        {"Acme W5: no Vas"});
    // Vas 0,1 m³ = 100 l, Sd 0,05 m² = 500 cm², Xmax 0,5 in = 12.7 mm, Le 1500 µH = 1.5 mH.
    row("csv: semicolons, decimal commas, units converted", "t.csv",
        "Maker;Model;Fs [Hz];Qts;Vas [m3];Sd [m2];Xmax [in];Le [uH]\nAcme;S12;22,5;0,45;0,1;0,05;0,5;1500\n"
        "Acme;Short;30\n",
        {"Acme,S12,22.5,0.45,,,100,,1.5,,500,12.7,,,,,,t.csv,"}, {"line 3: 3 fields where the header has 8"});
    row("tsv with a quoted name", "t.tsv",
        "Brand\tModel\tFs [Hz]\tQts\tVas [l]\tNotes\nAcme\t\"M4, \"\"mid\"\"\"\t90\t0.5\t2\tx\n",
        {"Acme,\"M4, \"\"mid\"\"\",90,0.5,,,2,,,,,,,,,,,t.tsv,x"});
    row("csv: a column without its unit", "t.csv", "Model,Fs [Hz],Qts,Vas\nA,30,0.4,20\n", {}, {},
        "the column \"Vas\" does not say its unit");
    row("csv: cut short inside quotes", "t.csv", "Model,Fs [Hz],Qts,Vas [l]\nA,30,0.4,20\n\"B", {}, {},
        "the table is cut short inside a quoted field");
    row("a text of another kind", "notes.txt", "Shopping list\nmilk, eggs\n", {}, {},
        "not a driver file (the first line names no Model and Fs [Hz] columns)");
    row("binary data", "x.wdr", QByteArray("\x89PNG\r\n\x1a\n\0\0", 10), {}, {}, "not a driver file (binary data)");
    // The export reads back: all samples as CSV, one as .wdr (which holds neither the diameter nor notes).
    std::vector<Entry> samples = sampleDrivers();
    for (Entry &e : samples)
        e.source = QStringLiteral("x.csv");
    row("the export as CSV", "x.csv", toCsv(samples), rowsOf(samples));
    Entry one = samples.front();
    one.diameter.reset();
    one.notes.clear();
    one.source = QStringLiteral("x.wdr");
    row("the export as .wdr", "x.wdr", toWdr(one), rowsOf({one}));
}

void TestLibrary::importFormats()
{
    const ImportResult result = importDriverFile(fetch<QByteArray>("bytes"), fetch<QString>("file"));
    QCOMPARE(rowsOf(result.entries), fetch<QStringList>("rows"));
    QCOMPARE(result.skipped, fetch<QStringList>("skipped"));
    // The reason starts with the expected text (the XML parser adds its own words).
    const QString failure = fetch<QString>("failure");
    QVERIFY2(result.failure.startsWith(failure) && result.failure.isEmpty() == failure.isEmpty(),
             qPrintable(result.failure));
}

void TestLibrary::duplicatesAndDamagedFiles()
{
    const QString path = dir_.filePath(QStringLiteral("dup.sqlite"));
    DriverStore store;
    QVERIFY(store.open(path));
    const auto write = [this](const char *name, const QByteArray &bytes) {
        QFile f(dir_.filePath(QLatin1String(name)));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    };
    // A sample under another case, a new driver, and a damaged file whose first driver is good.
    write("new.xml", "<speakers><speaker vendor='BRENNHOLT' model='bw-8 classic' fs='99' qts='0.5' vas='9'/>"
                     "<speaker vendor='Nyx' model='N1' fs='50' qts='0.5' vas='9'/></speakers>");
    write("cut.xml", "<speakers><speaker vendor='Cut' model='C1' fs='50' qts='0.5' vas='9'/><spea");
    const QStringList files{dir_.filePath("new.xml"), dir_.filePath("cut.xml")};
    QCOMPARE(store.importFiles(files, false).text(),
             QStringLiteral("Drivers added: 1, kept: 1, replaced: 0, skipped: 0.\n"
                            "Not imported: cut.xml: the XML is cut short at line 1"));
    QCOMPARE(store.search(QStringLiteral("classic")).front().fs, Value(38));
    QCOMPARE(store.importFiles(files, true).text().section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("Drivers added: 0, kept: 0, replaced: 2, skipped: 0."));
    QCOMPARE(store.search(QStringLiteral("classic")).front().fs, Value(99));
    QCOMPARE(store.all().size(), sampleDrivers().size() + 1);
    // A device that never ends is refused at the size limit instead of being read until memory runs out.
    QCOMPARE(store.importFiles({QStringLiteral("/dev/zero")}, false).failedFiles,
             QStringList{"zero: the file is too large to be a driver file"});
}

void TestLibrary::debianDatabase()
{
    const QString path = QStringLiteral("/usr/share/qspeakers/qspeakers_db.xml");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        QSKIP("the Debian driver database is not installed (package qspeakers)");
    const int speakers = int(file.readAll().count("<speaker "));
    DriverStore store;
    QVERIFY(store.open(dir_.filePath(QStringLiteral("debian.sqlite"))));
    const ImportSummary s = store.importFiles({path}, false);
    QVERIFY2(s.failedFiles.isEmpty(), qPrintable(s.text()));
    QCOMPARE(s.added + s.kept + s.skipped, speakers);
    QVERIFY2(s.added > speakers * 9 / 10, qPrintable(s.text()));
    QVERIFY(s.text().startsWith(QStringLiteral("Drivers added: %1,").arg(s.added)));
    QCOMPARE(int(store.all().size()), int(sampleDrivers().size()) + s.added);
}

void TestLibrary::twoProcessesWriteAtOnce()
{
    // Both start on a library that does not exist yet, so they also race to create it.
    const QString path = dir_.filePath(QStringLiteral("shared.sqlite"));
    constexpr int Each = 150;
    QProcess a, b;
    for (auto [p, prefix] : {std::pair{&a, "A"}, std::pair{&b, "B"}})
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--writer"), path, QLatin1String(prefix), QString::number(Each)});
    QVERIFY(a.waitForFinished(60000) && b.waitForFinished(60000));
    QCOMPARE(a.exitCode(), 0);
    QCOMPARE(b.exitCode(), 0);
    DriverStore store;
    QVERIFY(store.open(path));
    QCOMPARE(int(store.all().size()), int(sampleDrivers().size()) + 2 * Each);
}

void TestLibrary::useFillsTheInputTabAsTyped()
{
    auto used = freshWindow();
    used->BoxModel->TxtCBV->setText(QStringLiteral("5"));
    QTest::keyClick(used.get(), Qt::Key_L, Qt::ControlModifier);
    auto *dialog = used->findChild<DlgDriverLibrary *>();
    QVERIFY(dialog && dialog->isVisible());
    QTest::keyClicks(dialog->TxtDriverSearch, QStringLiteral("brennholt CLASSIC"));
    QCOMPARE(dialog->TblDrivers->model()->rowCount(), 1);
    const QRect cell = dialog->TblDrivers->visualRect(dialog->TblDrivers->model()->index(0, 1));
    QTest::mouseClick(dialog->TblDrivers->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(dialog->TblDrivers->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(!dialog->isVisible());
    // The sample's numbers in litres, cm², mm with those units chosen, Vd emptied; the model reset as by
    // an edit of Fs. The same typed into a fresh window.
    const QString typed = QStringLiteral(
        "TxtName=Brennholt BW-8 Classic; TxtFs=38; TxtQts=0.379; TxtQes=0.42; TxtQms=3.9; TxtVas=38; TxtPower=80; "
        "TxtSd=220; TxtDia=210; TxtXmax=5; TxtRe=5.6; TxtL=0.9; TxtZ=8");
    QCOMPARE(shown(used.get(), typed + "; TxtVd; TxtCBV; TxtQtc; OptVas(1); OptSd(0); OptDia(0); OptXmax(1)"),
             typed + "; TxtVd=; TxtCBV=; TxtQtc=0.707; OptVas(1)=on; OptSd(0)=on; OptDia(0)=on; OptXmax(1)=on");
    auto typedIn = freshWindow();
    act(typedIn.get(), "OptDia(0); " + QString(typed).replace(u'=', u'<'));
    const auto captions = [](FrmKelvane *w) {
        QTest::mouseClick(w->Input->CmdCalculateInput, Qt::LeftButton);
        QTest::mouseClick(w->BoxModel->CmdDisplacement, Qt::LeftButton);
        QStringList out;
        for (QLabel *l : w->findChildren<QLabel *>())
            out << l->text();
        return out << w->Displacement->PicDisplacementLimit->texts();
    };
    QCOMPARE(captions(used.get()), captions(typedIn.get()));
}

void TestLibrary::addAndDeleteFromTheWindow()
{
    auto w = freshWindow();
    MessageCatcher catcher;
    w->MnuDriverLibrary->trigger();
    auto *dialog = w->findChild<DlgDriverLibrary *>();
    QTest::mouseClick(dialog->CmdAddDriver, Qt::LeftButton);
    settle();
    QCOMPARE(catcher.texts(), QStringList{"The driver on the Input tab cannot be added: no maker or model."});
    // 1 cu ft = 1 / 0.0353145 l = 28.3169802772232 l (the factor the program converts Vas with).
    act(w.get(), QStringLiteral("TxtName=My Woofer; TxtFs=30; TxtQts=0.4; OptVas(0); TxtVas=1"));
    QTest::mouseClick(dialog->CmdAddDriver, Qt::LeftButton);
    settle();
    const QModelIndexList selected = dialog->TblDrivers->selectionModel()->selectedRows(DriverTableModel::Vas);
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.front().data().toString(), QStringLiteral("28.3169802772232"));
    // Edited in place: a plain number is stored, an emptied Vas (which a design needs) is refused.
    QAbstractItemModel *table = dialog->TblDrivers->model();
    QVERIFY(table->setData(selected.front(), QStringLiteral("30")));
    QVERIFY(!table->setData(selected.front(), QString()));
    QTest::mouseClick(dialog->CmdDeleteDriver, Qt::LeftButton);
    settle();
    QCOMPARE(catcher.texts().last(), QStringLiteral("Delete \"My Woofer\" from the library?"));
    QTest::keyClicks(dialog->TxtDriverSearch, QStringLiteral("woofer my"));
    QCOMPARE(table->rowCount(), 1);
    DriverStore store;
    QVERIFY(store.open(defaultLibraryPath()));
    QCOMPARE(store.search(QStringLiteral("my woofer")).front().vas, Value(30));
    dialog->close();
}

// A library file damaged before the window opens it (in a data folder of its own): one message that
// names where the file was kept, the file kept there as it was, and a fresh library of the samples.
void TestLibrary::damagedLibraryIsSetAside()
{
    const QByteArray before = qgetenv("XDG_DATA_HOME"), junk(4096, '\x07');
    qputenv("XDG_DATA_HOME", dir_.filePath(QStringLiteral("damaged-data")).toLocal8Bit());
    const QFileInfo path(defaultLibraryPath());
    QDir().mkpath(path.path());
    QFile f(path.filePath());
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(junk) == junk.size());
    f.close();
    auto w = freshWindow();
    MessageCatcher catcher;
    w->MnuDriverLibrary->trigger();
    settle();
    qputenv("XDG_DATA_HOME", before);
    const QStringList aside = path.dir().entryList({path.fileName() + QStringLiteral(".damaged-*")});
    QCOMPARE(aside.size(), 1);
    QFile kept(path.dir().filePath(aside.front()));
    QVERIFY(kept.open(QIODevice::ReadOnly) && kept.readAll() == junk);
    QCOMPARE(catcher.messages.size(), 1);
    const QString text = catcher.shown();
    QVERIFY2(text.startsWith(QStringLiteral("Driver Library: ")) && text.contains(QStringLiteral("could not be read"))
                 && text.contains(QStringLiteral("It was kept as ") + kept.fileName()), qPrintable(text));
    QCOMPARE(w->findChild<DlgDriverLibrary *>()->TblDrivers->model()->rowCount(), int(sampleDrivers().size()));
}

int main(int argc, char **argv)
{
    if (argc == 5 && qstrcmp(argv[1], "--writer") == 0) {
        QCoreApplication app(argc, argv);
        return writeDrivers(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), atoi(argv[4]));
    }
    // The user's own library is never touched: the window's library lives in a folder of this run.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication app(argc, argv);
    TestLibrary test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_library.moc"
