#include "platform/DataControl.h"

#include <QFileInfo>

#include "common/Failure.h"
#include "platform/WorkingDatabase.h"

namespace zorva::db {

namespace {

// The value of "Data Source" in a connection string "key=value;key=value"; keys match regardless
// of case and blanks around them, a value may be quoted.
QString dataSourceOf(const QString& connection)
{
    const QStringList parts = connection.split(QLatin1Char(';'));
    for (const QString& part : parts) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0) continue;
        QString key = part.left(eq).simplified();
        if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) != 0) continue;
        QString value = part.mid(eq + 1).trimmed();
        if (value.size() >= 2 && ((value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) ||
                                  (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')))))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return QString();
}

}  // namespace

struct DataControl::Impl {
    QString connection;
    QString recordSource;
    QString path;
    std::unique_ptr<WorkingDatabase> database;
    std::unique_ptr<Recordset> recordset;
    RecordsetModel* model = nullptr;
};

DataControl::DataControl(QObject* parent) : QObject(parent), d(std::make_unique<Impl>())
{
    d->model = new RecordsetModel(this);
}

DataControl::~DataControl()
{
    close();
}

void DataControl::setConnectionString(const QString& connection)
{
    d->connection = connection;
    d->path = dataSourceOf(connection);
}

QString DataControl::connectionString() const
{
    return d->connection;
}

void DataControl::setRecordSource(const QString& sql)
{
    d->recordSource = sql;
}

QString DataControl::recordSource() const
{
    return d->recordSource;
}

void DataControl::refresh()
{
    close();
    if (d->path.isEmpty())
        throw Failure(err::DatabaseFailure, QStringLiteral("Připojovací řetězec neuvádí zdroj dat (Data Source)."));
    if (d->recordSource.trimmed().isEmpty())
        throw Failure(err::DatabaseFailure, QStringLiteral("Zdroj záznamů není zadán."));
    auto database = std::make_unique<WorkingDatabase>();
    database->open(d->path);  // a missing file is a failure, never a new empty database
    std::unique_ptr<Recordset> recordset = database->openRecordset(d->recordSource);
    d->database = std::move(database);
    d->recordset = std::move(recordset);
    d->model->setRecordset(d->recordset.get());
    emit refreshed();
}

bool DataControl::isOpen() const
{
    return d->recordset != nullptr;
}

Recordset* DataControl::recordset() const
{
    return d->recordset.get();
}

RecordsetModel* DataControl::model() const
{
    return d->model;
}

QString DataControl::databasePath() const
{
    return d->path;
}

void DataControl::close()
{
    if (d->model) d->model->setRecordset(nullptr);
    d->recordset.reset();
    d->database.reset();
}

}  // namespace zorva::db
