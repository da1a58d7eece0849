// SPDX-License-Identifier: GPL-3.0-or-later
// The Analysis tab: its curves against closed forms, and the tab in the window.

#include "TestSupport.h"
#include "analysis/AnalysisCore.h"
#include "app/AnalysisTab.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QComboBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <complex>

using namespace kelvane::analysis;
using namespace testsupport;

namespace {

// A driver in both boxes: the sealed box for a Qtc (alpha = (Qtc/Qts)^2 - 1), the vented box as given.
Snapshot design(double fs, double qes, double qms, double vasLitres, double sd, double xmax, double re,
                double le, double qtc, double fb, double vbLitres, double ql)
{
    const double qts = qes * qms / (qes + qms), vas = vasLitres * 0.0353145, alpha = std::pow(qtc / qts, 2) - 1;
    Snapshot s{true, {"", fs, qts, qes, vas, 88, 100, sd, xmax, re, le}, {}};
    s.boxes.push_back({BoxKind::Sealed, vas / alpha, qtc * fs / qts, qtc, 0, 0, {}});
    s.boxes.push_back({BoxKind::Vented, vbLitres * 0.0353145, 0, 0, fb, ql, {{2, 0, false}}});
    return s;
}

// A: an 8-inch woofer (Sd 220 cm^2, Xmax 5 mm, Re 6.4); "A+Le" with Le 0.5 mH; "A free air" in a
// sealed box so large that Fc = Fs; B: the fourth-order Butterworth vented alignment (Qts 0.3827,
// h = 1, alpha = sqrt 2) with next to no leakage, and a Butterworth sealed box.
Snapshot driver(const QString &name)
{
    if (name == QLatin1String("B"))
        return design(30, 0.4, 1 / (1 / 0.382683 - 1 / 0.4), 50, 0.05, 0.008, 4, 0, 0.707107, 30, 50 / std::sqrt(2.0),
                      1e7);
    const double qts = 0.45 * 4 / 4.45;
    return design(30, 0.45, 4, 85, 0.022, 0.005, 6.4, name == QLatin1String("A+Le") ? 0.5e-3 : 0,
                  name == QLatin1String("A free air") ? qts * 1.0000001 : 0.707, 30, 60, 7);
}

} // namespace

class TestAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void curvesMatchClosedForms_data();
    void curvesMatchClosedForms();
    void ventedBoxShapes();
    void powerEntry_data();
    void powerEntry();
    void noDataTexts_data();
    void noDataTexts();
    void tabInTheWindow();
    void designFileSection_data();
    void designFileSection();
};

