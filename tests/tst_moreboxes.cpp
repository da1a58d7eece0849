// SPDX-License-Identifier: GPL-3.0-or-later
// The passive-radiator and fourth-order bandpass boxes: designs and captions from the pure core,
// and their curves on the Analysis tab against closed forms.

#include "analysis/AnalysisCore.h"
#include "moreboxes/MoreBoxesCore.h"

#include <QtTest>
#include <cmath>
#include <complex>

using namespace kelvane;
using namespace kelvane::moreboxes;
using analysis::Graph;

namespace {
constexpr double Pi = 3.14159265358979323846;

// A 12-inch woofer ('A') and a 6.5-inch one ('B').
analysis::DriverSnapshot driver(QChar which)
{
    analysis::DriverSnapshot d;
    d.sensitivity = 88, d.re = 6, d.maxPower = 100;
    if (which == QLatin1Char('A'))
        d.fs = 30, d.qts = 0.4, d.qes = 0.45, d.vas = 3, d.sd = 0.05, d.xmax = 0.008;
    else
        d.fs = 45, d.qts = 0.35, d.qes = 0.4, d.vas = 0.8, d.sd = 0.0133, d.xmax = 0.006;
    return d;
}

RadiatorInput radiator(double sd, double mms, double vas, int count, double vb, double fb, double qms = 5)
{
    RadiatorInput in;
    in.sd = sd, in.mms = mms, in.vas = vas, in.count = count, in.vb = vb, in.fb = fb, in.qms = qms;
    return in;
}

bool near(double a, double b, double tolerance) { return std::abs(a - b) <= tolerance * std::max(1.0, std::abs(b)); }

// One graph of one box at 1 W.
analysis::GraphData graph(const analysis::DriverSnapshot &d, const analysis::BoxSnapshot &box, Graph g)
{
    return analysis::graphData({true, d, {box}}, g, 1, -1);
}
} // namespace

class TestMoreBoxes : public QObject {
    Q_OBJECT
private slots:
    // Mass and notch by hand: Fp = Fb / sqrt(1 + N Vap/Vb), Mmp = rho c^2 Sdp^2 / ((2 pi Fp)^2 Vap) with
    // rho c^2 = 1.18 x 345^2 Pa. F3 and peak from a separate script solving the acoustic network
    // (impedances in SI units, leakage Q 7, radiator Q 5) by complex arithmetic.
    void radiatorDesign_data()
    {
        QTest::addColumn<QChar>("drv");
        QTest::addColumn<RadiatorInput>("in");
        QTest::addColumn<QStringList>("captions"); // added mass, Fp, F3, peak
        QTest::newRow("woofer, one radiator at the vented fit")
            << QChar('A') << radiator(500, 100, 2, 1, 2.6995, 30.4) << QStringList{"195.8 g", "23.0 Hz", "41.2 Hz", "No peak"};
        QTest::newRow("woofer, two radiators in a small box")
            << QChar('A') << radiator(500, 100, 2, 2, 1.5, 32)
            << QStringList{"462.3 g", "16.7 Hz", "42.4 Hz", "0.31 dB at 95.0 Hz"};
        QTest::newRow("6.5 inch, two radiators") << QChar('B') << radiator(200, 60, 0.5, 2, 0.35, 50)
                                                 << QStringList{"95.1 g", "25.5 Hz", "70.2 Hz", "No peak"};
        QTest::newRow("6.5 inch, radiator too heavy")
            << QChar('B') << radiator(200, 300, 0.5, 1, 0.5, 40)
            << QStringList{"-174.4 g: the radiator is too heavy for this tuning", "28.3 Hz", "81.9 Hz", "No peak"};
    }

    void radiatorDesign()
    {
        QFETCH(QChar, drv);
        QFETCH(RadiatorInput, in);
        QFETCH(QStringList, captions);
        const RadiatorCaptions c = radiatorCaptions(in, designRadiator(driver(drv), in, 7));
        QCOMPARE((QStringList{c.addedMass, c.fp, c.f3, c.peak}), captions);
    }

    // 6.5 mm from the same network script: the radiators' largest volume displacement over the cone's,
    // 10 to 500 Hz, times Vd = 0.05 m^2 x 8 mm, over Sdp. The rule: N Sdp Xmaxp against 2 x 0.4 litre.
    void radiatorExcursion_data()
    {
        QTest::addColumn<double>("xmax");
        QTest::addColumn<double>("vd"); // typed; -1: neither it nor the cone area
        QTest::addColumn<QString>("caption");
        const QString rule = " The radiators together displace less than twice the driver's Vd: use more or larger "
                             "radiators.";
        QTest::newRow("no Vd") << 15.0 << -1.0
                               << "Enter the driver's Vd, or its cone area or diameter with Xmax, to see the radiators' "
                                  "excursion.";
        QTest::newRow("no radiator Xmax") << 0.0 << 0.0 << "6.5 mm. Enter the radiator's Xmax to check its displacement.";
        QTest::newRow("rule met") << 20.0 << 0.0 << "6.5 mm of their Xmax of 20.0 mm.";
        QTest::newRow("rule not met") << 15.0 << 0.0 << "6.5 mm of their Xmax of 15.0 mm." + rule;
        QTest::newRow("over their Xmax") << 5.0 << 0.0 << "6.5 mm, over their Xmax of 5.0 mm." + rule;
        QTest::newRow("typed Vd of half") << 15.0 << 2e-4 << "3.2 mm of their Xmax of 15.0 mm.";
    }

