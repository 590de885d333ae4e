#include "platform/Recordset.h"

#include <sqlite3.h>
#include <QLocale>
#include <QMetaType>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "common/NumberText.h"
#include "platform/JetSql.h"
#include "platform/RecordsetImpl.h"
#include "platform/SqliteValue.h"

namespace zorva::db {

namespace {

Failure databaseFailure(const QString& what, const QSqlError& error)
{
    const QString detail = error.text().trimmed();
    return Failure(err::DatabaseFailure, detail.isEmpty() ? what : what + QStringLiteral(": ") + detail);
}

Failure sqliteFailure(const QString& what, sqlite3* handle)
{
    const QString detail = handle ? QString::fromUtf8(sqlite3_errmsg(handle)).trimmed() : QString();
    return Failure(err::DatabaseFailure, detail.isEmpty() ? what : what + QStringLiteral(": ") + detail);
}

Failure noCurrentRecord()
{
    return Failure(err::NoCurrentRecord, QStringLiteral("Neexistuje aktuální záznam."));
}

bool isNumber(const QVariant& value)
{
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
            return true;
        default:
            return false;
    }
}

bool isText(const QVariant& value)
{
    switch (value.typeId()) {
        case QMetaType::QString:
        case QMetaType::QByteArray:
        case QMetaType::QChar:
            return true;
        default:
            return false;
    }
}

QString nonNull(QString text)
{
    // A null QString would be bound as SQL NULL; a text column given a text stores a text.
    return text.isNull() ? QStringLiteral("") : text;
}

}  // namespace

// ---- Impl -----------------------------------------------------------------------------------------

void Recordset::Impl::load(std::shared_ptr<detail::Connection> conn, const QString& sql)
{
    const std::optional<detail::SelectAll> form = detail::parseSelectAll(sql);
    if (!form)
        throw Failure(err::DatabaseFailure,
                      QStringLiteral("Dotaz „%1“ nelze otevřít jako aktualizovatelnou sadu záznamů.").arg(sql));
    table = form->table;

    QSqlQuery info(conn->db);
    if (!info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(detail::quoted(table))))
        throw databaseFailure(QStringLiteral("Popis tabulky %1 nelze načíst").arg(table), info.lastError());
    while (info.next()) {
        Column column = detail::columnFromDeclaration(info.value(1).toString(), info.value(2).toString());
        columnByName.insert(column.name, static_cast<int>(columns.size()));
        columnByName.insert(column.name.toUpper(), static_cast<int>(columns.size()));
        columns.push_back(std::move(column));
    }
    info.finish();
    if (columns.empty()) throw Failure(err::DatabaseFailure, QStringLiteral("Tabulka %1 neexistuje.").arg(table));

    QString select = QStringLiteral("SELECT rowid, * FROM ") + detail::quoted(table);
    // Rows that the order does not tell apart (two rows of one date) keep the order in which they
    // were added, which the engine would otherwise leave open.
    if (!form->orderBy.isEmpty()) select += QStringLiteral(" ORDER BY ") + form->orderBy + QStringLiteral(", rowid");
    const platform::SqliteStatement query = platform::prepare(conn->handle, select.toUtf8().constData());
    if (!query) throw sqliteFailure(QStringLiteral("Dotaz „%1“ nelze provést").arg(sql), conn->handle);
    sqlite3_stmt* raw = query.get();
    const int n = static_cast<int>(columns.size());
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        Row row;
        row.rowid = sqlite3_column_int64(raw, 0);
        row.stored = true;
        row.values.resize(columns.size());
        for (int c = 0; c < n; ++c) {
            const int type = sqlite3_column_type(raw, c + 1);
            if (type == SQLITE_NULL) continue;
            // The usual cells straight into their kind: a text of a text column, a real of a number
            // column; anything else takes the general conversion.
            if (type == SQLITE_TEXT && columns[c].type == ColumnType::Text) {
                const void* text = sqlite3_column_text16(raw, c + 1);
                const int bytes = sqlite3_column_bytes16(raw, c + 1);
                row.values[c] = nonNull(QString(static_cast<const QChar*>(text), bytes / int(sizeof(QChar))));
            } else if (type == SQLITE_FLOAT && columns[c].type == ColumnType::Double) {
                row.values[c] = sqlite3_column_double(raw, c + 1);
            } else {
                row.values[c] = fromStored(c, detail::columnValue(raw, c + 1));
            }
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        rows.clear();
        throw sqliteFailure(QStringLiteral("Dotaz „%1“ nelze provést").arg(sql), conn->handle);
    }

    connection = std::move(conn);
    open = true;
    position = 0;  // the first row, or eof (and bof) when there is none
}

