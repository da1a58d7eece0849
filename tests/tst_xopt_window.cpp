// SPDX-License-Identifier: GPL-3.0-or-later
// The crossover as built in the window: coil resistances, the series, the L-pad, the baffle step and
// its compensation, the parts' stress, Suggest Pad, the optimizer with Cancel and Undo, the design
// file and the command line.

#include "TestSupport.h"
#include "app/CrossoverDriversPanel.h"
#include "common/NumberText.h"
#include "crossover/Optimizer.h"
#include "graphs/GraphPicture.h"
#include "sheet/BuildSheet.h"

#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>

using namespace testsupport;

namespace {

// A second-order Linkwitz-Riley at 2 kHz on 8 ohms (L = 1.273 mH, C = 4.974 uF by hand: E12 1.2 mH
// and 4.7 uF), a woofer of Re 6 ohms and 100 W.
const QString Calculated = Driver30 + "TxtQes=0.45; TxtPower=100; CmdCalculateInput; tab=3; TxtRe=6; TxtL=0.5; TxtZ=8; "
                                      "Text2=8; Text3=2000; Text4=2000; OptCrossoverType(2); CmdCalculateCrossover";
const QString Values = "TxtWooferPartUsed(0); TxtWooferPartUsed(1); TxtTweeterPartUsed(0); TxtTweeterPartUsed(1); "
                       "TxtWooferPartDCR(0); TxtTweeterPartDCR(1); TxtTweeterPad";

void writeCurve(const QString &path, double value)
{
    QByteArray text;
    for (double f = 10; f <= 40000; f *= std::pow(2.0, 1.0 / 24))
        text += QByteArray::number(f, 'f', 3) + " " + QByteArray::number(value) + " 0\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
}

void choose(FrmKelvane *w, const char *series)
{
    w->Crossover->CrossoverDrivers->CboPartSeries->setCurrentText(QLatin1String(series));
}

} // namespace

class TestXoptWindow : public QObject
{
    Q_OBJECT

private slots:
    void asBuilt_data()
    {
        addStepColumns();
        const auto row = [](const char *name, const QString &steps, const char *messages, const QString &shows) {
            QTest::newRow(name) << steps << messages << shows;
        };
        // The coil's default resistance 0.46 x 1.2^0.6 = 0.513 ohm; none for a capacitor.
        row("resistances filled", Calculated, "",
            "TxtWooferPartDCR(0)=0.51; TxtWooferPartDCR(1)=; TxtTweeterPartDCR(1)=0.51; LblPadSeries=; LblBSCInductor=; "
            "LblWooferE12=E12; LblWooferPartE12(0)=1.2 mH; TxtCrossoverPower=100; TxtBafflePercent=0");
        // a = 10^(-6/20) = 0.5012: R1 = 8 x 0.4988 = 3.99, R2 = 8 x 0.5012 / 0.4988 = 8.04 ohms.
        row("6 dB pad", Calculated + "; TxtTweeterPad<6", "", "LblPadSeries=3.99 Ohms (3.9 Ohms); LblPadParallel=8.04 Ohms (8.2 Ohms)");
        // f3 = 115 / 0.25 = 460 Hz; 100 %: R = 8 (2 - 1) = 8 ohms, L = 8 sqrt(8/16) / (2 pi 460) = 1.957 mH;
        // 50 %: R = 8 (10^(3.01/20) - 1) = 3.31 ohms, L = 3.31 sqrt(8/11.31) / (2 pi 460) = 0.964 mH.
        row("full compensation", Calculated + "; TxtBaffleWidth<250; TxtBafflePercent<100", "",
            "LblBSCInductor=1.957 mH (1.8 mH); LblBSCResistor=8.00 Ohms (8.2 Ohms)");
        row("half compensation", Calculated + "; TxtBaffleWidth<250; TxtBafflePercent<50", "",
            "LblBSCInductor=0.964 mH (1 mH); LblBSCResistor=3.31 Ohms (3.3 Ohms)");
        row("width alone compensates nothing", Calculated + "; TxtBaffleWidth<250", "", "LblBSCInductor=; LblBSCResistor=");
        row("pad over 20 dB", Calculated + "; TxtTweeterPad<25", "number", "TxtTweeterPad=; LblPadSeries=");
        // 1e-20 dB leaves a = 1 in doubles: the shunt would be infinite, so there is no pad to show.
        row("pad too slight for a shunt", Calculated + "; TxtTweeterPad<0." + QString(19, u'0') + "1", "",
            "LblPadSeries=; LblPadParallel=");
        row("percent over 100", Calculated + "; TxtBafflePercent<150", "number", "TxtBafflePercent=0");
        row("power of 0", Calculated + "; TxtCrossoverPower<0", "number", "TxtCrossoverPower=100");
        // A resistance typed stays when the coil's value changes; an empty one follows it
        // (0.46 x 2.2^0.6 = 0.738 ohm).
        row("typed resistance stays", Calculated + "; TxtWooferPartDCR(0)<0.8; TxtWooferPartUsed(0)<2.2", "",
            "TxtWooferPartDCR(0)=0.8");
        row("default resistance follows", Calculated + "; TxtWooferPartUsed(0)<2.2", "", "TxtWooferPartDCR(0)=0.74");
        // Without Calculate Box the woofer cannot be modelled: no simulation, so no stress.
        row("no stress without a simulation", "tab=3; TxtRe=6; TxtZ=8; Text2=8; Text3=2000; Text4=2000; OptCrossoverType(2); "
            "CmdCalculateCrossover; TxtCrossoverPower<50", "", "TxtWooferPartDCR(0)=0.51; LblWooferPartStress(0)=; LblStressNote=");
        row("emptied resistance is the default", Calculated + "; TxtWooferPartDCR(0)<0.8; TxtWooferPartDCR(0)=; TxtWooferPartDCR(0)<", "",
            "TxtWooferPartDCR(0)=0.51");
    }
    void asBuilt()
    {
        auto w = freshWindow();
        checkRow(w.get());
    }

