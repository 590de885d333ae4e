// A disk without room while the answer is stored: a clear message, the window usable again, and the
// response stored before left as it was.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QComboBox>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <csignal>

#include "common/IniFile.h"
#include "common/ui/CommandButtonX.h"
#include "editor/ui/EditorWindow.h"
#include "platform/XmlDocument.h"
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

// A disk that fills up, a real small one: every file of an exchange that does not fit is told with
// the folder that has no room, none is left empty or half written, and what was stored before stays.
TEST(FaultyDisk, EveryFileThatDoesNotFitIsToldAndNoneStaysEmpty)
{
    const QByteArray answer = dataFile(QStringLiteral("samples/response-first.xml"));
    const QByteArray stored = xml::Document::fromBytes(answer).toBytes();
    struct Case {
        const char* what;
        qint64 room;  // the answer fits, or not
        bool edit;
        const char* told;
    };
    const Case cases[] = {
        {"the answer", 0, false, "61-Na disku není dost místa: "},
        {"the archive copy and the page", stored.size(), false, "Sestavu nelze zobrazit. Na disku není dost místa: "},
        {"the working database", stored.size(), true, "61-Na disku není dost místa: "},
    };
    for (const Case& c : cases) {
        SmallDisk disk;
        if (!disk.mounted()) GTEST_SKIP() << disk.why.toStdString();
        TestProgram program;
        program.ctx.folder = disk.path();
        program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
        CannedHttpServer server;
        server.body = answer;
        ini::writeString(QStringLiteral("SETUP"), QStringLiteral("USERID"), QStringLiteral("DEMO"),
                         program.ctx.settingsFile());
        ini::writeString(QStringLiteral("SETUP"), QStringLiteral("SERVER"), server.url(), program.ctx.settingsFile());
        program.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), "<old/>");
        program.write(QStringLiteral("ZORVA_VDJ1B_response.htm"), "dřívější");
        frmMain window(program.ctx);
        auto* actions = new request::MainActions(window);
        actions->showEditor = [](editor::EditorWindow&) {};
        window.cmbVARPICH->setCurrentIndex(3);
        window.txtROK->setText(QStringLiteral("2005"));
        window.txtJISUBRUX->setText(QStringLiteral("1000234567"));
        disk.fill(c.room);

        c.edit ? actions->cmdEditace_Click() : actions->CommandButtonX1_Click();
        ASSERT_EQ(program.messages.shown.size(), 1u) << c.what;
        EXPECT_EQ(program.messages.shown[0].text,
                  QString::fromUtf8(c.told) + disk.path() + (c.edit || !c.room ? "" : "."))
            << c.what;
        EXPECT_EQ(program.read(QStringLiteral("ZORVA_VDJ1B_response.xml")), c.room ? stored : QByteArray("<old/>"))
            << c.what;
        EXPECT_EQ(program.read(QStringLiteral("ZORVA_VDJ1B_response.htm")), QByteArray("dřívější")) << c.what;
        EXPECT_TRUE(program.shell.calls.empty()) << c.what;
        EXPECT_TRUE(window.CommandButtonX1->isEnabled() && window.cmdEditace->isEnabled()) << c.what;
        QDirIterator files(disk.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString file = files.next();
            EXPECT_TRUE(file.endsWith(QLatin1String(".xml")) || file.endsWith(QLatin1String(".htm")) ||
                        file.endsWith(QLatin1String(".xsl")) || file.endsWith(QLatin1String(".INI")) ||
                        file.endsWith(QLatin1String("_zadatele.csv")) || file.endsWith(QLatin1String("plnivo")))
                << c.what << ": " << file.toStdString();
            EXPECT_GT(QFileInfo(file).size(), 0) << c.what << ": " << file.toStdString();
            EXPECT_FALSE(file.contains(QLatin1String("/archiv/"))) << c.what << ": " << file.toStdString();
        }
    }
}
