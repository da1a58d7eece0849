// SPDX-License-Identifier: GPL-3.0-or-later
// The graphs' captions, their value axes with round steps and the y scale of the picture, and the
// readout of a value with its unit.
#include "analysis/AnalysisCore.h"

#include "common/NumberText.h"
#include "graphs/GraphGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace kelvane::analysis {

QStringList graphNames()
{
    return {QStringLiteral("Sound Pressure Level"), QStringLiteral("Maximum SPL"), QStringLiteral("Cone Excursion"),
            QStringLiteral("Vent Air Speed"),       QStringLiteral("Group Delay"), QStringLiteral("Phase"),
            QStringLiteral("Impedance")};
}

Axis valueAxis(double low, double high)
{
    if (!(high > low))
        high = low + 1;
    const double raw = (high - low) / 6;
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    Axis a;
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0, 20.0}) {
        a.step = m * mag;
        a.low = std::floor(low / a.step) * a.step;
        a.high = std::ceil(high / a.step) * a.step;
        if ((a.high - a.low) / a.step <= 8.0001)
            break;
    }
    if (a.high <= a.low)
        a.high = a.low + a.step;
    return a;
}

Axis axisFor(Graph graph, const GraphData &data)
{
    double low = std::numeric_limits<double>::infinity(), high = -low;
    std::vector<const Curve *> curves;
    for (const Curve &c : data.curves)
        curves.push_back(&c);
    for (const ExtraCurve &e : data.extra)
        curves.push_back(&e.values);
    for (const Curve *c : curves)
        for (int f = FirstHz; f <= LastHz; ++f)
            if (std::isfinite((*c)[f])) {
                low = std::min(low, (*c)[f]);
                high = std::max(high, (*c)[f]);
            }
    if (std::isfinite(data.limit)) {
        low = std::min(low, data.limit);
        high = std::max(high, data.limit);
    }
    if (!std::isfinite(low))
        return valueAxis(0, 1);
    switch (graph) {
    case Graph::Spl:
    case Graph::MaxSpl:
        low = std::max(low, high - 50);
        break;
    case Graph::Excursion:
    case Graph::VentSpeed:
        low = 0;
        high = std::min(high, 3 * data.limit);
        break;
    case Graph::GroupDelay:
    case Graph::Impedance:
        low = std::min(low, 0.0);
        break;
    case Graph::Phase:
        break;
    }
    return valueAxis(low, high);
}

double axisY(const Axis &a, double value)
{
    using namespace graphgeo;
    return PlotBottom - (value - a.low) / (a.high - a.low) * (PlotBottom - PlotTop);
}

double valueAtAxisY(const Axis &a, double y)
{
    using namespace graphgeo;
    return a.low + (PlotBottom - y) / (PlotBottom - PlotTop) * (a.high - a.low);
}

QString valueText(Graph graph, double value)
{
    if (!std::isfinite(value))
        return QString();
    switch (graph) {
    case Graph::Spl:
    case Graph::MaxSpl:
        return formatNumber(value, QStringLiteral("#0.0 dB"));
    case Graph::Excursion:
        return formatNumber(value, QStringLiteral("#,##0.00 mm"));
    case Graph::VentSpeed:
        return formatNumber(value, QStringLiteral("#,##0.0 m/s"));
    case Graph::GroupDelay:
        return formatNumber(value, QStringLiteral("#,##0.00 ms"));
    case Graph::Phase:
        return formatNumber(value, QString::fromUtf8("#,##0.0\u00b0"));
    case Graph::Impedance:
        return formatNumber(value, QString::fromUtf8("#,##0.00 \u03a9"));
    }
    return QString();
}

} // namespace kelvane::analysis
