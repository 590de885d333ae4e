#include "EditorFixture.h"

#include <QFile>
#include <QRegularExpression>

using namespace zorva;
using namespace zorva::test;

namespace {

RowValues row(const QString& date)
{
    RowValues r;
    r.date = date;
    r.categories[QStringLiteral("SKOTML")] = {QStringLiteral("10"), QStringLiteral("6"), QStringLiteral("0.6")};
    return r;
}

}  // namespace

class Loading : public EditorFixture {};

TEST_F(Loading, HeaderBoxesAndFlagsComeFromTheResponse)
{
    ResponseShape shape;
    shape.pichRokB.reset();
    shape.rows = {row(QStringLiteral("2005-01-01"))};
    load(shape);
    EXPECT_EQ(session->header(QStringLiteral("txtJISUBRUX")), QStringLiteral("1000234567"));
    EXPECT_EQ(session->header(QStringLiteral("txtICO")), QStringLiteral("25123456"));
    EXPECT_EQ(session->header(QStringLiteral("txtRCI")), QStringLiteral("7001011234"));
    EXPECT_EQ(session->header(QStringLiteral("txtVARPICH")), QStringLiteral("2"));
    EXPECT_EQ(session->header(QStringLiteral("txtPICHROKA")), QStringLiteral("0.1"));
    EXPECT_EQ(session->header(QStringLiteral("txtPICHROKB")), QString());
    EXPECT_EQ(session->header(QStringLiteral("txtIRZ_PRI")), QStringLiteral("Dvořák"));
    EXPECT_EQ(session->header(QStringLiteral("txtIRZ_OJM")), QStringLiteral("Rodinná farma Dvořák"));
    EXPECT_TRUE(session->bPICHROKA);
    EXPECT_FALSE(session->bPICHROKB);
    EXPECT_TRUE(program.messages.shown.empty());
    EXPECT_TRUE(session->strConnect.startsWith(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=")));
    EXPECT_TRUE(session->strConnect.endsWith(QStringLiteral(".MDB;User ID=admin")));
    EXPECT_EQ(program.files(QStringLiteral("TMP*.MDB")).size(), 1);
}

TEST_F(Loading, NoRowElementsGiveAnEmptyTableWithHeadersFilled)
{
    load(ResponseShape{});
    ASSERT_NE(session->recordset(), nullptr);
    EXPECT_EQ(rs().rowCount(), 0);
    EXPECT_TRUE(rs().eof());
    EXPECT_EQ(session->header(QStringLiteral("txtJISUBRUX")), QStringLiteral("1000234567"));
}

TEST_F(Loading, ColumnsTakeTheirValuesByTheirConversions)
{
    ResponseShape shape;
    RowValues a = row(QStringLiteral("2005-01-01"));
    a.picha = QStringLiteral("12.5");
    a.pichb = QStringLiteral("12,5");
    a.vdja = QStringLiteral("10,5");  // the regional conversion: Czech reads the comma
    a.vdjb = QStringLiteral("x");
    a.acreage = QStringLiteral("12,5");
    a.categories[QStringLiteral("SKOTST")] = {QStringLiteral("123456"), QStringLiteral("7"), QStringLiteral("1")};
    a.categories[QStringLiteral("KOZA")] = {QStringLiteral("3"), QStringLiteral("0.45"), QStringLiteral("")};
    a.categories[QStringLiteral("OVCE")] = {QStringLiteral("4"), QStringLiteral("0"), QStringLiteral("0")};
    a.categories[QStringLiteral("KUNML")] = {QStringLiteral("1"), std::nullopt, std::nullopt};
    a.categories[QStringLiteral("SKOTDO6")] = {QStringLiteral("99"), QStringLiteral("9"), QStringLiteral("0.3")};
    RowValues b = row(QStringLiteral("2005-02-01"));
    b.picha = QString();
    b.acreage = QString();
    b.vdja = QStringLiteral("56.25");  // and the service's own decimal point, whatever the settings
    shape.rows = {a, b};
    load(shape);
    ASSERT_EQ(rs().rowCount(), 2);

    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("PICHA")).toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("PICHB")).toDouble(), 12);
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("VDJA")).toDouble(), 10.5);
    EXPECT_TRUE(cell(0, QStringLiteral("VDJB")).isNull());
    EXPECT_DOUBLE_EQ(cell(1, QStringLiteral("VDJA")).toDouble(), 56.25);
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("SUMAVYMERADPB")).toDouble(), 12);
    EXPECT_EQ(cell(0, QStringLiteral("ZADATELREGLPIS")).toString(), QStringLiteral("A"));
    EXPECT_EQ(cell(0, QStringLiteral("SKOTML_POCET")).toString(), QStringLiteral("10"));
    EXPECT_EQ(cell(0, QStringLiteral("SKOTML_VDJ")).toString(), QStringLiteral("6"));
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("SKOTML_KOEF")).toDouble(), 0.6);
    // A six-character count does not fit; its units and coefficient are stored all the same.
    EXPECT_TRUE(cell(0, QStringLiteral("SKOTST_POCET")).isNull());
    EXPECT_EQ(cell(0, QStringLiteral("SKOTST_VDJ")).toString(), QStringLiteral("7"));
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("SKOTST_KOEF")).toDouble(), 1);
    // An empty coefficient stays empty, a coefficient of 0 is 0.
    EXPECT_TRUE(cell(0, QStringLiteral("KOZA_KOEF")).isNull());
    EXPECT_FALSE(cell(0, QStringLiteral("OVCE_KOEF")).isNull());
    EXPECT_DOUBLE_EQ(cell(0, QStringLiteral("OVCE_KOEF")).toDouble(), 0);
    EXPECT_EQ(cell(0, QStringLiteral("KUNML_POCET")).toString(), QStringLiteral("1"));
    EXPECT_TRUE(cell(0, QStringLiteral("KUNML_VDJ")).isNull());
    EXPECT_TRUE(cell(0, QStringLiteral("KUNML_KOEF")).isNull());
    // A category that the response does not carry leaves its three columns empty.
    EXPECT_TRUE(cell(0, QStringLiteral("EKOOVCE_POCET")).isNull());
    EXPECT_TRUE(cell(0, QStringLiteral("EKOOVCE_KOEF")).isNull());
    // An empty PICHA and an empty acreage parse to 0.
    EXPECT_DOUBLE_EQ(cell(1, QStringLiteral("PICHA")).toDouble(), 0);
    EXPECT_FALSE(cell(1, QStringLiteral("PICHA")).isNull());
    EXPECT_DOUBLE_EQ(cell(1, QStringLiteral("SUMAVYMERADPB")).toDouble(), 0);
}

