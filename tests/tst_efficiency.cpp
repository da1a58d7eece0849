// Efficiency, sensitivity and EBP with the box-type advice and the Qes estimate; the total Q from
// Qes and Qms ("Calculate Qts"); Vd from the displacement data. Figures worked by hand from
//   Efficiency = 2.7e-8 Fs^3 Vas / Qes, SPL = 10 log10(Efficiency) + 112.2, EBP = Fs / Qes,
//   1/Qts = 1/Qes + 1/Qms, Vd = Sd Xmax.

#include "TestSupport.h"
#include "common/Checked.h"
#include "driver/DriverCore.h"
#include "driver/Program.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace testsupport;
using namespace kelvane;

class TestEfficiency : public QObject
{
    Q_OBJECT

private slots:
    void coreRecommendation_data();
    void coreRecommendation();

    void windowFigures_data();
    void windowFigures();
    void nonFiniteEndsInTrap_data();
    void nonFiniteEndsInTrap();

    void calculateQts();
    void calculateQtsRejectsMissingQ_data();
    void calculateQtsRejectsMissingQ();

    void getVd_data();
    void getVd();
    void getVdWithoutDisplacementData();
    void getVdWithoutExcursionData();
};

void TestEfficiency::coreRecommendation_data()
{
    QTest::addColumn<double>("ebp");
    QTest::addColumn<QString>("advice");
    // EBP exactly 50 and 100 are shown through the window below.
    QTest::newRow("just above 50") << 50.001 << "EITHER A SEALED BOX OR A VENTED BOX IS FINE FOR THIS DRIVER";
    QTest::newRow("just below 100") << 99.999 << "EITHER A SEALED BOX OR A VENTED BOX IS FINE FOR THIS DRIVER";
    QTest::newRow("above 100") << 250.0 << "A VENTED BOX IS PROBABLY BEST FOR THIS DRIVER  ";
}

void TestEfficiency::coreRecommendation()
{
    QCOMPARE(driver::recommendation(fetch<double>("ebp")), fetch<QString>("advice"));
}

