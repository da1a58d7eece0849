// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/NumberText.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace kelvane {

namespace {

// Magnitude of a finite double as a decimal digit string: value = 0.digits * 10^pointPos,
// i.e. the decimal point sits after the first pointPos digits (pointPos may be <= 0 or
// larger than the number of digits). Zero is digits "0", pointPos 1.
struct Decimal
{
    std::string digits;
    int pointPos = 1;
};

// The shortest text that reads back as the same double, split into digits and point position.
// Rounding always starts from this text, so that what the user typed (2.675) is what gets
// rounded, not the binary approximation stored for it (2.67499999...).
Decimal shortestDecimal(double value)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                   std::chars_format::scientific);
    // Shape: d[.ddd]e(+|-)xx
    Decimal d;
    const char *p = buf;
    while (p != res.ptr && *p != 'e') {
        if (*p != '.')
            d.digits.push_back(*p);
        ++p;
    }
    int exponent = 0;
    if (p != res.ptr) {
        ++p;
        if (p != res.ptr && *p == '+')
            ++p;
        std::from_chars(p, res.ptr, exponent);
    }
    d.pointPos = exponent + 1;
    return d;
}

bool allZeros(const std::string &s)
{
    return s.find_first_not_of('0') == std::string::npos;
}

// Adds one to the last digit of a digit string. Returns true when the carry runs out of the
// front ("999" -> "000"), in which case the caller has to put a "1" in front.
bool incrementDigits(std::string &s)
{
    for (auto it = s.rbegin(); it != s.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

struct FixedText
{
    std::string intDigits;  // no leading zeros; empty when the integer part is zero
    std::string fracDigits; // exactly the requested number of decimals
    bool zero = true;       // the rounded value is zero
};

// Rounds the decimal magnitude half away from zero to the given number of decimals.
FixedText roundToDecimals(const Decimal &d, int decimals)
{
    std::string f = d.digits;
    int intLen = d.pointPos;
    if (intLen < 0) {
        f.insert(0, static_cast<size_t>(-intLen), '0');
        intLen = 0;
    }
    if (static_cast<size_t>(intLen) > f.size())
        f.append(static_cast<size_t>(intLen) - f.size(), '0');

    const size_t keep = static_cast<size_t>(intLen) + static_cast<size_t>(decimals);
    if (f.size() > keep) {
        const bool up = f[keep] >= '5';
        f.resize(keep);
        if (up && incrementDigits(f)) {
            f.insert(f.begin(), '1');
            ++intLen;
        }
    } else {
        f.append(keep - f.size(), '0');
    }

    FixedText out;
    out.zero = allZeros(f);
    out.intDigits = f.substr(0, static_cast<size_t>(intLen));
    out.fracDigits = f.substr(static_cast<size_t>(intLen));
    const size_t firstNonZero = out.intDigits.find_first_not_of('0');
    out.intDigits.erase(0, firstNonZero == std::string::npos ? out.intDigits.size() : firstNonZero);
    return out;
}

std::string groupThousands(const std::string &digits)
{
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

bool isPatternChar(QChar c)
{
    return c == u'#' || c == u'0' || c == u',' || c == u'.';
}

bool isPlaceholder(QChar c)
{
    return c == u'#' || c == u'0';
}

// Locates the number section: [begin, end) within the pattern, or begin == end if none.
struct Section
{
    qsizetype begin = 0;
    qsizetype end = 0;
};

Section findSection(const QString &pattern)
{
    const qsizetype n = pattern.size();
    qsizetype i = 0;
    while (i < n) {
        if (!isPatternChar(pattern[i])) {
            ++i;
            continue;
        }
        qsizetype runEnd = i;
        while (runEnd < n && isPatternChar(pattern[runEnd]))
            ++runEnd;

        Section s{i, runEnd};
        // Only one decimal point per number: a second "." belongs to the text after it.
        const qsizetype firstPoint = pattern.indexOf(u'.', s.begin);
        if (firstPoint >= 0 && firstPoint < s.end) {
            const qsizetype secondPoint = pattern.indexOf(u'.', firstPoint + 1);
            if (secondPoint >= 0 && secondPoint < s.end)
                s.end = secondPoint;
        }
        // Commas at the edges are punctuation of the surrounding text ("Total,#0", "#0, ").
        while (s.begin < s.end && pattern[s.begin] == u',')
            ++s.begin;
        while (s.end > s.begin && pattern[s.end - 1] == u',')
            --s.end;

        for (qsizetype k = s.begin; k < s.end; ++k) {
            if (isPlaceholder(pattern[k]))
                return s;
        }
        i = runEnd;
    }
    return Section{n, n};
}

} // namespace

QString formatNumber(double value, const QString &pattern)
{
    if (pattern.isEmpty())
        return generalNumber(value);

    const Section sec = findSection(pattern);
    if (sec.begin == sec.end)
        return pattern;

    const QString prefix = pattern.left(sec.begin);
    const QString suffix = pattern.mid(sec.end);
    if (!std::isfinite(value))
        return prefix + suffix;

    int minIntDigits = 0;
    bool grouping = false;
    bool hasPoint = false;
    int decimals = 0;
    int requiredDecimals = 0; // decimals up to and including the last "0" after the point
    for (qsizetype k = sec.begin; k < sec.end; ++k) {
        const QChar c = pattern[k];
        if (c == u'.') {
            hasPoint = true;
        } else if (!hasPoint) {
            if (c == u'0')
                ++minIntDigits;
            else if (c == u',')
                grouping = true;
        } else if (isPlaceholder(c)) {
            ++decimals;
            if (c == u'0')
                requiredDecimals = decimals;
        }
        // A "," after the point has no meaning and is dropped.
    }

    FixedText fixed = roundToDecimals(shortestDecimal(value), decimals);

    std::string intPart = fixed.intDigits;
    if (intPart.size() < static_cast<size_t>(minIntDigits))
        intPart.insert(0, static_cast<size_t>(minIntDigits) - intPart.size(), '0');
    if (grouping)
        intPart = groupThousands(intPart);

    std::string &frac = fixed.fracDigits;
    while (frac.size() > static_cast<size_t>(requiredDecimals) && frac.back() == '0')
        frac.pop_back();

    std::string number;
    if (std::signbit(value) && !fixed.zero)
        number.push_back('-');
    number += intPart;
    if (hasPoint) {
        number.push_back('.');
        number += frac;
    }
    return prefix + QString::fromLatin1(number.data(), static_cast<qsizetype>(number.size()))
            + suffix;
}

QString generalNumber(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0.0)
        return QStringLiteral("0");

    constexpr size_t maxDigits = 15;
    Decimal d = shortestDecimal(value);
    if (d.digits.size() > maxDigits) {
        const bool up = d.digits[maxDigits] >= '5';
        d.digits.resize(maxDigits);
        if (up && incrementDigits(d.digits)) {
            d.digits = "1";
            ++d.pointPos;
        }
    }
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();

    std::string out;
    if (value < 0)
        out.push_back('-');

    const int exponent = d.pointPos - 1;
    if (exponent >= 15 || exponent < -4) {
        out.push_back(d.digits[0]);
        if (d.digits.size() > 1) {
            out.push_back('.');
            out.append(d.digits, 1);
        }
        out.push_back('E');
        out.push_back(exponent < 0 ? '-' : '+');
        const std::string expDigits = std::to_string(std::abs(exponent));
        if (expDigits.size() < 2)
            out.push_back('0');
        out += expDigits;
    } else if (d.pointPos <= 0) {
        out += "0.";
        out.append(static_cast<size_t>(-d.pointPos), '0');
        out += d.digits;
    } else if (static_cast<size_t>(d.pointPos) >= d.digits.size()) {
        out += d.digits;
        out.append(static_cast<size_t>(d.pointPos) - d.digits.size(), '0');
    } else {
        out.append(d.digits, 0, static_cast<size_t>(d.pointPos));
        out.push_back('.');
        out.append(d.digits, static_cast<size_t>(d.pointPos));
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

QString plainPrint(double value)
{
    if (value < 0)
        return u'-' + generalNumber(-value) + u' ';
    return u' ' + generalNumber(value) + u' ';
}

std::optional<double> parseNumber(const QString &text)
{
    int digitCount = 0;
    int pointCount = 0;
    bool nonZeroBeforePoint = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            ++digitCount;
            if (pointCount == 0 && c != u'0')
                nonZeroBeforePoint = true;
        } else if (c == u'.') {
            if (++pointCount > 1)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (digitCount == 0)
        return std::nullopt;

    const QByteArray latin = text.toLatin1();
    const char *first = latin.constData();
    const char *last = first + latin.size();
    double value = 0.0;
    const auto res = std::from_chars(first, last, value, std::chars_format::fixed);
    if (res.ec == std::errc::result_out_of_range) {
        // Out of range either way: too big is not a number we can use, too small is zero.
        if (nonZeroBeforePoint)
            return std::nullopt;
        return 0.0;
    }
    if (res.ec != std::errc() || res.ptr != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace kelvane
