#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolTip>

#include "ResponseBuilder.h"
#include "common/NumberText.h"
#include "editor/CategoryNames.h"
#include "editor/ui/EditorOpener.h"
#include "editor/ui/EditorWindow.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;
using editor::CategorySet;
using editor::EditorWindow;

namespace {

RowValues row(const char* date, const char* count, const char* acreage = "10")
{
    RowValues r;
    r.date = QString::fromLatin1(date);
    r.acreage = QString::fromLatin1(acreage);
    r.categories[QStringLiteral("SKOTML")] = {QString::fromLatin1(count), QStringLiteral("0"), QStringLiteral("0.6")};
    return r;
}

std::shared_ptr<xml::Document> response(const std::vector<RowValues>& rows)
{
    ResponseShape shape;
    shape.rows = rows;
    auto doc = std::make_shared<xml::Document>();
    doc->loadXml(buildResponse(shape));
    return doc;
}

void typeInto(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

}  // namespace

class EditorWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<EditorWindow> open(const CategorySet& set, std::shared_ptr<xml::Document> doc)
    {
        auto w = std::make_unique<EditorWindow>(program.ctx, set);
        w->setXmlDOM(std::move(doc));
        w->Startuj();
        w->show();
        return w;
    }
    TestProgram program;
};

TEST_F(EditorWindowTest, BothGenerationsAreTheOneWindowMadeFromTheirSet)
{
    struct Case {
        const CategorySet* set;
        int rightColumnLines;
    };
    for (const Case c : {Case{&CategorySet::first(), 0}, Case{&CategorySet::gen2006(), 7}}) {
        EditorWindow w(program.ctx, *c.set);
        EXPECT_EQ(w.objectName(), c.set->windowName);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("VDJ Editace"));
        auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        ASSERT_NE(tabs, nullptr);
        EXPECT_EQ(tabs->currentIndex(), 0);
        EXPECT_EQ(tabs->tabText(0), QStringLiteral("Přehled"));
        EXPECT_EQ(tabs->tabText(1), QStringLiteral("Datumy"));
        EXPECT_EQ(w.findChild<QPushButton*>(QStringLiteral("cmdPocitej"))->text(), QStringLiteral("Počítej"));
        EXPECT_EQ(w.findChild<QPushButton*>(QStringLiteral("cmdZobraz"))->text(), QStringLiteral("Zobraz"));
        EXPECT_EQ(w.findChild<QPushButton*>(QStringLiteral("cmdStorno"))->text(), QStringLiteral("Storno"));
        EXPECT_TRUE(w.chkHTML()->isChecked());
        ASSERT_NE(w.findChild<QTableView*>(QStringLiteral("TDBGrid1")), nullptr);

        int right = 0;
        const int leftX = w.box(c.set->categories[0].countColumn().prepend(QStringLiteral("txt")))->x();
        for (const auto& cat : c.set->categories) {
            QLineEdit* count = w.box(QStringLiteral("txt") + cat.countColumn());
            QLineEdit* units = w.box(QStringLiteral("txt") + cat.unitsColumn());
            QLineEdit* koef = w.box(QStringLiteral("txt") + cat.coefficientColumn());
            ASSERT_TRUE(count && units && koef) << cat.name.toStdString();
            EXPECT_FALSE(count->isReadOnly());
            EXPECT_EQ(count->maxLength(), 5);
            EXPECT_TRUE(units->isReadOnly());
            EXPECT_TRUE(koef->isReadOnly());
            EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lbl") + cat.name)->text(),
                      zorva::editor::reportName(cat.name));
            if (count->x() > leftX) ++right;
        }
        EXPECT_EQ(right, c.rightColumnLines);
        EXPECT_FALSE(w.box(QStringLiteral("txtSUMAVYMERADPB"))->isReadOnly());
        for (const char* locked :
             {"txtVDJA", "txtVDJB", "txtPICHA", "txtPICHB", "txtZADATELREGLPIS", "txtZADATELREGIRZ", "txtJISUBRUX",
              "txtICO", "txtRCI", "txtVARPICH", "txtPICHROKA", "txtPICHROKB"})
            EXPECT_TRUE(w.box(QString::fromLatin1(locked))->isReadOnly()) << locked;
        for (const char* open : {"txtIRZ_RCI", "txtIRZ_JME", "txtIRZ_PRI"})
            EXPECT_FALSE(w.box(QString::fromLatin1(open))->isReadOnly()) << open;
    }
}

