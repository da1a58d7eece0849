// SPDX-License-Identifier: GPL-3.0-or-later
// The More Boxes tab in the window: start values, entry messages, the fill from the vented box and
// the bandpass design, the captions, the design file, the build sheet and the Analysis tab's legend.

#include "TestSupport.h"
#include "app/AnalysisTab.h"
#include "app/DlgBuildSheet.h"
#include "app/MoreBoxesTab.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QComboBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

using namespace testsupport;

namespace {

// Driver30's radiator: 330 cm², 60 g, Vas 1.5 cu ft, in the vented box (2.6995 cu ft, 30.4 Hz).
const QString Radiator30 = Driver30 + "CmdCalculateInput; tab=8; TxtPRSd=330; TxtPRMms=60; TxtPRVas=1.5; ";
// The 12-inch woofer 'A' (Vd 0.4 l) with a 500 cm², 100 g radiator of Vas 2 cu ft and Xmax 15 mm, and
// the 6.5-inch 'B' in a lossless box, as in the core's tables.
const QString RadiatorA = "OptVas(0); TxtPower=100; TxtFs=30; TxtQts=0.4; TxtVas=3; TxtQes=0.45; TxtSd=500; TxtXmax=8; CmdCalculateInput; "
                          "tab=8; TxtPRSd=500; TxtPRMms=100; TxtPRVas=2; TxtPRXmax=15; CmdCalculatePR";
const QString BandpassB = "OptVas(0); TxtFs=45; TxtQts=0.35; TxtVas=0.8; TxtQes=0.4; TxtSd=133; TxtXmax=6; "
                          "TxtQloss=1000000000; CmdCalculateInput; tab=8; TxtBPGain=6; CmdCalculateBP";

} // namespace

