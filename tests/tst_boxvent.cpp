// The "Box and Vent" tab: build volumes, inside dimensions and vent lengths, through the numeric
// core and through the real window (captions, the three Enter-driven fields).

#include "TestSupport.h"
#include "boxvent/BoxCore.h"
#include "driver/DriverCore.h"
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
    void buildVolume_data();
    void buildVolume();

    void ratioCaptionsOnTab_data();
    void ratioCaptionsOnTab();
    void correctionFieldsRecalculate_data();
    void correctionFieldsRecalculate();
    void overVolumeZeroRecalculatesNothing();
    void ventLengthsFillTab();
    void ventTooWideLeavesCaptionEmpty();
    void emptyCustomDiameterDuringCalculation();
    void customDiameterBeforeVentedModel();
    void customDiameter_data();
    void customDiameter();
    void fullCalculationFillsTab();
    void ventSpeedLimit_data();
    void ventSpeedLimit();
    void ventSpeeds_data();
    void ventSpeeds();
    void ventSpeedWithoutVd_data();
    void ventSpeedWithoutVd();
    void ventSpeedFollowsCustomDiameterAndUnit();
};

// Lv = 1.463e7 R^2 / Fb^2 / Vb - 1.463 R, worked by hand.
void TestBoxVent::ventLengthFormula_data()
{
    for (const char *column : {"diameter", "fb", "vbCuIn", "expected"})
        QTest::addColumn<double>(column);
    QTest::addColumn<QString>("shown");

    // 1.463e7 / 1600 / 1728 = 5.2915219907; minus 1.463
    QTest::newRow("1 cu ft, 40 Hz, 2 in") << 2.0 << 40.0 << 1728.0 << 3.8285219907 << "3.83''";
    // 1.463e7 x 0.25 / 900 / 3456 = 1.1758937757; minus 0.7315
    QTest::newRow("2 cu ft, 30 Hz, 1 in") << 1.0 << 30.0 << 3456.0 << 0.4443937757 << "0.44''";
    // 10 cu ft tuned to 100 Hz: 1.463e7 x 16 / 10000 / 17280 = 1.3546296; minus 5.852
    QTest::newRow("too wide") << 8.0 << 100.0 << 17280.0 << -4.4973704 << "";
    QTest::newRow("no diameter") << 0.0 << 40.0 << 1728.0 << 0.0 << "";
}

void TestBoxVent::ventLengthFormula()
{
    const double lv = ventLength(fetch<double>("diameter"), fetch<double>("fb"), fetch<double>("vbCuIn"));
    QVERIFY2(std::abs(lv - fetch<double>("expected")) < 1e-6, qPrintable(QString::number(lv, 'g', 12)));
    QCOMPARE(ventLengthCaption(lv), fetch<QString>("shown"));
}

void TestBoxVent::buildVolume_data()
{
    for (const char *column : {"net", "added", "percent", "expected"})
        QTest::addColumn<double>(column);
    QTest::newRow("1728 cu in adds one cubic foot") << 2.5 << 1728.0 << 100.0 << 3.5;
    QTest::newRow("80 percent without added volume") << 2.5 << 0.0 << 80.0 << 2.0;
    QTest::newRow("added volume scaled too") << 1.0 << 864.0 << 110.0 << 1.65;
}

void TestBoxVent::buildVolume()
{
    const double v = kelvane::boxvent::buildVolume(fetch<double>("net"), fetch<double>("added"), fetch<double>("percent"));
    QVERIFY(std::abs(v - fetch<double>("expected")) < 1e-12);
}

// A build volume equal to the ratio's product has a depth of exactly one foot; the vented box is
// given 8 times that volume, which doubles every side.
void TestBoxVent::ratioCaptionsOnTab_data()
{
    QTest::addColumn<double>("vb");
    QTest::addColumn<int>("ratio");
    for (const char *column : {"height", "width", "height2", "width2"})
        QTest::addColumn<QString>(column);
    QTest::newRow("A 4.16") << 4.16 << 0 << "31.20''" << "19.20''" << "62.40''" << "38.40''";
    QTest::newRow("B 2.88") << 2.88 << 1 << "24.00''" << "17.28''" << "48.00''" << "34.56''";
    QTest::newRow("C 2.0034") << 2.0034 << 2 << "19.08''" << "15.12''" << "38.16''" << "30.24''";
}