TEST_F(EditorWindowTest, GridBoxesAndRecordsetShareOneCurrentRow)
{
    auto w = open(CategorySet::first(),
                  response({row("2005-03-01", "30"), row("2005-01-01", "10"), row("2005-02-01", "20")}));
    auto* grid = w->findChild<QTableView*>(QStringLiteral("TDBGrid1"));
    ASSERT_EQ(grid->model()->rowCount(), 3);
    int visible = 0;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        if (!grid->isColumnHidden(c)) {
            ++visible;
            EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString(), QStringLiteral("Datum"));
            // Dates as people write them; the service's text in the tooltip.
            EXPECT_EQ(grid->model()->index(0, c).data().toString(), QStringLiteral("1. 1. 2005"));
            EXPECT_EQ(grid->model()->index(0, c).data(Qt::ToolTipRole).toString(), QStringLiteral("2005-01-01"));
        }
    EXPECT_EQ(visible, 1);
    EXPECT_EQ(w->box(QStringLiteral("txtSKOTML_POCET"))->text(), QStringLiteral("10"));
    EXPECT_EQ(w->box(QStringLiteral("txtJISUBRUX"))->text(), QStringLiteral("1000234567"));
    EXPECT_EQ(w->findChild<QPlainTextEdit*>(QStringLiteral("txtIRZ_OJM"))->toPlainText(),
              QStringLiteral("Rodinná farma Dvořák"));

    grid->selectRow(2);
    EXPECT_EQ(w->session().recordset()->position(), 2);
    EXPECT_EQ(w->box(QStringLiteral("txtSKOTML_POCET"))->text(), QStringLiteral("30"));
    w->session().recordset()->moveTo(1);
    EXPECT_EQ(w->box(QStringLiteral("txtSKOTML_POCET"))->text(), QStringLiteral("20"));
    EXPECT_EQ(grid->currentIndex().row(), 1);
}

TEST_F(EditorWindowTest, AnEditInABoxIsPartOfTheNextRun)
{
    LocaleScope czech(LocaleScope::czech());
    RowValues r = row("2005-01-01", "10", "12.5");
    r.categories[QStringLiteral("SKOTML")].vdj = QStringLiteral("8.4");
    auto w = open(CategorySet::first(), response({r}));
    w->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
    EXPECT_EQ(w->box(QStringLiteral("txtSKOTML_VDJ"))->text(), QStringLiteral("8,40"));  // the service's "8.4"
    EXPECT_EQ(w->box(QStringLiteral("txtSKOTML_VDJ"))->toolTip(), QStringLiteral("8,4"));
    typeInto(w->box(QStringLiteral("txtSKOTML_POCET")), QStringLiteral("20"));
    // The edit is still in the box when the button is pressed.
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdPocitej")), Qt::LeftButton);
    // Units to two decimals and intensities to three, as the report shows them; the whole figure
    // in the tooltip.
    EXPECT_EQ(w->box(QStringLiteral("txtSKOTML_VDJ"))->text(), QStringLiteral("12,00"));
    EXPECT_EQ(w->box(QStringLiteral("txtSKOTML_VDJ"))->toolTip(), QStringLiteral("12,00000"));
    EXPECT_EQ(w->box(QStringLiteral("txtVDJA"))->text(), QStringLiteral("12,00"));
    EXPECT_EQ(w->box(QStringLiteral("txtPICHA"))->text(), QStringLiteral("0,960"));
    EXPECT_EQ(w->box(QStringLiteral("txtPICHA"))->toolTip(), QStringLiteral("0,96"));
    EXPECT_EQ(w->box(QStringLiteral("txtPICHROKA"))->text(), QStringLiteral("0,960"));
    EXPECT_EQ(w->xmlDOM()->selectSingle(QStringLiteral("//RUX:SKOTML")).text(), QStringLiteral("20"));
    // "Zobraz" right after an edit asks whether to compute first: "Storno" does nothing, "Ne" shows the
    // document as last computed, "Ano" computes and shows the edited counts.
    typeInto(w->box(QStringLiteral("txtSKOTML_POCET")), QStringLiteral("30"));
    int shown = 0;
    w->onZobraz = [&](EditorWindow&) { ++shown; };
    struct Case {
        Answer answer;
        int shownAfter;
        const char* count;
        const char* yearly;
    };
    int asked = 0;
    for (const Case& c : {Case{Answer::Cancel, 0, "20", "0,960"}, Case{Answer::No, 1, "20", "0,960"},
                          Case{Answer::Yes, 2, "30", "1,440"}}) {
        program.messages.answers = {c.answer};
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdZobraz")), Qt::LeftButton);
        EXPECT_EQ(program.messages.asked.size(), ++asked);
        EXPECT_EQ(program.messages.asked.last(),
                  QStringLiteral("Změny ještě nejsou přepočteny. Přepočítat před zobrazením?"));
        EXPECT_EQ(shown, c.shownAfter);
        EXPECT_EQ(w->xmlDOM()->selectSingle(QStringLiteral("//RUX:SKOTML")).text(), QString::fromLatin1(c.count));
        EXPECT_EQ(w->box(QStringLiteral("txtPICHROKA"))->text(), QString::fromLatin1(c.yearly));
    }
    // Once computed, nothing is asked.
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdZobraz")), Qt::LeftButton);
    EXPECT_EQ(program.messages.asked.size(), 3);
    EXPECT_EQ(shown, 3);
}

