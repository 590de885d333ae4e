#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "editor/ui/EditorWindow.h"
#include "request/Archive.h"
#include "request/ArchiveIndex.h"
#include "request/ui/ArchiveWindow.h"
#include "request/ui/ComparisonWindow.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;
using request::ArchivedResult;

TEST(ArchiveNames, ReadBackWhatTheArchiveWrites)
{
    struct Case {
        const char* name;
        const char* applicant;  // nullptr: no name of the archive
        const char* type;
        const char* variant;
        const char* period;
        bool edited;
    };
    const Case cases[] = {
        {"1000234567_typ4C_2006_20261208-093012", "1000234567", "4", "C", "2006", false},
        {"650412_1239_typ4A_2005_20061231-140000-2_upraveno", "650412_1239", "4", "A", "2005", true},
        {"71234567_typ2B_2006-02-01_20061231-140000", "71234567", "2", "B", "2006-02-01", false},
        // The form before the variant joined the name.
        {"71234567_typ2_2006-02-01_20061231-140000", "71234567", "2", "", "2006-02-01", false},
        {"poznamky", nullptr, "", "", "", false},
        {"1000234567_typ4C_2006_2026", nullptr, "", "", "", false},
    };
    for (const Case& c : cases) {
        const auto r = request::readArchiveName(QStringLiteral("/archiv/") + QString::fromUtf8(c.name));
        ASSERT_EQ(r.has_value(), c.applicant != nullptr) << c.name;
        if (!r) continue;
        EXPECT_EQ(r->applicant, QString::fromUtf8(c.applicant)) << c.name;
        EXPECT_EQ(
            r->type + r->variant + QLatin1Char('|') + r->period,
            QString::fromUtf8(c.type) + QString::fromUtf8(c.variant) + QLatin1Char('|') + QString::fromUtf8(c.period))
            << c.name;
        EXPECT_EQ(r->edited, c.edited) << c.name;
        EXPECT_TRUE(r->time.isValid()) << c.name;
    }
    const request::RequestFields fields{{}, {}, {}, QStringLiteral("650412/1239"), "2", "B", "01.02.2006", "0"};
    const auto written =
        request::readArchiveName(request::archiveName(fields, QDateTime(QDate(2026, 1, 2), QTime(3, 4))));
    ASSERT_TRUE(written);
    EXPECT_EQ(written->applicant + written->type + written->variant + written->period,
              QStringLiteral("650412_12392B2006-02-01"));
}

