// The data control and the model over its recordset, the path by which the editor's grid and bound
// boxes see and change the working table.
#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QDataWidgetMapper>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>

#include "platform/DataControl.h"
#include "platform/DatabaseTestSupport.h"
#include "platform/Recordset.h"
#include "platform/WorkingDatabase.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::db;
using namespace zorva::test;

namespace {

const QString kOrdered = QStringLiteral("SELECT * FROM TABULKA ORDER BY DATPLATNOST");

// A working database filled as the loading fills it: through its own connection, closed afterwards.
QString filledDatabase(const TestProgram& program)
{
    const QString path = program.path(QStringLiteral("TMP20061231140000000_.MDB"));
    WorkingDatabase database;
    createWorkingTable(database, path);
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    struct Row {
        const char* date;
        double acreage;
        const char* count;
    };
    for (const Row& row : {Row{"01.06.2006", 12.5, "10"}, Row{"01.01.2006", 0, "3"}, Row{"01.03.2006", 7.25, ""}}) {
        rs->addNew();
        rs->setValue(QStringLiteral("DATPLATNOST"), QString::fromLatin1(row.date));
        rs->setValue(QStringLiteral("SUMAVYMERADPB"), row.acreage);
        rs->setValue(QStringLiteral("SKOTML_POCET"), QString::fromLatin1(row.count));
        rs->setValue(QStringLiteral("SKOTML_KOEF"), 0.6);
        rs->update();
    }
    rs->close();
    database.close();
    return path;
}

void openControl(DataControl& control, const QString& path)
{
    control.setConnectionString(connectionStringFor(path));
    control.setRecordSource(kOrdered);
    control.refresh();
}

// What a fresh connection reads from the file for the row with the given date.
QVariant storedValue(const QString& path, const QString& date, const QString& column)
{
    WorkingDatabase database;
    database.open(path);
    auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
    for (; !rs->eof(); rs->moveNext())
        if (rs->value(QStringLiteral("DATPLATNOST")).toString() == date) return rs->value(column);
    ADD_FAILURE() << "no row " << date.toStdString();
    return {};
}

}  // namespace

// ---- data control ------------------------------------------------------------------------------------