TEST_F(EditorWindowTest, StornoAndTheCloseBoxDeleteWorkingDatabasesOnly)
{
    program.write(QStringLiteral("TMP20050101000000000_.MDB"), "old");
    program.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), "<a/>");
    program.write(QStringLiteral("TMPx.txt"), "keep");

    auto w = open(CategorySet::first(), response({row("2005-01-01", "10")}));
    EXPECT_EQ(program.files(QStringLiteral("TMP*.MDB")).size(), 2);
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdStorno")), Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty());
    EXPECT_EQ(program.read(QStringLiteral("ZORVA_VDJ1B_response.xml")), QByteArray("<a/>"));
    EXPECT_TRUE(program.exists(QStringLiteral("TMPx.txt")));
    // Storno hides; the main window's unload then deletes a second time.
    program.write(QStringLiteral("TMPlater.MDB"), "x");
    w->unload();
    EXPECT_FALSE(program.exists(QStringLiteral("TMPlater.MDB")));

    // The close box deletes once; the unload that follows does nothing more.
    auto v = open(CategorySet::gen2006(), response({row("2006-01-01", "10")}));
    v->close();
    EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty());
    program.write(QStringLiteral("TMPlater.MDB"), "x");
    v->unload();
    EXPECT_TRUE(program.exists(QStringLiteral("TMPlater.MDB")));
}

TEST_F(EditorWindowTest, TheYearTextOrTheResponseChoosesTheWindowAndEachOpeningIsNew)
{
    struct Case {
        const char* year;
        const char* category;  // of the response's row; none: the response does not tell
        const char* window;
    };
    std::vector<EditorWindow*> seen;
    for (const Case c :
         {Case{"2006", "", "frmEditace2006"}, Case{"2007", "", "frmEditace2006"}, Case{"2005", "", "frmEditace"},
          Case{" 2006", "", "frmEditace"}, Case{"2005", "SKOTML", "frmEditace"}, Case{"2006", "SKOTML", "frmEditace"},
          Case{" 2006", "SKOTDO6", "frmEditace2006"}, Case{"01.02.2006", "SKOTDO6", "frmEditace2006"}}) {
        RowValues r = row("2005-01-01", "1");
        r.categories.clear();
        if (*c.category)
            r.categories[QString::fromLatin1(c.category)] = {QStringLiteral("1"), QStringLiteral("0"),
                                                             QStringLiteral("0.6")};
        QString name;
        editor::openEditorForYear(program.ctx, QString::fromLatin1(c.year), response({r}), nullptr,
                                  [&](EditorWindow& w) {
                                      name = w.objectName();
                                      seen.push_back(&w);
                                      EXPECT_FALSE(w.session().bPICHROKA && w.session().recordset() == nullptr);
                                  });
        EXPECT_EQ(name, QString::fromLatin1(c.window)) << c.year << " " << c.category;
        EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty()) << c.year;
    }
}

struct TypingCase {
    const char* box;
    const char* typed;
    const char* shown;    // after the edit is committed
    bool hint;            // the count hint appears under the box
    const char* message;  // a part of the message shown, or nothing
};

void PrintTo(const TypingCase& c, std::ostream* os)
{
    *os << c.box << " \"" << c.typed << "\"";
}

class EditorTyping : public EditorWindowTest, public ::testing::WithParamInterface<TypingCase> {};

