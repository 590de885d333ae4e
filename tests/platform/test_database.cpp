// The working database and its recordset: creation, the Jet statements, the column rules, the
// moves, the Czech order, batches. Every test works on a real SQLite file in a fresh program folder.
#include <gtest/gtest.h>
#include <QFile>
#include <QSignalSpy>
#include <optional>

#include "platform/DataControl.h"
#include "platform/DatabaseTestSupport.h"
#include "platform/Recordset.h"
#include "platform/WorkingDatabase.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::db;
using namespace zorva::test;

namespace {

QStringList columnTexts(Recordset& rs, const QString& column)
{
    QStringList out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) out << rs.value(column).toString();
    return out;
}

void addDates(WorkingDatabase& database, const QStringList& dates)
{
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    for (const QString& date : dates) {
        rs->addNew();
        rs->setValue(QStringLiteral("DATPLATNOST"), date);
        rs->update();
    }
    rs->close();
}

}  // namespace

// ---- creation and opening -------------------------------------------------------------------------

TEST(WorkingDatabaseTest, CreateMakesAFileThatOpens)
{
    TestProgram program;
    const QString path = program.path(QStringLiteral("\\TMP20061231140000000_.MDB"));
    WorkingDatabase::create(path, kCzechLocale);
    ASSERT_TRUE(QFile::exists(path));
    WorkingDatabase database;
    database.open(path);
    EXPECT_TRUE(database.isOpen());
    EXPECT_EQ(database.path(), path);
    database.close();
    EXPECT_FALSE(database.isOpen());
}

TEST(WorkingDatabaseTest, CreateRefusesAnExistingFile)
{
    TestProgram program;
    program.write(QStringLiteral("TMP1.MDB"), "keep me");
    EXPECT_NE(failureNumber([&] { WorkingDatabase::create(program.path(QStringLiteral("TMP1.MDB")), kCzechLocale); }),
              0);
    EXPECT_EQ(program.read(QStringLiteral("TMP1.MDB")), QByteArray("keep me"));
}

TEST(WorkingDatabaseTest, CreateFailsWhereNoFileCanBe)
{
    TestProgram program;
    program.write(QStringLiteral("plain.txt"), "x");
    const QStringList paths = {program.path(QStringLiteral("missing/TMP1.MDB")),
                               program.path(QStringLiteral("plain.txt/TMP1.MDB"))};
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_NE(failureNumber([&] { WorkingDatabase::create(path, kCzechLocale); }), 0);
        EXPECT_FALSE(QFile::exists(path));
    }
}

TEST(WorkingDatabaseTest, OpenOfAMissingFileFailsAndCreatesNothing)
{
    TestProgram program;
    const QString path = program.path(QStringLiteral("TMP404.MDB"));
    WorkingDatabase database;
    EXPECT_EQ(failureNumber([&] { database.open(path); }), err::FileNotFound);
    EXPECT_FALSE(database.isOpen());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(WorkingDatabaseTest, OpenOfAFileThatIsNoDatabaseFails)
{
    TestProgram program;
    program.write(QStringLiteral("TMP1.MDB"), QByteArray(2048, 'x'));
    WorkingDatabase database;
    EXPECT_NE(failureNumber([&] { database.open(program.path(QStringLiteral("TMP1.MDB"))); }), 0);
    EXPECT_FALSE(database.isOpen());
}

TEST(WorkingDatabaseTest, AFailingStatementRaisesAFailure)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    EXPECT_EQ(failureNumber([&] { database.execute(kCreateFirstGeneration); }), err::DatabaseFailure);  // exists
    EXPECT_EQ(failureNumber([&] { database.execute(QStringLiteral("SELEKT")); }), err::DatabaseFailure);
    EXPECT_EQ(failureNumber([&] { database.openRecordset(QStringLiteral("SELECT * FROM CHYBI")); }),
              err::DatabaseFailure);
}

// ---- the table-creating statements -----------------------------------------------------------------

struct GenerationCase {
    const char* name;
    const QString* statement;
    const QStringList* categories;
    size_t columns;
};

void PrintTo(const GenerationCase& c, std::ostream* os)
{
    *os << c.name;
}

class TableStatementTest : public ::testing::TestWithParam<GenerationCase> {};

