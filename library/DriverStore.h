// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The driver library: one SQLite file, opened through Qt SQL on a connection of its own. Every change
// is one transaction that takes the write lock at its start, and the file is in WAL mode with a busy
// timeout, so two programs writing at once wait for each other instead of losing an entry.

#include "library/DriverEntry.h"

#include <QString>
#include <QStringList>

namespace kelvane::library {

// AppDataLocation/drivers.sqlite: the user's library.
QString defaultLibraryPath();

// Drivers for a first start: made-up woofers, a subwoofer and a midrange.
std::vector<Entry> sampleDrivers();

// What one import did, over all its files.
struct ImportSummary {
    int added = 0, replaced = 0, kept = 0, skipped = 0;
    QStringList skipReasons;   // "<file>: <what>: <reason>"
    QStringList failedFiles;   // "<file>: <reason>"; nothing of these was added
    // "12 drivers added, 3 kept, 0 replaced, 2 skipped." and the first reasons, one per line.
    QString text() const;
};

class DriverStore
{
public:
    static constexpr int SchemaVersion = 1;

    DriverStore() = default;
    ~DriverStore();
    DriverStore(const DriverStore &) = delete;
    DriverStore &operator=(const DriverStore &) = delete;

    // Opens (or creates, with the sample drivers) the library at path. A file that is not a
    // library is renamed aside and a fresh library started; notice() then says so.
    bool open(const QString &path);
    bool isOpen() const { return !connection_.isEmpty(); }
    // Why open() failed, or what it had to do to a damaged file; empty otherwise.
    QString notice() const { return notice_; }
    QString path() const { return path_; }

    std::vector<Entry> all() const;
    // Entries with every word of text in their maker, model or notes (case ignored).
    std::vector<Entry> search(const QString &text) const;
    // Adds an entry, or with replace overwrites the one of the same maker and model. False when an
    // entry of that name exists and replace is false, or the write failed.
    bool add(const Entry &entry, bool replace = false);
    bool update(const Entry &entry);
    bool remove(const std::vector<qint64> &ids);
    bool contains(const QString &maker, const QString &model) const;
    // Stores the entries of one file in one transaction; those of a name already there are kept
    // (or replaced). False, with nothing stored, when the write failed.
    bool store(const std::vector<Entry> &entries, bool replace, ImportSummary &summary);
    // Reads, recognises and stores each file (each in its own transaction).
    ImportSummary importFiles(const QStringList &paths, bool replace);

private:
    bool openConnection();
    void closeConnection();
    bool prepareSchema();
    bool begin() const;  // BEGIN IMMEDIATE
    bool commit() const;
    void rollback() const;
    QString error() const;

    QString connection_, path_, notice_;
    mutable QString lastError_, lastCode_;
};

// Matches every word of text (case-folded) against one folded haystack per entry.
QString searchHaystack(const Entry &entry);
bool matchesWords(const QString &haystack, const QStringList &foldedWords);
QStringList searchWords(const QString &text);

} // namespace kelvane::library
