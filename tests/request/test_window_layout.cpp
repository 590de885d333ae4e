// Every window, at every font and scale the users have, shows each caption and each figure whole and
// keeps its controls inside their frame and window.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>

#include "../editor/ResponseBuilder.h"
#include "editor/ui/EditorWindow.h"
#include "request/ui/frmMain.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;

namespace {

// The font settings: the design's size, a larger system font, and 150 % scaling (the design's
// size at 144 DPI, given to the window after it was laid out).
struct FontSetting {
    const char* name;
    int pointSize;  // as the system font (the application's)
    int pixelSize;  // or set on the window afterwards
};
constexpr FontSetting kFonts[] = {{"DejaVu8pt", 8, 0}, {"System10pt", 10, 0}, {"Scale150", 0, 16}};

enum class Window {
    Main,
    FirstOverview,
    FirstDates,
    Gen2006Overview,
    Gen2006Dates
};
constexpr const char* kWindowNames[] = {"Main", "FirstOverview", "FirstDates", "Gen2006Overview", "Gen2006Dates"};

struct LayoutCase {
    Window window;
    FontSetting font;
};

std::string caseName(const LayoutCase& c)
{
    return std::string(kWindowNames[int(c.window)]) + "_" + c.font.name;
}
void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << caseName(c);
}

// A herd of 10 210 cattle in every cattle line and 99 999 animals in one more, so that after
// "Počítej" the units and intensities are as long as real figures get.
std::shared_ptr<xml::Document> bigHerd(const editor::CategorySet& set)
{
    RowValues row;
    row.date = QStringLiteral("2006-01-01");
    row.acreage = QStringLiteral("48.37");
    row.vdja = QStringLiteral("56.25");
    row.vdjb = QStringLiteral("53.65");
    for (const auto& c : set.categories) {
        const bool cattle = c.name.contains(QLatin1String("SKOT"));
        row.categories[c.name] = {cattle ? QStringLiteral("10210") : QStringLiteral("0"), QStringLiteral("0"),
                                  QStringLiteral("0.6")};
    }
    row.categories[set.categories.back().name].count = QStringLiteral("99999");
    ResponseShape shape;
    shape.type = QStringLiteral("1");
    shape.rows = {row};
    auto doc = std::make_shared<xml::Document>();
    doc->loadXml(buildResponse(shape));
    return doc;
}

// The width a line edit has for its text: the style's contents rectangle less the text margins and
// the two-pixel margin on either side, as the box lays its text out when it paints it.
int textRoom(const QLineEdit* box)
{
    QStyleOptionFrame opt;
    opt.initFrom(box);
    opt.rect = box->rect();
    opt.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, box) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    const QRect r = box->style()->subElementRect(QStyle::SE_LineEditContents, &opt, box);
    return r.marginsRemoved(box->textMargins()).width() - 2 * 2;
}

// The controls of the window: what stands on the window itself, on a tab page or in a frame.
bool isControl(const QWidget* w)
{
    const QWidget* parent = w->parentWidget();
    return parent && (parent->isWindow() || qobject_cast<const QGroupBox*>(parent) ||
                      qobject_cast<const QStackedWidget*>(parent->parentWidget()));
}

