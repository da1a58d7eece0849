// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A driver's measured (or traced) curve read from a text file: a frequency response (.frd, .txt:
// Hz, dB SPL, optional phase in degrees) or an impedance (.zma, .txt: Hz, ohms, optional phase).
// Pure code: bytes in, a curve or one message out; no widget, no design state.
//
// What the reader takes, line by line (the line numbers of messages count from 1):
//  - comment lines starting with *, #, ; or ' anywhere (blanks before the mark allowed), skipped;
//  - one header line of words before the first point ("Freq[Hz]  dBSPL  Phase[Deg]"), skipped;
//  - blank lines, CRLF or LF line ends, trailing blanks, a UTF-8 byte order mark, comments in UTF-8
//    or Latin-1 (only their ASCII words are looked at);
//  - points of 2 or 3 numbers, the same count on every line, separated by blanks, tabs, ";" or
//    ","; where a line's fields are not separated by commas, "," is its decimal mark ("1000,5  85,2");
//    "+" signs and exponents ("2.5e+03") are allowed;
//  - a third column that the header line or a comment before the first point names as group delay
//    ("Group Delay", "GD [s]", "(sec)") is not phase: the curve then has no phase;
//  - frequencies rise; a repeated frequency keeps its first point.
// It refuses, with one message naming the file and (where there is one) the line: an empty file, one
// over 16 MiB, fewer than 3 points, a frequency at or below 0 or below the one before, an impedance
// at or below 0, a field that is not a finite number, or a line of 1 or more than 3 numbers.

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace kelvane::driverdata {

enum class Kind { Response, Impedance };

struct Curve {
    QString fileName;               // base name only, no path (a design travels)
    std::vector<double> hz;         // strictly rising, > 0
    std::vector<double> magnitude;  // dB SPL (Response) or ohms (Impedance)
    std::vector<double> phaseDeg;   // as in the file (wrapped); empty when the file has no phase
    bool hasPhase() const { return !phaseDeg.empty(); }
};

// error: "woofer.frd: line 12: "8O.5" is not a number" (without a file name, from "line 12").
struct ReadResult {
    std::optional<Curve> curve;
    QString error;
};

// The largest file read: a linear-spaced FFT export of a million points stays well below it.
inline constexpr qsizetype MaxCurveBytes = 16 * 1024 * 1024;
// The fewest points a curve may have.
inline constexpr int MinCurvePoints = 3;

// fileName may carry a path; the curve and the message keep its base name only.
ReadResult readCurve(const QByteArray &bytes, Kind kind, const QString &fileName = QString());
// Refuses a file over 16 MiB unread (a device that never ends is read up to the limit only).
ReadResult readCurveFile(const QString &path, Kind kind);

// The base name of a path with "/" or "\" separators: "C:\data\woofer.frd" -> "woofer.frd".
QString baseName(const QString &path);

// A frequency as notes and captions show it, to 3 significant digits: "20 Hz", "45.3 Hz", "180 Hz",
// "1.25 kHz", "10 kHz".
QString frequencyText(double hz);

// What a loaded curve is: "woofer.frd (512 points, 10 Hz to 40 kHz)".
QString describe(const Curve &curve);

} // namespace kelvane::driverdata