TEST(DataControlTest, TakesThePathFromTheConnectionString)
{
    DataControl control;
    control.setConnectionString(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/tmp/a b/TMP1.MDB;User ID=admin"));
    EXPECT_EQ(control.databasePath(), QStringLiteral("/tmp/a b/TMP1.MDB"));
    control.setConnectionString(QStringLiteral("data source = \"/x/TMP2.MDB\" ; Provider=Microsoft.Jet.OLEDB.4.0"));
    EXPECT_EQ(control.databasePath(), QStringLiteral("/x/TMP2.MDB"));
    EXPECT_EQ(control.connectionString(),
              QStringLiteral("data source = \"/x/TMP2.MDB\" ; Provider=Microsoft.Jet.OLEDB.4.0"));
}

TEST(DataControlTest, RefreshOfAMissingFileFailsAndCreatesNothing)
{
    TestProgram program;
    const QString path = program.path(QStringLiteral("TMP404.MDB"));
    DataControl control;
    control.setConnectionString(connectionStringFor(path));
    control.setRecordSource(kOrdered);
    EXPECT_EQ(failureNumber([&] { control.refresh(); }), err::FileNotFound);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(control.isOpen());
    EXPECT_EQ(control.recordset(), nullptr);
    ASSERT_NE(control.model(), nullptr);
    EXPECT_EQ(control.model()->rowCount(), 0);
}

TEST(DataControlTest, RefreshWithoutADataSourceFails)
{
    DataControl control;
    control.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=admin"));
    control.setRecordSource(kOrdered);
    EXPECT_NE(failureNumber([&] { control.refresh(); }), 0);
    EXPECT_FALSE(control.isOpen());
}

TEST(DataControlTest, SeesTheRowsStoredThroughAnotherConnectionInItsOrder)
{
    TestProgram program;
    const QString path = filledDatabase(program);
    DataControl control;
    QSignalSpy refreshed(&control, &DataControl::refreshed);
    openControl(control, path);
    EXPECT_EQ(refreshed.count(), 1);
    ASSERT_TRUE(control.isOpen());
    Recordset* rs = control.recordset();
    ASSERT_NE(rs, nullptr);
    ASSERT_EQ(rs->rowCount(), 3);
    EXPECT_EQ(rs->value(QStringLiteral("DATPLATNOST")).toString(), QStringLiteral("01.01.2006"));
    rs->moveLast();
    EXPECT_EQ(rs->value(QStringLiteral("DATPLATNOST")).toString(), QStringLiteral("01.06.2006"));
    EXPECT_DOUBLE_EQ(rs->value(QStringLiteral("SUMAVYMERADPB")).toDouble(), 12.5);
}

TEST(DataControlTest, KeepsItsConnectionWhileAnotherOneWritesAndCloses)
{
    TestProgram program;
    const QString path = filledDatabase(program);
    DataControl control;
    openControl(control, path);
    {
        WorkingDatabase other;
        other.open(path);
        auto rs = other.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
        rs->addNew();
        rs->setValue(QStringLiteral("DATPLATNOST"), QStringLiteral("01.12.2006"));
        rs->update();
    }
    // The control's rows are those of its last refresh; it can still store through its connection.
    Recordset* rs = control.recordset();
    EXPECT_EQ(rs->rowCount(), 3);
    rs->setValue(QStringLiteral("VDJA"), 4.5);
    rs->update();
    EXPECT_DOUBLE_EQ(storedValue(path, QStringLiteral("01.01.2006"), QStringLiteral("VDJA")).toDouble(), 4.5);
    control.refresh();
    EXPECT_EQ(control.recordset()->rowCount(), 4);
}

// ---- model -------------------------------------------------------------------------------------------

TEST(RecordsetModelTest, ShowsEveryColumnWithItsNameAndTheValuesAsText)
{
    TestProgram program;
    DataControl control;
    openControl(control, filledDatabase(program));
    RecordsetModel* model = control.model();
    ASSERT_EQ(model->rowCount(), 3);
    ASSERT_EQ(model->columnCount(), 38);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("DATPLATNOST"));
    EXPECT_EQ(model->headerData(37, Qt::Horizontal).toString(), QStringLiteral("KUNST_KOEF"));
    const int date = model->columnOf(QStringLiteral("DATPLATNOST"));
    const int acreage = model->columnOf(QStringLiteral("SUMAVYMERADPB"));
    const int vdja = model->columnOf(QStringLiteral("VDJA"));
    const int count = model->columnOf(QStringLiteral("SKOTML_POCET"));
    EXPECT_EQ(model->columnOf(QStringLiteral("NIC")), -1);
    EXPECT_EQ(model->data(model->index(2, date)).toString(), QStringLiteral("01.06.2006"));
    EXPECT_EQ(model->data(model->index(2, acreage)).toString(), QStringLiteral("12,5"));  // Czech settings
    EXPECT_EQ(model->data(model->index(2, acreage), Qt::EditRole).toString(), QStringLiteral("12,5"));
    EXPECT_EQ(model->data(model->index(2, vdja)).toString(), QString());   // Null
    EXPECT_EQ(model->data(model->index(1, count)).toString(), QString());  // empty text
    EXPECT_EQ(model->data(model->index(0, count)).toString(), QStringLiteral("3"));
}

TEST(RecordsetModelTest, OnlyTheNamedColumnsAreEditable)
{
    TestProgram program;
    DataControl control;
    openControl(control, filledDatabase(program));
    RecordsetModel* model = control.model();
    model->setEditableColumns({QStringLiteral("SKOTML_POCET"), QStringLiteral("SUMAVYMERADPB")});
    const QModelIndex date = model->index(0, model->columnOf(QStringLiteral("DATPLATNOST")));
    const QModelIndex count = model->index(0, model->columnOf(QStringLiteral("SKOTML_POCET")));
    EXPECT_FALSE(model->flags(date) & Qt::ItemIsEditable);
    EXPECT_TRUE(model->flags(count) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->setData(date, QStringLiteral("02.01.2006")));
    EXPECT_EQ(model->data(date).toString(), QStringLiteral("01.01.2006"));
}