    void radiatorExcursion()
    {
        QFETCH(double, xmax);
        QFETCH(double, vd);
        QFETCH(QString, caption);
        analysis::DriverSnapshot d = driver('A');
        RadiatorInput in = radiator(500, 100, 2, 1, 2.6995, 30.4);
        in.xmax = xmax, in.driverVd = std::max(vd, 0.0), d.sd = vd < 0 ? 0 : d.sd;
        QCOMPARE(radiatorCaptions(in, designRadiator(d, in, 7)).excursion, caption);
    }

    void radiatorCurves()
    {
        // Vap = Vb, one radiator, Fb = 25 sqrt(2) Hz: Fp = 25 Hz; nearly lossless.
        const analysis::DriverSnapshot d = driver('A');
        const RadiatorInput in = radiator(500, 100, 2, 1, 2, 25 * std::sqrt(2.0), 1e4);
        const analysis::BoxSnapshot box = radiatorBox(in, designRadiator(d, in, 1e9), 1e9);
        const analysis::Curve spl = graph(d, box, Graph::Spl).curves[0];
        QCOMPARE(std::min_element(spl.begin() + 15, spl.begin() + 41) - spl.begin(), 25); // the notch at Fp
        QVERIFY(spl[25] < std::min(spl[20], spl[30]) - 30);
        const analysis::GraphData x = graph(d, box, Graph::Excursion);
        const analysis::Curve &cone = x.curves[0];
        QCOMPARE(std::min_element(cone.begin() + 20, cone.begin() + 61) - cone.begin(), 35); // still at Fb
        // Radiators over cone volume, lossless: 1 / |1 + (Vb / N Vap)(1 - f^2 / Fp^2)|.
        QCOMPARE(x.extra.size(), std::size_t(1));
        for (int f : {10, 25, 50})
            QVERIFY(near(x.extra[0].values[f] * 0.05 / (cone[f] * 0.05), 1 / std::abs(2 - f * f / 625.0), 1e-3));
        // With a radiator of enormous compliance at the same tuning: the vented box of the program's own model.
        RadiatorInput soft = in;
        soft.vas = 1e10, soft.fb = 35, soft.qms = 5;
        const analysis::BoxSnapshot limit = radiatorBox(soft, designRadiator(d, soft, 7), 7);
        const analysis::BoxSnapshot vented{analysis::BoxKind::Vented, 2, 0, 0, 35, 7, {}};
        for (Graph g : {Graph::Spl, Graph::Excursion, Graph::GroupDelay, Graph::Phase, Graph::Impedance})
            for (int f : {20, 35, 70, 200})
                QVERIFY2(std::abs(graph(d, limit, g).curves[0][f] - graph(d, vented, g).curves[0][f]) < 0.01,
                         qPrintable(QString("graph %1 at %2 Hz").arg(int(g)).arg(f)));
    }

    // Published design equations: Qbp = 1 / (10^(-Pa/40) 2 S), Vf = (2 S Qts)^2 Vas, Vr = Vas / ((Qbp/Qts)^2 - 1),
    // Fb = Qbp Fs / Qts, Fl = (-b + sqrt(b^2 + 4 Qbp^2)) / 2 x Fs/Qts, Fh = Fl + b Fs/Qts with the tabled
    // b = 0.7206 for S = 0.7; worked by hand. Without losses (as the equations), S = 0.7 is flat at Pa dB;
    // S = 0.6 rises by its tabled ripple of 0.35 dB.
    void bandpassDesign_data()
    {
        QTest::addColumn<QChar>("drv");
        QTest::addColumn<double>("s");
        QTest::addColumn<double>("pa");
        QTest::addColumn<QList<double>>("chambers"); // Vr, Vf, Fb, Fl, Fh (NaN: not looked at)
        QTest::addColumn<QString>("gain");
        QTest::newRow("woofer, S 0.7, 3 dB")
            << QChar('A') << 0.7 << 3.0 << QList<double>{0.8561, 0.9408, 63.6698, 42.1444, 96.1894} << "3.0 dB";
        QTest::newRow("6.5 inch, S 0.7, 6 dB") << QChar('B') << 0.7 << 6.0
                                               << QList<double>{0.1094, 0.1921, 129.7228, 91.4217, 184.0703} << "6.0 dB";
        QTest::newRow("6.5 inch, S 0.6, 4 dB")
            << QChar('B') << 0.6 << 4.0 << QList<double>{0.1002, 0.1411, 134.8849, NAN, NAN} << "4.4 dB";
    }

