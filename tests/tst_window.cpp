// The main window as it opens, its exits and the About window.

#include "TestSupport.h"
#include "app/FrmAbout.h"

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace testsupport;

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void startState();
    void defaultChoicesAndTexts_data();
    void defaultChoicesAndTexts();
    void captionsAndTooltips_data();
    void captionsAndTooltips();
    void exitsClose_data();
    void exitsClose();
    void aboutIsModalAndLeavesWindowUnchanged();
    void everyControlHasAnAccessibleName();
};

void TestWindow::startState()
{
    auto w = freshWindow();
    QCOMPARE(w->windowTitle(), QStringLiteral("Kelvane"));
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabInput));
    QCOMPARE(w->focusWidget(), w->TxtFs);
    for (const char *name : {"CmdFrequency", "CmdDisplacement", "CmdSave", "CmdSaveDisplacement",
                             "CmdPrintDisplacement", "CmdPrintFreq"})
        QVERIFY2(!find<QPushButton>(w.get(), QLatin1String(name))->isEnabled(), name);
    QCOMPARE(w->PercentOverVolume, 100.0);
    QVERIFY(!w->windowIcon().isNull());
    QCOMPARE(w->MnuItemExit->text(), QStringLiteral("E&xit"));
    QStringList tabs;
    for (int i = 0; i < w->SSTab->count(); ++i)
        tabs << w->SSTab->tabText(i);
    QCOMPARE(tabs, (QStringList{"Input", "Box Model", "Box and Vent", "Crossover", "Crossover Plans",
                                "Frequency Response", "Displacement Limits", "Analysis"}));
}

void TestWindow::defaultChoicesAndTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value"); // option: "checked"/"unchecked"; field: its text
    QTest::newRow("Vas in litres") << "OptVas(1)" << "checked";
    QTest::newRow("Vd in litres") << "OptVd(0)" << "checked";
    QTest::newRow("Sd in square cm") << "OptSd(0)" << "checked";
    QTest::newRow("diameter in inches") << "OptDia(2)" << "checked";
    QTest::newRow("Xmax in mm") << "OptXmax(1)" << "checked";
    QTest::newRow("result volumes in cubic feet") << "OptSealedVolumeBox(0)" << "checked";
    QTest::newRow("sealed model by Qtc") << "OptQtc" << "checked";
    QTest::newRow("no crossover type") << "OptCrossoverType(0)" << "unchecked";
    QTest::newRow("Qtc") << "TxtQtc" << ".707";
    QTest::newRow("Qloss") << "TxtQloss" << "7";
    QTest::newRow("over-volume") << "TxtPercentOverVolume" << "100";
    QTest::newRow("Fs empty") << "TxtFs" << "";
    QTest::newRow("readout Hz") << "TxtFreqXNum" << "Hz";
    QTest::newRow("readout dB") << "TxtSPLYNum" << "dB";
    QTest::newRow("readout watts") << "TxtSPLpowerYwattsNum" << "Watts";
}

