// The vented-box model: curve fits, response coefficients, the bounded Newton search for the
// -3 dB point and the response sweep in the core, and the "Vented Box:" row of the Box Model tab.
// Expected figures were worked out independently (a separate script evaluating the same
// relations, including the display rounding of the fitted Fb and volume) and agree with the worked
// examples for the 30 Hz / Qts 0.4 / 3 cu ft driver.

#include "TestSupport.h"
#include "common/Checked.h"
#include "driver/Program.h"
#include "models/VentedModel.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace testsupport;
using namespace kelvane;

namespace {

QStringList ventedRow(FrmKelvane *w)
{
    return {w->LblVBVolume->text(), w->LblVFb->text(), w->LblVF3->text(), w->LblVPeak->text(),
            w->LblVPeakFreq->text()};
}

// The driver as pasted, calculated; messages caught.
std::unique_ptr<FrmKelvane> calculated(const QString &fs, const QString &qts, const QString &vas, MessageCatcher &catcher,
                                       std::initializer_list<std::pair<const char *, QString>> fields = {})
{
    auto w = freshWindow();
    setDriver(w.get(), fs, qts, vas);
    for (const auto &[name, text] : fields)
        find<QLineEdit>(w.get(), QLatin1String(name))->setText(text);
    catcher.clear();
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxModel); // where "Calculate" is
    w->CmdCalculate->click();
    settle();
    return w;
}

} // namespace

class TestVented : public QObject
{
    Q_OBJECT

private slots:
    void coreFitBands_data();
    void coreFitBands();
    void coreSearchIsBounded();

    void windowRow_data();
    void windowRow();
    void userValuesAreKept();
    void fitInLitresIsReadBackFromTheField();
    void qlossZeroReportsAndKeepsRow();
    void unsettledSearchFallsBackToBisection_data();
    void unsettledSearchFallsBackToBisection();
    void zeroTuningOrVolumeIsTrapped_data();
    void zeroTuningOrVolumeIsTrapped();
};

void TestVented::coreFitBands_data()
{
    for (const char *column : {"qloss", "fb", "vb"})
        QTest::addColumn<double>(column);

    // Fs 30, Qts 0.4, Vas 3.
    // Below 6: 0.419*30/0.4^0.9721 = 30.6318, 0.4^3.357*3/0.0743 = 1.86315.
    // 6..8: 30*(0.0019108/0.16 + 0.35445/0.4 + 0.1168) = 30.44603, 3/(2.212 + 0.032005 - 1.1327) = 2.69953.
    // Above 8: 0.421*30/0.4^0.933 = 29.69487, 0.4^3.019*3/0.0689 = 2.73855.
    QTest::newRow("Qloss 5 first row") << 5.0 << 30.631817 << 1.863150;
    QTest::newRow("Qloss 5.999 first row") << 5.999 << 30.631817 << 1.863150;
    QTest::newRow("Qloss 6 middle row") << 6.0 << 30.446025 << 2.699529;
    QTest::newRow("Qloss 8 middle row") << 8.0 << 30.446025 << 2.699529;
    QTest::newRow("Qloss 8.001 last row") << 8.001 << 29.694867 << 2.738553;
}

void TestVented::coreFitBands()
{
    const vented::Fit f = vented::alignmentFit(30, 0.4, 3, fetch<double>("qloss"));
    QVERIFY2(qAbs(f.fb - fetch<double>("fb")) < 1e-5, qPrintable(QString::number(f.fb)));
    QVERIFY2(qAbs(f.vb - fetch<double>("vb")) < 1e-5, qPrintable(QString::number(f.vb)));
}

