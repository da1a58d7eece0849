// SPDX-License-Identifier: GPL-3.0-or-later
// Faults found by the random run of the window (tst_monkey) and by the sanitizer build, each kept as
// a table row or test named after what it protects.

#include "TestSupport.h"
#include "graphs/GraphPicture.h"

#include <QPushButton>

#include <cmath>

using namespace testsupport;

namespace {

const QString Graphs = QStringLiteral("CmdFrequency; CmdDisplacement; CmdSave; CmdSaveDisplacement; CmdPrintDisplacement; CmdPrintFreq");

QString results(const char *state)
{
    return QString(Graphs).replace(QLatin1String(";"), QLatin1String("=") + QLatin1String(state) + u';') + u'=' + QLatin1String(state);
}

// A driver whose displacement graph draws: Fs 30 Hz, Vas 3 cu ft, Qts 0.4, Qes 0.5, 100 W, Vd 0.1 l.
const QString Drawn = QStringLiteral("OptVas(0); TxtFs=30; TxtVas=3; TxtQts=0.4; TxtQes=0.5; TxtPower=100; TxtVd=0.1; "
                                     "CmdCalculate; CmdDisplacement");

} // namespace

class TestHardening : public QObject
{
    Q_OBJECT

private slots:
    void stepsAndResults_data()
    {
        addStepColumns();
        const auto row = [](const char *name, const QString &steps, const char *messages, const QString &shows) {
            QTest::newRow(name) << steps << messages << shows;
        };
        // A second driver whose calculation breaks after the sealed model has run: the vented row (and
        // its response curve) would still be the first driver's, so no graph is offered. The sealed row
        // belongs to the second driver already (Fc = 0.707 * 45 / 0.35 = 90.9).
        const QString second = "TxtFs=30; TxtVas=3; TxtQts=0.4; CmdCalculate; TxtFs=45; TxtVas=2; TxtQts=0.35; TxtVFb=40; TxtVBV=1.5; ";
        const QString broken = "tab=0; LblCFb(0)=90.9; " + results("off");
        row("loss Q not a number", second + "TxtQloss=7a; CmdCalculate", "number", broken);
        row("typed tuning of 0.0 Hz", second + "TxtVFb=0.0; CmdCalculate", "number", broken);
        row("typed vented volume of 0.0", second + "TxtVBV=0.0; CmdCalculate", "number", broken);
        // A typed vented volume of 1E+306 cu ft is a number, but its cubic inches are not: the vent
        // diameter is refused instead of keeping an infinite volume.
        row("vent for an overflowing box volume", Driver30 + "CmdCalculate; TxtVBV<1" + QString(306, u'0') + "; TxtVentDia<4",
            "number", "TxtVentDia=");
        // 1e300 cubic inches at 1e300 % overflows the build volume: a message, not a crash.
        row("absurd added volume", "tab=2; TxtPercentOverVolume<1" + QString(300, u'0') + "; TxtAddVolume<1" + QString(300, u'0'),
            "number", "");
        // A new power (1000 W) gives a new thermal limit before a Vd of 1E+200 litres overflows the
        // acoustic power: the readout would read the new limit over the old curves, so it is blanked.
        row("failed displacement graph leaves no stale picture", Drawn + "; TxtPower=1000; TxtVd=1" + QString(200, u'0')
            + "; CmdDisplacement", "number", "");
    }
    void stepsAndResults()
    {
        auto w = freshWindow();
        checkRow(w.get());
        QCOMPARE(nonFiniteShown(w.get()), QString());
        QVERIFY(std::isfinite(w->State.VbVentedCuIn));
        if (QTest::currentDataTag() == QLatin1String("failed displacement graph leaves no stale picture"))
            QVERIFY(w->Displacement->PicDisplacementLimit->texts().isEmpty());
    }

    // A text that fails before any model runs changes no result: the complete results of the last
    // calculation stay on offer, and so do the values they were calculated from - Vas in cubic feet
    // (100 litres = 3.53145 cubic feet), not the number as typed.
    void failureBeforeTheChainKeepsCompleteResults()
    {
        for (const QString &pasted : {QStringLiteral("TxtQes=0.5x"), QStringLiteral("TxtQtc=0.8.1"), "TxtQtc=" + QString(400, u'9')}) {
            auto w = freshWindow();
            MessageCatcher catcher;
            act(w.get(), "TxtName=First; OptVas(1); TxtFs=30; TxtVas=100; TxtQts=0.4; CmdCalculate; TxtName=Second; " + pasted + "; CmdCalculate");
            settle();
            QCOMPARE(catcher.shown(), QStringLiteral("number"));
            QCOMPARE(shown(w.get(), Graphs), results("on"));
            QVERIFY(w->State.Vas == 100 * 0.0353145 && w->State.Fs == 30 && w->State.Qts == 0.4 && w->State.DriverName == QLatin1String("First"));
        }
    }

