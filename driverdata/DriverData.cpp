// SPDX-License-Identifier: GPL-3.0-or-later
// The response and impedance text reader. It works on the bytes: numbers and separators are ASCII,
// and a comment's encoding never matters because only its ASCII words are looked at.

#include "driverdata/DriverData.h"

#include "common/NumberText.h"

#include <QFile>

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace kelvane::driverdata {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The fields of a line split at runs of the given separators.
std::vector<std::string_view> split(std::string_view line, std::string_view separators)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && separators.find(line[i]) != std::string_view::npos)
            ++i;
        const std::size_t start = i;
        while (i < line.size() && separators.find(line[i]) == std::string_view::npos)
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

// A field for a message: at most 30 bytes, as UTF-8; a Latin-1 byte or a control character shows as
// a replacement mark.
QString quoted(std::string_view field)
{
    QString text = QString::fromUtf8(field.data(), qsizetype(std::min<std::size_t>(field.size(), 30)));
    for (QChar &c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(QChar::ReplacementCharacter);
    return QLatin1Char('"') + text + QLatin1Char('"');
}

enum class Parsed { Number, NotNumber, NotFinite };

// A number as the files write it: an optional sign, digits with at most one point (already "."
// here), an optional exponent. Nothing else: "nan", "inf", "0x10" and "1.2.3" are not numbers.
// Read without the C library's locale (std::from_chars), which a decimal-comma system would change.
Parsed parseNumber(std::string_view text, double &value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::size_t mantissaStart = i;
    int intDigits = 0, fracDigits = 0;
    bool leading = true; // still in the leading zeros of the integer part
    int significantInt = 0;
    while (i < text.size() && isDigit(text[i])) {
        leading = leading && text[i] == '0';
        if (!leading)
            ++significantInt;
        ++intDigits, ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++fracDigits, ++i;
    }
    if (intDigits + fracDigits == 0)
        return Parsed::NotNumber;
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            expNegative = text[i++] == '-';
        if (i == text.size() || !isDigit(text[i]))
            return Parsed::NotNumber;
        while (i < text.size() && isDigit(text[i])) {
            exponent = std::min(exponent * 10 + (text[i] - '0'), 100000L);
            ++i;
        }
        if (expNegative)
            exponent = -exponent;
    }
    if (i != text.size())
        return Parsed::NotNumber;
    const std::string_view digits = text.substr(mantissaStart);
    double magnitude = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (ec == std::errc::result_out_of_range) {
        // Too large is not a finite number; too small to hold is 0.
        if (significantInt + exponent > 0)
            return Parsed::NotFinite;
        magnitude = 0;
    } else if (ec != std::errc() || end != digits.data() + digits.size()) {
        return Parsed::NotNumber;
    }
    if (!std::isfinite(magnitude))
        return Parsed::NotFinite;
    value = negative ? -magnitude : magnitude;
    return Parsed::Number;
}

// A line (lower case) that names a column as group delay rather than phase.
bool namesGroupDelay(std::string_view line)
{
    std::string lower(line);
    for (char &c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    for (const char *words : {"group delay", "group-delay", "groupdelay", "(sec)", "[sec]"})
        if (lower.find(words) != std::string::npos)
            return true;
    // "GD" as a word followed by its unit in brackets: "GD [s]", "GD(s)", "GD [sec]".
    for (std::size_t at = lower.find("gd"); at != std::string::npos; at = lower.find("gd", at + 1)) {
        if (at > 0 && std::isalnum(static_cast<unsigned char>(lower[at - 1])))
            continue;
        std::size_t i = at + 2;
        while (i < lower.size() && lower[i] == ' ')
            ++i;
        const std::string_view rest = std::string_view(lower).substr(i);
        for (const char *unit : {"[s]", "(s)", "[sec]", "(sec)"})
            if (rest.substr(0, std::char_traits<char>::length(unit)) == unit)
                return true;
    }
    return false;
}

QString tooLarge(Kind kind)
{
    return QStringLiteral("the file is over 16 MiB, too large for %1")
        .arg(kind == Kind::Response ? QStringLiteral("a response file") : QStringLiteral("an impedance file"));
}

} // namespace