    void bandpassDesign()
    {
        QFETCH(QChar, drv);
        QFETCH(double, s);
        QFETCH(double, pa);
        QFETCH(QList<double>, chambers);
        QFETCH(QString, gain);
        BandpassInput in;
        in.ripple = s, in.gain = pa;
        const BandpassDesign d = bandpassChambers(driver(drv), in);
        const BandpassResult r = evaluateBandpass(driver(drv), d, in, 1e9);
        const QList<double> got{d.rearVb, d.frontVb, d.fb, r.f3Low, r.f3High};
        const QList<double> tolerance{1e-4, 1e-4, 1e-3, 0.15, 0.15}; // the tabled b has four digits
        for (int i = 0; i < got.size(); ++i)
            QVERIFY2(std::isnan(chambers[i]) || std::abs(got[i] - chambers[i]) < tolerance[i], "column");
        QVERIFY(d.designed && d.note.isEmpty());
        QCOMPARE(bandpassCaptions(d, r, in).gain, gain);
    }

    void bandpassVentAndNotes()
    {
        // Vent length 1.463e7 R^2 / Fb^2 / Vf - 1.463 R on the woofer's front chamber (0.9408 cu ft, 63.67 Hz),
        // speed 2 pi Fb Vd / (pi r^2) for Vd = 0.4 litre; both by hand.
        BandpassInput in;
        in.ventDiameter = 4;
        BandpassDesign d = bandpassChambers(driver('A'), in);
        BandpassCaptions c = bandpassCaptions(d, evaluateBandpass(driver('A'), d, in, 7), in);
        QCOMPARE((QStringList{c.ventLength, c.ventSpeed}), (QStringList{"5.95''", "19.7 m/s, too fast"}));
        in.ventDiameter = 1;
        c = bandpassCaptions(d, evaluateBandpass(driver('A'), d, in, 7), in);
        QCOMPARE(c.ventLength, "Too narrow for the front chamber and tuning: choose a wider vent.");
        // The user's own chambers are taken as they are.
        in.rearVb = 1, in.frontVb = 2, in.fb = 50;
        d = bandpassChambers(driver('A'), in);
        QVERIFY(d.valid && !d.designed && d.rearVb == 1 && d.frontVb == 2 && d.fb == 50);
        // Qbp for 3 dB and S 0.7 is 0.849: a driver of Qts 0.9 has no positive rear chamber.
        analysis::DriverSnapshot high = driver('A');
        high.qts = 0.9, d = bandpassChambers(high, BandpassInput{});
        QVERIFY(!d.valid);
        QCOMPARE(d.note, "No bandpass box for this driver: its Qts of 0.90 is not below the Qbp of 0.85 this gain and "
                         "ripple need, so the rear chamber has no positive volume. More gain or a smaller S raises Qbp.");
    }

    void bandpassCurves()
    {
        const analysis::DriverSnapshot d = driver('A');
        BandpassInput in;
        in.ventDiameter = 4;
        const BandpassDesign des = bandpassChambers(d, in);
        const analysis::BoxSnapshot box = bandpassBox(des, in, evaluateBandpass(d, des, in, 7), 7);
        const double fb = des.fb, ar = d.vas / des.rearVb, af = d.vas / des.frontVb, fs = d.fs, qts = d.qts, ql = 7;
        for (int f : {30, 60, 120}) {
            // The published closed form of the fourth-order bandpass response, in hertz: F^2 / (G + jH) up to sign.
            const double a = std::pow(f, 4) / (fb * fb), b = (1 / ql + fs / fb / qts) / fb * std::pow(f, 3);
            const double c = (((1 + ar + af) * fs / fb + 1 / (qts * ql)) * fs / fb + 1) * f * f;
            const double dd = (1 / qts + fs / fb / ql * (ar + 1)) * fs * f, e = (ar + 1) * fs * fs;
            const std::complex<double> response = -double(f * f) / std::complex<double>(a - c + e, dd - b);
            QVERIFY(near(graph(d, box, Graph::Spl).curves[0][f], 88 + 20 * std::log10(std::abs(response)), 1e-9));
            const double phase = graph(d, box, Graph::Phase).curves[0][f] - std::arg(response) * 180 / Pi;
            QVERIFY(std::abs(std::remainder(phase, 360)) < 1e-6);
            // Vent over cone volume velocity: 1 / |1 - x^2 + j x / Ql|, x = f / Fb; vent area pi (2 in)^2.
            const double x = f / fb, cone = graph(d, box, Graph::Excursion).curves[0][f] / 1000 * 2 * Pi * f * 0.05;
            const double speed = cone / std::abs(std::complex<double>(1 - x * x, x / ql)) / (Pi * 0.0508 * 0.0508);
            QVERIFY(near(graph(d, box, Graph::VentSpeed).curves[0][f], speed, 1e-9));
        }
        // Without losses the front chamber's resonance at Fb holds the cone still: the impedance is Re alone.
        const analysis::BoxSnapshot lossless = bandpassBox(des, in, evaluateBandpass(d, des, in, 1e9), 1e9);
        QVERIFY(near(std::abs(analysis::motionAt(analysis::circuitOf(d), lossless, fb, 1).impedance), 6, 1e-6));
    }
};

QTEST_GUILESS_MAIN(TestMoreBoxes)
#include "tst_moreboxes.moc"
