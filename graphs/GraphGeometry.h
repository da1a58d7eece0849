// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where frequencies and levels fall on a graph picture, and back. On the 640 x 480 picture the plot
// rectangle is (48, 24)-(549, 304) and the frequency axis is logarithmic from 10 Hz at x = 48.
//
// A picture drawn larger keeps the margins it has at 640 x 480 (they hold text at its point size)
// and gives the plot the rest (PlotLayout). Positions on the 640 x 480 plot map linearly onto the
// larger one, so every mapping stated for 640 x 480 (GraphX, GraphY, the crossover's axes) holds on
// any plot through PlotLayout::x() and y(); at 640 x 480 the mapping is the identity.

#include <cmath>
#include <utility>
#include <vector>

namespace graphgeo {

constexpr double PlotLeft = 48, PlotTop = 24, PlotRight = 549, PlotBottom = 304;
// The picture's standard and smallest size.
constexpr int BaseWidth = 640, BaseHeight = 480;

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

// The plot rectangle of a picture of any size, and the linear map from the same picture's plot at
// 640 x 480 ("base" positions) onto it.
struct PlotLayout {
    double width = BaseWidth, height = BaseHeight; // the whole picture
    double left = PlotLeft, top = PlotTop, right = PlotRight, bottom = PlotBottom;
    double baseLeft = PlotLeft, baseTop = PlotTop, baseRight = PlotRight, baseBottom = PlotBottom;

    bool isBase() const { return width == BaseWidth && height == BaseHeight; }
    // Plot units per base unit across and down.
    double xScale() const { return (right - left) / (baseRight - baseLeft); }
    double yScale() const { return (bottom - top) / (baseBottom - baseTop); }
    double x(double baseX) const { return isBase() ? baseX : left + (baseX - baseLeft) * xScale(); }
    double y(double baseY) const { return isBase() ? baseY : top + (baseY - baseTop) * yScale(); }
    double baseX(double x) const { return isBase() ? x : baseLeft + (x - left) / xScale(); }
    double baseY(double y) const { return isBase() ? y : baseTop + (y - top) / yScale(); }
    // Strictly inside the plot rectangle.
    bool inside(double px, double py) const { return px > left && px < right && py > top && py < bottom; }
};

// The layout of a picture width x height whose plot is (left, top)-(right, bottom) at 640 x 480: the
// four margins kept, the plot stretched over the rest.
PlotLayout plotLayout(double width, double height, double left, double top, double right, double bottom);
// The graphs on the 10-500 Hz axis (frequency response, displacement limits, Analysis).
inline PlotLayout responseLayout(double width, double height)
{
    return plotLayout(width, height, PlotLeft, PlotTop, PlotRight, PlotBottom);
}

// The mappings above on a plot of any size.
inline double graphX(const PlotLayout &l, double freqHz) { return l.x(graphX(freqHz)); }
inline double graphY(const PlotLayout &l, double levelDb) { return l.y(graphY(levelDb)); }
inline double limitY(const PlotLayout &l, double relativeDb) { return l.y(limitY(relativeDb)); }
inline double freqAtX(const PlotLayout &l, double x) { return freqAtX(l.baseX(x)); }
inline double levelAtY(const PlotLayout &l, double y) { return levelAtY(l.baseY(y)); }

// The size a picture takes in a room of roomWidth x roomHeight: the largest 4 : 3 rectangle that
// fits, but never smaller than 640 x 480.
std::pair<int, int> fittedSize(int roomWidth, int roomHeight);

// Which of a row of labels to draw: each label is the span (from, to) it covers along its axis; they
// are tried in the order given and one is kept when it stays at least `gap` clear of every label
// kept before it.
std::vector<bool> labelsThatFit(const std::vector<std::pair<double, double>> &spans, double gap);

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
// The grid lines without a label on the 640 x 480 picture; a larger one labels those that fit.
constexpr int FurtherLabelFrequencies[] = {60, 70, 80, 90};

} // namespace graphgeo
