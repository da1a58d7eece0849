// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/MeasureCore.h"

#include "boxvent/BoxCore.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"
#include "graphs/GraphGeometry.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/NonLinearOptimization>
#include <unsupported/Eigen/NumericalDiff>

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kelvane::measure {

namespace {

using Complex = std::complex<double>;
constexpr double TwoPi = 2 * std::numbers::pi;
constexpr double LitresPerCubicFoot = 1 / 0.0353145;

// A maximum of |Z| is a resonance when it stands this many times above the lowest |Z| on both of
// its sides; the ripples of a noisy measurement stand a few per cent above theirs.
constexpr double PeakProminence = 1.25;
// Resonances are looked for below this frequency: above it a file may hold the voice coil's
// inductive rise and the bumps of cone break-up or of the cable's capacitance.
constexpr double HighestResonanceHz = 2000;
// A fit further than this from the curve (rms of the magnitude error) did not find the driver.
constexpr double WorstFitPercent = 15;
// The fit works on at most this many points of a long file, spread evenly over its rows.
constexpr int FitPoints = 1500;

// ---- Texts of the problems, each naming the file ----
QString noPeakText(const QString &file)
{
    return QStringLiteral("%1 shows no clear resonance peak: it may be the curve of a resistor, or it may stop short of the resonance.")
        .arg(file);
}
QString edgeText(const QString &file, double hz)
{
    return QStringLiteral("The resonance peak of %1 lies at the edge of the data, near %2 Hz: measure from well below it to well above it.")
        .arg(file, formatNumber(hz, QStringLiteral("#0.0")));
}
QString notAboveReText(const QString &file, double zmax, double re)
{
    return QStringLiteral("The resonance peak of %1 (%2 ohms) is not above Re (%3 ohms): check the Re typed.")
        .arg(file, formatNumber(zmax, QStringLiteral("#0.00")), formatNumber(re, QStringLiteral("#0.00")));
}
// A typed Re far from the coil's keeps the fit off the curve too.
QString fitText(const QString &file, bool reTyped)
{
    return QStringLiteral("The driver model could not be fitted to %1 (the fit did not converge): it may not be the impedance of a driver in free air%2.")
        .arg(file, reTyped ? QStringLiteral(", or the Re typed may be wrong") : QString());
}

// The curve as measured, without near-duplicate rows: a row less than 0.1 % above the row before
// it repeats that row (files may end in such rows) and is dropped, as are rows without a usable
// impedance. The phase is brought into -180..180 degrees.
struct Samples {
    std::vector<double> hz, ohms, phase;
    bool hasPhase() const { return !phase.empty(); }
    int size() const { return int(hz.size()); }
};

Samples samplesOf(const Curve &c)
{
    Samples s;
    const std::size_t n = std::min(c.hz.size(), c.magnitude.size());
    const bool phase = c.hasPhase() && c.phaseDeg.size() >= n;
    for (std::size_t i = 0; i < n; ++i) {
        const double f = c.hz[i], z = c.magnitude[i];
        if (!(f > 0 && std::isfinite(f) && z > 0 && std::isfinite(z)) || (phase && !std::isfinite(c.phaseDeg[i])))
            continue;
        if (!s.hz.empty() && f < s.hz.back() * 1.001)
            continue;
        s.hz.push_back(f);
        s.ohms.push_back(z);
        if (phase)
            s.phase.push_back(std::remainder(c.phaseDeg[i], 360.0));
    }
    return s;
}

// ---- Small least-squares polynomials in u = ln f ----

// Coefficients of c0 + c1 t (+ c2 t^2), t = u - origin, through the rows first..last of (u, y) by
// least squares; false when they do not determine it.
bool polynomial(const std::vector<double> &u, const std::vector<double> &y, int first, int last, int degree,
                double origin, double c[3])
{
    const int n = last - first + 1;
    if (n < degree + 1)
        return false;
    Eigen::MatrixXd a(n, degree + 1);
    Eigen::VectorXd b(n);
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k <= degree; ++k)
            a(i, k) = std::pow(u[std::size_t(first + i)] - origin, k);
        b(i) = y[std::size_t(first + i)];
    }
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(a);
    if (qr.rank() < degree + 1)
        return false;
    const Eigen::VectorXd x = qr.solve(b);
    c[0] = x(0);
    c[1] = x(1);
    c[2] = degree == 2 ? x(2) : 0.0;
    return std::isfinite(c[0]) && std::isfinite(c[1]) && std::isfinite(c[2]);
}