TEST_P(TableStatementTest, RunsUnchangedWithItsColumnsAndTypes)
{
    const GenerationCase& c = GetParam();
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")), *c.statement);

    const auto expected = expectedColumns(*c.categories);
    ASSERT_EQ(expected.size(), c.columns);

    // The declared types stay readable as written.
    EXPECT_EQ(declaredColumns(program.path(QStringLiteral("TMP1.MDB")), QStringLiteral("TABULKA")), expected);

    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    ASSERT_EQ(rs->columns().size(), c.columns);
    for (size_t i = 0; i < expected.size(); ++i) {
        const Column& col = rs->columns()[i];
        SCOPED_TRACE(col.name.toStdString());
        EXPECT_EQ(col.name, expected[i].first);
        if (expected[i].second == QLatin1String("DOUBLE")) {
            EXPECT_EQ(col.type, ColumnType::Double);
        } else {
            EXPECT_EQ(col.type, ColumnType::Text);
            EXPECT_EQ(QStringLiteral("TEXT(%1)").arg(col.maxLength), expected[i].second);
        }
        EXPECT_EQ(rs->columnIndex(col.name), static_cast<int>(i));
    }
}

INSTANTIATE_TEST_SUITE_P(Generations, TableStatementTest,
                         ::testing::Values(GenerationCase{"first", &kCreateFirstGeneration, &kFirstGenerationCategories,
                                                          38},
                                           GenerationCase{"y2006", &kCreate2006, &k2006Categories, 56}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(WorkingDatabaseTest, TextColumnsOfAnyStatementKeepNamesOrderAndTypes)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")),
                       QStringLiteral("create table T ( [A B] TEXT (3) , C DOUBLE,D CHAR(2) NOT NULL, E MEMO, "
                                      "F TEXT, G TEXT(4) COLLATE BINARY )"));
    QStringList declared;
    for (const auto& [column, type] : declaredColumns(program.path(QStringLiteral("TMP1.MDB")), QStringLiteral("T")))
        declared << column + QLatin1Char(':') + type;
    EXPECT_EQ(declared,
              QStringList({QStringLiteral("A B:TEXT (3)"), QStringLiteral("C:DOUBLE"), QStringLiteral("D:CHAR(2)"),
                           QStringLiteral("E:MEMO"), QStringLiteral("F:TEXT"), QStringLiteral("G:TEXT(4)")}));
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM T"));
    const std::vector<Column>& columns = rs->columns();
    ASSERT_EQ(columns.size(), 6u);
    EXPECT_EQ(columns[0].maxLength, 3);
    EXPECT_EQ(columns[1].type, ColumnType::Double);
    EXPECT_EQ(columns[2].maxLength, 2);
    EXPECT_EQ(columns[3].type, ColumnType::Text);
    EXPECT_EQ(columns[3].maxLength, 0);
    EXPECT_EQ(columns[4].maxLength, 255);  // Jet's TEXT without a size
    for (const char* word : {"hrad", "chata"}) {
        rs->addNew();
        for (const char* column : {"A B", "D", "E", "F", "G"})
            rs->setValue(QString::fromLatin1(column), QString::fromLatin1(word).left(2));
        rs->update();
    }
    // Every text column sorts in Czech, except the one that named its own collation.
    for (const char* column : {"[A B]", "D", "E", "F"}) {
        SCOPED_TRACE(column);
        auto ordered =
            database.openRecordset(QStringLiteral("SELECT * FROM T ORDER BY %1").arg(QString::fromLatin1(column)));
        EXPECT_EQ(ordered->value(QStringLiteral("D")).toString(), QStringLiteral("hr"));
    }
    auto binary = database.openRecordset(QStringLiteral("SELECT * FROM T ORDER BY G"));
    EXPECT_EQ(binary->value(QStringLiteral("G")).toString(), QStringLiteral("ch"));
}

// ---- Czech order -------------------------------------------------------------------------------------

TEST(WorkingDatabaseTest, TextColumnsSortInCzechOrderOnEveryConnection)
{
    TestProgram program;
    const QString path = program.path(QStringLiteral("TMP1.MDB"));
    WorkingDatabase filling;
    createWorkingTable(filling, path);
    addDates(filling, {QStringLiteral("žába"), QStringLiteral("chata"), QStringLiteral("Zeman"), QStringLiteral("čas"),
                       QStringLiteral("hrad"), QStringLiteral("dům"), QStringLiteral("cesta"), QStringLiteral("zz"),
                       QStringLiteral("Z"), QStringLiteral("ž")});
    const QStringList czech = {QStringLiteral("cesta"), QStringLiteral("čas"),   QStringLiteral("dům"),
                               QStringLiteral("hrad"),  QStringLiteral("chata"), QStringLiteral("Z"),
                               QStringLiteral("Zeman"), QStringLiteral("zz"),    QStringLiteral("ž"),
                               QStringLiteral("žába")};

    // The connection that created the table ...
    auto rs = filling.openRecordset(QStringLiteral("SELECT * FROM TABULKA ORDER BY DATPLATNOST"));
    EXPECT_EQ(columnTexts(*rs, QStringLiteral("DATPLATNOST")), czech);
    rs->close();
    filling.close();

    // ... and the data control's own connection.
    DataControl control;
    control.setConnectionString(connectionStringFor(path));
    control.setRecordSource(QStringLiteral("SELECT * FROM TABULKA ORDER BY DATPLATNOST"));
    control.refresh();
    EXPECT_EQ(columnTexts(*control.recordset(), QStringLiteral("DATPLATNOST")), czech);
}

