// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphs/GraphAxes.h"

namespace graphaxes {

namespace {
constexpr int Grey = 8;
// Room kept between two labels.
constexpr double LabelGap = 2;
} // namespace

void leftLabels(GraphCanvas &pic, const graphgeo::PlotLayout &l, const std::vector<ValueLabel> &labels, int colour)
{
    std::vector<std::pair<double, double>> spans;
    for (const ValueLabel &label : labels)
        spans.push_back({label.y - GraphCanvas::RowHeight / 2, label.y + GraphCanvas::RowHeight / 2});
    const std::vector<bool> kept = graphgeo::labelsThatFit(spans, LabelGap);
    for (std::size_t i = 0; i < labels.size(); ++i)
        if (l.isBase() || kept[i])
            pic.drawText(l.left - 4 - GraphCanvas::textWidth(labels[i].text), spans[i].first, labels[i].text, colour);
}

void frequencyLabels(GraphCanvas &pic, const graphgeo::PlotLayout &l, double baseTop)
{
    if (l.isBase()) {
        for (const graphgeo::FrequencyLabel &label : graphgeo::FrequencyLabels)
            pic.drawText(GraphCanvas::columnX(label.column), baseTop, QLatin1String(label.text), 0);
        return;
    }
    std::vector<std::pair<int, QString>> labels;
    for (const graphgeo::FrequencyLabel &label : graphgeo::FrequencyLabels)
        labels.push_back({QString::fromLatin1(label.text).toInt(), QLatin1String(label.text)});
    for (int f : graphgeo::FurtherLabelFrequencies)
        labels.push_back({f, QString::number(f)});
    std::vector<std::pair<double, double>> spans;
    for (const auto &[hz, text] : labels) {
        const double half = GraphCanvas::textWidth(text) / 2, x = graphgeo::graphX(l, hz);
        spans.push_back({x - half, x + half});
    }
    const std::vector<bool> kept = graphgeo::labelsThatFit(spans, 3 * LabelGap);
    for (std::size_t i = 0; i < labels.size(); ++i)
        if (kept[i])
            pic.drawText(spans[i].first, l.bottom - 1.5, labels[i].second, 0);
}

void frequencyGrid(GraphCanvas &pic, const graphgeo::PlotLayout &l)
{
    for (int f : graphgeo::GridFrequencies) {
        const double x = graphgeo::graphX(l, f);
        pic.line(x, l.top + 1, x, l.bottom - 1, Grey);
    }
}

} // namespace graphaxes