void TestVented::coreSearchIsBounded()
{
    // The Qloss 7 driver settles in 30 steps, even when no restart is allowed.
    const vented::Coefficients easy = vented::coefficients(30, 0.4, 3, 30.4, 2.6995, 7);
    QVERIFY(vented::searchMinus3dB(easy, 0).found);

    // Fs 20, Qts 0.8, Vas 10, Ql 7, tuned to 5 Hz in 1 cu ft: the search settles only after three
    // restarts from 1.5 (on a true root); allowed two, it gives up after three rounds of 501 steps.
    const vented::Coefficients slow = vented::coefficients(20, 0.8, 10, 5, 1, 7);
    const vented::Search full = vented::searchMinus3dB(slow);
    QVERIFY(full.found);
    QVERIFY(full.steps > 3 * (vented::NewtonStepsPerRound + 1));
    QVERIFY(full.steps < 4 * (vented::NewtonStepsPerRound + 1));
    QVERIFY(qAbs(vented::minus3dBResidual(slow, full.x)) < 1e-6);
    const vented::Search cut = vented::searchMinus3dB(slow, 2);
    QVERIFY(!cut.found);
    QCOMPARE(cut.steps, 3 * (vented::NewtonStepsPerRound + 1));

    // Fs 50 Hz, Qts 2, Vas 40 cu ft, Ql 10, tuned to 5 Hz in 0.5 cu ft never settles: it exhausts
    // every restart and reports no root; bisection finds it (unsettledSearchFallsBackToBisection).
    const vented::Search never = vented::searchMinus3dB(vented::coefficients(50, 2, 40, 5, 0.5, 10));
    QVERIFY(!never.found);
    QCOMPARE(never.steps, (vented::NewtonRestarts + 1) * (vented::NewtonStepsPerRound + 1));

    // Where Newton settles, its root is kept to the last bit.
    for (const vented::Coefficients &c : {easy, slow}) {
        const vented::Search newton = vented::searchMinus3dB(c);
        const vented::Search found = vented::findMinus3dB(c);
        QCOMPARE(found.x, newton.x);
        QCOMPARE(found.steps, newton.steps);
    }

    // An equation that cannot be evaluated (A1 so large that F overflows) has no root to show.
    vented::Coefficients huge = easy;
    huge.a1 = 1e200;
    QVERIFY(!vented::findMinus3dB(huge).found);
}