TEST(WorkingDatabaseTest, ComparisonInTextColumnsIsCzech)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    addDates(database, {QStringLiteral("hrad"), QStringLiteral("chata"), QStringLiteral("čas")});
    database.execute(QStringLiteral("UPDATE TABULKA SET VDJA = 1 WHERE DATPLATNOST > 'hz'"));
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    QStringList above;
    for (int row = 0; row < rs->rowCount(); ++row)
        if (rs->valueAt(row, rs->columnIndex(QStringLiteral("VDJA"))).toDouble() == 1)
            above << rs->valueAt(row, 0).toString();
    EXPECT_EQ(above, QStringList({QStringLiteral("chata")}));  // "ch" is a letter of its own after "h"
}

TEST(WorkingDatabaseTest, AnotherLanguageGivesItsOwnOrder)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")), kCreateFirstGeneration,
                       QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"));
    addDates(database, {QStringLiteral("hrad"), QStringLiteral("chata")});
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA ORDER BY DATPLATNOST"));
    EXPECT_EQ(columnTexts(*rs, QStringLiteral("DATPLATNOST")),
              QStringList({QStringLiteral("chata"), QStringLiteral("hrad")}));
}

// ---- column rules ------------------------------------------------------------------------------------

struct TooLongCase {
    const char* column;
    QString fits;
    QString tooLong;
};

void PrintTo(const TooLongCase& c, std::ostream* os)
{
    *os << c.column << " " << c.tooLong.toStdString();
}

class TextLengthTest : public ::testing::TestWithParam<TooLongCase> {};

TEST_P(TextLengthTest, AnOverlongTextLeavesOnlyThatColumnNullOnANewRow)
{
    const TooLongCase& c = GetParam();
    const QString column = QString::fromLatin1(c.column);
    TestProgram program;
    const QString path = program.path(QStringLiteral("TMP1.MDB"));
    WorkingDatabase database;
    createWorkingTable(database, path);
    {
        auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
        rs->addNew();
        if (column != QLatin1String("DATPLATNOST"))
            rs->setValue(QStringLiteral("DATPLATNOST"), QStringLiteral("01.01.2006"));
        rs->setValue(QStringLiteral("SKOTML_KOEF"), 0.6);
        rs->setValue(QStringLiteral("SKOTML_VDJ"), QStringLiteral("6,00000"));
        EXPECT_EQ(failureNumber([&] { rs->setValue(column, c.tooLong); }), err::FieldTooLong);
        EXPECT_TRUE(rs->value(column).isNull());
        rs->setValue(QStringLiteral("VDJA"), QStringLiteral("10,5"));
        rs->update();

        // The same column on a second row takes a text of exactly its length.
        rs->addNew();
        rs->setValue(column, c.fits);
        rs->update();
    }
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    ASSERT_EQ(rs->rowCount(), 2);
    EXPECT_TRUE(rs->value(column).isNull());
    if (column != QLatin1String("DATPLATNOST")) {
        EXPECT_EQ(rs->value(QStringLiteral("DATPLATNOST")).toString(), QStringLiteral("01.01.2006"));
    }
    EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("SKOTML_KOEF")).toDouble(), 0.6);
    EXPECT_EQ(rs->value(QStringLiteral("SKOTML_VDJ")).toString(), QStringLiteral("6,00000"));
    EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("VDJA")).toDouble(), 10.5);
    rs->moveNext();
    EXPECT_EQ(rs->value(column).toString(), c.fits);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, TextLengthTest,
    ::testing::Values(TooLongCase{"SKOTML_POCET", QStringLiteral("ščřžý"), QStringLiteral("123456")},
                      TooLongCase{"ZADATELREGLPIS", QStringLiteral("Ž"), QStringLiteral("AN")},
                      TooLongCase{"KUNST_VDJ", QStringLiteral("1234,56789"), QStringLiteral("12345,67890")},
                      TooLongCase{"DATPLATNOST", QStringLiteral("31.12.2006"), QStringLiteral("31.12.2006 ")}),
    [](const auto& test) { return std::string(test.param.column); });

