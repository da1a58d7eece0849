// SPDX-License-Identifier: GPL-3.0-or-later
#include "crossover/SimGrid.h"

#include "common/Checked.h"
#include "crossover/MinimumPhase.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace crossover {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Where f lies among the rising points x: the segment [x[j], x[j+1]] and the fraction t along it in
// log f. f must lie within [x.front(), x.back()].
struct Place {
    std::size_t j;
    double t;
};
Place placeOf(const std::vector<double> &x, double f)
{
    const auto upper = std::upper_bound(x.begin(), x.end(), f);
    std::size_t j = std::size_t(upper - x.begin());
    j = std::clamp<std::size_t>(j, 1, x.size() - 1) - 1;
    return {j, std::log(f / x[j]) / std::log(x[j + 1] / x[j])};
}

double along(const std::vector<double> &y, const Place &p)
{
    return y[p.j] + p.t * (y[p.j + 1] - y[p.j]);
}

bool inside(const std::vector<double> &x, double f)
{
    // A grid point that lands on a file's end within rounding counts as inside.
    return f >= x.front() * (1 - 1e-12) && f <= x.back() * (1 + 1e-12);
}

} // namespace

Grid logGrid(double firstHz, double lastHz, int pointsPerOctave)
{
    if (!(firstHz > 0) || !(lastHz > firstHz) || pointsPerOctave < 1)
        throw kelvane::CalcFault("simulation grid");
    const double octaves = std::log2(lastHz / firstHz);
    const auto steps = std::size_t(std::ceil(octaves * pointsPerOctave - 1e-9));
    Grid g;
    g.hz.reserve(steps + 1);
    for (std::size_t i = 0; i <= steps; ++i)
        g.hz.push_back(firstHz * std::pow(lastHz / firstHz, double(i) / double(steps)));
    g.hz.back() = lastHz;
    return g;
}

bool Trace::has(std::size_t k) const
{
    return k < db.size() && std::isfinite(db[k]);
}

void unwrapDeg(std::vector<double> &phaseDeg)
{
    for (std::size_t i = 1; i < phaseDeg.size(); ++i)
        if (std::isfinite(phaseDeg[i]) && std::isfinite(phaseDeg[i - 1]))
            phaseDeg[i] -= 360 * std::round((phaseDeg[i] - phaseDeg[i - 1]) / 360);
}

double wrapDeg(double phaseDeg)
{
    const double w = phaseDeg - 360 * std::floor((phaseDeg + 180) / 360);
    return w == -180 ? 180 : w;
}

double bulkDelay(const std::vector<double> &hz, const std::vector<double> &phaseDeg)
{
    // The top octave, or the last two points where it holds fewer.
    std::size_t first = std::size_t(std::lower_bound(hz.begin(), hz.end(), hz.back() / 2) - hz.begin());
    first = std::min(first, hz.size() - 2);
    std::vector<double> top(phaseDeg.begin() + std::ptrdiff_t(first), phaseDeg.end());
    unwrapDeg(top);
    // Least squares phase = a + b f, about the mean frequency for accuracy.
    double meanF = 0, meanP = 0;
    for (std::size_t i = 0; i < top.size(); ++i)
        meanF += hz[first + i], meanP += top[i];
    meanF /= double(top.size()), meanP /= double(top.size());
    double sff = 0, sfp = 0;
    for (std::size_t i = 0; i < top.size(); ++i) {
        const double df = hz[first + i] - meanF;
        sff += df * df, sfp += df * (top[i] - meanP);
    }
    return -sfp / sff / 360; // degrees per Hz -> seconds
}

Trace responseOnGrid(const kelvane::driverdata::Curve &c, const Grid &grid)
{
    Trace t{std::vector<double>(grid.size(), NaN), std::vector<double>(grid.size(), NaN)};
    std::vector<double> inHz;  // the grid's frequencies inside the file's range
    std::vector<std::size_t> at;
    for (std::size_t k = 0; k < grid.size(); ++k) {
        if (!inside(c.hz, grid.hz[k]))
            continue;
        const double f = std::clamp(grid.hz[k], c.hz.front(), c.hz.back());
        t.db[k] = along(c.magnitude, placeOf(c.hz, f));
        inHz.push_back(f);
        at.push_back(k);
    }
    if (at.empty())
        return t;
    if (c.hasPhase()) {
        // Without the bulk delay the phase turns slowly: unwrap it, interpolate it, then add the
        // delay's phase -360 f tau back at the grid's own frequencies.
        const double tau = bulkDelay(c.hz, c.phaseDeg);
        std::vector<double> rest(c.phaseDeg.size());
        for (std::size_t i = 0; i < rest.size(); ++i)
            rest[i] = wrapDeg(c.phaseDeg[i] + 360 * c.hz[i] * tau);
        unwrapDeg(rest);
        for (std::size_t i = 0; i < at.size(); ++i)
            t.phaseDeg[at[i]] = along(rest, placeOf(c.hz, inHz[i])) - 360 * inHz[i] * tau;
    } else {
        const std::vector<double> phase = minimumPhase(c.hz, c.magnitude, ResponseSlopeBelowDbPerOctave, inHz);
        for (std::size_t i = 0; i < at.size(); ++i)
            t.phaseDeg[at[i]] = phase[i];
    }
    return t;
}

std::vector<std::complex<double>> impedanceOnGrid(const kelvane::driverdata::Curve &c, const Grid &grid)
{
    // Held at the ends: every grid frequency is clamped into the file's range.
    std::vector<double> hz(grid.size());
    for (std::size_t k = 0; k < grid.size(); ++k)
        hz[k] = std::clamp(grid.hz[k], c.hz.front(), c.hz.back());
    std::vector<double> phase;
    if (c.hasPhase()) {
        std::vector<double> unwrapped = c.phaseDeg;
        unwrapDeg(unwrapped);
        for (double f : hz)
            phase.push_back(along(unwrapped, placeOf(c.hz, f)));
    } else {
        std::vector<double> db(c.magnitude.size());
        for (std::size_t i = 0; i < db.size(); ++i)
            db[i] = 20 * std::log10(c.magnitude[i]);
        phase = minimumPhase(c.hz, db, 0, hz);
    }
    std::vector<double> logMagnitude(c.magnitude.size());
    for (std::size_t i = 0; i < logMagnitude.size(); ++i)
        logMagnitude[i] = std::log(c.magnitude[i]);
    std::vector<std::complex<double>> z(grid.size());
    for (std::size_t k = 0; k < grid.size(); ++k)
        z[k] = std::polar(std::exp(along(logMagnitude, placeOf(c.hz, hz[k]))), phase[k] * std::numbers::pi / 180);
    return z;
}

} // namespace crossover
