// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/VentedModel.h"

#include "common/Checked.h"

#include <algorithm>
#include <cmath>

namespace kelvane::vented {

Fit alignmentFit(double fs, double qts, double vas, double qloss)
{
    Fit f;
    if (qloss < 6) {
        f.fb = 0.419 * fs / std::pow(qts, 0.9721);
        f.vb = std::pow(qts, 3.357) * vas / 0.0743;
    } else if (qloss <= 8) {
        f.fb = fs * (0.0019108 / (qts * qts) + 0.35445 / qts + 0.1168);
        f.vb = vas / (0.35392 / (qts * qts) + 0.012802 / qts - 1.1327);
    } else {
        f.fb = 0.421 * fs / std::pow(qts, 0.933);
        f.vb = std::pow(qts, 3.019) * vas / 0.0689;
    }
    checked(f.fb, "vented fit Fb");
    checked(f.vb, "vented fit volume");
    return f;
}

double highQVolume(double vas, double qts)
{
    return checked(15.0 * vas * std::pow(qts, 2.87), "vented volume");
}

Coefficients coefficients(double fs, double qts, double vas, double fb, double vb, double qloss)
{
    Coefficients c;
    c.h = checked(fb / fs, "tuning ratio");
    c.alpha = checked(vas / vb, "vented alpha");
    const double t = checked(qloss * qts * std::sqrt(c.h), "vented T");
    c.a1 = checked((c.h * qts + qloss) / t, "A1");
    c.a2 = checked(1.0 / (qloss * qts) + 1.0 / c.h + c.alpha / c.h + c.h, "A2");
    c.a3 = checked((c.h * qloss + qts) / t, "A3");
    return c;
}

double minus3dBResidual(const Coefficients &c, double x)
{
    const double odd = c.a1 * x * x * x - c.a3 * x;
    const double even = std::pow(x, 4) - c.a2 * x * x + 1.0;
    return odd * odd - 2.0 * std::pow(x, 8) + even * even;
}

double minus3dBSlope(const Coefficients &c, double x)
{
    const double odd = c.a1 * x * x * x - c.a3 * x;
    const double even = std::pow(x, 4) - c.a2 * x * x + 1.0;
    return (3.0 * c.a1 * x * x - c.a3) * 2.0 * odd - 16.0 * std::pow(x, 7)
           + (4.0 * x * x * x - 2.0 * c.a2 * x) * 2.0 * even;
}

Search searchMinus3dB(const Coefficients &c, int maxRestarts)
{
    Search s;
    double xNorm = 0.1, xPrev = 3.5, xBase = 3.5;
    double residual = minus3dBResidual(c, 0.1);
    double slope = minus3dBSlope(c, 0.1);
    int iterCount = 0, restarts = 0;
    bool restarted = false;
    // After a restart the distance between the last estimate and 1.5 says nothing about
    // convergence, so the test waits for the first step taken from 1.5.
    while (restarted || std::abs(xNorm - xPrev) > 0.00001) {
        restarted = false;
        xPrev = xBase;
        xNorm = xBase - residual / slope;
        if (!std::isfinite(xNorm))
            return s; // a zero slope: no further step is possible
        residual = minus3dBResidual(c, xNorm);
        slope = minus3dBSlope(c, xNorm);
        xBase = xNorm;
        ++s.steps;
        if (++iterCount > NewtonStepsPerRound) {
            if (restarts == maxRestarts)
                return s;
            ++restarts;
            iterCount = 0;
            xPrev = 1.5;
            xBase = 1.5;
            restarted = true;
        }
    }
    if (!std::isfinite(residual) || !std::isfinite(slope))
        return s;
    s.found = true;
    s.x = xNorm;
    return s;
}

Search bracketMinus3dB(const Coefficients &c)
{
    Search s;
    auto residual = [&](double x) {
        ++s.steps;
        return minus3dBResidual(c, x);
    };

    // F(x) = -u^4 + p u^3 + q u^2 + r u + 1 with u = x^2; every root has u below
    // 1 + max(|p|, |q|, |r|, 1), so F is negative beyond the square root of that.
    const double p = c.a1 * c.a1 - 2.0 * c.a2;
    const double q = c.a2 * c.a2 + 2.0 - 2.0 * c.a1 * c.a3;
    const double r = c.a3 * c.a3 - 2.0 * c.a2;
    double hi = 1.01 * std::sqrt(1.0 + std::max({std::abs(p), std::abs(q), std::abs(r), 1.0}));
    if (!std::isfinite(hi))
        return s;
    double fHi = residual(hi);
    if (!std::isfinite(fHi) || fHi > 0)
        return s;

    // Step down to the first point where the response is below -3 dB (F > 0); F(0) = 1.
    constexpr double Step = 0.99, Smallest = 1e-12;
    double lo = hi;
    for (;;) {
        lo = hi * Step;
        if (lo < Smallest) {
            lo = 0;
            break;
        }
        const double fLo = residual(lo);
        if (!std::isfinite(fLo))
            return s;
        if (fLo > 0)
            break;
        hi = lo;
    }

    while (hi - lo > 0.00001) {
        const double mid = 0.5 * (lo + hi);
        // Beyond about 1e11 neighbouring doubles lie further apart than the tolerance: the bracket
        // is as narrow as it can get once no number lies between its ends.
        if (mid <= lo || mid >= hi)
            break;
        const double fMid = residual(mid);
        if (!std::isfinite(fMid))
            return s;
        (fMid > 0 ? lo : hi) = mid;
    }
    s.found = true;
    s.x = 0.5 * (lo + hi);
    return s;
}

Search findMinus3dB(const Coefficients &c)
{
    const Search newton = searchMinus3dB(c);
    if (newton.found)
        return newton;
    Search bisection = bracketMinus3dB(c);
    bisection.steps += newton.steps;
    return bisection;
}

double f3FromRoot(const Coefficients &c, double x, double fs)
{
    return checked(std::sqrt(c.h) * std::abs(x) * fs, "vented F3");
}

Response responseSweep(double fs, double qts, double qloss, const Coefficients &c)
{
    const double h = c.h;
    const double respA = h * h;
    const double respB = h / qloss + h * h / qts;
    const double respC = h / (qloss * qts) + h * h + 1.0 + c.alpha;
    const double respD = h / qloss + 1.0 / qts;

    Response r;
    r.peakdB = -25;
    for (int freq = 10; freq <= 500; ++freq) {
        const double y = freq / fs;
        const double y2 = y * y, y4 = y2 * y2;
        const double re = y4 - respC * y2 + respA;
        const double im = respB * y - respD * y2 * y;
        const double dB = checked(20.0 * std::log(y4 / std::sqrt(re * re + im * im)) / std::log(10.0),
                                  "vented response");
        r.dB[freq] = dB;
        if (dB > r.peakdB) {
            r.peakdB = dB;
            r.peakFreq = freq;
        }
    }
    if (r.peakdB < 0.01) {
        r.peakdB = 0;
        r.peakFreq = 0;
    }
    return r;
}

} // namespace kelvane::vented
