// SPDX-License-Identifier: GPL-3.0-or-later
// The crossover simulated on its drivers: the nodal solver on hand-worked circuits and against the
// textbook ladders, the drivers' curves brought onto the grid (interpolation, bulk delay, minimum
// phase), the acoustic sum, the notes and the CSV text.

#include "common/Checked.h"
#include "crossover/MinimumPhase.h"
#include "crossover/Simulation.h"

#include <QtTest>
#include <cmath>
#include <numbers>

using namespace crossover;
using kelvane::driverdata::Curve;
using cplx = std::complex<double>;
using Values = std::vector<double>;
Q_DECLARE_METATYPE(Values)

namespace {
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Pi = std::numbers::pi;

double db(cplx z) { return 20 * std::log10(std::abs(z)); }
double deg(cplx z) { return std::arg(z) * 180 / Pi; }

Part part(Part::Kind kind, int a, int b, double value, double wire = 0)
{
    Part p;
    p.kind = kind, p.a = a, p.b = b, p.value = value, p.seriesOhms = wire;
    return p;
}

// A 2nd-order high-pass of quality q at fc: s^2 / (s^2 + s/q + 1), s = j f / fc.
cplx highPass2(double f, double fc, double q = 1 / std::numbers::sqrt2)
{
    const cplx s(0, f / fc);
    return s * s / (s * s + s / q + 1.0);
}

Simulation blank(const Values &hz)
{
    Simulation s;
    s.grid.hz = hz;
    const std::size_t n = hz.size();
    s.woofer = s.tweeter = s.sum = {Values(n, NaN), Values(n, NaN)};
    s.impedance.assign(n, cplx(8));
    return s;
}
} // namespace

class TestCrossoverSim : public QObject {
    Q_OBJECT
private slots:
    void grid()
    {
        const Grid g = logGrid();
        QCOMPARE(g.hz.front(), 20.0);
        QCOMPARE(g.hz.back(), 20000.0);
        // log2(1000) = 9.966 octaves at 48 to the octave: 479 steps, 480 points.
        QCOMPARE(g.size(), std::size_t(480));
        QVERIFY(std::log2(g.hz[1] / g.hz[0]) <= 1.0 / 48);
    }

    // Expected values by complex arithmetic by hand (Python's cmath), independent of the solver.
    void handWorked_data()
    {
        QTest::addColumn<double>("hz");
        QTest::addColumn<bool>("secondOrder");
        QTest::addColumn<double>("levelDb");
        QTest::addColumn<double>("phaseDeg");
        QTest::addColumn<double>("inputOhms");
        QTest::addColumn<double>("inputDeg");
        // 1 mH with 0.5 ohm of wire into 8 ohms: H = 8 / (8.5 + j w L), Zin = 8.5 + j w L.
        QTest::newRow("series RL, 100 Hz") << 100.0 << false << -0.5502 << -4.228 << 8.5232 << 4.228;
        QTest::newRow("series RL, 1 kHz") << 1000.0 << false << -2.4198 << -36.472 << 10.5702 << 36.472;
        QTest::newRow("series RL, 10 kHz") << 10000.0 << false << -17.9806 << -82.296 << 63.4042 << 82.296;
        // 0.6 mH in series, 10 uF across a woofer of 6 ohms + 0.5 mH: Zp = 1 / (j w C + 1/Zl),
        // H = Zp / (j w L + Zp), Zin = j w L + Zp.
        QTest::newRow("2nd order on R + Le, 500 Hz") << 500.0 << true << -0.5009 << -16.113 << 6.7795 << 19.569;
        QTest::newRow("2nd order on R + Le, 2 kHz") << 2000.0 << true << 0.852 << -41.386 << 10.0615 << 13.301;
        QTest::newRow("2nd order on R + Le, 5 kHz") << 5000.0 << true << -11.8105 << -174.106 << 15.0118 << 88.797;
    }

    void handWorked()
    {
        QFETCH(double, hz);
        QFETCH(bool, secondOrder);
        QFETCH(double, levelDb);
        QFETCH(double, phaseDeg);
        QFETCH(double, inputOhms);
        QFETCH(double, inputDeg);
        const Grid g{{hz}};
        Network n;
        n.nodeCount = 3;
        Loads loads;
        Part load;
        if (secondOrder) {
            n.parts = {part(Part::Inductor, 1, 2, 0.6e-3), part(Part::Capacitor, 2, 0, 10e-6)};
            load = part(Part::Load, 2, 0, 0);
            loads = {{cplx(6, 2 * Pi * hz * 0.5e-3)}};
        } else {
            n.parts = {part(Part::Inductor, 1, 2, 1e-3, 0.5)};
            load = part(Part::Resistor, 2, 0, 8);
        }
        n.parts.push_back(load);
        const Solution s = solve(n, loads, g);
        const cplx h = partVoltage(s, load, 0);
        QVERIFY(std::abs(db(h) - levelDb) < 1e-3);
        QVERIFY(std::abs(deg(h) - phaseDeg) < 1e-3);
        QVERIFY(std::abs(std::abs(s.inputImpedance[0]) - inputOhms) < 1e-3);
        QVERIFY(std::abs(deg(s.inputImpedance[0]) - inputDeg) < 1e-3);
        // The amplifier's current is the current through the first part.
        QVERIFY(std::abs(partCurrent(s, n.parts[0], loads, g, 0) - 1.0 / s.inputImpedance[0]) < 1e-12);
    }

