// SPDX-License-Identifier: GPL-3.0-or-later
// Every box's curves at an amplifier power (sound level, maximum level, cone and radiator excursion,
// vent air speed, group delay, phase, impedance), what to enter when data is missing, the vent the
// tab starts on, and the plain-words notes on Xmax and the vents' air speed.
#include "analysis/AnalysisCore.h"

#include "analysis/AnalysisInternal.h"
#include "common/NumberText.h"

#include <algorithm>
#include <cmath>

namespace kelvane::analysis {

using namespace detail;

namespace {

QString boxName(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Sealed:
        return QStringLiteral("sealed box");
    case BoxKind::Vented:
        return QStringLiteral("vented box");
    case BoxKind::PassiveRadiator:
        return QStringLiteral("passive-radiator box");
    case BoxKind::Bandpass:
        return QStringLiteral("bandpass box");
    }
    return QString();
}

QString boxLabel(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Sealed:
        return QStringLiteral("Sealed");
    case BoxKind::Vented:
        return QStringLiteral("Vented");
    case BoxKind::PassiveRadiator:
        return QStringLiteral("Passive radiator");
    case BoxKind::Bandpass:
        return QStringLiteral("Bandpass");
    }
    return QString();
}

// The vent of a bandpass box, or nullptr.
const Vent *bandpassVent(const BoxSnapshot &b)
{
    return b.kind == BoxKind::Bandpass && !b.vents.empty() && b.vents.front().diameter > 0 ? &b.vents.front() : nullptr;
}

const Vent *ventOf(const Snapshot &s, int ventIndex, const BoxSnapshot **owner = nullptr)
{
    for (const BoxSnapshot &b : s.boxes)
        if (b.kind == BoxKind::Vented && ventIndex >= 0 && ventIndex < int(b.vents.size())) {
            if (owner)
                *owner = &b;
            return &b.vents[std::size_t(ventIndex)];
        }
    return nullptr;
}

double ventArea(const Vent &v)
{
    const double r = v.diameter * MetresPerInch / 2;
    return Pi * r * r;
}

// Peak excursion (m) of the cone at every whole hertz for P watts.
Curve excursionCurve(const DriverSnapshot &d, const BoxSnapshot &box, double power)
{
    const Circuit c = circuitOf(d);
    const double volts = peakVolts(power, c.re);
    Curve x = emptyCurve();
    for (int f = FirstHz; f <= LastHz; ++f)
        x[f] = magnitude(motionAt(c, box, f, volts).coneVelocity) / (2 * Pi * f);
    return x;
}

// Peak one-way excursion (m) of the passive radiators of a box at every whole hertz for P watts:
// their outflow shared by N radiators of area Sdp, over 2 pi f.
Curve radiatorExcursionCurve(const DriverSnapshot &d, const BoxSnapshot &box, double power)
{
    const Circuit c = circuitOf(d);
    const double volts = peakVolts(power, c.re);
    const double area = box.radiator.count * box.radiator.sd;
    Curve x = emptyCurve();
    for (int f = FirstHz; f <= LastHz; ++f)
        x[f] = magnitude(motionAt(c, box, f, volts).ventFlow) / (2 * Pi * f * area);
    return x;
}

bool hasRadiators(const BoxSnapshot &box)
{
    return box.kind == BoxKind::PassiveRadiator && box.radiator.sd > 0;
}

QString powerText(double power)
{
    return QStringLiteral("At ") + generalNumber(power) + QStringLiteral(" W");
}

} // namespace