void TestWindow::defaultChoicesAndTexts()
{
    const QString name = fetch<QString>("name");
    auto w = freshWindow();
    if (auto *o = w->findChild<QRadioButton *>(name))
        QCOMPARE(o->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked"), fetch<QString>("value"));
    else
        QCOMPARE(find<QLineEdit>(w.get(), name)->text(), fetch<QString>("value"));
}

void TestWindow::captionsAndTooltips_data()
{
    for (const char *column : {"name", "caption", "tooltip"})
        QTest::addColumn<QString>(column);
    QTest::newRow("Fs label") << "Label1(1)" << "Resonant Frequency - Fs:" << "";
    QTest::newRow("Vas field") << "TxtVas" << ""
        << "Enter the Equivalent Air Volume  representing the Acoustic Compliance (\"springiness\") of the driver's suspension.";
    QTest::newRow("diameter field") << "TxtDia" << ""
        << "Inpute the Advertised Diameter - used to find Sd and Vd when they are unknown.";
    QTest::newRow("Calculate Box") << "CmdCalculateInput" << "Calculate Box"
        << "Click to calculate the frequency response(s) of the driver.";
    QTest::newRow("Qtc option") << "OptQtc" << "Qtc:" << "Cick here to model a custom Qtc.";
    QTest::newRow("Vas frame") << "FrameVas" << "" << "Choose a unit of volume.";
    QTest::newRow("Sd frame") << "FrameSd" << "" << "Choose a unit of Area.";
    QTest::newRow("exit on the crossover tab") << "CmdExit(3)" << "Exit" << "Click here to Exit.";
    QTest::newRow("box and vent print") << "CmdPrintBoxVent" << "Print"
        << "Click to Print this form.  If a metric unit is chosen on the Boxmodel tab, This will print in metric.";
    QTest::newRow("box model note") << "Label4" << "NOTE - Click <Calculate> if you change values!" << "";
    QTest::newRow("SPL value") << "LblSPL" << "---" << "Input Qes on the Data Input Tab.";
    QTest::newRow("vent use 4") << "Label1(70)" << "8\" and 10\" Drivers (Minimum for 12\" Drivers)" << "";
    QTest::newRow("dimension cell") << "LblVDepth(2)" << "Depth" << "";
    QTest::newRow("displacement button") << "CmdDisplacement" << "Displacement Limited Power"
        << "Click here to see the maximum SPL based on the driver's displacement limit.";
    QTest::newRow("save on the limits graph") << "CmdSaveDisplacement" << "Save Image"
        << "Click to save this graph image.";
}

void TestWindow::captionsAndTooltips()
{
    auto w = freshWindow();
    QWidget *c = find(w.get(), fetch<QString>("name"));
    if (auto *l = qobject_cast<QLabel *>(c))
        QCOMPARE(l->text(), fetch<QString>("caption"));
    else if (auto *b = qobject_cast<QAbstractButton *>(c))
        QCOMPARE(b->text(), fetch<QString>("caption"));
    QCOMPARE(c->toolTip(), fetch<QString>("tooltip"));
}

void TestWindow::exitsClose_data()
{
    QTest::addColumn<int>("exitIndex"); // -1: the File menu's Exit
    for (int i = 0; i < 5; ++i)
        QTest::addRow("Exit button %d", i) << i;
    QTest::newRow("File > Exit") << -1;
}

void TestWindow::exitsClose()
{
    const int exitIndex = fetch<int>("exitIndex");
    auto w = freshWindow();
    if (exitIndex < 0) {
        w->MnuItemExit->trigger();
    } else {
        w->SSTab->setCurrentIndex(exitIndex);
        QTest::mouseClick(w->CmdExit[exitIndex], Qt::LeftButton);
    }
    QVERIFY(!w->isVisible());
}

void TestWindow::aboutIsModalAndLeavesWindowUnchanged()
{
    auto w = freshWindow();
    w->TxtFs->setText(QStringLiteral("42"));
    QString title, version, disclaimer;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto *about = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(about);
        modal = about->isModal();
        title = about->windowTitle();
        version = find<QLabel>(about, "lblVersion")->text();
        disclaimer = find<QLabel>(about, "lblDisclaimer")->text();
        QTest::keyClick(about, Qt::Key_Escape);
    });
    w->MnuAbout->trigger();
    QVERIFY(modal);
    QCOMPARE(title, QStringLiteral("About Kelvane"));
    QCOMPARE(version, QStringLiteral("Version 1.0.6"));
    QCOMPARE(disclaimer, QStringLiteral("Although every effort has been made to make it accurate, there is no "
                                        "guarantee that it actually is. Therefore, use it at your own risk."));
    QVERIFY(w->isVisible());
    QCOMPARE(w->TxtFs->text(), QStringLiteral("42"));
}

void TestWindow::everyControlHasAnAccessibleName()
{
    auto w = freshWindow();
    QStringList unnamed;
    for (QWidget *c : w->findChildren<QWidget *>()) {
        const bool control = qobject_cast<QLineEdit *>(c) || qobject_cast<QAbstractButton *>(c)
                             || qobject_cast<QGroupBox *>(c);
        if (control && c->accessibleName().isEmpty() && !c->objectName().startsWith(QLatin1String("qt_")))
            unnamed << c->objectName();
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
    // Fields are named by their labels.
    QCOMPARE(w->TxtFs->accessibleName(), QStringLiteral("Resonant Frequency - Fs:"));
    QCOMPARE(w->TxtPercentOverVolume->accessibleName(), QStringLiteral("Overvolume percentage :"));
    QCOMPARE(w->TxtRe->accessibleName(), QStringLiteral("Woofer DC Voice Coil Resistance - Re:"));
    QCOMPARE(w->OptVas[2]->accessibleName(), QStringLiteral("Cu. m"));
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
