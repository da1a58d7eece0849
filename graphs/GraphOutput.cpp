// SPDX-License-Identifier: GPL-3.0-or-later
// Saving a graph to a bitmap file and printing an image on the default printer: the pieces both
// graph tabs share, free of the main window.

#include "graphs/GraphOutput.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdio>

namespace graphoutput {

namespace {
PrinterSource &printerSource()
{
    static PrinterSource source;
    return source;
}
} // namespace

bool isPlainFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return false;
        if (c.category() == QChar::Other_Control || c.isNull())
            return false;
    }
    return QFile::encodeName(name).size() <= MaxFileNameBytes;
}

bool saveBitmap(const QImage &image, const QString &fileName)
{
    if (!isPlainFileName(fileName) || image.isNull())
        return false;
    // The bitmap is encoded in memory, written whole to a part file beside the target and renamed
    // over it, so an existing file of that name is replaced whole or left untouched. No flush to
    // the disk is forced: waiting for one (fdatasync) took 3 to 10 ms a save, more than encoding
    // and writing together, and a saved picture needs no protection against a power cut.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "BMP"))
        return false;
    const QDir folder = QDir::current();
    const QString target = folder.filePath(fileName);
    // One part file per process: the program saves one picture at a time.
    const QString partPath =
        folder.filePath(QStringLiteral(".kelvane-%1.part").arg(QCoreApplication::applicationPid()));
    QFile::remove(partPath); // left by an earlier run that ended in the middle of a save
    QFile part(partPath);
    if (!part.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    bool written = part.write(bytes) == bytes.size();
    part.close();
    written = written && part.error() == QFileDevice::NoError;
    if (written && QFileInfo::exists(target))
        part.setPermissions(QFile::permissions(target));
    if (!written || std::rename(QFile::encodeName(partPath).constData(),
                                QFile::encodeName(target).constData()) != 0) {
        QFile::remove(partPath);
        return false;
    }
    return true;
}

void setPrinterSource(PrinterSource source)
{
    printerSource() = std::move(source);
}

std::unique_ptr<QPrinter> defaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setDocName(QStringLiteral("Kelvane"));
    return printer;
}

bool printImage(const QImage &image)
{
    std::unique_ptr<QPrinter> printer = printerSource() ? printerSource()() : defaultPrinter();
    if (!printer || image.isNull())
        return false;
    QPainter painter;
    if (!painter.begin(printer.get()))
        return false;
    const QRect page = painter.viewport();
    const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(page.topLeft(), size), image);
    if (!painter.end())
        return false;
    return printer->printerState() != QPrinter::Error;
}

} // namespace graphoutput