TEST_F(Loading, DuplicateDatesGiveTwoRowsAndTheGridSortsCzech)
{
    ResponseShape shape;
    shape.rows = {row(QStringLiteral("hrad")), row(QStringLiteral("chata")), row(QStringLiteral("cesta")),
                  row(QStringLiteral("hrad"))};
    load(shape);
    ASSERT_EQ(rs().rowCount(), 4);
    QStringList order;
    for (int i = 0; i < 4; ++i) order << cell(i, QStringLiteral("DATPLATNOST")).toString();
    EXPECT_EQ(order, (QStringList{"cesta", "hrad", "hrad", "chata"}));
}

TEST_F(Loading, TheOtherGenerationsElementsAreIgnored)
{
    ResponseShape shape;
    RowValues r = row(QStringLiteral("2006-01-01"));
    r.categories[QStringLiteral("SKOTDO6")] = {QStringLiteral("5"), QStringLiteral("1.5"), QStringLiteral("0.3")};
    shape.rows = {r};
    load(shape, editor::CategorySet::gen2006());
    EXPECT_EQ(cell(0, QStringLiteral("SKOTDO6_POCET")).toString(), QStringLiteral("5"));
    EXPECT_EQ(rs().columnIndex(QStringLiteral("SKOTML_POCET")), -1);
    EXPECT_EQ(int(rs().columns().size()), 56);
}

TEST_F(Loading, TwoLoadsMakeTwoWorkingDatabases)
{
    program.clock.randoms = {0.2, 0.8};
    ResponseShape shape;
    shape.rows = {row(QStringLiteral("2005-01-01"))};
    load(shape);
    const QString first = session->workingDatabasePath();
    auto keep = std::move(session);
    session.reset();
    load(shape);
    EXPECT_NE(session->workingDatabasePath(), first);
    EXPECT_EQ(program.files(QStringLiteral("TMP*.MDB")).size(), 2);
    session->deleteWorkingDatabases();
    keep.reset();
    session.reset();
    session = std::make_unique<editor::EditorSession>(program.ctx, editor::CategorySet::first());
    session->deleteWorkingDatabases();
    EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty());
}

TEST_F(Loading, AFolderThatCannotHoldTheDatabaseGivesOneMessageAndLeavesBusyState)
{
    program.write(QStringLiteral("plain-file"), "x");
    program.ctx.folder = program.path(QStringLiteral("plain-file")) + QStringLiteral("/sub");
    ResponseShape shape;
    shape.rows = {row(QStringLiteral("2005-01-01"))};
    doc = std::make_shared<xml::Document>();
    doc->loadXml(buildResponse(shape));
    session = std::make_unique<editor::EditorSession>(program.ctx, editor::CategorySet::first());
    session->xmlDOM = doc;
    int leftBusy = 0;
    session->leaveBusy = [&] { ++leftBusy; };
    session->Startuj();
    ASSERT_EQ(program.messages.shown.size(), 1u);
    EXPECT_EQ(program.messages.shown[0].icon, MessageIcon::None);
    EXPECT_TRUE(program.messages.shown[0].text.contains(QRegularExpression(QStringLiteral("^-?\\d+-."))))
        << program.messages.shown[0].text.toStdString();
    EXPECT_EQ(leftBusy, 1);
    EXPECT_EQ(session->header(QStringLiteral("txtJISUBRUX")), QStringLiteral("1000234567"));
    // The table was never made, so the grid has nothing bound to show.
    EXPECT_EQ(session->recordset(), nullptr);
}

TEST_F(Loading, ADocumentOfAnotherShapeGivesEmptyBoxesAndNoMessage)
{
    loadBytes("<a><b/></a>");
    EXPECT_TRUE(program.messages.shown.empty());
    EXPECT_EQ(session->header(QStringLiteral("txtJISUBRUX")), QString());
    EXPECT_EQ(rs().rowCount(), 0);
    loadBytes("not xml at all");
    EXPECT_TRUE(program.messages.shown.empty());
}