void TestAnalysis::curvesMatchClosedForms_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("graph");
    QTest::addColumn<int>("box"); // 0 sealed, 1 vented
    QTest::addColumn<int>("freq");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("tolerance"); // relative
    const int exc = int(Graph::Excursion), gd = int(Graph::GroupDelay), ph = int(Graph::Phase),
              z = int(Graph::Impedance);
    // Sealed excursion at 100 W: x0 / |1 - (f/Fc)^2 + j f/(Fc Qtc)| with the static
    // x0 = sqrt(2 P Cms / (2 pi Fs Qes)) / (1 + alpha), Cms = Vas / (rho c^2 Sd^2); Fc 52.44 Hz.
    QTest::newRow("A sealed excursion 10 Hz") << "A" << exc << 0 << 10 << 17.7615 << 1e-4;
    QTest::newRow("A sealed excursion 100 Hz") << "A" << exc << 0 << 100 << 4.71160 << 1e-4;
    // Sensitivity (88 dB) + 10 log10 P + 20 log10 of the second-order high-pass at Fc, Qtc 0.707;
    // the maximum level takes the lower of 100 W and the power (Xmax / x at 1 W)^2 (7.9 W at 10 Hz).
    const int spl = int(Graph::Spl), max = int(Graph::MaxSpl);
    QTest::newRow("A sealed SPL 100 Hz") << "A" << spl << 0 << 100 << 107.6828 << 1e-6;
    QTest::newRow("A sealed maximum SPL 10 Hz, excursion") << "A" << max << 0 << 10 << 68.1989 << 1e-6;
    QTest::newRow("A sealed maximum SPL 200 Hz, thermal") << "A" << max << 0 << 200 << 107.9793 << 1e-6;
    // Second-order high-pass: tau = (1/Q)(1 + x^2) / ((1 - x^2)^2 + x^2/Q^2) / (2 pi Fc),
    // phase = 180 - atan2(x/Q, 1 - x^2) degrees, x = f/Fc.
    QTest::newRow("A sealed group delay 10 Hz") << "A" << gd << 0 << 10 << 4.44328 << 1e-4;
    QTest::newRow("A sealed phase 10 Hz") << "A" << ph << 0 << 10 << 164.362 << 1e-4;
    // Free-air impedance peak Re (1 + Qms/Qes) at Fs.
    QTest::newRow("A free-air impedance peak") << "A free air" << z << 0 << 30 << 63.2889 << 1e-4;
    // Well above resonance: |Re + j(w Le - 2 pi Fs Re / (Qes w))|, the moving mass alone.
    QTest::newRow("A+Le impedance 500 Hz") << "A+Le" << z << 0 << 500 << 6.44009 << 5e-3;
    // B4 from its poles at 112.5, 157.5, 202.5 and 247.5 degrees: tau = sum sigma / (sigma^2 +
    // (x - w_k)^2) / (2 pi Fb), 3.6955 / (2 pi Fb) at Fb; phase 360 - sum arg(jx - p_k).
    QTest::newRow("B4 group delay 10 Hz") << "B" << gd << 1 << 10 << 14.5888 << 1e-4;
    QTest::newRow("B4 group delay at Fb") << "B" << gd << 1 << 30 << 19.6053 << 1e-4;
    QTest::newRow("B4 phase 10 Hz, past 180") << "B" << ph << 1 << 10 << 309.267 << 1e-4;
    QTest::newRow("B4 phase at Fb") << "B" << ph << 1 << 30 << 180.0 << 1e-4;
    QTest::newRow("B4 phase 60 Hz") << "B" << ph << 1 << 60 << 77.9632 << 1e-4;
    // Butterworth sealed group delay at Fc: sqrt(2) / (2 pi Fc) with Fc = 0.707107 30 / 0.382683.
    QTest::newRow("Butterworth sealed group delay at Fc") << "B" << -1 << 0 << 0 << 4.06060 << 1e-4;
}

void TestAnalysis::curvesMatchClosedForms()
{
    const Snapshot s = driver(fetch<QString>("name"));
    const double value = fetch<int>("graph") < 0
        ? groupDelay(transferOf(s.driver, s.boxes[0]), s.boxes[0].fc) * 1000
        : graphData(s, Graph(fetch<int>("graph")), 100, 0).curves.at(fetch<int>("box"))[fetch<int>("freq")];
    QVERIFY2(std::abs(value / fetch<double>("expected") - 1) < fetch<double>("tolerance"),
             qPrintable(QString::number(value, 'g', 8)));
}

void TestAnalysis::ventedBoxShapes()
{
    // The vent's flow follows the Helmholtz resonator's: v = w x Sd / Sv / |1 - (f/Fb)^2 + j f/(Fb Ql)|.
    const Snapshot s = driver(QStringLiteral("A"));
    const GraphData x = graphData(s, Graph::Excursion, 100, 0), v = graphData(s, Graph::VentSpeed, 100, 0);
    const GraphData z = graphData(s, Graph::Impedance, 100, 0);
    const double sv = M_PI * std::pow(2 * 0.0254 / 2, 2);
    int xMin = 10, zPeaks = 0, zMin = 10;
    for (int f = 10; f <= 500; ++f) {
        const double helmholtz = 2 * M_PI * f * x.curves[1][f] / 1000 * 0.022 / sv
                                 / std::abs(std::complex<double>(1 - std::pow(f / 30.0, 2), f / (30.0 * 7)));
        QVERIFY(std::abs(v.curves[1][f] / helmholtz - 1) < 1e-9);
        xMin = f < 60 && x.curves[1][f] < x.curves[1][xMin] ? f : xMin;
        if (f > 10 && f < 500 && z.curves[1][f] > z.curves[1][f - 1] && z.curves[1][f] > z.curves[1][f + 1])
            ++zPeaks;
        if (f > 15 && f < 60 && z.curves[1][f] < z.curves[1][zMin])
            zMin = f;
    }
    // Excursion minimum below 60 Hz and impedance minimum (between the two peaks) near Fb = 30 Hz.
    QVERIFY2(std::abs(xMin - 30) <= 2, qPrintable(QString::number(xMin)));
    QCOMPARE(zPeaks, 2);
    QVERIFY2(std::abs(zMin - 30) <= 3, qPrintable(QString::number(zMin)));
    QVERIFY(std::isnan(v.curves[0][100])); // a sealed box has no vent
    QCOMPARE(notes(s, 1e308, 0), QStringList{}); // no claim where the excursion overflows
}

