// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/Export.h"

#include "common/NumberText.h"

namespace kelvane::library {

namespace {

QString cell(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString number(const Value &v)
{
    return v ? generalNumber(*v) : QString();
}

} // namespace

QString csvHeader()
{
    QStringList h{QStringLiteral("Maker"), QStringLiteral("Model")};
    for (const Column &c : NumericColumns)
        h << QLatin1String(c.header);
    h << QStringLiteral("Source") << QStringLiteral("Notes");
    return h.join(QLatin1Char(','));
}

QString csvRow(const Entry &e)
{
    QStringList r{cell(e.maker), cell(e.model)};
    for (const Column &c : NumericColumns)
        r << number(e.*c.value);
    r << cell(e.source) << cell(e.notes);
    return r.join(QLatin1Char(','));
}

QByteArray toCsv(const std::vector<Entry> &entries)
{
    QString out = csvHeader() + QLatin1Char('\n');
    for (const Entry &e : entries)
        out += csvRow(e) + QLatin1Char('\n');
    return out.toUtf8();
}

QByteArray toWdr(const Entry &e)
{
    // SI units; an unknown value is written as 0, which the format reads as unknown.
    const auto si = [](const Value &v, double fromLibraryUnit) { return generalNumber(v ? *v * fromLibraryUnit : 0.0); };
    QString out = QStringLiteral("[Driver]\n");
    const auto line = [&out](const char *key, const QString &value) {
        out += QLatin1String(key) + QLatin1Char('=') + value + QLatin1Char('\n');
    };
    // One line per key: a line break inside a name would end it.
    const auto oneLine = [](QString t) { return t.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' ')); };
    line("Brand", oneLine(e.maker));
    line("Model", oneLine(e.model));
    line("Fs", si(e.fs, 1));
    line("Qts", si(e.qts, 1));
    line("Qes", si(e.qes, 1));
    line("Qms", si(e.qms, 1));
    line("Vas", si(e.vas, 1e-3));
    line("Re", si(e.re, 1));
    line("Le", si(e.le, 1e-3));
    line("Znom", si(e.z, 1));
    line("Sd", si(e.sd, 1e-4));
    line("Xmax", si(e.xmax, 1e-3));
    line("Pe", si(e.power, 1));
    line("SPL", si(e.spl, 1));
    line("BL", si(e.bl, 1));
    line("Mms", si(e.mms, 1e-3));
    return out.toUtf8();
}

} // namespace kelvane::library
