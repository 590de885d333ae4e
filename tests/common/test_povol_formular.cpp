#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "common/ui/BusyPointer.h"
#include "common/ui/PovolFormular.h"
#include "common/ui/QtMessageBoxes.h"
#include "support/TestSupport.h"

using namespace zorva;
using zorva::test::TestProgram;

namespace {

struct Window {
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);
    QLabel* label = new QLabel(QStringLiteral("Popis"), &window);
    QGroupBox* frame = new QGroupBox(QStringLiteral("Rám"), &window);
    QPushButton* inner = new QPushButton(QStringLiteral("Uvnitř"), frame);
    QDialog* owned = new QDialog(&window);  // a window of its own, not a control
};

Qt::CursorShape pointer()
{
    return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
}

}  // namespace

TEST(PovolFormular, BusyStateDisablesEveryControlAndShowsHourglass)
{
    TestProgram p;
    Window w;
    PovolFormular(p.ctx, &w.window, false);
    EXPECT_FALSE(w.edit->isEnabled());
    EXPECT_FALSE(w.label->isEnabled());
    EXPECT_FALSE(w.frame->isEnabled());
    EXPECT_FALSE(w.inner->isEnabled());  // nothing inside a frame stays clickable
    EXPECT_TRUE(w.owned->isEnabled());
    EXPECT_TRUE(w.window.isEnabled());
    EXPECT_EQ(pointer(), Qt::WaitCursor);

    PovolFormular(p.ctx, &w.window, true);
    EXPECT_TRUE(w.edit->isEnabled());
    EXPECT_TRUE(w.frame->isEnabled());
    EXPECT_TRUE(w.inner->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(p.messages.shown.empty());
}

TEST(PovolFormular, TheFocusedControlGetsTheFocusBack)
{
    TestProgram p;
    Window w;
    w.inner->setObjectName(QStringLiteral("inner"));
    w.window.show();
    QApplication::setActiveWindow(&w.window);
    w.inner->setFocus();
    ASSERT_EQ(w.window.focusWidget(), w.inner);
    PovolFormular(p.ctx, &w.window, false);
    PovolFormular(p.ctx, &w.window, false);  // still busy: still the same control
    EXPECT_FALSE(w.inner->hasFocus());
    PovolFormular(p.ctx, &w.window, true);
    EXPECT_TRUE(w.inner->hasFocus());
}

TEST(PovolFormular, PointerIsAStateNotACounter)
{
    TestProgram p;
    Window w;
    PovolFormular(p.ctx, &w.window, false);
    PovolFormular(p.ctx, &w.window, false);
    PovolFormular(p.ctx, &w.window, true);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    PovolFormular(p.ctx, &w.window, true);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(PovolFormular, DisableSettingChangesOnlyThePointer)
{
    TestProgram p;
    p.write("ZORVA_VDJ.INI", "[QEL]\r\nDISABLE=1\r\n");
    Window w;
    PovolFormular(p.ctx, &w.window, false);
    EXPECT_TRUE(w.edit->isEnabled());
    EXPECT_TRUE(w.frame->isEnabled());
    EXPECT_EQ(pointer(), Qt::WaitCursor);
    PovolFormular(p.ctx, &w.window, true);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(PovolFormular, EnablingEnablesAControlDisabledBefore)
{
    TestProgram p;
    Window w;
    w.edit->setEnabled(false);
    PovolFormular(p.ctx, &w.window, true);
    EXPECT_TRUE(w.edit->isEnabled());
}

TEST(PovolFormular, NoWindowAndNoSettingsAreNoFailure)
{
    TestProgram p;
    p.ctx.folder = p.path("neni/ani/tady");
    PovolFormular(p.ctx, nullptr, false);
    PovolFormular(p.ctx, nullptr, true);
    EXPECT_TRUE(p.messages.shown.empty());
}

// A message box under work in progress (the hourglass) has the ordinary pointer, and the hourglass is
// back once the box is answered.
TEST(PovolFormular, AMessageBoxUnderTheHourglassHasTheOrdinaryPointer)
{
    const BusyPointer busy;
    QtMessageBoxes boxes;
    for (const bool question : {false, true}) {
        Qt::CursorShape inBox = Qt::WaitCursor;
        QTimer::singleShot(0, [&] {
            inBox = pointer();
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        if (question) boxes.ask(QStringLiteral("Otázka?"));
        else boxes.show(QStringLiteral("Zpráva"), MessageIcon::None);
        EXPECT_EQ(inBox, Qt::ArrowCursor) << question;
        EXPECT_EQ(pointer(), Qt::WaitCursor) << question;
    }
}
