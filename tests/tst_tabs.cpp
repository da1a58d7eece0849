// SPDX-License-Identifier: GPL-3.0-or-later
// The "Box and Vent" and "Crossover" tabs through the real window: build volumes, inside dimensions,
// vent lengths and air speeds as the tab shows them, its three Enter-driven fields; the crossover's
// parts, notes and messages. Vent lengths Lv = 1.463e7 R^2 / Fb^2 / Vb - 1.463 R (inches), air speeds
// v = 2 pi Fb Vd / Sv = 8 Fb Vd / D^2 (D in metres), worked by hand.

#include "TestSupport.h"
#include "app/BoxVentReport.h"
#include "boxvent/ReportLines.h"
#include "graphs/GraphPicture.h"

#include <QPushButton>

using namespace testsupport;

namespace {

// Runs the steps of `script`; "models=Vbsealed Vbvented Fb" sets both models' results as the
// calculation leaves them (cubic feet, Hz) and, with a tuning, works out the tab as it does
// ("models=... only" leaves the tab as it was).
void run(FrmKelvane *w, const QString &script)
{
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxVent);
    for (const QString &step : script.split(QLatin1String("; "), Qt::SkipEmptyParts)) {
        if (!step.startsWith(QLatin1String("models="))) {
            act(w, step);
            continue;
        }
        const QStringList v = step.mid(7).split(u' ');
        w->State.VbSealed = v[0].toDouble();
        w->State.VbVented = v[1].toDouble();
        w->State.Fb = v[2].toDouble();
        if (w->State.Fb > 0 && v.size() == 3) {
            w->BoxVent->VentLengths();
            w->BoxVent->BoxDimensions();
        }
    }
}

QString cells(const char *name, int count, const QString &values)
{
    QStringList out;
    const QStringList v = values.split(u',');
    for (int k = 0; k < count; ++k)
        out << QStringLiteral("%1(%2)=%3").arg(QLatin1String(name)).arg(k).arg(v.value(k));
    return out.join(QLatin1String("; "));
}

} // namespace

