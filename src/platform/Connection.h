#pragma once
#include <QSqlDatabase>
#include <QString>

// One open connection to a working database, shared by the WorkingDatabase that opened it and the
// recordsets opened on it. Private to the platform layer.
namespace zorva::db::detail {

struct Connection {
    QString name;           // the QSqlDatabase connection name, unique per opening
    QSqlDatabase db;
    int batchDepth = 0;     // nesting of the batches of all recordsets on this connection
};

}  // namespace zorva::db::detail
