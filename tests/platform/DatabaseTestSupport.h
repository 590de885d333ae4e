#pragma once
#include <gtest/gtest.h>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <functional>

#include "common/Failure.h"
#include "platform/WorkingDatabase.h"

namespace zorva::test {

inline const QString kCzechLocale = QStringLiteral(";LANGID=0x0405;CP=1250;COUNTRY=0");

// The editor's two table-creating statements, character for character.
inline const QString kCreateFirstGeneration = QStringLiteral(
    "CREATE TABLE TABULKA(DATPLATNOST TEXT(10), VDJA DOUBLE, VDJB DOUBLE, PICHA DOUBLE, PICHB DOUBLE, "
    "ZADATELREGLPIS TEXT(1), ZADATELREGIRZ TEXT(1),SUMAVYMERADPB DOUBLE, SKOTML_POCET TEXT(5), SKOTML_VDJ "
    "TEXT(10), SKOTML_KOEF DOUBLE, SKOTST_POCET TEXT(5), SKOTST_VDJ TEXT(10), SKOTST_KOEF DOUBLE, "
    "EKOSKOTML_POCET TEXT(5), EKOSKOTML_VDJ TEXT(10), EKOSKOTML_KOEF DOUBLE, EKOSKOTST_POCET TEXT(5), "
    "EKOSKOTST_VDJ TEXT(10), EKOSKOTST_KOEF DOUBLE, KOZA_POCET TEXT(5), KOZA_VDJ TEXT(10), KOZA_KOEF DOUBLE, "
    "EKOKOZA_POCET TEXT(5), EKOKOZA_VDJ TEXT(10), EKOKOZA_KOEF DOUBLE, OVCE_POCET TEXT(5), OVCE_VDJ TEXT(10), "
    "OVCE_KOEF DOUBLE, EKOOVCE_POCET TEXT(5), EKOOVCE_VDJ TEXT(10), EKOOVCE_KOEF DOUBLE, KUNML_POCET TEXT(5), "
    "KUNML_VDJ TEXT(10), KUNML_KOEF DOUBLE, KUNST_POCET TEXT(5), KUNST_VDJ TEXT(10), KUNST_KOEF DOUBLE)");

inline const QString kCreate2006 = QStringLiteral(
    "CREATE TABLE TABULKA(DATPLATNOST TEXT(10), VDJA DOUBLE, VDJB DOUBLE, PICHA DOUBLE, PICHB DOUBLE, "
    "ZADATELREGLPIS TEXT(1), ZADATELREGIRZ TEXT(1),SUMAVYMERADPB DOUBLE, SKOTDO6_POCET TEXT(5), SKOTDO6_VDJ "
    "TEXT(10), SKOTDO6_KOEF DOUBLE, SKOTOD6DO24_POCET TEXT(5), SKOTOD6DO24_VDJ TEXT(10), SKOTOD6DO24_KOEF DOUBLE, "
    "SKOTOD24_POCET TEXT(5), SKOTOD24_VDJ TEXT(10), SKOTOD24_KOEF DOUBLE, OVCEDO12_POCET TEXT(5), OVCEDO12_VDJ "
    "TEXT(10), OVCEDO12_KOEF DOUBLE, OVCEOD12_POCET TEXT(5), OVCEOD12_VDJ TEXT(10), OVCEOD12_KOEF DOUBLE, "
    "KOZYDO12_POCET TEXT(5), KOZYDO12_VDJ TEXT(10), KOZYDO12_KOEF DOUBLE, KOZYOD12_POCET TEXT(5), KOZYOD12_VDJ "
    "TEXT(10), KOZYOD12_KOEF DOUBLE, KUNDO3_POCET TEXT(5), KUNDO3_VDJ TEXT(10), KUNDO3_KOEF DOUBLE, KUNOD3_POCET "
    "TEXT(5), KUNOD3_VDJ TEXT(10), KUNOD3_KOEF DOUBLE, "
    " EKOSKOTDO6_POCET TEXT(5), EKOSKOTDO6_VDJ TEXT(10), EKOSKOTDO6_KOEF DOUBLE, EKOSKOTOD6DO24_POCET TEXT(5), "
    "EKOSKOTOD6DO24_VDJ TEXT(10), EKOSKOTOD6DO24_KOEF DOUBLE, EKOSKOTOD24_POCET TEXT(5), EKOSKOTOD24_VDJ TEXT(10), "
    "EKOSKOTOD24_KOEF DOUBLE, EKOOVCEDO12_POCET TEXT(5), EKOOVCEDO12_VDJ TEXT(10), EKOOVCEDO12_KOEF DOUBLE, "
    "EKOOVCEOD12_POCET TEXT(5), EKOOVCEOD12_VDJ TEXT(10), EKOOVCEOD12_KOEF DOUBLE, EKOKOZYDO12_POCET TEXT(5), "
    "EKOKOZYDO12_VDJ TEXT(10), EKOKOZYDO12_KOEF DOUBLE, EKOKOZYOD12_POCET TEXT(5), EKOKOZYOD12_VDJ TEXT(10), "
    "EKOKOZYOD12_KOEF DOUBLE )");

inline const QStringList kFirstGenerationCategories = {
    QStringLiteral("SKOTML"), QStringLiteral("SKOTST"),  QStringLiteral("EKOSKOTML"), QStringLiteral("EKOSKOTST"),
    QStringLiteral("KOZA"),   QStringLiteral("EKOKOZA"), QStringLiteral("OVCE"),      QStringLiteral("EKOOVCE"),
    QStringLiteral("KUNML"),  QStringLiteral("KUNST")};

inline const QStringList k2006Categories = {
    QStringLiteral("SKOTDO6"),     QStringLiteral("SKOTOD6DO24"),    QStringLiteral("SKOTOD24"),
    QStringLiteral("OVCEDO12"),    QStringLiteral("OVCEOD12"),       QStringLiteral("KOZYDO12"),
    QStringLiteral("KOZYOD12"),    QStringLiteral("KUNDO3"),         QStringLiteral("KUNOD3"),
    QStringLiteral("EKOSKOTDO6"),  QStringLiteral("EKOSKOTOD6DO24"), QStringLiteral("EKOSKOTOD24"),
    QStringLiteral("EKOOVCEDO12"), QStringLiteral("EKOOVCEOD12"),    QStringLiteral("EKOKOZYDO12"),
    QStringLiteral("EKOKOZYOD12")};

// Every column of TABULKA with its declared type, in table order.
inline std::vector<std::pair<QString, QString>> expectedColumns(const QStringList& categories)
{
    std::vector<std::pair<QString, QString>> out = {{QStringLiteral("DATPLATNOST"), QStringLiteral("TEXT(10)")},
                                                    {QStringLiteral("VDJA"), QStringLiteral("DOUBLE")},
                                                    {QStringLiteral("VDJB"), QStringLiteral("DOUBLE")},
                                                    {QStringLiteral("PICHA"), QStringLiteral("DOUBLE")},
                                                    {QStringLiteral("PICHB"), QStringLiteral("DOUBLE")},
                                                    {QStringLiteral("ZADATELREGLPIS"), QStringLiteral("TEXT(1)")},
                                                    {QStringLiteral("ZADATELREGIRZ"), QStringLiteral("TEXT(1)")},
                                                    {QStringLiteral("SUMAVYMERADPB"), QStringLiteral("DOUBLE")}};
    for (const QString& c : categories) {
        out.emplace_back(c + QStringLiteral("_POCET"), QStringLiteral("TEXT(5)"));
        out.emplace_back(c + QStringLiteral("_VDJ"), QStringLiteral("TEXT(10)"));
        out.emplace_back(c + QStringLiteral("_KOEF"), QStringLiteral("DOUBLE"));
    }
    return out;
}

// The columns of a table in the file with their types as declared, read over a connection of its own.
inline std::vector<std::pair<QString, QString>> declaredColumns(const QString& path, const QString& table)
{
    std::vector<std::pair<QString, QString>> declared;
    const QString name = QStringLiteral("declared-columns");
    {
        QSqlDatabase side = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        side.setDatabaseName(path);
        side.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        EXPECT_TRUE(side.open()) << path.toStdString();
        QSqlQuery info(side);
        EXPECT_TRUE(info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)));
        while (info.next()) declared.emplace_back(info.value(1).toString(), info.value(2).toString());
    }
    QSqlDatabase::removeDatabase(name);
    return declared;
}

// Runs the action and gives the number of the Failure it raised, or 0 when it raised none.
inline int failureNumber(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Failure& f) {
        return f.number();
    }
    return 0;
}

// A new working database with the first-generation table, opened.
inline void createWorkingTable(db::WorkingDatabase& database, const QString& path,
                               const QString& statement = kCreateFirstGeneration, const QString& locale = kCzechLocale)
{
    db::WorkingDatabase::create(path, locale);
    database.open(path);
    database.execute(statement);
}

inline QString connectionStringFor(const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path + QStringLiteral(";User ID=admin");
}

}  // namespace zorva::test
