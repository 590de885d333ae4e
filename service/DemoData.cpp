#include "DemoData.h"

#include <QAtomicInteger>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "common/Failure.h"

namespace zorva::service {

namespace {

QAtomicInteger<int> connectionCounter;

QString digitsOnly(const QString& text)
{
    QString out;
    for (QChar c : text)
        if (c.isDigit()) out += c;
    return out;
}

}  // namespace

QStringList splitSqlScript(const QString& script)
{
    QStringList statements;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script.at(i);
        if (quoted) {
            current += c;
            if (c == QLatin1Char('\'')) quoted = false;  // a doubled quote reopens at once
            continue;
        }
        if (c == QLatin1Char('\'')) {
            quoted = true;
            current += c;
        } else if (c == QLatin1Char('-') && i + 1 < script.size() && script.at(i + 1) == QLatin1Char('-')) {
            while (i < script.size() && script.at(i) != QLatin1Char('\n')) ++i;
            current += QLatin1Char('\n');
        } else if (c == QLatin1Char(';')) {
            if (!current.trimmed().isEmpty()) statements << current.trimmed();
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.trimmed().isEmpty()) statements << current.trimmed();
    return statements;
}

DemoData::DemoData() : connection_(QStringLiteral("zorva-demo-service-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(QStringLiteral(":memory:"));
    if (!db.open())
        throw Failure(err::DatabaseFailure, QStringLiteral("Demo databázi nelze otevřít: ") + db.lastError().text());
}

DemoData::~DemoData()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isValid()) db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

void DemoData::loadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(err::FileNotFound, QStringLiteral("Soubor s demo daty nelze číst: ") + path);
    try {
        runScript(QString::fromUtf8(file.readAll()));
    } catch (const Failure& f) {
        throw Failure(f.number(), path + QStringLiteral(": ") + f.description());
    }
}

void DemoData::runScript(const QString& script)
{
    QSqlDatabase db = QSqlDatabase::database(connection_);
    for (const QString& statement : splitSqlScript(script)) {
        QSqlQuery q(db);
        if (!q.exec(statement))
            throw Failure(err::DatabaseFailure,
                          q.lastError().text() + QStringLiteral(" v příkazu: ") + statement.left(120));
    }
}

bool DemoData::knowsUser(const QString& userId) const
{
    const QString id = userId.trimmed();
    if (id.isEmpty()) return false;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(QStringLiteral("SELECT 1 FROM users WHERE upper(userid) = upper(?)"));
    q.addBindValue(id);
    return q.exec() && q.next();
}

std::optional<Applicant> DemoData::findApplicant(const QString& jisubrux, const QString& ico, const QString& rc) const
{
    const QString columns = QStringLiteral(
        "SELECT jisubrux, ico, rci, name, irz_rci, irz_jme, irz_pri, irz_ojm, reg_lpis, reg_irz FROM applicants ");
    // Company numbers and birth numbers are compared by their digits: "600315/1231" is "6003151231".
    const std::pair<QString, QString> lookups[] = {
        {QStringLiteral("WHERE jisubrux = ?"), jisubrux.trimmed()},
        {QStringLiteral("WHERE ico <> '' AND ico = ?"), digitsOnly(ico)},
        {QStringLiteral("WHERE rci <> '' AND rci = ?"), digitsOnly(rc)},
    };
    for (const auto& [where, key] : lookups) {
        if (key.isEmpty()) continue;
        QSqlQuery q(QSqlDatabase::database(connection_));
        q.prepare(columns + where);
        q.addBindValue(key);
        if (q.exec() && q.next()) {
            Applicant a;
            a.jisubrux = q.value(0).toString();
            a.ico = q.value(1).toString();
            a.rci = q.value(2).toString();
            a.name = q.value(3).toString();
            a.irzRci = q.value(4).toString();
            a.irzJme = q.value(5).toString();
            a.irzPri = q.value(6).toString();
            a.irzOjm = q.value(7).toString();
            a.regLpis = q.value(8).toString();
            a.regIrz = q.value(9).toString();
            return a;
        }
    }
    return std::nullopt;
}

double DemoData::acreage(const QString& jisubrux, int year) const
{
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(QStringLiteral("SELECT hectares FROM lpis_acreage WHERE jisubrux = ? AND year = ?"));
    q.addBindValue(jisubrux);
    q.addBindValue(year);
    return q.exec() && q.next() ? q.value(0).toDouble() : 0.0;
}

QMap<QString, int> DemoData::herd(const QString& jisubrux, const QDate& date) const
{
    // The latest entry of each category that is valid in the month of the date.
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(
        QStringLiteral("SELECT h.category, h.count FROM herds h WHERE h.jisubrux = ? AND h.valid_from = "
                       "(SELECT max(valid_from) FROM herds g WHERE g.jisubrux = h.jisubrux AND g.category = h.category "
                       "AND g.valid_from <= ?)"));
    q.addBindValue(jisubrux);
    q.addBindValue(date.toString(QStringLiteral("yyyy-MM")));
    QMap<QString, int> counts;
    if (q.exec())
        while (q.next()) counts[q.value(0).toString()] += q.value(1).toInt();
    return counts;
}

}  // namespace zorva::service
