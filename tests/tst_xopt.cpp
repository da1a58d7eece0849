// SPDX-License-Identifier: GPL-3.0-or-later
// The crossover as built: the L-pad, the baffle step and its compensation, the coils' resistance,
// the part stress, the standard series, the suggested pad, the ladder walk against the nodal solve
// and the optimizer on synthetic drivers.

#include "crossover/Optimizer.h"

#include <QtTest>
#include <cmath>
#include <numbers>

using namespace crossover;
using cplx = std::complex<double>;

namespace {
constexpr double Pi = std::numbers::pi;

double db(cplx z) { return 20 * std::log10(std::abs(z)); }

// A built network of only the parts asked for, all series E12, resistive drivers of 8 ohms.
BuiltCrossover bare()
{
    BuiltCrossover b;
    b.tweeterOhms = 8;
    return b;
}

Input fourthOrder(double hz)
{
    Input in;
    in.type = 4, in.wooferOhms = 8, in.tweeterOhms = 8, in.wooferHz = hz, in.tweeterHz = hz;
    return in;
}

// The optimizer's input for the textbook design of `in` at the values `scale` times the textbook
// ones (alternately multiplied and divided) for the tweeter, the nearest E12 values for the woofer
// (the woofer's level as first built sets the target level), coil resistances typed as `dcr` when >= 0.
OptimizeInput optimizeInput(const Input &in, const DriverCurves &woofer, const DriverCurves &tweeter, double scale,
                            double dcr, PartSeries series)
{
    OptimizeInput o;
    o.design = design(in);
    o.grid = logGrid();
    o.woofer = woofer, o.tweeter = tweeter;
    o.acoustics = {0, o.design.tweeterSign < 0};
    o.start.woofer = o.design.woofer, o.start.tweeter = o.design.tweeter;
    o.start.series = series;
    o.start.tweeterOhms = in.tweeterOhms;
    o.start.woofer = usedSection(o.design.woofer, e12Values(o.design.woofer));
    for (std::size_t i = 0; i < o.start.tweeter.size(); ++i)
        o.start.tweeter[i].value *= i % 2 ? 1 / scale : scale;
    if (dcr >= 0) {
        o.start.wooferDcr.assign(o.start.woofer.size(), dcr);
        o.start.tweeterDcr.assign(o.start.tweeter.size(), dcr);
        o.wooferDcrTyped.assign(o.start.woofer.size(), true);
        o.tweeterDcrTyped.assign(o.start.tweeter.size(), true);
    }
    return o;
}
} // namespace

class TestXopt : public QObject {
    Q_OBJECT
private slots:
    // R1 = Z (1 - a), R2 = Z a / (1 - a), a = 10^(-A/20), worked by hand:
    // 6 dB: a = 0.501187, R1 = 3.9905, R2 = 8.0380; 20 dB: a = 0.1, R1 = 7.2, R2 = 0.8 / 0.9.
    void lPadValues_data()
    {
        QTest::addColumn<double>("dB");
        QTest::addColumn<double>("series");
        QTest::addColumn<double>("parallel");
        QTest::addColumn<bool>("used");
        QTest::newRow("6 dB into 8 ohms") << 6.0 << 3.9905 << 8.0380 << true;
        QTest::newRow("20 dB into 8 ohms") << 20.0 << 7.2 << 0.88889 << true;
        QTest::newRow("0 dB: no pad") << 0.0 << 0.0 << 0.0 << false;
        // a = 1 in doubles: the shunt would be an open circuit, which is no pad at all.
        QTest::newRow("1e-20 dB: no pad") << 1e-20 << 0.0 << 0.0 << false;
    }
    void lPadValues()
    {
        QFETCH(double, dB);
        QFETCH(double, series);
        QFETCH(double, parallel);
        QFETCH(bool, used);
        const LPad pad = lPad(dB, 8);
        QCOMPARE(pad.used, used);
        QVERIFY(std::abs(pad.series - series) < 1e-3);
        QVERIFY(std::abs(pad.parallel - parallel) < 1e-3);
    }