// Counts take digits only, refused as they are typed; the acreage takes a number with either
// decimal sign, and a refusal names the field in plain words with the error's number.
TEST_P(EditorTyping, BoxesTakeWhatTheirFieldHolds)
{
    const TypingCase& c = GetParam();
    QToolTip::hideText();
    auto w = open(CategorySet::first(), response({row("2005-01-01", "10", "12.5")}));
    w->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
    QLineEdit* box = w->box(QString::fromLatin1(c.box));
    typeInto(box, QString::fromUtf8(c.typed));
    w->commitPendingEdit();
    EXPECT_EQ(box->text(), QString::fromUtf8(c.shown));
    EXPECT_EQ(QToolTip::isVisible() && QToolTip::text().contains(QStringLiteral("99999")), c.hint);
    if (c.message) {
        ASSERT_EQ(program.messages.shown.size(), 1u);
        EXPECT_TRUE(program.messages.texts().join(QString()).contains(QString::fromUtf8(c.message)))
            << program.messages.texts().join(QString()).toStdString();
    } else {
        EXPECT_TRUE(program.messages.shown.empty()) << program.messages.texts().join(QString()).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Boxes, EditorTyping,
                         ::testing::Values(TypingCase{"txtSKOTML_POCET", "20", "20", false, nullptr},
                                           TypingCase{"txtSKOTML_POCET", "abc", "10", true, nullptr},
                                           TypingCase{"txtSKOTML_POCET", "2,5", "25", true, nullptr},
                                           TypingCase{"txtSKOTML_POCET", "123456", "12345", true, nullptr},
                                           TypingCase{"txtSUMAVYMERADPB", "60.5", "60,5", false, nullptr},
                                           TypingCase{"txtSUMAVYMERADPB", "60,5", "60,5", false, nullptr},
                                           TypingCase{"txtSUMAVYMERADPB", "60,5 ha", "12,5", false,
                                                      "„Suma výměra DPB“"},
                                           TypingCase{"txtSUMAVYMERADPB", "x", "12,5", false, "(chyba 3421)"}),
                         [](const auto& test) { return std::to_string(test.index); });

TEST_F(EditorWindowTest, TheNamesOf2006LinesExplainThemselves)
{
    // The report's Czech names on the lines; the column's name and its meaning in the tooltip.
    EditorWindow w(program.ctx, CategorySet::gen2006());
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblSKOTDO6"))->text(), QStringLiteral("Skot do 6 měsíců"));
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblSKOTDO6"))->toolTip(),
              QStringLiteral("SKOTDO6: skot do 6 měsíců"));
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblEKOKOZYOD12"))->toolTip(),
              QStringLiteral("EKOKOZYOD12: kozy od 12 měsíců, ekologický chov"));
}

// What the loading could not take as sent is one click away, and only when there is something.
TEST_F(EditorWindowTest, ValuesNotTakenAreShownOnlyWhenThereAreAny)
{
    for (const auto& [count, shown] : {std::pair{"123456", true}, std::pair{"12", false}}) {
        // The working database of the opening before is still there: the next name is a second on.
        program.clock.time = program.clock.time.addSecs(1);
        auto w = open(CategorySet::first(), response({row("2005-01-01", count)}));
        auto* link = w->findChild<QLabel*>(QStringLiteral("lblNEPREVZATO"));
        ASSERT_TRUE(link);
        EXPECT_EQ(link->isVisible(), shown) << count;
        EXPECT_EQ(link->accessibleName(), QStringLiteral("Některé údaje odpovědi program nepřevzal"));
        if (shown) {
            EXPECT_TRUE(link->toolTip().contains(QStringLiteral("SKOTML_POCET: služba poslala „123456“, počítá se 0")));
        }
    }
}

// The "Limit" tab proposes with the settings' limits and applies the head plan as typed counts.
TEST_F(EditorWindowTest, LimitTabProposesAndAppliesTheHeadPlan)
{
    program.write(QStringLiteral("ZORVA_VDJ.INI"), "[LIMITY]\r\nTYP2_MIN=1,2\r\nTYP2_MAX=\r\n");
    auto w = open(CategorySet::first(), response({row("2006-01-01", "10"), row("2006-02-01", "12")}));
    auto* min = w->findChild<QLineEdit*>(QStringLiteral("txtLIMITMIN"));
    ASSERT_TRUE(min);
    EXPECT_EQ(min->text(), generalText(1.2, regionalDecimalSign()));
    EXPECT_EQ(min->accessibleName(), QStringLiteral("Dolní limit (VDJ/ha)"));
    w->findChild<QPushButton*>(QStringLiteral("cmdNavrhni"))->click();
    auto* answer = w->findChild<QLabel*>(QStringLiteral("lblNAVRH"));
    // 0.6 and 0.72 VDJ/ha: 9 more young cattle in each row give 1.14 and 1.26, on average 1.2.
    EXPECT_TRUE(answer->text().startsWith(
        QStringLiteral("PICHROKA 0,660 VDJ/ha je pod limitem 1,200 (limit z nastavení) o 0,540. Přidejte 9 ks "
                       "Skot mladší ke každému dni platnosti")))
        << answer->text().toStdString();
    auto* apply = w->findChild<QPushButton*>(QStringLiteral("cmdPouzij"));
    ASSERT_TRUE(apply->isEnabled());
    apply->click();
    EXPECT_EQ(w->session().header(QStringLiteral("txtPICHROKA")), QStringLiteral("1.200"));
    EXPECT_TRUE(answer->text().contains(QStringLiteral("vyhovuje"))) << answer->text().toStdString();
    EXPECT_EQ(w->xmlDOM()->selectList(QStringLiteral("//UPR:Changes/UPR:Change")).size(), 2u);
}
