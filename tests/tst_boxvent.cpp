// The "Box and Vent" tab: build volumes, inside dimensions and vent lengths, through the numeric
// core and through the real window (captions, the three Enter-driven fields).

#include "TestSupport.h"
#include "boxvent/BoxCore.h"
#include "driver/Program.h"

#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>

using namespace testsupport;
using namespace kelvane::boxvent;

namespace {

QString caption(FrmKelvane *w, const QString &name)
{
    return find<QLabel>(w, name)->text();
}

// A window with both models' results set directly, as the box models leave them.
std::unique_ptr<FrmKelvane> windowWithModels(double vbSealed, double vbVented, double fb)
{
    auto w = freshWindow();
    w->VbSealed = vbSealed;
    w->VbVented = vbVented;
    w->Fb = fb;
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxVent);
    return w;
}

} // namespace

class TestBoxVent : public QObject
{
    Q_OBJECT

private slots:
    void ventLengthFormula_data();
    void ventLengthFormula();
    void ventCaptionEmptyWhenNotPositive();
    void buildVolume_data();
    void buildVolume();
    void dimensionsOfRatio_data();
    void dimensionsOfRatio();

    void boxDimensionsFillsTab();
    void ratioCaptionsOnTab_data();
    void ratioCaptionsOnTab();
    void addVolumeEnterRecalculates();
    void overVolumeEnterRecalculates();
    void overVolumeZeroRecalculatesNothing();
    void ventLengthsFillTab();
    void ventTooWideLeavesCaptionEmpty();
    void emptyCustomDiameterDuringCalculation();
    void customDiameterBeforeVentedModel();
    void customDiameterEnter();
    void customDiameterZeroOrBadEmpties_data();
    void customDiameterZeroOrBadEmpties();
    void customDiameterTooLargeIsRejected();
    void fullCalculationFillsTab();
};

// Lv = 1.463e7 R^2 / Fb^2 / Vb - 1.463 R, worked by hand.
void TestBoxVent::ventLengthFormula_data()
{
    QTest::addColumn<double>("diameter");
    QTest::addColumn<double>("fb");
    QTest::addColumn<double>("vbCuIn");
    QTest::addColumn<double>("expected");
    QTest::addColumn<QString>("shown");

    // 1.463e7 / 1600 / 1728 = 5.2915219907; minus 1.463
    QTest::newRow("1 cu ft, 40 Hz, 2 in") << 2.0 << 40.0 << 1728.0 << 3.8285219907 << "3.83''";
    // 1.463e7 x 16 / 1600 / 1728 = 84.6643518519; minus 5.852
    QTest::newRow("1 cu ft, 40 Hz, 8 in") << 8.0 << 40.0 << 1728.0 << 78.8123518519 << "78.81''";
    // 1.463e7 x 0.25 / 900 / 3456 = 1.1758937757; minus 0.7315
    QTest::newRow("2 cu ft, 30 Hz, 1 in") << 1.0 << 30.0 << 3456.0 << 0.4443937757 << "0.44''";
    // 10 cu ft tuned to 100 Hz: 1e7 R / (Fb^2 Vb) = 4 / 17.28 < 1, so the vent is too wide.
    // 1.463e7 x 16 / 10000 / 17280 = 1.3546296; minus 5.852
    QTest::newRow("too wide") << 8.0 << 100.0 << 17280.0 << -4.4973704 << "";
    QTest::newRow("no diameter") << 0.0 << 40.0 << 1728.0 << 0.0 << "";
}

void TestBoxVent::ventLengthFormula()
{
    QFETCH(double, diameter);
    QFETCH(double, fb);
    QFETCH(double, vbCuIn);
    QFETCH(double, expected);
    QFETCH(QString, shown);
    const double lv = ventLength(diameter, fb, vbCuIn);
    QVERIFY2(std::abs(lv - expected) < 1e-6, qPrintable(QString::number(lv, 'g', 12)));
    QCOMPARE(ventLengthCaption(lv), shown);
}

