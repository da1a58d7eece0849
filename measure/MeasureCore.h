// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A builder's own driver measured from impedance curves: Thiele-Small parameters by the standard
// method and by a least-squares fit of the whole curve, Vas and the moving parts from a second
// curve (added mass or a sealed test box), and the tuning of a built vented box. Plain functions
// of the curves the impedance reader gives; a curve that cannot be measured gives a problem in
// plain words naming its file, and no numbers.

#include "analysis/AnalysisCore.h"
#include "driverdata/DriverData.h"
#include "library/DriverEntry.h"

#include <QString>
#include <complex>
#include <optional>
#include <vector>

namespace kelvane::measure {

using driverdata::Curve;

// The driver's impedance: the voice coil in series with the motional impedance of the moving
// parts. The coil is the lossy-inductance model of two inductances: Le in series, then a second
// inductance L2 with the eddy-current loss resistance R2 across it,
//   Zcoil = Re + j w Le + (j w L2 R2) / (R2 + j w L2).
// The moving parts are the parallel resonant circuit of the small-signal model, in the Q values:
//   Zmot = (Re / Qes) / (1/Qms + s + 1/s),  s = j f / Fs.
struct DriverModel {
    double re = 0;         // voice-coil resistance, ohms
    double fs = 0;         // free-air resonance, Hz
    double qms = 0, qes = 0;
    double le = 0;         // series inductance, H
    double l2 = 0, r2 = 0; // second inductance (H) and the resistance across it (ohms); 0: none
};
std::complex<double> impedance(const DriverModel &m, double hz);
// The coil's inductance as seen at hz: the imaginary part of the coil's impedance over w (H).
double coilInductance(const DriverModel &m, double hz);

// The same driver in a vented box of compliance ratio alpha = Vas / Vb, tuned to fb Hz with the
// leakage Q ql (the box of the vented model: air compliance, vent mass and leakage in parallel):
//   Zmot = (Re / Qes) / (1/Qms + s + 1/s + alpha s / (s^2 + s h / Ql + h^2)),  h = Fb / Fs.
std::complex<double> ventedImpedance(const DriverModel &m, double alpha, double fb, double ql, double hz);

// The resonance by the standard method: Fs where the phase crosses from positive to negative at
// the resonance peak (the top of the peak without phase), Zmax = |Z| there, f1 and f2 where
// |Z| = sqrt(Re Zmax), Qms = Fs sqrt(Zmax/Re) / (f2 - f1), Qes = Qms / (Zmax/Re - 1).
struct Resonance {
    double fs = 0, zmax = 0, f1 = 0, f2 = 0; // Hz, ohms, Hz, Hz
    double qms = 0, qes = 0, qts = 0;
};

// The free-air curve measured.
struct FreeAir {
    QString problem;       // what is wrong with the curve, in plain words; empty when measured
    double re = 0;         // ohms: as typed, or the fit's
    bool reFromFit = false;
    Resonance standard;    // the values shown and exported, as datasheets quote them
    DriverModel fit;       // the least-squares fit of the whole curve
    double le = 0;         // the fitted coil's inductance at 1 kHz, H
    double fitError = 0;   // rms of the fit's magnitude error, % of |Z|
    std::vector<double> fitOhms; // |Z| of the fit at the curve's frequencies
    bool ok() const { return problem.isEmpty(); }
};
// reOhms: the voice coil's DC resistance when it is known (0: taken from the fit).
FreeAir measureFreeAir(const Curve &curve, double reOhms = 0);

enum class VasMethod { AddedMass, TestBox };

// The second measurement and what it gives.
struct SecondInput {
    VasMethod method = VasMethod::AddedMass;
    double amount = 0; // grams added to the cone, or litres of the test box
    double sdCm2 = 0;  // cone area, square centimetres; 0 when not known
};
struct Mechanics {
    QString problem;
    Resonance second;             // the second curve's resonance (Fs' or Fc, Qec), with the same Re
    std::optional<double> vas;    // litres
    std::optional<double> mms;    // grams
    std::optional<double> cms;    // m/N
    std::optional<double> bl;     // T m
    std::optional<double> spl;    // dB SPL at 1 W / 1 m, as the Box Model works it out
    bool ok() const { return problem.isEmpty(); }
};
// Added mass M: Mms = M / ((Fs/Fs')^2 - 1), Cms = 1 / ((2 pi Fs)^2 Mms), Vas = rho c^2 Sd^2 Cms.
// Test box Vb: Vas = Vb ((Fc Qec) / (Fs Qes) - 1), Cms = Vas / (rho c^2 Sd^2), Mms from Fs and Cms.
// Bl = sqrt(2 pi Fs Re Mms / Qes). What needs the cone area stays empty without it.
Mechanics measureMechanics(const FreeAir &freeAir, const Curve &second, const SecondInput &in);

// The measured driver as a library entry (Maker "Measured", Model the free-air file's base
// name, source "measured", the file names in the notes); values rounded to four digits.
library::Entry measuredEntry(const FreeAir &freeAir, const QString &freeAirFile, const Mechanics *mechanics,
                             const QString &secondFile, const SecondInput &in);

// The built vented box checked from its impedance.
struct BoxCheck {
    QString problem;
    double fb = 0;           // Hz: the lowest |Z| between the two peaks (the bench estimate)
    double fLow = 0, fHigh = 0; // the two peaks, Hz
    std::optional<double> ql; // the leakage Q, when the driver is known
    bool ok() const { return problem.isEmpty(); }
};
// driver: the driver's model (the free-air measurement, or the Input tab's values with Le alone)
// when known; the leakage Q is the best fit of the vented box's impedance to the curve around
// its two peaks.
BoxCheck checkVentedBox(const Curve &curve, const std::optional<DriverModel> &driver);

// "Designed 34.0 Hz, measured 31.8 Hz: shorten the vent by about 12 mm" for a round vent of the
// given diameter (inches) in the net volume (cubic feet), by the Box and Vent tab's vent length.
// Empty when the vent does not fit the design.
QString ventAdvice(double designedFb, double measuredFb, double ventDiameter, double vbCuFt);

// The picture's axes: log frequency from a 1-2-5 step below the lowest frequency to one above the
// highest, ohms from 0 with round steps; positions on the 640 x 480 scale inside the plot frame.
struct PlotAxes {
    double lowHz = 10, highHz = 20000;
    analysis::Axis ohms;
};
PlotAxes plotAxes(double lowestHz, double highestHz, double highestOhms);
double plotX(const PlotAxes &axes, double hz);
double plotY(const PlotAxes &axes, double ohms);

} // namespace kelvane::measure
