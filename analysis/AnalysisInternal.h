// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the Analysis tab's files share: the magnitude of a complex value, the constants and the
// empty curve (no value at any frequency).

#include "analysis/AnalysisCore.h"

#include <cmath>
#include <complex>
#include <limits>

namespace kelvane::analysis::detail {

using cplx = std::complex<double>;

// |z| as sqrt(re^2 + im^2): the library's hypot, which guards against overflows no value here comes
// near, took a tenth of an Analysis graph's time.
inline double magnitude(cplx z)
{
    return std::sqrt(z.real() * z.real() + z.imag() * z.imag());
}

constexpr double Pi = 3.14159265358979323846;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

inline Curve emptyCurve()
{
    Curve c;
    c.fill(NaN);
    return c;
}

} // namespace kelvane::analysis::detail