class TestMoreBoxesWindow : public QObject
{
    Q_OBJECT

private slots:
    // Steps on a fresh window: the messages shown and what the tab shows then.
    void behaviour_data()
    {
        addStepColumns();
        const QString NoDriver = MoreBoxesTab::NoDriverText;
        const auto row = [](const char *name, const QString &steps, const char *messages, const QString &shows) {
            QTest::newRow(name) << steps << messages << shows;
        };
        row("start", "", "",
            "TxtPRQms=5; TxtPRCount=1; TxtBPRipple=0.7; TxtBPGain=3; TxtPRVb=; LblPRVasUnit=liters; LblPRVbUnit=Cu Ft; "
            "LblPRNotes=" + NoDriver + "; LblBPNotes=" + NoDriver);
        row("radiator without a driver", "tab=8; TxtPRSd=330; CmdCalculatePR", "more", "LblPRAddedMass=; LblPRNotes=" + NoDriver);
        row("bandpass without a driver", "tab=8; CmdCalculateBP", "more", "LblBPF3Low=; TxtBPRearVolume=");
        // The vented fit of this driver: 2.6995 cu ft at 30.4 Hz (its edge case), 76.4425 litres.
        row("filled from the vented box", Driver30 + "CmdCalculateInput", "",
            "TxtPRVb=2.6995; TxtPRFb=30.4; LblPRVasUnit=Cu. Ft.; LblPRNotes=; LblBPNotes=");
        row("filled in litres", Driver30 + "OptSealedVolumeBox(1); CmdCalculateInput", "", "TxtPRVb=76.4425; LblPRVbUnit=liter");
        row("unit change rewrites", Driver30 + "CmdCalculateInput; OptSealedVolumeBox(1)", "",
            "TxtPRVb=76.4417; LblBPFrontUnit=liter");
        row("area missing", Driver30 + "CmdCalculateInput; tab=8; TxtPRMms=50; TxtPRVas=1; CmdCalculatePR", "more",
            "focus=TxtPRSd; LblPRAddedMass=");
        row("letters pasted", Radiator30 + "TxtPRMms=abc; CmdCalculatePR", "number", "focus=TxtPRMms; LblPRFp=");
        row("keys filtered, Enter moves on", "tab=8; TxtPRSd<1a2; TxtPRFb<30", "", "TxtPRSd=12; focus=CmdCalculatePR");
        row("zero typed", "tab=8; TxtPRSd<0", "number", "TxtPRSd=");
        row("zero ripple", "tab=8; TxtBPRipple<0", "number", "TxtBPRipple=0.7");
        row("five radiators", "tab=8; TxtPRCount<5", "number", "TxtPRCount=1");
        row("half a radiator", "tab=8; TxtPRCount<2.5", "number", "TxtPRCount=1");
        row("unusual Qms", "tab=8; TxtPRQms<30", "unusual", "TxtPRQms=30");
        row("unusual tuning", "tab=8; TxtBPFb<5", "unusual", "TxtBPFb=5");
        row("gain missing", Driver30 + "CmdCalculateInput; tab=8; TxtBPGain=; CmdCalculateBP", "more", "focus=TxtBPGain");
        // By hand: Fp = Fb / sqrt(1 + N Vap / Vb) = 23.0 Hz; Mmp = rho c^2 Sdp^2 / ((2 pi Fp)^2 Vap) =
        // 295.8 g, 195.8 g to add; 2 x 0.4 l is more than 500 cm² x 15 mm. F3 and the 6.5 mm from the
        // core's network script.
        row("radiator captions", RadiatorA, "",
            "LblPRAddedMass=195.8 g; LblPRFp=23.0 Hz; LblPRF3=41.2 Hz; LblPRPeak=No peak; LblPRExcursion=6.5 mm of their "
            "Xmax of 15.0 mm. The radiators together displace less than twice the driver's Vd: use more or larger radiators.");
        row("without the driver's Vd", Radiator30 + "CmdCalculatePR; CmdCalculateBP", "",
            "LblPRExcursion=Enter the driver's Vd, or its cone area or diameter with Xmax, to see the radiators' excursion.; "
            "LblBPVentSpeed=Enter Vd, or the cone area or diameter with Xmax, to see the air speed.");
        row("radiators dropped with the driver", RadiatorA + "; TxtFs=31", "", "LblPRAddedMass=; LblPRNotes=" + NoDriver);
        // Qbp = 1 / (10^(-6/40) 2 S), Vf = (2 S Qts)^2 Vas, Vr = Vas / ((Qbp/Qts)^2 - 1), Fb = Qbp Fs / Qts
        // (the published design equations, by hand). The vent: the narrowest that is not too fast, 3 in
        // (2 pi Fb Vd / Sv with Vd = 133 cm² x 6 mm: 32 m/s in 2 in, 14 m/s in 3 in, 3.70 in long).
        row("bandpass design", BandpassB, "",
            "TxtBPRearVolume=0.1094; TxtBPFrontVolume=0.1921; TxtBPFb=129.7; LblBPGain=6.0 dB; TxtBPVentDia=3; LblBPVentLength=3.70''; LblBPVentSpeed=14.3 m/s; LblBPNotes=");
        row("bandpass in litres", "OptSealedVolumeBox(1); " + BandpassB, "",
            "TxtBPRearVolume=3.0989; TxtBPFrontVolume=5.4391; LblBPRearUnit=liter");
        row("Qts too high for a bandpass", "OptVas(0); TxtFs=30; TxtQts=0.9; TxtVas=3; CmdCalculateInput; tab=8; CmdCalculateBP",
            "", "TxtBPRearVolume=; LblBPF3Low=; LblBPNotes=No bandpass box for this driver: its Qts of 0.90 is not below "
            "the Qbp of 0.85 this gain and ripple need, so the rear chamber has no positive volume. More gain or a smaller S "
            "raises Qbp.");
    }
    void behaviour()
    {
        auto w = freshWindow();
        checkRow(w.get());
    }

    // The bandpass box's -3 dB points where the design equations put them: Fl = (-b + sqrt(b^2 +
    // 4 Qbp^2)) / 2 x Fs/Qts and Fh = Fl + b Fs/Qts with the tabled b = 0.7206 for S 0.7, by hand.
    void bandpassPassband()
    {
        auto w = freshWindow();
        act(w.get(), BandpassB);
        const auto hz = [](const QLabel *l) { return l->text().chopped(3).toDouble(); };
        QVERIFY(std::abs(hz(w->MoreBoxes->LblBPF3Low) - 91.42) < 0.2);
        QVERIFY(std::abs(hz(w->MoreBoxes->LblBPF3High) - 184.07) < 0.2);
    }

