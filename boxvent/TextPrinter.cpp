// SPDX-License-Identifier: GPL-3.0-or-later
#include "boxvent/TextPrinter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace kelvane {

bool printTextLines(QPrinter &printer, const QStringList &lines)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The painter starts with the default font, sized for the printer's resolution.
    const QFontMetricsF metrics(painter.font(), painter.device());
    const qreal lineHeight = metrics.lineSpacing();
    const qreal pageHeight = painter.window().height();
    qreal top = 0;
    for (const QString &line : lines) {
        if (top > 0 && top + lineHeight > pageHeight) {
            if (!printer.newPage()) {
                printer.abort();
                painter.end();
                return false;
            }
            top = 0;
        }
        if (!line.isEmpty())
            painter.drawText(QPointF(0, top + metrics.ascent()), line);
        top += lineHeight;
    }
    return painter.end();
}

bool printTextOnDefaultPrinter(const QStringList &lines, const QString &documentName)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return false;
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid())
        return false;
    printer.setDocName(documentName);
    return printTextLines(printer, lines);
}

} // namespace kelvane