void TestEfficiency::windowFigures_data()
{
    for (const char *column : {"fs", "vas", "qts", "qes", "qms", "spl", "advice", "qesAfter", "note"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<double>("qesValue");

    const QString estimated = QStringLiteral("Estimated, Enter Qes to calculate.");
    const QString sealed = QStringLiteral("A SEALED BOX IS PROBABLY BEST FOR THIS DRIVER");
    const QString vented = QStringLiteral("A VENTED BOX IS PROBABLY BEST FOR THIS DRIVER  ");
    const QString either = QStringLiteral("EITHER A SEALED BOX OR A VENTED BOX IS FINE FOR THIS DRIVER");
    // 2.7e-8 * 27000 * 4 / 0.4 = 0.00729; 10 log10(0.00729) + 112.2 = 90.8273; EBP 75.
    QTest::newRow("Fs 30, Vas 4, Qes 0.4") << "30" << "4" << "0.35" << "0.4" << ""
                                          << "90.83" << either << "0.4" << "" << 0.4;
    // 30 / 0.6 = 50: sealed. Efficiency 2.7e-8*27000*4/0.6 = 0.00486 -> 89.07 dB.
    QTest::newRow("EBP exactly 50") << "30" << "4" << "0.35" << "0.6" << ""
                                    << "89.07" << sealed << "0.6" << "" << 0.6;
    // 40 / 0.4 = 100: vented. 2.7e-8*64000*4/0.4 = 0.01728 -> 94.58 dB.
    QTest::newRow("EBP exactly 100") << "40" << "4" << "0.35" << "0.4" << ""
                                     << "94.58" << vented << "0.4" << "" << 0.4;
    // Qts 0.5, nothing else: Qes 0.6 estimated and noted; the Qes field stays empty.
    QTest::newRow("Qes estimated from Qts alone")
        << "30" << "4" << "0.5" << "" << "" << "89.07" << sealed << "" << estimated << 0.6;
    // Qms 4, Qts 0.4: Qes 0.4444 written into the field, no note. EBP 67.5;
    // 2.7e-8*27000*4/0.4444 = 0.006561 -> 90.37 dB.
    QTest::newRow("Qes estimated from Qms")
        << "30" << "4" << "0.4" << "" << "4" << "90.37" << either << "0.444" << ""
        << 0.4 * 4 / 3.6;
}

void TestEfficiency::windowFigures()
{
    auto w = freshWindow();
    setDriver(w.get(), fetch<QString>("fs"), fetch<QString>("qts"), fetch<QString>("vas"));
    w->TxtQes->setText(fetch<QString>("qes"));
    w->TxtQms->setText(fetch<QString>("qms"));
    MessageCatcher catcher;
    w->CmdCalculate->click();
    settle();
    QCOMPARE(catcher.texts(), QStringList());
    QCOMPARE(w->LblSPL->text(), fetch<QString>("spl"));
    QCOMPARE(w->LblEBP->text(), fetch<QString>("advice"));
    QCOMPARE(w->TxtQes->text(), fetch<QString>("qesAfter"));
    QCOMPARE(w->LblEstimated->text(), fetch<QString>("note"));
    QVERIFY(qAbs(w->Qes - fetch<double>("qesValue")) < 1e-12);
}

void TestEfficiency::nonFiniteEndsInTrap_data()
{
    for (const char *column : {"qts", "qes", "qms"})
        QTest::addColumn<QString>(column);
    QTest::newRow("Qts 3, no Qes or Qms: 9/0") << "3" << "" << "";
    QTest::newRow("Qms equal to Qts") << "0.4" << "" << "0.4";
    QTest::newRow("Qts 3.5: negative efficiency") << "3.5" << "" << "";
    QTest::newRow("Qms below Qts: negative efficiency") << "0.5" << "" << "0.45";
}

void TestEfficiency::nonFiniteEndsInTrap()
{
    auto w = freshWindow();
    setDriver(w.get(), "30", fetch<QString>("qts"), "4");
    w->TxtQes->setText(fetch<QString>("qes"));
    w->TxtQms->setText(fetch<QString>("qms"));
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxModel);
    MessageCatcher catcher;
    w->CmdCalculate->click();
    settle();
    QCOMPARE(catcher.messages(), (QList<Message>{{"Error", Program::NumberErrorText}}));
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabInput));
    QCOMPARE(w->LblSPL->text(), QStringLiteral("---")); // never reached
    QCOMPARE(nonFiniteShown(w.get()), QString());
}

void TestEfficiency::calculateQts()
{
    // 0.5 * 5 / 5.5 = 0.4545 -> "0.455"; Qes and Qms rewritten with three decimals.
    auto w = freshWindow();
    setDriver(w.get(), "30", "0.35", "4");
    w->CmdCalculate->click();
    QVERIFY(w->CmdFrequency->isEnabled());
    w->TxtQes->setText(".5");
    w->TxtQms->setText("5");
    MessageCatcher catcher;
    QTest::mouseClick(w->CmdCalculateQts, Qt::LeftButton);
    settle();
    QCOMPARE(catcher.texts(), QStringList());
    QCOMPARE(w->TxtQts->text(), QStringLiteral("0.455"));
    QCOMPARE(w->TxtQes->text(), QStringLiteral("0.500"));
    QCOMPARE(w->TxtQms->text(), QStringLiteral("5.000"));
    QVERIFY(qAbs(w->Qts - 0.5 * 5 / 5.5) < 1e-15);
    // The new Qts invalidates the model.
    QVERIFY(!w->CmdFrequency->isEnabled());
    QCOMPARE(w->TxtQtc->text(), QStringLiteral("0.707"));
    // The queued Tab moved the focus on from the button.
    QVERIFY(w->focusWidget() != w->CmdCalculateQts);
}

