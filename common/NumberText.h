// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Number <-> text conversions used by every window, report and file of the program.
// All of it is independent of the system and Qt locale: the decimal point is always "."
// and the thousands separator always ",".

#include <QString>

#include <optional>

namespace kelvane {

// Formats value with a display pattern.
//   "0"  a digit that is always shown
//   "#"  a digit shown only when significant
//   ","  (before the point) groups the integer digits in thousands with ","
//   "."  the decimal point
// The number section is the first contiguous run of the characters # 0 , . that contains a
// # or 0, with two refinements: a second "." ends the section, and commas at either end of
// the run are left to the surrounding text. Every character outside the section is copied
// literally, so "#0.000 Cu. Ft.)" shows 1.5 as "1.500 Cu. Ft.)".
//
// The value is rounded half away from zero on its shortest round-trip decimal text, so 2.675
// with "#0.00" gives "2.68" even though the stored binary value is a little below 2.675.
// Decimals: every 0 or # after the point is a decimal place; trailing zeros are dropped only
// from # places. The point itself is shown whenever the section has one (".50" for 0.5 with
// "#.00"). Minimum integer digits = number of 0s before the point, so with "#0" zero shows as
// "0" and with "#" as nothing. A minus sign goes immediately before the digits, and only when
// the rounded number is not zero.
//
// An empty pattern gives generalNumber(value); a pattern without a digit placeholder is
// returned unchanged. NaN and infinities leave the number section empty.
QString formatNumber(double value, const QString &pattern);

// General number form: at most 15 significant digits (rounded half away from zero on the
// shortest decimal text), no trailing zeros and no trailing point: "0.9", "3", "0.455".
// After rounding, magnitudes of 1E+15 and above or below 1E-04 (0.0001) are written in
// exponent form with an uppercase E, a sign and at least two exponent digits: "1E+15",
// "1.5E-07", "1E+300"; everything in between is plain decimal ("0.0001", "999999999999999").
// Zero (also -0) is "0". NaN and infinities give an empty string.
QString generalNumber(double value);

// Plain print form used in printed reports: the general form preceded by one blank (by "-"
// for negative numbers) and followed by one blank: 0 -> " 0 ", 100 -> " 100 ", -2.5 -> "-2.5 ".
QString plainPrint(double value);

// Strict conversion of text to a number: optional digits, at most one ".", optional digits,
// with at least one digit overall and nothing else - no sign, blanks, exponent or comma.
// "12.5", "5.", ".5" and "007" are numbers; "", ".", "1.2.3", "1e5", " 1", "-1", "1,5" are not.
// A value too large for a double gives std::nullopt; one too small to represent gives 0.
std::optional<double> parseNumber(const QString &text);

} // namespace kelvane
