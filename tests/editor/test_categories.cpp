#include <gtest/gtest.h>

#include <QSet>

#include "editor/CategorySet.h"
#include "platform/DatabaseTestSupport.h"
#include "platform/XmlDocument.h"

using namespace zorva::editor;

TEST(CategorySets, EveryListNamesEachCategoryOnce)
{
    for (const CategorySet* set : {&CategorySet::first(), &CategorySet::gen2006()}) {
        QSet<QString> names;
        for (const auto& c : set->categories) names.insert(c.name);
        ASSERT_EQ(names.size(), int(set->categories.size()));
        const QStringList added = set->conventionalAddition + set->horseAddition + set->ecoAddition;
        EXPECT_EQ(QSet<QString>(added.begin(), added.end()), names) << set->id.toStdString();
        EXPECT_EQ(QSet<QString>(set->writeOrder.begin(), set->writeOrder.end()), names);
        for (const QString& n : set->horseAddition) EXPECT_EQ(set->find(n)->kind, CategoryKind::Horse);
        for (const QString& n : set->ecoAddition) EXPECT_TRUE(set->isEco(n));
        // Every category has its three columns in the defined statement, in column order.
        qsizetype at = 0;
        for (const auto& c : set->categories) {
            const qsizetype p = set->createTable.indexOf(c.countColumn() + QStringLiteral(" TEXT(5), ") +
                                                         c.unitsColumn() + QStringLiteral(" TEXT(10), ") +
                                                         c.coefficientColumn() + QStringLiteral(" DOUBLE"));
            ASSERT_GT(p, at) << c.name.toStdString();
            at = p;
        }
    }
    EXPECT_EQ(CategorySet::first().categories.size(), 10u);
    EXPECT_EQ(CategorySet::gen2006().categories.size(), 16u);
}

TEST(CategorySets, StatementsKeepTheirDefinedText)
{
    EXPECT_EQ(CategorySet::first().createTable, zorva::test::kCreateFirstGeneration);
    EXPECT_EQ(CategorySet::gen2006().createTable, zorva::test::kCreate2006);
    // The two places where the defined texts differ from a tidy statement stay as they are.
    EXPECT_TRUE(
        CategorySet::first().createTable.contains(QStringLiteral("ZADATELREGIRZ TEXT(1),SUMAVYMERADPB DOUBLE")));
    EXPECT_TRUE(CategorySet::gen2006().createTable.contains(QStringLiteral("KUNOD3_KOEF DOUBLE,  EKOSKOTDO6_POCET")));
    EXPECT_TRUE(CategorySet::gen2006().createTable.endsWith(QStringLiteral("EKOKOZYOD12_KOEF DOUBLE )")));
    EXPECT_TRUE(CategorySet::first().createTable.endsWith(QStringLiteral("KUNST_KOEF DOUBLE)")));
    EXPECT_EQ(CategorySet::first().createTable.count(QStringLiteral(" DOUBLE")), 4 + 1 + 10);
    EXPECT_FALSE(CategorySet::first().workingTableStatement().contains(QStringLiteral("_VDJ TEXT(10)")));
}

TEST(CategorySets, YearTextChoosesTheGeneration)
{
    struct Case {
        const char* year;
        const char* id;
    };
    for (const Case c : {Case{"2006", "2006"}, Case{"2007", "2006"}, Case{"2005", "first"}, Case{"2004", "first"},
                         Case{" 2006", "first"}, Case{"2006 ", "first"}, Case{"01.02.2006", "first"},
                         Case{"2006.0", "first"}, Case{"", "first"}})
        EXPECT_EQ(CategorySet::forYearText(QString::fromLatin1(c.year)).id, QString::fromLatin1(c.id)) << c.year;
    EXPECT_EQ(CategorySet::gen2006().windowName, QStringLiteral("frmEditace2006"));
}

// A response's own rows choose the set; only with categories of both, or of neither, does the year.
TEST(CategorySets, TheRowsOfAResponseChooseTheGeneration)
{
    const auto answer = [](const char* rowChildren, const char* header = "") {
        return QStringLiteral(
                   "<kLIM:Response xmlns:kLIM=\"k\" xmlns:VDJ=\"v\" xmlns:RUX=\"r\">%1"
                   "<VDJ:PICHROW DATPLATNOST=\"2006-01-01\">%2</VDJ:PICHROW></kLIM:Response>")
            .arg(QString::fromLatin1(header), QString::fromLatin1(rowChildren))
            .toUtf8();
    };
    struct Case {
        const char* what;
        QByteArray xml;
        const char* year;
        const char* id;
    };
    const Case cases[] = {
        {"first-generation rows", answer("<RUX:SKOTML>1</RUX:SKOTML>"), "2006", "first"},
        {"2006 rows", answer("<RUX:SKOTDO6>1</RUX:SKOTDO6>"), "2005", "2006"},
        {"both, no year", answer("<RUX:SKOTML>1</RUX:SKOTML><RUX:SKOTDO6>1</RUX:SKOTDO6>"), "", "2006"},
        {"both, year 2005", answer("<RUX:SKOTML>1</RUX:SKOTML><RUX:SKOTDO6>1</RUX:SKOTDO6>"), "2005", "first"},
        {"neither, year 2006", answer("<RUX:SUMAVYMERADPB>1</RUX:SUMAVYMERADPB>"), "2006", "2006"},
        {"a category outside the rows", answer("", "<RUX:SKOTDO6>1</RUX:SKOTDO6>"), "", "first"},
        {"another prefix", answer("<X:SKOTDO6 xmlns:X=\"r\">1</X:SKOTDO6>"), "", "first"},
    };
    for (const Case& c : cases) {
        zorva::xml::Document doc;
        ASSERT_TRUE(doc.loadXml(c.xml)) << c.what;
        EXPECT_EQ(CategorySet::forResponse(doc, QString::fromLatin1(c.year)).id, QString::fromLatin1(c.id)) << c.what;
    }
}