void TestEfficiency::calculateQtsRejectsMissingQ_data()
{
    for (const char *column : {"qes", "qms", "offending", "otherAfter"})
        QTest::addColumn<QString>(column);
    QTest::newRow("Qes empty") << "" << "5" << "TxtQes" << "5.000";
    QTest::newRow("Qes 0") << "0" << "5" << "TxtQes" << "5.000";
    QTest::newRow("Qms empty") << "0.5" << "" << "TxtQms" << "0.500";
    QTest::newRow("Qes not a number") << "." << "5" << "TxtQes" << "5";
}

void TestEfficiency::calculateQtsRejectsMissingQ()
{
    const QString qes = fetch<QString>("qes");
    auto w = freshWindow();
    w->TxtQts->setText("0.35");
    w->Qts = 0.35;
    w->TxtQes->setText(qes);
    w->TxtQms->setText(fetch<QString>("qms"));
    MessageCatcher catcher;
    QTest::mouseClick(w->CmdCalculateQts, Qt::LeftButton);
    settle();
    QCOMPARE(catcher.messages(), (QList<Message>{{"Error", Program::NumberErrorText}}));
    auto *bad = find<QLineEdit>(w.get(), fetch<QString>("offending"));
    auto *other = bad == w->TxtQes ? w->TxtQms : w->TxtQes;
    QCOMPARE(w->focusWidget(), bad);
    if (qes != QLatin1String("."))
        QCOMPARE(bad->text(), QString());
    QCOMPARE(other->text(), fetch<QString>("otherAfter"));
    QCOMPARE(w->TxtQts->text(), QStringLiteral("0.35"));
    QCOMPARE(w->Qts, 0.35);
}