TEST(RecordsetTest, AnOverlongTextKeepsTheStoredValueOfAnExistingRow)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    rs->addNew();
    rs->setValue(QStringLiteral("OVCE_POCET"), QStringLiteral("20"));
    rs->update();
    EXPECT_EQ(failureNumber([&] { rs->setValue(QStringLiteral("OVCE_POCET"), QStringLiteral("200000")); }),
              err::FieldTooLong);
    EXPECT_EQ(rs->value(QStringLiteral("OVCE_POCET")).toString(), QStringLiteral("20"));
    rs->update();
    auto again = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    EXPECT_EQ(again->value(QStringLiteral("OVCE_POCET")).toString(), QStringLiteral("20"));
}

struct NumberCase {
    const char* name;
    bool czech;
    QString text;
    std::optional<double> stored;  // nothing: the conversion is refused
};

void PrintTo(const NumberCase& c, std::ostream* os)
{
    *os << c.name;
}

class RegionalNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(RegionalNumberTest, TextIntoDoubleFollowsTheRegionalFormat)
{
    const NumberCase& c = GetParam();
    LocaleScope locale(c.czech ? LocaleScope::czech() : LocaleScope::english());
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    {
        auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
        rs->addNew();
        rs->setValue(QStringLiteral("DATPLATNOST"), QStringLiteral("01.01.2006"));
        const int failure = failureNumber([&] { rs->setValue(QStringLiteral("VDJA"), c.text); });
        EXPECT_EQ(failure, c.stored ? 0 : err::DataTypeConversion);
        rs->update();
    }
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    ASSERT_EQ(rs->rowCount(), 1);
    EXPECT_EQ(rs->value(QStringLiteral("DATPLATNOST")).toString(), QStringLiteral("01.01.2006"));
    const QVariant v = rs->value(QStringLiteral("VDJA"));
    if (c.stored) {
        EXPECT_EQ(v.typeId(), QMetaType::Double);
        EXPECT_DOUBLE_EQ(v.toDouble(), *c.stored);
    } else {
        EXPECT_TRUE(v.isNull());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RegionalNumberTest,
    ::testing::Values(NumberCase{"czech_comma", true, QStringLiteral("12,5"), 12.5},
                      NumberCase{"czech_blanks_around", true, QStringLiteral("  12,5 "), 12.5},
                      NumberCase{"czech_grouped", true, QStringLiteral("1 200,5"), 1200.5},
                      NumberCase{"czech_grouped_nbsp", true, QStringLiteral("1\u00a0200"), 1200.0},
                      NumberCase{"czech_negative", true, QStringLiteral("-3"), -3.0},
                      NumberCase{"czech_exponent", true, QStringLiteral("1,5E2"), 150.0},
                      NumberCase{"czech_point", true, QStringLiteral("12.5"), 12.5},
                      NumberCase{"czech_point_and_comma", true, QStringLiteral("1.200,5"), std::nullopt},
                      NumberCase{"czech_letters", true, QStringLiteral("abc"), std::nullopt},
                      NumberCase{"czech_trailing_letters", true, QStringLiteral("12ks"), std::nullopt},
                      NumberCase{"czech_empty", true, QStringLiteral(""), std::nullopt},
                      NumberCase{"czech_blank", true, QStringLiteral("   "), std::nullopt},
                      NumberCase{"czech_infinity", true, QStringLiteral("inf"), std::nullopt},
                      NumberCase{"english_point", false, QStringLiteral("12.5"), 12.5},
                      NumberCase{"english_grouped", false, QStringLiteral("1,200.5"), 1200.5},
                      // Either decimal sign is read: "," that cannot group thousands is one.
                      NumberCase{"english_comma", false, QStringLiteral("12,5"), 12.5},
                      NumberCase{"english_letters", false, QStringLiteral("abc"), std::nullopt}),
    [](const auto& test) { return std::string(test.param.name); });

struct NumberTextCase {
    const char* name;
    bool czech;
    QVariant value;
    QString text;
};

void PrintTo(const NumberTextCase& c, std::ostream* os)
{
    *os << c.name;
}

class NumberIntoTextTest : public ::testing::TestWithParam<NumberTextCase> {};

TEST_P(NumberIntoTextTest, ANumberIsStoredAsItsRegionalText)
{
    const NumberTextCase& c = GetParam();
    LocaleScope locale(c.czech ? LocaleScope::czech() : LocaleScope::english());
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    {
        auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
        rs->addNew();
        rs->setValue(QStringLiteral("SKOTML_VDJ"), c.value);
        rs->update();
    }
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    const QVariant v = rs->value(QStringLiteral("SKOTML_VDJ"));
    EXPECT_EQ(v.typeId(), QMetaType::QString);
    EXPECT_EQ(v.toString(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, NumberIntoTextTest,
    ::testing::Values(NumberTextCase{"czech_fraction", true, QVariant(4.2), QStringLiteral("4,2")},
                      NumberTextCase{"czech_zero", true, QVariant(0), QStringLiteral("0")},
                      NumberTextCase{"czech_int", true, QVariant(7), QStringLiteral("7")},
                      NumberTextCase{"czech_longlong", true, QVariant(qlonglong(-12)), QStringLiteral("-12")},
                      NumberTextCase{"english_fraction", false, QVariant(4.2), QStringLiteral("4.2")}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(RecordsetTest, ANumberWhoseTextIsTooLongIsRefused)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    rs->addNew();
    EXPECT_EQ(failureNumber([&] { rs->setValue(QStringLiteral("SKOTML_POCET"), 123456); }), err::FieldTooLong);
    EXPECT_EQ(failureNumber([&] { rs->setValue(QStringLiteral("SKOTML_POCET"), 1.25); }), 0);  // "1,25"
    EXPECT_EQ(rs->value(QStringLiteral("SKOTML_POCET")).toString(), QStringLiteral("1,25"));
}

TEST(RecordsetTest, NumbersGoIntoDoubleColumnsAndEveryColumnMayBeNull)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    {
        auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
        rs->addNew();
        rs->setValue(QStringLiteral("PICHA"), 0.8333333333333334);
        rs->setValue(QStringLiteral("PICHB"), 3);
        rs->setValue(QStringLiteral("SUMAVYMERADPB"), qlonglong(12));
        rs->setValue(QStringLiteral("DATPLATNOST"), QString());  // an empty text is a text
        rs->setValue(QStringLiteral("SKOTML_POCET"), QStringLiteral("5"));
        rs->setValue(QStringLiteral("SKOTML_POCET"), QVariant());  // and back to Null
        rs->update();
    }
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    EXPECT_EQ(rs->value(QStringLiteral("PICHA")).toDouble(), 0.8333333333333334);
    EXPECT_EQ(rs->value(QStringLiteral("PICHB")).toDouble(), 3.0);
    EXPECT_EQ(rs->value(QStringLiteral("SUMAVYMERADPB")).toDouble(), 12.0);
    EXPECT_EQ(rs->value(QStringLiteral("DATPLATNOST")).typeId(), QMetaType::QString);
    EXPECT_FALSE(rs->value(QStringLiteral("DATPLATNOST")).isNull());
    EXPECT_TRUE(rs->value(QStringLiteral("DATPLATNOST")).toString().isEmpty());
    EXPECT_TRUE(rs->value(QStringLiteral("SKOTML_POCET")).isNull());
    EXPECT_TRUE(rs->value(QStringLiteral("VDJA")).isNull());
    EXPECT_TRUE(rs->value(QStringLiteral("KUNST_KOEF")).isNull());
}

TEST(RecordsetTest, AnUnknownColumnFailsEvenWithoutACurrentRow)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    EXPECT_EQ(rs->columnIndex(QStringLiteral("SKOTDO6_POCET")), -1);
    EXPECT_EQ(failureNumber([&] { rs->value(QStringLiteral("SKOTDO6_POCET")); }), err::NoSuchColumn);
    rs->addNew();
    EXPECT_EQ(failureNumber([&] { rs->value(QStringLiteral("SKOTDO6_POCET")); }), err::NoSuchColumn);
    EXPECT_EQ(failureNumber([&] { rs->setValue(QStringLiteral("SKOTDO6_POCET"), QStringLiteral("1")); }),
              err::NoSuchColumn);
    // Names match regardless of case, as Jet matches them.
    EXPECT_EQ(failureNumber([&] { rs->setValue(QStringLiteral("skotml_pocet"), QStringLiteral("1")); }), 0);
}

// ---- moves -------------------------------------------------------------------------------------------

TEST(RecordsetTest, AnEmptyTableIsAtBothEnds)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA ORDER BY DATPLATNOST"));
    EXPECT_EQ(rs->rowCount(), 0);
    EXPECT_TRUE(rs->eof());
    EXPECT_TRUE(rs->bof());
    rs->moveLast();
    rs->moveFirst();
    EXPECT_TRUE(rs->eof());
    EXPECT_TRUE(rs->bof());
    EXPECT_EQ(failureNumber([&] { rs->moveNext(); }), err::NoCurrentRecord);
    EXPECT_EQ(failureNumber([&] { rs->value(QStringLiteral("VDJA")); }), err::NoCurrentRecord);
    EXPECT_EQ(failureNumber([&] { rs->setValue(QStringLiteral("VDJA"), 1.0); }), err::NoCurrentRecord);
    EXPECT_EQ(failureNumber([&] { rs->update(); }), err::NoCurrentRecord);
    EXPECT_EQ(failureNumber([&] { rs->moveTo(0); }), err::NoCurrentRecord);
}

TEST(RecordsetTest, MovesWalkTheRowsInTheQueryOrder)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    addDates(database, {QStringLiteral("03.2006"), QStringLiteral("01.2006"), QStringLiteral("02.2006")});
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA ORDER BY DATPLATNOST"));
    QSignalSpy moved(rs.get(), &Recordset::currentRowChanged);

