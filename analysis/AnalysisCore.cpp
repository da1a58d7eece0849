// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's lumped circuit and the boxes' loads on it (cone velocity, vent or radiator outflow,
// impedance), the boxes' transfer functions with their group delay, and the response curve of each
// box relative to its pass band.
#include "analysis/AnalysisCore.h"

#include "analysis/AnalysisInternal.h"
#include "common/Checked.h"
#include "graphs/FrequencyCore.h"
#include "models/VentedModel.h"

#include <algorithm>
#include <cmath>

namespace kelvane::analysis {

using namespace detail;

namespace {

// rho c^2: the stiffness of air, Pa per unit of relative volume change.
constexpr double AirStiffness = AirDensity * SoundSpeed * SoundSpeed;

double cubicMetres(double cubicFeet)
{
    return cubicFeet / CubicFeetPerCubicMetre;
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

} // namespace

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

} // namespace kelvane::analysis