class TestTabs : public QObject
{
    Q_OBJECT

private slots:
    void boxAndVent_data()
    {
        addStepColumns();
        const auto row = [](const char *name, const QString &steps, const char *messages, const QString &shows) {
            QTest::newRow(name) << steps << messages << shows;
        };
        // A build volume equal to the ratio's product has a depth of exactly one foot; the vented box
        // is given 8 times that volume, which doubles every side.
        row("ratio A", "models=4.16 33.28 40", "",
            "LblCHeight(0)=31.20''; LblCWidth(0)=19.20''; LblCDepth(0)=12.00''; LblVHeight(0)=62.40''; LblVWidth(0)=38.40''; LblVDepth(0)=24.00''");
        row("ratio C", "models=2.0034 16.0272 40", "",
            "LblCHeight(2)=19.08''; LblCWidth(2)=15.12''; LblCDepth(2)=12.00''; LblVHeight(2)=38.16''; LblVWidth(2)=30.24''; LblVDepth(2)=24.00''");
        // Corrections on net volumes of 1.5 and 3.2 cubic feet; 3.2 x 1.3 = 4.16: ratio A one foot deep.
        const QString nets = "models=1.5 3.2 40; ";
        row("AddVolume 1728: one cubic foot more", nets + "TxtAddVolume<1728", "",
            "TxtAddVolume=1728; LblCVol(0)=2.500 Cu. Ft.; LblVVol(2)=4.200 Cu. Ft.; LblOriginalCVol=1.500 Cu. Ft.");
        row("AddVolume 0 empties the field", nets + "TxtAddVolume<0", "",
            "TxtAddVolume=; LblCVol(0)=1.500 Cu. Ft.; LblVVol(2)=3.200 Cu. Ft.");
        row("80 % without added volume", nets + "TxtPercentOverVolume<80", "",
            "TxtPercentOverVolume=80; LblCVol(0)=1.200 Cu. Ft.; LblVVol(2)=2.560 Cu. Ft.");
        row("130 %", nets + "TxtPercentOverVolume<130", "",
            "LblCVol(0)=1.950 Cu. Ft.; LblVVol(2)=4.160 Cu. Ft.; LblVHeight(0)=31.20''; LblOriginalCVol=1.500 Cu. Ft.");
        // An over-volume of 0 puts back 100 and recalculates nothing (the sealed volume changed
        // underneath would show).
        row("over-volume 0 recalculates nothing", "models=2.5 3.2 40; TxtPercentOverVolume<80; models=5 3.2 0; TxtPercentOverVolume<0",
            "", "TxtPercentOverVolume=100; LblCVol(0)=2.000 Cu. Ft.");
        // 1 cu ft at 40 Hz, 1.463e7 / 1600 / 1728 = 5.29152 per square inch of radius: 1 in 0.5914,
        // 2 in 3.8285, 3 in 9.7114, 4 in 18.2401, 6 in 43.2347, 8 in 78.8124.
        row("vent lengths", "TxtVentDia=2; models=1 1 40", "",
            "LblOriginalFb=40.0 Hz; " + cells("LblVentLength", 7, "0.59'',3.83'',9.71'',18.24'',43.23'',78.81'',3.83''"));
        // The user's diameter: only its own row changes; letters are filtered out.
        const QString custom = "models=1 1 40 only; TxtVentDia<4; ";
        row("custom 2 in", custom + "TxtVentDia=; TxtVentDia<2", "", "TxtVentDia=2.00; LblVentLength(6)=3.83''; LblVentLength(1)=");
        row("custom 8 in, with a letter", custom + "TxtVentDia=; TxtVentDia<8x", "", "TxtVentDia=8.00; LblVentLength(6)=78.81''");
        row("custom zero empties", custom + "TxtVentDia=; TxtVentDia<0", "", "TxtVentDia=; LblVentLength(6)=");
        row("custom two points", custom + "TxtVentDia=; TxtVentDia<1.2.3", "number", "TxtVentDia=; LblVentLength(6)=");
        row("custom empty", custom + "TxtVentDia=; TxtVentDia<", "number", "TxtVentDia=; LblVentLength(6)=");
        row("custom emptied is dropped by the next calculation", "models=1 1 40; TxtVentDia<3; TxtVentDia=; models=1 1 40", "",
            "LblVentLength(6)=");
        row("custom before the vented model", "models=0 0 0; TxtVentDia<3", "", "TxtVentDia=3; LblVentLength(6)=");
        // Fs 30, Qts 0.4, Vas 3 cu ft. Sealed at Qtc 0.707: 3 / ((0.707 / 0.4)^2 - 1) = 1.41239 cu ft,
        // ratio B depth (1.41239 / 2.88)^(1/3) x 12 = 9.463 in. Vented (Qloss 7) 2.6995 cu ft at 30.4 Hz:
        // 4 in vent 1.463e7 x 4 / 30.4^2 / (2.6995 x 1728) - 2.926 = 10.649 in.
        row("after a calculation", Driver30 + "CmdCalculate", "",
            "LblOriginalFb=30.4 Hz; LblOriginalCVol=1.412 Cu. Ft.; LblOriginalVVol=2.700 Cu. Ft.; LblCDepth(1)=9.46''; "
            "LblVentLength(3)=10.65''; LblVentLength(6)=");
        row("no vented box yet", "", "", "LblMinVentDia=");
        // Typed Vd 0.1 l, 1 cu ft at 40 Hz (as in ventSpeeds): Enter in the custom diameter sizes its
        // row; the result unit rewrites the narrowest vent (1.708 in = 4.339 cm).
        const QString speeds = "TxtVd=0.1; models=1 1 40; ";
        row("custom vent speed", speeds + "TxtVentDia<1", "", "LblVentSpeed(6)=49.6 m/s; LblVentWarning(6)=too fast");
        row("custom vent speed gone", speeds + "TxtVentDia<1; TxtVentDia<0", "", "LblVentSpeed(6)=; LblVentWarning(6)=");
        row("narrowest vent follows the unit", speeds + "OptSealedVolumeBox(1)", "",
            "LblMinVentDia=Smallest vent diameter for 17 m/s: 4.34 cm");
        row("narrowest vent back in inches", speeds + "OptSealedVolumeBox(1); OptSealedVolumeBox(0)", "",
            "LblMinVentDia=Smallest vent diameter for 17 m/s: 1.71 in");
    }
    void boxAndVent()
    {
        auto w = freshWindow();
        MessageCatcher catcher;
        run(w.get(), fetch<QString>("steps"));
        settle();
        QCOMPARE(catcher.shown(), fetch<QString>("messages"));
        QCOMPARE(shown(w.get(), fetch<QString>("shows")), fetch<QString>("shows"));
    }