    ASSERT_EQ(rs->rowCount(), 3);
    EXPECT_EQ(rs->position(), 0);
    EXPECT_FALSE(rs->bof());
    EXPECT_FALSE(rs->eof());
    EXPECT_EQ(rs->value(QStringLiteral("DATPLATNOST")).toString(), QStringLiteral("01.2006"));
    rs->moveNext();
    EXPECT_EQ(rs->value(QStringLiteral("DATPLATNOST")).toString(), QStringLiteral("02.2006"));
    rs->moveNext();
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_EQ(rs->position(), 3);
    EXPECT_EQ(failureNumber([&] { rs->moveNext(); }), err::NoCurrentRecord);
    EXPECT_EQ(failureNumber([&] { rs->value(QStringLiteral("DATPLATNOST")); }), err::NoCurrentRecord);
    rs->moveLast();
    EXPECT_EQ(rs->value(QStringLiteral("DATPLATNOST")).toString(), QStringLiteral("03.2006"));
    rs->moveFirst();
    EXPECT_EQ(rs->position(), 0);
    rs->moveTo(1);
    EXPECT_EQ(rs->value(QStringLiteral("DATPLATNOST")).toString(), QStringLiteral("02.2006"));
    EXPECT_EQ(failureNumber([&] { rs->moveTo(3); }), err::NoCurrentRecord);
    EXPECT_EQ(failureNumber([&] { rs->moveTo(-1); }), err::NoCurrentRecord);

