// Design files through the real window: a saved design reopens showing exactly what it showed, a bad
// file is refused with one message and leaves the window as it was, a failed save keeps the old
// file, the question before unsaved changes are dropped, the recent list, the curves file.

#include "TestSupport.h"
#include "design/DesignFile.h"
#include "driver/Program.h"
#include "graphs/GraphPicture.h"

#include <QAction>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>

#include <unistd.h>

using namespace testsupport;
namespace design = kelvane::design;

namespace {

// Everything the window shows, one "name: value" entry per control, the graph texts last.
QStringList shownState(FrmKelvane *w)
{
    QStringList out{QStringLiteral("tab: %1").arg(w->SSTab->currentIndex())};
    for (QLabel *l : w->findChildren<QLabel *>())
        out << l->objectName() + QStringLiteral(": ") + l->text();
    for (QLineEdit *f : w->findChildren<QLineEdit *>())
        out << f->objectName() + QStringLiteral(": ") + f->text();
    for (QRadioButton *o : w->findChildren<QRadioButton *>())
        out << o->objectName() + (o->isChecked() ? QStringLiteral(": on") : QStringLiteral(": off"));
    for (QPushButton *b : w->findChildren<QPushButton *>())
        out << b->objectName() + (b->isEnabled() ? QStringLiteral(": enabled") : QStringLiteral(": disabled"));
    out << w->PicFrequency->texts() << w->PicDisplacementLimit->texts() << w->Picture1->texts()
        << w->PicCrossoverPlan->texts();
    return out;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The driver the tests design with: the 8-inch-class woofer of the screenshots, typed with Enter.
void typeDriver(FrmKelvane *w)
{
    typeInto(w->TxtName, QStringLiteral("Test woofer"));
    typeInto(w->TxtFs, QStringLiteral("30"));
    typeInto(w->TxtQts, QStringLiteral("0.4"));
    typeInto(w->TxtQes, QStringLiteral("0.45"));
    typeInto(w->TxtQms, QStringLiteral("4"));
    typeInto(w->TxtPower, QStringLiteral("100"));
    settle();
}

// A design calculated and drawn from the sample driver, Vas in litres.
void calculatedDesign(FrmKelvane *w)
{
    typeDriver(w);
    typeInto(w->TxtVas, QStringLiteral("85"));
    typeInto(w->TxtSd, QStringLiteral("220"));
    typeInto(w->TxtXmax, QStringLiteral("5"));
    QTest::mouseClick(w->CmdCalculateInput, Qt::LeftButton);
    QTest::mouseClick(w->CmdFrequency, Qt::LeftButton);
    QTest::mouseClick(w->CmdDisplacement, Qt::LeftButton);
    settle();
}

// Answers every question box with one button (OK where it has no such button), recording texts.
class Answerer
{
public:
    explicit Answerer(QMessageBox::StandardButton answer) : answer_(answer)
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || box == answered_)
                return;
            answered_ = box;
            texts << box->windowTitle() + QStringLiteral(": ") + box->text();
            QAbstractButton *b = box->button(answer_) ? box->button(answer_) : box->button(QMessageBox::Ok);
            b->click();
        });
        timer_.start();
    }
    QStringList texts;

private:
    QMessageBox::StandardButton answer_;
    QTimer timer_;
    QPointer<QMessageBox> answered_;
};

} // namespace

class TestDesignFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void roundTripShowsTheSameWindow_data();
    void roundTripShowsTheSameWindow();
    void titleShowsFileAndUnsavedMark();
    void badFileLeavesWindowUnchanged_data();
    void badFileLeavesWindowUnchanged();
    void failedSaveKeepsOldFile();
    void askToSaveOnlyForChangedFileDesigns_data();
    void askToSaveOnlyForChangedFileDesigns();
    void recentDesignsNewestFirstMissingDropped();
    void curvesFileHoldsCalculatedCurves_data();
    void curvesFileHoldsCalculatedCurves();
    void curvesCsvUsesPointDecimals();
    void examplesOpenCalculated();

private:
    QTemporaryDir settingsDir_;
};

void TestDesignFile::initTestCase()
{
    // Never the user's own settings: a folder of this run only.
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
}