    // A node connected to nothing, or a part of no value, is a fault, not a number.
    void faults()
    {
        Network n;
        n.nodeCount = 4;
        n.parts = {part(Part::Resistor, 1, 2, 8), part(Part::Resistor, 2, 0, 8)};
        QVERIFY_THROWS_EXCEPTION(kelvane::CalcFault, solve(n, {}, Grid{{1000}}));
        n.nodeCount = 3;
        n.input = 3;
        QVERIFY_THROWS_EXCEPTION(kelvane::CalcFault, solve(n, {}, Grid{{1000}}));
        n.input = 1;
        n.parts[0].value = 0;
        QVERIFY_THROWS_EXCEPTION(kelvane::CalcFault, solve(n, {}, Grid{{1000}}));
        n.parts = {part(Part::Resistor, 1, 2, 8), part(Part::Load, 2, 0, 0)};
        QVERIFY_THROWS_EXCEPTION(kelvane::CalcFault, solve(n, {{cplx(NaN, 0)}}, Grid{{1000}}));
    }

    // The values as built start at the E12 values the part list shows, in its units (mH, uF).
    void asBuilt()
    {
        const Section s{{Component::Inductor, false, 0.424e-3}, {Component::Capacitor, true, 6.63e-6}};
        const Values e12 = e12Values(s);
        QVERIFY(std::abs(e12[0] - 0.39e-3) < 1e-12 && std::abs(e12[1] - 6.8e-6) < 1e-15);
        QCOMPARE(usedSection(s, {1e-3, 2e-6})[1].value, 2e-6);
        const Zobel z = e12Zobel({true, 7, 16.3e-6});
        QVERIFY(z.used && z.ohms == 6.8 && std::abs(z.farads - 15e-6) < 1e-15);
    }

    // On resistive drivers, without the Zobel and at the design's exact values, the network agrees
    // with the textbook transfer of each ladder and their sum (crossover::levels).
    void textbookLevels_data()
    {
        QTest::addColumn<int>("type");
        for (int type = 0; type < TypeCount; ++type)
            QTest::newRow(alignment(type).name) << type;
    }

    void textbookLevels()
    {
        QFETCH(int, type);
        Input in;
        in.type = type, in.wooferOhms = 8, in.tweeterOhms = 6, in.wooferHz = 2000, in.tweeterHz = 2500;
        in.reOhms = 5.6, in.leHenries = 0.8e-3; // a Zobel the simulation is asked to leave out
        const Design d = design(in);
        const Grid g = logGrid();
        const Simulation s = simulate(twoWayNetwork(d.woofer, d.tweeter, Zobel{}), nominalDriver(8, 0, g),
                                      nominalDriver(6, 0, g), {0, d.tweeterSign < 0}, g);
        for (std::size_t k = 0; k < g.size(); ++k) {
            const Levels l = levels(d, g.hz[k]);
            QVERIFY2(std::abs(s.woofer.db[k] - l.woofer) < 0.01 && std::abs(s.tweeter.db[k] - l.tweeter) < 0.01
                         && std::abs(s.sum.db[k] - l.sum) < 0.01,
                     qPrintable(QString::number(g.hz[k])));
        }
    }

    // Two flat drivers of 8 ohms at 90 dB straight on the amplifier, the tweeter 171.5 mm behind:
    // 0.5 ms later, -45 degrees at 250 Hz, so the sum is 90 + 20 log10 |1 + e^(-j 45 deg)|.
    // Reversed, it adds 180 degrees. The woofer has no data at the last point: no sum there.
    void acousticSum_data()
    {
        QTest::addColumn<bool>("reversed");
        QTest::addColumn<Values>("sum");
        QTest::addColumn<Values>("tweeterPhase");
        QTest::newRow("normal") << false << Values{95.333, 93.010, 96.021, NaN} << Values{-45, -90, -360, -720};
        QTest::newRow("reversed") << true << Values{87.677, 93.010, -1000, NaN} << Values{135, 90, -180, -540};
    }

