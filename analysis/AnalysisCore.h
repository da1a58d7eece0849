// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Curves of a box at an amplifier power: sound level, the level the cone's excursion or the voice
// coil's heat allows, cone excursion, vent air speed, group delay, phase and impedance. Plain
// functions of the snapshot; no widget. Curves hold one value per whole hertz, 10 to 500.
//
// The driver is the lumped electro-mechanical circuit of the small-signal model, built from
// Fs, Qes, Qts, Vas and Sd:
//   Cms = Vas / (rho c^2 Sd^2)            suspension compliance, m/N
//   Mms = 1 / ((2 pi Fs)^2 Cms)           moving mass, kg
//   Bl^2 = 2 pi Fs Re Mms / Qes           force factor squared, (T m)^2
//   Rms = 2 pi Fs Mms / Qms, with 1/Qms = 1/Qts - 1/Qes, so the total Q is the Qts of the box models
// The box is the acoustic load behind the cone: the compliance of the air, Cab = Vb / (rho c^2);
// the vented box adds the vent's air mass Map = 1 / ((2 pi Fb)^2 Cab) and the leakage resistance
// Ral = Ql / (2 pi Fb Cab) in parallel. The sound level's response part is the frequency-response
// graph's own curve; the circuit gives excursion, vent flow and impedance.

#include "analysis/Snapshot.h"

#include <QString>
#include <QStringList>
#include <array>
#include <complex>
#include <limits>
#include <vector>

