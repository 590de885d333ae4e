#include "EditorFixture.h"
#include "common/Failure.h"
#include "editor/WriteBack.h"

using namespace zorva;
using namespace zorva::test;

namespace {

CategoryValues cat(const char* count, const char* koef, std::optional<QString> vdj = QStringLiteral("77"))
{
    return {QString::fromUtf8(count), vdj, QString::fromLatin1(koef)};
}

RowValues rowWith(const char* date, std::map<QString, CategoryValues> cats, const char* acreage = "10")
{
    RowValues r;
    r.date = QString::fromUtf8(date);
    r.acreage = QString::fromLatin1(acreage);
    r.vdja = r.vdjb = r.picha = r.pichb = QStringLiteral("99");
    r.categories = std::move(cats);
    return r;
}

}  // namespace

class WriteBack : public EditorFixture {};

TEST_F(WriteBack, TypeTwoKeepsEcoElementsAndTypeOneRewritesConventionalOnes)
{
    for (const char* type : {"2", "1"}) {
        ResponseShape shape;
        shape.type = QString::fromLatin1(type);
        shape.rows = {rowWith("d", {{QStringLiteral("SKOTML"), cat("10", "0.6")},
                                    {QStringLiteral("EKOOVCE"), cat("4", "0.15")},
                                    {QStringLiteral("KUNST"), cat("1", "1")}})};
        load(shape);
        setCell(0, QStringLiteral("EKOOVCE_POCET"), QStringLiteral("8"));
        setCell(0, QStringLiteral("SKOTML_POCET"), QStringLiteral("20"));
        session->Pocitej();
        const bool eco = QByteArray(type) == "1";
        EXPECT_EQ(categoryText(QStringLiteral("d"), QStringLiteral("EKOOVCE")),
                  eco ? QStringLiteral("8") : QStringLiteral("4"));
        EXPECT_EQ(categoryUnits(QStringLiteral("d"), QStringLiteral("EKOOVCE")),
                  eco ? QStringLiteral("1.2") : QStringLiteral("77"));
        EXPECT_EQ(categoryText(QStringLiteral("d"), QStringLiteral("SKOTML")), QStringLiteral("20"));
        EXPECT_EQ(categoryUnits(QStringLiteral("d"), QStringLiteral("SKOTML")), QStringLiteral("12"));
        EXPECT_EQ(categoryUnits(QStringLiteral("d"), QStringLiteral("KUNST")), QStringLiteral("1"));
    }
}

TEST_F(WriteBack, FlagsDecideWhichSumsAreWritten)
{
    ResponseShape shape;
    shape.pichRokA.reset();
    shape.rows = {rowWith("d", {{QStringLiteral("SKOTML"), cat("10", "0.6")}})};
    load(shape);
    session->Pocitej();
    EXPECT_EQ(rowAttribute(QStringLiteral("d"), QStringLiteral("VDJA")), QStringLiteral("99"));
    EXPECT_EQ(rowAttribute(QStringLiteral("d"), QStringLiteral("PICHA")), QStringLiteral("99"));
    EXPECT_EQ(rowAttribute(QStringLiteral("d"), QStringLiteral("VDJB")), QStringLiteral("6"));
    EXPECT_EQ(rowAttribute(QStringLiteral("d"), QStringLiteral("PICHB")), QStringLiteral("0.6"));
    EXPECT_TRUE(doc->selectSingle(QStringLiteral("//RUX:PICHROKA")).isNull());
}

