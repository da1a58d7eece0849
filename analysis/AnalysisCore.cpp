// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/AnalysisCore.h"

#include "common/Checked.h"
#include "common/NumberText.h"
#include "graphs/FrequencyCore.h"
#include "graphs/GraphGeometry.h"
#include "models/VentedModel.h"

#include <algorithm>
#include <cmath>

namespace kelvane::analysis {

namespace {

using cplx = std::complex<double>;

// |z| as sqrt(re^2 + im^2): the library's hypot, which guards against overflows no value here comes
// near, took a tenth of an Analysis graph's time.
double magnitude(cplx z)
{
    return std::sqrt(z.real() * z.real() + z.imag() * z.imag());
}

constexpr double Pi = 3.14159265358979323846;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
// rho c^2: the stiffness of air, Pa per unit of relative volume change.
constexpr double AirStiffness = AirDensity * SoundSpeed * SoundSpeed;

double cubicMetres(double cubicFeet)
{
    return cubicFeet / CubicFeetPerCubicMetre;
}

Curve emptyCurve()
{
    Curve c;
    c.fill(NaN);
    return c;
}

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

// Polynomials with coefficients from the constant term up.
using Poly = std::vector<double>;
Poly operator*(const Poly &a, const Poly &b)
{
    Poly r(a.size() + b.size() - 1, 0.0);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j)
            r[i + j] += a[i] * b[j];
    return r;
}
Poly operator+(Poly a, const Poly &b)
{
    a.resize(std::max(a.size(), b.size()), 0.0);
    for (std::size_t i = 0; i < b.size(); ++i)
        a[i] += b[i];
    return a;
}
Poly operator*(double k, Poly a)
{
    for (double &v : a)
        v *= k;
    return a;
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

QStringList graphNames()
{
    return {QStringLiteral("Sound Pressure Level"), QStringLiteral("Maximum SPL"), QStringLiteral("Cone Excursion"),
            QStringLiteral("Vent Air Speed"),       QStringLiteral("Group Delay"), QStringLiteral("Phase"),
            QStringLiteral("Impedance")};
}

Circuit circuitOf(const DriverSnapshot &d)
{
    Circuit c;
    if (d.re > 0) {
        c.re = d.re;
        c.le = d.le; // an inductance means nothing without the resistance beside it
    }
    if (d.sd > 0)
        c.sd = d.sd;
    const double ws = 2 * Pi * d.fs;
    c.cms = cubicMetres(d.vas) / (AirStiffness * c.sd * c.sd);
    c.mms = 1 / (ws * ws * c.cms);
    c.bl = std::sqrt(ws * c.re * c.mms / d.qes);
    // The mechanical losses that, with Qes, give the Qts of the box models; none when Qes is at or
    // below Qts (the electrical damping alone is then taken as the total).
    c.rms = ws * c.mms * std::max(0.0, 1 / d.qts - 1 / d.qes);
    return c;
}

RadiatorTuning radiatorTuning(const BoxSnapshot &box)
{
    const Radiator &r = box.radiator;
    const double cmp = cubicMetres(r.vas) / (AirStiffness * r.sd * r.sd);
    RadiatorTuning t;
    t.fp = 1 / (2 * Pi * std::sqrt(r.mms * cmp));
    t.fb = t.fp * std::sqrt(1 + r.count * r.vas / box.vb);
    return t;
}

Motion motionAt(const Circuit &c, const BoxSnapshot &box, double freqHz, double volts)
{
    const double w = 2 * Pi * freqHz;
    const cplx s(0, w);
    const double cab = cubicMetres(box.vb) / AirStiffness;
    // The acoustic load of the cone (Pa per m^3/s of cone volume velocity, positive pressure
    // against a forward cone) and the outflow of the vent or radiators per unit of it.
    cplx zLoad, flowRatio(0, 0);
    switch (box.kind) {
    case BoxKind::Sealed:
        zLoad = 1.0 / (s * cab);
        break;
    case BoxKind::Vented: {
        // The box's air, the vent's air mass and the leakage beside it; the vent carries
        // p / (s Map) out of the box, whose pressure is p = -Zr Sd u.
        const double wb = 2 * Pi * box.fb, map = 1 / (wb * wb * cab);
        const cplx zr = 1.0 / (s * cab + 1.0 / (s * map) + wb * cab / box.qloss);
        zLoad = zr;
        flowRatio = -zr / (s * map);
        break;
    }
    case BoxKind::PassiveRadiator: {
        // Each radiator is an acoustic mass Map = Mmp / Sdp^2, compliance Cap = Cmp Sdp^2 and
        // resistance Rap = 2 pi Fp Mmp / (Qmp Sdp^2) in series; N of them side by side.
        const Radiator &r = box.radiator;
        const RadiatorTuning t = radiatorTuning(box);
        const double sp2 = r.sd * r.sd, map = r.mms / sp2, cap = cubicMetres(r.vas) / AirStiffness;
        const double rap = r.qms > 0 ? 2 * Pi * t.fp * r.mms / (r.qms * sp2) : 0;
        const cplx yRadiators = double(r.count) / (s * map + rap + 1.0 / (s * cap));
        const cplx zr = 1.0 / (s * cab + yRadiators + 2 * Pi * t.fb * cab / box.qloss);
        zLoad = zr;
        flowRatio = -zr * yRadiators;
        break;
    }
    case BoxKind::Bandpass: {
        // Behind the cone the sealed rear chamber; in front of it the front chamber with its vent
        // and leakage, which the forward cone compresses: p = Zf Sd u, the vent carrying p / (s Mav).
        const double caf = cubicMetres(box.frontVb) / AirStiffness, wb = 2 * Pi * box.fb;
        const double mav = 1 / (wb * wb * caf);
        const cplx zf = 1.0 / (s * caf + 1.0 / (s * mav) + wb * caf / box.qloss);
        zLoad = 1.0 / (s * cab) + zf;
        flowRatio = zf / (s * mav);
        break;
    }
    }
    const cplx ze = c.re + s * c.le;
    const cplx zm = c.rms + s * c.mms + 1.0 / (s * c.cms) + c.sd * c.sd * zLoad;
    Motion m;
    m.coneVelocity = c.bl * volts / (ze * zm + c.bl * c.bl);
    m.ventFlow = flowRatio * c.sd * m.coneVelocity;
    m.impedance = ze + c.bl * c.bl / zm;
    return m;
}

Transfer transferOf(const DriverSnapshot &d, const BoxSnapshot &box)
{
    const double qts = d.qts, ql = box.qloss;
    const Poly driver{1, 1 / qts, 1}; // the driver alone, p^2 + p/Qts + 1 with p = s / (2 pi Fs)
    switch (box.kind) {
    case BoxKind::Sealed:
        return {{0, 0, 1}, {1, 1 / box.qtc, 1}, box.fc};
    case BoxKind::Vented: {
        const double h = box.fb / d.fs, alpha = d.vas / box.vb;
        const double a = h * h, b = h / ql + h * h / qts, c = h / (ql * qts) + h * h + 1 + alpha, dd = h / ql + 1 / qts;
        return {{0, 0, 0, 0, 1}, {a, b, c, dd, 1}, d.fs};
    }
    case BoxKind::PassiveRadiator: {
        // The output is the net volume velocity out of the whole box (cone, radiators and leak), as
        // in the vented model: with alpha = Vas/Vb, h = Fb/Fs, hp = Fp/Fs and the radiators'
        // Dp = p^2 + p hp/Qmp + hp^2,
        //   G = p^3 Dp / ([(p + h/Ql) Dp + (N Vap/Vb) hp^2 p] (p^2 + p/Qts + 1) + alpha p Dp),
        // a zero at p = j hp (the notch), and p^4 / (the vented polynomial) when the radiators'
        // compliance grows without limit at the same tuning.
        const Radiator &r = box.radiator;
        const RadiatorTuning t = radiatorTuning(box);
        const double alpha = d.vas / box.vb, h = t.fb / d.fs, hp = t.fp / d.fs;
        const double stiff = r.count * r.vas / box.vb * hp * hp; // N Vap/Vb hp^2
        const Poly dp{hp * hp, r.qms > 0 ? hp / r.qms : 0, 1};
        const Poly den = (Poly{h / ql, 1} * dp + Poly{0, stiff}) * driver + alpha * (Poly{0, 1} * dp);
        return {Poly{0, 0, 0, 1} * dp, den, d.fs};
    }
    case BoxKind::Bandpass: {
        // The vent's output alone: with alpha_r = Vas/Vr, alpha_f = Vas/Vf, hf = Fb/Fs and the front
        // chamber Df = p^2 + p hf/Ql + hf^2,
        //   G = hf^2 p^2 / ((p^2 + p/Qts + 1 + alpha_r) Df + alpha_f p^2).
        const double ar = d.vas / box.vb, af = d.vas / box.frontVb, hf = box.fb / d.fs;
        const Poly df{hf * hf, hf / ql, 1};
        return {{0, 0, hf * hf}, (driver + Poly{ar}) * df + Poly{0, 0, af}, d.fs};
    }
    }
    return {};
}

namespace {
// p(s) and p'(s) of a polynomial, coefficients from the constant term up.
std::pair<cplx, cplx> polyAt(const std::vector<double> &p, cplx s)
{
    cplx v = 0, dv = 0;
    for (std::size_t i = p.size(); i-- > 0;) {
        dv = dv * s + v;
        v = v * s + p[i];
    }
    return {v, dv};
}
} // namespace

std::complex<double> evaluate(const Transfer &t, double freqHz)
{
    const cplx s(0, freqHz / t.refHz);
    return polyAt(t.num, s).first / polyAt(t.den, s).first;
}

double groupDelay(const Transfer &t, double freqHz)
{
    const cplx s(0, freqHz / t.refHz);
    const auto [n, dn] = polyAt(t.num, s);
    const auto [d, dd] = polyAt(t.den, s);
    return ((dd / d).real() - (dn / n).real()) / (2 * Pi * t.refHz);
}

Curve responseCurve(const DriverSnapshot &d, const BoxSnapshot &box)
{
    Curve r = emptyCurve();
    if (box.kind == BoxKind::PassiveRadiator || box.kind == BoxKind::Bandpass) {
        const Transfer t = transferOf(d, box);
        for (int f = FirstHz; f <= LastHz; ++f)
            r[f] = 20 * std::log10(magnitude(evaluate(t, f)));
        return r;
    }
    try {
        if (box.kind == BoxKind::Sealed) {
            freqcore::Curve levels{};
            freqcore::sealedSweep(box.fc, box.qtc, levels);
            std::copy(levels.begin() + FirstHz, levels.end(), r.begin() + FirstHz);
        } else {
            const vented::Coefficients c = vented::coefficients(d.fs, d.qts, d.vas, box.fb, box.vb, box.qloss);
            const vented::Response sweep = vented::responseSweep(d.fs, d.qts, box.qloss, c);
            std::copy(sweep.dB.begin() + FirstHz, sweep.dB.end(), r.begin() + FirstHz);
        }
    } catch (const CalcFault &) {
        return emptyCurve();
    }
    return r;
}

double peakVolts(double power, double re)
{
    return std::sqrt(2.0) * std::sqrt(power * re);
}

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