// The power typed on the tab after Calculate Box with the driver's maximum power of 100 W.
void TestAnalysis::powerEntry_data()
{
    addStepColumns();
    const QString typed =
        QStringLiteral("TxtFs<30; TxtVas<85; TxtQts<.4; TxtPower<100; CmdCalculateInput; tab=7; TxtAnalysisPower<");
    QTest::newRow("plausible") << typed + "50" << "" << "TxtAnalysisPower=50";
    QTest::newRow("zero: the driver's power again") << typed + "0" << "number" << "TxtAnalysisPower=100";
    QTest::newRow("lone point") << typed + "." << "number" << "TxtAnalysisPower=100";
    QTest::newRow("above 10,000 W") << typed + "20000" << "unusual" << "TxtAnalysisPower=20000";
    QTest::newRow("below 0.1 W") << typed + "0.05" << "unusual" << "TxtAnalysisPower=0.05";
    QTest::newRow("letters filtered") << typed + "5x0" << "" << "TxtAnalysisPower=50";
}

void TestAnalysis::powerEntry()
{
    checkRow(freshWindow().get());
}

// A driver typed with Vd only (no Sd, Xmax or Re); the steps before the graph is chosen.
void TestAnalysis::noDataTexts_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("graph");
    QTest::addColumn<QString>("text");
    const QString sd = QStringLiteral("the cone area (Sd) or the diameter and Xmax (or the voice-coil height and gap) "
                                      "on the Input tab to see ");
    QTest::newRow("before Calculate Box") << "" << 0
        << "Enter the driver's data on the Input tab and press Calculate Box.";
    const QString calculated = QStringLiteral("TxtPower<100; CmdCalculateInput");
    QTest::newRow("Vd only: excursion") << calculated << int(Graph::Excursion) << "Enter " + sd + "the cone excursion.";
    QTest::newRow("Vd only: vent speed") << calculated << int(Graph::VentSpeed)
        << "Enter " + sd + "the vent air speed.";
    QTest::newRow("Vd only, no power: maximum SPL") << "CmdCalculateInput" << int(Graph::MaxSpl)
        << "Enter the maximum power and " + sd + "the maximum SPL.";
    QTest::newRow("no Re: impedance") << calculated << int(Graph::Impedance)
        << "Enter the woofer's Re on the Crossover tab to see the impedance.";
}

void TestAnalysis::noDataTexts()
{
    auto w = freshWindow();
    act(w.get(), "TxtFs<40; TxtVas<30; TxtQts<.45; TxtVd<.05; " + fetch<QString>("steps"));
    w->Analysis->CboAnalysisGraph->setCurrentIndex(fetch<int>("graph"));
    QCOMPARE(w->Analysis->PicAnalysis->texts().join(QLatin1Char(' ')), fetch<QString>("text"));
}

