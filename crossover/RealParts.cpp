// SPDX-License-Identifier: GPL-3.0-or-later
#include "crossover/RealParts.h"

#include "common/Checked.h"
#include "common/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <span>

namespace crossover {

namespace {

using cplx = std::complex<double>;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double E24[] = {1.0, 1.1, 1.2, 1.3, 1.5, 1.6, 1.8, 2.0, 2.2, 2.4, 2.7, 3.0, 3.3,
                          3.6, 3.9, 4.3, 4.7, 5.1, 5.6, 6.2, 6.8, 7.5, 8.2, 9.1, 10.0};
constexpr double E12[] = {1.0, 1.2, 1.5, 1.8, 2.2, 2.7, 3.3, 3.9, 4.7, 5.6, 6.8, 8.2, 10.0};

std::span<const double> decade(PartSeries series)
{
    return series == PartSeries::E24 ? std::span<const double>(E24) : std::span<const double>(E12);
}

double positive(double value, const char *what)
{
    if (!std::isfinite(value) || value <= 0)
        throw kelvane::CalcFault(what);
    return value;
}

// The unit a part's value is shown and rounded in: mH for a coil, uF for a capacitor.
double unitOf(Component::Kind kind)
{
    return kind == Component::Inductor ? 1e-3 : 1e-6;
}

} // namespace

double coilDcr(double henries)
{
    if (!(henries > 0) || !std::isfinite(henries))
        return 0;
    return 0.46 * std::pow(henries / 1e-3, 0.6);
}

std::vector<double> defaultDcr(const Section &section)
{
    std::vector<double> out;
    for (const Component &c : section)
        out.push_back(c.kind == Component::Inductor ? coilDcr(c.value) : 0.0);
    return out;
}

QStringList seriesNames()
{
    return {QStringLiteral("E12"), QStringLiteral("E24")};
}

double nearestInSeries(double value, PartSeries series)
{
    if (series == PartSeries::E12)
        return nearestE12(value);
    positive(value, "series value");
    const double scale = std::pow(10.0, std::floor(std::log10(value)));
    const double mantissa = value / scale;
    double best = E24[0], bestDistance = std::numeric_limits<double>::infinity();
    for (double e : E24) {
        const double distance = std::abs(std::log(mantissa / e));
        if (distance < bestDistance)
            bestDistance = distance, best = e;
    }
    return kelvane::checked(best * scale, "series value");
}

SeriesNeighbours seriesNeighbours(double value, PartSeries series)
{
    positive(value, "series value");
    const double scale = std::pow(10.0, std::floor(std::log10(value)));
    const double mantissa = value / scale;
    const std::span<const double> values = decade(series);
    SeriesNeighbours n{values.front() * scale, values.back() * scale};
    for (double e : values) {
        // A value on the series within rounding is its own neighbour on both sides.
        if (e <= mantissa * (1 + 1e-9))
            n.below = e * scale;
        if (e >= mantissa * (1 - 1e-9)) {
            n.above = e * scale;
            break;
        }
    }
    return n;
}

std::vector<double> seriesValues(const Section &section, PartSeries series)
{
    std::vector<double> out;
    for (const Component &c : section)
        out.push_back(nearestInSeries(c.value / unitOf(c.kind), series) * unitOf(c.kind));
    return out;
}

LPad lPad(double db, double ohms)
{
    if (!(db > 0) || !std::isfinite(db))
        return {};
    positive(ohms, "pad impedance");
    const double a = std::pow(10.0, -db / 20);
    // A pad so slight that a rounds to 1 has a shunt of infinite resistance: no pad at all.
    if (!(a < 1))
        return {};
    return {true, ohms * (1 - a), kelvane::checked(ohms * a / (1 - a), "pad resistor")};
}

double baffleStepHz(double widthM)
{
    return 115 / positive(widthM, "baffle width");
}

std::complex<double> baffleShelf(double hz, double f3)
{
    const double w3 = 2 * std::numbers::pi * f3;
    const cplx s(0, 2 * std::numbers::pi * hz);
    return (s + w3 / std::numbers::sqrt2) / (s + std::numbers::sqrt2 * w3);
}

void addBaffleStep(Trace &response, const Grid &grid, double f3)
{
    positive(f3, "baffle step frequency");
    for (std::size_t k = 0; k < grid.size() && k < response.db.size(); ++k) {
        const cplx h = baffleShelf(grid.hz[k], f3);
        response.db[k] += 20 * std::log10(std::abs(h));
        if (k < response.phaseDeg.size())
            response.phaseDeg[k] += std::arg(h) * 180 / std::numbers::pi;
    }
}

BaffleNetwork baffleNetwork(double percent, double ohms, double f3)
{
    positive(ohms, "woofer impedance");
    positive(f3, "baffle step frequency");
    if (!(percent > 0) || !std::isfinite(percent))
        return {};
    const double a = std::min(percent, 100.0) / 100 * 20 * std::log10(2.0);
    const double r = ohms * (std::pow(10.0, a / 20) - 1);
    const double l = r * std::sqrt(ohms / (ohms + r)) / (2 * std::numbers::pi * f3);
    return {true, r, l, coilDcr(l)};
}

LPad builtPad(const BuiltCrossover &b)
{
    LPad pad = lPad(b.padDb, b.tweeterOhms);
    if (pad.used) {
        pad.series = nearestInSeries(pad.series, b.series);
        pad.parallel = nearestInSeries(pad.parallel, b.series);
    }
    return pad;
}

Network builtNetwork(const BuiltCrossover &b)
{
    for (const auto &[section, dcr] : {std::pair{&b.woofer, &b.wooferDcr}, std::pair{&b.tweeter, &b.tweeterDcr}})
        if (!dcr->empty() && dcr->size() != section->size())
            throw kelvane::CalcFault("coil resistances");
    Network n;
    n.nodeCount = 1;
    n.input = n.addNode();
    int wooferStart = n.input;
    if (b.baffle.used) {
        wooferStart = n.addNode();
        const double henries = nearestInSeries(b.baffle.henries / 1e-3, b.series) * 1e-3;
        n.parts.push_back(
            {Part::Inductor, n.input, wooferStart, henries, b.baffle.dcr, 0, PartGroup::BaffleStep, 0});
        n.parts.push_back({Part::Resistor, n.input, wooferStart, nearestInSeries(b.baffle.ohms, b.series), 0, 0,
                           PartGroup::BaffleStep, 1});
    }
    const int wooferNode = addLadder(n, wooferStart, b.woofer, PartGroup::WooferSection,
                                     b.wooferDcr.empty() ? defaultDcr(b.woofer) : b.wooferDcr);
    n.parts.push_back({Part::Load, wooferNode, 0, 0, 0, WooferLoad, PartGroup::Driver, WooferLoad});
    if (b.zobel.used) {
        const Zobel z{true, nearestInSeries(b.zobel.ohms, b.series), nearestInSeries(b.zobel.farads / 1e-6, b.series) * 1e-6};
        const int middle = n.addNode();
        n.parts.push_back({Part::Resistor, wooferNode, middle, z.ohms, 0, 0, PartGroup::Zobel, 0});
        n.parts.push_back({Part::Capacitor, middle, 0, z.farads, 0, 0, PartGroup::Zobel, 1});
    }
    int tweeterNode = addLadder(n, n.input, b.tweeter, PartGroup::TweeterSection,
                                b.tweeterDcr.empty() ? defaultDcr(b.tweeter) : b.tweeterDcr);
    const LPad pad = builtPad(b);
    if (pad.used) {
        const int after = n.addNode();
        n.parts.push_back({Part::Resistor, tweeterNode, after, pad.series, 0, 0, PartGroup::Pad, 0});
        n.parts.push_back({Part::Resistor, after, 0, pad.parallel, 0, 0, PartGroup::Pad, 1});
        tweeterNode = after;
    }
    n.parts.push_back({Part::Load, tweeterNode, 0, 0, 0, TweeterLoad, PartGroup::Driver, TweeterLoad});
    return n;
}

PadSuggestion suggestPad(const Trace &woofer, const Trace &tweeter, const Grid &grid, double wooferHz,
                         double tweeterHz)
{
    const auto mean = [&grid](const Trace &t, double from, double to) {
        double sum = 0;
        int count = 0;
        for (std::size_t k = 0; k < grid.size(); ++k)
            if (t.has(k) && grid.hz[k] >= from * (1 - 1e-9) && grid.hz[k] <= to * (1 + 1e-9))
                sum += t.db[k], ++count;
        return count > 0 ? sum / count : NaN;
    };
    const double difference = mean(tweeter, tweeterHz, 2 * tweeterHz) - mean(woofer, wooferHz / 2, wooferHz);
    if (std::isnan(difference))
        return {NaN, false};
    if (difference < 0)
        return {0, true};
    return {std::min(std::round(difference * 10) / 10, 20.0), false};
}

std::vector<PartStress> partStress(const Network &network, const Loads &loads, const Grid &grid, double watts,
                                   double ohms)
{
    const double volts = std::sqrt(positive(watts, "power") * positive(ohms, "impedance"));
    const Solution s = solve(network, loads, grid);
    std::vector<PartStress> out;
    for (const Part &p : network.parts) {
        if (p.kind == Part::Load)
            continue;
        double worst = 0;
        for (std::size_t k = 0; k < grid.size(); ++k) {
            double x = 0;
            switch (p.kind) {
            case Part::Resistor:
                x = std::norm(partCurrent(s, p, loads, grid, k) * volts) * p.value;
                break;
            case Part::Inductor:
                x = std::abs(partCurrent(s, p, loads, grid, k)) * volts;
                break;
            case Part::Capacitor:
                x = std::abs(partVoltage(s, p, k)) * volts * std::numbers::sqrt2;
                break;
            case Part::Load:
                break;
            }
            worst = std::max(worst, x);
        }
        static const char *const Units[] = {" W", " A", " V"};
        const QString pattern = p.kind == Part::Capacitor ? QStringLiteral("#0") : QStringLiteral("#0.0");
        out.push_back({p.group, p.index, p.kind, worst,
                       kelvane::formatNumber(worst, pattern) + QLatin1String(Units[int(p.kind)])});
    }
    return out;
}

const PartStress *stressOf(const std::vector<PartStress> &stresses, PartGroup group, int index)
{
    for (const PartStress &s : stresses)
        if (s.group == group && s.index == index)
            return &s;
    return nullptr;
}

std::vector<PartStress> resistorsOver(const std::vector<PartStress> &stresses, double watts)
{
    std::vector<PartStress> out;
    for (const PartStress &s : stresses)
        if (s.kind == Part::Resistor && s.value > watts)
            out.push_back(s);
    return out;
}

} // namespace crossover