    // Both boxes into a design file and back, beside the Analysis tab, the curves and the build sheet.
    void designAnalysisAndSheet()
    {
        InTempFolder here;
        auto w = freshWindow();
        act(w.get(), RadiatorA + "; TxtPRCount=2; CmdCalculatePR; TxtBPRipple=0.6; CmdCalculateBP; tab=7");
        const QString names = "TxtPRSd; TxtPRMms; TxtPRVas; TxtPRQms; TxtPRXmax; TxtPRCount; TxtPRVb; TxtPRFb; "
                              "TxtBPRearVolume; TxtBPFrontVolume; TxtBPFb; TxtBPRipple; TxtBPGain; TxtBPVentDia; "
                              "LblPRAddedMass; LblPRExcursion; LblBPF3Low; LblBPGain; LblBPVentSpeed; tab";
        const QString before = shown(w.get(), names);
        QVERIFY(w->Files->saveDesign(QStringLiteral("both.kelvane")));
        auto other = freshWindow();
        QVERIFY(other->Files->openDesign(QStringLiteral("both.kelvane")));
        QCOMPARE(shown(other.get(), names), before);

        // Each box in its own legend entry, only once calculated; the radiators' excursion too.
        const QString legend = w->Analysis->PicAnalysis->texts().join(u' ');
        QVERIFY(legend.contains(QStringLiteral("Passive radiator")));
        QVERIFY(legend.contains(QStringLiteral("Bandpass")));
        w->Analysis->CboAnalysisGraph->setCurrentIndex(2);
        QVERIFY(w->Analysis->PicAnalysis->texts().join(u' ').contains(QStringLiteral("Passive radiators")));
        QVERIFY(w->Files->exportCurves(QStringLiteral("c.csv")));
        QFile csv(QStringLiteral("c.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray header = csv.readLine();
        QVERIFY(header.contains("Passive radiator cone excursion at 100 W (mm),"));
        QVERIFY(header.contains("Passive radiators cone excursion at 100 W (mm),"));
        // S 0.6, 3 dB: Fb = 74.3 Hz; 2 pi Fb Vd / Sv with Vd 0.4 l is 23 m/s in 4 in, 10 m/s in 6 in.
        QVERIFY(header.contains("Bandpass air speed in the 6 in vent at 100 W (m/s)"));
        w->Analysis->PicAnalysis->onMouseMove(graphgeo::graphX(40), 200);
        QVERIFY(w->Analysis->TxtAnalysisPRNum->text().endsWith(QStringLiteral(" mm")));
        QVERIFY(w->Analysis->TxtAnalysisBPNum->text().endsWith(QStringLiteral(" mm")));

        // The build sheet offers both with a section of their own.
        const kelvane::sheet::Snapshot s = w->buildSheetSnapshot();
        kelvane::sheet::Choices c;
        c.other = kelvane::sheet::OtherBox::Bandpass;
        QStringList headings;
        for (const kelvane::sheet::Section &sec : kelvane::sheet::buildSheet(s, c, {}, {}).sections)
            headings << sec.heading;
        QCOMPARE(headings.mid(1, 2), (QStringList{"Bandpass box", "Chambers and vent"}));
        QVERIFY(s.radiatorBox && s.radiatorBox->results.size() == 7);
        DlgBuildSheet dialog(s);
        dialog.CboBox->setCurrentIndex(2);
        QCOMPARE(dialog.CboBox->currentText(), QStringLiteral("Passive radiator box"));
        QVERIFY(dialog.choices().other == kelvane::sheet::OtherBox::PassiveRadiator && dialog.CboBox->count() == 4);

        // A design of an earlier release, without the section, opens with the tab's start values.
        QFile file(QStringLiteral("both.kelvane"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        root.remove(QStringLiteral("moreBoxes"));
        QFile old(QStringLiteral("old.kelvane"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QJsonDocument(root).toJson()) > 0);
        old.close();
        QVERIFY(other->Files->openDesign(QStringLiteral("old.kelvane")));
        QCOMPARE(shown(other.get(), "TxtPRSd; TxtPRQms; TxtPRCount; TxtPRVb; TxtBPRipple; LblPRAddedMass"),
                 QStringLiteral("TxtPRSd=; TxtPRQms=5; TxtPRCount=1; TxtPRVb=2.6995; TxtBPRipple=0.7; LblPRAddedMass="));
        QVERIFY(!other->Analysis->PicAnalysis->texts().join(u' ').contains(QStringLiteral("Bandpass")));
    }
};

QTEST_MAIN(TestMoreBoxesWindow)
#include "tst_moreboxes_window.moc"
