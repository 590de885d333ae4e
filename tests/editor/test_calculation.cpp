#include "EditorFixture.h"
#include "editor/WriteBack.h"

using namespace zorva;
using namespace zorva::test;

namespace {

CategoryValues cat(const char* count, const char* koef, const char* vdj = "0")
{
    return {QString::fromUtf8(count), QString::fromLatin1(vdj), QString::fromLatin1(koef)};
}

// The worked example: SKOTML 10 x 0.6, OVCE 20 x 0.15, KUNML 1 x 1, the rest empty, 12.5 ha.
RowValues workedRow(const QString& date = QStringLiteral("2006-01-01"))
{
    RowValues r;
    r.date = date;
    r.acreage = QStringLiteral("12.5");
    for (const auto& c : editor::CategorySet::first().categories) r.categories[c.name] = cat("", "0.5");
    r.categories[QStringLiteral("SKOTML")] = cat("10", "0.6");
    r.categories[QStringLiteral("SKOTST")] = cat("", "1");
    r.categories[QStringLiteral("OVCE")] = cat("20", "0.15");
    r.categories[QStringLiteral("KUNML")] = cat("1", "1");
    return r;
}

RowValues cattleRow(const QString& date, const char* count, const char* koef, const char* acreage)
{
    RowValues r;
    r.date = date;
    r.acreage = QString::fromLatin1(acreage);
    r.categories[QStringLiteral("SKOTML")] = cat(count, koef);
    return r;
}

}  // namespace

class Calculation : public EditorFixture {};

TEST_F(Calculation, WorkedExampleUnderCzechSettings)
{
    LocaleScope czech(LocaleScope::czech());
    ResponseShape shape;
    shape.rows = {workedRow()};
    load(shape);
    int beeps = 0;
    session->Pocitej({{}, {}, [&] { ++beeps; }});
    EXPECT_EQ(beeps, 1);
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("VDJA")).toDouble(), 10);
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("VDJB")).toDouble(), 9);
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("PICHA")).toDouble(), 0.8);
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("PICHB")).toDouble(), 0.72);
    EXPECT_EQ(cell(0, QStringLiteral("SKOTML_VDJ")).toString(), QStringLiteral("6,00000"));
    EXPECT_EQ(cell(0, QStringLiteral("OVCE_VDJ")).toString(), QStringLiteral("3,00000"));
    EXPECT_EQ(cell(0, QStringLiteral("KUNML_VDJ")).toString(), QStringLiteral("1,00000"));
    EXPECT_EQ(cell(0, QStringLiteral("SKOTST_VDJ")).toString(), QStringLiteral("0,00000"));
    EXPECT_EQ(cell(0, QStringLiteral("SKOTST_POCET")).toString(), QStringLiteral("0"));
    EXPECT_EQ(session->header(QStringLiteral("txtPICHROKA")), QStringLiteral("0.800"));
    EXPECT_EQ(session->header(QStringLiteral("txtPICHROKB")), QStringLiteral("0.720"));
    // ...and the document carries the same figures.
    EXPECT_EQ(rowAttribute(QStringLiteral("2006-01-01"), QStringLiteral("VDJA")), QStringLiteral("10"));
    EXPECT_EQ(rowAttribute(QStringLiteral("2006-01-01"), QStringLiteral("VDJB")), QStringLiteral("9"));
    EXPECT_EQ(rowAttribute(QStringLiteral("2006-01-01"), QStringLiteral("PICHA")), QStringLiteral("0.8"));
    EXPECT_EQ(rowAttribute(QStringLiteral("2006-01-01"), QStringLiteral("PICHB")), QStringLiteral("0.72"));
    EXPECT_EQ(categoryUnits(QStringLiteral("2006-01-01"), QStringLiteral("SKOTML")), QStringLiteral("6"));
    EXPECT_EQ(categoryText(QStringLiteral("2006-01-01"), QStringLiteral("SKOTST")), QStringLiteral("0"));
    EXPECT_EQ(doc->selectSingle(QStringLiteral("//RUX:PICHROKA")).text(), QStringLiteral("0.800"));
    EXPECT_EQ(doc->selectSingle(QStringLiteral("//RUX:PICHROKB")).text(), QStringLiteral("0.720"));
    EXPECT_EQ(rs().position(), 0);
}

