// Faults found by the random run of the window (tst_monkey) and by the sanitizer build, each kept as
// a test named after what it protects.

#include "TestSupport.h"
#include "driver/Program.h"
#include "graphs/GraphPicture.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include <cmath>

using namespace testsupport;

namespace {

bool resultButtonsEnabled(const FrmKelvane &w)
{
    for (const QPushButton *b : {w.CmdFrequency, w.CmdDisplacement, w.CmdSave, w.CmdSaveDisplacement,
                                 w.CmdPrintDisplacement, w.CmdPrintFreq})
        if (b->isEnabled())
            return true;
    return false;
}

void enterDriver(FrmKelvane &w, const char *fs, const char *vas, const char *qts)
{
    w.TxtFs->setText(QLatin1String(fs));
    w.TxtVas->setText(QLatin1String(vas));
    w.TxtQts->setText(QLatin1String(qts));
}

} // namespace

class TestHardening : public QObject
{
    Q_OBJECT

private slots:
    void brokenChainOffersNoGraphs_data();
    void brokenChainOffersNoGraphs();
    void calculateQtsToTheShownValueKeepsResultsTrue();
    void vasEnteredInLitresStaysInCubicFeet_data();
    void vasEnteredInLitresStaysInCubicFeet();
    void boxVolumeEnteredInLitresStaysInCubicFeet_data();
    void boxVolumeEnteredInLitresStaysInCubicFeet();
    void ventForAnOverflowingBoxVolumeIsRefused();
    void displacementWithoutVdDataIsReportedEveryTime_data();
    void displacementWithoutVdDataIsReportedEveryTime();
    void failedDisplacementGraphLeavesNoStalePicture();
    void failureBeforeTheChainKeepsCompleteResults_data();
    void failureBeforeTheChainKeepsCompleteResults();
};

void TestHardening::brokenChainOffersNoGraphs_data()
{
    // A second driver whose calculation breaks after the sealed model has run: the vented row
    // (and its response curve) would still be the first driver's.
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::newRow("loss Q not a number") << "TxtQloss" << "7a";
    QTest::newRow("typed tuning of 0.0 Hz") << "TxtVFb" << "0.0";
    QTest::newRow("typed vented volume of 0.0") << "TxtVBV" << "0.0";
}

void TestHardening::brokenChainOffersNoGraphs()
{
    QFETCH(QString, field);
    QFETCH(QString, pasted);
    auto w = freshWindow();
    MessageCatcher catcher;
    enterDriver(*w, "30", "3", "0.4");
    w->CmdCalculate_Click();
    QVERIFY(resultButtonsEnabled(*w));
    QVERIFY(catcher.texts().isEmpty());

    enterDriver(*w, "45", "2", "0.35");
    QVERIFY(!resultButtonsEnabled(*w));
    // Both tuning and volume typed, so the model takes them as given.
    w->TxtVFb->setText(QStringLiteral("40"));
    w->TxtVBV->setText(QStringLiteral("1.5"));
    find<QLineEdit>(w.get(), field)->setText(pasted);
    w->CmdCalculate_Click();
    settle();
    QCOMPARE(catcher.texts(), QStringList{Program::NumberErrorText});
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabInput));
    // The sealed row belongs to the second driver already (Fc = Qtc Fs / Qts = 0.707 * 45 / 0.35).
    QCOMPARE(w->LblCFb->text(), QStringLiteral("90.9"));
    QVERIFY(!resultButtonsEnabled(*w));
}

void TestHardening::failureBeforeTheChainKeepsCompleteResults_data()
{
    // A text that fails before any model runs changes no result: the complete results of the last
    // calculation stay on offer, and so do the values they were calculated from - Vas in cubic
    // feet (100 litres = 3.53145 cubic feet), not the number as typed.
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::newRow("Qes not a number") << "TxtQes" << "0.5x";
    QTest::newRow("Qtc not a number") << "TxtQtc" << "0.8.1";
    QTest::newRow("Qtc too large for a number") << "TxtQtc" << QString(400, QLatin1Char('9'));
}

void TestHardening::failureBeforeTheChainKeepsCompleteResults()
{
    QFETCH(QString, field);
    QFETCH(QString, pasted);
    auto w = freshWindow();
    MessageCatcher catcher;
    w->TxtName->setText(QStringLiteral("First"));
    w->OptVas[1]->setChecked(true);
    enterDriver(*w, "30", "100", "0.4");
    w->CmdCalculate_Click();
    QVERIFY(resultButtonsEnabled(*w));
    QCOMPARE(w->Vas, 100 * 0.0353145);

    w->TxtName->setText(QStringLiteral("Second"));
    find<QLineEdit>(w.get(), field)->setText(pasted);
    w->CmdCalculate_Click();
    settle();
    QCOMPARE(catcher.texts(), QStringList{Program::NumberErrorText});
    QVERIFY(resultButtonsEnabled(*w));
    QCOMPARE(w->Vas, 100 * 0.0353145);
    QCOMPARE(w->Fs, 30.0);
    QCOMPARE(w->Qts, 0.4);
    QCOMPARE(w->DriverName, QStringLiteral("First"));
}

