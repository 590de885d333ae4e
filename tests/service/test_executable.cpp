#include <gtest/gtest.h>
#include <QProcess>
#include <QRegularExpression>

#include "ServiceFixture.h"

using namespace zorva;
using namespace zorva::test;

// The executable as a script starts it: port 0, the data beside it, the address on the first line,
// and a clean end on SIGTERM.
TEST(ServiceExecutable, PrintsItsAddressAnswersAndStopsOnTerm)
{
    QProcess process;
    process.setProgram(QStringLiteral(ZORVA_SERVICE_EXE));
    process.setArguments({QStringLiteral("--port"), QStringLiteral("0")});
    process.start();
    ASSERT_TRUE(process.waitForStarted());
    QByteArray line;
    while (!line.contains('\n') && process.state() == QProcess::Running) {
        process.waitForReadyRead(60000);
        line += process.readAllStandardOutput();
    }
    const auto m =
        QRegularExpression(
            QStringLiteral(
                "^ZORVA demo service listening on (http://127\\.0\\.0\\.1:(\\d+)/kLIM/APP/v0100/kLIMsrv\\.asp)\n"))
            .match(QString::fromUtf8(line));
    ASSERT_TRUE(m.hasMatch()) << line.constData() << process.readAllStandardError().constData();
    const QString url = m.captured(1);
    EXPECT_GT(m.captured(2).toInt(), 0);

    const HttpReply answer = httpPost(url, requestBody(demoRequest(QStringLiteral("4"), QStringLiteral("2007"))));
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(parse(answer.body).rows().size(), 12u);
    const HttpReply help =
        httpGet(QStringLiteral("http://127.0.0.1:%1/kLIM/hlp/ZORVA_VDJ_help.html").arg(m.captured(2)));
    EXPECT_EQ(help.status, 200);

    process.terminate();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}

TEST(ServiceExecutable, MissingDataIsReportedWithoutListening)
{
    QProcess process;
    process.start(QStringLiteral(ZORVA_SERVICE_EXE), {QStringLiteral("--data"), QStringLiteral("/nonexistent")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    EXPECT_FALSE(process.readAllStandardError().isEmpty());
}
