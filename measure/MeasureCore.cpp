// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's impedance models (the lossy coil and the moving parts, alone and in a vented box),
// the free-air curve measured (the standard method, then the least-squares fit of the whole curve
// from three guesses at the coil) and the axes of the impedance picture.
#include "measure/MeasureCore.h"

#include "graphs/GraphGeometry.h"
#include "measure/MeasureInternal.h"

#include <algorithm>
#include <cmath>

namespace kelvane::measure {

using namespace detail;

namespace {

// A fit further than this from the curve (rms of the magnitude error) did not find the driver.
constexpr double WorstFitPercent = 15;
// The fit works on at most this many points of a long file, spread evenly over its rows.
constexpr int FitPoints = 1500;

// A typed Re far from the coil's keeps the fit off the curve too.
QString fitText(const QString &file, bool reTyped)
{
    return QStringLiteral("The driver model could not be fitted to %1 (the fit did not converge): it may not be the impedance of a driver in free air%2.")
        .arg(file, reTyped ? QStringLiteral(", or the Re typed may be wrong") : QString());
}

// The driver model from the fit's parameters: ln of Fs, Qms, Qes, Le, L2, R2, and Re unless fixed.
struct DriverOfParameters {
    double re = 0; // fixed Re, or 0 when it is the seventh parameter
    DriverModel operator()(const Eigen::VectorXd &x) const
    {
        return {re > 0 ? re : value(x(6)), value(x(0)), value(x(1)), value(x(2)), value(x(3)), value(x(4)), value(x(5))};
    }
    Complex operator()(const Eigen::VectorXd &x, double hz) const { return impedance((*this)(x), hz); }
    // Z and its derivatives by the logarithms of the parameters (P dZ/dP), in their order. With
    // the motional part M = (Re/Qes) / D, D = 1/Qms + s + 1/s, and the second inductance's branch
    // B = j w L2 R2 / (R2 + j w L2):
    //   Fs: -M (1/s - s) / D    Qms: M / (Qms D)    Qes: -M    Le: j w Le
    //   L2: B R2 / (R2 + j w L2)    R2: B j w L2 / (R2 + j w L2)    Re: Re + M
    Complex derivatives(const Eigen::VectorXd &x, double hz, Complex *dz) const
    {
        const DriverModel m = (*this)(x);
        const Complex s(0, hz / m.fs), jw(0, 2 * std::numbers::pi * hz);
        const Complex d = 1 / m.qms + s + 1.0 / s, motional = (m.re / m.qes) / d;
        const Complex branch = jw * m.l2 * m.r2 / (m.r2 + jw * m.l2);
        dz[0] = -motional * (1.0 / s - s) / d;
        dz[1] = motional / (m.qms * d);
        dz[2] = -motional;
        dz[3] = jw * m.le;
        dz[4] = branch * m.r2 / (m.r2 + jw * m.l2);
        dz[5] = branch * jw * m.l2 / (m.r2 + jw * m.l2);
        if (re <= 0)
            dz[6] = m.re + motional;
        return m.re + jw * m.le + branch + motional;
    }
};

// The coil's inductance as it looks from the curve at row k: the reactance left over ω, with the
// phase; without it, what |Z| holds beyond Re.
double apparentInductance(const Samples &s, std::size_t k, double re)
{
    const double z = s.ohms[k];
    const double x = s.hasPhase() ? z * std::sin(s.phase[k] * std::numbers::pi / 180) : std::sqrt(std::max(0.0, z * z - re * re));
    return std::max(x, 0.0) / (TwoPi * s.hz[k]);
}

// rms of the relative magnitude error of a model over every row, in %.
template <typename Impedance>
double rmsPercent(const Samples &s, const Impedance &z, std::vector<double> *ohms = nullptr)
{
    double sum = 0;
    for (int k = 0; k < s.size(); ++k) {
        const double m = std::abs(z(s.hz[std::size_t(k)]));
        if (ohms)
            ohms->push_back(m);
        sum += std::pow((m - s.ohms[std::size_t(k)]) / s.ohms[std::size_t(k)], 2);
    }
    return 100 * std::sqrt(sum / std::max(1, s.size()));
}

Complex coilImpedance(const DriverModel &m, double hz)
{
    const Complex jw(0, TwoPi * hz);
    Complex coil = m.re + jw * m.le;
    if (m.l2 > 0 && m.r2 > 0)
        coil += jw * m.l2 * m.r2 / (m.r2 + jw * m.l2);
    return coil;
}

} // namespace

std::vector<int> detail::fitRows(int size, double firstHz, double lastHz, const Samples &s)
{
    std::vector<int> rows;
    const double step = std::max(1.0, double(size) / FitPoints);
    for (double k = 0; k < size; k += step)
        if (s.hz[std::size_t(k)] >= firstHz && s.hz[std::size_t(k)] <= lastHz)
            rows.push_back(int(k));
    return rows;
}

Complex impedance(const DriverModel &m, double hz)
{
    const Complex s(0, hz / m.fs);
    return coilImpedance(m, hz) + (m.re / m.qes) / (1 / m.qms + s + 1.0 / s);
}

double coilInductance(const DriverModel &m, double hz)
{
    const double w = TwoPi * hz;
    double l = m.le;
    if (m.l2 > 0 && m.r2 > 0)
        l += m.l2 * m.r2 * m.r2 / (m.r2 * m.r2 + w * w * m.l2 * m.l2);
    return l;
}

Complex ventedImpedance(const DriverModel &m, double alpha, double fb, double ql, double hz)
{
    const Complex s(0, hz / m.fs);
    const double h = fb / m.fs;
    const Complex box = alpha * s / (s * s + s * h / ql + h * h);
    return coilImpedance(m, hz) + (m.re / m.qes) / (1 / m.qms + s + 1.0 / s + box);
}

FreeAir measureFreeAir(const Curve &curve, double reOhms)
{
    FreeAir out;
    const Samples s = samplesOf(curve);
    const QString file = curve.fileName;
    if (s.size() < 5) {
        out.problem = noPeakText(file);
        return out;
    }
    // Without a typed Re, the lowest |Z| stands in for it until the fit gives it.
    out.reFromFit = !(reOhms > 0);
    double re = out.reFromFit ? *std::min_element(s.ohms.begin(), s.ohms.end()) : reOhms;
    Found found = resonanceOf(s, re, file, out.problem);
    if (!out.problem.isEmpty())
        return out;

    // The fit starts from the standard method's values and from three guesses at the coil: the
    // inductance the curve shows at its top (the lossless coil), and a second inductance that
    // carries what more it shows a decade lower.
    CurveFit<DriverOfParameters> fit;
    fit.s = &s;
    fit.rows = fitRows(s.size(), 0, HUGE_VAL, s);
    fit.model.re = out.reFromFit ? 0 : re;
    fit.parameters = out.reFromFit ? 7 : 6;
    const std::size_t top = std::size_t(s.size() - 1);
    const double lTop = std::max(apparentInductance(s, top, re), 1e-6);
    const std::size_t lower = std::size_t(std::lower_bound(s.hz.begin(), s.hz.end(), s.hz[top] / 10) - s.hz.begin());
    const double lLower = s.hz[lower] > 8 * found.r.fs ? apparentInductance(s, lower, re) : lTop;
    const double wMid = TwoPi * std::sqrt(s.hz[lower] * s.hz[top]);
    const double extra = std::max(lLower - lTop, 0.2 * lTop);
    const double guesses[3][3] = {{lTop, 0.05 * lTop, wMid * 0.05 * lTop},
                                  {0.7 * lTop, extra, wMid * extra},
                                  {0.3 * lTop, std::max(lLower, lTop), wMid * lTop / 3}};
    Eigen::VectorXd best;
    double bestNorm = HUGE_VAL;
    for (const auto &g : guesses) {
        Eigen::VectorXd x(fit.parameters);
        x.head(6) << std::log(found.r.fs), std::log(found.r.qms), std::log(found.r.qes), std::log(g[0]), std::log(g[1]),
            std::log(g[2]);
        if (out.reFromFit)
            x(6) = std::log(re);
        if (const double norm = fitNorm(fit, x); norm < bestNorm) {
            bestNorm = norm;
            best = x;
        }
    }
    if (!std::isfinite(bestNorm)) {
        out.problem = fitText(file, !out.reFromFit);
        return out;
    }
    out.fit = fit.model(best);
    out.fitError = rmsPercent(s, [&](double hz) { return impedance(out.fit, hz); }, &out.fitOhms);
    if (!(out.fitError <= WorstFitPercent) || !(out.fit.fs > s.hz.front() && out.fit.fs < s.hz.back())
        || !(out.fit.qms > 0.05 && out.fit.qms < 1000 && out.fit.qes > 0.01 && out.fit.qes < 100)) {
        out.problem = fitText(file, !out.reFromFit);
        out.fitOhms.clear();
        return out;
    }
    // The fit's values at the curve's own rows (the near-duplicates included, so the picture
    // draws both curves over the same frequencies).
    out.fitOhms.clear();
    for (double hz : curve.hz)
        out.fitOhms.push_back(std::abs(impedance(out.fit, hz)));
    out.le = coilInductance(out.fit, 1000);
    if (out.reFromFit) {
        // The standard method again with the fitted Re.
        re = out.fit.re;
        found = resonanceOf(s, re, file, out.problem);
        if (!out.problem.isEmpty())
            return out;
    }
    out.re = re;
    out.standard = found.r;
    return out;
}

PlotAxes plotAxes(double lowestHz, double highestHz, double highestOhms)
{
    PlotAxes a;
    const auto step = [](double hz, bool up) {
        const double decade = std::pow(10.0, std::floor(std::log10(hz)));
        double best = up ? 10 * decade : decade;
        for (double m : {1.0, 2.0, 5.0, 10.0}) {
            const double v = m * decade;
            if (up ? (v >= hz * 0.9999 && v < best) : (v <= hz * 1.0001 && v > best))
                best = v;
        }
        return best;
    };
    if (lowestHz > 0 && highestHz > lowestHz && std::isfinite(highestHz)) {
        a.lowHz = step(lowestHz, false);
        a.highHz = step(highestHz, true);
    }
    a.ohms = analysis::valueAxis(0, std::isfinite(highestOhms) && highestOhms > 0 ? highestOhms : 10);
    return a;
}

double plotX(const PlotAxes &a, double hz)
{
    using namespace graphgeo;
    return PlotLeft + (PlotRight - PlotLeft) * std::log(hz / a.lowHz) / std::log(a.highHz / a.lowHz);
}

double plotY(const PlotAxes &a, double ohms)
{
    return analysis::axisY(a.ohms, ohms);
}

} // namespace kelvane::measure
