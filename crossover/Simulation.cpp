// SPDX-License-Identifier: GPL-3.0-or-later
#include "crossover/Simulation.h"

#include "analysis/AnalysisCore.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driverdata/DriverData.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace crossover {

namespace {

using cplx = std::complex<double>;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double DegPerRad = 180 / std::numbers::pi;

// The complex pressure of a level (dB) and a phase (degrees).
cplx pressure(double db, double phaseDeg)
{
    return std::polar(std::pow(10.0, db / 20), phaseDeg / DegPerRad);
}

// A driver's sound through the network: its response shifted by its terminal voltage, then by
// extra (degrees) at each point; continuous phase.
Trace through(const Trace &response, const std::vector<cplx> &voltage, const std::vector<double> &extraDeg)
{
    const std::size_t n = voltage.size();
    std::vector<double> voltagePhase(n);
    for (std::size_t k = 0; k < n; ++k)
        voltagePhase[k] = std::arg(voltage[k]) * DegPerRad;
    unwrapDeg(voltagePhase);
    Trace t{std::vector<double>(n, NaN), std::vector<double>(n, NaN)};
    for (std::size_t k = 0; k < n; ++k) {
        if (!response.has(k))
            continue;
        t.db[k] = response.db[k] + 20 * std::log10(std::abs(voltage[k]));
        t.phaseDeg[k] = response.phaseDeg[k] + voltagePhase[k] + extraDeg[k];
    }
    return t;
}

// Rounded to 6 significant digits, in general form; empty when not finite.
QString significant(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0)
        return QStringLiteral("0");
    const double step = std::pow(10.0, std::floor(std::log10(std::abs(value))) - 5);
    return kelvane::generalNumber(std::round(value / step) * step);
}

QString phaseText(double phaseDeg)
{
    return std::isfinite(phaseDeg) ? kelvane::formatNumber(wrapDeg(phaseDeg), QStringLiteral("#0.00")) : QString();
}

} // namespace

DriverCurves nominalDriver(double ohms, double db, const Grid &grid)
{
    kelvane::checked(ohms, "nominal impedance");
    if (ohms <= 0)
        throw kelvane::CalcFault("nominal impedance");
    return {{std::vector<double>(grid.size(), kelvane::checked(db, "level")), std::vector<double>(grid.size(), 0.0)},
            std::vector<cplx>(grid.size(), cplx(ohms))};
}

double sensitivityAt283(const kelvane::analysis::DriverSnapshot &driver)
{
    if (!(driver.re > 0))
        throw kelvane::CalcFault("voice-coil resistance");
    return kelvane::checked(driver.sensitivity + 10 * std::log10(DriveVolts * DriveVolts / driver.re), "sensitivity");
}

DriverCurves modelledWoofer(const kelvane::analysis::DriverSnapshot &driver, const kelvane::analysis::BoxSnapshot &box,
                            const Grid &grid)
{
    namespace an = kelvane::analysis;
    const double level = sensitivityAt283(driver);
    const an::Circuit circuit = an::circuitOf(driver);
    an::Circuit withoutLe = circuit;
    withoutLe.le = 0;
    const an::Transfer transfer = an::transferOf(driver, box);
    DriverCurves d{{std::vector<double>(grid.size()), std::vector<double>(grid.size())},
                   std::vector<cplx>(grid.size())};
    for (std::size_t k = 0; k < grid.size(); ++k) {
        const double f = grid.hz[k];
        const an::Motion motion = an::motionAt(circuit, box, f, 1);
        cplx h = an::evaluate(transfer, f);
        if (circuit.le > 0)
            h *= motion.coneVelocity / an::motionAt(withoutLe, box, f, 1).coneVelocity;
        d.impedance[k] = motion.impedance;
        d.response.db[k] = kelvane::checked(level + 20 * std::log10(std::abs(h)), "woofer response");
        d.response.phaseDeg[k] = kelvane::checked(std::arg(h) * DegPerRad, "woofer phase");
        kelvane::checked(std::abs(motion.impedance), "woofer impedance");
    }
    unwrapDeg(d.response.phaseDeg);
    return d;
}

