// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphs/GraphGeometry.h"

#include <algorithm>

namespace graphgeo {

PlotLayout plotLayout(double width, double height, double left, double top, double right, double bottom)
{
    PlotLayout l;
    l.width = width;
    l.height = height;
    l.baseLeft = left;
    l.baseTop = top;
    l.baseRight = right;
    l.baseBottom = bottom;
    l.left = left;
    l.top = top;
    l.right = width - (BaseWidth - right);
    l.bottom = height - (BaseHeight - bottom);
    return l;
}

std::pair<int, int> fittedSize(int roomWidth, int roomHeight)
{
    // Whole multiples of 4 x 3 keep the proportion exact.
    const int k = std::max(std::min(roomWidth / 4, roomHeight / 3), BaseWidth / 4);
    return {4 * k, 3 * k};
}

std::vector<bool> labelsThatFit(const std::vector<std::pair<double, double>> &spans, double gap)
{
    std::vector<bool> kept(spans.size(), false);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const auto [from, to] = spans[i];
        bool clear = true;
        for (std::size_t j = 0; j < i && clear; ++j)
            clear = !kept[j] || from >= spans[j].second + gap || to <= spans[j].first - gap;
        kept[i] = clear;
    }
    return kept;
}

} // namespace graphgeo
