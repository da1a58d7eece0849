// The sealed-box model: the closed-box alignment in the core, and the "Sealed Box:" row of the
// Box Model tab after "Calculate" in target-Qtc and box-volume mode.
// Expected figures are worked by hand from the closed-box relations
//   alpha = (Qtc/Qts)^2 - 1, Fc = Qtc Fs/Qts, Vb = Vas/alpha, F3 = Fc sqrt((u + sqrt(u^2+4))/2)
//   with u = 1/Qtc^2 - 2, peak 20 log10 sqrt(Qtc^4/(Qtc^2 - 1/4)) dB at Fc/sqrt(1 - 1/(2 Qtc^2)),
// and agree with the worked examples for the 50 Hz / Qts 0.35 / 2 cu ft driver.

#include "TestSupport.h"
#include "common/Checked.h"
#include "driver/Program.h"
#include "models/SealedModel.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace testsupport;
using namespace kelvane;

namespace {

QStringList sealedRow(FrmKelvane *w)
{
    return {w->LblCBVolume[0]->text(), w->LblCFb->text(), w->LblCF3->text(), w->LblCPeak->text(),
            w->LblCPeakFreq->text()};
}

} // namespace

class TestSealed : public QObject
{
    Q_OBJECT

private slots:
    void corePeakThreshold();
    void coreForVolumeInvertsForQtc();
    void coreQtcEqualToQtsFaults();

    void windowRow_data();
    void windowRow();
    void qtcNotAboveQtsIsReplacedAndReadAgain();
    void emptyVolumeInVolumeModeReports();
};

void TestSealed::corePeakThreshold()
{
    // Exactly 1/sqrt(2) is not above the threshold: no peak. Just above it, the peak sits far
    // above Fc and is tiny.
    const double threshold = 1.0 / std::sqrt(2.0);
    QCOMPARE(sealed::peak(100, threshold).freq, 0.0);
    QCOMPARE(sealed::peak(100, threshold).dB, 0.0);
    const sealed::Peak p = sealed::peak(100, 0.71);
    QVERIFY(p.freq > 1000);
    QVERIFY(p.dB > 0 && p.dB < 0.001);
}

void TestSealed::coreForVolumeInvertsForQtc()
{
    // 0.6493 cu ft: alpha = 3.080240, Fc = 50 sqrt(4.080240) = 100.998, Qtc = 0.706986.
    const sealed::Design d = sealed::forVolume(50, 0.35, 2, 0.6493);
    QVERIFY(qAbs(d.alpha - 3.080240) < 1e-5);
    QVERIFY(qAbs(d.fc - 100.998) < 1e-3);
    QVERIFY(qAbs(d.qtc - 0.706986) < 1e-5);
    QCOMPARE(d.peakdB, 0.0);
    // Round trip: the volume of a target Qtc gives that Qtc back.
    const sealed::Design back = sealed::forVolume(50, 0.35, 2, sealed::forQtc(50, 0.35, 2, 0.9).vb);
    QVERIFY(qAbs(back.qtc - 0.9) < 1e-12);
}

void TestSealed::coreQtcEqualToQtsFaults()
{
    // alpha = 0 makes the volume infinite.
    QVERIFY_THROWS_EXCEPTION(CalcFault, sealed::forQtc(50, 0.5, 2, 0.5));
    QVERIFY_THROWS_EXCEPTION(CalcFault, sealed::forVolume(50, 0.35, 2, 0.0));
}

