// A full disk while the answer is stored: a clear message, the window usable again, and the
// response stored before left as it was.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <csignal>

#include "common/IniFile.h"
#include "common/ui/CommandButtonX.h"
#include "request/ui/MainActions.h"
#include "request/ui/frmMain.h"
#include "support/CannedHttpServer.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;

TEST(FaultyDisk, AResponseThatDoesNotFitKeepsTheStoredOneAndSaysWhy)
{
    TestProgram program;
    program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
    CannedHttpServer server;
    // An answer far larger than the room left on the disk.
    QByteArray body = dataFile(QStringLiteral("samples/response-first.xml"));
    body.replace("<RUX:OJM>", "<RUX:OJM>" + QByteArray(200000, 'x'));
    server.body = body;
    ini::writeString(QStringLiteral("SETUP"), QStringLiteral("USERID"), QStringLiteral("DEMO"),
                     program.ctx.settingsFile());
    ini::writeString(QStringLiteral("SETUP"), QStringLiteral("SERVER"), server.url(), program.ctx.settingsFile());
    program.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), "<old/>");
    frmMain window(program.ctx);
    auto* actions = new request::MainActions(window);
    window.cmbVARPICH->setCurrentIndex(3);
    window.txtROK->setText(QStringLiteral("2005"));
    window.txtJISUBRUX->setText(QStringLiteral("1000234567"));

    // The size limit of the process stands in for the full disk: a write past it fails (EFBIG).
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &limited);
    actions->CommandButtonX1_Click();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(server.received.size(), 1);
    ASSERT_EQ(program.messages.shown.size(), 1u);
    EXPECT_TRUE(program.messages.shown[0].text.startsWith(QStringLiteral("75-")))
        << program.messages.shown[0].text.toStdString();
    EXPECT_TRUE(program.messages.shown[0].text.contains(QStringLiteral("ZORVA_VDJ1B_response.xml")));
    EXPECT_EQ(program.read(QStringLiteral("ZORVA_VDJ1B_response.xml")), QByteArray("<old/>"));
    EXPECT_TRUE(program.shell.calls.empty());
    EXPECT_TRUE(window.CommandButtonX1->isEnabled() && window.cmdEditace->isEnabled());
    EXPECT_TRUE(program.files(QStringLiteral("ZORVA_VDJ1B_response.xml.*")).isEmpty());
}