// ---- Resonance peaks ----

// For every row, the lowest |Z| between it and the nearest higher row in one direction (the row
// itself included; to the end of the data when there is none), by a stack of falling values.
std::vector<double> lowestToHigher(const std::vector<double> &z, bool rightwards)
{
    const int n = int(z.size());
    std::vector<double> out(std::size_t(n), 0.0);
    std::vector<std::pair<double, double>> stack; // value, lowest since the entry below it
    for (int k = 0; k < n; ++k) {
        const std::size_t i = std::size_t(rightwards ? n - 1 - k : k);
        double lowest = z[i];
        while (!stack.empty() && stack.back().first <= z[i]) {
            lowest = std::min(lowest, stack.back().second);
            stack.pop_back();
        }
        out[i] = lowest;
        stack.emplace_back(z[i], lowest);
    }
    return out;
}

// The rows that are maxima of |Z| standing out from both sides, below HighestResonanceHz.
std::vector<int> resonancePeaks(const Samples &s)
{
    const std::vector<double> left = lowestToHigher(s.ohms, false), right = lowestToHigher(s.ohms, true);
    std::vector<int> peaks;
    for (int i = 1; i + 1 < s.size() && s.hz[std::size_t(i)] <= HighestResonanceHz; ++i) {
        const std::size_t k = std::size_t(i);
        if (s.ohms[k] > s.ohms[k - 1] && s.ohms[k] >= s.ohms[k + 1]
            && s.ohms[k] >= PeakProminence * std::max(left[k], right[k]))
            peaks.push_back(i);
    }
    return peaks;
}

// The row where the phase crosses from positive to negative nearest row p within first..last
// (the crossing lies between the row and the next), or -1.
int phaseCrossing(const Samples &s, int p, int first, int last)
{
    int best = -1;
    for (int k = first; k < last; ++k)
        if (s.phase[std::size_t(k)] > 0 && s.phase[std::size_t(k) + 1] <= 0
            && (best < 0 || std::abs(k - p) < std::abs(best - p)))
            best = k;
    return best;
}

// Walks from row from in steps of step while |Z| stays above level; the last row above it, or -1
// when the data ends first.
int lastAbove(const Samples &s, int from, int step, double level)
{
    for (int k = from; k >= 0 && k < s.size(); k += step) {
        const int next = k + step;
        if (next < 0 || next >= s.size())
            return -1;
        if (s.ohms[std::size_t(next)] <= level)
            return k;
    }
    return -1;
}

// The frequency where |Z| passes level between rows k and k + 1: a straight line (in ln f) through
// the rows within 5 % of the two, and one more on either side at least, which averages out a
// measurement's ripple.
double levelCrossing(const Samples &s, const std::vector<double> &u, int k, double level)
{
    double c[3];
    const double lo = u[std::size_t(k)], hi = u[std::size_t(k) + 1];
    int first = std::max(0, k - 1), last = std::min(s.size() - 1, k + 2);
    while (first > 0 && lo - u[std::size_t(first) - 1] <= 0.05)
        --first;
    while (last + 1 < s.size() && u[std::size_t(last) + 1] - hi <= 0.05)
        ++last;
    if (polynomial(u, s.ohms, first, last, 1, lo, c) && c[1] != 0) {
        const double at = lo + (level - c[0]) / c[1];
        if (at >= lo - (hi - lo) && at <= hi + (hi - lo))
            return std::exp(at);
    }
    const double z0 = s.ohms[std::size_t(k)], z1 = s.ohms[std::size_t(k) + 1];
    return std::exp(lo + (level - z0) / (z1 - z0) * (hi - lo));
}

