// SPDX-License-Identifier: GPL-3.0-or-later
// Measuring a driver and a built vented box from impedance curves that the tests make themselves:
// the lumped circuit of a driver of known parts (SI units) as a measuring jig sees it, in free air,
// with a mass on the cone, in a sealed test box or in a vented box, sampled at 500 frequencies from
// 10 Hz to 20 kHz, with and without phase, with and without a fixed-seed noise of 1 %. The
// expected values are the closed forms of the same parts, never the code under test.

#include "measure/MeasureCore.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <complex>
#include <functional>
#include <random>

using namespace kelvane::measure;
using Complex = std::complex<double>;

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double RhoC2 = 1.18 * 345 * 345; // the program's air, Pa

struct Jig {
    double re, le, l2, r2; // ohms, H, H, ohms
    double bl, mms, cms, rms, sd; // T m, kg, m/N, N s/m, m^2
    double fs() const { return 1 / (2 * Pi * std::sqrt(mms * cms)); }
    double qms() const { return 2 * Pi * fs() * mms / rms; }
    double qes() const { return 2 * Pi * fs() * mms * re / (bl * bl); }
    double vasLitres() const { return RhoC2 * sd * sd * cms * 1000; }
    // Im(Zcoil) / w at 1 kHz: Le + L2 R2^2 / (R2^2 + (w L2)^2).
    double le1k() const { const double x = 2 * Pi * 1000 * l2; return l2 > 0 ? le + l2 * r2 * r2 / (r2 * r2 + x * x) : le; }
};
// A 10-inch woofer with a plain coil (Fs 30.6 Hz, Zmax 43.1 ohms); a 6.5-inch one with a lossy
// coil whose |Z| at 20 kHz (58.7 ohms) stands above its resonance peak (51.1 ohms at 53.1 Hz).
const Jig Woofer{5.6, 0.9e-3, 0, 0, 7.5, 0.030, 0.9e-3, 1.5, 0.022};
const Jig Mid{5.8, 0.45e-3, 0.5e-3, 7, 6.2, 0.012, 0.75e-3, 0.85, 0.0132};

// The box behind the cone: none (0 volume), sealed, or vented (tuning and leakage Q).
struct Box {
    double litres = 0, fb = 0, ql = 0;
};

// Zcoil + Bl^2 / (Rms + j w (Mms + added) + 1 / (j w Cms) + Sd^2 Zbox).
Complex jigImpedance(const Jig &j, double f, double addedKg = 0, Box box = {})
{
    const Complex jw(0, 2 * Pi * f);
    Complex coil = j.re + jw * j.le;
    if (j.l2 > 0)
        coil += jw * j.l2 * j.r2 / (j.r2 + jw * j.l2);
    Complex zb = 0;
    if (box.litres > 0) {
        const double cab = box.litres / 1000 / RhoC2;
        Complex yb = jw * cab;
        if (box.fb > 0)
            yb += 1.0 / (jw / (std::pow(2 * Pi * box.fb, 2) * cab)) + 2 * Pi * box.fb * cab / box.ql;
        zb = 1.0 / yb;
    }
    return coil + j.bl * j.bl / (j.rms + jw * (j.mms + addedKg) + 1.0 / (jw * j.cms) + j.sd * j.sd * zb);
}

// 500 rows log-spaced from `from` Hz to 20 kHz; noise: |Z| times 1 + n u and the phase plus n u
// radians, u uniform in -1..1 from a fixed seed.
Curve sampled(const QString &name, const std::function<Complex(double)> &z, bool phase, double noise, double from = 10)
{
    Curve c;
    c.fileName = name;
    std::mt19937 rng(20240601);
    const auto u = [&rng] { return 2.0 * rng() / 4294967295.0 - 1; };
    for (int i = 0; i < 500; ++i) {
        const double f = from * std::pow(20000 / from, i / 499.0);
        const Complex v = z(f);
        c.hz.push_back(f);
        c.magnitude.push_back(std::abs(v) * (1 + noise * u()));
        if (phase)
            c.phaseDeg.push_back((std::arg(v) + noise * u()) * 180 / Pi);
    }
    return c;
}

// The frequency of the lowest |Z| between a and b Hz, by a search in steps of 0.001 %.
double lowestBetween(const std::function<Complex(double)> &z, double a, double b)
{
    double lowest = a;
    for (double f = a; f < b; f *= 1.00001)
        if (std::abs(z(f)) < std::abs(z(lowest)))
            lowest = f;
    return lowest;
}