void TestDesignFile::init()
{
    QSettings(QStringLiteral("Kelvane"), QStringLiteral("Kelvane")).clear();
}

void TestDesignFile::roundTripShowsTheSameWindow_data()
{
    // Unit choices of every group, both sealed models, a given vented box, the volume corrections,
    // the crossover entries, and the tab left open.
    for (const char *c : {"vasUnit", "vas", "vdUnit", "vd", "sdUnit", "sd", "diaUnit", "dia", "xmaxUnit",
                          "xmax", "resultUnit", "sealedVolume", "ventedVolume", "fb", "extra", "crossover"})
        QTest::addColumn<QString>(c);
    QTest::addColumn<int>("tab");
    QTest::newRow("cubic feet, sq in, inches, by Qtc, Frequency tab")
        << "0" << "3" << "0" << "" << "2" << "34" << "2" << "" << "0" << "0.2" << "0" << "" << "" << ""
        << "" << "-1" << int(FrmKelvane::TabFrequency);
    QTest::newRow("litres, sq cm, mm, sealed and vented volumes in litres, Displacement tab")
        << "1" << "85" << "0" << "" << "0" << "220" << "2" << "" << "1" << "5" << "1" << "40" << "60" << "32"
        << "" << "2" << int(FrmKelvane::TabDisplacement);
    QTest::newRow("cubic metres, diameter in cm, results in cubic metres, corrections, Box and Vent tab")
        << "2" << "0.085" << "1" << "" << "1" << "" << "1" << "20" << "1" << "5" << "2" << "" << "" << ""
        << "extra" << "4" << int(FrmKelvane::TabBoxVent);
    QTest::newRow("Vd given in cubic feet, diameter in mm, sq m, Box Model tab")
        << "1" << "85" << "2" << "0.0078" << "1" << "" << "0" << "200" << "1" << "" << "0" << "1.5" << ""
        << "" << "" << "0" << int(FrmKelvane::TabBoxModel);
}

void TestDesignFile::roundTripShowsTheSameWindow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("round trip.kelvane"));
    MessageCatcher catcher;
    QStringList saved;
    {
        auto w = freshWindow();
        const auto choose = [&w](const char *group, const char *column) {
            find<QRadioButton>(w.get(), QStringLiteral("%1(%2)").arg(QLatin1String(group), fetch<QString>(column)))
                ->setChecked(true);
        };
        choose("OptVas", "vasUnit");
        choose("OptVd", "vdUnit");
        choose("OptSd", "sdUnit");
        choose("OptDia", "diaUnit");
        choose("OptXmax", "xmaxUnit");
        typeDriver(w.get());
        const std::pair<QLineEdit *, const char *> fields[] = {
            {w->TxtVas, "vas"}, {w->TxtVd, "vd"}, {w->TxtSd, "sd"}, {w->TxtDia, "dia"}, {w->TxtXmax, "xmax"}};
        for (const auto &[field, column] : fields)
            if (!fetch<QString>(column).isEmpty())
                typeInto(field, fetch<QString>(column));
        choose("OptSealedVolumeBox", "resultUnit");
        if (!fetch<QString>("sealedVolume").isEmpty()) {
            QTest::mouseClick(w->OptVolBox, Qt::LeftButton, {}, QPoint(6, w->OptVolBox->height() / 2));
            typeInto(w->TxtCBV, fetch<QString>("sealedVolume"));
        }
        if (!fetch<QString>("ventedVolume").isEmpty()) {
            typeInto(w->TxtVBV, fetch<QString>("ventedVolume"));
            typeInto(w->TxtVFb, fetch<QString>("fb"));
        }
        if (!fetch<QString>("extra").isEmpty()) {
            typeInto(w->TxtPercentOverVolume, QStringLiteral("110"));
            typeInto(w->TxtAddVolume, QStringLiteral("150"));
            typeInto(w->TxtVentDia, QStringLiteral("3"));
        }
        for (const auto &[name, text] : {std::pair{"TxtRe", "5.6"}, {"TxtL", "0.8"}, {"TxtZ", "8"},
                                         {"Text1", "1500"}, {"Text2", "6"}, {"Text3", "2500"}, {"Text4", "2600"}})
            find<QLineEdit>(w.get(), QLatin1String(name))->setText(QLatin1String(text));
        QTest::mouseClick(w->CmdCalculateInput, Qt::LeftButton);
        QTest::mouseClick(w->CmdFrequency, Qt::LeftButton);
        QTest::mouseClick(w->CmdDisplacement, Qt::LeftButton);
        // The plan names the driver of the last box calculation, as a reopened design does.
        if (const int type = fetch<QString>("crossover").toInt(); type >= 0) {
            w->OptCrossoverType[type]->setChecked(true);
            QTest::mouseClick(w->CmdCalculateCrossover, Qt::LeftButton);
        }
        w->SSTab->setCurrentIndex(fetch<int>("tab"));
        settle();
        QVERIFY(w->CmdFrequency->isEnabled());
        saved = shownState(w.get());
        QVERIFY(w->saveDesign(path));
    }
    // Opened over another design that was calculated and drawn: nothing of it may remain.
    auto w = freshWindow();
    setDriver(w.get(), QStringLiteral("45"), QStringLiteral("0.33"), QStringLiteral("2"));
    typeInto(w->TxtPower, QStringLiteral("50"));
    typeInto(w->TxtVd, QStringLiteral("0.2"));
    typeInto(w->TxtAddVolume, QStringLiteral("300"));
    QTest::mouseClick(w->CmdCalculateInput, Qt::LeftButton);
    QTest::mouseClick(w->CmdFrequency, Qt::LeftButton);
    for (const auto &[name, text] : {std::pair{"TxtZ", "4"}, {"Text2", "8"}, {"Text3", "1800"}, {"Text4", "3000"}})
        find<QLineEdit>(w.get(), QLatin1String(name))->setText(QLatin1String(text));
    w->OptCrossoverType[3]->setChecked(true);
    QTest::mouseClick(w->CmdCalculateCrossover, Qt::LeftButton);
    catcher.clear();
    QVERIFY(w->openDesign(path));
    settle();
    QCOMPARE(catcher.texts(), QStringList());
    QCOMPARE(shownState(w.get()), saved);
}