GraphData graphData(const Snapshot &s, Graph graph, double power, int ventIndex)
{
    GraphData g;
    const DriverSnapshot &d = s.driver;
    if (!s.calculated) {
        g.missing = QStringLiteral("Enter the driver's data on the Input tab and press Calculate Box.");
        return g;
    }
    // What each graph needs beyond the box models, and what to enter for it.
    QStringList lacking;
    QString what;
    const bool motion = graph == Graph::MaxSpl || graph == Graph::Excursion || graph == Graph::VentSpeed;
    if (graph == Graph::MaxSpl && d.maxPower <= 0)
        lacking << QStringLiteral("the maximum power");
    if (motion && d.sd <= 0)
        lacking << QStringLiteral("the cone area (Sd) or the diameter");
    if (motion && d.xmax <= 0)
        lacking << QStringLiteral("Xmax (or the voice-coil height and gap)");
    if (graph == Graph::MaxSpl)
        what = QStringLiteral("the maximum SPL");
    else if (graph == Graph::Excursion)
        what = QStringLiteral("the cone excursion");
    else if (graph == Graph::VentSpeed)
        what = QStringLiteral("the vent air speed");
    if (!lacking.isEmpty()) {
        g.missing = QStringLiteral("Enter ") + lacking.join(QStringLiteral(" and ")) + QStringLiteral(" on the Input tab to see ")
                    + what + QLatin1Char('.');
        return g;
    }
    if (graph == Graph::Impedance && d.re <= 0) {
        g.missing = QStringLiteral("Enter the woofer's Re on the Crossover tab to see the impedance.");
        return g;
    }
    const Vent *vent = ventOf(s, ventIndex);
    const bool bandpassVents =
        std::any_of(s.boxes.begin(), s.boxes.end(), [](const BoxSnapshot &b) { return bandpassVent(b) != nullptr; });
    if (graph == Graph::VentSpeed && !vent && !bandpassVents) {
        g.missing = QStringLiteral("Choose a vent to see the vent air speed.");
        return g;
    }

    const double thermal = d.maxPower > 0 ? d.sensitivity + 10 * std::log10(d.maxPower) : NaN;
    for (const BoxSnapshot &box : s.boxes) {
        Curve c = emptyCurve();
        g.labels << boxLabel(box.kind);
        switch (graph) {
        case Graph::Spl: {
            const Curve r = responseCurve(d, box);
            for (int f = FirstHz; f <= LastHz; ++f)
                c[f] = d.sensitivity + 10 * std::log10(power) + r[f];
            g.unit = QStringLiteral("dB");
            g.limit = thermal;
            break;
        }
        case Graph::MaxSpl: {
            // The power at which the peak excursion reaches Xmax: P (Xmax / x(P))^2, at 1 W.
            const Curve r = responseCurve(d, box);
            const Curve x = excursionCurve(d, box, 1.0);
            // Passive radiators with an Xmax of their own limit the power as well.
            const bool radiatorLimit = hasRadiators(box) && box.radiator.xmax > 0;
            const Curve xp = radiatorLimit ? radiatorExcursionCurve(d, box, 1.0) : emptyCurve();
            for (int f = FirstHz; f <= LastHz; ++f) {
                double excursionPower = (d.xmax / x[f]) * (d.xmax / x[f]);
                if (radiatorLimit)
                    excursionPower = std::min(excursionPower, (box.radiator.xmax / xp[f]) * (box.radiator.xmax / xp[f]));
                c[f] = d.sensitivity + r[f] + 10 * std::log10(std::min(d.maxPower, excursionPower));
            }
            g.unit = QStringLiteral("dB");
            g.limit = thermal;
            break;
        }
        case Graph::Excursion: {
            const Curve x = excursionCurve(d, box, power);
            for (int f = FirstHz; f <= LastHz; ++f)
                c[f] = x[f] * 1000;
            if (hasRadiators(box)) {
                ExtraCurve e{int(g.curves.size()), QStringLiteral("Passive radiators"),
                             radiatorExcursionCurve(d, box, power)};
                for (double &v : e.values)
                    v = std::isfinite(v) ? v * 1000 : NaN;
                g.extra.push_back(e);
            }
            g.unit = QStringLiteral("mm");
            g.limit = d.xmax * 1000;
            break;
        }
        case Graph::VentSpeed:
            g.unit = QStringLiteral("m/s");
            g.limit = VentSpeedLimit;
            // The vented box through the chosen vent, a bandpass box through its own.
            if (const Vent *v = box.kind == BoxKind::Vented ? vent : bandpassVent(box)) {
                const Circuit circuit = circuitOf(d);
                const double volts = peakVolts(power, circuit.re);
                for (int f = FirstHz; f <= LastHz; ++f)
                    c[f] = magnitude(motionAt(circuit, box, f, volts).ventFlow) / ventArea(*v);
            }
            break;
        case Graph::GroupDelay: {
            const Transfer t = transferOf(d, box);
            for (int f = FirstHz; f <= LastHz; ++f)
                c[f] = groupDelay(t, f) * 1000;
            g.unit = QStringLiteral("ms");
            break;
        }
        case Graph::Phase: {
            // Continuous from the top of the range down: each step adds whole turns until it lies
            // within half a turn of the one above.
            const Transfer t = transferOf(d, box);
            for (int f = LastHz; f >= FirstHz; --f) {
                double deg = std::arg(evaluate(t, f)) * 180 / Pi;
                if (f < LastHz && std::isfinite(c[f + 1]))
                    deg += 360 * std::round((c[f + 1] - deg) / 360);
                c[f] = deg;
            }
            g.unit = QStringLiteral("degrees");
            break;
        }
        case Graph::Impedance: {
            const Circuit circuit = circuitOf(d);
            for (int f = FirstHz; f <= LastHz; ++f)
                c[f] = magnitude(motionAt(circuit, box, f, 1.0).impedance);
            g.unit = QStringLiteral("ohms");
            break;
        }
        }
        for (double &v : c)
            if (!std::isfinite(v))
                v = NaN;
        g.curves.push_back(c);
    }
    if (std::isfinite(g.limit)) {
        if (graph == Graph::Excursion)
            g.limitLabel = formatNumber(g.limit, QStringLiteral("Xmax #0.0 mm"));
        else if (graph == Graph::VentSpeed)
            g.limitLabel = QStringLiteral("17 m/s");
        else
            g.limitLabel = formatNumber(g.limit, QStringLiteral("Thermal limit #0.0 dB"));
    }
    return g;
}

