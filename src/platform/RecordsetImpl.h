#pragma once
#include <QByteArray>
#include <QHash>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/Failure.h"
#include "platform/Connection.h"
#include "platform/LibraryHandles.h"
#include "platform/Recordset.h"

// The inside of a Recordset, shared by Recordset.cpp and WorkingDatabase.cpp, which opens it.
namespace zorva::db {

struct Recordset::Impl {
    explicit Impl(Recordset* owner) : q(owner) {}

    struct Row {
        qint64 rowid = 0;
        bool stored = false;           // false for a row added by addNew() and not stored yet
        std::vector<QVariant> values;  // QString, double or null, per column
    };

    Recordset* q;
    std::shared_ptr<detail::Connection> connection;
    bool open = false;
    QString table;
    std::vector<Column> columns;
    QHash<QString, int> columnByName;  // name as declared and upper-case (Jet ignores case in names)
    std::vector<Row> rows;
    int position = 0;  // -1 bof, rows.size() eof

    // The edit of the current row that update() (or a move) is to store.
    int editRow = -1;
    std::vector<char> dirty;
    // The values the edit replaced, by column, kept to give the edit up; only columns it touched.
    std::vector<std::pair<int, QVariant>> original;
    void setEdited(int row, int column, QVariant value);

    // Prepared statements, kept for the life of the recordset: one per kind and set of columns.
    // They run on the driver's SQLite handle directly: binding through the generic SQL layer cost
    // more than the statements themselves when a run stores thousands of rows.
    std::map<std::string, platform::SqliteStatement> statements;
    std::vector<int> changedColumns;  // scratch of store()
    std::string statementKey;         // scratch of store()
    int batches = 0;                  // beginBatch() calls of this recordset not yet ended

    void load(std::shared_ptr<detail::Connection> conn, const QString& sql);
    void close();

    void requireOpen() const;
    int findColumn(const QString& name) const;
    int requireColumn(const QString& name) const;
    void requireRow(int row) const;
    QVariant convert(int column, const QVariant& value) const;
    QVariant fromStored(int column, const QVariant& stored) const;

    void beginEdit(int row);
    void store(int row, const std::vector<char>& mask);
    void storePending();
    void discardPending();
    std::optional<Failure> leaveRow();
    void setPosition(int row);
    sqlite3_stmt* statement(const std::string& key, const std::function<QString()>& sql);
    void execute(sqlite3_stmt* statement, const char* what);
    int requireColumnIndex(int column) const;
    void commitBatch();
};

}  // namespace zorva::db