void TestHardening::calculateQtsToTheShownValueKeepsResultsTrue()
{
    // Qes 0.4 and Qms 2.4 give Qts = 0.4 * 2.4 / 2.8 = 0.342857..., shown as "0.343": the text the
    // field already holds, so the results calculated from 0.343 stay on offer and Qts must stay
    // 0.343 with them.
    auto w = freshWindow();
    MessageCatcher catcher;
    enterDriver(*w, "30", "3", "0.343");
    w->CmdCalculate_Click();
    QVERIFY(resultButtonsEnabled(*w));
    w->TxtQes->setText(QStringLiteral("0.4"));
    w->TxtQms->setText(QStringLiteral("2.4"));
    QTest::mouseClick(w->CmdCalculateQts, Qt::LeftButton);
    settle();
    QVERIFY(catcher.texts().isEmpty());
    QCOMPARE(w->TxtQts->text(), QStringLiteral("0.343"));
    QVERIFY(resultButtonsEnabled(*w));
    QCOMPARE(w->Qts, 0.343);

    // A different shown value invalidates the results as before and keeps the full total.
    w->TxtQms->setText(QStringLiteral("4"));
    QTest::mouseClick(w->CmdCalculateQts, Qt::LeftButton);
    settle();
    QCOMPARE(w->TxtQts->text(), QStringLiteral("0.364"));
    QVERIFY(!resultButtonsEnabled(*w));
    QCOMPARE(w->Qts, 0.4 * 4 / 4.4);
}

void TestHardening::vasEnteredInLitresStaysInCubicFeet_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("cubicFeet");
    // 100 litres = 100 * 0.0353145 cubic feet; 100 cubic metres = 100 * 35.3145 cubic feet.
    QTest::newRow("litres") << 1 << 100 * 0.0353145;
    QTest::newRow("cubic metres") << 2 << 100 * 35.3145;
    QTest::newRow("cubic feet") << 0 << 100.0;
}

void TestHardening::vasEnteredInLitresStaysInCubicFeet()
{
    // Enter on the unchanged Vas field after a calculation keeps the results on offer; the graphs
    // read Vas again, so it must stay the calculated volume in cubic feet, not the typed number.
    QFETCH(int, unit);
    QFETCH(double, cubicFeet);
    auto w = freshWindow();
    MessageCatcher catcher;
    w->OptVas[unit]->setChecked(true);
    enterDriver(*w, "30", "100", "0.4");
    w->CmdCalculate_Click();
    QVERIFY(resultButtonsEnabled(*w));
    QCOMPARE(w->Vas, cubicFeet);
    w->TxtVas->setFocus();
    QTest::keyClick(w->TxtVas, Qt::Key_Return);
    settle();
    QVERIFY(resultButtonsEnabled(*w));
    QCOMPARE(w->Vas, cubicFeet);
}

void TestHardening::boxVolumeEnteredInLitresStaysInCubicFeet_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("cubicFeet");
    QTest::addColumn<QString>("caption"); // the Box and Vent tab's original volume
    // 50 litres = 50 * 0.0353145 = 1.765725 cubic feet; 0.05 cubic metres = 0.05 * 35.3145, the same.
    QTest::newRow("vented, litres") << "TxtVBV" << 1 << "50" << 50 * 0.0353145 << "1.766 Cu. Ft.";
    QTest::newRow("vented, cubic metres") << "TxtVBV" << 2 << "0.05" << 0.05 * 35.3145 << "1.766 Cu. Ft.";
    QTest::newRow("vented, cubic feet") << "TxtVBV" << 0 << "1.5" << 1.5 << "1.500 Cu. Ft.";
    QTest::newRow("sealed, litres") << "TxtCBV" << 1 << "50" << 50 * 0.0353145 << "1.766 Cu. Ft.";
    QTest::newRow("sealed, cubic metres") << "TxtCBV" << 2 << "0.05" << 0.05 * 35.3145 << "1.766 Cu. Ft.";
}

