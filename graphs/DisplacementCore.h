// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Displacement-limited output of a driver against its thermal limit, as pure functions.
//
// A cone that moves its full linear displacement volume Vd (cubic metres) at f Hz radiates the
// acoustic power Pa = Kp * f^4 * Vd^2 (acoustic watts); Kp is 0.4242 = 4 pi^3 rho0 / c for air,
// scaled for the box's response. A power Pa gives 10 log10(Pa) + 112.2 dB SPL at 1 m, and the
// electrical power that produces it is Pa / efficiency.
//
// Every result passes through kelvane::checked(), so a value that is not finite throws CalcFault.

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace displacement {

using Curve = std::array<double, 501>;

// 4 pi^3 rho0 / c of air, in acoustic watts per (Hz^4 m^6).
constexpr double AirConstant = 0.4242;
// Displacement-limit coefficient of the vented box: the port carries the output near tuning.
constexpr double VentedCoefficient = 3.0;
// SPL at 1 m of one acoustic watt.
constexpr double SplOfOneAcousticWatt = 112.2;
// The reference sealed box: the highest total Q that is still usable.
constexpr double ReferenceQtc = 1.1;
// Relative levels are drawn from 0 dB (the thermal limit) down to this floor.
constexpr double LevelFloor = -30.0;

// SPL at 1 m (dB) of an acoustic power in watts.
double splOfAcousticPower(double acousticWatts);

struct ThermalLimit {
    double acousticPowerMax = 0; // Power * Efficiency, acoustic watts
    double splMax = 0;           // its SPL at 1 m, dB
};
ThermalLimit thermalLimit(double powerWatts, double efficiency);

// X = (F3 / Fc)^2 of a second-order high-pass of total Q qtc: with r = 1/qtc^2 - 2,
// X = (r + sqrt(r^2 + 4)) / 2. X = 1 at qtc = 1/sqrt(2).
double cutoffRatioSquared(double qtc);

// True when the sealed response of total Q qtc has a peak (qtc above 1/sqrt(2), computed as
// 1 / sqrt(2) in double precision); exactly 1/sqrt(2) has none.
bool sealedResponsePeaks(double qtc);

// Displacement-limit coefficient of the sealed box: 0.4242 / X^2, and for a peaking response also
// divided by the squared peak height qtc^4 / (qtc^2 - 0.25).
double sealedCoefficient(double qtc);

// Pa(f) = f^4 * kp * vd^2 and its SPL, for every whole frequency from 10 to 499 Hz.
void fillLimitCurves(double kp, double vdCubicMetres, Curve &acousticPower, Curve &spl);

// The sealed box of Qtc 1.1 built from the driver: the most power its excursion allows at any
// sealed cut-off. Such a box exists only for Qts below 1.1 (alpha > 0).
struct ReferenceBox {
    double alpha = 0;          // (1.1 / Qts)^2 - 1
    double fc = 0;             // 1.1 Fs / Qts, Hz
    double f3 = 0;             // sqrt(X1) * fc, Hz
    double vb = 0;             // Vas / alpha, cubic feet (0 when no box exists)
    double acousticPower = 0;  // 0.85 * f3^4 * Vd^2, acoustic watts
    double power = 0;          // acousticPower / efficiency, watts
    bool exists = false;       // alpha > 0
};
ReferenceBox referenceBox(double fs, double qts, double vasCubicFeet, double vdCubicMetres,
                          double efficiency);

// What the notes under the graph are made of.
struct NoteInput {
    QString recommendation;
    double spl = 0;            // free-air sensitivity, dB at 1 W / 1 m
    QString estimatedNote;
    double power = 0;          // maximum thermal power, watts
    double splMax = 0;
    double qtc = 0;            // total Q of the modelled sealed box
    ReferenceBox box;
    int volumeUnit = 0;        // 0 cubic feet, 1 litres, 2 cubic metres, -1 none selected
};

// The text printed when no sealed box of Qtc 1.1 can be built for the driver (Qts >= 1.1).
extern const QString NoReferenceBoxText;

// The note lines under the graph, in order, one entry per printed row (empty rows included).
QStringList noteLines(const NoteInput &in);

// The level rows of the frame: the dB label of the row and its watt label, each formatted with
// the row's own pattern (the watt patterns begin with a long run of spaces).
struct LevelRow {
    double gridY = 0;          // the grid line the row stands level with
    QString dbText;
    QString wattText;
};
std::array<LevelRow, 3> levelRows(double splMax, double powerWatts);
// The rows of the dotted lines between them, labelled on a picture larger than 640 x 480: -5, -15
// and -25 dB from the thermal limit, with a tenth of the power per 10 dB (no leading spaces).
std::array<LevelRow, 3> halfwayRows(double splMax, double powerWatts);

// One mark of a drawn curve: a single point (x1, y1) or a segment from (x1, y1) to (x2, y2).
struct CurveMark {
    bool point = false;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int colour = 0;
};

// Turns the levels of one curve (10 to 499 Hz) into levels relative to splMax, clipped to 0 dB at
// the top and -30 dB at the bottom (in place: the array keeps the relative values), and returns
// the marks that draw it: a starting point at 10 Hz unless it lies on the floor, then a segment
// per hertz back to the previous one, in the frame's dark red where it lies on the floor.
std::vector<CurveMark> curveMarks(Curve &levels, double splMax, int curveColour);

// Mouse readout: frequency under x, absolute level under y and the electrical power for it.
double readoutFrequency(double x);
double readoutLevel(double y, double splMax);
double readoutWatts(double levelDb, double efficiency);

} // namespace displacement