TEST_F(Calculation, WorkedExampleUnderPointSettings)
{
    LocaleScope english(LocaleScope::english());
    ResponseShape shape;
    shape.rows = {workedRow()};
    load(shape);
    session->Pocitej();
    EXPECT_EQ(cell(0, QStringLiteral("SKOTML_VDJ")).toString(), QStringLiteral("6.00000"));
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("PICHB")).toDouble(), 0.72);
    EXPECT_EQ(session->header(QStringLiteral("txtPICHROKA")), QStringLiteral("0.800"));
    EXPECT_EQ(rowAttribute(QStringLiteral("2006-01-01"), QStringLiteral("PICHB")), QStringLiteral("0.72"));
}

TEST_F(Calculation, YearlyValuesAreCutNotRounded)
{
    struct Case {
        std::vector<RowValues> rows;
        const char* yearly;
    };
    const std::vector<Case> cases = {
        // 0.8, 0.8333333333333334 and 0 (acreage 0) average 0.5444...
        {{cattleRow("a", "10", "0.6", "7.5"), cattleRow("b", "10", "0.6", "7.2"), cattleRow("c", "10", "0.6", "0")},
         "0.544"},
        // 0.3 / 0.1 is 2.9999999999999996, whose 15-digit text reads 3.
        {{cattleRow("a", "1", "0.3", "0.1")}, "3.000"},
        // Negative counts give negative units; the cut goes downward.
        {{cattleRow("a", "-10", "0.6", "7.5"), cattleRow("b", "-10", "0.6", "7.2"), cattleRow("c", "10", "0.6", "0")},
         "-0.545"},
        // 0.8339 is cut to 0.833.
        {{cattleRow("a", "8339", "0.0001", "1")}, "0.833"},
    };
    for (const Case& c : cases) {
        ResponseShape shape;
        shape.rows = c.rows;
        load(shape);
        session->Pocitej();
        EXPECT_EQ(session->header(QStringLiteral("txtPICHROKA")), QString::fromLatin1(c.yearly));
    }
}

TEST_F(Calculation, TheTypeDecidesWhichGroupsAddUp)
{
    struct Case {
        const char* type;
        double vdja, vdjb;
    };
    // Conventional 2 (SKOTML), horse 3 (KUNST), eco 5 (EKOOVCE).
    for (const Case c :
         {Case{"1", 8, 5}, Case{"5", 8, 5}, Case{"2", 5, 2}, Case{"4", 5, 2}, Case{"1 ", 5, 2}, Case{"", 5, 2}}) {
        ResponseShape shape;
        shape.type = QString::fromLatin1(c.type);
        RowValues r = cattleRow("2006-01-01", "2", "1", "1");
        r.categories[QStringLiteral("KUNST")] = cat("3", "1");
        r.categories[QStringLiteral("EKOOVCE")] = cat("5", "1");
        shape.rows = {r};
        load(shape);
        session->Pocitej();
        EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("VDJA")).toDouble(), c.vdja) << c.type;
        EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("VDJB")).toDouble(), c.vdjb) << c.type;
        // Every category gets its units whatever the type.
        EXPECT_EQ(editor::numberText(cell(0, QStringLiteral("EKOOVCE_VDJ"))), QStringLiteral("5"));
    }
}

TEST_F(Calculation, CountTextsAreReadLikeTheUserMeantThem)
{
    struct Case {
        const char* count;
        const char* stored;
        double units;
    };
    for (const Case c : {Case{"", "0", 0}, Case{"abc", "abc", 0}, Case{"1,5", "1,5", 0.9}, Case{"1 200", "1 200", 720},
                         Case{"-3", "-3", -1.8}, Case{"007", "007", 4.2}, Case{"20000", "20000", 12000}}) {
        ResponseShape shape;
        shape.rows = {cattleRow("d", c.count, "0.6", "10")};
        load(shape);
        session->Pocitej();
        EXPECT_EQ(cell(0, QStringLiteral("SKOTML_POCET")).toString(), QString::fromUtf8(c.stored)) << c.count;
        EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("VDJA")).toDouble(), c.units) << c.count;
        EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("PICHA")).toDouble(), c.units / 10) << c.count;
    }
}

TEST_F(Calculation, SumsAddTheFiveDecimalUnitsTexts)
{
    ResponseShape shape;
    RowValues r = cattleRow("d", "1", "0.333333", "1");
    r.categories[QStringLiteral("SKOTST")] = cat("1", "0.333333");
    shape.rows = {r};
    load(shape);
    session->Pocitej();
    EXPECT_EQ(cell(0, QStringLiteral("SKOTML_VDJ")).toString(), QStringLiteral("0,33333"));
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("VDJA")).toDouble(), 0.66666);
}

