// SPDX-License-Identifier: GPL-3.0-or-later
#include "moreboxes/MoreBoxesCore.h"

#include "analysis/AnalysisCore.h"
#include "boxvent/BoxCore.h"
#include "common/NumberText.h"

#include <algorithm>
#include <cmath>

namespace kelvane::moreboxes {

using namespace analysis;

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double AirStiffness = AirDensity * SoundSpeed * SoundSpeed; // rho c^2, Pa
constexpr double CubicInchesPerCubicFoot = 1728;
// The -3 dB level as the box models take it: half the power, |G|^2 = 1/2.
constexpr double HalfPower = 0.5;
// Frequencies the searches look at, Hz, and the step of their walk (a factor).
constexpr double LowestHz = 1, HighestHz = 5000, WalkStep = 1.005;

bool positive(double v)
{
    return std::isfinite(v) && v > 0;
}

bool usable(const DriverSnapshot &d)
{
    return positive(d.fs) && positive(d.qts) && positive(d.vas);
}

double power(const Transfer &t, double f)
{
    return std::norm(evaluate(t, f));
}

// Walking from `from` towards `to` by WalkStep, the first frequency at which |G|^2 falls below
// level, narrowed by bisection to 0.0001 Hz; NaN when it stays at or above level all the way.
double firstBelow(const Transfer &t, double from, double to, double level)
{
    const double step = to > from ? WalkStep : 1 / WalkStep;
    double inside = from;
    for (double f = from * step; to > from ? f <= to : f >= to; f *= step) {
        if (power(t, f) < level) {
            double outside = f;
            while (std::abs(outside - inside) > 1e-4) {
                const double mid = (inside + outside) / 2;
                (power(t, mid) < level ? outside : inside) = mid;
            }
            return (inside + outside) / 2;
        }
        inside = f;
    }
    return NoValue;
}

// The driver's Vd (m^3): the given one, else Sd Xmax of the snapshot; NaN when neither is known.
double driverDisplacement(const DriverSnapshot &d, double given)
{
    if (positive(given))
        return given;
    return positive(d.sd) && positive(d.xmax) ? d.sd * d.xmax : NoValue;
}

BoxSnapshot radiatorBoxOf(const RadiatorInput &in, double totalMassGrams, double qloss)
{
    BoxSnapshot b;
    b.kind = BoxKind::PassiveRadiator;
    b.vb = in.vb;
    b.qloss = qloss;
    b.radiator = {in.sd * 1e-4, totalMassGrams / 1000, in.vas, in.qms, in.xmax / 1000, in.count};
    b.fb = radiatorTuning(b).fb;
    return b;
}

} // namespace

RadiatorResult designRadiator(const DriverSnapshot &driver, const RadiatorInput &in, double qloss)
{
    RadiatorResult r;
    if (!usable(driver) || !positive(in.sd) || !positive(in.mms) || !positive(in.vas) || !positive(in.qms)
        || !positive(in.vb) || !positive(in.fb) || in.count < 1 || in.count > 4 || !positive(qloss))
        return r;
    // The radiator resonance that gives the tuning, Fp = Fb / sqrt(1 + N Vap/Vb), and the mass that
    // gives it with the radiator's compliance Cmp = Vap / (rho c^2 Sdp^2): Mmp = 1 / ((2 pi Fp)^2 Cmp).
    const double sdp = in.sd * 1e-4;
    const double cmp = in.vas / CubicFeetPerCubicMetre / (AirStiffness * sdp * sdp);
    r.fp = in.fb / std::sqrt(1 + in.count * in.vas / in.vb);
    r.totalMass = 1000 / (std::pow(2 * Pi * r.fp, 2) * cmp);
    r.addedMass = r.totalMass - in.mms;

    const BoxSnapshot box = radiatorBoxOf(in, r.totalMass, qloss);
    const Transfer t = transferOf(driver, box);
    // Peak over the whole hertz 10 to 500, as the vented model finds its own.
    double peak = -25;
    for (int f = FirstHz; f <= LastHz; ++f) {
        const double dB = 10 * std::log10(power(t, f));
        if (dB > peak) {
            peak = dB;
            r.peakFreq = f;
        }
    }
    if (peak >= 0.01)
        r.peakdB = peak;
    else
        r.peakFreq = 0;
    r.f3 = firstBelow(t, HighestHz, LowestHz, HalfPower);

    // The amplifier level at which the cone's largest displacement from 10 to 500 Hz is Vd, and the
    // radiators' largest excursion there. Volumes, so the cone area is not needed.
    r.vd = driverDisplacement(driver, in.driverVd);
    if (positive(r.vd) && positive(driver.qes)) {
        const Circuit c = circuitOf(driver);
        double cone = 0, radiators = 0;
        for (int f = FirstHz; f <= LastHz; ++f) {
            const Motion m = motionAt(c, box, f, 1.0);
            const double w = 2 * Pi * f;
            cone = std::max(cone, std::abs(m.coneVelocity) * c.sd / w);
            radiators = std::max(radiators, std::abs(m.ventFlow) / w);
        }
        const double x = r.vd / cone * radiators / (in.count * sdp) * 1000;
        if (std::isfinite(x))
            r.excursion = x;
    }
    if (positive(in.xmax))
        r.radiatorVd = in.count * sdp * in.xmax / 1000;
    r.ruleMet = r.radiatorVd >= 2 * r.vd; // false when either is NaN
    r.valid = true;
    return r;
}

