// SPDX-License-Identifier: GPL-3.0-or-later
// The built vented box checked from its impedance: the two peaks, Fb at the bottom of the valley
// between them, the leakage Q fitted when the driver is known, and how much to cut off or add to
// the vent to bring the tuning to the design's.
#include "measure/MeasureCore.h"

#include "boxvent/BoxCore.h"
#include "common/NumberText.h"
#include "measure/MeasureInternal.h"

#include <algorithm>
#include <cmath>

namespace kelvane::measure {

using namespace detail;

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

} // namespace kelvane::measure
