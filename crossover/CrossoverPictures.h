// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two crossover pictures drawn from plain data: the response plot of the "Crossover" tab and the
// schematic of the "Crossover Plans" tab.

#include "crossover/CrossoverCore.h"
#include "crossover/RealParts.h"
#include "graphs/GraphGeometry.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

class GraphCanvas;

namespace crossover {

// The response plot of a picture of the given size: the margins of the 640 x 480 plot, the rest for
// the plot.
graphgeo::PlotLayout responsePlotLayout(double width, double height);

// What the plot shows, kept with it so that it can be drawn again at any size: the network, and
// its curves at 640 x 480 (worked out once when it was calculated).
struct ResponsePicture {
    std::optional<Design> network;
    std::array<std::vector<plot::Point>, 3> curves; // woofer, tweeter, sum
};

// The frame with its grid and labels and, with a network, the woofer's low-pass, the tweeter's
// high-pass and their sum.
void drawResponse(GraphCanvas &pic, const ResponsePicture &r);

// The schematic of the network with the driver's name, the pad and the baffle-step compensation as
// built when there are any; without a network, what to enter.
void drawPlan(GraphCanvas &pic, const std::optional<Design> &network, const QString &DriverName,
              const std::optional<BuiltCrossover> &built);

} // namespace crossover
