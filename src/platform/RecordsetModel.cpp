#include "platform/RecordsetModel.h"

#include "common/Failure.h"
#include "common/NumberText.h"

namespace zorva::db {

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent)
{
}

void RecordsetModel::setRecordset(Recordset* rs)
{
    if (rs == rs_) return;
    beginResetModel();
    if (rs_) disconnect(rs_, nullptr, this, nullptr);
    rs_ = rs;
    if (rs_) {
        connect(rs_, &Recordset::rowStored, this, [this](int row) {
            if (row >= 0 && row < rowCount() && columnCount() > 0)
                emit dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::DisplayRole, Qt::EditRole});
        });
        connect(rs_, &Recordset::rowAboutToBeAdded, this, [this](int row) { beginInsertRows({}, row, row); });
        connect(rs_, &Recordset::rowAdded, this, [this] { endInsertRows(); });
        connect(rs_, &Recordset::rowsAboutToBeReset, this, [this] { beginResetModel(); });
        connect(rs_, &Recordset::rowsReset, this, [this] { endResetModel(); });
        // A recordset empties itself (close, with the reset signals) before it goes, so the model has
        // nothing left to announce and must not touch the half-destroyed object.
        connect(rs_, &QObject::destroyed, this, [this] { rs_ = nullptr; });
    }
    endResetModel();
}

Recordset* RecordsetModel::recordset() const
{
    return rs_;
}

void RecordsetModel::setEditableColumns(const QStringList& names)
{
    editable_ = names;
    if (rowCount() > 0 && columnCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int RecordsetModel::columnOf(const QString& name) const
{
    return rs_ ? rs_->columnIndex(name) : -1;
}

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !rs_ ? 0 : rs_->rowCount();
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !rs_ ? 0 : static_cast<int>(rs_->columns().size());
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!rs_ || !index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    if (index.row() >= rowCount() || index.column() >= columnCount()) return {};
    QVariant value;
    try {
        value = rs_->valueAt(index.row(), index.column());
    } catch (const Failure&) {
        return {};
    }
    if (!value.isValid() || value.isNull()) return QString();
    if (rs_->columns()[index.column()].type == ColumnType::Double) return generalTextLocal(value.toDouble());
    return value.toString();
}

bool RecordsetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!rs_ || !index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    const Column& column = rs_->columns()[index.column()];
    QVariant stored = value;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        // A box written back unchanged (a mapper submits every box) changes nothing: re-reading the
        // shown text of a number could otherwise round it.
        if (text == data(index, Qt::EditRole).toString()) return true;
        // A cleared number box empties its column.
        if (column.type == ColumnType::Double && text.trimmed().isEmpty()) stored = QVariant();
    }
    try {
        rs_->setValueAt(index.row(), index.column(), stored);
    } catch (const Failure& f) {
        emit dataRefused(column.name, value.toString(), f.number(), f.description());
        return false;
    }
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const
{
    if (!rs_ || !index.isValid() || index.column() >= columnCount()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (editable_.contains(rs_->columns()[index.column()].name, Qt::CaseInsensitive)) f |= Qt::ItemIsEditable;
    return f;
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (!rs_ || section < 0 || section >= columnCount()) return {};
    return rs_->columns()[section].name;
}

}  // namespace zorva::db
