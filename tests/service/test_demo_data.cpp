#include <gtest/gtest.h>

#include <QSet>
#include "editor/CategorySet.h"

#include "common/Failure.h"
#include "service/DemoApplicants.h"
#include "service/DemoData.h"
#include "service/DemoRules.h"
#include "service/ServiceRequest.h"

using namespace zorva;
using namespace zorva::service;

TEST(DemoScript, SplitsAtSemicolonsOutsideQuotesAndDropsComments)
{
    const QStringList s =
        splitSqlScript(QStringLiteral("-- a comment; with a semicolon\nCREATE TABLE t (a TEXT); -- trailing\n"
                                      "INSERT INTO t VALUES ('x;y'), ('it''s -- not a comment');\n\n;  \nSELECT 1"));
    ASSERT_EQ(s.size(), 3);
    EXPECT_EQ(s[0], "CREATE TABLE t (a TEXT)");
    EXPECT_EQ(s[1], "INSERT INTO t VALUES ('x;y'), ('it''s -- not a comment')");
    EXPECT_EQ(s[2], "SELECT 1");
}

TEST(DemoData, HerdCountsCarryOnUntilTheNextEntry)
{
    DemoData data;
    data.runScript(QStringLiteral(
        "CREATE TABLE herds (jisubrux TEXT, valid_from TEXT, category TEXT, count INTEGER);"
        "INSERT INTO herds VALUES ('1', '2006-01', 'SKOTOD24', 10), ('1', '2006-01', 'OVCEDO12', 5),"
        " ('1', '2006-04', 'OVCEDO12', 40), ('1', '2006-10', 'OVCEDO12', 0), ('2', '2006-01', 'SKOTOD24', 99);"));
    EXPECT_TRUE(data.herd(QStringLiteral("1"), QDate(2005, 12, 31)).isEmpty());
    const auto march = data.herd(QStringLiteral("1"), QDate(2006, 3, 31));
    EXPECT_EQ(march.value(QStringLiteral("SKOTOD24")), 10);
    EXPECT_EQ(march.value(QStringLiteral("OVCEDO12")), 5);
    EXPECT_EQ(data.herd(QStringLiteral("1"), QDate(2006, 4, 1)).value(QStringLiteral("OVCEDO12")), 40);
    const auto december = data.herd(QStringLiteral("1"), QDate(2007, 12, 1));
    EXPECT_EQ(december.value(QStringLiteral("OVCEDO12")), 0);
    EXPECT_EQ(december.value(QStringLiteral("SKOTOD24")), 10);
}

TEST(DemoData, AFailingStatementNamesItself)
{
    DemoData data;
    try {
        data.runScript(QStringLiteral("CREATE TABLE a (x TEXT); INSERT INTO nowhere VALUES (1);"));
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.description().contains(QStringLiteral("INSERT INTO nowhere")));
    }
    EXPECT_THROW(data.loadFile(QStringLiteral("/nonexistent/demo.sql")), Failure);
}

TEST(DemoData, TheDemoFileAndTheGeneratedApplicantsHaveHerdsForEveryYear)
{
    DemoData data;
    data.loadFile(QStringLiteral(ZORVA_DATA_DIR "/demo/demo.sql"));
    EXPECT_EQ(generatedApplicantsScript(40), generatedApplicantsScript(40));
    data.runScript(generatedApplicantsScript(40));
    QStringList ids = {"1000234567", "1000876543", "1000112233", "1000554433", "1000667788"};
    QSet<int> sizes;
    for (int n = 0; n < 40; ++n) {
        ids << QString::number(kFirstGeneratedApplicant + n);
        sizes << data.herd(ids.last(), QDate(2005, 1, 1)).size() * 1000 + int(data.acreage(ids.last(), 2005));
    }
    EXPECT_GT(sizes.size(), 30) << "the generated farms differ";
    EXPECT_FALSE(data.findApplicant(QStringLiteral("2000000041"), QString(), QString()));
    EXPECT_TRUE(data.knowsUser(QStringLiteral("DEMO")));
    EXPECT_TRUE(data.knowsUser(QStringLiteral(" demo ")));
    EXPECT_FALSE(data.knowsUser(QString()));
    for (const QString& id : ids) {
        const auto applicant = data.findApplicant(id, QString(), QString());
        ASSERT_TRUE(applicant) << qPrintable(id);
        EXPECT_FALSE(applicant->name.isEmpty());
        for (int year = 2004; year <= 2007; ++year) {
            EXPECT_GT(data.acreage(applicant->jisubrux, year), 0) << qPrintable(id) << ' ' << year;
            for (int month = 1; month <= 12; ++month) {
                const auto herd = data.herd(applicant->jisubrux, QDate(year, month, 1));
                int animals = 0;
                for (auto it = herd.cbegin(); it != herd.cend(); ++it) {
                    EXPECT_FALSE(firstGenerationCategory(it.key()).isEmpty()) << qPrintable(it.key());
                    EXPECT_LE(it.value(), 99999) << "a count must fit the five characters of the table";
                    animals += it.value();
                }
                EXPECT_GT(animals, 0) << qPrintable(id) << ' ' << year << '-' << month;
            }
        }
    }
}

