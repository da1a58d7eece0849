// SPDX-License-Identifier: GPL-3.0-or-later
// A .wdr driver file: a [Driver] section of Key=Value lines in SI units; 0 means unknown.

#include "library/Import.h"

#include <QHash>

namespace kelvane::library {

namespace {

struct Key {
    const char *name;
    Value Entry::*value;
    double toLibraryUnit;
};

// Into the library's units: Vas m³ -> litres, Le H -> mH, Sd m² -> cm², Xmax m -> mm, Mms kg -> g.
const Key Keys[] = {
    {"fs", &Entry::fs, 1},       {"qts", &Entry::qts, 1},   {"qes", &Entry::qes, 1},   {"qms", &Entry::qms, 1},
    {"vas", &Entry::vas, 1000},  {"re", &Entry::re, 1},     {"le", &Entry::le, 1000},  {"znom", &Entry::z, 1},
    {"sd", &Entry::sd, 1e4},     {"xmax", &Entry::xmax, 1000}, {"pe", &Entry::power, 1}, {"spl", &Entry::spl, 1},
    {"bl", &Entry::bl, 1},       {"mms", &Entry::mms, 1000},
};

} // namespace

ImportResult importWdr(const QByteArray &bytes, const QString &source)
{
    QHash<QString, QString> values;
    QString section;
    bool driverSeen = false;
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                return {{}, {}, QStringLiteral("line %1 is not a section header").arg(i + 1)};
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            driverSeen = driverSeen || section == QLatin1String("driver");
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return {{}, {}, QStringLiteral("line %1 is not Key=Value").arg(i + 1)};
        if (section == QLatin1String("driver"))
            values.insert(line.left(eq).trimmed().toLower(), line.mid(eq + 1).trimmed());
    }
    if (!driverSeen)
        return {{}, {}, QStringLiteral("not a .wdr driver file (no [Driver] section)")};

    Entry e;
    e.maker = values.value(QStringLiteral("brand"));
    e.model = values.value(QStringLiteral("model"));
    e.source = source;
    ImportResult result;
    QString bad;
    for (const Key &k : Keys) {
        const QString text = values.value(QLatin1String(k.name));
        if (text.isEmpty())
            continue;
        // A file written where the decimal mark is a comma may use it too.
        const std::optional<double> v = importNumber(text, true, k.toLibraryUnit);
        if (!v)
            bad = QStringLiteral("%1=%2 is not a number").arg(QLatin1String(k.name), text.left(30));
        else if (*v > 0)
            e.*k.value = *v;
    }
    const QString what = e.name().isEmpty() ? source : e.name();
    finishEntry(std::move(e), bad, what, result);
    return result;
}

} // namespace kelvane::library