    void acousticSum()
    {
        QFETCH(bool, reversed);
        QFETCH(Values, sum);
        QFETCH(Values, tweeterPhase);
        const Grid g{{250, 500, 2000, 4000}};
        DriverCurves woofer = nominalDriver(8, 90, g);
        woofer.response.db[3] = NaN;
        const Simulation s = simulate(twoWayNetwork({}, {}, Zobel{}), woofer, nominalDriver(8, 90, g),
                                      {171.5, reversed}, g);
        for (std::size_t k = 0; k < g.size(); ++k) {
            QVERIFY(std::abs(s.tweeter.phaseDeg[k] - tweeterPhase[k]) < 1e-6);
            if (std::isnan(sum[k]))
                QVERIFY(!s.sum.has(k));
            else if (sum[k] > -1000)
                QVERIFY2(std::abs(s.sum.db[k] - sum[k]) < 1e-3, qPrintable(QString::number(s.sum.db[k])));
            else
                QVERIFY(!(s.sum.db[k] > 0)); // cancelled
        }
        QCOMPARE(s.impedance[0], cplx(4)); // both drivers in parallel
    }

    // Response: level linear in log f (80 and 90 dB a decade apart: 85 dB half way), nothing outside
    // the file. Impedance: log-log (4 and 16 ohms a decade apart: 8 ohms half way), phase linear in
    // log f, held at the ends.
    void interpolation()
    {
        const Grid g{{50, std::sqrt(1e5), std::sqrt(1e7), 20000}};
        const Curve response{QString(), {100, 1000, 10000}, {80, 90, 70}, {0, 0, 0}};
        const Trace t = responseOnGrid(response, g);
        QVERIFY(std::isnan(t.db[0]) && std::isnan(t.db[3]) && std::isnan(t.phaseDeg[3]));
        QVERIFY(std::abs(t.db[1] - 85) < 1e-9 && std::abs(t.db[2] - 80) < 1e-9);
        const Curve impedance{QString(), {100, 1000, 10000}, {4, 16, 16}, {10, 30, -30}};
        const std::vector<cplx> z = impedanceOnGrid(impedance, g);
        const Values ohms{4, 8, 16, 16}, phase{10, 20, 0, -30};
        for (std::size_t k = 0; k < g.size(); ++k)
            QVERIFY(std::abs(std::abs(z[k]) - ohms[k]) < 1e-9 && std::abs(deg(z[k]) - phase[k]) < 1e-9);
    }

    // A tweeter measured 0.4 ms away (a 2nd-order high-pass at 2 kHz), 12 points per octave from
    // 200 Hz to 20 kHz, its phase wrapped: near 20 kHz it turns by about 170 degrees per point. On
    // the grid the phase must be the exact one (high-pass phase - 360 f tau) but for one whole
    // number of turns, the same everywhere (no jump where it was unwrapped).
    void bulkDelayUnwrap()
    {
        const double tau = 0.4e-3;
        Curve c;
        for (double f = 200; f < 20001; f *= std::pow(2.0, 1.0 / 12)) {
            const cplx h = highPass2(f, 2000) * std::polar(1.0, -2 * Pi * f * tau);
            c.hz.push_back(f), c.magnitude.push_back(90 + db(h)), c.phaseDeg.push_back(deg(h));
        }
        QVERIFY(std::abs(bulkDelay(c.hz, c.phaseDeg) - tau) < 0.02e-3);
        const Grid g = logGrid();
        const Trace t = responseOnGrid(c, g);
        double turns = NaN;
        for (std::size_t k = 0; k < g.size(); ++k) {
            if (g.hz[k] < c.hz.front() || g.hz[k] > c.hz.back())
                continue;
            const double exact = deg(highPass2(g.hz[k], 2000)) - 360 * g.hz[k] * tau;
            const double off = t.phaseDeg[k] - exact;
            if (std::isnan(turns))
                turns = std::round(off / 360);
            QVERIFY2(std::abs(off - 360 * turns) < 0.1, qPrintable(QStringLiteral("%1 Hz: %2").arg(g.hz[k]).arg(off)));
        }
    }

    // The minimum phase of a magnitude alone against the exact phase of a known minimum-phase
    // system, both sampled 10 Hz to 40 kHz at 24 points per octave. The impedance is held above the
    // file, where the coil's would go on rising, so its phase falls a few degrees short at the top.
    void minimumPhase_data()
    {
        QTest::addColumn<bool>("impedance");
        QTest::addColumn<double>("fromHz");
        QTest::addColumn<double>("toHz");
        QTest::addColumn<double>("toleranceDeg");
        QTest::newRow("2nd-order high-pass at 50 Hz") << false << 40.0 << 10000.0 << 3.0;
        QTest::newRow("impedance of 6 ohms and 0.5 mH") << true << 20.0 << 5000.0 << 6.0;
    }

