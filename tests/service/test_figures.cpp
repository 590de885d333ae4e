#include <gtest/gtest.h>
#include <cmath>

#include "ServiceFixture.h"
#include "editor/CategorySet.h"
#include "editor/EditorSession.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;

namespace {

double number(const std::optional<QString>& text)
{
    bool ok = false;
    const double v = text.value_or(QString()).toDouble(&ok);
    EXPECT_TRUE(ok) << qPrintable(text.value_or(QStringLiteral("<none>")));
    return v;
}

QString units(const xml::Node& row, const QString& category)
{
    return row.selectSingle(QStringLiteral("RUX:") + category).attribute(QStringLiteral("VDJ")).value_or(QString());
}

}  // namespace

TEST_F(ServiceTest, FiguresOfTheFamilyFarmInJanuary2006)
{
    const ParsedAnswer a = parse(exchange(demoRequest(QStringLiteral("4"), QStringLiteral("2006"))).body);
    ASSERT_EQ(a.rows().size(), 12u);
    const xml::Node january = a.rows().front();
    // 4 calves (0.3), 14 young cattle (0.6), 24 cows (1.0), 10 lambs (0.05), 61 ewes (0.15).
    EXPECT_EQ(january.selectSingle(QStringLiteral("RUX:SKOTDO6")).text(), "4");
    EXPECT_EQ(units(january, QStringLiteral("SKOTDO6")), "1.2");
    EXPECT_EQ(units(january, QStringLiteral("SKOTOD6DO24")), "8.4");
    EXPECT_EQ(units(january, QStringLiteral("SKOTOD24")), "24");
    EXPECT_EQ(units(january, QStringLiteral("OVCEDO12")), "0.5");
    EXPECT_EQ(units(january, QStringLiteral("OVCEOD12")), "9.15");
    EXPECT_EQ(units(january, QStringLiteral("KUNOD3")), "0");
    EXPECT_EQ(january.attribute(QStringLiteral("VDJA")).value_or(QString()), "43.25");
    EXPECT_EQ(january.attribute(QStringLiteral("VDJB")).value_or(QString()), "43.25");
    EXPECT_NEAR(number(january.attribute(QStringLiteral("PICHA"))), 43.25 / 51.3, 1e-12);

    // April: calves and lambs born.
    const xml::Node april = a.rows().at(3);
    EXPECT_EQ(april.selectSingle(QStringLiteral("RUX:SKOTDO6")).text(), "20");
    EXPECT_EQ(april.selectSingle(QStringLiteral("RUX:OVCEDO12")).text(), "80");

    double total = 0;
    for (const xml::Node& row : a.rows()) total += number(row.attribute(QStringLiteral("PICHA")));
    const double cut = std::floor(total / 12 * 1000) / 1000;
    EXPECT_EQ(a.text(QStringLiteral("//RUX:PICHROKA")), QString::number(cut, 'f', 3));
}

TEST_F(ServiceTest, FirstGenerationSumsTheAgeGroupsOf2006)
{
    const ParsedAnswer a = parse(exchange(demoRequest(QStringLiteral("4"), QStringLiteral("2005"))).body);
    ASSERT_EQ(a.rows().size(), 12u);
    const xml::Node january = a.rows().front();
    // 4 calves and 13 young cattle are the younger cattle; 58 ewes and 10 lambs the sheep.
    EXPECT_EQ(january.selectSingle(QStringLiteral("RUX:SKOTML")).text(), "17");
    EXPECT_EQ(january.selectSingle(QStringLiteral("RUX:SKOTML")).attribute(QStringLiteral("KOEF")).value_or(QString()),
              "0.6");
    EXPECT_EQ(units(january, QStringLiteral("SKOTML")), "10.2");
    EXPECT_EQ(january.selectSingle(QStringLiteral("RUX:SKOTST")).text(), "23");
    EXPECT_EQ(january.selectSingle(QStringLiteral("RUX:OVCE")).text(), "68");
    EXPECT_EQ(units(january, QStringLiteral("OVCE")), "10.2");
}