QString baseName(const QString &path)
{
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

ReadResult readCurve(const QByteArray &bytes, Kind kind, const QString &fileName)
{
    const QString name = baseName(fileName);
    const auto fail = [&name](const QString &why) {
        return ReadResult{std::nullopt, name.isEmpty() ? why : name + QStringLiteral(": ") + why};
    };
    int lineNumber = 0;
    const auto failAt = [&](const QString &why) { return fail(QStringLiteral("line %1: %2").arg(lineNumber).arg(why)); };

    if (bytes.size() > MaxCurveBytes)
        return fail(tooLarge(kind));

    Curve curve;
    curve.fileName = name;
    std::vector<double> third; // the third column, phase unless named as group delay
    bool headerSeen = false, groupDelay = false, anyContent = false;
    std::size_t columns = 0;
    std::string_view text(bytes.constData(), std::size_t(bytes.size()));
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trimmed(text.substr(pos, end - pos)); // a CR before LF is a blank
        pos = end + 1;
        ++lineNumber;
        if (line.empty())
            continue;
        anyContent = true;
        if (std::string_view("*#;'").find(line.front()) != std::string_view::npos) {
            if (curve.hz.empty())
                groupDelay = groupDelay || namesGroupDelay(line);
            continue;
        }
        std::vector<std::string_view> fields = split(line, " \t;");
        bool commaSeparates = fields.size() == 1;
        for (std::string_view f : fields)
            commaSeparates = commaSeparates || f.front() == ',' || f.back() == ',';
        if (commaSeparates)
            fields = split(line, " \t;,");
        if (fields.empty())
            continue; // nothing but separators: a blank line
        // The header: the first line of content that does not start with a number.
        const char first = fields.front().front();
        const bool numberLike = isDigit(first) || first == '+' || first == '-' || first == '.' || first == ',';
        if (!numberLike && !headerSeen && curve.hz.empty()) {
            headerSeen = true;
            groupDelay = groupDelay || namesGroupDelay(line);
            continue;
        }
        double values[3] = {0, 0, 0};
        for (std::size_t i = 0; i < fields.size(); ++i) {
            std::string field(fields[i]);
            if (!commaSeparates)
                for (char &c : field)
                    if (c == ',')
                        c = '.';
            double value = 0;
            switch (parseNumber(field, value)) {
            case Parsed::Number:
                break;
            case Parsed::NotNumber:
                return failAt(QStringLiteral("%1 is not a number").arg(quoted(fields[i])));
            case Parsed::NotFinite:
                return failAt(QStringLiteral("%1 is not a finite number").arg(quoted(fields[i])));
            }
            if (i < 3)
                values[i] = value;
        }
        if (fields.size() < 2 || fields.size() > 3)
            return failAt(QStringLiteral("%1 %2 where a point has a frequency, a %3 and perhaps a phase")
                              .arg(fields.size())
                              .arg(fields.size() == 1 ? QStringLiteral("number") : QStringLiteral("numbers"),
                                   kind == Kind::Response ? QStringLiteral("level") : QStringLiteral("magnitude")));
        if (columns != 0 && fields.size() != columns)
            return failAt(QStringLiteral("%1 numbers where the lines before have %2").arg(fields.size()).arg(columns));
        columns = fields.size();

        if (values[0] <= 0)
            return failAt(QStringLiteral("the frequency %1 Hz is not above 0").arg(QString::fromUtf8(fields[0])));
        if (kind == Kind::Impedance && values[1] <= 0)
            return failAt(QStringLiteral("the impedance %1 ohms is not above 0").arg(QString::fromUtf8(fields[1])));
        if (!curve.hz.empty()) {
            if (values[0] == curve.hz.back())
                continue; // a repeated frequency keeps its first point
            if (values[0] < curve.hz.back())
                return failAt(QStringLiteral("the frequency falls from %1 Hz to %2 Hz; the frequencies must rise")
                                  .arg(generalNumber(curve.hz.back()), generalNumber(values[0])));
        }
        curve.hz.push_back(values[0]);
        curve.magnitude.push_back(values[1]);
        if (columns == 3)
            third.push_back(values[2]);
    }
    if (!anyContent)
        return fail(QStringLiteral("the file is empty"));
    if (curve.hz.empty())
        return fail(QStringLiteral("the file holds no points"));
    if (curve.hz.size() < std::size_t(MinCurvePoints))
        return fail(QStringLiteral("the file holds only %1 points; a curve needs at least %2")
                        .arg(curve.hz.size())
                        .arg(MinCurvePoints));
    if (!groupDelay)
        curve.phaseDeg = std::move(third);
    return {std::move(curve), QString()};
}

ReadResult readCurveFile(const QString &path, Kind kind)
{
    const QString name = baseName(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, name + QStringLiteral(": ") + file.errorString()};
    // A file known to be too large is not read at all; one byte past the limit tells the rest.
    if (file.size() > MaxCurveBytes)
        return {std::nullopt, name + QStringLiteral(": ") + tooLarge(kind)};
    return readCurve(file.read(MaxCurveBytes + 1), kind, name);
}

QString frequencyText(double hz)
{
    if (!std::isfinite(hz) || hz <= 0)
        return QString();
    // 3 significant digits: round at the digit 3 places below the leading one.
    const double step = std::pow(10.0, std::floor(std::log10(hz)) - 2);
    const double rounded = std::round(hz / step) * step;
    return rounded >= 1000 ? generalNumber(rounded / 1000) + QStringLiteral(" kHz")
                           : generalNumber(rounded) + QStringLiteral(" Hz");
}

QString describe(const Curve &curve)
{
    return QStringLiteral("%1 (%2 points, %3 to %4)")
        .arg(curve.fileName)
        .arg(curve.hz.size())
        .arg(frequencyText(curve.hz.front()), frequencyText(curve.hz.back()));
}

} // namespace kelvane::driverdata