    // A failed model (an empty sealed volume, a Qloss of 0) is reported and clears its peak (the
    // frequency graph would note it), though the rows shown stay; the loss Q falls back.
    void failedModelClearsItsPeak()
    {
        auto w = freshWindow();
        MessageCatcher catcher;
        act(w.get(), Driver50 + "TxtQtc=1.0; CmdCalculate");
        QVERIFY(w->State.PeakdBSealed > 1);
        act(w.get(), "OptVolBox; TxtCBV=; CmdCalculate");
        QVERIFY(w->State.PeakdBSealed == 0 && w->State.PeakFreqSealed == 0);
        QCOMPARE(shown(w.get(), "LblCPeak(0); LblVF3(5)"), QStringLiteral("LblCPeak(0)=1.25; LblVF3(5)=63.4"));
        w = freshWindow();
        act(w.get(), Driver30 + "TxtQloss=5; CmdCalculate");
        QCOMPARE(w->State.PeakFreqVented, 86.0);
        act(w.get(), "TxtQloss=0; CmdCalculate");
        QVERIFY(w->State.PeakdBVented == 0 && w->State.PeakFreqVented == 0 && w->State.Qloss == 7.0);
        QCOMPARE(shown(w.get(), "TxtQloss; LblVPeak(5)"), QStringLiteral("TxtQloss=0; LblVPeak(5)=0.28"));
        QCOMPARE(catcher.shown(), QStringLiteral("number | number"));
    }

    // Qes 0.4 and Qms 2.4 give Qts = 0.342857..., shown as "0.343": the text the field already holds,
    // so the results calculated from 0.343 stay on offer and Qts must stay 0.343 with them.
    void calculateQtsToTheShownValueKeepsResultsTrue()
    {
        auto w = freshWindow();
        MessageCatcher catcher;
        act(w.get(), "TxtFs=30; TxtVas=3; TxtQts=0.343; CmdCalculate; TxtQes=0.4; TxtQms=2.4; CmdCalculateQts");
        settle();
        QCOMPARE(shown(w.get(), "TxtQts; " + Graphs), "TxtQts=0.343; " + results("on"));
        QCOMPARE(w->State.Qts, 0.343);
        // A different shown value invalidates the results as before and keeps the full total.
        act(w.get(), "TxtQms=4; CmdCalculateQts");
        QCOMPARE(shown(w.get(), "TxtQts; " + Graphs), "TxtQts=0.364; " + results("off"));
        QCOMPARE(w->State.Qts, 0.4 * 4 / 4.4);
        QCOMPARE(catcher.shown(), QString());
    }

    // Enter on the unchanged Vas field, or a box volume typed in the selected unit, keeps the results
    // on offer; the graphs and the Box and Vent tab read the volumes again, so they must stay in
    // cubic feet, not the typed number: 100 l = 100 * 0.0353145 cu ft, 100 m^3 = 100 * 35.3145.
    void volumesStayInCubicFeet()
    {
        const double perUnit[] = {1.0, 0.0353145, 35.3145};
        for (int unit : {1, 2, 0}) {
            auto w = freshWindow();
            MessageCatcher catcher;
            act(w.get(), QStringLiteral("OptVas(%1); TxtFs=30; TxtVas=100; TxtQts=0.4; CmdCalculate; TxtVas<").arg(unit));
            QCOMPARE(shown(w.get(), Graphs), results("on"));
            QCOMPARE(w->State.Vas, 100 * perUnit[unit]);
            // 50 litres = 1.765725 cu ft, as 0.05 cubic metres.
            for (const char *field : {"TxtVBV", "TxtCBV"}) {
                act(w.get(), QStringLiteral("OptSealedVolumeBox(%1); %2<%3; TxtAddVolume<0").arg(unit).arg(field).arg(unit == 2 ? "0.05" : "50"));
                const bool vented = QLatin1String(field) == QLatin1String("TxtVBV");
                QCOMPARE(vented ? w->State.VbVented : w->State.VbSealed, (unit == 2 ? 0.05 : 50) * perUnit[unit]);
                QCOMPARE(shown(w.get(), vented ? "LblOriginalVVol" : "LblOriginalCVol"),
                         QString(vented ? "LblOriginalVVol=" : "LblOriginalCVol=") + (unit == 0 ? "50.000 Cu. Ft." : "1.766 Cu. Ft."));
            }
            QCOMPARE(catcher.shown(), QString());
        }
    }

    // After one graph, emptying the displacement fields must be reported like on the first run, not
    // drawn silently with the Vd of that earlier run.
    void displacementWithoutVdDataIsReportedEveryTime()
    {
        for (const char *sd : {"", "200"}) {
            auto w = freshWindow();
            MessageCatcher catcher;
            act(w.get(), Drawn);
            QVERIFY(catcher.shown().isEmpty() && w->State.Vd == 0.0001);
            w->Displacement->PicDisplacementLimit->clear();
            act(w.get(), "TxtVd=; TxtDia=; TxtXmax=; TxtSd=" + QLatin1String(sd) + "; CmdDisplacement");
            settle();
            QVERIFY(catcher.shown().startsWith(QLatin1String("more")));
            QCOMPARE(catcher.shown().remove(QLatin1String("more")).remove(QLatin1String(" | ")), QString());
            QVERIFY(w->State.Vd == 0.0 && w->Displacement->PicDisplacementLimit->texts().isEmpty());
        }
    }
};

QTEST_MAIN(TestHardening)
#include "tst_hardening.moc"
