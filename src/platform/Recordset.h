#pragma once
#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace zorva::db {

enum class ColumnType {
    Text,
    Double,
    Other
};

struct Column {
    QString name;
    ColumnType type = ColumnType::Other;
    int maxLength = 0;  // TEXT(n): n; 0 = no limit
};

class WorkingDatabase;

// Reading the values of a recordset in loops over many rows: the two kinds it holds (a text or a
// double) without the generic QVariant machinery, anything else as QVariant reads it.
inline bool isNullValue(const QVariant& v)
{
    const int type = v.typeId();
    if (type == QMetaType::QString || type == QMetaType::Double) return false;
    return type == QMetaType::UnknownType || v.isNull();
}
inline double doubleValue(const QVariant& v)
{
    return v.typeId() == QMetaType::Double ? *static_cast<const double*>(v.constData()) : v.toDouble();
}
// Null for a value that is not a text.
inline const QString* textValue(const QVariant& v)
{
    return v.typeId() == QMetaType::QString ? static_cast<const QString*>(v.constData()) : nullptr;
}

// An updatable cursor over the rows of one table, in the query's order (the DAO recordset of the
// filling and the recordset of the data control are both this). Rows are held in memory and written
// to the file by update(); batch() groups many updates into one transaction.
//
// Column semantics, from the declared column types:
//  - a text longer than a TEXT(n) column, or a text that a DOUBLE column cannot read under the
//    process's regional number format (QLocale()), raises a Failure for that one column and leaves
//    the column as it was (Null on a new row);
//  - a number written to a TEXT column is stored as its text (general form, regional separator);
//  - every column may be Null (an invalid/null QVariant).
// Values read back are QString for TEXT, double for DOUBLE, a null QVariant for Null.
class Recordset : public QObject {
    Q_OBJECT
public:
    ~Recordset() override;

    const std::vector<Column>& columns() const;
    int columnIndex(const QString& name) const;  // -1 when the table has no such column
    int rowCount() const;

    bool eof() const;      // past the last row (also when there is none)
    bool bof() const;      // before the first row (also when there is none)
    int position() const;  // current row index, -1 at bof, rowCount() at eof
    void moveFirst();
    void moveLast();
    void moveNext();       // raises a Failure at eof
    void moveTo(int row);  // raises a Failure for an index outside the rows
    // The current row's identity in the table, which no reordering of the rows changes; 0 for a
    // new row not stored yet. Raises NoCurrentRecord.
    qint64 rowId() const;

    QVariant value(const QString& column) const;  // raises NoSuchColumn / NoCurrentRecord
    // The same by column index (columnIndex()), for loops over many rows; -1 raises NoSuchColumn.
    // The reference is valid until the row set or the value changes.
    const QVariant& value(int column) const;
    QVariant valueAt(int row, int column) const;
    void setValue(const QString& column, const QVariant& value);  // raises per column, see above
    void setValue(int column, const QVariant& value);
    void setValueAt(int row, int column, const QVariant& value);  // same rules, and stores the row

    void addNew();  // starts a new row (becomes current; stored by update())
    void update();  // stores the current row; raises a Failure

    // Groups the updates between begin and end into one transaction.
    void beginBatch();
    void endBatch();

    void close();

signals:
    void currentRowChanged(int row);
    void rowStored(int row);
    void rowsReset();
    // Around addNew() and around a change of the whole row set (close, a new row given up), so
    // that a model can announce the change before it happens.
    void rowAboutToBeAdded(int row);
    void rowAdded(int row);
    void rowsAboutToBeReset();

private:
    friend class WorkingDatabase;
    Recordset();
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace zorva::db
