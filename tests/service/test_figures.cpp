#include <gtest/gtest.h>

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

// Worked out by hand from the registers: units = coefficient × count to five decimals (calves 0.3,
// young cattle 0.6, cows 1.0, lambs 0.05, ewes 0.15), written without trailing zeros; type 4 with
// no horses: VDJA = VDJB = the sum of the units texts; PICHA = PICHB = VDJA / 51.3 ha to 15
// significant digits; the yearly value the mean of the twelve, 0.942982456140351, cut to 0.942.
TEST_F(ServiceTest, FiguresOfTheFamilyFarmIn2006)
{
    const ParsedAnswer a = parse(exchange(demoRequest(QStringLiteral("4"), QStringLiteral("2006"))).body);
    ASSERT_EQ(a.rows().size(), 12u);
    const struct {
        const char* from;  // the herd changes in April, July and October
        const char *calves, *calfUnits, *youngUnits, *lambs, *lambUnits, *sum, *intensity;
    } quarters[] = {
        {"2006-01-01", "4", "1.2", "8.4", "10", "0.5", "43.25", "0.843079922027291"},
        {"2006-04-01", "20", "6", "8.4", "80", "4", "51.55", "1.00487329434698"},
        {"2006-07-01", "19", "5.7", "8.4", "78", "3.9", "51.15", "0.997076023391813"},
        {"2006-10-01", "6", "1.8", "12", "12", "0.6", "47.55", "0.926900584795322"},
    };
    for (std::size_t i = 0; i < a.rows().size(); ++i) {
        const xml::Node row = a.rows()[i];
        const auto& q = quarters[i / 3];
        const std::string where = row.attribute(QStringLiteral("DATPLATNOST")).value_or(QString()).toStdString();
        if (i % 3 == 0) { EXPECT_EQ(where, q.from); }
        EXPECT_EQ(row.selectSingle(QStringLiteral("RUX:SKOTDO6")).text(), q.calves) << where;
        EXPECT_EQ(units(row, QStringLiteral("SKOTDO6")), q.calfUnits) << where;
        EXPECT_EQ(units(row, QStringLiteral("SKOTOD6DO24")), q.youngUnits) << where;
        EXPECT_EQ(units(row, QStringLiteral("SKOTOD24")), "24") << where;
        EXPECT_EQ(row.selectSingle(QStringLiteral("RUX:OVCEDO12")).text(), q.lambs) << where;
        EXPECT_EQ(units(row, QStringLiteral("OVCEDO12")), q.lambUnits) << where;
        EXPECT_EQ(units(row, QStringLiteral("OVCEOD12")), "9.15") << where;
        EXPECT_EQ(units(row, QStringLiteral("KUNOD3")), "0") << where;
        for (const char* sum : {"VDJA", "VDJB"})
            EXPECT_EQ(row.attribute(QString::fromLatin1(sum)).value_or(QString()), q.sum) << where << " " << sum;
        for (const char* intensity : {"PICHA", "PICHB"})
            EXPECT_EQ(row.attribute(QString::fromLatin1(intensity)).value_or(QString()), q.intensity)
                << where << " " << intensity;
    }
    EXPECT_EQ(a.text(QStringLiteral("//RUX:PICHROKA")), "0.942");
    EXPECT_EQ(a.text(QStringLiteral("//RUX:PICHROKB")), "0.942");
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

    // Type 5 counts the organic herds (calves 1.8, young cattle 9, cows 27, ewes 9.3, goats 1.35),
    // and the horses with them in VDJA.
    fields.type = QStringLiteral("5");
    const ParsedAnswer organic = parse(exchange(fields).body);
    ASSERT_FALSE(organic.rows().empty());
    EXPECT_EQ(organic.rows().front().attribute(QStringLiteral("VDJB")).value_or(QString()), "48.45");
    EXPECT_EQ(organic.rows().front().attribute(QStringLiteral("VDJA")).value_or(QString()), "52.05");
}

TEST_F(ServiceTest, CooperativeHasCategoryUnitsAboveTenThousand)
{
    auto fields = demoRequest(QStringLiteral("4"), QStringLiteral("2006"));
    fields.ico = QStringLiteral("00123455");
    fields.jisubrux.clear();
    // In January: 2006, 10 210 cows besides calves 894, young cattle 4 080, ewes 262.5, goats 5.25 and
    // horses 12; 2004 in the first generation, 10 150 older cattle besides younger cattle 5 760 (2 900
    // and 6 700 head at 0.6), goats 5.25, sheep 262.5 and horses 12.
    const struct {
        const char *year, *category, *januaryUnits, *januarySum;
    } years[] = {{"2006", "SKOTOD24", "10210", "15463.75"}, {"2004", "SKOTST", "10150", "16189.75"}};
    for (const auto& [year, category, januaryUnits, januarySum] : years) {
        fields.year = QString::fromLatin1(year);
        const ParsedAnswer a = parse(exchange(fields).body);
        ASSERT_EQ(a.rows().size(), 12u) << year;
        EXPECT_EQ(units(a.rows().front(), QString::fromLatin1(category)), januaryUnits) << year;
        EXPECT_EQ(a.rows().front().attribute(QStringLiteral("VDJA")).value_or(QString()), januarySum) << year;
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
