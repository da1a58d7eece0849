// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The crossover as a builder solders it: coils with their wire's resistance, values from a standard
// series, an L-pad for the tweeter, the baffle step and the network that compensates it, the level
// the tweeter should be padded by, and what each part must take at a given power. Pure functions;
// no widget.
//
// The network as built (builtNetwork) is the two-way network of Simulation.h with, in addition:
//   - every inductor's wire resistance in series with it (Part::seriesOhms);
//   - the baffle-step compensation between the amplifier and the woofer's low-pass: a coil (with its
//     wire) and a resistor across it;
//   - the L-pad after the high-pass's last part: its series resistor, then its parallel resistor
//     across the tweeter.
// The pad, the compensation and the Zobel are given at their exact values and built at their
// nearest values of the chosen series; the sections' parts are taken as the builder uses them.

#include "crossover/CrossoverCore.h"
#include "crossover/Network.h"
#include "crossover/Simulation.h"

#include <QString>
#include <complex>
#include <vector>

namespace crossover {

// ---- Coils ----------------------------------------------------------------------------------

// The wire resistance (ohms) of an air-core coil of `henries` wound of 18 AWG wire in the usual
// proportions: 0.46 ohm * (L / 1 mH)^0.6. A rule of thumb fitted to coil makers' tables of such
// coils (0.18 ohm at 0.2 mH, 0.46 ohm at 1 mH, 0.95 ohm at 3.3 mH): for a coil of fixed shape the
// wire's length grows about as the 0.6th power of the inductance. 0 for a value not above 0.
double coilDcr(double henries);
// coilDcr of every inductor of a section, 0 for its capacitors: the default resistances.
std::vector<double> defaultDcr(const Section &section);

// ---- Standard series ------------------------------------------------------------------------

enum class PartSeries { E12, E24 };
// "E12", "E24", in that order (the choices of the series box).
QStringList seriesNames();
// The value of the series nearest to value, nearest by ratio (as nearestE12; E12 gives exactly
// nearestE12's value). E24: 1.0 1.1 1.2 1.3 1.5 1.6 1.8 2.0 2.2 2.4 2.7 3.0 3.3 3.6 3.9 4.3 4.7 5.1
// 5.6 6.2 6.8 7.5 8.2 9.1. Throws kelvane::CalcFault for a value not a finite number above 0.
double nearestInSeries(double value, PartSeries series);
// The series' values just below-or-at and just at-or-above value (equal when value is one).
struct SeriesNeighbours {
    double below, above;
};
SeriesNeighbours seriesNeighbours(double value, PartSeries series);
// The nearest value of every part of a section (henries, farads), rounded in the unit it is shown
// in (mH, uF), as e12Values does.
std::vector<double> seriesValues(const Section &section, PartSeries series);

// ---- Tweeter L-pad --------------------------------------------------------------------------

// An L-pad of `db` dB for a driver of `ohms`: series R1 = Z (1 - a), parallel R2 = Z a / (1 - a),
// a = 10^(-dB/20). It keeps the impedance the filter sees at Z for a resistive driver. Not used for
// 0 dB or less, a value that is not a number, or a pad so slight that a rounds to 1.
struct LPad {
    bool used = false;
    double series = 0, parallel = 0; // ohms
};
LPad lPad(double db, double ohms);

// ---- Baffle step ----------------------------------------------------------------------------

// The frequency of the baffle step of a baffle `widthM` metres wide: f3 = 115 / W Hz (the rule
// of thumb from the diffraction of a flat baffle: the step's middle lies where the wavelength is
// about three baffle widths). Throws kelvane::CalcFault for a width not above 0.
double baffleStepHz(double widthM);
// The step as a first-order shelf, H(s) = (s + w3/sqrt2) / (s + sqrt2 w3), w3 = 2 pi f3: -6.02 dB
// far below f3 (half the pressure: the woofer radiates into the whole sphere), 0 dB far above
// (into the half space in front of the baffle), -3.01 dB at f3.
std::complex<double> baffleShelf(double hz, double f3);
// The shelf added to a response on a grid (its level in dB, its phase in degrees); for the woofer's
// modelled response only (a measured response already has its baffle's step in it).
void addBaffleStep(Trace &response, const Grid &grid, double f3);

// The compensation network: a coil with a resistor across it, in series before the woofer's
// low-pass, taking `percent` % of the 6.02 dB step back (A = p / 100 * 6.02 dB) for a woofer of
// `ohms`: R = Z (10^(A/20) - 1), L = R sqrt(Z / (Z + R)) / (2 pi f3); its coil has coilDcr.
// Not used at 0 % (or below). Throws kelvane::CalcFault for f3 or ohms not above 0.
struct BaffleNetwork {
    bool used = false;
    double ohms = 0, henries = 0, dcr = 0;
};
BaffleNetwork baffleNetwork(double percent, double ohms, double f3);

// ---- The network as built -------------------------------------------------------------------

// The parts are grouped as PartGroup says: the sections' parts by their index, the pad's series
// resistor 0 and parallel resistor 1, the compensation's coil 0 and resistor 1.
struct BuiltCrossover {
    Section woofer, tweeter;                   // at the values the builder uses
    std::vector<double> wooferDcr, tweeterDcr; // ohms, one per part (a capacitor's is not used);
                                               // empty: the default coilDcr of each coil
    Zobel zobel;                               // exact; built at its nearest values
    double padDb = 0;                          // the tweeter's L-pad (0: none)
    double tweeterOhms = 8;                    // the tweeter's nominal impedance, for the pad
    BaffleNetwork baffle;                      // exact; built at its nearest values (its coil's dcr as given)
    PartSeries series = PartSeries::E12;
};

// The pad's resistors as built: lPad at the nearest values of the series.
LPad builtPad(const BuiltCrossover &b);
// The whole network from the amplifier to both drivers (loads WooferLoad, TweeterLoad). Throws
// kelvane::CalcFault for a value that is not usable.
Network builtNetwork(const BuiltCrossover &b);

// ---- Tweeter level --------------------------------------------------------------------------

// How much to pad the tweeter down: the tweeter's mean level (mean of its dB values at the grid's
// points) over the octave above its crossover frequency minus the woofer's over the octave below
// its own, both on the drivers' responses without the filters, rounded to 0.1 dB and at most 20 dB.
// A negative difference gives 0 and tweeterQuieter. NaN where either has no data there.
struct PadSuggestion {
    double db = 0;
    bool tweeterQuieter = false;
};
PadSuggestion suggestPad(const Trace &woofer, const Trace &tweeter, const Grid &grid, double wooferHz,
                         double tweeterHz);

// ---- Part stress ----------------------------------------------------------------------------

// What a part must take with a sine of sqrt(P Z) volts rms from the amplifier swept over the
// grid's frequencies, worst case: a resistor's largest mean power (W), an inductor's largest rms
// current (A), a capacitor's largest peak voltage (V). Drivers are skipped.
struct PartStress {
    PartGroup group;
    int index = 0;
    Part::Kind kind = Part::Resistor;
    double value = 0;   // W, A or V
    QString text;       // "3.2 W", "2.1 A", "45 V"
};
// Throws kelvane::CalcFault as solve() does, or for a power or impedance not above 0.
std::vector<PartStress> partStress(const Network &network, const Loads &loads, const Grid &grid, double watts,
                                   double ohms);
// The stress of the part of that group and index; nullptr when there is none.
const PartStress *stressOf(const std::vector<PartStress> &stresses, PartGroup group, int index);
// The resistors that must take more than `watts` (10 W: more than the usual wire-wound resistor).
std::vector<PartStress> resistorsOver(const std::vector<PartStress> &stresses, double watts = 10);

} // namespace crossover