void TestBoxVent::ventCaptionEmptyWhenNotPositive()
{
    QCOMPARE(ventLengthCaption(0.0), QString());
    QCOMPARE(ventLengthCaption(-0.0), QString());
    QCOMPARE(ventLengthCaption(-12.5), QString());
    QCOMPARE(ventLengthCaption(0.004), QStringLiteral("0.00''"));
    QCOMPARE(ventLengthCaption(12.345), QStringLiteral("12.35''"));
}

void TestBoxVent::buildVolume_data()
{
    QTest::addColumn<double>("net");
    QTest::addColumn<double>("added");
    QTest::addColumn<double>("percent");
    QTest::addColumn<double>("expected");
    QTest::newRow("1728 cu in adds one cubic foot") << 2.5 << 1728.0 << 100.0 << 3.5;
    QTest::newRow("80 percent without added volume") << 2.5 << 0.0 << 80.0 << 2.0;
    QTest::newRow("added volume scaled too") << 1.0 << 864.0 << 110.0 << 1.65;
    QTest::newRow("nothing yet") << 0.0 << 0.0 << 100.0 << 0.0;
}

void TestBoxVent::buildVolume()
{
    QFETCH(double, net);
    QFETCH(double, added);
    QFETCH(double, percent);
    QFETCH(double, expected);
    QVERIFY(std::abs(kelvane::boxvent::buildVolume(net, added, percent) - expected) < 1e-12);
}

// A build volume equal to the ratio's product has a depth of exactly one foot.
void TestBoxVent::dimensionsOfRatio_data()
{
    QTest::addColumn<int>("ratio");
    QTest::addColumn<double>("build");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("depth");
    QTest::newRow("A 4.16") << 0 << 4.16 << "31.20''" << "19.20''" << "12.00''";
    QTest::newRow("B 2.88") << 1 << 2.88 << "24.00''" << "17.28''" << "12.00''";
    QTest::newRow("C 2.0034") << 2 << 2.0034 << "19.08''" << "15.12''" << "12.00''";
    // 8 x 4.16 cubic feet doubles every side.
    QTest::newRow("A 33.28") << 0 << 33.28 << "62.40''" << "38.40''" << "24.00''";
    QTest::newRow("B empty box") << 1 << 0.0 << "0.00''" << "0.00''" << "0.00''";
}

void TestBoxVent::dimensionsOfRatio()
{
    QFETCH(int, ratio);
    QFETCH(double, build);
    QFETCH(QString, height);
    QFETCH(QString, width);
    QFETCH(QString, depth);
    const InsideDimensions d = dimensionsFromDepth(ratio, insideDepth(build, SideRatios[ratio].product));
    QCOMPARE(lengthCaption(d.height), height);
    QCOMPARE(lengthCaption(d.width), width);
    QCOMPARE(lengthCaption(d.depth), depth);
}

void TestBoxVent::boxDimensionsFillsTab()
{
    // Sealed 4.16 and vented 2.88 cubic feet, no corrections: one foot deep for A and B.
    auto w = windowWithModels(4.16, 2.88, 0);
    w->BoxDimensions();
    QCOMPARE(caption(w.get(), "LblOriginalCVol"), QStringLiteral("4.160 Cu. Ft."));
    QCOMPARE(caption(w.get(), "LblOriginalVVol"), QStringLiteral("2.880 Cu. Ft."));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(caption(w.get(), QStringLiteral("LblCVol(%1)").arg(i)), QStringLiteral("4.160 Cu. Ft."));
        QCOMPARE(caption(w.get(), QStringLiteral("LblVVol(%1)").arg(i)), QStringLiteral("2.880 Cu. Ft."));
    }
    QCOMPARE(caption(w.get(), "LblCHeight(0)"), QStringLiteral("31.20''"));
    QCOMPARE(caption(w.get(), "LblCWidth(0)"), QStringLiteral("19.20''"));
    QCOMPARE(caption(w.get(), "LblCDepth(0)"), QStringLiteral("12.00''"));
    QCOMPARE(caption(w.get(), "LblVHeight(1)"), QStringLiteral("24.00''"));
    QCOMPARE(caption(w.get(), "LblVWidth(1)"), QStringLiteral("17.28''"));
    QCOMPARE(caption(w.get(), "LblVDepth(1)"), QStringLiteral("12.00''"));
    QVERIFY(std::abs(w->DepthSealedA - 12) < 1e-9);
    QVERIFY(std::abs(w->DepthVentedB - 12) < 1e-9);
    // (4.16 / 2.0034)^(1/3) x 12 = 15.3093 (worked with a calculator)
    QVERIFY(std::abs(w->DepthSealedC - 15.3093) < 1e-3);
    QCOMPARE(w->VbSealedBuild, 4.16);
    QCOMPARE(w->VbVentedBuild, 2.88);
}

