#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/IniFile.h"
#include "editor/ui/EditorWindow.h"
#include "request/ui/MainActions.h"
#include "request/ui/frmMain.h"
#include "service/DemoService.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;

// The program against the bundled demo service, both on the loopback interface.
class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        service = std::make_unique<service::DemoService>(QStringLiteral(ZORVA_DATA_DIR));
        const quint16 port = service->listen(0);
        ASSERT_NE(port, 0);
        const QString url = QStringLiteral("http://127.0.0.1:%1/kLIM/APP/v0100/kLIMsrv.asp").arg(port);
        program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
        ini::writeString(QStringLiteral("SETUP"), QStringLiteral("USERID"), QStringLiteral("DEMO"),
                         program.ctx.settingsFile());
        ini::writeString(QStringLiteral("SETUP"), QStringLiteral("SERVER"), url, program.ctx.settingsFile());
        ini::writeString(QStringLiteral("SETUP"), QStringLiteral("JISUBRUX"), QStringLiteral("1000234567"),
                         program.ctx.settingsFile());
        window = std::make_unique<frmMain>(program.ctx);
        actions = new request::MainActions(*window);
    }
    void ask(int type, const QString& year)
    {
        window->cmbVARPICH->setCurrentIndex(type - 1);
        window->txtROK->setText(year);
    }

    TestProgram program;
    std::unique_ptr<service::DemoService> service;
    std::unique_ptr<frmMain> window;
    request::MainActions* actions = nullptr;
};

TEST_F(EndToEnd, OdeslatStoresAndRendersTheAnswer)
{
    ask(4, QStringLiteral("2005"));
    actions->CommandButtonX1_Click();
    EXPECT_TRUE(program.messages.shown.empty()) << program.messages.texts().join("|").toStdString();
    xml::Document stored;
    ASSERT_TRUE(stored.load(program.path(QStringLiteral("ZORVA_VDJ1B_response.xml"))));
    EXPECT_EQ(stored.selectList(QStringLiteral("//VDJ:PICHROW")).size(), 12u);
    EXPECT_TRUE(program.read(QStringLiteral("ZORVA_VDJ1B_response.htm")).endsWith("\r\n"));
    ASSERT_EQ(program.shell.calls.size(), 1u);
}

TEST_F(EndToEnd, EditaceOpensTheEditorOfTheYearAndRecomputingChangesNothing)
{
    struct Case {
        const char* year;
        const char* window;
    };
    for (const Case c : {Case{"2006", "frmEditace2006"}, Case{"2005", "frmEditace"}}) {
        QString name;
        QByteArray before, after;
        actions->showEditor = [&](editor::EditorWindow& w) {
            name = w.objectName();
            EXPECT_EQ(w.session().recordset()->rowCount(), 12);
            before = w.xmlDOM()->toBytes();
            w.findChild<QPushButton*>(QStringLiteral("cmdPocitej"))->click();
            after = w.xmlDOM()->toBytes();
            w.findChild<QPushButton*>(QStringLiteral("cmdStorno"))->click();
        };
        ask(4, QString::fromLatin1(c.year));
        actions->cmdEditace_Click();
        EXPECT_EQ(name, QString::fromLatin1(c.window));
        EXPECT_EQ(after, before) << c.year;
        EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty());
    }
}

TEST_F(EndToEnd, AStoppedServiceLeavesTheStoredAnswerAsItWas)
{
    ask(4, QStringLiteral("2005"));
    actions->CommandButtonX1_Click();
    const QByteArray stored = program.read(QStringLiteral("ZORVA_VDJ1B_response.xml"));
    ASSERT_FALSE(stored.isEmpty());
    service.reset();
    ask(4, QStringLiteral("2006"));
    actions->CommandButtonX1_Click();
    ASSERT_EQ(program.messages.shown.size(), 1u);
    EXPECT_TRUE(program.messages.shown[0].text.startsWith(QStringLiteral("Služba odmítla spojení")));
    EXPECT_EQ(program.read(QStringLiteral("ZORVA_VDJ1B_response.xml")), stored);
}

TEST_F(EndToEnd, AFaultOfTheServiceIsStoredAndShown)
{
    window->txtJISUBRUX->setText(QStringLiteral("9999999999"));
    ask(4, QStringLiteral("2005"));
    actions->CommandButtonX1_Click();
    EXPECT_TRUE(program.messages.shown.empty());
    EXPECT_TRUE(program.read(QStringLiteral("ZORVA_VDJ1B_response.xml")).contains("faultstring"));
    const QByteArray page = program.read(QStringLiteral("ZORVA_VDJ1B_response.htm"));
    EXPECT_TRUE(page.contains("nebyl nalezen")) << page.left(2000).toStdString();
}
