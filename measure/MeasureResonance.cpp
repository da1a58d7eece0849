// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's resonance in an impedance curve: the curve cleaned of unusable rows, the peaks of
// |Z| that stand out, and the standard method at the chosen peak (Fs at the phase's zero crossing,
// Zmax, f1 and f2 at sqrt(Re Zmax), the Q values), with the problems in plain words.
#include "measure/MeasureInternal.h"

#include "common/NumberText.h"

namespace kelvane::measure::detail {

namespace {

// A maximum of |Z| is a resonance when it stands this many times above the lowest |Z| on both of
// its sides; the ripples of a noisy measurement stand a few per cent above theirs.
constexpr double PeakProminence = 1.25;
// Resonances are looked for below this frequency: above it a file may hold the voice coil's
// inductive rise and the bumps of cone break-up or of the cable's capacitance.
constexpr double HighestResonanceHz = 2000;

// ---- Texts of the problems, each naming the file ----
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

} // namespace

QString noPeakText(const QString &file)
{
    return QStringLiteral("%1 shows no clear resonance peak: it may be the curve of a resistor, or it may stop short of the resonance.")
        .arg(file);
}

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

namespace {

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

} // namespace

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

namespace {

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

} // namespace

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

} // namespace kelvane::measure::detail