void TestHardening::boxVolumeEnteredInLitresStaysInCubicFeet()
{
    // A box volume typed in the selected unit and committed with Enter is held in cubic feet, so the
    // build volumes and dimensions the Box and Vent tab works out from it are that box's.
    QFETCH(QString, field);
    QFETCH(int, unit);
    QFETCH(QString, typed);
    QFETCH(double, cubicFeet);
    QFETCH(QString, caption);
    auto w = freshWindow();
    MessageCatcher catcher;
    enterDriver(*w, "30", "3", "0.4");
    w->OptSealedVolumeBox[unit]->setChecked(true);
    w->CmdCalculate_Click();
    QVERIFY(resultButtonsEnabled(*w));
    typeInto(find<QLineEdit>(w.get(), field), typed);
    settle();
    typeInto(w->TxtAddVolume, QStringLiteral("0"));
    settle();
    QVERIFY(catcher.texts().isEmpty());
    const bool vented = field == QLatin1String("TxtVBV");
    QCOMPARE(vented ? w->VbVented : w->VbSealed, cubicFeet);
    QCOMPARE(find<QLabel>(w.get(), vented ? "LblOriginalVVol" : "LblOriginalCVol")->text(), caption);
}

void TestHardening::ventForAnOverflowingBoxVolumeIsRefused()
{
    // A typed vented volume of 1E+306 cubic feet is a number, but its cubic inches (x 1728) are not:
    // the vent diameter is refused with the number message instead of keeping an infinite volume.
    auto w = freshWindow();
    MessageCatcher catcher;
    enterDriver(*w, "30", "3", "0.4");
    w->CmdCalculate_Click();
    typeInto(w->TxtVBV, QStringLiteral("1") + QString(306, QLatin1Char('0')));
    settle();
    QCOMPARE(w->VbVented, 1e306);
    typeInto(w->TxtVentDia, QStringLiteral("4"));
    settle();
    QCOMPARE(catcher.texts(), QStringList{Program::NumberErrorText});
    QVERIFY(std::isfinite(w->VbVentedCuIn));
    QCOMPARE(w->TxtVentDia->text(), QString());
}

namespace {

// A driver whose displacement graph draws: Fs 30 Hz, Vas 3 cubic feet, Qts 0.4, Qes 0.5, 100 W,
// Vd 0.1 litres.
void drawDisplacement(FrmKelvane &w)
{
    enterDriver(w, "30", "3", "0.4");
    w.TxtQes->setText(QStringLiteral("0.5"));
    w.TxtPower->setText(QStringLiteral("100"));
    w.TxtVd->setText(QStringLiteral("0.1"));
    w.CmdCalculate_Click();
    w.CmdDisplacement_Click();
}

} // namespace

void TestHardening::displacementWithoutVdDataIsReportedEveryTime_data()
{
    QTest::addColumn<bool>("coilPath"); // Sd given, but neither Xmax nor the coil dimensions
    QTest::newRow("no Vd, Sd or diameter") << false;
    QTest::newRow("Sd without Xmax or coil") << true;
}

void TestHardening::displacementWithoutVdDataIsReportedEveryTime()
{
    // After one graph, emptying the displacement fields must be reported like on the first run,
    // not drawn silently with the Vd of that earlier run.
    QFETCH(bool, coilPath);
    auto w = freshWindow();
    MessageCatcher catcher;
    drawDisplacement(*w);
    QVERIFY(catcher.texts().isEmpty());
    QCOMPARE(w->Vd, 0.0001);
    w->TxtVd->clear();
    w->TxtSd->setText(coilPath ? QStringLiteral("200") : QString());
    w->TxtDia->clear();
    w->TxtXmax->clear();
    w->PicDisplacementLimit->clear();
    w->CmdDisplacement_Click();
    settle();
    QVERIFY(!catcher.texts().isEmpty());
    for (const QString &text : catcher.texts())
        QCOMPARE(text, Program::MoreDataNeededText);
    QCOMPARE(w->Vd, 0.0);
    QVERIFY(w->PicDisplacementLimit->texts().isEmpty());
}

void TestHardening::failedDisplacementGraphLeavesNoStalePicture()
{
    // A new power (1000 W) gives a new thermal limit before a Vd of 1E+200 litres overflows the
    // acoustic power: the readout would read the new limit over the old curves, so the old
    // picture is blanked.
    auto w = freshWindow();
    MessageCatcher catcher;
    drawDisplacement(*w);
    QVERIFY(!w->PicDisplacementLimit->texts().isEmpty());
    w->TxtPower->setText(QStringLiteral("1000"));
    w->TxtVd->setText(QStringLiteral("1") + QString(200, QLatin1Char('0')));
    w->CmdDisplacement_Click();
    settle();
    QCOMPARE(catcher.texts(), QStringList{Program::NumberErrorText});
    QVERIFY(w->PicDisplacementLimit->texts().isEmpty());
}

QTEST_MAIN(TestHardening)
#include "tst_hardening.moc"
