#pragma once
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <memory>

#include "platform/Recordset.h"

namespace zorva::db {

// The editor's working database: one SQLite file (named "TMP*.MDB" by its caller) holding the
// table TABULKA. The statements of the Jet dialect that the editor uses (CREATE TABLE with TEXT(n)
// and DOUBLE) run unchanged. The locale string given at creation selects the collation of every
// text column: ";LANGID=0x0405;..." is Czech, so that ordering and comparison follow Czech rules on
// every connection that opens the file.
class WorkingDatabase {
public:
    WorkingDatabase();
    ~WorkingDatabase();
    WorkingDatabase(const WorkingDatabase&) = delete;
    WorkingDatabase& operator=(const WorkingDatabase&) = delete;

    // Creates an empty database file. Raises a Failure when the file exists (err::FileAlreadyExists)
    // or cannot be created.
    static void create(const QString& path, const QString& locale);
    // Creates an empty database file under the first name from `nextName` that no file has at the
    // moment of creation, and gives that name: programs running side by side in one folder may pick
    // the same name at the same moment, and only one of them gets it. Raises a Failure.
    static QString createUnique(const std::function<QString()>& nextName, const QString& locale);

    // Opens an existing file, not exclusive, not read-only. Raises a Failure.
    void open(const QString& path);
    bool isOpen() const;
    QString path() const;
    void execute(const QString& sql);  // raises a Failure
    // An updatable recordset on a query of the form "SELECT * FROM T [ORDER BY C]". Raises a Failure.
    std::unique_ptr<Recordset> openRecordset(const QString& sql);
    void close();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace zorva::db