    // The printed report reads what the tab shows; its layout follows the result unit (any metric unit
    // prints the metric layout; the layouts themselves are checked in tst_boxventreport). Sealed 40 l =
    // 1.41258 cu ft; a 2 in vent on 1 cu ft at 40 Hz is 3.8285 in; with 1728 cu in added the sealed build
    // is 3.88 cu ft, ratio B depth (3.88 / 2.88)^(1/3) x 12 = 13.2534 in, height 26.5068, width 19.0849.
    void reportOfTheTab()
    {
        const auto report = [](FrmKelvane *w) { return kelvane::boxvent::reportLines(kelvane::boxvent::reportInputOf(*w->BoxVent)); };
        for (int unit : {0, 1, 2}) {
            auto w = freshWindow();
            run(w.get(), QStringLiteral("models=%1 1 40; OptSealedVolumeBox(%2)").arg(40 * 0.0353145, 0, 'g', 17).arg(unit));
            const QStringList lines = report(w.get());
            QCOMPARE(lines.size(), 34);
            QCOMPARE(lines.at(4), unit == 0 ? "Sealed Box  1.413 Cu. Ft." + QString(27, u' ') + "(Inside Dimensions)"
                                            : "Sealed Box  40.0  l" + QString(26, u' ') + "(Inside Dimensions)");
        }
        auto w = freshWindow();
        MessageCatcher catcher;
        run(w.get(), "OptSealedVolumeBox(0); models=2.88 1 40; TxtAddVolume<1728; TxtVentDia<2");
        const QStringList lines = report(w.get());
        QCOMPARE(lines.at(0), QStringLiteral("Additional volume due to bracing, speaker, vent, etc... :   1728  Cu. in."));
        QCOMPARE(lines.at(9), "2.00 : 1.44 : 1         3.880 Cu. Ft." + QString(11, u' ') + "26.51''" + QString(13, u' ') + "19.08''"
                                  + QString(12, u' ') + "13.25''");
        QCOMPARE(lines.at(23), QStringLiteral("Vent Frequency:  40.0 Hz"));
        QCOMPARE(lines.at(34), " 2.00''" + QString(22, u' ') + "3.83''" + QString(24, u' ') + "User Chosen Vent Diameter");
        QCOMPARE(catcher.shown(), QString());
    }

