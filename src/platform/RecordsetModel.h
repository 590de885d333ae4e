#pragma once
#include <QAbstractTableModel>
#include <QObject>
#include <QString>
#include <QStringList>

#include "platform/Recordset.h"

namespace zorva::db {

// A table model over a data control's recordset, for the grid and the bound boxes
// (QDataWidgetMapper). Editing a cell stores it through the recordset with its column rules; a
// refused value is reported by dataRefused() and leaves the cell as it was.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(QObject* parent = nullptr);

    void setRecordset(Recordset* rs);  // null: empty model
    Recordset* recordset() const;
    void setEditableColumns(const QStringList& names);  // all others are read-only
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