    void minimumPhase()
    {
        QFETCH(bool, impedance);
        QFETCH(double, fromHz);
        QFETCH(double, toHz);
        QFETCH(double, toleranceDeg);
        const auto exact = [impedance](double f) {
            return impedance ? cplx(6, 2 * Pi * f * 0.5e-3) : highPass2(f, 50);
        };
        Curve c;
        for (double f = 10; f < 40001; f *= std::pow(2.0, 1.0 / 24))
            c.hz.push_back(f), c.magnitude.push_back(impedance ? std::abs(exact(f)) : 85 + db(exact(f)));
        const Grid g = logGrid();
        Values phase;
        if (impedance)
            for (cplx z : impedanceOnGrid(c, g))
                phase.push_back(deg(z));
        else
            phase = responseOnGrid(c, g).phaseDeg;
        for (std::size_t k = 0; k < g.size(); ++k) {
            if (g.hz[k] < fromHz || g.hz[k] > toHz)
                continue;
            const double error = wrapDeg(phase[k] - deg(exact(g.hz[k])));
            QVERIFY2(std::abs(error) < toleranceDeg, qPrintable(QStringLiteral("%1 Hz: %2").arg(g.hz[k]).arg(error)));
        }
    }

    // The woofer without files in a sealed box of Qtc 0.707 at 40 Hz, Re 4 ohms, 88 dB at 1 W:
    // 88 + 10 log10(2.83^2 / 4) = 91.015 dB at 2.83 V, 3.01 dB down at Fc (|H| = Qtc there).
    void modelledWoofer()
    {
        kelvane::analysis::DriverSnapshot d;
        d.fs = 30, d.qts = 0.4, d.qes = 0.45, d.vas = 3, d.sensitivity = 88, d.re = 4;
        kelvane::analysis::BoxSnapshot box;
        box.kind = kelvane::analysis::BoxKind::Sealed, box.vb = 1.5, box.fc = 40, box.qtc = 0.707;
        const Grid g{{40, 2000}};
        const DriverCurves w = crossover::modelledWoofer(d, box, g);
        QVERIFY(std::abs(w.response.db[0] - (91.015 - 3.012)) < 0.01);
        QVERIFY(std::abs(w.response.db[1] - 91.015) < 0.01);
        QVERIFY(std::abs(std::abs(w.impedance[1]) - 4) < 0.05); // far above resonance: Re
        d.re = 0;
        QVERIFY_THROWS_EXCEPTION(kelvane::CalcFault, crossover::modelledWoofer(d, box, g));
    }

    void notes()
    {
        Simulation s = blank({200, 300, 1000, 10000, 20000});
        s.impedance = {cplx(8), cplx(0, 5.08), cplx(6), cplx(7), cplx(12)};
        s.grid.hz[1] = 180.2;
        QCOMPARE(lowestImpedanceNote(s), QStringLiteral("The amplifier sees 5.1 ohms at 180 Hz at least"));
        s.grid.hz[1] = 300;
        s.sum.db = {NaN, 91, 93.6, 90, NaN};
        QCOMPARE(sumNote(s), QStringLiteral("The sum stays within ±1.8 dB from 300 Hz to 10 kHz"));
        QCOMPARE(withinDb(s.sum, s.grid, 5000, 20000), 0.0);
        s.sum.db = Values(5, NaN);
        QCOMPARE(sumNote(s), QString());
    }

    void csv()
    {
        Simulation s = blank({20, 20.2905123456, 20000});
        s.woofer = {{85.123456789, 0.5, NaN}, {-190, 180, NaN}};
        s.tweeter = {{NaN, 60.0000001, 90}, {NaN, 900.25, -725.5}};
        s.sum = {{NaN, 85.1, NaN}, {NaN, -180, NaN}};
        s.impedance = {cplx(6.2), std::polar(12.3456789, Pi / 4), cplx(0, -0.5)};
        QCOMPARE(simulationCsv(s),
                 QStringLiteral("Frequency (Hz),Woofer (dB),Woofer phase (deg),Tweeter (dB),Tweeter phase (deg),"
                                "Sum (dB),Sum phase (deg),Impedance (ohm),Impedance phase (deg)\n"
                                "20,85.1235,170.00,,,,,6.2,0.00\n"
                                "20.2905,0.5,180.00,60,-179.75,85.1,180.00,12.3457,45.00\n"
                                "20000,,,90,-5.50,,,0.5,-90.00\n"));
    }
};

QTEST_GUILESS_MAIN(TestCrossoverSim)
#include "tst_crossoversim.moc"