int defaultVent(const BoxSnapshot &box)
{
    int narrowest = -1, widest = -1;
    for (int i = 0; i < int(box.vents.size()); ++i) {
        const Vent &v = box.vents[std::size_t(i)];
        if (widest < 0 || v.diameter > box.vents[std::size_t(widest)].diameter)
            widest = i;
        if (v.boxSpeed > 0 && v.boxSpeed <= VentSpeedLimit
            && (narrowest < 0 || v.diameter < box.vents[std::size_t(narrowest)].diameter))
            narrowest = i;
    }
    return narrowest >= 0 ? narrowest : widest;
}

QString ventCaption(const Vent &vent)
{
    return generalNumber(vent.diameter) + QStringLiteral(" in") + (vent.own ? QStringLiteral(" (yours)") : QString());
}

namespace {
// The first and last whole hertz at which a curve is above a limit; {0, 0} when it never is.
std::pair<int, int> rangeAbove(const Curve &c, double limit)
{
    int first = 0, last = 0;
    for (int f = FirstHz; f <= LastHz; ++f)
        if (c[f] > limit) {
            first = first ? first : f;
            last = f;
        }
    return {first, last};
}

QString ventNote(const Curve &speed, const QString &head)
{
    const auto [first, last] = rangeAbove(speed, VentSpeedLimit);
    return first == 0 ? head + QStringLiteral(" stays within 17 m/s over the whole range.")
                      : head + QStringLiteral(" passes 17 m/s from ") + QString::number(first) + QStringLiteral(" to ")
                            + QString::number(last) + QStringLiteral(" Hz.");
}
} // namespace

QStringList notes(const Snapshot &s, double power, int ventIndex)
{
    QStringList lines;
    if (!s.calculated || s.driver.sd <= 0 || s.driver.xmax <= 0)
        return lines;
    QStringList excursion;
    for (const BoxSnapshot &box : s.boxes) {
        const Curve x = excursionCurve(s.driver, box, power);
        // A power so large that the excursion is not a number says nothing either way.
        if (std::any_of(x.begin() + FirstHz, x.end(), [](double v) { return !std::isfinite(v); }))
            return {};
        int above = 0;
        for (int f = FirstHz; f <= LastHz; ++f)
            if (x[f] > s.driver.xmax)
                above = f;
        const QString head = powerText(power) + QStringLiteral(" the cone of the ") + boxName(box.kind);
        if (above == 0)
            excursion << head + QStringLiteral(" stays within Xmax over the whole range.");
        else
            excursion << head + QStringLiteral(" passes Xmax below ") + QString::number(above)
                             + QStringLiteral(" Hz; a high-pass filter at ") + QString::number(above)
                             + QStringLiteral(" Hz protects it.");
        if (hasRadiators(box) && box.radiator.xmax > 0) {
            const auto [first, last] = rangeAbove(radiatorExcursionCurve(s.driver, box, power), box.radiator.xmax);
            const QString head = QStringLiteral("The passive radiators ");
            excursion << (first == 0 ? head + QStringLiteral("stay within their Xmax over the whole range.")
                                     : head + QStringLiteral("pass their Xmax from ") + QString::number(first)
                                           + QStringLiteral(" to ") + QString::number(last) + QStringLiteral(" Hz."));
        }
    }
    lines << excursion.join(QLatin1Char(' '));
    const BoxSnapshot *box = nullptr;
    if (const Vent *vent = ventOf(s, ventIndex, &box)) {
        const GraphData g = graphData(s, Graph::VentSpeed, power, ventIndex);
        const QString head = powerText(power) + QStringLiteral(" the air in the ") + ventCaption(*vent);
        lines << ventNote(g.curves.at(std::size_t(box - s.boxes.data())), head + QStringLiteral(" vent"));
    }
    for (std::size_t i = 0; i < s.boxes.size(); ++i)
        if (const Vent *v = bandpassVent(s.boxes[i])) {
            const GraphData g = graphData(s, Graph::VentSpeed, power, ventIndex);
            lines << ventNote(g.curves.at(i), powerText(power) + QStringLiteral(" the air in the bandpass box's ")
                                                  + generalNumber(v->diameter) + QStringLiteral(" in vent"));
        }
    return lines;
}

} // namespace kelvane::analysis