BoxSnapshot radiatorBox(const RadiatorInput &in, const RadiatorResult &result, double qloss)
{
    return result.valid ? radiatorBoxOf(in, result.totalMass, qloss) : BoxSnapshot{};
}

RadiatorCaptions radiatorCaptions(const RadiatorInput &in, const RadiatorResult &r)
{
    RadiatorCaptions c;
    if (!r.valid)
        return c;
    const QString hz = QStringLiteral("#0.0 Hz"), mm = QStringLiteral("#0.0 mm");
    c.addedMass = formatNumber(r.addedMass, QStringLiteral("#0.0 g"));
    if (r.addedMass < 0)
        c.addedMass += QStringLiteral(": the radiator is too heavy for this tuning");
    c.fp = formatNumber(r.fp, hz);
    c.f3 = std::isfinite(r.f3) ? formatNumber(r.f3, hz) : QString();
    c.peak = r.peakdB > 0 ? formatNumber(r.peakdB, QStringLiteral("#0.00 dB at ")) + formatNumber(r.peakFreq, hz)
                          : QStringLiteral("No peak");
    if (!std::isfinite(r.excursion)) {
        c.excursion = QStringLiteral("Enter the driver's Vd, or its cone area or diameter with Xmax, to see the "
                                     "radiators' excursion.");
        return c;
    }
    c.excursion = formatNumber(r.excursion, mm);
    if (positive(in.xmax)) {
        c.excursion += r.excursion > in.xmax ? QStringLiteral(", over their Xmax of ")
                                             : QStringLiteral(" of their Xmax of ");
        c.excursion += formatNumber(in.xmax, mm) + QLatin1Char('.');
        if (!r.ruleMet)
            c.excursion += QStringLiteral(" The radiators together displace less than twice the driver's Vd: "
                                          "use more or larger radiators.");
    } else {
        c.excursion += QStringLiteral(". Enter the radiator's Xmax to check its displacement.");
    }
    return c;
}

// Fourth-order bandpass design (sealed rear chamber, vented front chamber), from the passband ripple
// S and the passband gain Pa in dB:
//   Qbp = 10^(Pa/40) / (2 S)             the Q of the driver in the rear chamber
//   Vf  = (2 S Qts)^2 Vas                front chamber
//   Vr  = Vas / ((Qbp/Qts)^2 - 1)        rear chamber, positive only for Qts < Qbp
//   Fb  = Qbp Fs / Qts                   front tuning, the rear chamber's closed-box resonance
// With these, G(p) = k^2 / (q^2 + q 2S + 1) at q = k (p + 1/p), p = s / (2 pi Fb), k = 2 S Qbp: the
// second-order low-pass of Q = 1/(2S) moved to the band around Fb. Its level at Fb is k^2 (Pa dB),
// S = 1/sqrt(2) makes it maximally flat, and the -3 dB points lie b Fs / Qts apart, with b = 0.72
// for S = 0.7 (the published design tables).
BandpassDesign designBandpass(const DriverSnapshot &driver, double ripple, double gain)
{
    BandpassDesign d;
    d.designed = true;
    if (!usable(driver) || !positive(ripple) || !std::isfinite(gain)) {
        d.note = QStringLiteral("A bandpass design needs the driver's Fs, Qts and Vas, a ripple S above 0 and a gain.");
        return d;
    }
    d.qbp = std::pow(10.0, gain / 40) / (2 * ripple);
    if (!(d.qbp > driver.qts)) {
        d.note = formatNumber(driver.qts, QStringLiteral("No bandpass box for this driver: its Qts of #0.00"))
                 + formatNumber(d.qbp, QStringLiteral(" is not below the Qbp of #0.00"))
                 + QStringLiteral(" this gain and ripple need, so the rear chamber has no positive volume. "
                                  "More gain or a smaller S raises Qbp.");
        return d;
    }
    const double qr = d.qbp / driver.qts;
    d.frontVb = std::pow(2 * ripple * driver.qts, 2) * driver.vas;
    d.rearVb = driver.vas / (qr * qr - 1);
    d.fb = qr * driver.fs;
    d.valid = true;
    return d;
}

