#include "platform/SqliteValue.h"

#include <sqlite3.h>
#include <QByteArray>
#include <QMetaType>
#include <QString>

namespace zorva::db::detail {

int bind(sqlite3_stmt* statement, int index, const QVariant& value)
{
    const int type = value.typeId();
    if (type == QMetaType::Double)
        return sqlite3_bind_double(statement, index, *static_cast<const double*>(value.constData()));
    if (type == QMetaType::UnknownType || (type != QMetaType::QString && value.isNull()))
        return sqlite3_bind_null(statement, index);
    switch (type) {
        case QMetaType::QString: {
            const QString& text = *static_cast<const QString*>(value.constData());
            if (text.isNull()) return sqlite3_bind_null(statement, index);
            // The value outlives the step: the statement may read it in place.
            return sqlite3_bind_text16(statement, index, text.utf16(), int(text.size() * sizeof(char16_t)),
                                       SQLITE_STATIC);
        }
        case QMetaType::Double:
        case QMetaType::Float:
            return sqlite3_bind_double(statement, index, value.toDouble());
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
            return sqlite3_bind_int64(statement, index, value.toLongLong());
        case QMetaType::QByteArray: {
            const QByteArray& bytes = *static_cast<const QByteArray*>(value.constData());
            return sqlite3_bind_blob(statement, index, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
        }
        default: {
            const QByteArray utf8 = value.toString().toUtf8();
            return sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
    }
}

QVariant columnValue(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_INTEGER:
            return QVariant(qlonglong(sqlite3_column_int64(statement, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(statement, column));
        case SQLITE_BLOB: {
            const void* data = sqlite3_column_blob(statement, column);
            return QVariant(QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(statement, column)));
        }
        case SQLITE_NULL:
            return QVariant();
        default: {
            const void* text = sqlite3_column_text16(statement, column);
            const int bytes = sqlite3_column_bytes16(statement, column);
            return QVariant(QString(static_cast<const QChar*>(text), bytes / int(sizeof(QChar))));
        }
    }
}

}  // namespace zorva::db::detail