TEST(DemoRules, EveryCategoryOfBothGenerationsHasItsCoefficient)
{
    struct {
        const char* name;
        double koef;
    } expected[] = {{"SKOTDO6", 0.3},   {"SKOTOD6DO24", 0.6}, {"SKOTOD24", 1.0},     {"OVCEDO12", 0.05},
                    {"OVCEOD12", 0.15}, {"KOZYDO12", 0.05},   {"KOZYOD12", 0.15},    {"KUNDO3", 0.6},
                    {"KUNOD3", 1.0},    {"EKOSKOTOD24", 1.0}, {"EKOOVCEOD12", 0.15}, {"SKOTML", 0.6},
                    {"SKOTST", 1.0},    {"KOZA", 0.15},       {"OVCE", 0.15},        {"KUNML", 0.6},
                    {"KUNST", 1.0},     {"EKOSKOTML", 0.6},   {"EKOKOZA", 0.15}};
    for (const auto& e : expected) EXPECT_DOUBLE_EQ(coefficient(QString::fromLatin1(e.name)), e.koef) << e.name;
    for (const auto* set : {&editor::CategorySet::first(), &editor::CategorySet::gen2006()})
        for (const auto& c : set->categories) EXPECT_GT(coefficient(c.name), 0) << qPrintable(c.name);
}

TEST(DemoRules, CountsOfTheFirstGenerationAddUpTheAgeGroups)
{
    const QMap<QString, int> herd = {{QStringLiteral("SKOTDO6"), 3},     {QStringLiteral("SKOTOD6DO24"), 4},
                                     {QStringLiteral("SKOTOD24"), 5},    {QStringLiteral("EKOKOZYDO12"), 6},
                                     {QStringLiteral("EKOKOZYOD12"), 7}, {QStringLiteral("KUNDO3"), 1}};
    const auto first = countsFor(editor::CategorySet::first(), herd);
    EXPECT_EQ(first.size(), 10);
    EXPECT_EQ(first.value(QStringLiteral("SKOTML")), 7);
    EXPECT_EQ(first.value(QStringLiteral("SKOTST")), 5);
    EXPECT_EQ(first.value(QStringLiteral("EKOKOZA")), 13);
    EXPECT_EQ(first.value(QStringLiteral("KUNML")), 1);
    EXPECT_EQ(first.value(QStringLiteral("OVCE")), 0);
    const auto gen2006 = countsFor(editor::CategorySet::gen2006(), herd);
    EXPECT_EQ(gen2006.size(), 16);
    EXPECT_EQ(gen2006.value(QStringLiteral("SKOTOD6DO24")), 4);
}

TEST(ServiceRequestCheck, YearTextMayCarryDecimalsAsTheProgramAcceptsThem)
{
    RequestFields f;
    f.type = QStringLiteral("5");
    f.variant = QStringLiteral("a");
    for (const char* text : {"2006", "2006,0", "2006.5"}) {
        f.validity = QString::fromLatin1(text);
        const auto checked = checkParameters(f);
        ASSERT_TRUE(std::holds_alternative<Parameters>(checked)) << text;
        EXPECT_EQ(std::get<Parameters>(checked).year, 2006);
        EXPECT_EQ(std::get<Parameters>(checked).variant, "A");
    }
}