// Units: Vd 0 litres, 1 cubic metres, 2 cubic feet; Sd 0 cm^2, 1 m^2, 2 in^2; diameter 0 mm, 1 cm,
// 2 inches; Xmax 0 inches, 1 mm. Each field is "text/unit"; coil and gap are millimetres.
void TestEfficiency::getVd_data()
{
    for (const char *column : {"vd", "sd", "dia", "xmax", "coil", "gap", "vdText", "xmaxText"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<double>("expectedVd");
    const auto row = [](const char *name, const char *vd, const char *sd, const char *dia, const char *xmax,
                        const char *coil, const char *gap, const char *vdText, const char *xmaxText, double m3) {
        QTest::newRow(name) << vd << sd << dia << xmax << coil << gap << vdText << xmaxText << m3;
    };
    row("Vd 0.1 litres", "0.1/0", "/0", "/2", "/1", "", "", "0.1", "", 0.0001);
    row("Vd 0.1 cu ft", "0.1/2", "/0", "/2", "/1", "", "", "0.1", "", 0.1 / 35.3145);
    row("Vd 0.0002 cubic metres", "0.0002/1", "/0", "/2", "/1", "", "", "0.0002", "", 0.0002);
    // 200 cm^2 = 20000 mm^2, times 5 mm = 1e5 mm^3 = 0.0001 m^3 = 0.100 litres.
    row("Sd 200 cm2, Xmax 5 mm", "/0", "200/0", "/2", "5/1", "", "", "0.100", "5", 0.0001);
    // Vd "0" counts as missing too; shown in cubic metres (0.000100) or cubic feet
    // (0.0001 * 35.3145 = 0.00353).
    row("Vd 0 -> derived, cubic metres", "0/1", "200/0", "/2", "5/1", "", "", "0.000100", "5", 0.0001);
    row("derived, cubic feet", "/2", "200/0", "/2", "5/1", "", "", "0.00353", "5", 0.0001);
    // 0.02 m^2 = 20000 mm^2; 3.1 in^2 = 2000 mm^2 (645.16 mm^2 each); Xmax 0.2 in = 5.08 mm.
    row("Sd 0.02 m2", "/0", "0.02/1", "/2", "5/1", "", "", "0.100", "5", 0.0001);
    row("Sd 3.1 in2, Xmax 0.2 in", "/0", "3.1/2", "/2", "0.2/0", "", "", "0.010", "0.2", 3.1 * 645.16 * 5.08 / 1e9);
    // 10 inches = 254 mm, 85 % = 215.9 mm, Sd = 3.1415926 * 215.9^2 / 4 = 36609.61 mm^2;
    // times 5 mm = 183048 mm^3 = 0.183 litres.
    row("diameter 10 in", "/0", "/0", "10/2", "5/1", "", "", "0.183", "5", 36609.6147403 * 5 / 1e9);
    // 25 cm = 250 mm -> 212.5 mm effective -> 35465.6 mm^2.
    row("diameter 25 cm", "/0", "/0", "25/1", "5/1", "", "", "0.177", "5", 3.1415926 * 212.5 * 212.5 / 4 * 5 / 1e9);
    // Coil 12, gap 6 (mm): Xmax = 3 written into its field; 20000 * 3 = 0.06 litres.
    row("Xmax from the coil", "/0", "200/0", "/2", "/1", "12", "6", "0.060", "3", 0.00006);
    row("Xmax 0 from the coil", "/0", "200/0", "/2", "0/1", "9", "6", "0.030", "1.5", 0.00003);
}

void TestEfficiency::getVd()
{
    auto w = freshWindow();
    const auto set = [&](QLineEdit *field, const auto &units, const char *column) {
        const QStringList parts = fetch<QString>(column).split(u'/');
        field->setText(parts[0]);
        units[parts[1].toInt()]->setChecked(true);
    };
    set(w->TxtVd, w->OptVd, "vd");
    set(w->TxtSd, w->OptSd, "sd");
    set(w->TxtDia, w->OptDia, "dia");
    set(w->TxtXmax, w->OptXmax, "xmax");
    w->TxtVCHeight->setText(fetch<QString>("coil"));
    w->TxtVCGap->setText(fetch<QString>("gap"));
    MessageCatcher catcher;
    w->GetVd(w->Vd);
    settle();
    QCOMPARE(catcher.texts(), QStringList());
    QVERIFY2(qAbs(w->Vd - fetch<double>("expectedVd")) < 1e-12, qPrintable(QString::number(w->Vd, 'g', 12)));
    QCOMPARE(w->TxtVd->text(), fetch<QString>("vdText"));
    QCOMPARE(w->TxtXmax->text(), fetch<QString>("xmaxText"));

    // A second run reads the written field back in the same unit: the same volume to the field's
    // rounding, which is half a cubic centimetre (5e-7 cubic metres) or finer in every unit.
    const double first = w->Vd;
    w->GetVd(w->Vd);
    QVERIFY(qAbs(w->Vd - first) <= 5e-7 + 1e-15);
}

void TestEfficiency::getVdWithoutDisplacementData()
{
    auto w = freshWindow();
    w->Vd = 0;
    w->TxtXmax->setText("5");
    MessageCatcher catcher;
    w->GetVd(w->Vd);
    settle();
    QCOMPARE(catcher.texts(), QStringList());
    QCOMPARE(w->Vd, 0.0);
    QCOMPARE(w->TxtVd->text(), QString());
}

void TestEfficiency::getVdWithoutExcursionData()
{
    auto w = freshWindow();
    w->Vd = 0;
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxModel);
    w->TxtSd->setText("200");
    w->TxtVCHeight->setText("12");
    MessageCatcher catcher;
    w->GetVd(w->Vd);
    settle();
    QCOMPARE(catcher.messages(), (QList<Message>{{"Error", Program::MoreDataNeededText}}));
    QCOMPARE(w->Vd, 0.0);
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabInput));
    QCOMPARE(w->focusWidget(), w->TxtVCHeight);
}

QTEST_MAIN(TestEfficiency)
#include "tst_efficiency.moc"
