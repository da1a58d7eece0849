// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The numbers and texts behind the frequency-response graph, free of any widget: the sealed-box
// response sweep, the marks that draw a response curve (with its clipping at the -25 dB floor),
// the box-type recommendation and the summary rows printed under the graph.

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace freqcore {

// Level in dB per whole hertz, index 0 to 500 (entries below 10 Hz are unused).
using Curve = std::array<double, 501>;

constexpr int FirstHz = 10;      // first frequency of every sweep and curve
constexpr int LastSweepHz = 500; // last frequency the sweeps fill
constexpr int LastPlotHz = 499;  // last frequency the curves are drawn to
constexpr double FloorDb = -25.0; // level of the frame's bottom edge
constexpr int FrameColour = 4;   // red
constexpr int VentedColour = 9;  // light blue
constexpr int SealedColour = 13; // light magenta

// Closed-box (second-order high-pass) level at f Hz: with x = f / Fc,
// |H| = x^2 / sqrt((x^2 - 1)^2 + (x / Qtc)^2) and the level is 20 log10 |H| dB.
double sealedLevel(double freqHz, double fc, double qtc);

// Fills levels[10..500] with sealedLevel. Throws kelvane::CalcFault when a level is not finite
// (Fc or Qtc zero or not finite).
void sealedSweep(double fc, double qtc, Curve &levels);

// The sealed peak shown in the summary: below Qtc = 1/sqrt(2) the response has no peak, so the
// peak becomes 0 dB at F3; otherwise the box model's values stand.
struct Peak {
    double db;
    double freqHz;
};
Peak sealedPeak(double qtc, double f3Sealed, Peak fromModel);

// One drawing step of a curve, in graph units: a single point (x2, y2 unused) or a line.
struct Mark {
    bool point;
    double x1, y1, x2, y2;
    int colour;
    bool operator==(const Mark &) const = default;
};

// Clips levels[10..499] below -25 dB to -25 dB in place and returns the marks that draw the
// curve from 10 to 499 Hz: a point at 10 Hz unless that level is -25 dB, then for each f a line
// from f to f - 1 Hz, in the frame colour where the level at f is -25 dB (it then lies on the
// frame's bottom edge) and in the curve colour elsewhere. Throws kelvane::CalcFault for a level
// that is not finite.
std::vector<Mark> curveMarks(Curve &levels, int colour);

// The box-type sentence printed under the graphs: the Box Model's sentence, indented two blanks.
QString recommendationFor(double ebp);

// Volume from cubic feet in the result unit: 0 cubic feet, 1 litres, 2 cubic metres.
QString volumeText(double cubicFeet, int unitIndex);

struct SummaryInput {
    QString recommendation;
    double spl = 0;
    QString estimatedNote;
    double fs = 0, vas = 0, qts = 0; // Hz, cubic feet
    double f3Vented = 0, vbVented = 0, fb = 0, peakDbVented = 0, peakFreqVented = 0;
    double f3Sealed = 0, vbSealed = 0, fc = 0, qtc = 0, peakDbSealed = 0, peakFreqSealed = 0;
    int volumeUnit = 0; // selected result unit, -1 when none
};

// The rows printed under the graph, first row first (empty strings are empty rows). The vented
// and sealed design rows are left out when no volume unit is selected, the peak rows when the
// peak is under 0.01 dB.
QStringList summaryRows(const SummaryInput &in);

} // namespace freqcore
