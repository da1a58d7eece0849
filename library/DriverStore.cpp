// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/DriverStore.h"

#include "library/Import.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QVariant>

#include <atomic>

namespace kelvane::library {

namespace {

// How long a program waits for another one that holds the library's write lock (ms).
constexpr int BusyTimeoutMs = 10000;

// The numeric columns of the table, in the order of NumericColumns.
const char *const NumericNames[] = {"fs", "qts", "qes", "qms", "vas_l", "re_ohm", "le_mh", "z_ohm", "sd_cm2",
                                    "xmax_mm", "diameter_mm", "pe_w", "spl_db", "bl_tm", "mms_g"};

QString selectColumns()
{
    QStringList c{QStringLiteral("id"), QStringLiteral("maker"), QStringLiteral("model")};
    for (const char *n : NumericNames)
        c << QLatin1String(n);
    c << QStringLiteral("notes") << QStringLiteral("source") << QStringLiteral("added");
    return c.join(QLatin1Char(','));
}

QString nameKey(const QString &maker, const QString &model)
{
    return (maker.trimmed() + QChar(0x1f) + model.trimmed()).toCaseFolded();
}

Entry readEntry(const QSqlQuery &q)
{
    Entry e;
    e.id = q.value(0).toLongLong();
    e.maker = q.value(1).toString();
    e.model = q.value(2).toString();
    for (std::size_t i = 0; i < NumericColumns.size(); ++i) {
        const QVariant v = q.value(int(3 + i));
        if (!v.isNull())
            e.*NumericColumns[i].value = v.toDouble();
    }
    const int n = int(3 + NumericColumns.size());
    e.notes = q.value(n).toString();
    e.source = q.value(n + 1).toString();
    e.added = q.value(n + 2).toString();
    return e;
}

// Binds maker, model, key, the numbers, notes, source and added, in that order.
void bindEntry(QSqlQuery &q, const Entry &e)
{
    // An empty text is stored as '' (the columns are NOT NULL); Qt binds a null QString as NULL.
    const auto text = [](const QString &t) { return t.isNull() ? QStringLiteral("") : t; };
    q.addBindValue(text(e.maker.trimmed()));
    q.addBindValue(text(e.model.trimmed()));
    q.addBindValue(nameKey(e.maker, e.model));
    for (const Column &c : NumericColumns) {
        const Value &v = e.*c.value;
        q.addBindValue(v ? QVariant(*v) : QVariant(QMetaType(QMetaType::Double)));
    }
    q.addBindValue(text(e.notes));
    q.addBindValue(e.source.isEmpty() ? QStringLiteral("typed") : e.source);
    q.addBindValue(e.added.isEmpty() ? QDateTime::currentDateTimeUtc().toString(Qt::ISODate) : e.added);
}

QString insertStatement()
{
    QStringList names{QStringLiteral("maker"), QStringLiteral("model"), QStringLiteral("name_key")};
    for (const char *n : NumericNames)
        names << QLatin1String(n);
    names << QStringLiteral("notes") << QStringLiteral("source") << QStringLiteral("added");
    return QStringLiteral("INSERT INTO drivers(%1) VALUES(%2)")
        .arg(names.join(QLatin1Char(',')), QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')));
}

QString updateStatement(const QString &where)
{
    QStringList sets{QStringLiteral("maker=?"), QStringLiteral("model=?"), QStringLiteral("name_key=?")};
    for (const char *n : NumericNames)
        sets << QLatin1String(n) + QStringLiteral("=?");
    sets << QStringLiteral("notes=?") << QStringLiteral("source=?") << QStringLiteral("added=?");
    return QStringLiteral("UPDATE drivers SET %1 WHERE %2").arg(sets.join(QLatin1Char(',')), where);
}

std::atomic<int> connectionCount{0};

} // namespace

QString defaultLibraryPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("drivers.sqlite"));
}

QString ImportSummary::text() const
{
    QString out = QStringLiteral("Drivers added: %1, kept: %2, replaced: %3, skipped: %4.")
                      .arg(added).arg(kept).arg(replaced).arg(skipped);
    constexpr int Shown = 5;
    for (int i = 0; i < std::min<int>(Shown, int(skipReasons.size())); ++i)
        out += QStringLiteral("\nSkipped: ") + skipReasons.at(i);
    if (skipReasons.size() > Shown)
        out += QStringLiteral("\n(%1 more skipped)").arg(skipReasons.size() - Shown);
    for (const QString &f : failedFiles)
        out += QStringLiteral("\nNot imported: ") + f;
    return out;
}

DriverStore::~DriverStore()
{
    closeConnection();
}

