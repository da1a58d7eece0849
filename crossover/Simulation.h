// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two-way crossover simulated on its drivers: the network as built (both sections at the values
// the builder uses, the Zobel at its E12 values) loaded by each driver's impedance, and the sound of
// each driver through it and of both together. Pure functions; no widget.
//
// The pipeline, each stage usable alone:
//   Grid grid = logGrid();                                        // SimGrid.h
//   DriverCurves woofer = modelledWoofer(driver, box, grid);      // or from files:
//   woofer.response = responseOnGrid(*frd, grid);                 //   a response file
//   woofer.impedance = impedanceOnGrid(*zma, grid);               //   an impedance file
//   DriverCurves tweeter = nominalDriver(ohms, spl, grid);        // or from files as above
//   Network net = twoWayNetwork(usedSection(d.woofer, wooferValues),
//                               usedSection(d.tweeter, tweeterValues), e12Zobel(d.zobel));
//   Simulation sim = simulate(net, woofer, tweeter, {offsetMm, reversed}, grid);
//   notes: lowestImpedanceNote(sim), sumNote(sim); the CSV: simulationCsv(sim).
//
// Each driver's acoustic response through the network: its response at 2.83 V / 1 m plus
// 20 log10 |V| (V its terminal voltage over the amplifier's), its phase plus the phase of V; the
// tweeter's sound also arrives offset/c later (offset in m, c = 343 m/s; a negative offset is
// earlier) and is turned over (+180 degrees) when connected in reversed polarity. The sum adds the
// two as complex pressures, only where both drivers have data.

#include "analysis/Snapshot.h"
#include "crossover/CrossoverCore.h"
#include "crossover/Network.h"
#include "crossover/SimGrid.h"

#include <QString>
#include <complex>
#include <vector>

namespace crossover {

// Speed of sound for the tweeter's acoustic offset, m/s (air at about 20 degrees C).
constexpr double OffsetSoundSpeed = 343;
// The amplifier's drive for the responses: 2.83 V, 1 W into 8 ohms.
constexpr double DriveVolts = 2.83;
// The loads of twoWayNetwork.
constexpr int WooferLoad = 0, TweeterLoad = 1;

// A driver as the simulation sees it, on the grid.
struct DriverCurves {
    Trace response;                              // dB SPL at 2.83 V / 1 m and phase; NaN where no data
    std::vector<std::complex<double>> impedance; // ohms at every grid point
};

// A driver of a resistance of `ohms`, flat at `db` dB SPL (2.83 V / 1 m), with no phase shift: the
// tweeter without files.
DriverCurves nominalDriver(double ohms, double db, const Grid &grid);

// The Box Model's sensitivity at 2.83 V: the level at 1 W / 1 m + 10 log10(2.83^2 / Re), since the
// reference efficiency counts the electrical power V^2 / Re. Needs the driver's Re (> 0).
double sensitivityAt283(const kelvane::analysis::DriverSnapshot &driver);

// The woofer without files, in its box (sealed or vented) of the Box Model, over the whole grid:
// its impedance from the Analysis core's lumped circuit (motionAt); its response the box's transfer
// function (transferOf) at sensitivityAt283, times the fall the voice coil's inductance adds at the
// top (the cone velocity with Le over the cone velocity without it: Re Zm + Bl^2 over
// (Re + j w Le) Zm + Bl^2; 1 without Le). Throws kelvane::CalcFault without Re.
DriverCurves modelledWoofer(const kelvane::analysis::DriverSnapshot &driver, const kelvane::analysis::BoxSnapshot &box,
                            const Grid &grid);

// A section with the same parts in the same places at other values (henries, farads; one per part).
// Throws kelvane::CalcFault when the count differs.
Section usedSection(const Section &section, const std::vector<double> &values);
// The nearest E12 value of each part (henries, farads), as the part list shows it: the used values
// until the builder types others.
std::vector<double> e12Values(const Section &section);
// The Zobel network at its nearest E12 values.
Zobel e12Zobel(const Zobel &zobel);

// Adds a section to the network as a ladder from `node`: a series part leads on to a new node, a
// shunt part goes to the return wire. seriesOhms: the wire resistance of each part that is a coil (a
// capacitor's entry is not used; empty: none). Returns the node the section's driver hangs on.
int addLadder(Network &network, int node, const Section &section, PartGroup group,
              const std::vector<double> &seriesOhms = {});

// Both sections from the amplifier's input (node 1) to their drivers (loads WooferLoad and
// TweeterLoad), the Zobel (resistor, then capacitor, to the return wire) across the woofer when used.
Network twoWayNetwork(const Section &woofer, const Section &tweeter, const Zobel &zobel);

struct Acoustics {
    double offsetMm = 0;          // the tweeter's acoustic centre behind (+) or in front of (-) the woofer's
    bool tweeterReversed = false; // the tweeter connected in reversed polarity; as the design's note
                                  // says to start with: Design::tweeterSign < 0 (third order: normal)
};

struct Simulation {
    Grid grid;
    Loads loads;                                    // the drivers' impedances (WooferLoad, TweeterLoad)
    Solution solution;                              // every node's voltage: part voltages and currents
    std::vector<std::complex<double>> wooferVoltage, tweeterVoltage; // terminal over amplifier voltage
    std::vector<std::complex<double>> impedance;    // the impedance the amplifier sees, ohms
    Trace woofer, tweeter, sum;                     // acoustic, dB SPL at 2.83 V / 1 m; continuous phase
};

// The network with the drivers as its loads WooferLoad and TweeterLoad. Throws kelvane::CalcFault
// as solve() does, or when a driver's curves do not fit the grid.
Simulation simulate(const Network &network, const DriverCurves &woofer, const DriverCurves &tweeter,
                    const Acoustics &acoustics, const Grid &grid);

// "The sum stays within +-D dB": D is half the difference between the highest and the lowest level
// of a curve over fromHz..toHz (grid points within it where the curve has data). NaN where it has none.
double withinDb(const Trace &trace, const Grid &grid, double fromHz, double toHz);

// The range where a curve has data (the first and the last grid point with data); both 0 when none.
struct Band {
    double fromHz = 0, toHz = 0;
    bool empty() const { return toHz <= 0; }
};
Band dataBand(const Trace &trace, const Grid &grid);

// The lowest impedance magnitude the amplifier sees over the grid, and where.
struct LowestImpedance {
    double ohms = 0, hz = 0;
};
LowestImpedance lowestImpedance(const Simulation &simulation);

// "The amplifier sees 5.1 ohms at 180 Hz at least".
QString lowestImpedanceNote(const Simulation &simulation);
// "The sum stays within ±1.8 dB from 300 Hz to 10 kHz" over the range where both drivers have data;
// empty when there is none.
QString sumNote(const Simulation &simulation);

// The simulation as CSV text: a header row, then one row per grid frequency with the columns
// Frequency (Hz), Woofer (dB), Woofer phase (deg), Tweeter (dB), Tweeter phase (deg), Sum (dB),
// Sum phase (deg), Impedance (ohm), Impedance phase (deg); "." decimals; frequencies, levels and
// impedances to 6 significant digits, phases wrapped into (-180, 180] with 2 decimals; an empty
// cell where a curve has no data; lines end in "\n".
QString simulationCsv(const Simulation &simulation);

} // namespace crossover
