#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <functional>

#include "common/SpustSoubor.h"
#include "common/Windows1250.h"
#include "common/XdgShellService.h"
#include "support/TestSupport.h"

using namespace zorva;
using zorva::test::TestProgram;

namespace {

// An opener that writes down where it ran and what it was given, then ends with a chosen status.
struct FakeOpener {
    // gate: when not empty, the opener waits until that file exists before it ends.
    explicit FakeOpener(const TestProgram& p, int status, const QString& gate = QString())
        : path(p.path("opener.sh")), record(p.path("opener.txt"))
    {
        const QString wait =
            gate.isEmpty() ? QString() : QStringLiteral("while [ ! -e '%1' ]; do sleep 0.05; done\n").arg(gate);
        p.write("opener.sh", QStringLiteral("#!/bin/sh\npwd -P > '%1'\nprintf '%s\\n' \"$1\" >> '%1'\n%3exit %2\n")
                                 .arg(record)
                                 .arg(status)
                                 .arg(wait)
                                 .toUtf8());
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QStringList seen() const
    {
        QFile f(record);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    QString path, record;
};

// Runs the event loop until the condition holds (or a generous guard runs out).
void waitUntil(const std::function<bool()>& condition)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (condition()) loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    poll.start(20);
    if (!condition()) loop.exec();
}

// Hands the file over and waits for what the opener reports when it ends.
int launchAndWait(XdgShellService& s, const QString& file, const QString& folder)
{
    int late = -1;
    EXPECT_EQ(s.launch(file, QString(), folder, 3, [&](int code) { late = code; }), 42);
    waitUntil([&] { return late >= 0; });
    return late;
}

}  // namespace

TEST(XdgShellService, OpensFileFromWorkingFolder)
{
    TestProgram p;
    p.write("ZORVA_VDJ1B_response.htm", "<html/>");
    FakeOpener opener(p, 0);
    XdgShellService s(opener.path);
    EXPECT_EQ(launchAndWait(s, "ZORVA_VDJ1B_response.htm", p.folder()), 42);
    const QString folder = QFileInfo(p.folder()).canonicalFilePath();
    EXPECT_EQ(opener.seen(), (QStringList{folder, QFileInfo(p.path("ZORVA_VDJ1B_response.htm")).absoluteFilePath()}));
}

TEST(XdgShellService, AddressGoesAsItIsAndDriveRootMeansNoFolder)
{
    TestProgram p;
    FakeOpener opener(p, 0);
    XdgShellService s(opener.path);
    EXPECT_EQ(launchAndWait(s, "http://localhost:8080/kLIM/hlp/ZORVA_VDJ_help.html", "C:\\"), 42);
    const QStringList seen = opener.seen();
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[1], "http://localhost:8080/kLIM/hlp/ZORVA_VDJ_help.html");
}

TEST(XdgShellService, OpenerExitStatusMapsOntoShellCodes)
{
    const std::pair<int, int> cases[] = {{0, 42}, {2, 2}, {3, 31}, {4, 31}, {1, 0}};
    for (const auto& [status, code] : cases) {
        TestProgram p;
        p.write("doc.htm", "x");
        FakeOpener opener(p, status);
        XdgShellService s(opener.path);
        EXPECT_EQ(launchAndWait(s, p.path("doc.htm"), "C:\\"), code) << status;
    }
}

TEST(XdgShellService, TheOpenerIsNotWaitedForAndItsLateFailureIsLogged)
{
    TestProgram p;
    p.write("doc.htm", "x");
    FakeOpener opener(p, 3, p.path("gate"));  // "no method to open it", once the gate opens
    XdgShellService s(opener.path);
    p.ctx.shell = &s;
    EXPECT_EQ(SpustSoubor(p.ctx, p.path("doc.htm"), QString(), 3, false, true, false), QString());
    waitUntil([&] { return opener.seen().size() == 2; });  // the opener runs and has not ended
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_FALSE(QFile::exists(p.path("SpustSoubor_err.txt")));
    p.write("gate", "");
    waitUntil([&] { return QFile::exists(p.path("SpustSoubor_err.txt")); });
    EXPECT_TRUE(p.read("SpustSoubor_err.txt").endsWith(toWindows1250(QStringLiteral(" Není asociovaná aplikace\r\n"))));
}

TEST(XdgShellService, CheckedFailuresNeverStartTheOpener)
{
    TestProgram p;
    p.write("doc.htm", "x");
    FakeOpener opener(p, 0);
    XdgShellService s(opener.path);
    EXPECT_EQ(s.open("neni.htm", "", p.folder(), 3), 2);
    EXPECT_EQ(s.open(p.path("neni.htm"), "", "C:\\", 3), 2);
    EXPECT_EQ(s.open("doc.htm", "", p.folder() + "/neni", 3), 3);
    EXPECT_EQ(s.open("doc.htm", "", p.path("doc.htm"), 3), 3);  // a file is no folder
    EXPECT_TRUE(opener.seen().isEmpty());
}

TEST(XdgShellService, MissingOpenerIsAMissingComponent)
{
    TestProgram p;
    p.write("doc.htm", "x");
    EXPECT_EQ(XdgShellService("zorva-neexistujici-otevirac").open("doc.htm", "", p.folder(), 3), 32);
    EXPECT_EQ(XdgShellService(p.path("neni.sh")).open("doc.htm", "", p.folder(), 3), 32);
    EXPECT_EQ(XdgShellService(p.path("doc.htm")).open("doc.htm", "", p.folder(), 3), 32);  // not executable
}