TEST_F(WriteBack, CountsAndUnitsAreWrittenAsNumbers)
{
    ResponseShape shape;
    RowValues r = rowWith("d",
                          {{QStringLiteral("SKOTML"), cat("1", "0.6")},
                           {QStringLiteral("SKOTST"), cat("1", "1")},
                           {QStringLiteral("KOZA"), cat("1", "1", std::nullopt)}},
                          "");
    r.withAcreage = true;
    shape.rows = {r};
    load(shape);
    setCell(0, QStringLiteral("SKOTML_POCET"), QStringLiteral("abc"));
    setCell(0, QStringLiteral("SKOTST_POCET"), QStringLiteral("1,5"));
    setCell(0, QStringLiteral("KOZA_POCET"), QStringLiteral("007"));
    setCell(0, QStringLiteral("SUMAVYMERADPB"), QVariant());
    session->Pocitej();
    EXPECT_EQ(categoryText(QStringLiteral("d"), QStringLiteral("SKOTML")), QStringLiteral("0"));
    EXPECT_EQ(categoryUnits(QStringLiteral("d"), QStringLiteral("SKOTML")), QStringLiteral("0"));
    EXPECT_EQ(categoryText(QStringLiteral("d"), QStringLiteral("SKOTST")), QStringLiteral("1.5"));
    EXPECT_EQ(categoryUnits(QStringLiteral("d"), QStringLiteral("SKOTST")), QStringLiteral("1.5"));
    // Without a VDJ attribute the count is written, the units are not.
    EXPECT_EQ(categoryText(QStringLiteral("d"), QStringLiteral("KOZA")), QStringLiteral("7"));
    EXPECT_EQ(categoryUnits(QStringLiteral("d"), QStringLiteral("KOZA")), QStringLiteral("<none>"));
    EXPECT_EQ(doc->selectSingle(QStringLiteral("//RUX:SUMAVYMERADPB")).text(), QStringLiteral("0"));
}

TEST_F(WriteBack, DuplicateDatesUpdateTheFirstElementAndTheLastTableRowWins)
{
    ResponseShape shape;
    shape.rows = {rowWith("d", {{QStringLiteral("SKOTML"), cat("1", "1")}}),
                  rowWith("d", {{QStringLiteral("SKOTML"), cat("2", "1")}})};
    load(shape);
    session->Pocitej();
    const auto rows = doc->selectList(QStringLiteral("//VDJ:PICHROW"));
    ASSERT_EQ(rows.size(), 2u);
    // Rows of one date keep the order in which they were loaded, so the second element's row is
    // the last of the date; its figures stand in the first element, and the second keeps the
    // service's.
    rs().moveLast();
    EXPECT_EQ(rs().value(QStringLiteral("SKOTML_POCET")).toString(), QStringLiteral("2"));
    EXPECT_EQ(rows[0].selectSingle(QStringLiteral("RUX:SKOTML")).text(), QStringLiteral("2"));
    EXPECT_EQ(rows[1].selectSingle(QStringLiteral("RUX:SKOTML")).text(), QStringLiteral("2"));
    EXPECT_EQ(rows[1].attribute(QStringLiteral("VDJA")).value_or(QString()), QStringLiteral("99"));
}

TEST_F(WriteBack, RowsWithoutAnElementOrWithAnApostropheStayInTheTableOnly)
{
    ResponseShape shape;
    shape.rows = {rowWith("d'x", {{QStringLiteral("SKOTML"), cat("1", "1")}}),
                  rowWith("e", {{QStringLiteral("SKOTML"), cat("2", "1")}})};
    load(shape);
    setCell(1, QStringLiteral("DATPLATNOST"), QStringLiteral("zzz"));  // no element has this date
    session->Pocitej();
    const auto rows = doc->selectList(QStringLiteral("//VDJ:PICHROW"));
    EXPECT_EQ(rows[0].attribute(QStringLiteral("VDJA")).value_or(QString()), QStringLiteral("99"));
    EXPECT_EQ(rows[1].attribute(QStringLiteral("VDJA")).value_or(QString()), QStringLiteral("99"));
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("VDJA")).toDouble(), 1);
    EXPECT_THROW(doc->selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='d'x']")), Failure);
}

TEST_F(WriteBack, TheLookupAnswersLikeTheQuery)
{
    ResponseShape shape;
    shape.rows = {rowWith("a", {}), rowWith("b", {}), rowWith("a", {}), rowWith("", {})};
    load(shape);
    editor::RowWriter writer(*doc, editor::CategorySet::first(), QStringLiteral("2"), true, true);
    for (const char* date : {"a", "b", "", "c", "a'"}) {
        const QString d = QString::fromLatin1(date);
        xml::Node expected;
        try {
            expected = doc->selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='%1']").arg(d));
        } catch (const Failure&) {
        }
        EXPECT_TRUE(writer.rowElement(d) == expected) << date;
    }
}
