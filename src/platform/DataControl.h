#pragma once
#include <QAbstractTableModel>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/Recordset.h"

namespace zorva::db {

class WorkingDatabase;
class RecordsetModel;

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

    void refresh();                         // (re)opens the recordset; raises a Failure
    bool isOpen() const;
    Recordset* recordset() const;           // null before a successful refresh
    RecordsetModel* model() const;          // always exists; empty before refresh
    QString databasePath() const;
    void close();

signals:
    void refreshed();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// A table model over the data control's recordset, for the grid and the bound boxes
// (QDataWidgetMapper). Editing a cell stores it through the recordset with the column rules above;
// a refused value is reported by dataRefused() and leaves the cell as it was.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(QObject* parent = nullptr);

    void setRecordset(Recordset* rs);       // null: empty model
    Recordset* recordset() const;
    void setEditableColumns(const QStringList& names);   // all others are read-only
    int columnOf(const QString& name) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // A value the column refused: the column's name, the text, and the failure's number and description.
    void dataRefused(const QString& column, const QString& text, int number, const QString& description);

private:
    Recordset* rs_ = nullptr;
    QStringList editable_;
};

}  // namespace zorva::db