enum class Fault { None, Edge, NotAboveRe };
struct Found {
    Fault fault = Fault::None;
    Resonance r;
    double edgeHz = 0;
};

// The standard method at the peak of row p with the voice coil's resistance re.
Found standardMethod(const Samples &s, int p, double re)
{
    Found out;
    const std::size_t pk = std::size_t(p);
    if (s.ohms[pk] <= re) {
        out.fault = Fault::NotAboveRe;
        out.r.zmax = s.ohms[pk];
        return out;
    }
    std::vector<double> u(s.hz.size());
    std::transform(s.hz.begin(), s.hz.end(), u.begin(), [](double f) { return std::log(f); });
    const auto edge = [&](int step) {
        out.fault = Fault::Edge;
        out.edgeHz = step < 0 ? s.hz.front() : s.hz.back();
        return out;
    };
    // The peak's extent at the level of the sample at its top; the phase crossing lies inside it.
    const double roughLevel = std::sqrt(re * s.ohms[pk]);
    const int below = lastAbove(s, p, -1, roughLevel), above = lastAbove(s, p, +1, roughLevel);
    if (below < 0)
        return edge(-1);
    if (above < 0)
        return edge(+1);

    double c[3];
    Resonance &r = out.r;
    // The top of the peak: the rows in its top 15 % above Re, two on either side at least.
    const double top = re + 0.85 * (s.ohms[pk] - re);
    int first = std::max(below, p - 2), last = std::min(above, p + 2);
    while (first > below && s.ohms[std::size_t(first) - 1] >= top)
        --first;
    while (last < above && s.ohms[std::size_t(last) + 1] >= top)
        ++last;
    const bool parabola = polynomial(u, s.ohms, first, last, 2, u[pk], c) && c[2] < 0;
    const auto topAt = [&](double at) { return c[0] + c[1] * (at - u[pk]) + c[2] * (at - u[pk]) * (at - u[pk]); };
    double at = u[pk];
    const int crossing = s.hasPhase() ? phaseCrossing(s, p, below, above) : -1;
    if (crossing >= 0) {
        // Fs where a straight line through three rows on either side of the crossing (phase over
        // ln f) passes zero.
        const std::size_t k = std::size_t(crossing);
        const double u0 = u[k], u1 = u[k + 1];
        at = u0 + s.phase[k] / (s.phase[k] - s.phase[k + 1]) * (u1 - u0);
        double line[3];
        if (polynomial(u, s.phase, std::max(below, crossing - 2), std::min(above, crossing + 3), 1, u0, line)
            && line[1] < 0 && -line[0] / line[1] >= 0 && -line[0] / line[1] <= u1 - u0)
            at = u0 - line[0] / line[1];
    } else if (parabola && u[pk] - c[1] / (2 * c[2]) >= u[std::size_t(first)]
               && u[pk] - c[1] / (2 * c[2]) <= u[std::size_t(last)]) {
        // Without phase, Fs at the vertex of the parabola.
        at = u[pk] - c[1] / (2 * c[2]);
    }
    r.fs = std::exp(at);
    // Zmax from the parabola at Fs, which averages out a measurement's ripple.
    r.zmax = parabola ? topAt(at) : s.ohms[pk];
    if (!(r.zmax > 0.9 * s.ohms[pk] && r.zmax < 1.1 * s.ohms[pk]))
        r.zmax = s.ohms[pk];
    if (r.zmax <= re) {
        out.fault = Fault::NotAboveRe;
        return out;
    }
    // f1 and f2 at sqrt(Re Zmax), on the flanks either side of the row nearest Fs.
    const double level = std::sqrt(re * r.zmax);
    const int centre = int(std::lower_bound(s.hz.begin(), s.hz.end(), r.fs) - s.hz.begin());
    const int fromBelow = std::clamp(centre - 1, 0, s.size() - 1), fromAbove = std::clamp(centre, 0, s.size() - 1);
    const int k1 = s.ohms[std::size_t(fromBelow)] > level ? lastAbove(s, fromBelow, -1, level) : -1;
    const int k2 = s.ohms[std::size_t(fromAbove)] > level ? lastAbove(s, fromAbove, +1, level) : -1;
    if (k1 < 0)
        return edge(-1);
    if (k2 < 0)
        return edge(+1);
    r.f1 = levelCrossing(s, u, k1 - 1, level);
    r.f2 = levelCrossing(s, u, k2, level);
    const double r0 = r.zmax / re;
    r.qms = r.fs * std::sqrt(r0) / (r.f2 - r.f1);
    r.qes = r.qms / (r0 - 1);
    r.qts = r.qms * r.qes / (r.qms + r.qes);
    return out;
}

