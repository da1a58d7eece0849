// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the measuring's files share: the curve as measured, the small polynomials, the resonance
// peaks and the standard method, and the least-squares fit of a model to a curve by Eigen's
// Levenberg-Marquardt.

#include "measure/MeasureCore.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/NonLinearOptimization>
#include <unsupported/Eigen/NumericalDiff>

#include <QString>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <type_traits>
#include <vector>

namespace kelvane::measure::detail {

using Complex = std::complex<double>;
constexpr double TwoPi = 2 * std::numbers::pi;

// The curve as measured, without near-duplicate rows: a row less than 0.1 % above the row before
// it repeats that row (files may end in such rows) and is dropped, as are rows without a usable
// impedance. The phase is brought into -180..180 degrees.
struct Samples {
    std::vector<double> hz, ohms, phase;
    bool hasPhase() const { return !phase.empty(); }
    int size() const { return int(hz.size()); }
};
Samples samplesOf(const Curve &c);

// "... shows no clear resonance peak ...", naming the file.
QString noPeakText(const QString &file);

// Coefficients of c0 + c1 t (+ c2 t^2), t = u - origin, through the rows first..last of (u, y) by
// least squares; false when they do not determine it.
bool polynomial(const std::vector<double> &u, const std::vector<double> &y, int first, int last, int degree,
                double origin, double c[3]);

// The rows that are maxima of |Z| standing out from both sides, below HighestResonanceHz.
std::vector<int> resonancePeaks(const Samples &s);

enum class Fault { None, Edge, NotAboveRe };
struct Found {
    Fault fault = Fault::None;
    Resonance r;
    double edgeHz = 0;
};

// The driver's resonance in a curve: the bass peak where the phase crosses from positive to
// negative (the highest such peak; the highest peak of all without phase or crossing), measured by
// the standard method. problem is empty when it was found.
Found resonanceOf(const Samples &s, double re, const QString &file, QString &problem);

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
inline double value(double logValue)
{
    return std::exp(std::clamp(logValue, -60.0, 60.0));
}

// Rows of the curve the fit works on: every row, or FitPoints of a long file spread evenly.
std::vector<int> fitRows(int size, double firstHz, double lastHz, const Samples &s);

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

} // namespace kelvane::measure::detail
