// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where frequencies and levels fall on the 640 x 480 graph scale, and back. The plot rectangle is
// (48, 24)-(549, 304); the frequency axis is logarithmic from 10 Hz at x = 48.

#include <cmath>

namespace graphgeo {

constexpr double PlotLeft = 48, PlotTop = 24, PlotRight = 549, PlotBottom = 304;

// x = 48 + 128 ln(f / 10): 10 Hz at 48, 100 Hz at about 342.7, 500 Hz at about 548.7.
inline double graphX(double freqHz) { return 4.0 * (32.0 * std::log(freqHz / 10.0) + 12.0); }
// Frequency-response level axis: y = 104 - 8 L (+10 dB at 24, 0 dB at 104, -25 dB at 304).
inline double graphY(double levelDb) { return 8.0 * (38.0 - levelDb - 25.0); }
// Displacement-limit axis, relative to the thermal-limit level: y = 64 - 8 L (0 dB at 64, -30 at 304).
inline double limitY(double relativeDb) { return ((38.0 - relativeDb) - 30.0) * 8.0; }

// Inverses used by the mouse readouts.
inline double freqAtX(double x) { return 10.0 * std::exp(x / 128.0 - 0.375); }
inline double levelAtY(double y) { return 13.0 - y / 8.0; }

// Strictly inside the plot rectangle (the frame itself does not count).
inline bool insidePlot(double x, double y)
{
    return x > PlotLeft && x < PlotRight && y > PlotTop && y < PlotBottom;
}

// The frequency labels (text column on the label row) and the vertical grid lines of the graphs drawn
// on the 10-500 Hz axis.
struct FrequencyLabel {
    int column;
    const char *text;
};
constexpr FrequencyLabel FrequencyLabels[] = {
    {10, "10"}, {29, "20"}, {40, "30"}, {48, "40"}, {55, "50"},
    {73, "100"}, {92, "200"}, {103, "300"}, {111, "400"}, {117, "500"}};
constexpr int GridFrequencies[] = {20, 30, 40, 50, 60, 70, 80, 90, 100, 200, 300, 400};

} // namespace graphgeo