Section usedSection(const Section &section, const std::vector<double> &values)
{
    if (values.size() != section.size())
        throw kelvane::CalcFault("part values");
    Section out = section;
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i].value = values[i];
    return out;
}

std::vector<double> e12Values(const Section &section)
{
    // In the unit each part is shown in (mH, uF), as e12Text rounds it.
    std::vector<double> out;
    for (const Component &c : section) {
        const double unit = c.kind == Component::Inductor ? 1e-3 : 1e-6;
        out.push_back(nearestE12(c.value / unit) * unit);
    }
    return out;
}

Zobel e12Zobel(const Zobel &z)
{
    if (!z.used)
        return z;
    return {true, nearestE12(z.ohms), nearestE12(z.farads * 1e6) * 1e-6};
}

int addLadder(Network &n, int node, const Section &section, PartGroup group, const std::vector<double> &seriesOhms)
{
    for (std::size_t i = 0; i < section.size(); ++i) {
        const Component &c = section[i];
        Part p;
        p.kind = c.kind == Component::Inductor ? Part::Inductor : Part::Capacitor;
        p.value = c.value;
        if (c.kind == Component::Inductor && i < seriesOhms.size())
            p.seriesOhms = seriesOhms[i];
        p.group = group;
        p.index = int(i);
        p.a = node;
        p.b = c.shunt ? 0 : n.addNode();
        if (!c.shunt)
            node = p.b;
        n.parts.push_back(p);
    }
    return node;
}

Network twoWayNetwork(const Section &woofer, const Section &tweeter, const Zobel &zobel)
{
    Network n;
    n.nodeCount = 1;
    n.input = n.addNode();
    const int wooferNode = addLadder(n, n.input, woofer, PartGroup::WooferSection);
    n.parts.push_back({Part::Load, wooferNode, 0, 0, 0, WooferLoad, PartGroup::Driver, WooferLoad});
    if (zobel.used) {
        const int middle = n.addNode();
        n.parts.push_back({Part::Resistor, wooferNode, middle, zobel.ohms, 0, 0, PartGroup::Zobel, 0});
        n.parts.push_back({Part::Capacitor, middle, 0, zobel.farads, 0, 0, PartGroup::Zobel, 1});
    }
    const int tweeterNode = addLadder(n, n.input, tweeter, PartGroup::TweeterSection);
    n.parts.push_back({Part::Load, tweeterNode, 0, 0, 0, TweeterLoad, PartGroup::Driver, TweeterLoad});
    return n;
}

Simulation simulate(const Network &network, const DriverCurves &woofer, const DriverCurves &tweeter,
                    const Acoustics &acoustics, const Grid &grid)
{
    for (const DriverCurves *d : {&woofer, &tweeter})
        if (d->impedance.size() != grid.size() || d->response.db.size() != grid.size()
            || d->response.phaseDeg.size() != grid.size())
            throw kelvane::CalcFault("driver curves");
    Simulation s;
    s.grid = grid;
    s.loads = {woofer.impedance, tweeter.impedance};
    s.solution = solve(network, s.loads, grid);
    s.impedance = s.solution.inputImpedance;
    const std::size_t n = grid.size();
    s.wooferVoltage.assign(n, cplx(0));
    s.tweeterVoltage.assign(n, cplx(0));
    for (const Part &p : network.parts) {
        if (p.kind != Part::Load)
            continue;
        auto &voltage = p.load == WooferLoad ? s.wooferVoltage : s.tweeterVoltage;
        for (std::size_t k = 0; k < n; ++k)
            voltage[k] = partVoltage(s.solution, p, k);
    }

    // The tweeter's extra phase: its delay offset/c (-360 f t degrees) and its polarity.
    const double delay = acoustics.offsetMm / 1000 / OffsetSoundSpeed;
    std::vector<double> none(n, 0.0), tweeterExtra(n);
    for (std::size_t k = 0; k < n; ++k)
        tweeterExtra[k] = -360 * grid.hz[k] * delay + (acoustics.tweeterReversed ? 180 : 0);
    s.woofer = through(woofer.response, s.wooferVoltage, none);
    s.tweeter = through(tweeter.response, s.tweeterVoltage, tweeterExtra);

    s.sum = {std::vector<double>(n, NaN), std::vector<double>(n, NaN)};
    for (std::size_t k = 0; k < n; ++k) {
        if (!s.woofer.has(k) || !s.tweeter.has(k))
            continue;
        const cplx p = pressure(s.woofer.db[k], s.woofer.phaseDeg[k]) + pressure(s.tweeter.db[k], s.tweeter.phaseDeg[k]);
        s.sum.db[k] = 20 * std::log10(std::abs(p));
        s.sum.phaseDeg[k] = std::arg(p) * DegPerRad;
    }
    unwrapDeg(s.sum.phaseDeg);
    return s;
}