TEST(RecordsetModelTest, AnEditIsStoredAndReadBackByAFreshRecordset)
{
    TestProgram program;
    const QString path = filledDatabase(program);
    DataControl control;
    openControl(control, path);
    RecordsetModel* model = control.model();
    model->setEditableColumns({QStringLiteral("SKOTML_POCET"), QStringLiteral("SUMAVYMERADPB")});
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QSignalSpy refused(model, &RecordsetModel::dataRefused);

    EXPECT_TRUE(model->setData(model->index(1, model->columnOf(QStringLiteral("SKOTML_POCET"))), QStringLiteral("25")));
    EXPECT_TRUE(
        model->setData(model->index(1, model->columnOf(QStringLiteral("SUMAVYMERADPB"))), QStringLiteral("3,75")));
    EXPECT_EQ(refused.count(), 0);
    EXPECT_GE(changed.count(), 2);
    EXPECT_EQ(storedValue(path, QStringLiteral("01.03.2006"), QStringLiteral("SKOTML_POCET")).toString(),
              QStringLiteral("25"));
    EXPECT_DOUBLE_EQ(storedValue(path, QStringLiteral("01.03.2006"), QStringLiteral("SUMAVYMERADPB")).toDouble(), 3.75);
    // A decimal point is a number too, also under Czech settings.
    EXPECT_TRUE(
        model->setData(model->index(1, model->columnOf(QStringLiteral("SUMAVYMERADPB"))), QStringLiteral("60.5")));
    EXPECT_DOUBLE_EQ(storedValue(path, QStringLiteral("01.03.2006"), QStringLiteral("SUMAVYMERADPB")).toDouble(), 60.5);

    // A cleared number box empties its column.
    EXPECT_TRUE(model->setData(model->index(1, model->columnOf(QStringLiteral("SUMAVYMERADPB"))), QStringLiteral(" ")));
    EXPECT_TRUE(storedValue(path, QStringLiteral("01.03.2006"), QStringLiteral("SUMAVYMERADPB")).isNull());
}

struct RefusedCase {
    const char* column;
    const char* text;
    int number;
};

void PrintTo(const RefusedCase& c, std::ostream* os)
{
    *os << c.column << " \"" << c.text << "\"";
}

class RefusedEditTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedEditTest, IsReportedAndLeavesTheValue)
{
    const RefusedCase& c = GetParam();
    const QString column = QString::fromLatin1(c.column);
    TestProgram program;
    const QString path = filledDatabase(program);
    DataControl control;
    openControl(control, path);
    RecordsetModel* model = control.model();
    model->setEditableColumns({column});
    QSignalSpy refused(model, &RecordsetModel::dataRefused);
    const QModelIndex cell = model->index(2, model->columnOf(column));
    const QString before = model->data(cell).toString();

    EXPECT_FALSE(model->setData(cell, QString::fromUtf8(c.text)));
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused.at(0).at(0).toString(), column);
    EXPECT_EQ(refused.at(0).at(1).toString(), QString::fromUtf8(c.text));
    EXPECT_EQ(refused.at(0).at(2).toInt(), c.number);
    EXPECT_EQ(model->data(cell).toString(), before);
    EXPECT_EQ(storedValue(path, QStringLiteral("01.06.2006"), column).toString(),
              column == QLatin1String("SUMAVYMERADPB") ? QStringLiteral("12.5") : before);
}

INSTANTIATE_TEST_SUITE_P(Values, RefusedEditTest,
                         ::testing::Values(RefusedCase{"SKOTML_POCET", "123456", err::FieldTooLong},
                                           RefusedCase{"SUMAVYMERADPB", "abc", err::DataTypeConversion},
                                           RefusedCase{"SUMAVYMERADPB", "12,5 ha", err::DataTypeConversion}),
                         [](const auto& test) {
                             return std::string(test.param.column) + "_" + std::to_string(test.index);
                         });