void TestDesignFile::titleShowsFileAndUnsavedMark()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("woofer.kelvane"));
    auto w = freshWindow();
    typeDriver(w.get());
    QCOMPARE(w->windowTitle(), QStringLiteral("Kelvane")); // never saved: as it always was
    QVERIFY(w->saveDesign(path));
    QCOMPARE(w->windowTitle(), QStringLiteral("woofer.kelvane - Kelvane"));
    typeInto(w->TxtVas, QStringLiteral("8"), false);
    QCOMPARE(w->windowTitle(), QStringLiteral("woofer.kelvane* - Kelvane"));
    w->MnuSave->trigger();
    QCOMPARE(w->windowTitle(), QStringLiteral("woofer.kelvane - Kelvane"));
    QVERIFY(contents(path).contains("\"TxtVas\": \"8\""));
}

void TestDesignFile::badFileLeavesWindowUnchanged_data()
{
    QTest::addColumn<QByteArray>("bytes"); // "-" for no file at all, "/" for a folder
    QTest::addColumn<QString>("reason");
    design::Design d;
    d.texts[1] = QStringLiteral("30");
    const QJsonObject good = QJsonDocument::fromJson(design::toJson(d)).object();
    const auto edited = [&good](const char *section, const char *key, const QJsonValue &value) {
        QJsonObject root = good;
        if (!section) {
            root[QLatin1String(key)] = value;
        } else {
            QJsonObject s = root[QLatin1String(section)].toObject();
            if (value.isUndefined())
                s.remove(QLatin1String(key));
            else
                s[QLatin1String(key)] = value;
            root[QLatin1String(section)] = s;
        }
        return QJsonDocument(root).toJson();
    };
    const QByteArray whole = QJsonDocument(good).toJson();
    QTest::newRow("no such file") << QByteArray("-") << "there is no such file";
    QTest::newRow("a folder") << QByteArray("/") << "it is a folder";
    QTest::newRow("empty") << QByteArray() << "the file is empty";
    QTest::newRow("truncated") << whole.left(whole.size() / 2) << "it is not a JSON file";
    QTest::newRow("not JSON") << QByteArray("Fs = 30\nQts = 0.4\n") << "it is not a JSON file";
    QTest::newRow("a JSON list") << QByteArray("[1, 2]") << "it is not a Kelvane design";
    QTest::newRow("another format") << edited(nullptr, "format", QStringLiteral("Other design"))
                                    << "it is not a Kelvane design";
    QTest::newRow("newer version") << edited(nullptr, "version", 2)
                                   << "it was saved by a newer version of Kelvane";
    QTest::newRow("version as text") << edited(nullptr, "version", QStringLiteral("1"))
                                     << "\"version\" is not a version number";
    QTest::newRow("section as a list") << edited(nullptr, "crossover", QJsonArray())
                                       << "\"crossover\" is missing or not a group of entries";
    QTest::newRow("number for a text") << edited("input", "TxtFs", 30) << "\"TxtFs\" is missing or not a text";
    QTest::newRow("field missing") << edited("boxModel", "TxtQtc", QJsonValue::Undefined)
                                   << "\"TxtQtc\" is missing or not a text";
    QTest::newRow("option out of range") << edited("input", "OptVas", 3)
                                         << "\"OptVas\" is missing or not one of its options";
    QTest::newRow("option not whole") << edited("input", "OptXmax", 0.5)
                                      << "\"OptXmax\" is missing or not one of its options";
    QTest::newRow("no unit chosen") << edited("boxModel", "OptSealedVolumeBox", -1)
                                    << "\"OptSealedVolumeBox\" is missing or not one of its options";
    QTest::newRow("flag as text") << edited("state", "calculated", QStringLiteral("yes"))
                                  << "\"calculated\" is missing or not true or false";
    QTest::newRow("tab out of range") << edited("state", "tab", 8) << "\"tab\" is missing or not a tab";
    // Valid JSON, but padded past any design's size: refused unread.
    QTest::newRow("huge file") << whole + QByteArray(design::MaxFileBytes, ' ')
                               << "the file is too large to be a design";
}