// The driver's resonance in a curve: the bass peak where the phase crosses from positive to
// negative (the highest such peak; the highest peak of all without phase or crossing), measured by
// the standard method. problem is empty when it was found.
Found resonanceOf(const Samples &s, double re, const QString &file, QString &problem)
{
    std::vector<int> peaks = resonancePeaks(s);
    if (peaks.empty()) {
        problem = noPeakText(file);
        return {};
    }
    std::stable_sort(peaks.begin(), peaks.end(), [&s](int a, int b) { return s.ohms[std::size_t(a)] > s.ohms[std::size_t(b)]; });
    int chosen = peaks.front();
    if (s.hasPhase())
        for (int p : peaks) {
            const double level = std::sqrt(re * s.ohms[std::size_t(p)]);
            const int below = lastAbove(s, p, -1, level), above = lastAbove(s, p, +1, level);
            if (phaseCrossing(s, p, below < 0 ? 0 : below, above < 0 ? s.size() - 1 : above) >= 0) {
                chosen = p;
                break;
            }
        }
    Found found = standardMethod(s, chosen, re);
    if (found.fault == Fault::Edge)
        problem = edgeText(file, found.edgeHz);
    else if (found.fault == Fault::NotAboveRe)
        problem = notAboveReText(file, found.r.zmax, re);
    return found;
}

// ---- The least-squares fit ----

// Residuals of a model against the measured points: the complex difference relative to |Z| where
// the phase is known (two residuals a point), the difference of ln |Z| otherwise.
template <typename Model>
struct CurveFit {
    using Scalar = double;
    using InputType = Eigen::VectorXd;
    using ValueType = Eigen::VectorXd;
    using JacobianType = Eigen::MatrixXd;
    enum { InputsAtCompileTime = Eigen::Dynamic, ValuesAtCompileTime = Eigen::Dynamic };

    const Samples *s = nullptr;
    std::vector<int> rows;
    int parameters = 0;
    Model model;

    int inputs() const { return parameters; }
    int values() const { return int(rows.size()) * (s->hasPhase() ? 2 : 1); }
    int operator()(const Eigen::VectorXd &x, Eigen::VectorXd &r) const
    {
        const bool phase = s->hasPhase();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::size_t k = std::size_t(rows[i]);
            const Complex z = model(x, s->hz[k]);
            if (phase) {
                const Complex d = (z - std::polar(s->ohms[k], s->phase[k] * std::numbers::pi / 180)) / s->ohms[k];
                r(Eigen::Index(2 * i)) = d.real();
                r(Eigen::Index(2 * i + 1)) = d.imag();
            } else {
                r(Eigen::Index(i)) = std::log(std::abs(z) / s->ohms[k]);
            }
        }
        return 0;
    }
    // The Jacobian of the residuals from the model's derivatives by the parameters, where it has
    // them (Eigen's solver calls it only then).
    int df(const Eigen::VectorXd &x, Eigen::MatrixXd &jacobian) const
    {
        const bool phase = s->hasPhase();
        std::vector<Complex> dz(static_cast<std::size_t>(parameters));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::size_t k = std::size_t(rows[i]);
            const Complex z = model.derivatives(x, s->hz[k], dz.data());
            for (int p = 0; p < parameters; ++p) {
                if (phase) {
                    jacobian(Eigen::Index(2 * i), p) = dz[std::size_t(p)].real() / s->ohms[k];
                    jacobian(Eigen::Index(2 * i + 1), p) = dz[std::size_t(p)].imag() / s->ohms[k];
                } else {
                    jacobian(Eigen::Index(i), p) = (dz[std::size_t(p)] / z).real(); // d ln|Z| = Re(dZ / Z)
                }
            }
        }
        return 0;
    }
};