    // E24 takes the nearer values 1.3 mH (1.273 / 1.2 = 1.061 against 1.3 / 1.273 = 1.021) and
    // 5.1 uF (4.974 / 4.7 = 1.058 against 5.1 / 4.974 = 1.025) for both the nearest and used values;
    // E12 puts the captions back as Calculate Crossover wrote them.
    void series()
    {
        auto w = freshWindow();
        act(w.get(), Calculated);
        const QString names = "LblWooferE12; LblWooferPartE12(0); LblWooferPartE12(1); TxtWooferPartUsed(0); TxtWooferPartUsed(1); "
                              "TxtWooferPartDCR(0); LblZobelRE12; LblZobelCE12";
        const QString e12 = shown(w.get(), names);
        choose(w.get(), "E24");
        // 0.46 x 1.3^0.6 = 0.537 ohm.
        QCOMPARE(shown(w.get(), "LblWooferE12; LblWooferPartE12(0); LblWooferPartE12(1); TxtWooferPartUsed(0); TxtWooferPartUsed(1); "
                                "TxtWooferPartDCR(0)"),
                 QStringLiteral("LblWooferE12=E24; LblWooferPartE12(0)=1.3 mH; LblWooferPartE12(1)=5.1 µF; TxtWooferPartUsed(0)=1.3; "
                                "TxtWooferPartUsed(1)=5.1; TxtWooferPartDCR(0)=0.54"));
        // The Zobel on Re 6 ohms and Le 0.5 mH: R = 1.25 Re = 7.5 ohms, C = Le / R^2 = 8.89 uF, whose
        // E24 values are 7.5 ohms and 9.1 uF (E12: 8.2 and 8.2).
        QCOMPARE(shown(w.get(), "LblZobelRE12; LblZobelCE12"), QStringLiteral("LblZobelRE12=7.5 Ohms; LblZobelCE12=9.1 µF"));
        choose(w.get(), "E12");
        QCOMPARE(shown(w.get(), names), e12);
    }