    QList<int> positions;
    for (const auto& args : moved) positions << args.at(0).toInt();
    EXPECT_EQ(positions, QList<int>({1, 2, 3, 2, 0, 1}));

    // Without an order the rows come as they were added.
    auto plain = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    EXPECT_EQ(columnTexts(*plain, QStringLiteral("DATPLATNOST")),
              QStringList({QStringLiteral("03.2006"), QStringLiteral("01.2006"), QStringLiteral("02.2006")}));
}

TEST(RecordsetTest, AnEditIsStoredByUpdateAndRowsReadBackAsStored)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    addDates(database, {QStringLiteral("B"), QStringLiteral("A")});
    {
        auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA ORDER BY DATPLATNOST"));
        QSignalSpy stored(rs.get(), &Recordset::rowStored);
        rs->setValue(QStringLiteral("VDJA"), 1.5);
        rs->update();
        rs->moveNext();
        // Moving on from an edited row stores it, as a bound recordset does.
        rs->setValue(QStringLiteral("VDJA"), 2.5);
        rs->moveFirst();
        ASSERT_EQ(stored.count(), 2);
        EXPECT_EQ(stored.at(0).at(0).toInt(), 0);
        EXPECT_EQ(stored.at(1).at(0).toInt(), 1);
    }
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA ORDER BY DATPLATNOST"));
    EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("VDJA")).toDouble(), 1.5);
    rs->moveNext();
    EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("VDJA")).toDouble(), 2.5);
}

TEST(RecordsetTest, AnEditNotUpdatedIsLostOnClose)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    addDates(database, {QStringLiteral("A")});
    {
        auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
        rs->setValue(QStringLiteral("VDJA"), 1.5);
        rs->addNew();  // not updated: given up with the close
        rs->setValue(QStringLiteral("DATPLATNOST"), QStringLiteral("B"));
    }
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    ASSERT_EQ(rs->rowCount(), 1);
    EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("VDJA")).toDouble(), 1.5);  // stored when addNew left the row
}