TEST(RecordsetModelTest, AnUnchangedTextWritesNothing)
{
    TestProgram program;
    DataControl control;
    openControl(control, filledDatabase(program));
    RecordsetModel* model = control.model();
    model->setEditableColumns({QStringLiteral("SKOTML_KOEF")});
    QSignalSpy stored(control.recordset(), &Recordset::rowStored);
    const QModelIndex cell = model->index(0, model->columnOf(QStringLiteral("SKOTML_KOEF")));
    EXPECT_TRUE(model->setData(cell, model->data(cell, Qt::EditRole)));
    EXPECT_EQ(stored.count(), 0);
}

TEST(RecordsetModelTest, FollowsRowsStoredThroughTheRecordset)
{
    TestProgram program;
    DataControl control;
    openControl(control, filledDatabase(program));
    RecordsetModel* model = control.model();
    // Checks every change the model announces against what it then reports; a breach aborts.
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    Recordset* rs = control.recordset();
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);

    // As the calculation does it: set columns of the current row, store it, go on.
    rs->moveNext();
    rs->setValue(QStringLiteral("SKOTML_VDJ"), QStringLiteral("6,00000"));
    rs->update();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex().row(), 1);
    EXPECT_EQ(changed.at(0).at(1).toModelIndex().column(), 37);
    EXPECT_EQ(model->data(model->index(1, model->columnOf(QStringLiteral("SKOTML_VDJ")))).toString(),
              QStringLiteral("6,00000"));

    rs->addNew();
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(model->rowCount(), 4);
    rs->setValue(QStringLiteral("DATPLATNOST"), QStringLiteral("31.12.2006"));
    rs->update();
    EXPECT_EQ(model->data(model->index(3, 0)).toString(), QStringLiteral("31.12.2006"));

    control.close();
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_EQ(model->columnCount(), 0);
}

TEST(RecordsetModelTest, ARecordsetGoingAwayLeavesAnEmptyModel)
{
    TestProgram program;
    const QString path = filledDatabase(program);
    WorkingDatabase database;
    database.open(path);
    RecordsetModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    {
        auto rs = database.openRecordset(kOrdered);
        model.setRecordset(rs.get());
        EXPECT_EQ(model.rowCount(), 3);
    }
    EXPECT_EQ(model.recordset(), nullptr);
    EXPECT_EQ(model.rowCount(), 0);
}

// ---- bound widgets -----------------------------------------------------------------------------------

TEST(BoundWidgetsTest, ABoxAndTheGridFollowTheRecordsetAndABoxEditIsStored)
{
    TestProgram program;
    const QString path = filledDatabase(program);
    DataControl control;
    openControl(control, path);
    RecordsetModel* model = control.model();
    model->setEditableColumns({QStringLiteral("SKOTML_POCET")});

    QTableView grid;
    grid.setModel(model);
    QLineEdit count;
    QDataWidgetMapper mapper;
    mapper.setModel(model);
    mapper.setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
    mapper.addMapping(&count, model->columnOf(QStringLiteral("SKOTML_POCET")));
    // The binding the editor window makes: the recordset's current row is the grid's and the box's.
    Recordset* rs = control.recordset();
    QObject::connect(rs, &Recordset::currentRowChanged, &mapper, [&](int row) {
        if (row >= 0 && row < rs->rowCount()) {
            mapper.setCurrentIndex(row);
            grid.selectRow(row);
        }
    });
    mapper.setCurrentIndex(rs->position());

    EXPECT_EQ(count.text(), QStringLiteral("3"));
    rs->moveNext();
    EXPECT_EQ(count.text(), QString());
    rs->moveNext();
    EXPECT_EQ(count.text(), QStringLiteral("10"));
    EXPECT_EQ(grid.currentIndex().row(), 2);

    count.setText(QStringLiteral("11"));
    EXPECT_TRUE(mapper.submit());
    EXPECT_EQ(rs->value(QStringLiteral("SKOTML_POCET")).toString(), QStringLiteral("11"));
    EXPECT_EQ(storedValue(path, QStringLiteral("01.06.2006"), QStringLiteral("SKOTML_POCET")).toString(),
              QStringLiteral("11"));

    // A calculation storing the current row shows in the box at once.
    rs->setValue(QStringLiteral("SKOTML_POCET"), QStringLiteral("12"));
    rs->update();
    EXPECT_EQ(count.text(), QStringLiteral("12"));
}
