#pragma once
#include <QSqlDatabase>
#include <QString>

struct sqlite3;

// One open connection to a working database, shared by the WorkingDatabase that opened it and the
// recordsets opened on it. Private to the platform layer.
namespace zorva::db::detail {

struct Connection {
    QString name;  // the QSqlDatabase connection name, unique per opening
    QSqlDatabase db;
    sqlite3* handle = nullptr;  // the driver's own SQLite handle, for the statements of the recordsets
    int batchDepth = 0;         // nesting of the batches of all recordsets on this connection
};

// The SQLite handle under a connection of the Qt driver (the driver and this program use the same
// SQLite library); null when the driver is not SQLite.
sqlite3* sqliteHandle(const QSqlDatabase& db);

}  // namespace zorva::db::detail