void TestDesignFile::badFileLeavesWindowUnchanged()
{
    const QByteArray bytes = fetch<QByteArray>("bytes");
    QTemporaryDir dir;
    const QString goodPath = dir.filePath(QStringLiteral("good.kelvane"));
    const QString badPath = dir.filePath(QStringLiteral("bad.kelvane"));
    if (bytes == "/")
        QVERIFY(QDir().mkpath(badPath));
    else if (bytes != "-")
        write(badPath, bytes);

    MessageCatcher catcher;
    auto w = freshWindow();
    calculatedDesign(w.get());
    QVERIFY(w->saveDesign(goodPath));
    typeInto(w->TxtVentDia, QStringLiteral("2"), false); // an unsaved change
    const QStringList before = shownState(w.get());
    const QString title = w->windowTitle();
    catcher.clear();

    QVERIFY(!w->openDesign(badPath));
    settle();
    QCOMPARE(catcher.messages(),
             (QList<Message>{{QStringLiteral("Error"), QStringLiteral("The design could not be opened from ")
                                                           + badPath + QStringLiteral(": ")
                                                           + fetch<QString>("reason") + QLatin1Char('.')}}));
    QCOMPARE(shownState(w.get()), before);
    QCOMPARE(w->windowTitle(), title);
    QCOMPARE(w->designPath(), goodPath);
}

void TestDesignFile::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("read-only"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/design.kelvane");
    MessageCatcher catcher;
    auto w = freshWindow();
    calculatedDesign(w.get());
    QVERIFY(w->saveDesign(path));
    const QByteArray old = contents(path);
    typeInto(w->TxtFs, QStringLiteral("35"));
    settle();
    catcher.clear();

    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    // Root writes into read-only folders; the save is tried as an ordinary user then.
    const bool root = geteuid() == 0;
    if (root)
        QVERIFY(seteuid(65534) == 0);
    const bool saved = w->saveDesign(path);
    settle();
    if (root)
        QVERIFY(seteuid(0) == 0);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY(!saved);
    QCOMPARE(catcher.messages(), (QList<Message>{{QStringLiteral("Error"),
                                                  QStringLiteral("The design could not be saved to ") + path
                                                      + QLatin1Char('.')}}));
    QCOMPARE(contents(path), old);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("design.kelvane")});
    QCOMPARE(w->windowTitle(), QStringLiteral("design.kelvane* - Kelvane"));
}

