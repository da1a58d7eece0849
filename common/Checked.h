// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Faults of the calculation chain: a text that is not a number, or a floating-point result that is
// not finite (division by zero, overflow, the root or logarithm of a negative number). The chain
// throws CalcFault at the step that produced it; CmdCalculate_Click catches it and reports it.

#include <QString>
#include <cmath>
#include <stdexcept>

namespace kelvane {

struct CalcFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Passes a finite value through; throws CalcFault for NaN or an infinity.
inline double checked(double value, const char *what = "calculation")
{
    if (!std::isfinite(value))
        throw CalcFault(what);
    return value;
}

// The number in a field's text, or CalcFault when the text is not a number.
double numberIn(const QString &text);

// Like numberIn, but an empty text counts as 0.
double numberInOrZero(const QString &text);

} // namespace kelvane
