// SPDX-License-Identifier: GPL-3.0-or-later
// A driver table: comma-, semicolon- or tab-separated, the first line naming each column with its
// unit ("Fs [Hz]", "Vas [l]", "Sd [cm2]"); "." or "," as decimal mark; an empty cell or a 0 is
// unknown. The program's own export reads back.

#include "library/Import.h"

#include <algorithm>

namespace kelvane::library {

namespace {

struct Unit {
    const char *name;
    double toLibraryUnit;
};

struct Quantity {
    QStringList names;           // lower case
    Value Entry::*value;
    std::vector<Unit> units;     // empty: a plain number without unit
};

// 1 cubic foot = 1 / 0.0353145 litres, the factor the program converts Vas with.
const std::vector<Quantity> &quantities()
{
    static const std::vector<Quantity> list = {
        {{"fs"}, &Entry::fs, {{"hz", 1}}},
        {{"qts"}, &Entry::qts, {}},
        {{"qes"}, &Entry::qes, {}},
        {{"qms"}, &Entry::qms, {}},
        {{"vas"}, &Entry::vas, {{"l", 1}, {"litres", 1}, {"liters", 1}, {"dm3", 1}, {"m3", 1000},
                                {"ft3", 1 / 0.0353145}, {"cu ft", 1 / 0.0353145}, {"cu. ft.", 1 / 0.0353145}}},
        {{"re"}, &Entry::re, {{"ohm", 1}, {"ohms", 1}, {"Ω", 1}}},
        {{"le"}, &Entry::le, {{"mh", 1}, {"h", 1000}, {"uh", 0.001}, {"µh", 0.001}}},
        {{"z", "znom"}, &Entry::z, {{"ohm", 1}, {"ohms", 1}, {"Ω", 1}}},
        {{"sd"}, &Entry::sd, {{"cm2", 1}, {"cm²", 1}, {"m2", 1e4}, {"m²", 1e4}, {"mm2", 0.01}, {"mm²", 0.01},
                              {"in2", 6.4516}, {"sq in", 6.4516}}},
        {{"xmax"}, &Entry::xmax, {{"mm", 1}, {"cm", 10}, {"m", 1000}, {"in", 25.4}}},
        {{"diameter", "dia"}, &Entry::diameter, {{"mm", 1}, {"cm", 10}, {"m", 1000}, {"in", 25.4}}},
        {{"pe", "power"}, &Entry::power, {{"w", 1}}},
        {{"spl", "sensitivity"}, &Entry::spl, {{"db", 1}}},
        {{"bl"}, &Entry::bl, {{"tm", 1}, {"t·m", 1}, {"n/a", 1}}},
        {{"mms"}, &Entry::mms, {{"g", 1}, {"kg", 1000}}},
    };
    return list;
}

enum class Text { None, Maker, Model, Notes };

struct ColumnUse {
    Text text = Text::None;
    Value Entry::*value = nullptr;
    double factor = 1;
};

// Splits the table into rows of fields, quotes doubled inside quoted fields; false when the text
// ends inside a quoted field (a file cut short).
bool splitRows(const QString &text, QChar delimiter, std::vector<std::pair<int, QStringList>> &rows)
{
    QStringList fields;
    QString field;
    bool quoted = false, any = false;
    int line = 1, rowLine = 1;
    const auto endRow = [&] {
        if (any || !field.isEmpty() || !fields.isEmpty()) {
            fields << field;
            rows.emplace_back(rowLine, fields);
        }
        fields.clear();
        field.clear();
        any = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
        } else if (c == u'"' && field.isEmpty()) {
            quoted = any = true;
        } else if (c == delimiter) {
            fields << field;
            field.clear();
            any = true;
        } else if (c == u'\n') {
            endRow();
            rowLine = ++line;
        } else if (c != u'\r') {
            field += c;
        }
    }
    if (quoted)
        return false;
    endRow();
    return true;
}

// A column's heading, "Name [unit]" or "Name (unit)" between blanks; both empty when it is neither
// (a bracket not closed at the end). Read by hand: the regular expression this once was backtracked
// for minutes over a crafted header of a few thousand blanks and an unclosed bracket.
struct Heading {
    QString name, unit;
};
Heading headingOf(const QString &h)
{
    const auto blank = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    const auto trimmed = [&blank](QStringView t) {
        while (!t.isEmpty() && blank(t.front()))
            t = t.mid(1);
        while (!t.isEmpty() && blank(t.back()))
            t.chop(1);
        return t.toString();
    };
    const QStringView text = QStringView(h);
    qsizetype open = 0;
    while (open < text.size() && text[open] != u'[' && text[open] != u'(')
        ++open;
    if (open == text.size())
        return {trimmed(text), {}};
    const QString rest = trimmed(text.mid(open));
    if (!rest.endsWith(u']') && !rest.endsWith(u')'))
        return {};
    return {trimmed(text.left(open)), trimmed(QStringView(rest).mid(1, rest.size() - 2))};
}

} // namespace