    // H(j w3) = (j + 1/sqrt2) / (j + sqrt2): |H|^2 = 1.5 / 3, -3.0103 dB; far below (1/sqrt2)/sqrt2 =
    // 1/2, -6.0206 dB; far above 1. f3 = 115 / 0.25 m = 460 Hz.
    void baffleShelf_data()
    {
        QTest::addColumn<double>("hz");
        QTest::addColumn<double>("level");
        QTest::newRow("at f3") << 460.0 << -3.0103;
        QTest::newRow("far below") << 0.5 << -6.0206;
        QTest::newRow("far above") << 460000.0 << 0.0;
    }
    void baffleShelf()
    {
        QFETCH(double, hz);
        QFETCH(double, level);
        QCOMPARE(baffleStepHz(0.25), 460.0);
        QVERIFY(std::abs(db(crossover::baffleShelf(hz, 460)) - level) < 0.01);
        Trace t{{90.0}, {0.0}};
        addBaffleStep(t, Grid{{hz}}, 460);
        QVERIFY(std::abs(t.db[0] - 90 - level) < 0.01);
    }

    // 8 ohms, f3 = 460 Hz. 100 %: A = 6.0206 dB, 10^(A/20) = 2, R = 8, L = 8 sqrt(1/2) / (2 pi 460)
    // = 1.9572 mH. 50 %: 10^(A/20) = sqrt2, R = 3.3137, L = 3.3137 sqrt(8 / 11.3137) / 2890.3 =
    // 0.9641 mH. Built (E12: 8.2 ohms, 1.8 mH; 3.3 ohms, 1.0 mH) and without coil resistance, in front
    // of an 8-ohm woofer: 0 dB where the coil passes, the divider 8 / (8 + R) where it blocks:
    // 20 log10(8 / 16.2) = -6.128 dB, 20 log10(8 / 11.3) = -3.000 dB.
    void baffleNetwork_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<double>("ohms");
        QTest::addColumn<double>("mH");
        QTest::addColumn<double>("highDb");
        QTest::newRow("100 %") << 100.0 << 8.0 << 1.9572 << -6.128;
        QTest::newRow("50 %") << 50.0 << 3.3137 << 0.9641 << -3.000;
    }
    void baffleNetwork()
    {
        QFETCH(double, percent);
        QFETCH(double, ohms);
        QFETCH(double, mH);
        QFETCH(double, highDb);
        const BaffleNetwork n = crossover::baffleNetwork(percent, 8, 460);
        QVERIFY(n.used);
        QVERIFY(std::abs(n.ohms - ohms) < 1e-3);
        QVERIFY(std::abs(n.henries * 1e3 - mH) < 1e-3);
        QCOMPARE(n.dcr, coilDcr(n.henries));
        QVERIFY(!crossover::baffleNetwork(0, 8, 460).used);
        BuiltCrossover b = bare();
        b.baffle = n;
        b.baffle.dcr = 0;
        const Grid g{{2, 200000}};
        const Loads loads{{8, 8}, {8, 8}};
        const TerminalVoltages v = ladderVoltages(b, loads, g);
        QVERIFY(std::abs(db(v.woofer[0])) < 0.01);
        QVERIFY(std::abs(db(v.woofer[1]) - highDb) < 0.01);
    }

    // 0.46 ohm (L / 1 mH)^0.6. A 1 mH coil of 0.46 ohm before 8 ohms: at 20 Hz (w L = 0.12566 ohm)
    // 8 / |8.46 + 0.12566 j| = 0.945523, -0.4866 dB; with a typed 1.54 ohm, 8 / |9.54 + 0.12566 j|,
    // -1.5299 dB. Both by the ladder walk and by the nodal solve.
    void coilResistance_data()
    {
        QTest::addColumn<double>("typed");
        QTest::addColumn<double>("level");
        QTest::newRow("default") << -1.0 << -0.4866;
        QTest::newRow("typed") << 1.54 << -1.5299;
    }
    void coilResistance()
    {
        QFETCH(double, typed);
        QFETCH(double, level);
        QVERIFY(std::abs(coilDcr(0.2e-3) - 0.175) < 0.001);
        QVERIFY(std::abs(coilDcr(3.3e-3) - 0.942) < 0.001);
        BuiltCrossover b = bare();
        b.woofer = lowPass(0, 8, 1000);
        b.woofer[0].value = 1e-3;
        if (typed >= 0)
            b.wooferDcr = {typed};
        const Grid g{{20}};
        const Loads loads{{8}, {8}};
        QVERIFY(std::abs(db(ladderVoltages(b, loads, g).woofer[0]) - level) < 1e-3);
        const Network n = builtNetwork(b);
        const Solution s = solve(n, loads, g);
        for (const Part &p : n.parts)
            if (p.kind == Part::Load && p.load == WooferLoad)
                QVERIFY(std::abs(db(partVoltage(s, p, 0)) - level) < 1e-3);
    }

    // 50 W into 8 ohms: 20 V rms. A Zobel of 10 ohms and 10 uF straight across the amplifier: the
    // resistor takes most at 20 kHz, 400 / (100 + 0.7958^2) * 10 = 39.75 W; the capacitor most at
    // 20 Hz, 20 V * 795.77 / |10 - 795.77 j| * sqrt2 = 28.28 V peak. A 6 dB pad (E12: 3.9 and 8.2
    // ohms) before an 8-ohm tweeter: 8.2 || 8 = 4.0494, I = 20 / 7.9494 = 2.5159 A, 24.69 W in the
    // series resistor, (2.5159 * 4.0494)^2 / 8.2 = 12.66 W in the parallel one. The 1 mH woofer coil
    // (0.46 ohm) before 8 ohms: at 20 Hz 20 / 8.4609 = 2.364 A.
    void stress()
    {
        BuiltCrossover b = bare();
        b.padDb = 6;
        b.woofer = lowPass(0, 8, 1000);
        b.woofer[0].value = 1e-3;
        // The Zobel across the amplifier: a woofer section of no parts.
        BuiltCrossover zobelOnly = bare();
        zobelOnly.zobel = {true, 10, 10e-6};
        const Grid g = logGrid();
        const Loads loads{std::vector<cplx>(g.size(), 8), std::vector<cplx>(g.size(), 8)};
        const auto z = partStress(builtNetwork(zobelOnly), loads, g, 50, 8);
        QCOMPARE(stressOf(z, PartGroup::Zobel, 0)->text, QStringLiteral("39.7 W"));
        QCOMPARE(stressOf(z, PartGroup::Zobel, 1)->text, QStringLiteral("28 V"));
        const auto s = partStress(builtNetwork(b), loads, g, 50, 8);
        QVERIFY(std::abs(stressOf(s, PartGroup::Pad, 0)->value - 24.69) < 0.02);
        QVERIFY(std::abs(stressOf(s, PartGroup::Pad, 1)->value - 12.66) < 0.02);
        QCOMPARE(stressOf(s, PartGroup::WooferSection, 0)->text, QStringLiteral("2.4 A"));
        QVERIFY(std::abs(stressOf(s, PartGroup::WooferSection, 0)->value - 2.364) < 0.002);
        const auto hot = resistorsOver(s);
        QCOMPARE(hot.size(), std::size_t(2)); // both pad resistors
        QCOMPARE(resistorsOver(s, 20).size(), std::size_t(1));
        QVERIFY(!stressOf(s, PartGroup::Driver, 0));
    }

    // E12 keeps nearestE12's values; E24 has the values between.
    void series_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("e12");
        QTest::addColumn<double>("e24");
        QTest::newRow("1.05") << 1.05 << 1.0 << 1.1;
        QTest::newRow("1.12") << 1.12 << 1.2 << 1.1;
        QTest::newRow("9.4 m") << 9.4e-3 << 10e-3 << 9.1e-3;
        QTest::newRow("3.99") << 3.99 << 3.9 << 3.9;
        QTest::newRow("6.3") << 6.3 << 6.8 << 6.2;
        QTest::newRow("97") << 97.0 << 100.0 << 100.0;
    }
    void series()
    {
        QFETCH(double, value);
        QFETCH(double, e12);
        QFETCH(double, e24);
        QCOMPARE(nearestInSeries(value, PartSeries::E12), nearestE12(value));
        QVERIFY(std::abs(nearestInSeries(value, PartSeries::E12) / e12 - 1) < 1e-12);
        QVERIFY(std::abs(nearestInSeries(value, PartSeries::E24) / e24 - 1) < 1e-12);
        const SeriesNeighbours n = seriesNeighbours(value, PartSeries::E24);
        QVERIFY(n.below <= value && n.above >= value && n.above / n.below < 1.11);
    }

    // Flat drivers: the tweeter 4.34 dB louder gives 4.3; 3 dB quieter gives 0 and the flag.
    void suggestPad()
    {
        const Grid g = logGrid();
        const DriverCurves w = nominalDriver(8, 88, g);
        const PadSuggestion louder = crossover::suggestPad(w.response, nominalDriver(8, 92.34, g).response, g, 2000, 3000);
        QCOMPARE(louder.db, 4.3);
        QVERIFY(!louder.tweeterQuieter);
        // A tweeter louder only below its crossover frequency (where it is not heard) is still quieter.
        DriverCurves t = nominalDriver(8, 85, g);
        for (std::size_t k = 0; k < g.size(); ++k)
            if (g.hz[k] < 2990)
                t.response.db[k] = 100;
        const PadSuggestion quieter = crossover::suggestPad(w.response, t.response, g, 2000, 3000);
        QCOMPARE(quieter.db, 0.0);
        QVERIFY(quieter.tweeterQuieter);
    }

    // The ladder walk gives the nodal solve's driver voltages on a network with every kind of part.
    void ladderAgreesWithNodal()
    {
        Input in = fourthOrder(2500);
        in.reOhms = 6, in.leHenries = 0.8e-3;
        const Design d = design(in);
        BuiltCrossover b = bare();
        b.woofer = d.woofer, b.tweeter = d.tweeter, b.zobel = d.zobel, b.padDb = 3.5;
        b.baffle = crossover::baffleNetwork(60, 8, 460);
        b.tweeterDcr = {0, 0.3, 0, 0.2};
        const Grid g = logGrid(200, 10000);
        Loads loads(2);
        for (double f : g.hz) {
            loads[0].push_back(cplx(6, 2 * Pi * f * 0.8e-3));
            loads[1].push_back(cplx(6 + f / 2000, 1));
        }
        const Network n = builtNetwork(b);
        const Solution s = solve(n, loads, g);
        const TerminalVoltages v = ladderVoltages(b, loads, g);
        for (const Part &p : n.parts)
            if (p.kind == Part::Load)
                for (std::size_t k = 0; k < g.size(); ++k)
                    QVERIFY(std::abs(partVoltage(s, p, k) - (p.load == WooferLoad ? v.woofer : v.tweeter)[k]) < 1e-9);
    }

    // Flat resistive drivers of equal level and coils of no resistance: the textbook network is the
    // ideal one, so from values 30 % off the search must find the target again.
    void optimizerFindsIdeal()
    {
        const Grid g = logGrid();
        const OptimizeInput o = optimizeInput(fourthOrder(2500), nominalDriver(8, 90, g), nominalDriver(8, 90, g),
                                              1.3, 0, PartSeries::E24);
        std::vector<double> seen;
        const OptimizeResult r = optimize(o, nullptr, [&seen](double f) { seen.push_back(f); });
        QVERIFY2(r.fromTargetBefore > 2, qPrintable(r.line));
        QVERIFY2(r.fromTargetUnsnapped <= 0.5, qPrintable(QString::number(r.fromTargetUnsnapped)));
        QVERIFY2(r.fromTargetAfter <= 1.0, qPrintable(r.line));
        QVERIFY(r.evaluations <= MaxEvaluations);
        QCOMPARE(seen.back(), 1.0);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        for (const Section *s : {&r.built.woofer, &r.built.tweeter})
            for (const Component &c : *s) {
                const double unit = c.kind == Component::Inductor ? 1e-3 : 1e-6;
                QCOMPARE(c.value, nearestInSeries(c.value / unit, PartSeries::E24) * unit);
            }
        // Typed resistances stay as typed.
        QCOMPARE(r.built.wooferDcr, o.start.wooferDcr);
        QVERIFY(r.line.startsWith(QStringLiteral("Sum within ±")));
        QVERIFY(r.line.contains(QStringLiteral(" dB from 200 Hz to 10 kHz (was ±")));
    }

    // A woofer of 6 ohms and 1 mH of voice coil (the textbook values assume a resistance) and a tweeter
    // 5 dB louder: far from the target; the optimizer at least halves the largest difference, and
    // the same input gives the same result. Coils get their default resistance for their new value.
    void optimizerImproves()
    {
        const Grid g = logGrid();
        DriverCurves woofer = nominalDriver(6, 88, g);
        for (std::size_t k = 0; k < g.size(); ++k)
            woofer.impedance[k] = cplx(6, 2 * Pi * g.hz[k] * 1e-3);
        OptimizeInput o = optimizeInput(fourthOrder(2000), woofer, nominalDriver(8, 93, g), 1, -1, PartSeries::E12);
        o.start.tweeter = usedSection(o.design.tweeter, e12Values(o.design.tweeter));
        const OptimizeResult r = optimize(o);
        QVERIFY2(r.fromTargetBefore >= 4, qPrintable(r.line));
        QVERIFY2(r.fromTargetAfter <= r.fromTargetBefore / 2, qPrintable(r.line));
        QVERIFY(r.built.padDb > 2);
        for (std::size_t i = 0; i < r.built.woofer.size(); ++i)
            if (r.built.woofer[i].kind == Component::Inductor)
                QCOMPARE(r.built.wooferDcr[i], coilDcr(r.built.woofer[i].value));
        const OptimizeResult again = optimize(o);
        QCOMPARE(again.line, r.line);
        QCOMPARE(again.built.padDb, r.built.padDb);
        for (std::size_t i = 0; i < r.built.tweeter.size(); ++i)
            QCOMPARE(again.built.tweeter[i].value, r.built.tweeter[i].value);
    }

    // Stopped: the start comes back unchanged, marked cancelled.
    void optimizerStops()
    {
        const Grid g = logGrid();
        const OptimizeInput o = optimizeInput(fourthOrder(2500), nominalDriver(8, 90, g), nominalDriver(8, 94, g),
                                              1.3, -1, PartSeries::E12);
        std::atomic<bool> stop = false;
        int calls = 0;
        const OptimizeResult r = optimize(o, &stop, [&](double) {
            if (++calls == 3)
                stop = true;
        });
        QVERIFY(r.cancelled);
        QCOMPARE(r.built.padDb, o.start.padDb);
        for (std::size_t i = 0; i < o.start.woofer.size(); ++i)
            QCOMPARE(r.built.woofer[i].value, o.start.woofer[i].value);
        QCOMPARE(r.withinAfter, r.withinBefore);
    }
};

QTEST_GUILESS_MAIN(TestXopt)
#include "tst_xopt.moc"
