#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "common/XdgShellService.h"
#include "support/TestSupport.h"

using namespace zorva;
using zorva::test::TestProgram;

namespace {

// An opener that writes down where it ran and what it was given, then ends with a chosen status.
struct FakeOpener {
    explicit FakeOpener(const TestProgram& p, int status)
        : path(p.path("opener.sh")), record(p.path("opener.txt"))
    {
        p.write("opener.sh", QStringLiteral("#!/bin/sh\npwd -P > '%1'\nprintf '%s\\n' \"$1\" >> '%1'\nexit %2\n")
                                 .arg(record)
                                 .arg(status)
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


}  // namespace

TEST(XdgShellService, OpensFileFromWorkingFolder)
{
    TestProgram p;
    p.write("ZORVA_VDJ1B_response.htm", "<html/>");
    FakeOpener opener(p, 0);
    XdgShellService s(opener.path);
    s.setReportWait(60000);
    EXPECT_EQ(s.open("ZORVA_VDJ1B_response.htm", "", p.folder(), 3), 42);
    const QString folder = QFileInfo(p.folder()).canonicalFilePath();
    EXPECT_EQ(opener.seen(), (QStringList{folder, QFileInfo(p.path("ZORVA_VDJ1B_response.htm")).absoluteFilePath()}));
}

TEST(XdgShellService, AddressGoesAsItIsAndDriveRootMeansNoFolder)
{
    TestProgram p;
    FakeOpener opener(p, 0);
    XdgShellService s(opener.path);
    s.setReportWait(60000);
    EXPECT_EQ(s.open("http://localhost:8080/kLIM/hlp/ZORVA_VDJ_help.html", "", "C:\\", 3), 42);
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
        s.setReportWait(60000);
        EXPECT_EQ(s.open(p.path("doc.htm"), "", "C:\\", 3), code) << status;
    }
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
