// SPDX-License-Identifier: GPL-3.0-or-later
// Design files through the real window: a saved design reopens showing exactly what it showed, a bad
// file is refused with one message and leaves the window as it was, a failed save keeps the old
// file, the question before unsaved changes are dropped, the recent list, the curves file.

#include "TestSupport.h"
#include "design/DesignFile.h"
#include "graphs/GraphPicture.h"

#include <QAction>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

#include <unistd.h>

using namespace testsupport;
namespace design = kelvane::design;

namespace {

// Everything the window shows, one "name: value" entry per control, the graph texts last.
QStringList shownState(FrmKelvane *w)
{
    QStringList out{QStringLiteral("tab: %1").arg(w->SSTab->currentIndex())};
    for (QLabel *l : w->findChildren<QLabel *>())
        out << l->objectName() + ": " + l->text();
    for (QLineEdit *f : w->findChildren<QLineEdit *>())
        out << f->objectName() + ": " + f->text();
    for (QRadioButton *o : w->findChildren<QRadioButton *>())
        out << o->objectName() + (o->isChecked() ? ": on" : ": off");
    for (QPushButton *b : w->findChildren<QPushButton *>())
        out << b->objectName() + (b->isEnabled() ? ": enabled" : ": disabled");
    return out << w->Frequency->PicFrequency->texts() << w->Displacement->PicDisplacementLimit->texts() << w->Crossover->Picture1->texts()
               << w->CrossoverPlans->PicCrossoverPlan->texts();
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The 8-inch-class woofer of the screenshots, typed with Enter; calculated and drawn, Vas in litres.
const QString Driver = QStringLiteral("TxtName<Test woofer; TxtFs<30; TxtQts<0.4; TxtQes<0.45; TxtQms<4; TxtPower<100; ");
const QString Drawn = Driver + "TxtVas<85; TxtSd<220; TxtXmax<5; CmdCalculateInput; CmdFrequency; CmdDisplacement";

} // namespace

class TestDesignFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Never the user's own settings: a folder of this run only.
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    }
    void init() { QSettings(QStringLiteral("Kelvane"), QStringLiteral("Kelvane")).clear(); }

    // Unit choices of every group, both sealed models, a given vented box, the volume corrections,
    // the crossover entries, and the tab left open.
    void roundTripShowsTheSameWindow_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("cubic feet, sq in, inches, by Qtc, Frequency tab")
            << "OptVas(0); OptVd(0); OptSd(2); OptDia(2); OptXmax(0); " + Driver + "TxtVas<3; TxtSd<34; TxtXmax<0.2; tab=5";
        QTest::newRow("litres, sq cm, mm, volumes in litres, LR2 crossover, Displacement tab")
            << "OptVas(1); OptVd(0); OptSd(0); OptDia(2); OptXmax(1); " + Driver
                   + "TxtVas<85; TxtSd<220; TxtXmax<5; OptSealedVolumeBox(1); OptVolBox; TxtCBV<40; TxtVBV<60; TxtVFb<32; "
                     "OptCrossoverType(2); tab=6";
        QTest::newRow("cubic metres, diameter in cm, corrections, Box and Vent tab")
            << "OptVas(2); OptVd(1); OptSd(1); OptDia(1); OptXmax(1); " + Driver
                   + "TxtVas<0.085; TxtDia<20; TxtXmax<5; OptSealedVolumeBox(2); TxtPercentOverVolume<110; TxtAddVolume<150; "
                     "TxtVentDia<3; OptCrossoverType(4); tab=2";
        QTest::newRow("Vd given in cubic feet, diameter in mm, sq m, Box Model tab")
            << "OptVas(1); OptVd(2); OptSd(1); OptDia(0); OptXmax(1); " + Driver
                   + "TxtVas<85; TxtVd<0.0078; TxtDia<200; OptVolBox; TxtCBV<1.5; OptCrossoverType(0); tab=1";
    }
    void roundTripShowsTheSameWindow()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("round trip.kelvane"));
        const QString crossover = "TxtRe=5.6; TxtL=0.8; TxtZ=8; Text1=1500; Text2=6; Text3=2500; Text4=2600; ";
        MessageCatcher catcher;
        QStringList saved;
        {
            auto w = freshWindow();
            QStringList steps = fetch<QString>("steps").split(QLatin1String("; "));
            const QString tab = steps.takeLast(), type = steps.last().startsWith("OptCrossover") ? steps.takeLast() : QString();
            act(w.get(), steps.join(QLatin1String("; ")) + "; " + crossover + "CmdCalculateInput; CmdFrequency; CmdDisplacement");
            // The plan names the driver of the last box calculation, as a reopened design does.
            if (!type.isEmpty())
                act(w.get(), type + "; CmdCalculateCrossover");
            act(w.get(), tab);
            settle();
            QVERIFY(w->BoxModel->CmdFrequency->isEnabled());
            saved = shownState(w.get());
            QVERIFY(w->Files->saveDesign(path));
        }
        // Opened over another design that was calculated and drawn: nothing of it may remain.
        auto w = freshWindow();
        act(w.get(), "TxtFs=45; TxtQts=0.33; TxtVas=2; TxtPower<50; TxtVd<0.2; TxtAddVolume<300; CmdCalculateInput; "
                     "CmdFrequency; TxtZ=4; Text2=8; Text3=1800; Text4=3000; OptCrossoverType(3); CmdCalculateCrossover");
        catcher.clear();
        QVERIFY(w->Files->openDesign(path));
        settle();
        QCOMPARE(catcher.shown(), QString());
        QCOMPARE(shownState(w.get()), saved);
    }

    void titleShowsFileAndUnsavedMark()
    {
        QTemporaryDir dir;
        auto w = freshWindow();
        act(w.get(), Driver);
        QCOMPARE(w->windowTitle(), QStringLiteral("Kelvane")); // never saved: as it always was
        QVERIFY(w->Files->saveDesign(dir.filePath(QStringLiteral("woofer.kelvane"))));
        QCOMPARE(w->windowTitle(), QStringLiteral("woofer.kelvane - Kelvane"));
        typeInto(w->Input->TxtVas, QStringLiteral("8"), false);
        QCOMPARE(w->windowTitle(), QStringLiteral("woofer.kelvane* - Kelvane"));
        w->MnuSave->trigger();
        QCOMPARE(w->windowTitle(), QStringLiteral("woofer.kelvane - Kelvane"));
        QVERIFY(contents(dir.filePath(QStringLiteral("woofer.kelvane"))).contains("\"TxtVas\": \"8\""));
    }

    void badFileLeavesWindowUnchanged_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // "-" for no file at all, "/" for a folder
        QTest::addColumn<QString>("reason");
        design::Design d;
        d.texts[1] = QStringLiteral("30");
        const QJsonObject good = QJsonDocument::fromJson(design::toJson(d)).object();
        const auto edited = [&good](const char *section, const char *key, const QJsonValue &value) {
            QJsonObject root = good, s = good[QLatin1String(section)].toObject();
            s[QLatin1String(key)] = value;
            if (*section)
                root[QLatin1String(section)] = s;
            else
                root[QLatin1String(key)] = value;
            return QJsonDocument(root).toJson();
        };
        const QByteArray whole = QJsonDocument(good).toJson();
        const auto row = [](const char *name, const QByteArray &bytes, const char *reason) { QTest::newRow(name) << bytes << reason; };
        row("no such file", "-", "there is no such file");
        row("a folder", "/", "it is a folder");
        row("empty", "", "the file is empty");
        row("truncated", whole.left(whole.size() / 2), "it is not a JSON file");
        row("a JSON list", "[1, 2]", "it is not a Kelvane design");
        row("another format", edited("", "format", QStringLiteral("Other design")), "it is not a Kelvane design");
        row("newer version", edited("", "version", 2), "it was saved by a newer version of Kelvane");
        row("version as text", edited("", "version", QStringLiteral("1")), "\"version\" is not a version number");
        row("section as a list", edited("", "crossover", QJsonArray()), "\"crossover\" is missing or not a group of entries");
        row("number for a text", edited("input", "TxtFs", 30), "\"TxtFs\" is missing or not a text");
        row("option out of range", edited("input", "OptVas", 3), "\"OptVas\" is missing or not one of its options");
        row("option not whole", edited("input", "OptXmax", 0.5), "\"OptXmax\" is missing or not one of its options");
        row("no unit chosen", edited("boxModel", "OptSealedVolumeBox", -1), "\"OptSealedVolumeBox\" is missing or not one of its options");
        row("flag as text", edited("state", "calculated", QStringLiteral("yes")), "\"calculated\" is missing or not true or false");
        row("tab out of range", edited("state", "tab", 9), "\"tab\" is missing or not a tab");
        // Valid JSON, but padded past any design's size: refused unread.
        row("huge file", whole + QByteArray(design::MaxFileBytes, ' '), "the file is too large to be a design");
    }
    void badFileLeavesWindowUnchanged()
    {
        const QByteArray bytes = fetch<QByteArray>("bytes");
        QTemporaryDir dir;
        const QString goodPath = dir.filePath(QStringLiteral("good.kelvane")), badPath = dir.filePath(QStringLiteral("bad.kelvane"));
        if (bytes == "/")
            QVERIFY(QDir().mkpath(badPath));
        else if (bytes != "-") {
            QFile f(badPath);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        }
        MessageCatcher catcher;
        auto w = freshWindow();
        act(w.get(), Drawn);
        QVERIFY(w->Files->saveDesign(goodPath));
        typeInto(w->BoxVent->TxtVentDia, QStringLiteral("2"), false); // an unsaved change
        const QStringList before = shownState(w.get());
        const QString title = w->windowTitle();
        catcher.clear();
        QVERIFY(!w->Files->openDesign(badPath));
        settle();
        QCOMPARE(catcher.shown(), "Error: The design could not be opened from " + badPath + ": " + fetch<QString>("reason") + ".");
        QCOMPARE(shownState(w.get()), before);
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(w->Files->designPath(), goodPath);
    }

    void failedSaveKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("read-only")), path = folder + QStringLiteral("/design.kelvane");
        QVERIFY(QDir().mkpath(folder));
        MessageCatcher catcher;
        auto w = freshWindow();
        act(w.get(), Drawn);
        QVERIFY(w->Files->saveDesign(path));
        const QByteArray old = contents(path);
        act(w.get(), "TxtFs<35");
        catcher.clear();
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        // Root writes into read-only folders; the save is tried as an ordinary user then.
        const bool root = geteuid() == 0;
        if (root)
            QVERIFY(seteuid(65534) == 0);
        const bool saved = w->Files->saveDesign(path);
        settle();
        if (root)
            QVERIFY(seteuid(0) == 0);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!saved);
        QCOMPARE(catcher.shown(), "Error: The design could not be saved to " + path + ".");
        QCOMPARE(contents(path), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("design.kelvane")});
        QCOMPARE(w->windowTitle(), QStringLiteral("design.kelvane* - Kelvane"));
    }

    void askToSaveOnlyForChangedFileDesigns_data()
    {
        QTest::addColumn<bool>("savedFirst");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("fsAfter");  // TxtFs once New has been chosen
        QTest::addColumn<QString>("fsInFile"); // TxtFs the file holds afterwards
        QTest::newRow("never saved: no question") << false << true << int(QMessageBox::Cancel) << false << "" << "";
        QTest::newRow("saved, unchanged: no question") << true << false << int(QMessageBox::Cancel) << false << "" << "30";
        QTest::newRow("changed, Cancel keeps the design") << true << true << int(QMessageBox::Cancel) << true << "44" << "30";
        QTest::newRow("changed, No drops the change") << true << true << int(QMessageBox::No) << true << "" << "30";
        QTest::newRow("changed, Yes saves first") << true << true << int(QMessageBox::Yes) << true << "" << "44";
    }
    void askToSaveOnlyForChangedFileDesigns()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("asked.kelvane"));
        auto w = freshWindow();
        act(w.get(), Driver);
        if (fetch<bool>("savedFirst"))
            QVERIFY(w->Files->saveDesign(path));
        if (fetch<bool>("edited"))
            act(w.get(), "TxtFs<44");
        MessageCatcher answerer(QMessageBox::StandardButton(fetch<int>("answer")));
        w->MnuNew->trigger();
        settle();
        QCOMPARE(answerer.shown(), fetch<bool>("asked") ? "Kelvane: Do you want to save the changes to asked.kelvane?" : "");
        QCOMPARE(w->Input->TxtFs->text(), fetch<QString>("fsAfter"));
        QCOMPARE(QJsonDocument::fromJson(contents(path))["input"]["TxtFs"].toString(), fetch<QString>("fsInFile"));
        // Closing asks the same way; Cancel keeps the window open.
        if (fetch<int>("answer") == QMessageBox::Cancel && fetch<bool>("asked"))
            QVERIFY(!w->close() && w->isVisible());
    }

    void recentDesignsNewestFirstMissingDropped()
    {
        QTemporaryDir dir;
        MessageCatcher catcher;
        auto w = freshWindow();
        act(w.get(), Driver);
        QStringList paths;
        for (int i = 1; i <= 9; ++i) {
            paths.prepend(dir.filePath(QStringLiteral("d%1.kelvane").arg(i)));
            QVERIFY(w->Files->saveDesign(paths.first()));
        }
        QCOMPARE(w->Files->recentDesigns(), paths.mid(0, 8));
        QCOMPARE(w->MnuOpenRecent->actions().size(), 8);
        QCOMPARE(w->MnuOpenRecent->actions().first()->text(), "&1 " + paths.first());
        QVERIFY(QFile::remove(paths.at(3)));
        w->MnuOpenRecent->actions().at(3)->trigger();
        settle();
        QCOMPARE(catcher.shown(), "Error: The design could not be opened from " + paths.at(3) + ": there is no such file.");
        paths.removeAt(3);
        QCOMPARE(w->Files->recentDesigns(), paths.mid(0, 7));
        // Opening an older one moves it to the top.
        w->MnuOpenRecent->actions().at(5)->trigger();
        QCOMPARE(w->Files->designPath(), paths.at(5));
        QCOMPARE(w->Files->recentDesigns().first(), paths.at(5));
    }

    // Refused before anything is calculated; then each step adds its columns, 10 to 500 Hz.
    void curvesFileHoldsCalculatedCurves()
    {
        const QString header = "Frequency (Hz),Sealed response (dB),Vented response (dB),Sealed displacement-limited SPL (dB),"
                               "Sealed displacement-limited power (W),Vented displacement-limited SPL (dB),"
                               "Vented displacement-limited power (W)";
        const QString headers[] = {"Frequency (Hz),Vented response (dB)", header.section(u',', 0, 2), header};
        const char *const steps[] = {"CmdCalculateInput", "CmdFrequency", "CmdDisplacement"};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("curves.csv"));
        MessageCatcher catcher;
        auto w = freshWindow();
        act(w.get(), Driver + "TxtVas<85; TxtSd<220; TxtXmax<5");
        for (int n = 0; n <= 3; ++n) {
            if (n > 0)
                act(w.get(), steps[n - 1]);
            catcher.clear();
            QCOMPARE(w->Files->exportCurves(path), n > 0);
            settle();
            QCOMPARE(catcher.shown(), n == 0 ? "more" : "");
            if (n == 0) {
                QVERIFY(!QFile::exists(path));
                continue;
            }
            const QStringList lines = QString::fromUtf8(contents(path)).split(u'\n', Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), 1 + 491); // the header, 10 to 500 Hz (their first cells: tst_core)
            QCOMPARE(lines.first(), headers[n - 1]);
            for (const QString &line : lines.mid(1))
                QCOMPARE(line.count(u','), headers[n - 1].count(u','));
            // Far above resonance both boxes are flat: every response column near 0 dB at 500 Hz.
            for (int c = 1; c <= std::min(n, 2); ++c)
                QVERIFY(std::abs(lines.last().section(u',', c, c).toDouble()) < 0.1);
        }
    }

    void examplesOpenCalculated()
    {
        const QDir folder(QFINDTESTDATA("../examples"));
        const QStringList files = folder.entryList({QStringLiteral("*.kelvane")}, QDir::Files);
        QVERIFY(files.size() >= 2);
        for (const QString &file : files) {
            MessageCatcher catcher;
            auto w = freshWindow();
            QVERIFY2(w->Files->openDesign(folder.filePath(file)), qPrintable(file));
            settle();
            QCOMPARE(catcher.shown(), QString());
            QVERIFY2(w->BoxModel->CmdFrequency->isEnabled() && w->Input->TxtName->text().startsWith(QLatin1String("Example")), qPrintable(file));
            if (file == QLatin1String("example-8in-woofer.kelvane")) // the two-way example
                QVERIFY(w->State.CrossoverNetwork && w->CrossoverPlans->CmdSavePlan->isEnabled());
        }
    }

private:
    QTemporaryDir settings_;
};

QTEST_MAIN(TestDesignFile)
#include "tst_designfile.moc"