void TestDesignFile::askToSaveOnlyForChangedFileDesigns_data()
{
    QTest::addColumn<bool>("savedFirst");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("fsAfter");    // TxtFs once New has been chosen
    QTest::addColumn<QString>("fsInFile");   // TxtFs the file holds afterwards
    QTest::newRow("never saved: no question") << false << true << int(QMessageBox::Cancel) << false << "" << "";
    QTest::newRow("saved, unchanged: no question") << true << false << int(QMessageBox::Cancel) << false << "" << "30";
    QTest::newRow("changed, Cancel keeps the design") << true << true << int(QMessageBox::Cancel) << true << "44" << "30";
    QTest::newRow("changed, No drops the change") << true << true << int(QMessageBox::No) << true << "" << "30";
    QTest::newRow("changed, Yes saves first") << true << true << int(QMessageBox::Yes) << true << "" << "44";
}

void TestDesignFile::askToSaveOnlyForChangedFileDesigns()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("asked.kelvane"));
    auto w = freshWindow();
    typeDriver(w.get());
    if (fetch<bool>("savedFirst"))
        QVERIFY(w->saveDesign(path));
    if (fetch<bool>("edited"))
        typeInto(w->TxtFs, QStringLiteral("44"));
    settle();
    Answerer answerer(QMessageBox::StandardButton(fetch<int>("answer")));
    w->MnuNew->trigger();
    settle();
    QCOMPARE(answerer.texts, fetch<bool>("asked")
                                 ? QStringList{QStringLiteral("Kelvane: Do you want to save the changes to asked.kelvane?")}
                                 : QStringList());
    QCOMPARE(w->TxtFs->text(), fetch<QString>("fsAfter"));
    const QString inFile = QJsonDocument::fromJson(contents(path)).object()[QStringLiteral("input")]
                               .toObject()[QStringLiteral("TxtFs")].toString();
    QCOMPARE(inFile, fetch<QString>("fsInFile"));

    // Closing asks the same way; Cancel keeps the window open.
    if (fetch<int>("answer") == QMessageBox::Cancel && fetch<bool>("asked")) {
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
    }
}

void TestDesignFile::recentDesignsNewestFirstMissingDropped()
{
    QTemporaryDir dir;
    MessageCatcher catcher;
    auto w = freshWindow();
    typeDriver(w.get());
    QStringList paths;
    for (int i = 1; i <= 9; ++i) {
        paths.prepend(dir.filePath(QStringLiteral("d%1.kelvane").arg(i)));
        QVERIFY(w->saveDesign(paths.first()));
    }
    QCOMPARE(w->recentDesigns(), paths.mid(0, 8));
    QCOMPARE(w->MnuOpenRecent->actions().size(), 8);
    QCOMPARE(w->MnuOpenRecent->actions().first()->text(), QStringLiteral("&1 ") + paths.first());

    QVERIFY(QFile::remove(paths.at(3)));
    w->MnuOpenRecent->actions().at(3)->trigger();
    settle();
    QCOMPARE(catcher.texts(), QStringList{QStringLiteral("The design could not be opened from ") + paths.at(3)
                                          + QStringLiteral(": there is no such file.")});
    paths.removeAt(3);
    QCOMPARE(w->recentDesigns(), paths.mid(0, 7));

    // Opening an older one moves it to the top.
    w->MnuOpenRecent->actions().at(5)->trigger();
    QCOMPARE(w->designPath(), paths.at(5));
    QCOMPARE(w->recentDesigns().first(), paths.at(5));
}

void TestDesignFile::curvesFileHoldsCalculatedCurves_data()
{
    QTest::addColumn<int>("steps"); // 0 nothing, 1 Calculate Box, 2 and the response, 3 and the limits
    QTest::addColumn<QString>("header");
    QTest::newRow("nothing calculated") << 0 << "";
    QTest::newRow("calculated: the vented response") << 1 << "Frequency (Hz),Vented response (dB)";
    QTest::newRow("response drawn: both responses") << 2 << "Frequency (Hz),Sealed response (dB),Vented response (dB)";
    QTest::newRow("limits drawn: every curve") << 3
        << "Frequency (Hz),Sealed response (dB),Vented response (dB),Sealed displacement-limited SPL (dB),"
           "Sealed displacement-limited power (W),Vented displacement-limited SPL (dB),"
           "Vented displacement-limited power (W)";
}