void Recordset::Impl::close()
{
    if (!open) return;
    // Edits never stored are given up, as when a recordset is closed without its update.
    editRow = -1;
    dirty.clear();
    original.clear();
    while (batches > 0) {
        try {
            q->endBatch();
        } catch (const Failure&) {
            // close() reports nothing; what could not be committed is lost with the transaction.
        }
    }
    statements.clear();
    emit q->rowsAboutToBeReset();
    rows.clear();
    columns.clear();
    columnByName.clear();
    position = 0;
    open = false;
    connection.reset();
    emit q->rowsReset();
}

void Recordset::Impl::requireOpen() const
{
    if (!open || !connection) throw Failure(err::DatabaseFailure, QStringLiteral("Sada záznamů je zavřená."));
}

int Recordset::Impl::findColumn(const QString& name) const
{
    // Names as declared are found without building an upper-case copy.
    auto it = columnByName.constFind(name);
    if (it != columnByName.cend()) return it.value();
    return columnByName.value(name.toUpper(), -1);
}

int Recordset::Impl::requireColumnIndex(int column) const
{
    if (column < 0 || column >= static_cast<int>(columns.size()))
        throw Failure(err::NoSuchColumn, QStringLiteral("Položka %1 nebyla v této kolekci nalezena.").arg(column));
    return column;
}

int Recordset::Impl::requireColumn(const QString& name) const
{
    const int c = findColumn(name);
    if (c < 0) throw Failure(err::NoSuchColumn, QStringLiteral("Položka %1 nebyla v této kolekci nalezena.").arg(name));
    return c;
}

void Recordset::Impl::requireRow(int row) const
{
    if (row < 0 || row >= static_cast<int>(rows.size())) throw noCurrentRecord();
}

QVariant Recordset::Impl::convert(int column, const QVariant& value) const
{
    const Column& c = columns[column];
    // The usual cases first, without the generic conversions: a text into a text column, a
    // finite number into a number column.
    const int type = value.typeId();
    if (type == QMetaType::QString && c.type == ColumnType::Text) {
        const QString& text = *static_cast<const QString*>(value.constData());
        if (!text.isNull() && (c.maxLength <= 0 || text.size() <= c.maxLength)) return value;
    } else if (type == QMetaType::Double && c.type == ColumnType::Double) {
        if (std::isfinite(*static_cast<const double*>(value.constData()))) return value;
    }
    if (!value.isValid() || value.isNull()) return QVariant();
    switch (c.type) {
        case ColumnType::Text: {
            QString text;
            if (isNumber(value)) text = generalTextLocal(value.toDouble());
            else if (value.typeId() == QMetaType::Bool)
                text = value.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
            else text = value.toString();
            if (c.maxLength > 0 && text.size() > c.maxLength)
                throw Failure(err::FieldTooLong,
                              QStringLiteral("Pole %1 je příliš malé pro vkládaná data (nejvýše %2 znaků, zadáno %3).")
                                  .arg(c.name)
                                  .arg(c.maxLength)
                                  .arg(text.size()));
            return nonNull(text);
        }
        case ColumnType::Double: {
            if (isNumber(value)) {
                const double x = value.toDouble();
                if (std::isfinite(x)) return x;
            } else if (value.typeId() == QMetaType::Bool) {
                return value.toBool() ? -1.0 : 0.0;
            } else if (isText(value)) {
                // The regional format, or either decimal sign: the service writes its figures with a
                // point, whatever the user's settings, and a user may type either.
                if (const std::optional<double> x = numberEitherSign(value.toString())) return *x;
            }
            throw Failure(err::DataTypeConversion,
                          QStringLiteral("Chyba převodu datového typu: hodnotu „%1“ nelze uložit do číselného pole %2.")
                              .arg(value.toString(), c.name));
        }
        case ColumnType::Other:
            break;
    }
    return value;
}

QVariant Recordset::Impl::fromStored(int column, const QVariant& stored) const
{
    switch (columns[column].type) {
        case ColumnType::Text:
            return nonNull(stored.toString());
        case ColumnType::Double:
            return stored.toDouble();
        case ColumnType::Other:
            break;
    }
    return stored;
}

void Recordset::Impl::setEdited(int row, int column, QVariant value)
{
    if (editRow != row) beginEdit(row);
    QVariant& cell = rows[row].values[std::size_t(column)];
    if (!dirty[column]) {
        original.emplace_back(column, std::move(cell));
        dirty[column] = 1;
    }
    cell = std::move(value);
}