class Archive : public ::testing::Test {
protected:
    void SetUp() override
    {
        program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
        QDir().mkpath(program.path(QStringLiteral("archiv/chyby")));
        program.write(QStringLiteral("ZORVA_VDJ.INI"), "[LIMITY]\r\nTYP4_MAX=1,2\r\n");
        const QByteArray first = dataFile(QStringLiteral("samples/response-first.xml"));
        keep(QStringLiteral("1000234567_typ4A_2005_20061231-140000"), first);
        // The same applicant an hour later, with the first date's figures and the yearly figure changed.
        QByteArray later = first;
        later.replace("<RUX:PICHROKA>1.154</RUX:PICHROKA>", "<RUX:PICHROKA>1.250</RUX:PICHROKA>");
        later.replace("PICHA=\"1.16291089518296\"", "PICHA=\"1.3\"");
        keep(QStringLiteral("1000234567_typ4A_2005_20061231-150000"), later);
        keep(QStringLiteral("1000876543_typ5C_2006_20261208-093012"),
             dataFile(QStringLiteral("samples/response-2006.xml")));
        program.write(QStringLiteral("archiv/1000876543_typ5C_2006_20261208-093012.pdf"), "%PDF");
        // Neither a failure nor a file of another kind is a result.
        program.write(QStringLiteral("archiv/chyby/1000234567_typ4A_2005_20061231-130000.xml"),
                      dataFile(QStringLiteral("samples/response-fault.xml")));
        program.write(QStringLiteral("archiv/poznamky.xml"), "<x/>");
    }
    void keep(const QString& name, const QByteArray& xml)
    {
        program.write(QStringLiteral("archiv/") + name + QStringLiteral(".xml"), xml);
        program.write(QStringLiteral("archiv/") + name + QStringLiteral(".htm"), "<html/>");
    }
    void select(request::ArchiveWindow& window, std::initializer_list<int> rows)
    {
        window.list->clearSelection();
        for (int row : rows)
            window.list->selectionModel()->select(window.list->model()->index(row, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QString cell(QTableWidget* table, int row, int column) { return table->item(row, column)->text(); }

    TestProgram program;
};

TEST_F(Archive, TheWindowListsFindsAndOpensTheKeptResults)
{
    request::ArchiveWindow window(program.ctx);
    keepScreenshot(window, "Archive");
    ASSERT_EQ(window.list->rowCount(), 3);
    // The newest first, named and judged by the settings' limits of its type.
    EXPECT_EQ(cell(window.list, 0, 0), QStringLiteral("1000876543"));
    EXPECT_EQ(cell(window.list, 1, 1), QStringLiteral("Rodinná farma Dvořák"));
    EXPECT_EQ(cell(window.list, 1, 3), QStringLiteral("A"));
    EXPECT_EQ(cell(window.list, 1, 7), QStringLiteral("1,250"));
    EXPECT_EQ(cell(window.list, 1, 9), QStringLiteral("nad limitem (-0,050)"));
    EXPECT_EQ(cell(window.list, 0, 9), QString());  // no limits for type 5

    struct Filter {
        const char* text;
        int rows;
    };
    for (const Filter f :
         {Filter{"biofarma", 1}, Filter{"2005", 2}, Filter{"1000234567 2005", 2}, Filter{"nikdo", 0}, Filter{"", 3}}) {
        window.filterBox->setText(QString::fromUtf8(f.text));
        EXPECT_EQ(window.shownCount(), f.rows) << f.text;
    }
    // A result the filter hides is no longer the one the buttons act on.
    select(window, {1});
    window.filterBox->setText(QStringLiteral("biofarma"));
    EXPECT_FALSE(window.openPageButton->isEnabled());
    window.filterBox->clear();

    select(window, {1});
    EXPECT_FALSE(window.openPdfButton->isEnabled());
    window.openPageButton->click();
    ASSERT_EQ(program.shell.calls.size(), 1u);
    EXPECT_TRUE(program.shell.calls[0].file.endsWith(QStringLiteral("1000234567_typ4A_2005_20061231-150000.htm")));
    select(window, {0});
    EXPECT_TRUE(window.openPdfButton->isEnabled());
    window.openPdfButton->click();
    EXPECT_TRUE(program.shell.calls.back().file.endsWith(QStringLiteral(".pdf")));
}

TEST_F(Archive, TwoResultsOfOneApplicantAreComparedDateByDate)
{
    request::ArchiveWindow window(program.ctx);
    QStringList firstColumn;
    QStringList secondRow;
    window.showComparison = [&](QDialog& dialog) {
        keepScreenshot(dialog, "Comparison");
        auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("comparisonTable"));
        for (int row = 0; row < table->rowCount(); ++row) firstColumn << cell(table, row, 0);
        for (int column = 0; column < table->columnCount(); ++column) secondRow << cell(table, 1, column);
    };
    select(window, {0, 1});
    EXPECT_TRUE(window.compareButton->isEnabled());
    window.compareButton->click();
    EXPECT_EQ(program.messages.texts(), QStringList{QStringLiteral("Porovnat lze jen dva výsledky jednoho žadatele.")});
    EXPECT_TRUE(firstColumn.isEmpty());

    select(window, {1, 2});
    window.compareButton->click();
    ASSERT_EQ(firstColumn.size(), 13);  // the yearly figures, then twelve validity dates
    EXPECT_EQ(firstColumn[1], QStringLiteral("1. 1. 2005"));
    // The older result first: the difference is the change since then.
    EXPECT_EQ(secondRow.mid(1, 3),
              (QStringList{QStringLiteral("1,163"), QStringLiteral("1,300"), QStringLiteral("+0,137")}));
    EXPECT_EQ(secondRow[6], QStringLiteral("0,000"));
}

TEST_F(Archive, APageShownFromTheEditorIsFiledAsEdited)
{
    request::ArchiveWindow window(program.ctx);
    window.showEditor = [](editor::EditorWindow& editor) { editor.cmdZobraz_Click(); };
    program.clock.time = QDateTime(QDate(2026, 12, 9), QTime(8, 0));
    select(window, {1});
    window.openEditorButton->click();
    ASSERT_EQ(window.list->rowCount(), 4);
    EXPECT_EQ(cell(window.list, 0, 6), QStringLiteral("ano"));
    EXPECT_TRUE(program.exists(QStringLiteral("archiv/1000234567_typ4C_2005_20261209-080000_upraveno.htm")));
    EXPECT_EQ(cell(window.list, 1, 6), QStringLiteral("ne"));
}

// The list remembers what it read beside the answers; whatever that file holds, or whether it can
// be written at all, the list is what the answers say, and a changed or removed answer is noticed.
TEST_F(Archive, TheRememberedListNeverOverridesTheAnswers)
{
    auto listed = [&] {
        QStringList out;
        for (const ArchivedResult& r : request::archivedResults(program.ctx))
            out << r.applicant + QLatin1Char(' ') + r.name + QLatin1Char(' ') + r.pichA + QLatin1Char(' ') + r.period;
        return out;
    };
    const QString cache = program.path(QStringLiteral("archiv/rejstrik.tsv"));
    const QStringList truth = listed();
    ASSERT_EQ(truth.size(), 3);
    EXPECT_TRUE(QFile::exists(cache));
    EXPECT_EQ(listed(), truth);

    const QByteArray contents[] = {
        "",
        "jiny program 1\n1000234567_typ4A_2005_20061231-140000.xml\t1\t1\tCizi\t9\t9\t1999",
        "ZORVA_VDJ rejstrik 1\n1000234567_typ4A_2005_20061231-140000.xml\t-1\tx\tCizi\t9\t9\t1999\n\t\t\n%ZZ",
        QByteArray(100000, '\t'),
    };
    for (const QByteArray& c : contents) {
        QFile::remove(cache);
        program.write(QStringLiteral("archiv/rejstrik.tsv"), c);
        EXPECT_EQ(listed(), truth) << c.left(40).constData();
    }

    // A changed answer is a file of another size; a removed one leaves the list and the file.
    QByteArray changed = dataFile(QStringLiteral("samples/response-first.xml"));
    changed.replace("<RUX:PICHROKA>1.154</RUX:PICHROKA>", "<RUX:PICHROKA>1.0999</RUX:PICHROKA>");
    keep(QStringLiteral("1000234567_typ4A_2005_20061231-140000"), changed);
    EXPECT_TRUE(listed().contains(QStringLiteral("1000234567 Rodinná farma Dvořák 1.0999 2005")));
    QFile::remove(program.path(QStringLiteral("archiv/1000876543_typ5C_2006_20261208-093012.xml")));
    EXPECT_EQ(listed().size(), 2);
    EXPECT_FALSE(program.read(QStringLiteral("archiv/rejstrik.tsv")).contains("1000876543"));

    // Where the file cannot be, the list is read from the answers every time, and nobody is told.
    QFile::remove(cache);
    QDir().mkpath(cache);
    EXPECT_EQ(listed().size(), 2);
    EXPECT_EQ(listed().size(), 2);
    EXPECT_TRUE(program.messages.shown.empty());
}