void TestSealed::windowRow_data()
{
    QTest::addColumn<bool>("volumeMode");
    QTest::addColumn<int>("unit");
    for (const char *column : {"typed", "qtcAfter", "cbvAfter"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<QStringList>("row");

    // Qtc 0.707: (0.707/0.35)^2 - 1 = 3.0804; 2/3.0804 = 0.64927; 0.707*50/0.35 = 101.0;
    // u = 1/0.499849 - 2 = 0.000604 so F3 = Fc * 1.000151; 0.707 lies just below 1/sqrt(2), no peak.
    // Qtc 1.0: (1/0.35)^2 - 1 = 7.16327; 2/7.16327 = 0.279202; Fc = 142.857; u = -1 so
    // F3 = Fc sqrt((sqrt 5 - 1)/2) = 112.307; peak 10 log10(4/3) = 1.2494 dB at Fc sqrt 2 = 202.03.
    QTest::newRow("target Qtc 0.707")
        << false << 0 << ".707" << "0.707" << "0.6493"
        << QStringList{"0.649", "101.0", "101.0", "0.00", "0.0"};
    QTest::newRow("target Qtc 1.0")
        << false << 0 << "1.0" << "1.000" << "0.2792"
        << QStringList{"0.279", "142.9", "112.3", "1.25", "202.0"};
    // 0.279202 cu ft / 0.0353145 = 7.9063 litres; / 35.3145 = 0.0079 cubic metres.
    QTest::newRow("target Qtc 1.0 in litres")
        << false << 1 << "1.0" << "1.000" << "7.9062"
        << QStringList{"7.906", "142.9", "112.3", "1.25", "202.0"};
    QTest::newRow("target Qtc 1.0 in cubic metres")
        << false << 2 << "1.0" << "1.000" << "0.0079"
        << QStringList{"0.0079", "142.9", "112.3", "1.25", "202.0"};
    // Volume mode gives back Qtc 0.707 (0.706986) and keeps the typed text.
    QTest::newRow("volume 0.6493 cu ft")
        << true << 0 << "0.6493" << "0.707" << "0.6493"
        << QStringList{"0.649", "101.0", "101.0", "0.00", "0.0"};
    // 18.386 litres = 0.649292 cu ft: the same box.
    QTest::newRow("volume 18.386 litres")
        << true << 1 << "18.386" << "0.707" << "18.386"
        << QStringList{"18.386", "101.0", "101.0", "0.00", "0.0"};
}

void TestSealed::windowRow()
{
    auto w = freshWindow();
    setDriver(w.get(), "50", "0.35", "2");
    w->OptSealedVolumeBox[fetch<int>("unit")]->setChecked(true);
    w->OptVolBox->setChecked(fetch<bool>("volumeMode"));
    (fetch<bool>("volumeMode") ? w->TxtCBV : w->TxtQtc)->setText(fetch<QString>("typed"));
    MessageCatcher catcher;
    w->CmdCalculate->click();
    settle();
    QCOMPARE(catcher.texts(), QStringList());
    QCOMPARE(w->TxtQtc->text(), fetch<QString>("qtcAfter"));
    QCOMPARE(w->TxtCBV->text(), fetch<QString>("cbvAfter"));
    QCOMPARE(sealedRow(w.get()), fetch<QStringList>("row"));
}

void TestSealed::qtcNotAboveQtsIsReplacedAndReadAgain()
{
    // Qts 0.8 with the default 0.707: the field becomes 0.9 and the model runs on it:
    // alpha = (0.9/0.8)^2 - 1 = 0.265625, Vb = 2/0.265625 = 7.5294, Fc = 56.25, and 0.9 > 0.7071
    // gives a peak of 10 log10(0.6561/0.56) = 0.688 dB.
    auto w = freshWindow();
    setDriver(w.get(), "50", "0.8", "2");
    MessageCatcher catcher;
    w->CmdCalculate->click();
    settle();
    QCOMPARE(catcher.texts(), QStringList());
    QCOMPARE(w->TxtQtc->text(), QStringLiteral("0.900"));
    QCOMPARE(w->Qtc, 0.9);
    QCOMPARE(w->TxtCBV->text(), QStringLiteral("7.5294"));
    QCOMPARE(w->LblCFb->text(), QStringLiteral("56.3"));
    QCOMPARE(w->LblCPeak->text(), QStringLiteral("0.69"));
}

void TestSealed::emptyVolumeInVolumeModeReports()
{
    auto w = freshWindow();
    setDriver(w.get(), "50", "0.35", "2");
    w->CmdCalculate->click(); // a first run fills the row and the peak values
    w->TxtQtc->setText("1.0");
    w->CmdCalculate->click();
    QVERIFY(w->PeakdBSealed > 1);
    const QStringList before = sealedRow(w.get());

    w->OptVolBox->setChecked(true);
    w->TxtCBV->clear();
    MessageCatcher catcher;
    w->CmdCalculate->click();
    settle();
    QCOMPARE(catcher.messages(), (QList<Message>{{"Error", Program::NumberErrorText}}));
    // The row stays as it was; only the peak values are cleared. The chain goes on.
    QCOMPARE(sealedRow(w.get()), before);
    QCOMPARE(w->PeakdBSealed, 0.0);
    QCOMPARE(w->PeakFreqSealed, 0.0);
    QVERIFY(!w->LblVF3->text().isEmpty());
}

QTEST_MAIN(TestSealed)
#include "tst_sealed.moc"