void TestVented::windowRow_data()
{
    for (const char *column : {"qts", "qloss", "fbText", "vbText"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<QStringList>("row");

    // Fitted values as in coreFitBands written with "#0.0" and "#0.0000", the model run on them
    // (F3 from the -3 dB root, peak from the 10-500 Hz sweep): Qloss 7 F3 30.620, Qloss 5 F3 37.883
    // with 0.2757 dB at 86 Hz, Qloss 6 31.274, Qloss 8 30.153 with 0.0264 dB at 61 Hz, Qloss 10
    // 29.244.
    QTest::newRow("Qloss 7") << "0.4" << "7" << "30.4" << "2.6995"
                             << QStringList{"2.700", "30.4", "30.6", "0.00", "0.0"};
    QTest::newRow("Qloss 5") << "0.4" << "5" << "30.6" << "1.8632"
                             << QStringList{"1.863", "30.6", "37.9", "0.28", "86.0"};
    QTest::newRow("Qloss 6") << "0.4" << "6" << "30.4" << "2.6995"
                             << QStringList{"2.700", "30.4", "31.3", "0.00", "0.0"};
    QTest::newRow("Qloss 8") << "0.4" << "8" << "30.4" << "2.6995"
                             << QStringList{"2.700", "30.4", "30.2", "0.03", "61.0"};
    QTest::newRow("Qloss 10") << "0.4" << "10" << "29.7" << "2.7386"
                              << QStringList{"2.739", "29.7", "29.2", "0.00", "0.0"};
    // The fit gives 3/(0.72229 + 0.018289 - 1.1327) = -7.6506 cu ft, replaced by 16.168.
    QTest::newRow("Qts 0.7 negative volume") << "0.7" << "7" << "18.8" << "16.168"
                                             << QStringList{"16.168", "18.8", "16.1", "1.63", "19.0"};
}

void TestVented::windowRow()
{
    const QString fbText = fetch<QString>("fbText");
    MessageCatcher catcher;
    auto w = calculated("30", fetch<QString>("qts"), "3", catcher, {{"TxtQloss", fetch<QString>("qloss")}});
    QCOMPARE(catcher.texts(), QStringList());
    QCOMPARE(w->TxtVFb->text(), fbText);
    QCOMPARE(w->TxtVBV->text(), fetch<QString>("vbText"));
    QCOMPARE(ventedRow(w.get()), fetch<QStringList>("row"));
    QCOMPARE(w->LblSealedUnit->text(), QStringLiteral("Cu Ft"));
    QCOMPARE(w->LblVentedUnit->text(), QStringLiteral("Cu Ft"));
    // The model ran on the rounded tuning.
    QCOMPARE(w->Fb, fbText.toDouble());
    // The curve for the graph is stored from 10 Hz on.
    QCOMPARE(w->VentedResponse[9], 0.0);
    QVERIFY(w->VentedResponse[10] < -20);
    QVERIFY(qAbs(w->VentedResponse[500]) < 0.1);
}

void TestVented::userValuesAreKept()
{
    // Fb 30 Hz and 2 cu ft typed: F3 35.220 Hz, peak 0.2091 dB at 83 Hz; the fields stay as typed.
    MessageCatcher catcher;
    auto w = calculated("30", "0.4", "3", catcher, {{"TxtVFb", "30"}, {"TxtVBV", "2"}});
    QCOMPARE(w->TxtVFb->text(), QStringLiteral("30"));
    QCOMPARE(w->TxtVBV->text(), QStringLiteral("2"));
    QCOMPARE(ventedRow(w.get()), (QStringList{"2.000", "30.0", "35.2", "0.21", "83.0"}));

    // A second run after the fit keeps the fitted values as the user's.
    w->TxtVFb->clear();
    w->CmdCalculate->click();
    QCOMPARE(w->TxtVFb->text(), QStringLiteral("30.4"));
    w->CmdCalculate->click();
    QCOMPARE(w->TxtVFb->text(), QStringLiteral("30.4"));
    QCOMPARE(w->TxtVBV->text(), QStringLiteral("2.6995"));
    // A volume text of 0 means "fit" too, whatever the tuning says.
    w->TxtVFb->setText("25");
    w->TxtVBV->setText("0");
    w->CmdCalculate->click();
    QCOMPARE(w->TxtVFb->text(), QStringLiteral("30.4"));
    QCOMPARE(w->TxtVBV->text(), QStringLiteral("2.6995"));
}

void TestVented::fitInLitresIsReadBackFromTheField()
{
    // 2.699529 cu ft / 0.0353145 = 76.44251 litres, read back as 76.4425 * 0.0353145 cu ft
    // and shown as 76.443 in the result row.
    auto w = freshWindow();
    setDriver(w.get(), "30", "0.4", "3");
    w->OptSealedVolumeBox[1]->setChecked(true);
    w->CmdCalculate->click();
    QCOMPARE(w->TxtVBV->text(), QStringLiteral("76.4425"));
    QCOMPARE(w->VbVented, 76.4425 * 0.0353145);
    QCOMPARE(w->LblVBVolume->text(), QStringLiteral("76.443"));
    QCOMPARE(w->LblVentedUnit->text(), QStringLiteral("liter"));
    QCOMPARE(w->LblSealedUnit->text(), QStringLiteral("liter"));
}

void TestVented::qlossZeroReportsAndKeepsRow()
{
    MessageCatcher catcher;
    auto w = calculated("30", "0.4", "3", catcher, {{"TxtQloss", "5"}});
    const QStringList before = ventedRow(w.get());
    QCOMPARE(w->PeakFreqVented, 86.0);
    w->TxtQloss->setText("0");
    w->CmdCalculate->click();
    settle();
    QCOMPARE(catcher.messages(), (QList<Message>{{"Error", Program::NumberErrorText}}));
    QCOMPARE(w->Qloss, 7.0);
    QCOMPARE(w->TxtQloss->text(), QStringLiteral("0"));
    QCOMPARE(ventedRow(w.get()), before);
    QCOMPARE(w->PeakdBVented, 0.0);
    QCOMPARE(w->PeakFreqVented, 0.0);
}

void TestVented::unsettledSearchFallsBackToBisection_data()
{
    for (const char *column : {"fs", "qts", "vas", "qloss", "fb", "vb", "f3"})
        QTest::addColumn<QString>(column);
    // Typed tunings and volumes whose Newton search never settles. F3 worked out separately by
    // walking |H(f)|^2 = x^8 / ((A1 x^3 - A3 x)^2 + (x^4 - A2 x^2 + 1)^2), x = f / sqrt(Fs Fb), down
    // from 100 kHz to the first frequency 3.0103 dB down and halving the bracket: 289.808 Hz,
    // 124.448 Hz and 50.714 Hz; the sweep is below -3.0103 dB at the whole hertz under each and
    // above it at the next (-3.093 / -2.991 dB at 289 / 290 Hz, -3.025 / -2.992 at 124 / 125,
    // -3.086 / -2.981 at 50 / 51).
    QTest::newRow("Fs 50 Qts 2 Ql 10, 5 Hz in 0.5 cu ft")
        << "50" << "2" << "40" << "10" << "5" << "0.5" << "289.8";
    QTest::newRow("Fs 30 Qts 0.2 Ql 7, 22.5 Hz in 1.5 cu ft")
        << "30" << "0.2" << "3" << "7" << "22.5" << "1.5" << "124.4";
    QTest::newRow("Fs 20 Qts 0.3 Ql 3, 5 Hz in 1.5 cu ft")
        << "20" << "0.3" << "3" << "3" << "5" << "1.5" << "50.7";
}

void TestVented::unsettledSearchFallsBackToBisection()
{
    const double fs = fetch<QString>("fs").toDouble(), qts = fetch<QString>("qts").toDouble();
    const double vas = fetch<QString>("vas").toDouble(), qloss = fetch<QString>("qloss").toDouble();
    const vented::Coefficients c = vented::coefficients(fs, qts, vas, fetch<QString>("fb").toDouble(),
                                                        fetch<QString>("vb").toDouble(), qloss);
    QVERIFY(!vented::searchMinus3dB(c).found);

    MessageCatcher catcher;
    auto w = calculated(fetch<QString>("fs"), fetch<QString>("qts"), fetch<QString>("vas"), catcher,
                        {{"TxtQloss", fetch<QString>("qloss")}, {"TxtVFb", fetch<QString>("fb")},
                         {"TxtVBV", fetch<QString>("vb")}});
    QCOMPARE(catcher.texts(), QStringList());
    QCOMPARE(w->LblVF3->text(), fetch<QString>("f3"));
    // The point lies where the swept curve crosses -3 dB.
    const int below = int(w->F3Vented);
    QVERIFY(w->VentedResponse[std::size_t(below)] < -3.0103);
    QVERIFY(w->VentedResponse[std::size_t(below) + 1] > -3.0103);
    QCOMPARE(w->focusWidget(), w->CmdFrequency);
}

void TestVented::zeroTuningOrVolumeIsTrapped_data()
{
    QTest::addColumn<QString>("fbText");
    QTest::addColumn<QString>("vbText");
    QTest::newRow("Fb 0.0") << "0.0" << "2";
    QTest::newRow("volume 0.0") << "30" << "0.0";
    QTest::newRow("volume 0.0000") << "30" << "0.0000";
}

void TestVented::zeroTuningOrVolumeIsTrapped()
{
    MessageCatcher catcher;
    auto w = calculated("30", "0.4", "3", catcher, {{"TxtVFb", fetch<QString>("fbText")}, {"TxtVBV", fetch<QString>("vbText")}});
    QCOMPARE(catcher.messages(), (QList<Message>{{"Error", Program::NumberErrorText}}));
    QCOMPARE(w->SSTab->currentIndex(), int(FrmKelvane::TabInput));
    QCOMPARE(nonFiniteShown(w.get()), QString());
}

QTEST_MAIN(TestVented)
#include "tst_vented.moc"