QByteArray zmaText(const Curve &c)
{
    QByteArray out;
    for (std::size_t i = 0; i < c.hz.size(); ++i)
        out += QByteArray::number(c.hz[i], 'g', 9) + ' ' + QByteArray::number(c.magnitude[i], 'g', 9) + ' '
               + QByteArray::number(c.phaseDeg[i], 'g', 9) + '\n';
    return out;
}

#define NEAR(actual, expected, tolerance)                                                                        \
    QVERIFY2(std::abs((actual) / (expected) - 1) <= (tolerance),                                                 \
             qPrintable(QStringLiteral(#actual " = %1, expected %2").arg(actual).arg(expected)))

} // namespace

class TestMeasure : public QObject
{
    Q_OBJECT

private slots:
    void driverParameters_data()
    {
        QTest::addColumn<bool>("mid");
        QTest::addColumn<bool>("phase");
        QTest::addColumn<double>("noise");
        QTest::addColumn<bool>("reTyped");
        QTest::addColumn<bool>("testBox");
        QTest::newRow("woofer, phase, Re typed, added mass") << false << true << 0.0 << true << false;
        QTest::newRow("woofer, magnitude only, Re fitted, test box") << false << false << 0.0 << false << true;
        QTest::newRow("woofer, phase, 1 % noise, Re fitted, test box") << false << true << 0.01 << false << true;
        QTest::newRow("lossy coil, phase, 1 % noise, Re fitted, added mass") << true << true << 0.01 << false << false;
        QTest::newRow("lossy coil, magnitude only, 1 % noise, Re typed, added mass") << true << false << 0.01 << true << false;
        QTest::newRow("lossy coil, magnitude only, Re fitted, test box") << true << false << 0.0 << false << true;
    }

    // Standard-method and fitted values within 2 % of the parts' closed forms, Vas within 5 %.
    void driverParameters()
    {
        QFETCH(bool, mid);
        QFETCH(bool, phase);
        QFETCH(double, noise);
        QFETCH(bool, reTyped);
        QFETCH(bool, testBox);
        const Jig &j = mid ? Mid : Woofer;
        const FreeAir fa = measureFreeAir(sampled("free.zma", [&](double f) { return jigImpedance(j, f); }, phase, noise),
                                          reTyped ? j.re : 0);
        QVERIFY2(fa.ok(), qPrintable(fa.problem));
        QCOMPARE(fa.reFromFit, !reTyped);
        NEAR(fa.re, j.re, 0.02);
        NEAR(fa.standard.fs, j.fs(), 0.02);
        NEAR(fa.standard.qms, j.qms(), 0.02);
        NEAR(fa.standard.qes, j.qes(), 0.02);
        NEAR(fa.standard.qts, j.qms() * j.qes() / (j.qms() + j.qes()), 0.02);
        NEAR(fa.fit.fs, j.fs(), 0.02);
        NEAR(fa.fit.qms, j.qms(), 0.02);
        NEAR(fa.fit.qes, j.qes(), 0.02);
        NEAR(fa.le, j.le1k(), 0.02);
        QVERIFY(fa.fitError < (noise > 0 ? 1.0 : 0.1));

        // Added mass: 2/3 of the cone's mass; test box: a box of 2/3 of Vas.
        SecondInput in{testBox ? VasMethod::TestBox : VasMethod::AddedMass, 0, j.sd * 1e4};
        in.amount = testBox ? j.vasLitres() * 2 / 3 : j.mms * 1000 * 2 / 3;
        const Curve second = sampled("second.zma", [&](double f) {
            return testBox ? jigImpedance(j, f, 0, {in.amount}) : jigImpedance(j, f, in.amount / 1000);
        }, phase, noise);
        const Mechanics m = measureMechanics(fa, second, in);
        QVERIFY2(m.ok(), qPrintable(m.problem));
        NEAR(*m.vas, j.vasLitres(), 0.05);
        NEAR(*m.mms, j.mms * 1000, 0.05);
        NEAR(*m.bl, j.bl, 0.03);
        // The Box Model's sensitivity: 112.2 + 10 log10(2.7e-8 Fs^3 Vas / Qes), Vas in cubic feet.
        QVERIFY(std::abs(*m.spl - (112.2 + 10 * std::log10(2.7e-8 * std::pow(j.fs(), 3) * j.vasLitres() * 0.0353145 / j.qes()))) < 0.3);
    }

    // Without the cone area, what needs it stays empty: Vas with added mass, Mms and Bl with a box.
    void withoutConeArea()
    {
        const FreeAir fa = measureFreeAir(sampled("f.zma", [](double f) { return jigImpedance(Woofer, f); }, true, 0), Woofer.re);
        const Mechanics mass = measureMechanics(fa, sampled("m.zma", [](double f) { return jigImpedance(Woofer, f, 0.02); }, true, 0),
                                                {VasMethod::AddedMass, 20, 0});
        QVERIFY(!mass.vas && !mass.spl);
        NEAR(*mass.mms, 30.0, 0.02);
        const Mechanics box = measureMechanics(fa, sampled("b.zma", [](double f) { return jigImpedance(Woofer, f, 0, {40}); }, true, 0),
                                               {VasMethod::TestBox, 40, 0});
        QVERIFY(!box.mms && !box.bl && !box.cms);
        NEAR(*box.vas, Woofer.vasLitres(), 0.05);
    }

    // Files that end in near-duplicate rows still give the resonance.
    void nearDuplicateRows()
    {
        Curve c = sampled("dup.zma", [](double f) { return jigImpedance(Mid, f); }, false, 0);
        for (double f : {20000.5, 20001.0}) {
            c.hz.push_back(f);
            c.magnitude.push_back(c.magnitude.back() * 0.98);
        }
        const FreeAir fa = measureFreeAir(c, Mid.re);
        QVERIFY2(fa.ok(), qPrintable(fa.problem));
        NEAR(fa.standard.fs, Mid.fs(), 0.02);
    }

    void badData_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("message");
        QTest::newRow("a resistor")
            << "resistor" << "r.zma shows no clear resonance peak: it may be the curve of a resistor, or it may stop short of the resonance.";
        QTest::newRow("cut short above the peak")
            << "short" << "s.zma shows no clear resonance peak: it may be the curve of a resistor, or it may stop short of the resonance.";
        // The data starts at 26 Hz, above f1 (about 0.7 Fs = 21 Hz).
        QTest::newRow("peak at the edge")
            << "edge" << "The resonance peak of e.zma lies at the edge of the data, near 26.0 Hz: measure from well below it to well above it.";
        // 43.04 ohms: the curve's highest row, 0.1 % from the peak at Fs.
        QTest::newRow("Re typed above the peak")
            << "re" << "The resonance peak of f.zma (43.04 ohms) is not above Re (50.00 ohms): check the Re typed.";
        QTest::newRow("a vented box as free air")
            << "vented" << "The driver model could not be fitted to v.zma (the fit did not converge): it may not be the impedance of a driver in free air.";
        QTest::newRow("Re typed far off")
            << "re20" << "The driver model could not be fitted to f.zma (the fit did not converge): it may not be the impedance of a driver in free air, or the Re typed may be wrong.";
        // Fs 30.6 Hz in free air, 30.6 again with "added mass", and Fs / sqrt(1 + 20/30) = 23.7 Hz with
        // 20 g on the cone "in the test box".
        QTest::newRow("added mass that did not lower Fs")
            << "mass" << "The resonance of f.zma (30.6 Hz) did not move down from the free-air 30.6 Hz, as added mass makes it do: is it the curve with the mass on the cone?";
        QTest::newRow("a test box that did not raise Fs")
            << "box" << "The resonance of m.zma (23.7 Hz) did not move up from the free-air 30.6 Hz, as a sealed box makes it do: is it the curve in the test box?";
        QTest::newRow("a box check without two peaks") << "single" << "f.zma does not show the two peaks of a vented box.";
    }

    void badData()
    {
        QFETCH(QString, which);
        QFETCH(QString, message);
        const auto free = [](double f) { return jigImpedance(Woofer, f); };
        const Curve freeAir = sampled("f.zma", free, true, 0);
        QString problem;
        if (which == "resistor")
            problem = measureFreeAir(sampled("r.zma", [](double) { return Complex(8); }, true, 0.01)).problem;
        else if (which == "short")
            problem = measureFreeAir(sampled("s.zma", free, true, 0, 60)).problem;
        else if (which == "edge")
            problem = measureFreeAir(sampled("e.zma", free, true, 0, 26)).problem;
        else if (which == "re")
            problem = measureFreeAir(freeAir, 50).problem;
        else if (which == "re20")
            problem = measureFreeAir(freeAir, 20).problem;
        else if (which == "vented")
            problem = measureFreeAir(sampled("v.zma", [](double f) { return jigImpedance(Woofer, f, 0, {60, 30, 7}); }, true, 0)).problem;
        else if (which == "single")
            problem = checkVentedBox(freeAir, std::nullopt).problem;
        else {
            const FreeAir fa = measureFreeAir(freeAir, Woofer.re);
            const bool mass = which == "mass";
            const Curve second = mass ? freeAir : sampled("m.zma", [](double f) { return jigImpedance(Woofer, f, 0.02); }, true, 0);
            problem = measureMechanics(fa, second, {mass ? VasMethod::AddedMass : VasMethod::TestBox, 20, 220}).problem;
        }
        QCOMPARE(problem, message);
    }

    // Curves of random rows (a fixed seed): each is measured or refused, never a value that is not
    // a finite number.
    void randomCurves()
    {
        std::mt19937 rng(7);
        const auto u = [&rng] { return rng() / 4294967295.0; };
        for (int n = 0; n < 100; ++n) {
            Curve c;
            c.fileName = "random.zma";
            for (double f = 5 + 50 * u(); f < 30000; f *= 1 + 0.2 * u()) {
                c.hz.push_back(f);
                c.magnitude.push_back(0.1 + 100 * u() * u());
                if (n % 2)
                    c.phaseDeg.push_back(360 * u() - 180);
            }
            const FreeAir fa = measureFreeAir(c, n % 3 ? 0 : 4 * u());
            QVERIFY(!fa.ok() || (std::isfinite(fa.standard.qts) && std::isfinite(fa.le) && std::isfinite(fa.fitError)));
            const BoxCheck box = checkVentedBox(c, fa.ok() ? std::optional(fa.fit) : std::nullopt);
            QVERIFY(!box.ok() || (std::isfinite(box.fb) && (!box.ql || std::isfinite(*box.ql))));
        }
    }

    void ventedBox_data()
    {
        QTest::addColumn<double>("ql");
        QTest::addColumn<bool>("phase");
        QTest::addColumn<double>("noise");
        QTest::newRow("Ql 7, phase") << 7.0 << true << 0.0;
        QTest::newRow("Ql 15, magnitude only, 1 % noise") << 15.0 << false << 0.01;
        QTest::newRow("Ql 4, phase, 1 % noise") << 4.0 << true << 0.01;
    }

    // The woofer in 60 litres tuned to 32 Hz: Fb within 1 % of the lowest |Z| between the peaks (found
    // on the curve without noise by a fine search), the leakage Q within 10 % with the driver as
    // measured in free air, and no Ql without the driver.
    void ventedBox()
    {
        QFETCH(double, ql);
        QFETCH(bool, phase);
        QFETCH(double, noise);
        const auto z = [ql](double f) { return jigImpedance(Woofer, f, 0, {60, 32, ql}); };
        const double lowest = lowestBetween(z, 25, 40);
        const Curve box = sampled("box.zma", z, phase, noise);
        const FreeAir fa = measureFreeAir(sampled("f.zma", [](double f) { return jigImpedance(Woofer, f); }, true, 0));
        const BoxCheck check = checkVentedBox(box, fa.fit);
        QVERIFY2(check.ok(), qPrintable(check.problem));
        NEAR(check.fb, lowest, 0.01);
        NEAR(*check.ql, ql, 0.1);
        QVERIFY(!checkVentedBox(box, std::nullopt).ql);
    }

    void ventAdvice_data()
    {
        QTest::addColumn<double>("measured");
        QTest::addColumn<double>("diameter");
        QTest::addColumn<QString>("advice");
        // 1.5 cubic feet (2592 cubic inches), Fb designed 34 Hz. Lv = 1.463e7 R^2 / Fb^2 / 2592 - 1.463 R:
        // 3-inch vent: 8.791 in at 34 Hz, 10.364 in at 31.8 Hz (1.573 in = 40 mm longer), 7.605 in at 36 Hz.
        QTest::newRow("tuned low") << 31.8 << 3.0 << "Designed 34.0 Hz, measured 31.8 Hz: shorten the vent by about 40 mm";
        QTest::newRow("tuned high") << 36.0 << 3.0 << "Designed 34.0 Hz, measured 36.0 Hz: lengthen the vent by about 30 mm";
        QTest::newRow("on the design") << 34.01 << 3.0 << "Designed 34.0 Hz, measured 34.0 Hz: the vent length is right";
        // Lv = 1.463 R (1e7 R / (Fb^2 x 2592) - 1) is below 0 for R < 0.3 in: no vent to advise on.
        QTest::newRow("a vent with no length at the design") << 31.8 << 0.5 << "";
    }

    void ventAdvice()
    {
        QFETCH(double, measured);
        QFETCH(double, diameter);
        QFETCH(QString, advice);
        QCOMPARE(kelvane::measure::ventAdvice(34, measured, diameter, 1.5), advice);
    }

    // The picture's axes: 1-2-5 steps around the data (12 Hz to 18 kHz: 10 Hz to 20 kHz; 21 to 480 Hz:
    // 20 to 500 Hz), the ends on the frame's edges x = 48 and 549; ohms from 0 in round steps.
    void plotAxes()
    {
        const PlotAxes wide = kelvane::measure::plotAxes(12, 18000, 47), narrow = kelvane::measure::plotAxes(21, 480, 9);
        QCOMPARE((QList<double>{wide.lowHz, wide.highHz, narrow.lowHz, narrow.highHz}), (QList<double>{10, 20000, 20, 500}));
        QCOMPARE((QList<double>{plotX(wide, 10), plotX(wide, 20000), plotY(wide, 0), wide.ohms.high}), (QList<double>{48, 549, 304, 50}));
        QCOMPARE(plotX(narrow, 100), 48 + 501 * std::log(5.0) / std::log(25.0));
    }

    // kelvane --measure-driver and --measure-box, read back: one header and one row, or one line on
    // standard error and exit status 1.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output"); // a line of output, or the start of the error
        const QString head = "Maker,Model,Fs [Hz],Qts,Qes,Qms,Vas [l],Re [ohm],Le [mH],Z [ohm],Sd [cm2],Xmax [mm],"
                             "Diameter [mm],Pe [W],SPL [dB],Bl [Tm],Mms [g],Source,Notes,Fit error [%]";
        QTest::newRow("free air only") << QStringList{"--measure-driver", "woofer.zma", "--re", "5.6"} << 0 << head;
        QTest::newRow("box") << QStringList{"--measure-box", "box.zma"} << 0 << "Fb [Hz]";
        QTest::newRow("a file that is not there") << QStringList{"--measure-driver", "none.zma"} << 1 << "kelvane: ";
        QTest::newRow("a resistor") << QStringList{"--measure-driver", "r.zma"} << 1 << "kelvane: r.zma shows no clear";
        QTest::newRow("a second file without its method") << QStringList{"--measure-driver", "woofer.zma", "mass.zma"} << 1 << "kelvane: ";
        QTest::newRow("a mass that is no number") << QStringList{"--measure-driver", "woofer.zma", "--added-mass", "x", "mass.zma"} << 1 << "kelvane: ";
    }

    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, output);
        QTemporaryDir dir;
        const auto write = [&dir](const QString &name, const Curve &c) {
            QFile f(dir.filePath(name));
            return f.open(QIODevice::WriteOnly) && f.write(zmaText(c)) > 0;
        };
        QVERIFY(write("woofer.zma", sampled("", [](double f) { return jigImpedance(Woofer, f); }, true, 0)));
        QVERIFY(write("mass.zma", sampled("", [](double f) { return jigImpedance(Woofer, f, 0.02); }, true, 0)));
        const auto box = [](double f) { return jigImpedance(Woofer, f, 0, {60, 32, 7}); };
        QVERIFY(write("box.zma", sampled("", box, true, 0)));
        QVERIFY(write("r.zma", sampled("", [](double) { return Complex(8); }, true, 0)));
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(KELVANE_EXE), args);
        QVERIFY(p.waitForFinished(60000));
        const QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), status);
        if (status != 0) {
            QVERIFY2(err.startsWith(output) && err.count(u'\n') == 1, qPrintable(err));
            QVERIFY(out.isEmpty());
            return;
        }
        QCOMPARE(out.size(), 2);
        QCOMPARE(out[0], output);
        const QStringList row = out[1].split(u',');
        if (args[0] == "--measure-box") {
            NEAR(row[0].toDouble(), lowestBetween(box, 25, 40), 0.01);
            return;
        }
        // Fs 30.63 Hz, Qts 0.5 (to four digits), Re as typed; Vas, SPL, Bl, Mms not measured.
        QCOMPARE(row.mid(0, 2), (QStringList{"Measured", "woofer"}));
        NEAR(row[2].toDouble(), Woofer.fs(), 0.01);
        QCOMPARE(row[7], "5.6");
        QCOMPARE(row.mid(14, 4), (QStringList{"", "", "", "measured"}));
        QCOMPARE(row[18], "Free air: woofer.zma");
        QVERIFY(row[19].toDouble() < 0.1);
    }
};

QTEST_GUILESS_MAIN(TestMeasure)
#include "tst_measure.moc"