BandpassDesign bandpassChambers(const DriverSnapshot &driver, const BandpassInput &in)
{
    if (positive(in.rearVb) && positive(in.frontVb) && positive(in.fb)) {
        BandpassDesign d;
        d.valid = usable(driver);
        d.rearVb = in.rearVb;
        d.frontVb = in.frontVb;
        d.fb = in.fb;
        if (!d.valid)
            d.note = QStringLiteral("A bandpass box needs the driver's Fs, Qts and Vas.");
        return d;
    }
    return designBandpass(driver, in.ripple, in.gain);
}

namespace {
BoxSnapshot bandpassBoxOf(const BandpassDesign &d, double ventDiameter, double ventSpeed, double qloss)
{
    BoxSnapshot b;
    b.kind = BoxKind::Bandpass;
    b.vb = d.rearVb;
    b.frontVb = d.frontVb;
    b.fb = d.fb;
    b.qloss = qloss;
    if (positive(ventDiameter))
        b.vents.push_back({ventDiameter, positive(ventSpeed) ? ventSpeed : 0, true});
    return b;
}
} // namespace

BandpassResult evaluateBandpass(const DriverSnapshot &driver, const BandpassDesign &design, const BandpassInput &in,
                                double qloss)
{
    BandpassResult r;
    if (!design.valid || !positive(qloss))
        return r;
    const Transfer t = transferOf(driver, bandpassBoxOf(design, 0, 0, qloss));
    // The highest level: a walk over the whole range, then golden-section steps around the best point.
    double best = LowestHz;
    for (double f = LowestHz; f <= HighestHz; f *= WalkStep)
        if (power(t, f) > power(t, best))
            best = f;
    double lo = best / WalkStep, hi = best * WalkStep;
    const double g = (std::sqrt(5.0) - 1) / 2;
    while (hi - lo > 1e-4) {
        const double a = hi - g * (hi - lo), b = lo + g * (hi - lo);
        if (power(t, a) > power(t, b))
            hi = b;
        else
            lo = a;
    }
    r.gainFreq = (lo + hi) / 2;
    const double top = power(t, r.gainFreq);
    r.gain = 10 * std::log10(top);
    r.f3Low = firstBelow(t, r.gainFreq, LowestHz, top * HalfPower);
    r.f3High = firstBelow(t, r.gainFreq, HighestHz, top * HalfPower);
    // The vent as the Box and Vent tab sizes it, on the front chamber and its tuning.
    if (positive(in.ventDiameter)) {
        r.ventLength = boxvent::ventLength(in.ventDiameter, design.fb, design.frontVb * CubicInchesPerCubicFoot);
        const double vd = driverDisplacement(driver, in.driverVd);
        if (r.ventLength > 0 && positive(vd))
            r.ventSpeed = boxvent::ventAirSpeed(design.fb, vd, in.ventDiameter);
    }
    r.valid = std::isfinite(r.gain);
    return r;
}

BoxSnapshot bandpassBox(const BandpassDesign &design, const BandpassInput &in, const BandpassResult &result,
                        double qloss)
{
    if (!design.valid || !result.valid)
        return {};
    return bandpassBoxOf(design, in.ventDiameter, result.ventSpeed, qloss);
}

BandpassCaptions bandpassCaptions(const BandpassDesign &design, const BandpassResult &r, const BandpassInput &in)
{
    BandpassCaptions c;
    c.note = design.note;
    if (!r.valid)
        return c;
    const QString hz = QStringLiteral("#0.0 Hz");
    c.f3Low = std::isfinite(r.f3Low) ? formatNumber(r.f3Low, hz) : QString();
    c.f3High = std::isfinite(r.f3High) ? formatNumber(r.f3High, hz) : QString();
    c.gain = formatNumber(r.gain, QStringLiteral("#0.0 dB"));
    if (!positive(in.ventDiameter))
        return c;
    if (!(r.ventLength > 0)) {
        // The end correction alone is longer than the vent this chamber and tuning need.
        c.ventLength = QStringLiteral("Too narrow for the front chamber and tuning: choose a wider vent.");
        return c;
    }
    c.ventLength = boxvent::lengthCaption(r.ventLength);
    if (!std::isfinite(r.ventSpeed))
        c.ventSpeed = boxvent::EnterVdText;
    else if (boxvent::ventTooFast(r.ventSpeed))
        c.ventSpeed = boxvent::ventSpeedCaption(r.ventSpeed) + QStringLiteral(", ") + boxvent::VentTooFastText;
    else
        c.ventSpeed = boxvent::ventSpeedCaption(r.ventSpeed);
    return c;
}

} // namespace kelvane::moreboxes
