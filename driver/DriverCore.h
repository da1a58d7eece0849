// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Values derived from the driver's data: total Q from the electrical and mechanical Q, an estimate
// of a missing Qes, reference efficiency, sensitivity and EBP with the box-type advice, and the
// linear volume displacement Vd from cone area (or diameter) and excursion. Plain functions; a
// non-finite result throws CalcFault.

#include <QString>

namespace kelvane::driver {

// 1/Qts = 1/Qes + 1/Qms.
double totalQ(double qes, double qms);

// Qes from 1/Qts = 1/Qes + 1/Qms: Qms Qts / (Qms - Qts).
double estimatedQes(double qts, double qms);
// Qes when Qms is not known either, taking Qms as 3: 3 Qts / (3 - Qts).
double estimatedQes(double qts);

struct Efficiency {
    double efficiency = 0; // reference efficiency, a fraction
    double spl = 0;        // dB SPL at 1 W / 1 m
    double ebp = 0;        // efficiency bandwidth product Fs / Qes, Hz
};

// Efficiency = 2.7e-8 Fs^3 Vas / Qes (Vas in cubic feet; 4 pi^2 / c^3 rounded to 2.7e-8),
// SPL = 10 log10(Efficiency) + 112.2, EBP = Fs / Qes. A negative efficiency throws CalcFault.
Efficiency efficiency(double fs, double vas, double qes);

// The advice that the EBP gives: sealed at 50 or below, vented at 100 or above, either between.
QString recommendation(double ebp);

inline const QString SealedAdvice = QStringLiteral("A SEALED BOX IS PROBABLY BEST FOR THIS DRIVER");
inline const QString VentedAdvice = QStringLiteral("A VENTED BOX IS PROBABLY BEST FOR THIS DRIVER  ");
inline const QString EitherAdvice =
    QStringLiteral("EITHER A SEALED BOX OR A VENTED BOX IS FINE FOR THIS DRIVER");
inline const QString EstimatedText = QStringLiteral("Estimated, Enter Qes to calculate.");

// Unit factors into the working units, by the index of the option groups.
// Vd, cubic metres per unit: litres, cubic metres, cubic feet.
constexpr double CubicMetresPerVdUnit[3] = {1.0 / 1000.0, 1.0, 1.0 / 35.3145};
// Sd, square millimetres per unit: square centimetres, square metres, square inches.
constexpr double SquareMmPerSdUnit[3] = {100.0, 1000.0 * 1000.0, 645.16};
// Diameter, millimetres per unit: millimetres, centimetres, inches.
constexpr double MmPerDiaUnit[3] = {1.0, 10.0, 25.4};
// Xmax, millimetres per unit: inches, millimetres.
constexpr double MmPerXmaxUnit[2] = {25.4, 1.0};

// Display pattern of a derived Vd in each Vd unit: litres to the cubic centimetre; cubic metres
// and cubic feet with at least as fine a step, so reading the field back gives the same volume.
constexpr const char *VdPattern[3] = {"#0.000", "#0.000000", "#0.00000"};

// The effective piston diameter, taken as 85 % of the advertised diameter.
double effectiveDiameter(double advertised);

// Piston area pi d^2 / 4 with pi to 8 digits: square millimetres from millimetres.
double pistonArea(double diameterMm);

// Xmax from the voice coil: (coil height - gap height) / 2.
double xmaxFromCoil(double coilHeight, double gapHeight);

// Vd = Sd Xmax, square millimetres times millimetres, in cubic metres.
double displacement(double sdSquareMm, double xmaxMm);

// The displacement fields of the Input tab as typed, each unit as the index of its option.
struct DisplacementEntries {
    QString vd, sd, dia, xmax, coilHeight, coilGap;
    int vdUnit = 0, sdUnit = 0, diaUnit = 0, xmaxUnit = 0;
};

// Vd in cubic metres from the entries by the rules of GetVd (Vd itself, else cone area or
// diameter with Xmax or the coil), but only looked at: nothing is written back and nothing is
// asked for. A derived Vd is rounded as GetVd writes it into the Vd field. 0 when the data is
// missing, a text is not a number, or the volume is not positive.
double displacementOf(const DisplacementEntries &in);

} // namespace kelvane::driver