namespace kelvane::analysis {

// Air at about 25 degrees C: density rho (kg/m^3) and speed of sound c (m/s). 345 m/s is the speed
// behind the efficiency constant 2.7e-8 (4 pi^2 / c^3 in cubic feet).
constexpr double AirDensity = 1.18;
constexpr double SoundSpeed = 345.0;
constexpr double CubicFeetPerCubicMetre = 35.3145;
constexpr double MetresPerInch = 0.0254;
// Air speed in a vent above which it is heard to chuff, m/s (5 % of the speed of sound).
constexpr double VentSpeedLimit = 17.0;
// Power the tab accepts without a second thought, W.
constexpr double PlausibleMinPower = 0.1, PlausibleMaxPower = 10000.0;

constexpr int FirstHz = 10, LastHz = 500;
using Curve = std::array<double, 501>; // index = whole hertz; NaN where there is no value

enum class Graph { Spl, MaxSpl, Excursion, VentSpeed, GroupDelay, Phase, Impedance };
constexpr int GraphCount = 7;
// The captions of the graph kinds, in the order of Graph.
QStringList graphNames();
// Sound level, excursion and air speed change with the power; the others do not.
inline bool dependsOnPower(Graph g) { return g == Graph::Spl || g == Graph::Excursion || g == Graph::VentSpeed; }

// The lumped driver in SI units.
struct Circuit {
    double re = 1, le = 0; // ohms, henries
    double bl = 0;         // T m
    double mms = 0, cms = 0, rms = 0; // kg, m/N, N s/m
    double sd = 1;         // m^2
};
// Without Re the circuit is built for 1 ohm (excursion and flow do not depend on Re then), and
// without Sd for 1 m^2 (the impedance does not depend on Sd).
Circuit circuitOf(const DriverSnapshot &driver);

// The tuning of a passive-radiator box from its radiators: Fp = 1 / (2 pi sqrt(Mmp Cmp)) with
// Cmp = Vap / (rho c^2 Sdp^2), and Fb = Fp sqrt(1 + N Vap / Vb). Hz.
struct RadiatorTuning {
    double fp = 0, fb = 0;
};
RadiatorTuning radiatorTuning(const BoxSnapshot &box);

// Cone velocity (m/s), volume velocity out of the box through the vent or all the passive
// radiators (m^3/s; the bandpass box: out of its front chamber through its vent) and electrical
// impedance (ohms) at f Hz for a sine of peak voltage volts.
struct Motion {
    std::complex<double> coneVelocity, ventFlow, impedance;
};
Motion motionAt(const Circuit &circuit, const BoxSnapshot &box, double freqHz, double volts);

// Normalised pressure response of the box: num(s) / den(s) with s = j f / refHz, coefficients from
// the constant term up. Sealed: s^2 / (s^2 + s/Qtc + 1) at Fc; vented: s^4 / (s^4 + D s^3 + C s^2
// + B s + A) at Fs, the fourth-order function with leakage Q of the vented model. Passive radiator
// (fifth order, a zero at Fp) and bandpass (fourth order, the vent's output) at Fs, from the same
// lumped circuit as motionAt without the voice-coil inductance. 1 (0 dB) is the driver's own level
// in its pass band, so the bandpass box's gain over the driver's sensitivity is 20 log10 |G|.
struct Transfer {
    std::vector<double> num, den;
    double refHz = 1;
};
Transfer transferOf(const DriverSnapshot &driver, const BoxSnapshot &box);
std::complex<double> evaluate(const Transfer &t, double freqHz);
// Group delay -d(phase)/d(omega) in seconds: Re(D'/D) - Re(N'/N) at s, over 2 pi refHz.
double groupDelay(const Transfer &t, double freqHz);

// Response in dB relative to the pass band: the frequency-response graph's curve.
Curve responseCurve(const DriverSnapshot &driver, const BoxSnapshot &box);

// One graph of every box of the snapshot at a power (W), with the vent of index ventIndex among the
// vented box's vents.
// A curve drawn beside a box's own: the radiators' excursion of a passive-radiator box on the
// excursion graph, in the colour of its box.
struct ExtraCurve {
    int box = 0;   // index of its box in the snapshot
    QString label; // "Passive radiators"
    Curve values{};
};
struct GraphData {
    std::vector<Curve> curves;     // one per box, in the snapshot's order
    QStringList labels;            // one per box: "Sealed", "Vented", "Passive radiator", "Bandpass"
    std::vector<ExtraCurve> extra; // further curves (not counted in curves)
    QString missing;               // what to enter before this graph can be drawn; empty when it can
    QString unit;                  // "dB", "mm", ...
    double limit = std::numeric_limits<double>::quiet_NaN(); // the limit line, or NaN
    QString limitLabel;
};
GraphData graphData(const Snapshot &snapshot, Graph graph, double power, int ventIndex);

// The vent the tab starts on: the narrowest that is not too fast on the Box and Vent tab, or the
// widest when all are (or none has a speed). -1 without vents.
int defaultVent(const BoxSnapshot &box);
// "2 in", or "2.5 in (yours)".
QString ventCaption(const Vent &vent);

// Peak voltage of a sine of P watts into Re: sqrt(2) sqrt(P Re).
double peakVolts(double power, double re);

// A value axis with round steps (1, 2, 2.5 or 5 times a power of ten) that covers low..high in 4
// to 8 steps.
struct Axis {
    double low = 0, high = 1, step = 1;
};
Axis valueAxis(double low, double high);
// The axis of a graph's data, its extra curves included: levels down to 50 dB below the highest;
// excursion, air speed and impedance from 0, excursion and air speed up to at most three times
// their limit (higher values are drawn on the frame's top edge).
Axis axisFor(Graph graph, const GraphData &data);
// y on the 640 x 480 scale of a value (the plot's bottom edge is low, its top edge high), and back.
double axisY(const Axis &axis, double value);
double valueAtAxisY(const Axis &axis, double y);

// The plain-words notes under the graph: whether each box's cone stays within Xmax at the power,
// and whether the air in the chosen vent stays within 17 m/s. Empty where the data is missing.
QStringList notes(const Snapshot &snapshot, double power, int ventIndex);

// The reading of one curve value with its unit, as the readout shows it.
QString valueText(Graph graph, double value);

} // namespace kelvane::analysis