void TestBoxVent::ratioCaptionsOnTab()
{
    const double vb = fetch<double>("vb");
    const int r = fetch<int>("ratio");
    auto w = windowWithModels(vb, 8 * vb, 0);
    w->BoxDimensions();
    const auto cell = [&](const char *what) { return caption(w.get(), QStringLiteral("Lbl%1(%2)").arg(what).arg(r)); };
    QCOMPARE(cell("CHeight"), fetch<QString>("height"));
    QCOMPARE(cell("CWidth"), fetch<QString>("width"));
    QCOMPARE(cell("CDepth"), QStringLiteral("12.00''"));
    QCOMPARE(cell("VHeight"), fetch<QString>("height2"));
    QCOMPARE(cell("VWidth"), fetch<QString>("width2"));
    QCOMPARE(cell("VDepth"), QStringLiteral("24.00''"));
}

void TestBoxVent::correctionFieldsRecalculate_data()
{
    for (const char *column : {"field", "typed", "textAfter", "sealedBuild", "ventedBuild"})
        QTest::addColumn<QString>(column);
    // Net volumes 1.5 and 3.2 cubic feet.
    QTest::newRow("AddVolume 1728 at 100 %: one cubic foot more")
        << "TxtAddVolume" << "1728" << "1728" << "2.500 Cu. Ft." << "4.200 Cu. Ft.";
    QTest::newRow("AddVolume 0 empties the field") << "TxtAddVolume" << "0" << "" << "1.500 Cu. Ft." << "3.200 Cu. Ft.";
    QTest::newRow("80 % without added volume")
        << "TxtPercentOverVolume" << "80" << "80" << "1.200 Cu. Ft." << "2.560 Cu. Ft.";
    // 3.2 x 1.3 = 4.16 cubic feet: ratio A one foot deep, checked below.
    QTest::newRow("130 %") << "TxtPercentOverVolume" << "130" << "130" << "1.950 Cu. Ft." << "4.160 Cu. Ft.";
}

void TestBoxVent::correctionFieldsRecalculate()
{
    MessageCatcher catcher;
    auto w = windowWithModels(1.5, 3.2, 0);
    w->BoxDimensions();
    auto *f = find<QLineEdit>(w.get(), fetch<QString>("field"));
    typeInto(f, fetch<QString>("typed"));
    settle();
    QCOMPARE(f->text(), fetch<QString>("textAfter"));
    QCOMPARE(caption(w.get(), "LblCVol(0)"), fetch<QString>("sealedBuild"));
    QCOMPARE(caption(w.get(), "LblVVol(2)"), fetch<QString>("ventedBuild"));
    if (fetch<QString>("typed") == QLatin1String("130"))
        QCOMPARE(caption(w.get(), "LblVHeight(0)"), QStringLiteral("31.20''"));
    // The net volumes stay as the models gave them.
    QCOMPARE(caption(w.get(), "LblOriginalCVol"), QStringLiteral("1.500 Cu. Ft."));
    QVERIFY(catcher.messages().isEmpty());
}

void TestBoxVent::overVolumeZeroRecalculatesNothing()
{
    MessageCatcher catcher;
    auto w = windowWithModels(2.5, 3.2, 0);
    auto *percent = find<QLineEdit>(w.get(), "TxtPercentOverVolume");
    typeInto(percent, "80");
    settle();
    QCOMPARE(caption(w.get(), "LblCVol(0)"), QStringLiteral("2.000 Cu. Ft."));
    w->VbSealed = 5; // would show if anything were recalculated
    typeInto(percent, "0");
    settle();
    QCOMPARE(percent->text(), QStringLiteral("100"));
    QCOMPARE(w->PercentOverVolume, 100.0);
    QCOMPARE(caption(w.get(), "LblCVol(0)"), QStringLiteral("2.000 Cu. Ft."));
    QVERIFY(catcher.messages().isEmpty());
}

