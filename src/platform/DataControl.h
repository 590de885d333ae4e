#pragma once
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/Recordset.h"
#include "platform/RecordsetModel.h"

namespace zorva::db {

class WorkingDatabase;

// The editor's data control: a connection string and a record source, opened by refresh(). It owns
// its own connection to the working database and keeps it open as long as it lives. Its recordset's
// current row is the row that the grid and the bound boxes show: the model below follows it.
class DataControl : public QObject {
    Q_OBJECT
public:
    explicit DataControl(QObject* parent = nullptr);
    ~DataControl() override;

    // "Provider=...;Data Source=<path>;User ID=admin": the path is taken from Data Source.
    void setConnectionString(const QString& connection);
    QString connectionString() const;
    void setRecordSource(const QString& sql);
    QString recordSource() const;

    void refresh();  // (re)opens the recordset; raises a Failure
    bool isOpen() const;
    Recordset* recordset() const;   // null before a successful refresh
    RecordsetModel* model() const;  // always exists; empty before refresh
    QString databasePath() const;
    void close();

signals:
    void refreshed();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace zorva::db