void TestBoxVent::ratioCaptionsOnTab_data()
{
    QTest::addColumn<double>("vb");
    QTest::addColumn<int>("ratio");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("width");
    QTest::newRow("A") << 4.16 << 0 << "31.20''" << "19.20''";
    QTest::newRow("B") << 2.88 << 1 << "24.00''" << "17.28''";
    QTest::newRow("C") << 2.0034 << 2 << "19.08''" << "15.12''";
}

void TestBoxVent::ratioCaptionsOnTab()
{
    QFETCH(double, vb);
    QFETCH(int, ratio);
    QFETCH(QString, height);
    QFETCH(QString, width);
    auto w = windowWithModels(vb, vb, 0);
    w->BoxDimensions();
    for (const char *box : {"C", "V"}) {
        QCOMPARE(caption(w.get(), QStringLiteral("Lbl%1Height(%2)").arg(QLatin1String(box)).arg(ratio)), height);
        QCOMPARE(caption(w.get(), QStringLiteral("Lbl%1Width(%2)").arg(QLatin1String(box)).arg(ratio)), width);
        QCOMPARE(caption(w.get(), QStringLiteral("Lbl%1Depth(%2)").arg(QLatin1String(box)).arg(ratio)),
                 QStringLiteral("12.00''"));
    }
}

void TestBoxVent::addVolumeEnterRecalculates()
{
    MessageCatcher catcher;
    auto w = windowWithModels(1.5, 2.0, 0);
    w->BoxDimensions();
    typeInto(find<QLineEdit>(w.get(), "TxtAddVolume"), "1728");
    settle();
    QCOMPARE(w->AddVolume, 1728.0);
    // One cubic foot more in both boxes at 100 %.
    QCOMPARE(caption(w.get(), "LblCVol(0)"), QStringLiteral("2.500 Cu. Ft."));
    QCOMPARE(caption(w.get(), "LblVVol(2)"), QStringLiteral("3.000 Cu. Ft."));
    // The net volumes stay as the models gave them.
    QCOMPARE(caption(w.get(), "LblOriginalCVol"), QStringLiteral("1.500 Cu. Ft."));

    // Zero empties the field and recalculates without the added volume.
    typeInto(find<QLineEdit>(w.get(), "TxtAddVolume"), "0");
    settle();
    QCOMPARE(find<QLineEdit>(w.get(), "TxtAddVolume")->text(), QString());
    QCOMPARE(caption(w.get(), "LblCVol(0)"), QStringLiteral("1.500 Cu. Ft."));
    QCOMPARE(catcher.messages().size(), 0);
}

void TestBoxVent::overVolumeEnterRecalculates()
{
    MessageCatcher catcher;
    auto w = windowWithModels(2.5, 3.2, 0);
    w->BoxDimensions();
    typeInto(find<QLineEdit>(w.get(), "TxtPercentOverVolume"), "80");
    settle();
    QCOMPARE(caption(w.get(), "LblCVol(1)"), QStringLiteral("2.000 Cu. Ft."));
    QCOMPARE(caption(w.get(), "LblVVol(1)"), QStringLiteral("2.560 Cu. Ft."));
    // 3.2 x 1.3 = 4.16 cubic feet: ratio A one foot deep.
    typeInto(find<QLineEdit>(w.get(), "TxtPercentOverVolume"), "130");
    settle();
    QCOMPARE(caption(w.get(), "LblVVol(0)"), QStringLiteral("4.160 Cu. Ft."));
    QCOMPARE(caption(w.get(), "LblVHeight(0)"), QStringLiteral("31.20''"));
    QCOMPARE(caption(w.get(), "LblVDepth(0)"), QStringLiteral("12.00''"));
    QCOMPARE(catcher.messages().size(), 0);
}