TEST(RecordsetTest, TwoConnectionsChangingDifferentColumnsOfARowKeepBoth)
{
    TestProgram program;
    const QString path = program.path(QStringLiteral("TMP1.MDB"));
    WorkingDatabase first;
    createWorkingTable(first, path);
    addDates(first, {QStringLiteral("A")});
    WorkingDatabase second;
    second.open(path);
    auto a = first.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    auto b = second.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    a->setValue(QStringLiteral("VDJA"), 1.0);
    a->update();
    b->setValue(QStringLiteral("VDJB"), 2.0);
    b->update();
    auto check = first.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    EXPECT_DOUBLE_EQ(check->value(QStringLiteral("VDJA")).toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(check->value(QStringLiteral("VDJB")).toDouble(), 2.0);
}

TEST(RecordsetTest, ClosingTheDatabaseClosesItsRecordsets)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    addDates(database, {QStringLiteral("A")});
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    QSignalSpy reset(rs.get(), &Recordset::rowsReset);
    database.close();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(rs->rowCount(), 0);
    EXPECT_TRUE(rs->eof());
    EXPECT_NE(failureNumber([&] { rs->moveFirst(); }), 0);
    EXPECT_NE(failureNumber([&] { rs->addNew(); }), 0);
}

TEST(RecordsetTest, OnlySelectAllQueriesOpen)
{
    TestProgram program;
    WorkingDatabase database;
    createWorkingTable(database, program.path(QStringLiteral("TMP1.MDB")));
    EXPECT_EQ(failureNumber([&] { database.openRecordset(QStringLiteral("SELECT VDJA FROM TABULKA")); }),
              err::DatabaseFailure);
    EXPECT_EQ(
        failureNumber([&] { database.openRecordset(QStringLiteral("select * from [TABULKA] order by VDJA DESC")); }),
        0);
}

// ---- batches -----------------------------------------------------------------------------------------

TEST(RecordsetTest, ABatchStoresTenThousandRowsAndTheirUpdates)
{
    TestProgram program;
    const QString path = program.path(QStringLiteral("TMP1.MDB"));
    WorkingDatabase database;
    createWorkingTable(database, path);
    constexpr int kRows = 10000;
    {
        auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
        rs->beginBatch();
        for (int i = 0; i < kRows; ++i) {
            rs->addNew();
            rs->setValue(QStringLiteral("DATPLATNOST"), QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')));
            rs->setValue(QStringLiteral("SKOTML_POCET"), QString::number(i % 1000));
            rs->setValue(QStringLiteral("SKOTML_KOEF"), 0.5);
            if (i % 1000 == 7)
                EXPECT_NE(failureNumber([&] { rs->setValue(QStringLiteral("VDJA"), QStringLiteral("x")); }), 0);
            else rs->setValue(QStringLiteral("VDJA"), QStringLiteral("%1,5").arg(i));
            rs->update();
        }
        rs->endBatch();
    }
    {
        auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA ORDER BY DATPLATNOST"));
        ASSERT_EQ(rs->rowCount(), kRows);
        rs->beginBatch();
        for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
            const double units = rs->value(QStringLiteral("SKOTML_POCET")).toString().toDouble() *
                                 rs->value(QStringLiteral("SKOTML_KOEF")).toDouble();
            rs->setValue(QStringLiteral("SKOTML_VDJ"), units);
            rs->update();
        }
        rs->endBatch();
    }
    WorkingDatabase other;
    other.open(path);
    auto rs = other.openRecordset(QStringLiteral("SELECT * FROM TABULKA ORDER BY DATPLATNOST"));
    ASSERT_EQ(rs->rowCount(), kRows);
    for (int i : {0, 7, 1234, 9999}) {
        rs->moveTo(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(rs->value(QStringLiteral("DATPLATNOST")).toString(),
                  QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')));
        EXPECT_EQ(rs->value(QStringLiteral("SKOTML_POCET")).toString(), QString::number(i % 1000));
        EXPECT_EQ(rs->value(QStringLiteral("SKOTML_VDJ")).toString(), QLocale().toString((i % 1000) * 0.5, 'g', 15));
        if (i % 1000 == 7) EXPECT_TRUE(rs->value(QStringLiteral("VDJA")).isNull());
        else EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("VDJA")).toDouble(), i + 0.5);
    }
}