void Recordset::Impl::beginEdit(int row)
{
    editRow = row;
    dirty.assign(columns.size(), 0);
    original.clear();
}

sqlite3_stmt* Recordset::Impl::statement(const std::string& key, const std::function<QString()>& sql)
{
    auto it = statements.find(key);
    if (it != statements.end()) return it->second.get();
    platform::SqliteStatement prepared =
        platform::prepare(connection->handle, sql().toUtf8().constData(), SQLITE_PREPARE_PERSISTENT);
    if (!prepared) throw sqliteFailure(QStringLiteral("Příkaz nelze připravit"), connection->handle);
    return statements.emplace(key, std::move(prepared)).first->second.get();
}

void Recordset::Impl::execute(sqlite3_stmt* statement, const char* what)
{
    // Texts are bound in place; no binding may outlive the values it points into.
    if (sqlite3_step(statement) == SQLITE_DONE) {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        return;
    }
    const Failure failure = sqliteFailure(QString::fromUtf8(what), connection->handle);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    throw failure;
}

void Recordset::Impl::store(int row, const std::vector<char>& mask)
{
    Row& r = rows[row];
    // Kept between calls: a run stores thousands of rows.
    std::vector<int>& changed = changedColumns;
    changed.clear();
    for (int c = 0; c < static_cast<int>(mask.size()); ++c)
        if (mask[c]) changed.push_back(c);
    // Only the columns set since the last store are written, so that two connections editing
    // different columns of one row do not undo each other.
    std::string& key = statementKey;
    key.assign(1, r.stored ? 'U' : 'I');
    key.append(mask.begin(), mask.end());

    if (!r.stored) {
        sqlite3_stmt* insert = statement(key, [&] {
            if (changed.empty()) return QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(detail::quoted(table));
            QStringList names, marks;
            for (int c : changed) {
                names << detail::quoted(columns[c].name);
                marks << QStringLiteral("?");
            }
            return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(detail::quoted(table), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        });
        for (int i = 0; i < static_cast<int>(changed.size()); ++i) detail::bind(insert, i + 1, r.values[changed[i]]);
        execute(insert, "Záznam nelze uložit");
        r.rowid = sqlite3_last_insert_rowid(connection->handle);
        r.stored = true;
    } else {
        if (changed.empty()) return;
        sqlite3_stmt* update = statement(key, [&] {
            QStringList sets;
            for (int c : changed) sets << detail::quoted(columns[c].name) + QStringLiteral("=?");
            return QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?")
                .arg(detail::quoted(table), sets.join(QLatin1Char(',')));
        });
        int i = 1;
        for (int c : changed) detail::bind(update, i++, r.values[c]);
        sqlite3_bind_int64(update, i, r.rowid);
        execute(update, "Záznam nelze uložit");
    }
    emit q->rowStored(row);
}

void Recordset::Impl::storePending()
{
    store(editRow, dirty);
    editRow = -1;
    dirty.clear();
    original.clear();
}

void Recordset::Impl::discardPending()
{
    const int row = editRow;
    editRow = -1;
    dirty.clear();
    if (!rows[row].stored) {
        emit q->rowsAboutToBeReset();
        rows.erase(rows.begin() + row);
        if (position > static_cast<int>(rows.size())) position = static_cast<int>(rows.size());
        emit q->rowsReset();
    } else {
        for (auto& [column, value] : original) rows[row].values[std::size_t(column)] = std::move(value);
        emit q->rowStored(row);  // the row shows its stored values again
    }
    original.clear();
}

// Leaving a row stores its pending edit, as a bound recordset does when it moves. When that fails
// the edit is given up, so that the move still happens (a loop over the rows must never stick on one
// row); the caller reports the failure after moving.
std::optional<Failure> Recordset::Impl::leaveRow()
{
    if (editRow < 0) return std::nullopt;
    try {
        storePending();
        return std::nullopt;
    } catch (const Failure& f) {
        discardPending();
        return f;
    }
}

void Recordset::Impl::setPosition(int row)
{
    if (row == position) return;
    position = row;
    emit q->currentRowChanged(row);
}

void Recordset::Impl::commitBatch()
{
    if (!connection->db.commit()) {
        const QSqlError error = connection->db.lastError();
        connection->db.rollback();
        throw databaseFailure(QStringLiteral("Změny nelze potvrdit"), error);
    }
}

// ---- Recordset ------------------------------------------------------------------------------------

Recordset::Recordset() : d(std::make_unique<Impl>(this))
{
}

Recordset::~Recordset()
{
    d->close();
}

const std::vector<Column>& Recordset::columns() const
{
    return d->columns;
}

int Recordset::columnIndex(const QString& name) const
{
    return d->findColumn(name);
}

int Recordset::rowCount() const
{
    return static_cast<int>(d->rows.size());
}

bool Recordset::eof() const
{
    return d->position >= rowCount();
}

bool Recordset::bof() const
{
    return d->position < 0 || d->rows.empty();
}

int Recordset::position() const
{
    return d->position;
}

void Recordset::moveFirst()
{
    d->requireOpen();
    const std::optional<Failure> failed = d->leaveRow();
    d->setPosition(0);  // eof too when there is no row
    if (failed) throw *failed;
}

void Recordset::moveLast()
{
    d->requireOpen();
    const std::optional<Failure> failed = d->leaveRow();
    d->setPosition(d->rows.empty() ? 0 : rowCount() - 1);
    if (failed) throw *failed;
}

void Recordset::moveNext()
{
    d->requireOpen();
    if (eof()) throw noCurrentRecord();
    const int next = d->position + 1;
    const std::optional<Failure> failed = d->leaveRow();
    d->setPosition(std::min(next, rowCount()));
    if (failed) throw *failed;
}

void Recordset::moveTo(int row)
{
    d->requireOpen();
    d->requireRow(row);
    if (row == d->position) return;
    const std::optional<Failure> failed = d->leaveRow();
    d->setPosition(std::min(row, rowCount()));
    if (failed) throw *failed;
}

QVariant Recordset::value(const QString& column) const
{
    d->requireOpen();
    return value(d->requireColumn(column));
}

const QVariant& Recordset::value(int column) const
{
    d->requireOpen();
    d->requireColumnIndex(column);
    d->requireRow(d->position);
    return d->rows[d->position].values[column];
}

qint64 Recordset::rowId() const
{
    d->requireOpen();
    d->requireRow(d->position);
    return d->rows[std::size_t(d->position)].rowid;
}

QVariant Recordset::valueAt(int row, int column) const
{
    d->requireOpen();
    d->requireColumnIndex(column);
    d->requireRow(row);
    return d->rows[row].values[column];
}

void Recordset::setValue(const QString& column, const QVariant& value)
{
    d->requireOpen();
    setValue(d->requireColumn(column), value);
}

void Recordset::setValue(int column, const QVariant& value)
{
    d->requireOpen();
    d->requireColumnIndex(column);
    d->requireRow(d->position);
    d->setEdited(d->position, column, d->convert(column, value));
}

void Recordset::setValueAt(int row, int column, const QVariant& value)
{
    d->requireOpen();
    d->requireColumnIndex(column);
    d->requireRow(row);
    QVariant converted = d->convert(column, value);
    QVariant& cell = d->rows[row].values[column];
    const QVariant old = cell;
    if (row == d->editRow) {
        const char wasDirty = d->dirty[column];
        cell = std::move(converted);
        d->dirty[column] = 1;
        try {
            d->storePending();
        } catch (const Failure&) {
            d->rows[row].values[column] = old;
            d->dirty[column] = wasDirty;
            throw;
        }
        return;
    }
    cell = std::move(converted);
    std::vector<char> mask(d->columns.size(), 0);
    mask[column] = 1;
    try {
        d->store(row, mask);
    } catch (const Failure&) {
        d->rows[row].values[column] = old;
        throw;
    }
}

void Recordset::addNew()
{
    d->requireOpen();
    const std::optional<Failure> failed = d->leaveRow();
    const int row = rowCount();
    emit rowAboutToBeAdded(row);
    Impl::Row added;
    added.values.resize(d->columns.size());
    d->rows.push_back(std::move(added));
    emit rowAdded(row);
    d->beginEdit(row);
    d->setPosition(row);
    if (failed) throw *failed;
}

void Recordset::update()
{
    d->requireOpen();
    d->requireRow(d->position);
    if (d->editRow == d->position) d->storePending();
}

void Recordset::beginBatch()
{
    d->requireOpen();
    if (d->connection->batchDepth == 0 && !d->connection->db.transaction())
        throw databaseFailure(QStringLiteral("Transakci nelze zahájit"), d->connection->db.lastError());
    ++d->connection->batchDepth;
    ++d->batches;
}

void Recordset::endBatch()
{
    d->requireOpen();
    if (d->batches == 0) return;
    --d->batches;
    if (--d->connection->batchDepth == 0) d->commitBatch();
}

void Recordset::close()
{
    d->close();
}

}  // namespace zorva::db