void TestBoxVent::overVolumeZeroRecalculatesNothing()
{
    MessageCatcher catcher;
    auto w = windowWithModels(2.5, 3.2, 0);
    typeInto(find<QLineEdit>(w.get(), "TxtPercentOverVolume"), "80");
    settle();
    QCOMPARE(caption(w.get(), "LblCVol(0)"), QStringLiteral("2.000 Cu. Ft."));
    w->VbSealed = 5; // would show if anything were recalculated
    typeInto(find<QLineEdit>(w.get(), "TxtPercentOverVolume"), "0");
    settle();
    QCOMPARE(find<QLineEdit>(w.get(), "TxtPercentOverVolume")->text(), QStringLiteral("100"));
    QCOMPARE(w->PercentOverVolume, 100.0);
    QCOMPARE(caption(w.get(), "LblCVol(0)"), QStringLiteral("2.000 Cu. Ft."));
}

void TestBoxVent::ventLengthsFillTab()
{
    auto w = windowWithModels(1, 1, 40);
    find<QLineEdit>(w.get(), "TxtVentDia")->setText("2");
    w->VentLengths();
    QCOMPARE(caption(w.get(), "LblOriginalFb"), QStringLiteral("40.0 Hz"));
    QCOMPARE(w->VbVentedCuIn, 1728.0);
    const double diameters[6] = {1, 2, 3, 4, 6, 8};
    for (int k = 0; k < 6; ++k)
        QCOMPARE(w->VentDia[k], diameters[k]);
    QCOMPARE(caption(w.get(), "LblVentLength(1)"), QStringLiteral("3.83''"));
    QCOMPARE(caption(w.get(), "LblVentLength(5)"), QStringLiteral("78.81''"));
    // 1 in: 1.463e7 x 0.25 / 1600 / 1728 - 0.7315 = 0.5913805
    QCOMPARE(caption(w.get(), "LblVentLength(0)"), QStringLiteral("0.59''"));
    QCOMPARE(w->VentDia[6], 2.0);
    QCOMPARE(caption(w.get(), "LblVentLength(6)"), QStringLiteral("3.83''"));
    QVERIFY(std::abs(w->VentLength[6] - 3.8285219907) < 1e-6);
}

void TestBoxVent::ventTooWideLeavesCaptionEmpty()
{
    // 10 cubic feet tuned to 100 Hz: every standard vent is too wide.
    auto w = windowWithModels(10, 10, 100);
    for (int k = 0; k < 7; ++k)
        w->LblVentLength[k]->setText("old");
    w->VentLengths();
    QCOMPARE(caption(w.get(), "LblOriginalFb"), QStringLiteral("100.0 Hz"));
    for (int k = 0; k < 7; ++k)
        QCOMPARE(caption(w.get(), QStringLiteral("LblVentLength(%1)").arg(k)), QString());
    QVERIFY(w->VentLength[5] < 0);
}

void TestBoxVent::emptyCustomDiameterDuringCalculation()
{
    auto w = windowWithModels(1, 1, 40);
    w->VentDia[6] = 3;
    w->LblVentLength[6]->setText("9.99''");
    find<QLineEdit>(w.get(), "TxtVentDia")->clear();
    w->VentLengths();
    w->BoxDimensions();
    QCOMPARE(w->VentDia[6], 0.0);
    QCOMPARE(w->VentLength[6], 0.0);
    QCOMPARE(caption(w.get(), "LblVentLength(6)"), QString());
}

void TestBoxVent::customDiameterBeforeVentedModel()
{
    MessageCatcher catcher;
    auto w = windowWithModels(0, 0, 0);
    QLineEdit *dia = find<QLineEdit>(w.get(), "TxtVentDia");
    typeInto(dia, "3");
    settle();
    QCOMPARE(w->VentDia[6], 3.0);
    QCOMPARE(dia->text(), QStringLiteral("3")); // not reformatted: nothing was calculated
    QCOMPARE(caption(w.get(), "LblVentLength(6)"), QString());
    QCOMPARE(catcher.messages().size(), 0);
}