double withinDb(const Trace &trace, const Grid &grid, double fromHz, double toHz)
{
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (std::size_t k = 0; k < grid.size(); ++k) {
        if (!trace.has(k) || grid.hz[k] < fromHz || grid.hz[k] > toHz)
            continue;
        low = std::min(low, trace.db[k]);
        high = std::max(high, trace.db[k]);
    }
    return high >= low ? (high - low) / 2 : NaN;
}

Band dataBand(const Trace &trace, const Grid &grid)
{
    Band b;
    for (std::size_t k = 0; k < grid.size(); ++k) {
        if (!trace.has(k))
            continue;
        if (b.empty())
            b.fromHz = grid.hz[k];
        b.toHz = grid.hz[k];
    }
    return b;
}

LowestImpedance lowestImpedance(const Simulation &s)
{
    LowestImpedance low{std::numeric_limits<double>::infinity(), 0};
    for (std::size_t k = 0; k < s.grid.size(); ++k)
        if (std::abs(s.impedance[k]) < low.ohms)
            low = {std::abs(s.impedance[k]), s.grid.hz[k]};
    return low;
}

QString lowestImpedanceNote(const Simulation &s)
{
    const LowestImpedance low = lowestImpedance(s);
    return QStringLiteral("The amplifier sees %1 ohms at %2 at least")
        .arg(kelvane::formatNumber(low.ohms, QStringLiteral("#0.0")), kelvane::driverdata::frequencyText(low.hz));
}

QString sumNote(const Simulation &s)
{
    const Band band = dataBand(s.sum, s.grid);
    if (band.empty())
        return QString();
    return QStringLiteral("The sum stays within ±%1 dB from %2 to %3")
        .arg(kelvane::formatNumber(withinDb(s.sum, s.grid, band.fromHz, band.toHz), QStringLiteral("#0.0")),
             kelvane::driverdata::frequencyText(band.fromHz), kelvane::driverdata::frequencyText(band.toHz));
}

QString simulationCsv(const Simulation &s)
{
    QString out = QStringLiteral("Frequency (Hz),Woofer (dB),Woofer phase (deg),Tweeter (dB),Tweeter phase (deg),"
                                 "Sum (dB),Sum phase (deg),Impedance (ohm),Impedance phase (deg)\n");
    for (std::size_t k = 0; k < s.grid.size(); ++k) {
        const QStringList cells{significant(s.grid.hz[k]),
                                significant(s.woofer.db[k]),
                                phaseText(s.woofer.phaseDeg[k]),
                                significant(s.tweeter.db[k]),
                                phaseText(s.tweeter.phaseDeg[k]),
                                significant(s.sum.db[k]),
                                phaseText(s.sum.phaseDeg[k]),
                                significant(std::abs(s.impedance[k])),
                                phaseText(std::arg(s.impedance[k]) * DegPerRad)};
        out += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return out;
}

} // namespace crossover