bool DriverStore::openConnection()
{
    connection_ = QStringLiteral("kelvane-library-%1").arg(++connectionCount);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db.isValid()) {
        closeConnection();
        notice_ = QStringLiteral("The driver library needs the SQLite driver of Qt SQL (package libqt6sql6-sqlite).");
        return false;
    }
    db.setDatabaseName(path_);
    // A second program holding the write lock is waited for, up to 10 s, instead of failing.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open()) {
        notice_ = db.lastError().text();
        closeConnection();
        return false;
    }
    return true;
}

void DriverStore::closeConnection()
{
    if (connection_.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
    connection_.clear();
}

bool DriverStore::open(const QString &path)
{
    closeConnection();
    path_ = path;
    notice_.clear();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!openConnection())
        return false;
    bool ready = prepareSchema();
    // A second program creating the same library, or turning on its journal, holds the file's lock
    // for a moment and SQLite may answer "busy" (5) or "locked" (6) at once instead of waiting:
    // wait for it as the busy timeout would.
    for (int waitedMs = 0; !ready && (lastCode_ == QLatin1String("5") || lastCode_ == QLatin1String("6"))
                           && waitedMs < BusyTimeoutMs;
         waitedMs += 50) {
        QThread::msleep(50);
        ready = prepareSchema();
    }
    if (ready)
        return true;
    // SQLite's "not a database" (26) and "corrupt" (11): the file is kept aside, a new one started.
    const QString code = lastCode_;
    const QString why = lastError_;
    closeConnection();
    if (code != QLatin1String("26") && code != QLatin1String("11")) {
        notice_ = QStringLiteral("The driver library %1 could not be opened: %2").arg(QDir::toNativeSeparators(path), why);
        return false;
    }
    const QString aside = path + QStringLiteral(".damaged-")
                          + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    if (!QFile::rename(path, aside)) {
        notice_ = QStringLiteral("The driver library %1 is damaged and could not be set aside.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    for (const char *suffix : {"-wal", "-shm"})
        if (QFile::exists(path + QLatin1String(suffix)))
            QFile::rename(path + QLatin1String(suffix), aside + QLatin1String(suffix));
    if (!openConnection() || !prepareSchema()) {
        closeConnection();
        notice_ = QStringLiteral("The driver library %1 is damaged; a new one could not be started.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    notice_ = QStringLiteral("The driver library %1 could not be read (%2). It was kept as %3 and a new library with the "
                             "sample drivers was started.")
                  .arg(QDir::toNativeSeparators(path), why, QDir::toNativeSeparators(aside));
    return true;
}

bool DriverStore::prepareSchema()
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    const auto failed = [this, &q] {
        lastError_ = q.lastError().text();
        lastCode_ = q.lastError().nativeErrorCode();
        return false;
    };
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return failed();
    if (q.value(0).toInt() >= SchemaVersion)
        return (q.exec(QStringLiteral("SELECT count(*) FROM drivers")) && q.next()) || failed();
    q.finish();
    // Readers do not block the writer and the writer does not block readers.
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
        return failed();
    q.finish();
    if (!begin())
        return false;
    // Another program may have created the library while this one waited for the lock.
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
        rollback();
        return false;
    }
    if (q.value(0).toInt() >= SchemaVersion) {
        q.finish();
        return commit();
    }
    q.finish();
    QStringList numbers;
    for (const char *n : NumericNames)
        numbers << QLatin1String(n) + QStringLiteral(" REAL");
    const bool made =
        q.exec(QStringLiteral("CREATE TABLE drivers(id INTEGER PRIMARY KEY, maker TEXT NOT NULL, model TEXT NOT NULL, "
                              "name_key TEXT NOT NULL UNIQUE, %1, notes TEXT NOT NULL DEFAULT '', "
                              "source TEXT NOT NULL, added TEXT NOT NULL)")
                   .arg(numbers.join(QLatin1Char(','))))
        && q.exec(QStringLiteral("PRAGMA user_version=%1").arg(SchemaVersion));
    if (!made) {
        rollback();
        return false;
    }
    QSqlQuery insert(db);
    insert.prepare(insertStatement());
    for (const Entry &e : sampleDrivers()) {
        bindEntry(insert, e);
        if (!insert.exec()) {
            rollback();
            return false;
        }
    }
    return commit();
}

bool DriverStore::begin() const
{
    // IMMEDIATE takes the write lock at once (waiting through the busy timeout), so a transaction
    // never has to give up half way because another program wrote meanwhile.
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return true;
    lastError_ = q.lastError().text();
    lastCode_ = q.lastError().nativeErrorCode();
    return false;
}

bool DriverStore::commit() const
{
    return QSqlQuery(QSqlDatabase::database(connection_, false)).exec(QStringLiteral("COMMIT"));
}

void DriverStore::rollback() const
{
    QSqlQuery(QSqlDatabase::database(connection_, false)).exec(QStringLiteral("ROLLBACK"));
}

QString DriverStore::error() const
{
    const QString db = QSqlDatabase::database(connection_, false).lastError().text();
    return db.trimmed().isEmpty() ? lastError_ : db;
}

std::vector<Entry> DriverStore::all() const
{
    std::vector<Entry> out;
    if (!isOpen())
        return out;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM drivers ORDER BY maker COLLATE NOCASE, model COLLATE NOCASE")
                    .arg(selectColumns())))
        return out;
    while (q.next())
        out.push_back(readEntry(q));
    return out;
}