void TestAnalysis::tabInTheWindow()
{
    auto w = freshWindow();
    QCOMPARE(w->SSTab->tabText(FrmKelvane::TabAnalysis), QStringLiteral("Analysis"));
    // Re is typed after the frequency graph: the tab takes it when it is opened.
    act(w.get(), QStringLiteral("OptVas(1); TxtName<W8; TxtFs<30; TxtVas<85; TxtQts<.4; TxtQes<.45; TxtPower<100; "
                                "TxtSd<220; TxtXmax<5; CmdCalculateInput; CmdFrequency; TxtRe<6.4; tab=7"));
    AnalysisTab *tab = w->Analysis;

    // The level's response part is the frequency-response graph's curve (clipped there at -25 dB).
    const GraphData &spl = tab->shownData();
    for (int f = 10; f <= 499; ++f)
        for (auto [box, curve] : {std::pair{0, &w->State.SealedResponse}, {1, &w->State.VentedResponse}})
            QVERIFY(std::abs(std::max(spl.curves[box][f] - w->State.SPL - 20, -25.0) - (*curve)[f]) < 0.01);

    tab->CboAnalysisGraph->setCurrentIndex(int(Graph::Impedance));
    QVERIFY(!tab->shownData().curves.empty());
    tab->CboAnalysisGraph->setCurrentIndex(int(Graph::Excursion));
    tab->PicAnalysis->onMouseMove(graphgeo::graphX(10.2), 200);
    QCOMPARE(tab->TxtAnalysisXNum->text(), QStringLiteral("10 Hz"));
    QVERIFY(tab->TxtAnalysisSealedNum->text().endsWith(QStringLiteral(" mm")));

    // A design keeps the graph, the power and the vent; one saved before they were chosen (as a file
    // without them: the core's table) opens with the defaults again: the driver's power, and the
    // narrowest vent not too fast (Vd 0.11 l, Fb 30.4 Hz: 2 pi Fb Vd / Sv is 41 m/s in the 1 in vent,
    // 10 m/s in the 2 in one).
    InTempFolder here;
    QVERIFY(w->Files->saveDesign(QStringLiteral("before.kelvane")));
    typeInto(tab->TxtAnalysisPower, QStringLiteral("250"));
    tab->CboAnalysisVent->setCurrentIndex(4);
    QVERIFY(w->Files->saveDesign(QStringLiteral("after.kelvane")) && w->Files->exportCurves(QStringLiteral("c.csv")));
    QFile csv(QStringLiteral("c.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QVERIFY(csv.readLine().contains("Vented cone excursion at 250 W (mm),"));
    auto other = freshWindow();
    QVERIFY(other->Files->openDesign(QStringLiteral("after.kelvane")));
    QCOMPARE(other->SSTab->currentIndex(), int(FrmKelvane::TabAnalysis));
    QCOMPARE(other->Analysis->settings().power, QStringLiteral("250"));
    QCOMPARE(other->Analysis->CboAnalysisVent->currentText(), QStringLiteral("6 in"));
    QCOMPARE(other->Analysis->CboAnalysisGraph->currentIndex(), int(Graph::Excursion));
    QVERIFY(other->Files->openDesign(QStringLiteral("before.kelvane")));
    QCOMPARE(other->Analysis->TxtAnalysisPower->text(), QStringLiteral("100"));
    QCOMPARE(other->Analysis->CboAnalysisVent->currentText(), QStringLiteral("2 in"));
}

void TestAnalysis::designFileSection_data()
{
    QTest::addColumn<QByteArray>("section"); // the "analysis" entry of a file, or nothing
    QTest::addColumn<QString>("read");       // the settings read, or why the file was refused
    QTest::newRow("an earlier file: defaults") << QByteArray() << "graph 0, power \"\", vent -1";
    QTest::newRow("some entries") << QByteArray(R"({"CboAnalysisVent": 6})") << "graph 0, power \"\", vent 6";
    QTest::newRow("all") << QByteArray(R"({"CboAnalysisGraph": 6, "TxtAnalysisPower": "2.5", "CboAnalysisVent": -1})")
                         << "graph 6, power \"2.5\", vent -1";
    QTest::newRow("graph out of range")
        << QByteArray(R"({"CboAnalysisGraph": 7})") << "\"CboAnalysisGraph\" is not one of its options";
    QTest::newRow("vent out of range")
        << QByteArray(R"({"CboAnalysisVent": -2})") << "\"CboAnalysisVent\" is not one of its options";
    QTest::newRow("power a number")
        << QByteArray(R"({"TxtAnalysisPower": 100})") << "\"TxtAnalysisPower\" is not a text";
    QTest::newRow("not a group") << QByteArray("[]") << "\"analysis\" is not a group of entries";
}

void TestAnalysis::designFileSection()
{
    QFETCH(QByteArray, section);
    QJsonObject root = QJsonDocument::fromJson(kelvane::design::toJson({})).object();
    root.remove(QStringLiteral("analysis"));
    if (!section.isEmpty())
        root.insert(QStringLiteral("analysis"), QJsonDocument::fromJson("{\"a\": " + section + "}")["a"]);
    const kelvane::design::ReadResult r = kelvane::design::fromJson(QJsonDocument(root).toJson());
    const auto &a = r.design.analysis;
    const QString read = QStringLiteral("graph %1, power \"%2\", vent %3").arg(a.graph).arg(a.power).arg(a.vent);
    QCOMPARE(r.ok() ? read : r.reason, fetch<QString>("read"));
}

QTEST_MAIN(TestAnalysis)
#include "tst_analysis.moc"