TEST_F(Calculation, AcreageZeroNegativeOrEmptyCountsWithZero)
{
    ResponseShape shape;
    RowValues empty = cattleRow("c", "10", "0.6", "");
    empty.withAcreage = false;  // no element at all: the column stays empty until the run
    shape.rows = {cattleRow("a", "10", "0.6", "10"), cattleRow("b", "10", "0.6", "-5"), empty};
    load(shape);
    EXPECT_TRUE(cell(2, QStringLiteral("SUMAVYMERADPB")).isNull());
    session->Pocitej();
    EXPECT_DOUBLE_EQ(cell(1, QStringLiteral("PICHA")).toDouble(), 0);
    EXPECT_DOUBLE_EQ(cell(2, QStringLiteral("PICHA")).toDouble(), 0);
    EXPECT_DOUBLE_EQ(cell(2, QStringLiteral("SUMAVYMERADPB")).toDouble(), 0);
    // (0.6 + 0 + 0) / 3 rows
    EXPECT_EQ(session->header(QStringLiteral("txtPICHROKA")), QStringLiteral("0.200"));
}

TEST_F(Calculation, OnlyHorses)
{
    ResponseShape shape;
    RowValues r;
    r.date = QStringLiteral("h");
    r.acreage = QStringLiteral("2");
    r.categories[QStringLiteral("KUNST")] = cat("4", "1");
    r.categories[QStringLiteral("SKOTML")] = cat("", "0.6");
    shape.rows = {r};
    load(shape);
    session->Pocitej();
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("VDJA")).toDouble(), 4);
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("VDJB")).toDouble(), 0);
}

TEST_F(Calculation, AnEmptyTableKeepsTheYearlyTexts)
{
    ResponseShape shape;
    shape.pichRokA = QStringLiteral("1.234");
    shape.pichRokB = QStringLiteral("x");
    load(shape);
    session->Pocitej();
    EXPECT_EQ(session->header(QStringLiteral("txtPICHROKA")), QStringLiteral("1.234"));
    EXPECT_EQ(doc->selectSingle(QStringLiteral("//RUX:PICHROKB")).text(), QStringLiteral("x"));
}

TEST_F(Calculation, RunningTwiceChangesNothing)
{
    ResponseShape shape;
    shape.rows = {workedRow(QStringLiteral("a")), cattleRow("b", "1,5", "0.6", "3.3")};
    load(shape);
    session->Pocitej();
    const QByteArray once = doc->toBytes();
    QStringList cells;
    for (int r = 0; r < 2; ++r)
        for (const auto& c : rs().columns()) cells << cell(r, c.name).toString();
    session->Pocitej();
    EXPECT_EQ(doc->toBytes(), once);
    QStringList again;
    for (int r = 0; r < 2; ++r)
        for (const auto& c : rs().columns()) again << cell(r, c.name).toString();
    EXPECT_EQ(again, cells);
}

TEST_F(Calculation, LargeHerdsCountInTheSums)
{
    ResponseShape shape;
    RowValues r = cattleRow("d", "20000", "1", "1000");
    r.categories[QStringLiteral("SKOTST")] = cat("99999", "1");
    shape.rows = {r};
    load(shape);
    session->Pocitej();
    EXPECT_EQ(cell(0, QStringLiteral("SKOTML_VDJ")).toString(), QStringLiteral("20000,00000"));
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("VDJA")).toDouble(), 119999);
    EXPECT_EQ(categoryUnits(QStringLiteral("d"), QStringLiteral("SKOTST")), QStringLiteral("99999"));
}

TEST_F(Calculation, ProgressIsReportedPerRowAndEventsArePumped)
{
    ResponseShape shape;
    for (int i = 0; i < 5; ++i)
        shape.rows.push_back(cattleRow(QString::number(i).toLatin1().constData(), "1", "1", "1"));
    load(shape);
    int pumps = 0;
    std::vector<int> progress;
    session->Pocitej({[&] {
                          ++pumps;
                          session->Pocitej();  // a second run asked for inside the first does nothing
                      },
                      [&](int done, int total) {
                          EXPECT_EQ(total, 5);
                          progress.push_back(done);
                      },
                      {}});
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_GE(pumps, 5);
    EXPECT_FALSE(session->running());
}
