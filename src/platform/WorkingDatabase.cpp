#include "platform/WorkingDatabase.h"

#include <sqlite3.h>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <cerrno>

#include "common/DetailLog.h"
#include "common/Failure.h"
#include "common/FileInUse.h"
#include "common/FileWriting.h"
#include "platform/Connection.h"
#include "platform/JetSql.h"
#include "platform/LibraryHandles.h"
#include "platform/RecordsetImpl.h"
#include "platform/TextCollation.h"

namespace zorva::db {

namespace {

QString uniqueConnectionName()
{
    static std::atomic<quint64> counter{0};
    return QStringLiteral("zorva-working-database-%1").arg(++counter);
}

Failure databaseFailure(const QString& what, const QSqlError& error)
{
    const QString detail = error.text().trimmed();
    return Failure(err::DatabaseFailure, detail.isEmpty() ? what : what + QStringLiteral(": ") + detail);
}

}  // namespace

sqlite3* detail::sqliteHandle(const QSqlDatabase& db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

struct WorkingDatabase::Impl {
    // Keeps the cleanup of another running instance away from the file while it is open here.
    std::unique_ptr<FileInUse> inUse;
    std::shared_ptr<detail::Connection> connection;
    QString path;
    std::vector<QPointer<Recordset>> recordsets;

    void requireOpen() const
    {
        if (!connection || !connection->db.isOpen())
            throw Failure(err::DatabaseFailure, QStringLiteral("Databáze není otevřena."));
    }
};

WorkingDatabase::WorkingDatabase() : d(std::make_unique<Impl>())
{
}

WorkingDatabase::~WorkingDatabase()
{
    close();
}

void WorkingDatabase::create(const QString& path, const QString& locale)
{
    const QFileInfo info(path);
    const auto exists = [&] {
        return Failure(err::FileAlreadyExists, QStringLiteral("Databáze „%1“ již existuje.").arg(path));
    };
    if (info.isSymLink()) throw exists();
    if (!info.dir().exists())
        throw Failure(err::PathNotFound, QStringLiteral("Cesta k databázi „%1“ nebyla nalezena.").arg(path));
    // Exclusive: the file is ours alone even if another program picks the same name at this moment.
    try {
        if (!createNewFile(path)) throw exists();
    } catch (const Failure& f) {
        if (f.number() == err::FileAlreadyExists || f.number() == err::DiskFull) throw;
        throw Failure(err::PathFileAccess, QStringLiteral("Databázi „%1“ nelze vytvořit.").arg(path));
    }

    // The language of the locale string is kept in the file header, so that every later connection
    // registers the same text order.
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    platform::SqliteHandle handle(raw);
    QString problem;
    if (rc != SQLITE_OK) {
        problem = QString::fromUtf8(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
    } else {
        const QByteArray pragma = "PRAGMA user_version = " + QByteArray::number(detail::languageIdOf(locale));
        rc = sqlite3_exec(handle.get(), pragma.constData(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) problem = QString::fromUtf8(sqlite3_errmsg(handle.get()));
    }
    handle.reset();
    if (!problem.isEmpty()) {
        QFile::remove(path);
        if ((rc & 0xff) == SQLITE_FULL) throw writeFailure(path, ENOSPC);
        qCWarning(detailLog).noquote() << "Databázi" << path << "nelze vytvořit:" << problem;
        throw Failure(err::DatabaseFailure, QStringLiteral("Databázi „%1“ nelze vytvořit.").arg(path));
    }
}

QString WorkingDatabase::createUnique(const std::function<QString()>& nextName, const QString& locale)
{
    for (;;) {
        const QString path = nextName();
        try {
            create(path, locale);
            return path;
        } catch (const Failure& f) {
            if (f.number() != err::FileAlreadyExists) throw;
        }
    }
}

void WorkingDatabase::open(const QString& path)
{
    close();
    // The driver would create an empty database for a missing path; a missing file is a failure.
    if (!QFileInfo(path).isFile())
        throw Failure(err::FileNotFound, QStringLiteral("Soubor databáze „%1“ nebyl nalezen.").arg(path));

    auto inUse = std::make_unique<FileInUse>(path);
    auto connection = std::make_shared<detail::Connection>();
    connection->name = uniqueConnectionName();
    // Drops the connection again if the opening fails half-way.
    struct Guard {
        std::shared_ptr<detail::Connection>& c;
        bool keep = false;
        ~Guard()
        {
            if (keep || !c) return;
            c->db.close();
            c->db = QSqlDatabase();
            QSqlDatabase::removeDatabase(c->name);
        }
    } guard{connection};

    connection->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection->name);
    if (!connection->db.isValid())
        throw Failure(err::DatabaseFailure, QStringLiteral("Databázový ovladač SQLite není k dispozici."));
    connection->db.setDatabaseName(path);
    if (!connection->db.open())
        throw databaseFailure(QStringLiteral("Databázi „%1“ nelze otevřít").arg(path), connection->db.lastError());

    int languageId = 0;
    {
        QSqlQuery query(connection->db);
        if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
            throw databaseFailure(QStringLiteral("Soubor „%1“ není databáze").arg(path), query.lastError());
        languageId = query.value(0).toInt();
    }
    connection->handle = detail::sqliteHandle(connection->db);
    if (!connection->handle)
        throw Failure(err::DatabaseFailure, QStringLiteral("Databázový ovladač SQLite není k dispozici."));
    detail::registerTextCollation(connection->handle, languageId > 0 ? languageId : 0x0409);
    {
        QSqlQuery query(connection->db);
        // The collation must be visible through the connection that runs the statements (the driver
        // and this program use the same SQLite library).
        if (!query.exec(QStringLiteral("SELECT 'a' < 'b' COLLATE %1").arg(QLatin1String(detail::kTextCollation))) ||
            !query.next() || query.value(0).toInt() != 1)
            throw databaseFailure(QStringLiteral("Řazení textu v databázi „%1“ nelze použít").arg(path),
                                  query.lastError());
        // A working database is thrown away after use: no need to wait for the disk on every commit,
        // nor for a rollback journal on disk.
        query.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        // Texts are kept as UTF-16, the form the program binds and reads them in, so that thousands
        // of values per run are not converted twice. This takes effect while the file has no table
        // yet, that is on the connection that creates the working table.
        query.exec(QStringLiteral("PRAGMA encoding = 'UTF-16le'"));
        query.exec(QStringLiteral("PRAGMA journal_mode = MEMORY"));
    }

    guard.keep = true;
    d->connection = std::move(connection);
    d->path = path;
    d->inUse = std::move(inUse);
}

bool WorkingDatabase::isOpen() const
{
    return d->connection && d->connection->db.isOpen();
}

QString WorkingDatabase::path() const
{
    return d->path;
}

void WorkingDatabase::execute(const QString& sql)
{
    d->requireOpen();
    QSqlQuery query(d->connection->db);
    if (!query.exec(detail::withTextCollation(sql))) {
        if (query.lastError().nativeErrorCode() == QString::number(SQLITE_FULL)) throw writeFailure(d->path, ENOSPC);
        throw databaseFailure(QStringLiteral("Příkaz nelze provést"), query.lastError());
    }
}

std::unique_ptr<Recordset> WorkingDatabase::openRecordset(const QString& sql)
{
    d->requireOpen();
    std::unique_ptr<Recordset> recordset(new Recordset());
    recordset->d->load(d->connection, sql);
    std::erase_if(d->recordsets, [](const QPointer<Recordset>& r) { return r.isNull(); });
    d->recordsets.emplace_back(recordset.get());
    return recordset;
}

void WorkingDatabase::close()
{
    // Closing the database closes its recordsets, which then hold no statement on the connection.
    for (const QPointer<Recordset>& recordset : d->recordsets)
        if (recordset) recordset->close();
    d->recordsets.clear();
    if (d->connection) {
        const QString name = d->connection->name;
        if (d->connection->batchDepth > 0) d->connection->db.rollback();
        d->connection->db.close();
        d->connection->db = QSqlDatabase();
        d->connection.reset();
        QSqlDatabase::removeDatabase(name);
    }
    d->path.clear();
    d->inUse.reset();
}

}  // namespace zorva::db
