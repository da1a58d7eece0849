// SPDX-License-Identifier: GPL-3.0-or-later
// Recognising a driver file by its content, and the number reading all readers share.

#include "library/Import.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace kelvane::library {

std::optional<double> importNumber(QString text, bool decimalComma, double toLibraryUnit)
{
    static const QRegularExpression number(QStringLiteral(
        "^\\s*([+-]?(?:\\d+(?:[.,]\\d*)?|[.,]\\d+)(?:[eE][+-]?\\d+)?)\\s*([^\\d.,+\\-]*)$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    QString digits = m.captured(1);
    if (digits.contains(QLatin1Char(','))) {
        if (!decimalComma)
            return std::nullopt;
        digits.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(digits, &ok) * toLibraryUnit;
    if (!ok || !std::isfinite(value) || value < 0)
        return std::nullopt;
    return value;
}

void finishEntry(Entry &&e, const QString &bad, const QString &what, ImportResult &result)
{
    completeQ(e);
    const QString reason = bad.isEmpty() ? unusableReason(e) : bad;
    if (reason.isEmpty())
        result.entries.push_back(std::move(e));
    else
        result.skipped << QStringLiteral("%1: %2").arg(what, reason);
}

ImportResult importDriverFile(const QByteArray &bytes, const QString &fileName)
{
    if (bytes.contains('\0'))
        return {{}, {}, QStringLiteral("not a driver file (binary data)")};
    const QByteArray start = bytes.left(4096).trimmed();
    // A UTF-8 byte order mark does not decide the kind.
    const QByteArray body = start.startsWith("\xEF\xBB\xBF") ? start.mid(3).trimmed() : start;
    if (body.startsWith('<'))
        return importXmlDatabase(bytes, fileName);
    static const QRegularExpression wdrSection(QStringLiteral("^\\s*\\[Driver\\]\\s*$"),
                                               QRegularExpression::MultilineOption
                                                   | QRegularExpression::CaseInsensitiveOption);
    if (wdrSection.match(QString::fromUtf8(body)).hasMatch()
        || (body.startsWith('[') && fileName.endsWith(QLatin1String(".wdr"), Qt::CaseInsensitive)))
        return importWdr(bytes, fileName);
    if (body.isEmpty())
        return {{}, {}, QStringLiteral("the file is empty")};
    return importTable(bytes, fileName);
}

} // namespace kelvane::library