ImportResult importTable(const QByteArray &bytes, const QString &source)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QString firstLine = text.left(text.indexOf(QLatin1Char('\n')));
    const QChar delimiter = firstLine.contains(QLatin1Char('\t')) ? QChar(u'\t')
                            : firstLine.contains(QLatin1Char(';')) ? QChar(u';')
                                                                    : QChar(u',');
    std::vector<std::pair<int, QStringList>> rows;
    if (!splitRows(text, delimiter, rows))
        return {{}, {}, QStringLiteral("the table is cut short inside a quoted field")};
    if (rows.empty())
        return {{}, {}, QStringLiteral("the file is empty")};

    // The name decides the quantity, the unit its factor.
    std::vector<ColumnUse> columns;
    bool fsSeen = false, nameSeen = false;
    for (const QString &h : rows.front().second) {
        const Heading heading = headingOf(h);
        const QString name = heading.name.toLower();
        const QString unit = heading.unit.toLower();
        ColumnUse use;
        if (QStringList{"maker", "brand", "vendor", "manufacturer"}.contains(name))
            use.text = Text::Maker;
        else if (name == QLatin1String("model"))
            use.text = Text::Model;
        else if (name == QLatin1String("notes"))
            use.text = Text::Notes;
        for (const Quantity &q : quantities()) {
            if (!q.names.contains(name))
                continue;
            if (!q.units.empty()) {
                if (unit.isEmpty())
                    return {{}, {}, QStringLiteral("the column \"%1\" does not say its unit").arg(h.trimmed())};
                const auto u = std::find_if(q.units.begin(), q.units.end(),
                                            [&unit](const Unit &x) { return unit == QString::fromUtf8(x.name); });
                if (u == q.units.end())
                    return {{}, {}, QStringLiteral("the unit of the column \"%1\" is not known").arg(h.trimmed())};
                use.factor = u->toLibraryUnit;
            }
            use.value = q.value;
            fsSeen = fsSeen || q.value == &Entry::fs;
        }
        nameSeen = nameSeen || use.text == Text::Maker || use.text == Text::Model;
        columns.push_back(use);
    }
    if (!fsSeen || !nameSeen)
        return {{}, {}, QStringLiteral("not a driver file (the first line names no Model and Fs [Hz] columns)")};

    ImportResult result;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto &[line, fields] = rows[r];
        if (fields.size() == 1 && fields.front().trimmed().isEmpty())
            continue;
        if (fields.size() != qsizetype(columns.size())) {
            result.skipped << QStringLiteral("line %1: %2 fields where the header has %3")
                                  .arg(line).arg(fields.size()).arg(columns.size());
            continue;
        }
        Entry e;
        e.source = source;
        QString bad;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const QString cell = fields.at(qsizetype(c)).trimmed();
            const ColumnUse &use = columns[c];
            if (use.text == Text::Maker)
                e.maker = cell;
            else if (use.text == Text::Model)
                e.model = cell;
            else if (use.text == Text::Notes)
                e.notes = cell;
            else if (use.value && !cell.isEmpty()) {
                const std::optional<double> v = importNumber(cell, true, use.factor);
                if (!v)
                    bad = QStringLiteral("\"%1\" is not a number").arg(cell.left(30));
                else if (*v > 0)
                    e.*use.value = *v;
            }
        }
        const QString what = QStringLiteral("line %1 %2").arg(line).arg(e.name());
        finishEntry(std::move(e), bad, what, result);
    }
    return result;
}

} // namespace kelvane::library