TEST_F(ServiceTest, OrganicUnitsAreGivenAlsoWhereTheTypeDoesNotCountThem)
{
    auto fields = demoRequest(QStringLiteral("4"), QStringLiteral("2006"));
    fields.jisubrux = QStringLiteral("1000876543");
    const ParsedAnswer conventional = parse(exchange(fields).body);
    ASSERT_FALSE(conventional.rows().empty());
    const xml::Node row = conventional.rows().front();
    EXPECT_EQ(units(row, QStringLiteral("EKOSKOTOD24")), "27");
    // Type 4 counts the conventional herds and the horses: one foal and three horses.
    EXPECT_EQ(row.attribute(QStringLiteral("VDJA")).value_or(QString()), "3.6");
    EXPECT_EQ(row.attribute(QStringLiteral("VDJB")).value_or(QString()), "0");

    fields.type = QStringLiteral("5");
    const ParsedAnswer organic = parse(exchange(fields).body);
    ASSERT_FALSE(organic.rows().empty());
    const double vdjb = number(organic.rows().front().attribute(QStringLiteral("VDJB")));
    EXPECT_GT(vdjb, 27);
    EXPECT_NEAR(number(organic.rows().front().attribute(QStringLiteral("VDJA"))), vdjb + 3.6, 1e-9);
}

TEST_F(ServiceTest, CooperativeHasCategoryUnitsAboveTenThousand)
{
    auto fields = demoRequest(QStringLiteral("4"), QStringLiteral("2006"));
    fields.ico = QStringLiteral("00123455");
    fields.jisubrux.clear();
    for (const auto& [year, category] : {std::pair{"2006", "SKOTOD24"}, std::pair{"2004", "SKOTST"}}) {
        fields.year = QString::fromLatin1(year);
        const ParsedAnswer a = parse(exchange(fields).body);
        ASSERT_EQ(a.rows().size(), 12u) << year;
        for (const xml::Node& row : a.rows()) {
            EXPECT_GT(units(row, QString::fromLatin1(category)).toDouble(), 10000) << year;
            EXPECT_GT(number(row.attribute(QStringLiteral("VDJA"))), 10000);
        }
    }
}

struct RecomputeCase {
    const char* name;
    const char* jisubrux;
    const char* type;
    const char* validity;
    const char* variant;
    const char* acreage;
    const char* editorYearText;  // the text by which the program chooses the editor
};

void PrintTo(const RecomputeCase& c, std::ostream* os)
{
    *os << c.name;
}

class ServiceRecompute : public ServiceTest, public ::testing::WithParamInterface<RecomputeCase> {};

TEST_P(ServiceRecompute, EditorRecomputingAnUneditedAnswerChangesNothing)
{
    const RecomputeCase& c = GetParam();
    auto fields =
        demoRequest(QString::fromLatin1(c.type), QString::fromLatin1(c.validity), QString::fromLatin1(c.variant));
    fields.jisubrux = QString::fromLatin1(c.jisubrux);
    fields.acreage = QString::fromLatin1(c.acreage);

    HttpReply reply;
    {
        // The service may run under other regional settings than the user's program.
        LocaleScope english(LocaleScope::english());
        reply = exchange(fields);
    }
    ASSERT_EQ(reply.status, 200) << reply.body.constData();

    LocaleScope czech(LocaleScope::czech());
    TestProgram program;
    auto document = std::make_shared<xml::Document>();
    ASSERT_TRUE(document->loadXml(reply.body));
    const QByteArray before = document->toBytes();
    {
        editor::EditorSession session(program.ctx,
                                      editor::CategorySet::forYearText(QString::fromLatin1(c.editorYearText)));
        session.xmlDOM = document;
        session.Startuj();
        EXPECT_TRUE(program.messages.shown.empty());
        session.Pocitej();
    }
    EXPECT_EQ(QString::fromUtf8(document->toBytes()), QString::fromUtf8(before));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ServiceRecompute,
    ::testing::Values(RecomputeCase{"FamilyFarm2006", "1000234567", "4", "2006", "C", "0", "2006"},
                      RecomputeCase{"FamilyFarm2005A", "1000234567", "4", "2005", "A", "0", "2005"},
                      RecomputeCase{"OrganicType5", "1000876543", "5", "2007", "C", "0", "2007"},
                      RecomputeCase{"OrganicType1", "1000876543", "1", "15.05.2005", "B", "0", "15.05.2005"},
                      RecomputeCase{"CooperativeByDate2006", "1000112233", "2", "01.06.2006", "C", "0", "01.06.2006"},
                      RecomputeCase{"Cooperative2004", "1000112233", "4", "2004", "C", "0", "2004"},
                      RecomputeCase{"HorseFarmAcreage", "1000554433", "6", "2006", "C", "33.333", "2006"},
                      RecomputeCase{"GoatFarmZeroAcreage", "1000667788", "6", "2005", "A", "0", "2005"}),
    [](const auto& test) { return std::string(test.param.name); });
