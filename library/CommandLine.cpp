// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/CommandLine.h"

#include "library/DriverStore.h"
#include "library/Export.h"

namespace kelvane::library {

namespace {

bool openStore(DriverStore &store, const QString &path, QTextStream &err)
{
    const bool opened = store.open(path);
    if (!store.notice().isEmpty())
        err << store.notice() << Qt::endl;
    return opened;
}

} // namespace

int importDriversCommand(const QString &libraryPath, const QStringList &files, QTextStream &out, QTextStream &err)
{
    if (files.isEmpty()) {
        err << "--import-drivers needs at least one file." << Qt::endl;
        return 2;
    }
    DriverStore store;
    if (!openStore(store, libraryPath, err))
        return 1;
    const ImportSummary summary = store.importFiles(files, false);
    out << summary.text() << Qt::endl;
    return summary.failedFiles.isEmpty() ? 0 : 1;
}

int listDriversCommand(const QString &libraryPath, const QString &text, QTextStream &out, QTextStream &err)
{
    DriverStore store;
    if (!openStore(store, libraryPath, err))
        return 1;
    out << csvHeader() << '\n';
    for (const Entry &e : store.search(text))
        out << csvRow(e) << '\n';
    out.flush();
    return 0;
}

} // namespace kelvane::library