void TestBoxVent::ventLengthsFillTab()
{
    auto w = windowWithModels(1, 1, 40);
    find<QLineEdit>(w.get(), "TxtVentDia")->setText("2");
    w->VentLengths();
    QCOMPARE(caption(w.get(), "LblOriginalFb"), QStringLiteral("40.0 Hz"));
    // 1 in: 1.463e7 x 0.25 / 1600 / 1728 - 0.7315 = 0.5913805; 8 in: 1.463e7 x 16 / 1600 / 1728
    // - 5.852 = 78.8123519; 2 in as above, for the standard row and the user's.
    const QStringList lengths{"0.59''", "3.83''", "", "", "", "78.81''", "3.83''"};
    for (int k : {0, 1, 5, 6})
        QCOMPARE(caption(w.get(), QStringLiteral("LblVentLength(%1)").arg(k)), lengths[k]);
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
    QVERIFY(catcher.messages().isEmpty());
}

void TestBoxVent::customDiameter_data()
{
    for (const char *column : {"typed", "textAfter", "length"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<QStringList>("messages");
    // 1 cubic foot at 40 Hz, as in ventLengthFormula; letters are filtered out by the key handler.
    QTest::newRow("2 in") << "2" << "2.00" << "3.83''" << QStringList();
    QTest::newRow("8 in, with a letter") << "8x" << "8.00" << "78.81''" << QStringList();
    QTest::newRow("zero empties") << "0" << "" << "" << QStringList();
    QTest::newRow("two points") << "1.2.3" << "" << "" << QStringList{Program::NumberErrorText};
    QTest::newRow("empty") << "" << "" << "" << QStringList{Program::NumberErrorText};
    // A diameter whose square overflows a double.
    QTest::newRow("overflowing") << "1" + QString(200, u'0') << "" << "" << QStringList{Program::NumberErrorText};
}

void TestBoxVent::customDiameter()
{
    MessageCatcher catcher;
    auto w = windowWithModels(1, 1, 40);
    QLineEdit *dia = find<QLineEdit>(w.get(), "TxtVentDia");
    typeInto(dia, "4"); // an earlier diameter whose length must go
    settle();
    dia->clear();
    typeInto(dia, fetch<QString>("typed"));
    settle();
    QCOMPARE(dia->text(), fetch<QString>("textAfter"));
    QCOMPARE(caption(w.get(), "LblVentLength(6)"), fetch<QString>("length"));
    QCOMPARE(caption(w.get(), "LblVentLength(1)"), QString()); // only the user's row changes
    QCOMPARE(catcher.texts(), fetch<QStringList>("messages"));
}

// A real calculation ends with the vent lengths and the box dimensions of the models' results:
// Fs 30, Qts 0.4, Vas 3 cubic feet. Sealed at Qtc 0.707: 3 / ((0.707 / 0.4)^2 - 1) = 1.41239 cu ft,
// ratio B depth (1.41239 / 2.88)^(1/3) x 12 = 9.463 in. Vented (Qloss 7) 2.6995 cu ft at 30.4 Hz:
// 4 in vent (radius 2) 1.463e7 x 4 / 30.4^2 / (2.6995 x 1728) - 2.926 = 10.649 in.
void TestBoxVent::fullCalculationFillsTab()
{
    MessageCatcher catcher;
    auto w = freshWindow();
    setDriver(w.get(), "30", "0.4", "3");
    w->CmdCalculate_Click();
    settle();
    QVERIFY(catcher.messages().isEmpty());
    QCOMPARE(caption(w.get(), "LblOriginalFb"), QStringLiteral("30.4 Hz"));
    QCOMPARE(caption(w.get(), "LblOriginalCVol"), QStringLiteral("1.412 Cu. Ft."));
    QCOMPARE(caption(w.get(), "LblOriginalVVol"), QStringLiteral("2.700 Cu. Ft."));
    QCOMPARE(caption(w.get(), "LblCDepth(1)"), QStringLiteral("9.46''"));
    QCOMPARE(caption(w.get(), "LblVentLength(3)"), QStringLiteral("10.65''"));
    QCOMPARE(caption(w.get(), "LblVentLength(6)"), QString());
}

// 17 m/s itself is still quiet; only a speed over it is marked.
void TestBoxVent::ventSpeedLimit_data()
{
    QTest::addColumn<double>("speed");
    QTest::addColumn<bool>("tooFast");
    QTest::newRow("16.99 m/s") << 16.99 << false;
    QTest::newRow("exactly 17 m/s") << 17.0 << false;
    QTest::newRow("17.01 m/s") << 17.01 << true;
}

void TestBoxVent::ventSpeedLimit()
{
    QCOMPARE(ventTooFast(fetch<double>("speed")), fetch<bool>("tooFast"));
}

// Air speeds worked out by hand from v = 2 pi Fb Vd / Sv = 8 Fb Vd / D^2 (D in metres) and the
// narrowest vent d = sqrt(8 Fb Vd / 17), with the Input tab's Vd rules (Vd = Sd Xmax; Sd from
// 85 % of the diameter with pi as 3.1415926; Xmax = (coil height - gap) / 2).
void TestBoxVent::ventSpeeds_data()
{
    QTest::addColumn<QStringList>("input"); // TxtVd, TxtSd, TxtDia, TxtXmax, TxtVCHeight, TxtVCGap
    QTest::addColumn<double>("vbVented");
    QTest::addColumn<double>("fb");
    QTest::addColumn<QString>("customDia");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("speeds");
    QTest::addColumn<QString>("warnings"); // rows marked "too fast"
    QTest::addColumn<QString>("smallest");

    // Vd 0.1 l = 1e-4 m^3 at 40 Hz: 0.032 / D^2; 1 in (6.4516e-4 m^2) 49.600, 2 in 12.400, 3 in
    // 5.511, 4 in 3.100, 6 in 1.378, 8 in 0.775; d = sqrt(0.032 / 17) = 0.043386 m = 1.708 in.
    const QStringList typed{"0.1", "", "", "", "", ""};
    const QStringList typedSpeeds{"49.6 m/s", "12.4 m/s", "5.5 m/s", "3.1 m/s", "1.4 m/s", "0.8 m/s", "5.5 m/s"};
    QTest::newRow("Vd typed, inches") << typed << 1.0 << 40.0 << "3" << 0 << typedSpeeds << "0"
                                      << "Smallest vent diameter for 17 m/s: 1.71 in";
    QTest::newRow("Vd typed, litres") << typed << 1.0 << 40.0 << "3" << 1 << typedSpeeds << "0"
                                      << "Smallest vent diameter for 17 m/s: 4.34 cm";
    // Sd 500 cm^2 x Xmax 6 mm = 3e-4 m^3 at 30 Hz: 0.072 / D^2; 111.600, 27.900, 12.400, 6.975,
    // 3.100, 1.744; d = sqrt(0.072 / 17) = 0.065079 m = 2.562 in.
    const QStringList sdXmax{"", "500", "", "6", "", ""};
    const QStringList sdSpeeds{"111.6 m/s", "27.9 m/s", "12.4 m/s", "7.0 m/s", "3.1 m/s", "1.7 m/s", ""};
    QTest::newRow("Sd and Xmax, inches") << sdXmax << 2.0 << 30.0 << "" << 0 << sdSpeeds << "01"
                                         << "Smallest vent diameter for 17 m/s: 2.56 in";
    QTest::newRow("Sd and Xmax, cubic metres") << sdXmax << 2.0 << 30.0 << "" << 2 << sdSpeeds << "01"
                                               << "Smallest vent diameter for 17 m/s: 6.51 cm";
    // 10 in: 215.9 mm effective, Sd 36609.61 mm^2; coil 12 - 6 gives Xmax 3 mm, Vd 1.098288e-4 m^3,
    // which the Vd field shows as 0.110 l = 1.1e-4 m^3; at 35 Hz 0.0308 / D^2: 47.740, 11.935,
    // 5.304, 2.984, 1.326, 0.746, 2.5 in 7.638; d = sqrt(0.0308 / 17) = 0.042565 m = 1.676 in.
    const QStringList coil{"", "", "10", "", "12", "6"};
    const QStringList coilSpeeds{"47.7 m/s", "11.9 m/s", "5.3 m/s", "3.0 m/s", "1.3 m/s", "0.7 m/s", "7.6 m/s"};
    QTest::newRow("diameter and coil, inches") << coil << 1.5 << 35.0 << "2.5" << 0 << coilSpeeds << "0"
                                               << "Smallest vent diameter for 17 m/s: 1.68 in";
    QTest::newRow("diameter and coil, litres") << coil << 1.5 << 35.0 << "2.5" << 1 << coilSpeeds << "0"
                                               << "Smallest vent diameter for 17 m/s: 4.26 cm";
    // The limit: 2 in at 40 Hz is 320 Vd / 0.00258064 = 124000 Vd; 0.137 l gives 16.988 m/s (not
    // marked), 0.1372 l 17.013 m/s (marked, though both show 17.0); d = 1.9993 and 2.0008 in.
    const QStringList at17{"", "17.0 m/s", "", "", "", "", ""};
    QTest::newRow("17 m/s, just under") << QStringList{"0.137", "", "", "", "", ""} << 1.0 << 40.0 << "2"
                                        << 0 << QStringList{"68.0 m/s", "17.0 m/s", "7.6 m/s", "4.2 m/s",
                                                            "1.9 m/s", "1.1 m/s", "17.0 m/s"}
                                        << "0" << "Smallest vent diameter for 17 m/s: 2.00 in";
    QTest::newRow("17 m/s, just over") << QStringList{"0.1372", "", "", "", "", ""} << 1.0 << 40.0 << "2"
                                       << 0 << QStringList{"68.1 m/s", "17.0 m/s", "7.6 m/s", "4.3 m/s",
                                                           "1.9 m/s", "1.1 m/s", "17.0 m/s"}
                                       << "016" << "Smallest vent diameter for 17 m/s: 2.00 in";
}

void TestBoxVent::ventSpeeds()
{
    QFETCH(QStringList, input);
    QFETCH(int, unit);
    MessageCatcher catcher;
    auto w = windowWithModels(1, fetch<double>("vbVented"), fetch<double>("fb"));
    w->OptSealedVolumeBox[unit]->setChecked(true);
    QLineEdit *fields[6] = {w->TxtVd, w->TxtSd, w->TxtDia, w->TxtXmax, w->TxtVCHeight, w->TxtVCGap};
    for (int i = 0; i < 6; ++i)
        fields[i]->setText(input[i]);
    w->TxtVentDia->setText(fetch<QString>("customDia"));
    w->VentLengths();
    QStringList speeds, warnings;
    for (int k = 0; k < 7; ++k) {
        speeds << caption(w.get(), QStringLiteral("LblVentSpeed(%1)").arg(k));
        warnings << caption(w.get(), QStringLiteral("LblVentWarning(%1)").arg(k));
    }
    QCOMPARE(speeds, fetch<QStringList>("speeds"));
    for (int k = 0; k < 7; ++k)
        QCOMPARE(warnings[k], fetch<QString>("warnings").contains(QString::number(k)) ? "too fast" : "");
    QCOMPARE(caption(w.get(), "LblMinVentDia"), fetch<QString>("smallest"));
    // Only looked at: the Input tab keeps what was typed.
    for (int i = 0; i < 6; ++i)
        QCOMPARE(fields[i]->text(), input[i]);
    QVERIFY(catcher.messages().isEmpty());
}

void TestBoxVent::ventSpeedWithoutVd_data()
{
    QTest::addColumn<QStringList>("input"); // TxtVd, TxtSd, TxtDia, TxtXmax, TxtVCHeight, TxtVCGap
    QTest::addColumn<QString>("smallest");
    const QString enter = QStringLiteral("Enter Vd, or the cone area or diameter with Xmax, to see the air speed.");
    QTest::newRow("nothing") << QStringList{"", "", "", "", "", ""} << enter;
    QTest::newRow("zeros") << QStringList{"0", "0", "0", "0", "0", "0"} << enter;
    // GetVd would ask for the coil here; the speeds do not.
    QTest::newRow("Sd without Xmax or coil") << QStringList{"", "200", "", "", "12", ""} << enter;
    QTest::newRow("pasted, not a number") << QStringList{"1.2.3", "", "", "", "", ""} << enter;
    QTest::newRow("gap over coil height") << QStringList{"", "200", "", "", "4", "6"} << enter;
    QTest::newRow("Vd too large for a double") << QStringList{"1" + QString(400, u'0'), "", "", "", "", ""} << enter;
}

void TestBoxVent::ventSpeedWithoutVd()
{
    QFETCH(QStringList, input);
    MessageCatcher catcher;
    auto w = windowWithModels(1, 1, 40);
    QLineEdit *fields[6] = {w->TxtVd, w->TxtSd, w->TxtDia, w->TxtXmax, w->TxtVCHeight, w->TxtVCGap};
    for (int i = 0; i < 6; ++i)
        fields[i]->setText(input[i]);
    for (int k = 0; k < 7; ++k)
        w->LblVentSpeed[k]->setText("old");
    w->VentLengths();
    for (int k = 0; k < 7; ++k) {
        QCOMPARE(caption(w.get(), QStringLiteral("LblVentSpeed(%1)").arg(k)), QString());
        QCOMPARE(caption(w.get(), QStringLiteral("LblVentWarning(%1)").arg(k)), QString());
    }
    QCOMPARE(caption(w.get(), "LblMinVentDia"), fetch<QString>("smallest"));
    QCOMPARE(caption(w.get(), "LblVentLength(1)"), QStringLiteral("3.83''"));
    for (int i = 0; i < 6; ++i)
        QCOMPARE(fields[i]->text(), input[i]);
    QVERIFY(catcher.messages().isEmpty());
}

// Typed Vd 0.1 l, 1 cubic foot at 40 Hz as in ventSpeeds: Enter in the custom diameter sizes its
// row; the result unit rewrites the narrowest vent (1.708 in = 4.339 cm).
void TestBoxVent::ventSpeedFollowsCustomDiameterAndUnit()
{
    MessageCatcher catcher;
    auto w = freshWindow();
    QCOMPARE(caption(w.get(), "LblMinVentDia"), QString()); // no vented box yet
    w->VbVented = 1;
    w->Fb = 40;
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxVent);
    w->TxtVd->setText("0.1");
    w->VentLengths();
    QCOMPARE(caption(w.get(), "LblVentSpeed(6)"), QString());
    QLineEdit *dia = find<QLineEdit>(w.get(), "TxtVentDia");
    typeInto(dia, "1");
    settle();
    QCOMPARE(caption(w.get(), "LblVentSpeed(6)"), QStringLiteral("49.6 m/s"));
    QCOMPARE(caption(w.get(), "LblVentWarning(6)"), QStringLiteral("too fast"));
    typeInto(dia, "0");
    settle();
    QCOMPARE(caption(w.get(), "LblVentSpeed(6)"), QString());
    QCOMPARE(caption(w.get(), "LblVentWarning(6)"), QString());

    w->OptSealedVolumeBox[1]->click();
    QCOMPARE(caption(w.get(), "LblMinVentDia"), QStringLiteral("Smallest vent diameter for 17 m/s: 4.34 cm"));
    w->OptSealedVolumeBox[0]->click();
    QCOMPARE(caption(w.get(), "LblMinVentDia"), QStringLiteral("Smallest vent diameter for 17 m/s: 1.71 in"));
    QVERIFY(catcher.messages().isEmpty());
}

QTEST_MAIN(TestBoxVent)
#include "tst_boxvent.moc"
