// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two more boxes for the driver of the Input tab: a box tuned by passive radiators instead of a vent,
// and the fourth-order bandpass box (a sealed rear chamber behind the driver, a vented front chamber
// in front of it, sound from the vent alone). Plain functions of plain values; no widget.
//
// Both are worked out on the lumped circuit of the Analysis tab (analysis/AnalysisCore.h), so the
// numbers here and the curves there agree. Volumes in cubic feet (the tab converts its result unit),
// frequencies in Hz; other units as each field says. A value that cannot be worked out is NaN.

#include "analysis/Snapshot.h"

#include <QString>
#include <limits>

namespace kelvane::moreboxes {

inline constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

// ---------------------------------------------------------------------------------------------
// Passive radiator box
//
// A passive radiator is a vent whose air mass is the radiator's moving mass Mmp (kg), with its
// suspension Cmp = Vap / (rho c^2 Sdp^2) (m/N) and losses Rmp = 2 pi Fp Mmp / Qmp; N radiators move
// together. With the box compliance Cab = Vb / (rho c^2) the box tunes to
//   Fb = Fp sqrt(1 + N Vap / Vb),   Fp = 1 / (2 pi sqrt(Mmp Cmp))  (the radiator's own resonance),
// and the response has a zero (the notch) at Fp.

struct RadiatorInput {
    double sd = 0;    // area of one radiator, cm^2
    double mms = 0;   // moving mass of one radiator as supplied (air load included), g
    double vas = 0;   // compliance volume of one radiator, cubic feet
    double qms = 5;   // mechanical Q of one radiator
    double xmax = 0;  // one-way linear excursion of a radiator, mm; 0 when not given
    int count = 1;    // radiators, 1 to 4
    double vb = 0;    // net box volume, cubic feet
    double fb = 0;    // target tuning, Hz
    double driverVd = 0; // the driver's linear displacement Vd (m^3) as the Box and Vent tab takes it;
                         // 0: Sd x Xmax of the driver snapshot, and nothing when those are missing
};

struct RadiatorResult {
    bool valid = false;          // false: an input is missing or not positive; nothing else is set
    double totalMass = NoValue;  // moving mass one radiator needs for the tuning, g
    double addedMass = NoValue;  // mass to add to each radiator, g; negative: the radiator is too heavy
    double fp = NoValue;         // the radiator's resonance with that mass (the notch), Hz
    double f3 = NoValue;         // -3 dB frequency of the response (highest one), Hz
    double peakdB = 0;           // largest response value from 10 to 500 Hz, or 0 below 0.01 dB
    double peakFreq = 0;         // whole-hertz frequency of that value, or 0
    double excursion = NoValue;  // the radiators' largest one-way excursion (mm) with the amplifier set
                                 // so that the cone's largest one-way displacement is its Vd; NaN
                                 // without Vd
    double radiatorVd = NoValue; // N Sdp Xmaxp, m^3; NaN without the radiator's Xmax
    double vd = NoValue;         // the driver's Vd used, m^3; NaN when not known
    bool ruleMet = false;        // radiatorVd >= 2 vd (false when either is unknown)
};

RadiatorResult designRadiator(const analysis::DriverSnapshot &driver, const RadiatorInput &in, double qloss);

// The Analysis tab's box of a radiator design: kind PassiveRadiator, vb, fb, qloss and the
// radiator with its total mass. Kind Sealed with vb 0 when the result is not valid.
analysis::BoxSnapshot radiatorBox(const RadiatorInput &in, const RadiatorResult &result, double qloss);

// Captions of the frame's results, "" where nothing is to be shown (result not valid).
struct RadiatorCaptions {
    QString addedMass; // LblPRAddedMass: "#0.0 g", or "-#0.0 g: too heavy for this tuning ..."
    QString fp;        // LblPRFp: "#0.0 Hz"
    QString f3;        // LblPRF3: "#0.0 Hz"
    QString peak;      // LblPRPeak: "#0.00 dB at #0.0 Hz", or "No peak"
    QString excursion; // LblPRExcursion: "#0.0 mm ..." with the radiators' Xmax and the rule in words
};
RadiatorCaptions radiatorCaptions(const RadiatorInput &in, const RadiatorResult &result);

// ---------------------------------------------------------------------------------------------
// Fourth-order bandpass box
//
// Design from the passband ripple S and the passband gain (dB over the driver's own sensitivity):
// Qbp from the gain, the front chamber from S, the rear chamber and Fb from Qbp. The equations are
// stated with the implementation.

struct BandpassInput {
    double rearVb = NoValue;  // sealed rear chamber, cubic feet; NaN or 0: empty
    double frontVb = NoValue; // vented front chamber, cubic feet; NaN or 0: empty
    double fb = NoValue;      // tuning of the front chamber, Hz; NaN or 0: empty
    double ripple = 0.7;      // S: 0.7 a flat passband, smaller a wider band with a dip
    double gain = 3;          // passband gain over the driver's sensitivity, dB
    double ventDiameter = 0;  // round vent, inches; 0 when not given
    double driverVd = 0;      // as in RadiatorInput
};

// The chambers and tuning to build: the user's when all three are given, the design otherwise.
struct BandpassDesign {
    bool valid = false;      // false: see note
    bool designed = false;   // true: from S and the gain (the tab fills its three fields with them)
    double rearVb = NoValue, frontVb = NoValue, fb = NoValue; // cubic feet, cubic feet, Hz
    double qbp = NoValue;    // the design's Qbp (NaN for the user's own chambers)
    QString note;            // plain words when there is no design (Qts too high, S or gain unusable)
};
// Only the design equations, from S and the gain.
BandpassDesign designBandpass(const analysis::DriverSnapshot &driver, double ripple, double gain);
// The user's chambers when all three are given and positive, designBandpass otherwise.
BandpassDesign bandpassChambers(const analysis::DriverSnapshot &driver, const BandpassInput &in);

struct BandpassResult {
    bool valid = false;
    double f3Low = NoValue, f3High = NoValue; // -3 dB below the highest level of the passband, Hz
    double gain = NoValue;        // highest level reached, dB over the driver's sensitivity
    double gainFreq = NoValue;    // where, Hz
    double ventLength = NoValue;  // inches, the Box and Vent tab's formula; <= 0: too narrow for the chamber
    double ventSpeed = NoValue;   // m/s, the Box and Vent tab's way (cone moving Vd at Fb); NaN without Vd
};
BandpassResult evaluateBandpass(const analysis::DriverSnapshot &driver, const BandpassDesign &design,
                                const BandpassInput &in, double qloss);

// The Analysis tab's box of a bandpass design: kind Bandpass, vb = rear chamber, frontVb, fb, qloss
// and the one vent (vents[0]) with its Box-and-Vent speed. Kind Sealed with vb 0 when not valid.
analysis::BoxSnapshot bandpassBox(const BandpassDesign &design, const BandpassInput &in,
                                  const BandpassResult &result, double qloss);

struct BandpassCaptions {
    QString f3Low;      // LblBPF3Low: "#0.0 Hz"
    QString f3High;     // LblBPF3High: "#0.0 Hz"
    QString gain;       // LblBPGain: "#0.0 dB"
    QString ventLength; // "#0.00''", plain words when no vent of that diameter fits, "" without a diameter
    QString ventSpeed;  // "#0.0 m/s" ("... too fast" over 17 m/s), or what to enter for it
    QString note;       // the design's note, "" when there is a design
};
BandpassCaptions bandpassCaptions(const BandpassDesign &design, const BandpassResult &result,
                                  const BandpassInput &in);

} // namespace kelvane::moreboxes
