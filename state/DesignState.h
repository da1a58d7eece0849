// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The design the window shows, as plain values: the driver as entered (in working units: Hz, cubic
// feet, inches, watts, dB), what Calculate worked out from it (the sealed and vented boxes, the
// per-frequency curves, the displacement limits, the box dimensions and vents) and the last crossover
// network. The window holds the one design state; the tabs read it by const reference, or take the
// part they need by value (a DesignState is each of its parts).

#include "crossover/CrossoverCore.h"

#include <QString>
#include <array>
#include <optional>

namespace kelvane::state {

// The driver's values as entered or derived on the Input tab, and the woofer's Re and Z of the
// Crossover tab.
struct DriverState {
    QString DriverName;
    double Fs = 0, Qts = 0, Qes = 0, Qms = 0, Vas = 0, Qtc = 0;
    double Power = 0, Vd = 0, Sd = 0, Dia = 0, Xmax = 0, VCHeight = 0, VCGap = 0;
    double Re = 0, Z = 0;
};

// Efficiency, sensitivity and the box the driver suits.
struct EfficiencyState {
    double Efficiency = 0, SPL = 0, EBP = 0;
    QString EstimatedNote, Recommendation;
};

// Crossover: tweeter resonance and impedance, the crossover frequencies of the woofer's low-pass
// and the tweeter's high-pass (Hz, ohms), and the last network calculated, shown on both crossover
// tabs until the next calculation.
struct CrossoverState {
    double TweeterFs = 0, TweeterZ = 0, WooferXover = 0, TweeterXover = 0;
    std::optional<crossover::Design> CrossoverNetwork;
};

struct SealedState {
    double VbSealed = 0, Alpha = 0, Fc = 0, F3Sealed = 0, PeakdBSealed = 0, PeakFreqSealed = 0;
};

struct VentedState {
    double VbVented = 0, Fb = 0, Qloss = 0, F3Vented = 0, PeakdBVented = 0, PeakFreqVented = 0;
};

// Per-frequency curves, indexed by the frequency in whole hertz (entries below 10 Hz unused).
using Curve = std::array<double, 501>;

struct CurveState {
    Curve VentedResponse{}, SealedResponse{};
    Curve PaSealed{}, SPLSealedLimit{}, PaVented{}, SPLVentedLimit{};
};

struct DisplacementState {
    double AcousticPowerMax = 0, SPLMax = 0, KpSealed = 0, KpVented = 0;
    double AlphaQtc11 = 0, FcQtc11 = 0, F3Qtc11 = 0, VbQtc11 = 0;
    double AcousticPowerQtc11 = 0, PowerQtc11 = 0;
};

// Box dimensions and vents: the volume added for the driver and bracing, the over-volume
// percentage, the boxes as built, their depths for the three shapes and each vent's length. Vent air
// speeds: the Vd they were worked out for (cubic metres), the speed in each vent (m/s) and the
// narrowest vent at the speed limit (inches); 0 where there is none.
struct BoxVentState {
    double AddVolume = 0, PercentOverVolume = 0;
    double VbSealedBuild = 0, VbVentedBuild = 0;
    double DepthSealedA = 0, DepthSealedB = 0, DepthSealedC = 0;
    double DepthVentedA = 0, DepthVentedB = 0, DepthVentedC = 0;
    double VbVentedCuIn = 0;
    std::array<double, 8> VentDia{}, VentLength{};
    double VentVd = 0, MinVentDia = 0;
    std::array<double, 7> VentSpeed{};
};

struct DesignState : DriverState, EfficiencyState, CrossoverState, SealedState, VentedState, CurveState,
                     DisplacementState, BoxVentState {
};

} // namespace kelvane::state