    // With a flat 8-ohm woofer and no Zobel the coil's resistance R forms a divider with the load:
    // at 20 Hz (coil 0.15 ohm of reactance) 2 ohms lower the woofer by 20 log10(10 / 8) = 1.94 dB
    // against 0 ohm.
    void resistanceLowersLevel()
    {
        InTempFolder here;
        writeCurve(QStringLiteral("w.frd"), 90);
        writeCurve(QStringLiteral("w.zma"), 8);
        auto w = freshWindow();
        act(w.get(), Driver30 + "TxtQes=0.45; CmdCalculateInput; tab=3; TxtRe=6; TxtZ=8; Text2=8; Text3=2000; Text4=2000; "
                                "OptCrossoverType(2); CmdCalculateCrossover");
        QVERIFY(w->Crossover->CrossoverDrivers->loadFile(CrossoverDriversPanel::WooferResponse, QStringLiteral("w.frd")));
        QVERIFY(w->Crossover->CrossoverDrivers->loadFile(CrossoverDriversPanel::WooferImpedance, QStringLiteral("w.zma")));
        QCOMPARE(w->Crossover->LblZobelR->text(), QStringLiteral("not used"));
        act(w.get(), "TxtWooferPartDCR(0)<0");
        const double zero = w->Crossover->CrossoverDrivers->simulation()->woofer.db.front();
        act(w.get(), "TxtWooferPartDCR(0)<2");
        const double two = w->Crossover->CrossoverDrivers->simulation()->woofer.db.front();
        QCOMPARE(w->Crossover->CrossoverDrivers->simulation()->grid.hz.front(), 20.0);
        QVERIFY2(std::abs(zero - two - 1.938) < 0.01, qPrintable(QString::number(zero - two)));
    }

    // The stresses at the driver's 100 W: a current for a coil, a voltage for a capacitor, both
    // watts for the Zobel's resistor and its capacitor's volts. A 3 dB pad into 8 ohms (R1 2.2, R2
    // 18 ohms as built) takes the whole 28.3 V at the top: 28.3 / (2.2 + 8 || 18) = 3.66 A, so R1
    // must take some 29 W and the note names it.
    void stress()
    {
        auto w = freshWindow();
        act(w.get(), Calculated + "; TxtTweeterPad<3");
        const CrossoverDriversPanel *p = w->Crossover->CrossoverDrivers;
        QVERIFY2(p->LblWooferPartStress[0]->text().endsWith(QStringLiteral(" A")), qPrintable(p->LblWooferPartStress[0]->text()));
        QVERIFY(p->LblWooferPartStress[1]->text().endsWith(QStringLiteral(" V")));
        QVERIFY(p->LblTweeterPartStress[0]->text().endsWith(QStringLiteral(" V")));
        QVERIFY(p->LblPadStress->text().contains(QStringLiteral(" W, ")));
        QVERIFY(p->LblZobelStress->text().contains(QStringLiteral(" W, ")) && p->LblZobelStress->text().endsWith(QStringLiteral(" V")));
        QVERIFY2(p->LblStressNote->text().startsWith(QStringLiteral("Stress at 100 W: a sine swept from 20 Hz to 20 kHz, worst case")),
                 qPrintable(p->LblStressNote->text()));
        QVERIFY2(p->LblStressNote->text().contains(QStringLiteral("The pad's R1 needs more than 10 W (2")), qPrintable(p->LblStressNote->text()));
        act(w.get(), "TxtCrossoverPower<1");
        QVERIFY(!p->LblStressNote->text().contains(QStringLiteral("needs more")));
    }

    // The nominal tweeter at 100 dB is about 10 dB over the modelled woofer's 90.3 dB (less its
    // voice coil's fall near 2 kHz): the pad comes out between 9 and 13 dB. At 80 dB it is quieter.
    void suggestPad()
    {
        auto w = freshWindow();
        act(w.get(), Calculated + "; TxtTweeterSPL<100; CmdSuggestPad");
        const double pad = kelvane::parseNumber(w->Crossover->CrossoverDrivers->TxtTweeterPad->text()).value_or(-1);
        QVERIFY2(pad > 9 && pad < 13, qPrintable(w->Crossover->CrossoverDrivers->TxtTweeterPad->text()));
        QVERIFY(!w->Crossover->CrossoverDrivers->LblPadSeries->text().isEmpty());
        act(w.get(), "TxtTweeterSPL<80; CmdSuggestPad");
        QCOMPARE(w->Crossover->CrossoverDrivers->TxtTweeterPad->text(), QStringLiteral("0.0"));
        QVERIFY(w->Crossover->CrossoverDrivers->LblStressNote->text().contains(QStringLiteral("quieter")));
    }

