// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frequencies the crossover is simulated at, and the drivers' measured curves brought onto them.
// Pure functions; no widget.
//
// The grid is logarithmic, 20 Hz to 20 kHz with at least 48 points per octave, both ends on it.
// A measured curve is interpolated onto it as the ear and the data suggest:
//  - a response: level (dB) and phase (unwrapped, degrees) linear in log f; not extrapolated, so
//    outside the file's range it has no value (NaN) and the curve stops there;
//  - an impedance: |Z| linear in log-log, phase linear in log f; outside the file's range held at
//    its end values (a driver keeps loading the network beyond what was measured).
// Measured phase is wrapped at +-180 degrees and carries the measurement's time of flight, so at the
// top it turns by up to half a turn from one point to the next. Before it is unwrapped, that bulk
// delay is estimated (a straight line through the phase over the file's top octave) and taken out;
// the smooth rest is unwrapped and interpolated, and the delay is put back on the grid.
// Where a file has no phase, the minimum phase is derived from its magnitude (MinimumPhase.h).

#include "driverdata/DriverData.h"

#include <complex>
#include <cstddef>
#include <vector>

namespace crossover {

constexpr double GridFirstHz = 20, GridLastHz = 20000;
constexpr int GridPointsPerOctave = 48;

struct Grid {
    std::vector<double> hz; // rising
    std::size_t size() const { return hz.size(); }
};

// firstHz, lastHz and the points in between spaced evenly in log f, at least pointsPerOctave to
// the octave (480 points for the default 20 Hz to 20 kHz).
Grid logGrid(double firstHz = GridFirstHz, double lastHz = GridLastHz, int pointsPerOctave = GridPointsPerOctave);

// One acoustic curve on a grid: level and phase at each grid point, NaN where there is no data.
struct Trace {
    std::vector<double> db;       // dB SPL (at 2.83 V / 1 m for a driver)
    std::vector<double> phaseDeg; // continuous (unwrapped) degrees
    bool has(std::size_t k) const;
};

// Unwraps a phase in degrees in place: each step between neighbours brought within +-180 degrees.
// A NaN ends a run; the next run starts as it is.
void unwrapDeg(std::vector<double> &phaseDeg);
// The phase wrapped into (-180, 180] degrees.
double wrapDeg(double phaseDeg);

// The bulk delay (s) of a measured phase: minus the slope, in turns per hertz, of the least-squares
// straight line through the phase (unwrapped there) over the top octave of the points (at least
// the last two points). Positive for a sound that arrives late.
double bulkDelay(const std::vector<double> &hz, const std::vector<double> &phaseDeg);

// A response file on the grid: its phase with the bulk delay handled as above, or the minimum phase
// of its magnitude when the file has none. NaN outside the file's range.
Trace responseOnGrid(const kelvane::driverdata::Curve &response, const Grid &grid);

// An impedance file on the grid (ohms, complex), held at its end values outside the file's range.
// A file without phase gets the minimum phase of its magnitude: a driver's impedance, like that of
// every passive two-terminal circuit, is a minimum-phase function.
std::vector<std::complex<double>> impedanceOnGrid(const kelvane::driverdata::Curve &impedance, const Grid &grid);

} // namespace crossover
