// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The crossover optimizer: the values of both sections' parts and the tweeter's pad that bring the
// drivers closest to the alignment's acoustic target. Pure code; no widget. It runs on any thread:
// it reads only its input, and reports through the stop flag and the progress callback it is given.
//
// The target: the woofer should sound like the alignment's low-pass at the woofer's crossover
// frequency, the tweeter like its high-pass at the tweeter's, and both together like the two
// added with the alignment's polarity, all on the target level. The target level is the woofer's
// mean level (mean of the dB values at the grid points) through its section as first built, from
// 200 Hz to half the woofer's crossover frequency (from a quarter to a half of it when that is
// under 400 Hz), fixed once before optimizing.
//
// The objective: the weighted mean square of the dB differences of the woofer, the tweeter and the
// sum from their targets at the grid points from 200 Hz to 10 kHz where both drivers have data,
// weight 4 within half an octave of either crossover frequency, 1 elsewhere. A level more than
// 40 dB under the target level counts as 40 dB under it, in the curve and in its target alike:
// what far down in a driver's stop band is not heard beside the other driver, and dB differences
// there would otherwise outweigh the band that matters.
//
// The search: every part value (on a logarithmic scale, within 1/4 to 4 times its textbook value)
// and the pad (0 to 20 dB) by Levenberg-Marquardt with finite-difference derivatives, from the
// values as built, from the textbook values and from two spread around them; then each part in
// turn (the one whose snapping costs least first) is snapped to the better of its two neighbours in
// the chosen series and the rest polished again; last the pad is rounded to 0.1 dB with its resistors at their nearest
// values. Deterministic; at most MaxEvaluations evaluations of the network.
//
// Each evaluation walks the two ladders (ladderVoltages) rather than solving the nodal matrix: the
// two-way network as built is two ladders from an ideal voltage source, so each branch solves alone.

#include "crossover/RealParts.h"

#include <QString>
#include <atomic>
#include <functional>
#include <vector>

namespace crossover {

constexpr int MaxEvaluations = 20000;
constexpr double OptimizeFromHz = 200, OptimizeToHz = 10000;

// The drivers' terminal voltages per volt of the amplifier (what solve() gives at the drivers'
// nodes of builtNetwork(b)), by walking each branch from its driver back to the amplifier.
struct TerminalVoltages {
    std::vector<std::complex<double>> woofer, tweeter;
};
TerminalVoltages ladderVoltages(const BuiltCrossover &b, const Loads &loads, const Grid &grid);

struct OptimizeInput {
    Design design;       // the textbook design: the alignment, crossover frequencies, bounds
    BuiltCrossover start; // the network as built now: used values, coil resistances, pad, baffle
                          // step, Zobel, series (start.wooferDcr/tweeterDcr empty: all default)
    std::vector<bool> wooferDcrTyped, tweeterDcrTyped; // per part: the builder typed the coil's
                                                       // resistance (empty: none typed)
    DriverCurves woofer, tweeter; // on `grid`; the woofer's modelled response with its baffle step
    Acoustics acoustics;
    Grid grid; // the curves' grid (logGrid()); the optimizer uses its points from 200 Hz to 10 kHz
};

struct OptimizeResult {
    BuiltCrossover built;      // the optimized network: series values, coil resistances, pad (0.1 dB)
    bool cancelled = false;    // stopped: `built` is the start unchanged
    int evaluations = 0;       // network evaluations used
    double targetDb = 0;       // the target level
    double fromHz = 0, toHz = 0; // where the figures below were taken (both drivers have data)
    double withinBefore = 0, withinAfter = 0;       // withinDb of the sum, start and result
    double fromTargetBefore = 0, fromTargetAfter = 0; // the sum's largest difference from the target sum
    double fromTargetUnsnapped = 0; // the same for the best values before snapping (pad as found)
    QString line; // "Sum within ±0.9 dB from 200 Hz to 10 kHz (was ±4.6 dB); at most 1.2 dB from the
                  // target (was 6.3 dB)"
};

// Optimizes. `stop` (may be null) is read between evaluations: once true, the run ends with
// cancelled and the start. `progress` (may be empty) is called now and then with the fraction done
// (0 to 1), on the calling thread. Throws kelvane::CalcFault when the network cannot be evaluated or
// the drivers have no data in common from 200 Hz to 10 kHz, or the woofer none where the target
// level is taken.
OptimizeResult optimize(const OptimizeInput &in, const std::atomic<bool> *stop = nullptr,
                        const std::function<void(double)> &progress = {});

// The target's levels (dB) at the grid's frequencies on a target level: the alignment's low-pass,
// high-pass and their sum.
struct TargetCurves {
    std::vector<double> woofer, tweeter, sum;
};
TargetCurves targetCurves(const Design &design, double targetDb, const Grid &grid);

} // namespace crossover