// A fitted value from its logarithm, kept inside the range of a double.
double value(double logValue)
{
    return std::exp(std::clamp(logValue, -60.0, 60.0));
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

// Rows of the curve the fit works on: every row, or FitPoints of a long file spread evenly.
std::vector<int> fitRows(int size, double firstHz, double lastHz, const Samples &s)
{
    std::vector<int> rows;
    const double step = std::max(1.0, double(size) / FitPoints);
    for (double k = 0; k < size; k += step)
        if (s.hz[std::size_t(k)] >= firstHz && s.hz[std::size_t(k)] <= lastHz)
            rows.push_back(int(k));
    return rows;
}

// Eigen's Levenberg-Marquardt from x; the norm of the residuals it ends at (infinite when it
// failed). The Jacobian is the model's own where it has derivatives, by central differences else.
template <typename Model>
double fitNorm(CurveFit<Model> &fit, Eigen::VectorXd &x)
{
    using Fit = CurveFit<Model>;
    constexpr bool analytic = requires(const Model &m, Complex *dz) { m.derivatives(Eigen::VectorXd(), 1.0, dz); };
    using Solved = std::conditional_t<analytic, Fit, Eigen::NumericalDiff<Fit, Eigen::Central>>;
    Solved solved(fit);
    Eigen::LevenbergMarquardt<Solved> lm(solved);
    lm.parameters.maxfev = 300 * int(x.size());
    lm.parameters.xtol = 1e-10;
    lm.parameters.ftol = 1e-10;
    const Eigen::LevenbergMarquardtSpace::Status status = lm.minimize(x);
    if (status == Eigen::LevenbergMarquardtSpace::ImproperInputParameters || !x.allFinite())
        return HUGE_VAL;
    Eigen::VectorXd r(fit.values());
    fit(x, r);
    return r.allFinite() ? r.norm() : HUGE_VAL;
}

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

double roundedTo4(double v)
{
    if (!(std::isfinite(v) && v != 0))
        return v;
    const double scale = std::pow(10.0, 3 - std::floor(std::log10(std::abs(v))));
    return std::round(v * scale) / scale;
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

Mechanics measureMechanics(const FreeAir &freeAir, const Curve &second, const SecondInput &in)
{
    Mechanics out;
    const Samples s = samplesOf(second);
    if (s.size() < 5) {
        out.problem = noPeakText(second.fileName);
        return out;
    }
    const Found found = resonanceOf(s, freeAir.re, second.fileName, out.problem);
    if (!out.problem.isEmpty())
        return out;
    out.second = found.r;
    const double fs = freeAir.standard.fs, qes = freeAir.standard.qes;
    const double sd = in.sdCm2 * 1e-4;                                      // m^2
    const double rhoC2 = analysis::AirDensity * analysis::SoundSpeed * analysis::SoundSpeed; // Pa
    const QString moved = QStringLiteral("%1 Hz").arg(formatNumber(out.second.fs, QStringLiteral("#0.0")));
    const QString free = QStringLiteral("%1 Hz").arg(formatNumber(fs, QStringLiteral("#0.0")));
    double mmsKg = 0, cms = 0;
    if (in.method == VasMethod::AddedMass) {
        if (!(out.second.fs < fs)) {
            out.problem = QStringLiteral("The resonance of %1 (%2) did not move down from the free-air %3, as added mass makes it do: is it the curve with the mass on the cone?")
                              .arg(second.fileName, moved, free);
            return out;
        }
        mmsKg = in.amount / 1000 / (std::pow(fs / out.second.fs, 2) - 1);
        cms = 1 / (std::pow(TwoPi * fs, 2) * mmsKg);
        if (sd > 0)
            out.vas = rhoC2 * sd * sd * cms * 1000;
    } else {
        const double vas = in.amount * (out.second.fs * out.second.qes / (fs * qes) - 1);
        if (!(out.second.fs > fs) || !(vas > 0)) {
            out.problem = QStringLiteral("The resonance of %1 (%2) did not move up from the free-air %3, as a sealed box makes it do: is it the curve in the test box?")
                              .arg(second.fileName, moved, free);
            return out;
        }
        out.vas = vas;
        if (sd > 0) {
            cms = vas / 1000 / (rhoC2 * sd * sd);
            mmsKg = 1 / (std::pow(TwoPi * fs, 2) * cms);
        }
    }
    if (mmsKg > 0) {
        out.mms = mmsKg * 1000;
        out.cms = cms;
        out.bl = std::sqrt(TwoPi * fs * freeAir.re * mmsKg / qes);
    }
    if (out.vas) {
        try {
            out.spl = driver::efficiency(fs, *out.vas / LitresPerCubicFoot, qes).spl;
        } catch (const CalcFault &) {
        }
    }
    return out;
}

library::Entry measuredEntry(const FreeAir &freeAir, const QString &freeAirFile, const Mechanics *mechanics,
                             const QString &secondFile, const SecondInput &in)
{
    library::Entry e;
    e.maker = QStringLiteral("Measured");
    e.model = QFileInfo(freeAirFile).completeBaseName();
    e.source = QStringLiteral("measured");
    const auto put = [](library::Value &v, std::optional<double> x) {
        if (x && std::isfinite(*x) && *x > 0)
            v = roundedTo4(*x);
    };
    put(e.fs, freeAir.standard.fs);
    put(e.qts, freeAir.standard.qts);
    put(e.qes, freeAir.standard.qes);
    put(e.qms, freeAir.standard.qms);
    put(e.re, freeAir.re);
    put(e.le, freeAir.le * 1000);
    if (in.sdCm2 > 0)
        put(e.sd, in.sdCm2);
    QStringList notes{QStringLiteral("Free air: %1").arg(QFileInfo(freeAirFile).fileName())};
    if (mechanics && mechanics->ok()) {
        put(e.vas, mechanics->vas);
        put(e.mms, mechanics->mms);
        put(e.bl, mechanics->bl);
        put(e.spl, mechanics->spl);
        notes << (in.method == VasMethod::AddedMass ? QStringLiteral("added mass %1 g: %2") : QStringLiteral("sealed test box %1 l: %2"))
                     .arg(generalNumber(in.amount), QFileInfo(secondFile).fileName());
    }
    if (freeAir.reFromFit)
        notes << QStringLiteral("Re from the fit");
    e.notes = notes.join(QStringLiteral("; "));
    return e;
}

BoxCheck checkVentedBox(const Curve &curve, const std::optional<DriverModel> &driver)
{
    BoxCheck out;
    const Samples s = samplesOf(curve);
    std::vector<int> peaks = s.size() >= 5 ? resonancePeaks(s) : std::vector<int>{};
    if (peaks.size() < 2) {
        out.problem = QStringLiteral("%1 does not show the two peaks of a vented box.").arg(curve.fileName);
        return out;
    }
    // The two highest peaks, in the order of frequency.
    std::partial_sort(peaks.begin(), peaks.begin() + 2, peaks.end(),
                      [&s](int a, int b) { return s.ohms[std::size_t(a)] > s.ohms[std::size_t(b)]; });
    const int low = std::min(peaks[0], peaks[1]), high = std::max(peaks[0], peaks[1]);
    out.fLow = s.hz[std::size_t(low)];
    out.fHigh = s.hz[std::size_t(high)];
    // Fb at the lowest |Z| between them: the vertex of a parabola (in ln f) through the bottom of
    // the valley, the rows in its lowest tenth (two on either side at least), which averages out
    // a measurement's ripple.
    const int m = int(std::min_element(s.ohms.begin() + low, s.ohms.begin() + high) - s.ohms.begin());
    std::vector<double> u(s.hz.size());
    std::transform(s.hz.begin(), s.hz.end(), u.begin(), [](double f) { return std::log(f); });
    const double bottom = s.ohms[std::size_t(m)]
                          + 0.1 * (std::min(s.ohms[std::size_t(low)], s.ohms[std::size_t(high)]) - s.ohms[std::size_t(m)]);
    int first = std::max(low, m - 2), last = std::min(high, m + 2);
    while (first > low && s.ohms[std::size_t(first) - 1] <= bottom)
        --first;
    while (last < high && s.ohms[std::size_t(last) + 1] <= bottom)
        ++last;
    double c[3];
    double at = u[std::size_t(m)];
    if (polynomial(u, s.ohms, first, last, 2, at, c) && c[2] > 0) {
        const double vertex = at - c[1] / (2 * c[2]);
        if (vertex >= u[std::size_t(first)] && vertex <= u[std::size_t(last)])
            at = vertex;
    }
    out.fb = std::exp(at);
    if (!driver || !(driver->re > 0 && driver->fs > 0 && driver->qms > 0 && driver->qes > 0))
        return out;

    // The leakage Q: the vented box's impedance fitted to the curve from below the lower peak to
    // above the upper one (ln of Fb, alpha and Ql), the driver as known. The peaks start alpha from
    // the lossless relation fL^2 + fH^2 = Fb^2 + Fs^2 (1 + alpha).
    struct BoxOfParameters {
        DriverModel driver;
        Complex operator()(const Eigen::VectorXd &x, double hz) const
        {
            return ventedImpedance(driver, value(x(1)), value(x(0)), value(x(2)), hz);
        }
    };
    CurveFit<BoxOfParameters> fit;
    fit.s = &s;
    fit.rows = fitRows(s.size(), out.fLow / 3, out.fHigh * 3, s);
    fit.parameters = 3;
    fit.model.driver = *driver;
    const double alpha = std::max(0.05, (out.fLow * out.fLow + out.fHigh * out.fHigh - out.fb * out.fb) / std::pow(driver->fs, 2) - 1);
    double bestNorm = HUGE_VAL, ql = 0;
    for (double q0 : {3.0, 7.0, 20.0}) {
        Eigen::VectorXd x(3);
        x << std::log(out.fb), std::log(alpha), std::log(q0);
        if (const double norm = fitNorm(fit, x); norm < bestNorm) {
            bestNorm = norm;
            ql = value(x(2));
        }
    }
    if (std::isfinite(bestNorm) && ql > 0.1 && ql < 1000)
        out.ql = ql;
    return out;
}

QString ventAdvice(double designedFb, double measuredFb, double ventDiameter, double vbCuFt)
{
    const double designed = boxvent::ventLength(ventDiameter, designedFb, vbCuFt * 1728);
    if (!(designed > 0) || !(measuredFb > 0))
        return {};
    // The vent acts as long as the one the formula gives for the measured tuning: the difference is
    // what to cut off (a box tuned low) or to add (tuned high).
    const double change = (boxvent::ventLength(ventDiameter, measuredFb, vbCuFt * 1728) - designed) * 25.4;
    const QString head = QStringLiteral("Designed %1 Hz, measured %2 Hz: ")
                             .arg(formatNumber(designedFb, QStringLiteral("#0.0")), formatNumber(measuredFb, QStringLiteral("#0.0")));
    const QString mm = formatNumber(std::abs(change), QStringLiteral("#0"));
    if (mm == QLatin1String("0"))
        return head + QStringLiteral("the vent length is right");
    return head + (change > 0 ? QStringLiteral("shorten the vent by about %1 mm") : QStringLiteral("lengthen the vent by about %1 mm")).arg(mm);
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
