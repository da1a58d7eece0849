// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two-way passive crossover as pure functions: the woofer's low-pass and the tweeter's
// high-pass ladders for five alignments, the Zobel network across the woofer, the nearest E12
// values, the voltage transfer of a ladder, the notes a builder needs and where the response plot
// puts a frequency and a level.
//
// Each section is a ladder driven by the amplifier (a voltage source of no impedance) and loaded
// by its driver taken as a resistance of the driver's nominal impedance R. The normalised element
// values (R = 1 ohm, 2 pi f = 1 rad/s) run from the amplifier towards the driver; the low-pass
// alternates series inductor and shunt capacitor, and the high-pass is its dual: a series
// capacitor of value 1/l where the low-pass has the inductor l, a shunt inductor 1/c where it has
// the capacitor c. Real values: L = l R / (2 pi f) henries, C = c / (R 2 pi f) farads.
//
// Every value passes a check: a result that is not a finite, normal, positive number throws
// kelvane::CalcFault.

#include <QString>
#include <QStringList>
#include <array>
#include <complex>
#include <vector>

namespace crossover {

constexpr int TypeCount = 5;

// The tweeter's connection for a flat sum with the woofer at a shared crossover frequency.
enum class Polarity { Normal, Reversed, Either };

struct Alignment {
    const char *name;                 // the caption of its option button
    std::vector<double> lowPass;      // normalised l1, c2, l3, c4 from the amplifier
    Polarity polarity;
};

// The five types in the order of the option buttons: first-order Butterworth, second-order
// Butterworth, second-order Linkwitz-Riley, third-order Butterworth, fourth-order Linkwitz-Riley.
const Alignment &alignment(int type);

struct Component {
    enum Kind { Inductor, Capacitor };
    Kind kind;
    bool shunt;   // across the line to the return wire; otherwise in series with the line
    double value; // henries or farads
};
using Section = std::vector<Component>;

// The woofer's low-pass and the tweeter's high-pass of a type for a driver of R ohms at f Hz.
Section lowPass(int type, double ohms, double freqHz);
Section highPass(int type, double ohms, double freqHz);

// Impedance compensation across the woofer: R = 1.25 Re (ohms), C = Le / R^2 (farads, Le in
// henries). Not used when Re or Le is 0.
struct Zobel {
    bool used = false;
    double ohms = 0;
    double farads = 0;
};
Zobel zobel(double reOhms, double leHenries);

// The E12 standard value nearest to value, nearest by ratio (the series is spaced by ratio):
// 1.0 1.2 1.5 1.8 2.2 2.7 3.3 3.9 4.7 5.6 6.8 8.2 in every decade.
double nearestE12(double value);

// Voltage across the load over the amplifier's voltage, at f Hz, of a section loaded by R ohms.
std::complex<double> transfer(const Section &section, double loadOhms, double freqHz);
// 20 log10 |transfer| dB.
double levelDb(const Section &section, double loadOhms, double freqHz);

struct Input {
    int type = 0;
    double wooferOhms = 0, tweeterOhms = 0; // nominal impedances
    double wooferHz = 0, tweeterHz = 0;     // crossover frequencies of the two sections
    double tweeterFs = 0;                   // 0: not given
    double reOhms = 0, leHenries = 0;       // 0: not given
};

struct Design {
    Input in;
    Section woofer, tweeter;
    Zobel zobel;
    // +1 when the tweeter is connected in normal polarity for the sum, -1 reversed. Third order
    // works either way; it is summed in normal polarity.
    double tweeterSign = 1;
};

// The whole network. Throws kelvane::CalcFault when a component value is not a usable number.
Design design(const Input &in);

// Levels (dB) of the woofer section, the tweeter section and their sum at f Hz; the sum adds the
// two voltage transfers with the tweeter's polarity.
struct Levels {
    double woofer, tweeter, sum;
};
Levels levels(const Design &d, double freqHz);

// Component texts: inductors "#0.000 mH", capacitors "#0.00 uF", resistors "#0.00 Ohms"; the E12
// value in general form with the same unit ("0.39 mH").
QString valueText(const Component &c);
QString e12Text(const Component &c);
QString ohmsText(double ohms);
QString e12OhmsText(double ohms);
QString faradsText(double farads);
QString e12FaradsText(double farads);

// Names of the parts in order from the amplifier: "L1", "C2", ... for a low-pass, "C1", "L2", ...
// for a high-pass.
QString partName(const Component &c, int index);

// What a builder must know: the tweeter's polarity, a tweeter crossed too close to its resonance
// (below twice its Fs), and that the values assume resistive loads.
QStringList notes(const Design &d);

// The response plot on the 640 x 480 picture: 20 Hz to 20 kHz on a logarithmic axis across the
// plot rectangle, +6 dB at its top edge down to -36 dB at its bottom edge, 9 units per dB.
namespace plot {
constexpr double Left = 48, Top = 48, Right = 616, Bottom = 426;
constexpr double FirstHz = 20, LastHz = 20000;
constexpr double TopDb = 6, FloorDb = -36;
constexpr double UnitsPerDb = 9;
double x(double freqHz);
double y(double levelDb);
double freqAtX(double x);
double levelAtY(double y);
// Strictly inside the plot rectangle.
bool inside(double x, double y);

enum class Curve { Woofer, Tweeter, Sum };
struct Point {
    double x, y;
};
// The lines of the three curves across the plot, indexed by Curve: a point every `step` units from
// the left edge to the right one (a picture drawn larger asks for finer steps), a level above the top
// or below the floor held at that edge. Throws kelvane::CalcFault for a level that is not a number.
std::array<std::vector<Point>, 3> allCurvePoints(const Design &d, double step = 2);
} // namespace plot

} // namespace crossover