void TestDesignFile::curvesFileHoldsCalculatedCurves()
{
    const int steps = fetch<int>("steps");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("curves.csv"));
    MessageCatcher catcher;
    auto w = freshWindow();
    typeDriver(w.get());
    typeInto(w->TxtVas, QStringLiteral("85"));
    typeInto(w->TxtSd, QStringLiteral("220"));
    typeInto(w->TxtXmax, QStringLiteral("5"));
    QPushButton *buttons[] = {w->CmdCalculateInput, w->CmdFrequency, w->CmdDisplacement};
    for (int i = 0; i < steps; ++i)
        QTest::mouseClick(buttons[i], Qt::LeftButton);
    settle();
    catcher.clear();
    const bool written = w->exportCurves(path);
    settle();
    if (steps == 0) {
        QVERIFY(!written);
        QCOMPARE(catcher.texts(), QStringList{Program::MoreDataNeededText});
        QVERIFY(!QFile::exists(path));
        return;
    }
    QVERIFY(written);
    const QStringList lines = QString::fromUtf8(contents(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + 491); // the header, 10 to 500 Hz
    QCOMPARE(lines.first(), fetch<QString>("header"));
    const int columns = int(lines.first().count(QLatin1Char(','))) + 1;
    for (const QString &line : lines.mid(1))
        QCOMPARE(line.split(QLatin1Char(',')).size(), columns);
    QVERIFY(lines.at(1).startsWith(QLatin1String("10,")));
    QVERIFY(lines.last().startsWith(QLatin1String("500,")));
    // Far above resonance both boxes are flat: every response column near 0 dB at 500 Hz.
    const QStringList top = lines.last().split(QLatin1Char(','));
    for (int c = 1; c <= (steps >= 2 ? 2 : 1); ++c)
        QVERIFY2(std::abs(top.at(c).toDouble()) < 0.1, qPrintable(top.at(c)));
}

void TestDesignFile::curvesCsvUsesPointDecimals()
{
    // Values of f / 8 (exact in binary): 25 Hz is 3.125; a non-finite value leaves its cell empty.
    std::array<double, 501> ramp{};
    for (int f = 0; f <= 500; ++f)
        ramp[f] = f / 8.0;
    ramp[11] = std::numeric_limits<double>::quiet_NaN();
    const QStringList lines = design::curvesCsv({{QStringLiteral("Ramp"), &ramp}}).split(QLatin1Char('\n'));
    QCOMPARE(lines.at(0), QStringLiteral("Frequency (Hz),Ramp"));
    QCOMPARE(lines.at(1), QStringLiteral("10,1.25"));
    QCOMPARE(lines.at(2), QStringLiteral("11,"));
    QCOMPARE(lines.at(16), QStringLiteral("25,3.125"));
    QCOMPARE(lines.at(491), QStringLiteral("500,62.5"));
}

void TestDesignFile::examplesOpenCalculated()
{
    const QString folder = QFINDTESTDATA("../examples");
    QVERIFY(!folder.isEmpty());
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.kelvane")}, QDir::Files);
    QVERIFY(files.size() >= 2);
    for (const QString &file : files) {
        MessageCatcher catcher;
        auto w = freshWindow();
        QVERIFY2(w->openDesign(QDir(folder).filePath(file)), qPrintable(file));
        settle();
        QVERIFY2(catcher.texts().isEmpty(), qPrintable(file + QStringLiteral(": ") + catcher.texts().join(u'|')));
        QVERIFY2(w->CmdFrequency->isEnabled(), qPrintable(file));
        QVERIFY2(w->TxtName->text().startsWith(QLatin1String("Example")), qPrintable(file));
        if (file == QLatin1String("example-8in-woofer.kelvane")) // the two-way example
            QVERIFY(w->CrossoverNetwork && w->CmdSavePlan->isEnabled());
    }
}

QTEST_MAIN(TestDesignFile)
#include "tst_designfile.moc"