TEST(RecordsetTest, ABatchIsOneTransactionSeenByOthersOnlyWhenEnded)
{
    TestProgram program;
    const QString path = program.path(QStringLiteral("TMP1.MDB"));
    WorkingDatabase database;
    createWorkingTable(database, path);
    WorkingDatabase other;
    other.open(path);
    auto rowsSeenByOther = [&] { return other.openRecordset(QStringLiteral("SELECT * FROM TABULKA"))->rowCount(); };

    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    rs->beginBatch();
    rs->beginBatch();  // batches nest: only the outermost end commits
    for (const char* date : {"A", "B"}) {
        rs->addNew();
        rs->setValue(QStringLiteral("DATPLATNOST"), QString::fromLatin1(date));
        rs->update();
    }
    rs->endBatch();
    EXPECT_EQ(rowsSeenByOther(), 0);
    rs->endBatch();
    EXPECT_EQ(rowsSeenByOther(), 2);
    rs->endBatch();  // one end too many changes nothing
    EXPECT_EQ(rowsSeenByOther(), 2);
}

namespace {

// A fresh working database in the program folder with one table of the test's own.
void openWithTable(WorkingDatabase& database, const TestProgram& program, const QString& createStatement)
{
    WorkingDatabase::create(program.path(QStringLiteral("TMP1.MDB")), QStringLiteral(";LANGID=0x0405"));
    database.open(program.path(QStringLiteral("TMP1.MDB")));
    database.execute(createStatement);
}

}  // namespace

// Texts go into the file and come back character for character; a text is never read back as Null
// nor Null as a text.
TEST(RecordsetTest, TextsAndNullsReadBackAsStored)
{
    TestProgram program;
    WorkingDatabase database;
    openWithTable(database, program, QStringLiteral("CREATE TABLE T (N DOUBLE, S TEXT(50))"));
    const QStringList texts = {QStringLiteral("Žluťoučký kůň"), QString(), QStringLiteral(""),
                               QStringLiteral("a\u0000b"), QStringLiteral("\U0001F404 ř")};
    {
        auto rs = database.openRecordset(QStringLiteral("SELECT * FROM T"));
        rs->beginBatch();
        for (int i = 0; i < texts.size(); ++i) {
            rs->addNew();
            rs->setValue(QStringLiteral("N"), double(i));
            rs->setValue(QStringLiteral("S"), texts.at(i).isNull() ? QVariant() : QVariant(texts.at(i)));
            rs->update();
        }
        rs->endBatch();
    }
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM T ORDER BY N"));
    for (int i = 0; i < texts.size(); ++i, rs->moveNext()) {
        const QVariant v = rs->value(QStringLiteral("S"));
        if (texts.at(i).isNull()) {
            EXPECT_FALSE(v.isValid()) << i;
        } else {
            ASSERT_EQ(v.typeId(), QMetaType::QString) << i;
            EXPECT_EQ(v.toString(), texts.at(i)) << i;
        }
    }
}

// A row that cannot be stored is given up when the cursor moves on: the row shows its stored values
// again, every column the edit touched included, and the move still happens.
TEST(RecordsetTest, ARowThatCannotBeStoredShowsItsStoredValuesAgain)
{
    TestProgram program;
    WorkingDatabase database;
    openWithTable(database, program, QStringLiteral("CREATE TABLE T (K TEXT(10) UNIQUE, V DOUBLE, W TEXT(10))"));
    {
        auto rs = database.openRecordset(QStringLiteral("SELECT * FROM T"));
        for (const char* key : {"a", "b"}) {
            rs->addNew();
            rs->setValue(QStringLiteral("K"), QString::fromLatin1(key));
            rs->setValue(QStringLiteral("W"), QStringLiteral("w"));
            rs->update();
        }
    }
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM T ORDER BY K"));
    rs->moveNext();
    rs->setValue(QStringLiteral("V"), 5.0);
    rs->setValue(QStringLiteral("W"), QStringLiteral("changed"));
    rs->setValue(QStringLiteral("K"), QStringLiteral("a"));  // the key of the first row: refused
    rs->setValue(QStringLiteral("W"), QStringLiteral("again"));
    EXPECT_THROW(rs->moveFirst(), Failure);
    EXPECT_EQ(rs->position(), 0);
    EXPECT_EQ(rs->valueAt(1, rs->columnIndex(QStringLiteral("K"))).toString(), QStringLiteral("b"));
    EXPECT_FALSE(rs->valueAt(1, rs->columnIndex(QStringLiteral("V"))).isValid());
    EXPECT_EQ(rs->valueAt(1, rs->columnIndex(QStringLiteral("W"))).toString(), QStringLiteral("w"));
    auto check = database.openRecordset(QStringLiteral("SELECT * FROM T ORDER BY K"));
    check->moveNext();
    EXPECT_EQ(check->value(QStringLiteral("W")).toString(), QStringLiteral("w"));
}