QString searchHaystack(const Entry &e)
{
    return (e.maker + QLatin1Char(' ') + e.model + QLatin1Char(' ') + e.notes).toCaseFolded();
}

QStringList searchWords(const QString &text)
{
    return text.toCaseFolded().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool matchesWords(const QString &haystack, const QStringList &foldedWords)
{
    for (const QString &w : foldedWords)
        if (!haystack.contains(w))
            return false;
    return true;
}

std::vector<Entry> DriverStore::search(const QString &text) const
{
    const QStringList words = searchWords(text);
    std::vector<Entry> out;
    for (Entry &e : all())
        if (matchesWords(searchHaystack(e), words))
            out.push_back(std::move(e));
    return out;
}

bool DriverStore::contains(const QString &maker, const QString &model) const
{
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("SELECT 1 FROM drivers WHERE name_key=?"));
    q.addBindValue(nameKey(maker, model));
    return q.exec() && q.next();
}

bool DriverStore::add(const Entry &entry, bool replace)
{
    ImportSummary summary;
    return store({entry}, replace, summary) && summary.kept == 0;
}

bool DriverStore::update(const Entry &entry)
{
    if (!isOpen() || !begin())
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(updateStatement(QStringLiteral("id=?")));
    bindEntry(q, entry);
    q.addBindValue(entry.id);
    if (!q.exec()) {
        rollback();
        return false;
    }
    return commit();
}

bool DriverStore::remove(const std::vector<qint64> &ids)
{
    if (!isOpen() || !begin())
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("DELETE FROM drivers WHERE id=?"));
    for (qint64 id : ids) {
        q.addBindValue(id);
        if (!q.exec()) {
            rollback();
            return false;
        }
    }
    return commit();
}

bool DriverStore::store(const std::vector<Entry> &entries, bool replace, ImportSummary &summary)
{
    if (!isOpen() || !begin())
        return false;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery find(db), insert(db), overwrite(db);
    find.prepare(QStringLiteral("SELECT id FROM drivers WHERE name_key=?"));
    insert.prepare(insertStatement());
    overwrite.prepare(updateStatement(QStringLiteral("name_key=?")));
    ImportSummary counted;
    for (const Entry &e : entries) {
        find.addBindValue(nameKey(e.maker, e.model));
        if (!find.exec()) {
            lastError_ = find.lastError().text();
            rollback();
            return false;
        }
        const bool exists = find.next();
        find.finish();
        if (exists && !replace) {
            ++counted.kept;
            continue;
        }
        QSqlQuery &q = exists ? overwrite : insert;
        bindEntry(q, e);
        if (exists)
            q.addBindValue(nameKey(e.maker, e.model));
        if (!q.exec()) {
            lastError_ = q.lastError().text();
            rollback();
            return false;
        }
        ++(exists ? counted.replaced : counted.added);
    }
    if (!commit()) {
        rollback();
        return false;
    }
    summary.added += counted.added;
    summary.replaced += counted.replaced;
    summary.kept += counted.kept;
    return true;
}

ImportSummary DriverStore::importFiles(const QStringList &paths, bool replace)
{
    ImportSummary summary;
    const QString when = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    for (const QString &path : paths) {
        const QString name = QFileInfo(path).fileName();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            summary.failedFiles << QStringLiteral("%1: %2").arg(name, file.errorString());
            continue;
        }
        const QByteArray bytes = file.read(MaxImportBytes + 1);
        if (bytes.size() > MaxImportBytes) {
            summary.failedFiles << QStringLiteral("%1: the file is too large to be a driver file").arg(name);
            continue;
        }
        ImportResult read = importDriverFile(bytes, name);
        if (!read.failure.isEmpty()) {
            summary.failedFiles << QStringLiteral("%1: %2").arg(name, read.failure);
            continue;
        }
        for (Entry &e : read.entries)
            e.added = when;
        summary.skipped += int(read.skipped.size());
        for (const QString &s : read.skipped)
            summary.skipReasons << QStringLiteral("%1: %2").arg(name, s);
        if (!store(read.entries, replace, summary))
            summary.failedFiles << QStringLiteral("%1: the library could not be written (%2)").arg(name, error());
    }
    return summary;
}

} // namespace kelvane::library