QString accessibleName(QWidget* w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

void checkLayout(QWidget& window, const std::string& where)
{
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible() || !isControl(w)) continue;
        const std::string name =
            where + " " +
            (w->objectName().isEmpty() ? std::string(w->metaObject()->className()) : w->objectName().toStdString());
        const QFontMetrics fm(w->font());
        // Inside its parent, and below a frame's title.
        QWidget* parent = w->parentWidget();
        EXPECT_TRUE(parent->rect().contains(w->geometry())) << name << " leaves its parent";
        if (auto* frame = qobject_cast<QGroupBox*>(parent); frame && !frame->title().isEmpty()) {
            EXPECT_GE(w->y(), QFontMetrics(frame->font()).height()) << name << " covers its frame's title";
        }

        if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_LE(fm.horizontalAdvance(label->text()), label->contentsRect().width())
                << name << " " << label->text().toStdString();
            EXPECT_LE(fm.height(), label->height()) << name;
            EXPECT_EQ(accessibleName(w), label->text()) << name;
        } else if (auto* box = qobject_cast<QLineEdit*>(w)) {
            EXPECT_LE(fm.horizontalAdvance(box->text()) + 1, textRoom(box)) << name << " " << box->text().toStdString();
            EXPECT_LE(fm.height(), box->height()) << name;
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            EXPECT_LE(button->sizeHint().width(), button->width()) << name;
            EXPECT_LE(fm.height(), button->height()) << name;
            EXPECT_EQ(accessibleName(w), button->text()) << name;
        } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
            EXPECT_LE(frame->minimumSizeHint().width(), frame->width()) << name;
            if (!frame->title().isEmpty()) { EXPECT_EQ(accessibleName(w), frame->title()) << name; }
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            QStyleOptionComboBox opt;
            opt.initFrom(combo);
            opt.editable = false;
            opt.frame = true;
            const QRect field =
                combo->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo);
            EXPECT_LE(fm.horizontalAdvance(combo->currentText()), field.width()) << name;
        }
    }
}

void applyFont(const FontSetting& f, QWidget* window)
{
    if (f.pixelSize == 0 || !window) return;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(f.pixelSize);
    window->setFont(font);
}

class WindowLayout : public ::testing::TestWithParam<LayoutCase> {
protected:
    void SetUp() override
    {
        saved_ = QApplication::font();
        // The window-set scaling starts from the design's size as the system font.
        const int size = GetParam().font.pointSize > 0 ? GetParam().font.pointSize : 8;
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), size));
    }
    void TearDown() override { QApplication::setFont(saved_); }
    QFont saved_;
    TestProgram program;
};

}  // namespace

TEST_P(WindowLayout, EveryCaptionAndFigureIsWholeAndInsideItsFrame)
{
    const LayoutCase c = GetParam();
    const std::string name = caseName(c);
    if (c.window == Window::Main) {
        program.write(QStringLiteral("ZORVA_VDJ.INI"), "[SETUP]\r\nUSERID=zemedelec01\r\nVARPICH=6\r\n");
        frmMain w(program.ctx);
        w.txtJISUBRUX->setText(QStringLiteral("1000234567"));
        w.txtRC->setText(QStringLiteral("6504121239"));
        w.txtVYMERA->setText(QStringLiteral("12345,67"));
        w.setWaiting(true, 9999);
        applyFont(c.font, &w);
        w.show();
        checkLayout(w, name);
        keepScreenshot(w, name);
        return;
    }
    const bool first = c.window == Window::FirstOverview || c.window == Window::FirstDates;
    const editor::CategorySet& set = first ? editor::CategorySet::first() : editor::CategorySet::gen2006();
    editor::EditorWindow w(program.ctx, set);
    w.setXmlDOM(bigHerd(set));
    w.Startuj();
    w.cmdPocitej_Click();
    applyFont(c.font, &w);
    w.findChild<QTabWidget*>(QStringLiteral("SSTab1"))
        ->setCurrentIndex(c.window == Window::FirstDates || c.window == Window::Gen2006Dates ? 1 : 0);
    w.show();
    ASSERT_EQ(w.box(QStringLiteral("txt") + set.categories[0].countColumn())->text(), QStringLiteral("10210"));
    checkLayout(w, name);
    keepScreenshot(w, name);
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowLayout, ::testing::ValuesIn([] {
                             std::vector<LayoutCase> cases;
                             for (Window w : {Window::Main, Window::FirstOverview, Window::FirstDates,
                                              Window::Gen2006Overview, Window::Gen2006Dates})
                                 for (const FontSetting& f : kFonts) cases.push_back({w, f});
                             return cases;
                         }()),
                         [](const auto& test) { return caseName(test.param); });
