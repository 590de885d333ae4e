#include <gtest/gtest.h>
#include <QAbstractItemModel>
#include <QCompleter>
#include <QLineEdit>

#include "request/RecentApplicants.h"
#include "request/ui/frmMain.h"
#include "support/TestSupport.h"

using namespace zorva;
using request::KnownApplicant;
using zorva::test::TestProgram;

TEST(RecentApplicants, NewestFirstOnceEachAndAtMostFifty)
{
    TestProgram program;
    EXPECT_TRUE(request::recentApplicants(program.ctx).empty());
    const KnownApplicant dvorak{QStringLiteral("1000234567"), {}, {}, QStringLiteral("Jan Dvořák; farma \"U lípy\"")};
    const KnownApplicant lhota{{}, QStringLiteral("00123455"), {}, QStringLiteral("ZS Lhota")};
    ASSERT_TRUE(request::rememberApplicant(program.ctx, dvorak));
    ASSERT_TRUE(request::rememberApplicant(program.ctx, lhota));
    ASSERT_TRUE(request::rememberApplicant(program.ctx, dvorak));  // asked again: first, not twice
    auto list = request::recentApplicants(program.ctx);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].jisubrux, dvorak.jisubrux);
    EXPECT_EQ(list[0].name, QStringLiteral("Jan Dvořák, farma 'U lípy'"));  // one applicant a line
    EXPECT_EQ(list[1].ico, QStringLiteral("00123455"));                     // leading zeros kept
    for (int i = 0; i < 60; ++i)
        request::rememberApplicant(program.ctx, {QString::number(2000000000 + i), {}, {}, QStringLiteral("F")});
    list = request::recentApplicants(program.ctx);
    ASSERT_EQ(list.size(), 50u);
    EXPECT_EQ(list.front().jisubrux, QStringLiteral("2000000059"));
}

TEST(RecentApplicants, TheApplicantBoxesOfferThemAndAChoiceFillsAllThree)
{
    TestProgram program;
    request::rememberApplicant(program.ctx, {QStringLiteral("1000234567"), QStringLiteral("25123456"),
                                             QStringLiteral("7001011234"), QStringLiteral("Jan Dvořák")});
    frmMain window(program.ctx);
    QCompleter* completer = window.txtIC->completer();
    ASSERT_NE(completer, nullptr);
    QAbstractItemModel* model = completer->model();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("25123456 – Jan Dvořák"));
    emit completer->activated(model->index(0, 0));
    EXPECT_EQ(window.txtJISUBRUX->text(), QStringLiteral("1000234567"));
    EXPECT_EQ(window.txtRC->text(), QStringLiteral("7001011234"));
}