void TestBoxVent::customDiameterEnter()
{
    MessageCatcher catcher;
    auto w = windowWithModels(1, 1, 40);
    QLineEdit *dia = find<QLineEdit>(w.get(), "TxtVentDia");
    typeInto(dia, "2");
    settle();
    QCOMPARE(caption(w.get(), "LblVentLength(6)"), QStringLiteral("3.83''"));
    QCOMPARE(dia->text(), QStringLiteral("2.00"));
    QCOMPARE(w->VbVentedCuIn, 1728.0);
    // Letters are filtered out by the key handler.
    typeInto(dia, "8x");
    settle();
    QCOMPARE(dia->text(), QStringLiteral("8.00"));
    QCOMPARE(caption(w.get(), "LblVentLength(6)"), QStringLiteral("78.81''"));
    // Only the custom row changes.
    QCOMPARE(caption(w.get(), "LblVentLength(1)"), QString());
    QCOMPARE(catcher.messages().size(), 0);
}

void TestBoxVent::customDiameterZeroOrBadEmpties_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("zero") << "0" << QStringList();
    QTest::newRow("two points") << "1.2.3" << QStringList{Program::NumberErrorText};
    QTest::newRow("empty") << "" << QStringList{Program::NumberErrorText};
}

void TestBoxVent::customDiameterZeroOrBadEmpties()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, messages);
    MessageCatcher catcher;
    auto w = windowWithModels(1, 1, 40);
    QLineEdit *dia = find<QLineEdit>(w.get(), "TxtVentDia");
    typeInto(dia, "2");
    settle();
    QCOMPARE(caption(w.get(), "LblVentLength(6)"), QStringLiteral("3.83''"));
    dia->clear();
    typeInto(dia, typed);
    settle();
    QCOMPARE(dia->text(), QString());
    QCOMPARE(caption(w.get(), "LblVentLength(6)"), QString());
    QCOMPARE(w->VentDia[6], 0.0);
    QCOMPARE(catcher.texts(), messages);
}

void TestBoxVent::customDiameterTooLargeIsRejected()
{
    MessageCatcher catcher;
    auto w = windowWithModels(1, 1, 40);
    QLineEdit *dia = find<QLineEdit>(w.get(), "TxtVentDia");
    // A diameter whose square overflows a double.
    typeInto(dia, QStringLiteral("1") + QString(200, u'0'));
    settle();
    QCOMPARE(catcher.texts(), QStringList{Program::NumberErrorText});
    QCOMPARE(dia->text(), QString());
    QCOMPARE(caption(w.get(), "LblVentLength(6)"), QString());
    QCOMPARE(w->VentDia[6], 0.0);
}

// A real calculation ends with the vent lengths and the box dimensions of the models' results.
void TestBoxVent::fullCalculationFillsTab()
{
    MessageCatcher catcher;
    auto w = freshWindow();
    typeInto(find<QLineEdit>(w.get(), "TxtFs"), "30");
    typeInto(find<QLineEdit>(w.get(), "TxtQts"), "0.4");
    typeInto(find<QLineEdit>(w.get(), "TxtQes"), "0.45");
    typeInto(find<QLineEdit>(w.get(), "TxtVas"), "100");
    settle();
    catcher.clear();
    w->CmdCalculate_Click();
    settle();
    if (w->Fb <= 0 || w->VbVented <= 0)
        QSKIP("the vented box model is not part of this build");
    QCOMPARE(catcher.messages().size(), 0);
    QCOMPARE(caption(w.get(), "LblOriginalFb"), tuningCaption(w->Fb));
    QCOMPARE(caption(w.get(), "LblOriginalCVol"), volumeCaption(w->VbSealed));
    QCOMPARE(caption(w.get(), "LblOriginalVVol"), volumeCaption(w->VbVented));
    QCOMPARE(caption(w.get(), "LblVentLength(3)"),
             ventLengthCaption(ventLength(4, w->Fb, w->VbVented * 1728)));
    QCOMPARE(w->VentDia[6], 0.0);
    QCOMPARE(caption(w.get(), "LblVentLength(6)"), QString());
    QCOMPARE(caption(w.get(), "LblCVol(0)"), volumeCaption(w->VbSealed));
}

QTEST_MAIN(TestBoxVent)
#include "tst_boxvent.moc"