    // Air speeds with the Input tab's Vd rules (Vd = Sd Xmax; Sd from 85 % of the diameter with pi as
    // 3.1415926; Xmax = (coil height - gap) / 2), and the narrowest vent d = sqrt(8 Fb Vd / 17).
    void ventSpeeds_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("speeds");
        QTest::addColumn<QString>("warnings"); // rows marked "too fast"
        QTest::addColumn<QString>("smallest");
        // Vd 0.1 l = 1e-4 m^3 at 40 Hz: 0.032 / D^2; 1 in (6.4516e-4 m^2) 49.600, 2 in 12.400, 3 in
        // 5.511, 4 in 3.100, 6 in 1.378, 8 in 0.775; d = sqrt(0.032 / 17) = 0.043386 m = 1.708 in.
        const QString typed = "49.6,12.4,5.5,3.1,1.4,0.8,5.5";
        QTest::newRow("Vd typed, inches") << "TxtVd=0.1; TxtVentDia=3; models=1 1 40" << typed << "0" << "1.71 in";
        // Sd 500 cm^2 x Xmax 6 mm = 3e-4 m^3 at 30 Hz: 0.072 / D^2; 111.600, 27.900, 12.400, 6.975,
        // 3.100, 1.744; d = sqrt(0.072 / 17) = 0.065079 m = 2.562 in.
        const QString sdSpeeds = "111.6,27.9,12.4,7.0,3.1,1.7,";
        QTest::newRow("Sd and Xmax, inches") << "TxtSd=500; TxtXmax=6; models=1 2 30" << sdSpeeds << "01" << "2.56 in";
        QTest::newRow("Sd and Xmax, cubic metres") << "OptSealedVolumeBox(2); TxtSd=500; TxtXmax=6; models=1 2 30" << sdSpeeds << "01" << "6.51 cm";
        // 10 in: 215.9 mm effective, Sd 36609.61 mm^2; coil 12 - 6 gives Xmax 3 mm, Vd 1.098288e-4 m^3,
        // which the Vd field shows as 0.110 l = 1.1e-4 m^3; at 35 Hz 0.0308 / D^2: 47.740, 11.935,
        // 5.304, 2.984, 1.326, 0.746, 2.5 in 7.638; d = sqrt(0.0308 / 17) = 0.042565 m = 1.676 in.
        const QString coil = "TxtDia=10; TxtVCHeight=12; TxtVCGap=6; TxtVentDia=2.5; models=1 1.5 35";
        const QString coilSpeeds = "47.7,11.9,5.3,3.0,1.3,0.7,7.6";
        QTest::newRow("diameter and coil, inches") << coil << coilSpeeds << "0" << "1.68 in";
        QTest::newRow("diameter and coil, litres") << "OptSealedVolumeBox(1); " + coil << coilSpeeds << "0" << "4.26 cm";
        // Just over the limit: 2 in at 40 Hz is 124000 Vd; 0.1372 l gives 17.013 m/s, marked though it
        // shows 17.0; d = 2.0008 in.
        QTest::newRow("17 m/s, just over") << "TxtVd=0.1372; TxtVentDia=2; models=1 1 40"
                                           << "68.1,17.0,7.6,4.3,1.9,1.1,17.0" << "016" << "2.00 in";
        // Without a Vd to work from there are no speeds, only the hint (GetVd would ask for the coil
        // here; the speeds do not); the lengths are there as usual.
        const QString none = ",,,,,,";
        for (const char *name : {"", "TxtVd=0; TxtSd=0; TxtDia=0; TxtXmax=0; TxtVCHeight=0; TxtVCGap=0; ", "TxtSd=200; TxtVCHeight=12; ",
                                 "TxtVd=1.2.3; ", "TxtSd=200; TxtVCHeight=4; TxtVCGap=6; "})
            QTest::newRow(*name ? name : "nothing") << QString(name) + "models=1 1 40" << none << "" << "";
        QTest::newRow("Vd too large for a double") << "TxtVd=1" + QString(400, u'0') + "; models=1 1 40" << none << "" << "";
    }
    void ventSpeeds()
    {
        auto w = freshWindow();
        MessageCatcher catcher;
        for (QLabel *l : w->BoxVent->LblVentSpeed)
            l->setText(QStringLiteral("old"));
        run(w.get(), fetch<QString>("steps"));
        QStringList speeds, warnings;
        for (const QString &s : fetch<QString>("speeds").split(u','))
            speeds << (s.isEmpty() ? s : s + " m/s");
        for (int k = 0; k < 7; ++k)
            warnings << (fetch<QString>("warnings").contains(QString::number(k)) ? "too fast" : "");
        QCOMPARE(shown(w.get(), cells("LblVentSpeed", 7, "") + "; " + cells("LblVentWarning", 7, "") + "; LblMinVentDia; LblVentLength(1)"),
                 cells("LblVentSpeed", 7, speeds.join(u',')) + "; " + cells("LblVentWarning", 7, warnings.join(u','))
                     + "; LblMinVentDia="
                     + (fetch<QString>("smallest").isEmpty() ? "Enter Vd, or the cone area or diameter with Xmax, to see the air speed."
                                                             : "Smallest vent diameter for 17 m/s: " + fetch<QString>("smallest"))
                     + (w->State.Fb == 40 ? "; LblVentLength(1)=3.83''" : "; LblVentLength(1)=" + w->BoxVent->LblVentLength[1]->text()));
        // Only looked at: the Input tab keeps what was typed.
        for (const QString &step : fetch<QString>("steps").split(QLatin1String("; ")))
            if (step.startsWith(QLatin1String("Txt")) && !step.startsWith(QLatin1String("TxtVentDia")))
                QCOMPARE(shown(w.get(), step), step);
        QCOMPARE(catcher.shown(), QString());
    }

    // Woofer 4 Ohms at 2,500 Hz (15,708 rad/s), tweeter 6 Ohms at 3,000 Hz, fourth-order Linkwitz-Riley:
    // l1 = 4 sqrt2 / 3, c2 = 9 sqrt2 / 8, l3 = 2 sqrt2 / 3, c4 = sqrt2 / 4 and the duals 1/l, 1/c; L = l Z / w,
    // C = c / (Z w). Every order's response is checked in the core test.
    void crossoverParts()
    {
        auto w = freshWindow();
        MessageCatcher catcher;
        act(w.get(), "tab=3; TxtZ=4; Text2=6; Text3=2500; Text4=3000; OptCrossoverType(4); CmdCalculateCrossover");
        settle();
        QCOMPARE(catcher.shown(), QString());
        // The woofer's parts, their E12 values, the tweeter's, their E12 values, the woofer's and tweeter's names.
        const QStringList parts{"0.480 mH,25.32 µF,0.240 mH,5.63 µF", "0.47 mH,27 µF,0.22 mH,5.6 µF",
                                "4.69 µF,0.200 mH,9.38 µF,0.900 mH", "4.7 µF,0.22 mH,10 µF,0.82 mH", "L1:,C2:,L3:,C4:",
                                "C1:,L2:,C3:,L4:"};
        const char *names[] = {"LblWooferPart", "LblWooferPartE12", "LblTweeterPart", "LblTweeterPartE12", "LblWooferPartName",
                               "LblTweeterPartName"};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(shown(w.get(), cells(names[i], 4, "")), cells(names[i], 4, parts[i]));
        // The plan shows every part with its value and its E12 value.
        const QStringList plan = w->CrossoverPlans->PicCrossoverPlan->texts();
        for (int i = 0; i < 4; ++i) {
            QVERIFY(plan.contains(w->Crossover->LblWooferPartName[i]->text().chopped(1) + "  " + w->Crossover->LblWooferPart[i]->text()));
            QVERIFY(plan.contains("E12  " + w->Crossover->LblTweeterPartE12[i]->text()));
        }
        QVERIFY(w->CrossoverPlans->CmdSavePlan->isEnabled());
    }

    void crossoverZobelAndNotes()
    {
        auto w = freshWindow();
        // Without both Re and Le there is no Zobel network.
        act(w.get(), "tab=3; TxtZ=8; Text2=8; Text3=3000; Text4=2500; Text1=1300; TxtRe=6.4; OptCrossoverType(1); CmdCalculateCrossover");
        QCOMPARE(shown(w.get(), "LblZobelR; LblZobelC"), QStringLiteral("LblZobelR=not used; LblZobelC=not used"));
        // Second order: reversed tweeter; 2,500 Hz is below twice the tweeter's Fs of 1,300 Hz.
        for (const char *note : {"reversed polarity", "below twice the tweeter's Fs (2,600 Hz)", "resistive loads"})
            QVERIFY2(w->Crossover->LblCrossoverNotes->text().contains(QLatin1String(note)), note);
        // Re 6.4 Ohms, Le 0.5 mH: R = 1.25 x 6.4 = 8 Ohms, C = 0.0005 / 8^2 = 7.8125 uF.
        act(w.get(), "TxtRe=6.4; TxtL=0.5; Text1=1200; OptCrossoverType(4); CmdCalculateCrossover");
        QCOMPARE(shown(w.get(), "LblZobelR; LblZobelRE12; LblZobelC; LblZobelCE12"),
                 QStringLiteral("LblZobelR=8.00 Ohms; LblZobelRE12=8.2 Ohms; LblZobelC=7.81 µF; LblZobelCE12=8.2 µF"));
        QVERIFY(w->Crossover->LblCrossoverNotes->text().contains("normal polarity") && !w->Crossover->LblCrossoverNotes->text().contains("below twice"));
    }

    // Missing or bad data is reported with the focus on its field; the parts and pictures stay.
    void crossoverRefusals_data()
    {
        for (const char *column : {"field", "text", "message", "focus"})
            QTest::addColumn<QString>(column);
        QTest::newRow("no woofer impedance") << "TxtZ" << "" << "more" << "TxtZ";
        QTest::newRow("no tweeter impedance") << "Text2" << "" << "more" << "Text2";
        QTest::newRow("woofer crossover 0") << "Text3" << "0" << "more" << "Text3";
        QTest::newRow("no tweeter crossover") << "Text4" << "" << "more" << "Text4";
        QTest::newRow("pasted tweeter impedance") << "Text2" << "8 Ohm" << "number" << "Text2";
        QTest::newRow("Re that is no number") << "TxtRe" << "1.2.3" << "number" << "TxtRe";
        // 1E-320 Hz: an inductance beyond any double.
        QTest::newRow("frequency too small for any part") << "Text3" << "0." + QString(319, u'0') + "1" << "number" << "TxtRe";
        QTest::newRow("no type") << "" << "" << "more" << "OptCrossoverType(0)";
    }
    void crossoverRefusals()
    {
        const QString field = fetch<QString>("field");
        auto w = freshWindow();
        const QString entries = "tab=3; TxtZ=8; Text2=8; Text3=3000; Text4=3000; ";
        act(w.get(), entries + (field.isEmpty() ? "" : "OptCrossoverType(2); CmdCalculateCrossover"));
        const QStringList before = QStringList{shown(w.get(), cells("LblWooferPart", 4, "") + "; " + cells("LblTweeterPart", 4, ""))}
                                   + w->CrossoverPlans->PicCrossoverPlan->texts() + w->Crossover->Picture1->texts();
        if (!field.isEmpty())
            act(w.get(), field + "=" + fetch<QString>("text"));
        w->Crossover->TxtRe->setFocus();
        MessageCatcher catcher;
        act(w.get(), "CmdCalculateCrossover");
        settle();
        QCOMPARE(catcher.shown(), fetch<QString>("message"));
        QCOMPARE(shown(w.get(), "focus"), "focus=" + fetch<QString>("focus"));
        QCOMPARE(QStringList{shown(w.get(), cells("LblWooferPart", 4, "") + "; " + cells("LblTweeterPart", 4, ""))}
                     + w->CrossoverPlans->PicCrossoverPlan->texts() + w->Crossover->Picture1->texts(), before);
        QCOMPARE(w->CrossoverPlans->CmdSavePlan->isEnabled(), !field.isEmpty());
        if (!field.isEmpty())
            QCOMPARE(w->State.Z, 8.0);
    }
};

QTEST_MAIN(TestTabs)
#include "tst_tabs.moc"