    // Cancel leaves the values as they were; a finished run can be undone once, and not after an
    // edit; the inputs are locked while it runs.
    void optimizeCancelUndo()
    {
        auto w = freshWindow();
        act(w.get(), Calculated + "; TxtTweeterSPL<94");
        CrossoverDriversPanel *p = w->Crossover->CrossoverDrivers;
        QVERIFY(!p->PrgOptimize->isVisibleTo(w.get()));
        const QString before = shown(w.get(), Values);
        QVERIFY(p->startOptimize());
        QVERIFY(!p->TxtWooferPartUsed[0]->isEnabled() && !w->Crossover->CmdCalculateCrossover->isEnabled());
        QVERIFY(p->CmdCancelOptimize->isEnabled() && p->PrgOptimize->isVisibleTo(w.get()));
        p->CmdCancelOptimize->click();
        QTRY_VERIFY_WITH_TIMEOUT(!p->optimizing(), 60000);
        QCOMPARE(shown(w.get(), Values), before);
        QVERIFY(p->TxtWooferPartUsed[0]->isEnabled() && w->Crossover->CmdCalculateCrossover->isEnabled());
        QVERIFY(!p->PrgOptimize->isVisibleTo(w.get()) && !p->CmdCancelOptimize->isVisibleTo(w.get()));
        QVERIFY(!p->CmdUndoOptimize->isEnabled());

        QVERIFY(p->startOptimize());
        QTRY_VERIFY_WITH_TIMEOUT(!p->optimizing(), 120000);
        QVERIFY2(p->LblOptimizeResult->text().startsWith(QStringLiteral("Sum within ±")), qPrintable(p->LblOptimizeResult->text()));
        QVERIFY(shown(w.get(), Values) != before);
        QVERIFY(p->CmdUndoOptimize->isEnabled());
        p->CmdUndoOptimize->click();
        QCOMPARE(shown(w.get(), Values), before);
        QVERIFY(!p->CmdUndoOptimize->isEnabled());

        QVERIFY(p->startOptimize());
        QTRY_VERIFY_WITH_TIMEOUT(!p->optimizing(), 120000);
        act(w.get(), "TxtAcousticOffset<5");
        QVERIFY(!p->CmdUndoOptimize->isEnabled());
        // A new Calculate while it runs stops the run first; closing the window does too.
        QVERIFY(p->startOptimize());
        w->Crossover->CmdCalculateCrossover_Click();
        QVERIFY(!p->optimizing());
        QVERIFY(p->startOptimize());
        w.reset();
    }

    // A used value that is not a number, put in without Enter, stops the optimizer before it starts.
    void optimizeRefusesBadUsedValue()
    {
        auto w = freshWindow();
        act(w.get(), Calculated + "; TxtTweeterSPL<94");
        CrossoverDriversPanel *p = w->Crossover->CrossoverDrivers;
        p->TxtTweeterPartUsed[1]->setText(QStringLiteral("x"));
        MessageCatcher catcher;
        QVERIFY(!p->startOptimize());
        QCOMPARE(catcher.texts(), QStringList{QStringLiteral("Please enter a number > 0!")});
        QVERIFY(!p->optimizing() && p->TxtWooferPartUsed[0]->isEnabled());
    }

    // The parts as built travel in the design file.
    void designRoundTrip()
    {
        InTempFolder here;
        auto w = freshWindow();
        act(w.get(), Calculated + "; TxtTweeterPad<4.5; TxtBaffleWidth<300; TxtBafflePercent<60; TxtCrossoverPower<40");
        choose(w.get(), "E24");
        act(w.get(), "TxtWooferPartUsed(0)<1.6; TxtTweeterPartDCR(1)<0.9");
        const QString names = Values + "; TxtWooferPartDCR(0); TxtBaffleWidth; TxtBafflePercent; TxtCrossoverPower; LblWooferE12; "
                                       "LblPadSeries; LblBSCInductor; LblWooferPartStress(0)";
        const QString before = shown(w.get(), names);
        QVERIFY(w->Files->saveDesign(QStringLiteral("built.kelvane")));
        auto other = freshWindow();
        QVERIFY(other->Files->openDesign(QStringLiteral("built.kelvane")));
        QCOMPARE(shown(other.get(), names), before);
        // The typed resistance stays typed: a new value of its coil leaves it.
        act(other.get(), "TxtTweeterPartUsed(1)<2.2");
        QCOMPARE(other->Crossover->CrossoverDrivers->TxtTweeterPartDCR[1]->text(), QStringLiteral("0.9"));
    }

