// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Labels of the axes that several graphs share: the value labels left of a plot and the frequency
// labels under the 10-500 Hz axis. A larger picture labels more of its grid lines: every label that
// stays clear of those kept before it, the labels of the 640 x 480 picture first.

#include "graphs/GraphCanvas.h"
#include "graphs/GraphGeometry.h"

#include <QString>
#include <vector>

namespace graphaxes {

struct ValueLabel {
    double y; // the grid line the label stands level with
    QString text;
};

// Labels right-aligned 4 units left of the plot, each centred on its line. At 640 x 480 all of them;
// larger, those that keep 2 units clear of the ones before.
void leftLabels(GraphCanvas &pic, const graphgeo::PlotLayout &l, const std::vector<ValueLabel> &labels,
                int colour = 0);

// The frequency labels under the 10-500 Hz axis. At 640 x 480 at their text columns, the row's top at
// baseTop; larger, centred under their grid lines with the row's top 1.5 units above the plot's
// bottom edge, the further grid frequencies (60 to 90 Hz) wherever they fit.
void frequencyLabels(GraphCanvas &pic, const graphgeo::PlotLayout &l, double baseTop);

// The vertical grid lines of the 10-500 Hz axis, 1 unit inside the frame, in grey.
void frequencyGrid(GraphCanvas &pic, const graphgeo::PlotLayout &l);

} // namespace graphaxes
