// SPDX-License-Identifier: GPL-3.0-or-later
// The XML driver database: <speakers> holding one <speaker .../> element per driver, every value an
// attribute. Values may carry a unit after the number (bl="5.82 N/A"); a missing attribute or a 0
// is unknown.

#include "library/Import.h"

#include <QXmlStreamReader>

namespace kelvane::library {

namespace {

struct Attribute {
    const char *name;
    Value Entry::*value;
    double toLibraryUnit;
};

// Into the library's units: sd square metres -> square centimetres, dia metres -> millimetres;
// vas (litres), le (mH) and xmax (mm) are already in them.
const Attribute Attributes[] = {
    {"fs", &Entry::fs, 1},    {"qts", &Entry::qts, 1},   {"qes", &Entry::qes, 1}, {"qms", &Entry::qms, 1},
    {"vas", &Entry::vas, 1},  {"re", &Entry::re, 1},     {"le", &Entry::le, 1},   {"z", &Entry::z, 1},
    {"sd", &Entry::sd, 1e4},  {"xmax", &Entry::xmax, 1}, {"dia", &Entry::diameter, 1000},
    {"pe", &Entry::power, 1}, {"spl", &Entry::spl, 1},   {"bl", &Entry::bl, 1},
};

} // namespace

ImportResult importXmlDatabase(const QByteArray &bytes, const QString &source)
{
    ImportResult result;
    QXmlStreamReader xml(bytes);
    bool rootSeen = false;
    int index = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!rootSeen) {
            rootSeen = true;
            if (xml.name() != QLatin1String("speakers"))
                return {{}, {}, QStringLiteral("not a driver database (the XML holds <%1>)").arg(xml.name())};
            continue;
        }
        if (xml.name() != QLatin1String("speaker"))
            continue;
        ++index;
        const QXmlStreamAttributes attributes = xml.attributes();
        Entry e;
        e.maker = attributes.value(QLatin1String("vendor")).toString().trimmed();
        e.model = attributes.value(QLatin1String("model")).toString().trimmed();
        e.source = source;
        QString bad;
        for (const Attribute &a : Attributes) {
            const QString text = attributes.value(QLatin1String(a.name)).toString();
            if (text.trimmed().isEmpty())
                continue;
            const std::optional<double> v = importNumber(text, false, a.toLibraryUnit);
            if (!v)
                bad = QStringLiteral("%1=\"%2\" is not a number").arg(QLatin1String(a.name), text.left(30));
            else if (*v > 0)
                e.*a.value = *v;
        }
        const QString what = e.name().isEmpty() ? QStringLiteral("driver %1").arg(index) : e.name();
        finishEntry(std::move(e), bad, what, result);
    }
    if (xml.hasError()) {
        const QString why = xml.error() == QXmlStreamReader::PrematureEndOfDocumentError
                                ? QStringLiteral("the XML is cut short")
                                : QStringLiteral("the XML is not well-formed (%1)").arg(xml.errorString());
        return {{}, {}, QStringLiteral("%1 at line %2").arg(why).arg(xml.lineNumber())};
    }
    if (!rootSeen)
        return {{}, {}, QStringLiteral("not a driver database (no XML element)")};
    return result;
}

} // namespace kelvane::library