    // The pad and the compensation as built on the plan and the build sheet (the 6 dB pad and the
    // full compensation worked out above, at their nearest E12 values), with the coils' resistances.
    void planAndSheet()
    {
        auto w = freshWindow();
        act(w.get(), Calculated);
        const QStringList plain = w->CrossoverPlans->PicCrossoverPlan->texts();
        act(w.get(), "TxtTweeterPad<6; TxtBaffleWidth<250; TxtBafflePercent<100");
        const QStringList plan = w->CrossoverPlans->PicCrossoverPlan->texts();
        for (const char *text : {"R1  3.9 Ohms", "R2  8.2 Ohms", "L 1.8 mH", "R 8.2 Ohms"})
            QVERIFY2(plan.contains(QLatin1String(text)) && !plain.contains(QLatin1String(text)), text);
        const kelvane::sheet::Snapshot sheet = w->buildSheetSnapshot();
        QCOMPARE(sheet.padSeries, 3.9);
        QCOMPARE(sheet.padParallel, 8.2);
        QCOMPARE(sheet.stepHenries, 1.8e-3);
        QCOMPARE(sheet.stepOhms, 8.2);
        QCOMPARE(sheet.wooferDcr.size(), std::size_t(2));
        QVERIFY(std::abs(sheet.wooferDcr[0] - 0.51) < 0.005 && sheet.wooferDcr[1] == 0);
        QCOMPARE(sheet.tweeterDcr.size(), std::size_t(2));
        QVERIFY(sheet.tweeterDcr[0] == 0 && std::abs(sheet.tweeterDcr[1] - 0.51) < 0.005);
    }

    // The command line optimizes as the window does: the same values in the design it writes, the
    // same line printed; a design without a crossover is one line and exit 1.
    void commandLine()
    {
        InTempFolder here;
        auto w = freshWindow();
        act(w.get(), Calculated + "; TxtTweeterSPL<94");
        QVERIFY(w->Files->saveDesign(QStringLiteral("x.kelvane")));
        QVERIFY(w->Crossover->CrossoverDrivers->startOptimize());
        QTRY_VERIFY_WITH_TIMEOUT(!w->Crossover->CrossoverDrivers->optimizing(), 120000);
        const QString values = shown(w.get(), Values);
        auto uncalculated = freshWindow();
        act(uncalculated.get(), Driver30 + "CmdCalculateInput");
        QVERIFY(uncalculated->Files->saveDesign(QStringLiteral("none.kelvane")));

        const auto run = [](const QStringList &args) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(KELVANE_EXE), QStringList{"--optimize-crossover"} + args);
            p.waitForFinished(120000);
            return std::tuple{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
        };
        const auto [code, out, errors] = run({"x.kelvane", "out.kelvane"});
        QCOMPARE(errors, QString());
        QCOMPARE(code, 0);
        QCOMPARE(out, w->Crossover->CrossoverDrivers->LblOptimizeResult->text() + QLatin1Char('\n'));
        auto other = freshWindow();
        QVERIFY(other->Files->openDesign(QStringLiteral("out.kelvane")));
        QCOMPARE(shown(other.get(), Values), values);

        const auto [refused, nothing, message] = run({"none.kelvane", "a.kelvane"});
        QCOMPARE(refused, 1);
        QVERIFY2(message.startsWith(QStringLiteral("kelvane: ")) && message.count(QLatin1Char('\n')) == 1, qPrintable(message));
        QVERIFY(!QFile::exists(QStringLiteral("a.kelvane")));
    }
};

QTEST_MAIN(TestXoptWindow)
#include "tst_xopt_window.moc"
