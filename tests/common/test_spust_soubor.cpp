#include <gtest/gtest.h>

#include "common/Failure.h"
#include "common/SpustSoubor.h"
#include "common/Windows1250.h"
#include "support/TestSupport.h"

using namespace zorva;
using zorva::test::LocaleScope;
using zorva::test::TestProgram;

namespace {

const char* const kLog = "SpustSoubor_err.txt";
const QString kDriveFile = QStringLiteral("C:\\P\\ZORVA_VDJ1B_response.htm");

}  // namespace

TEST(SpustSoubor, EveryFailureCodeGivesItsTextAndOneLogLine)
{
    LocaleScope czech(LocaleScope::czech());
    const std::pair<int, QString> cases[] = {
        {2, QStringLiteral("Nemohu najít soubor")},       {3, QStringLiteral("Cesta neexistuje")},
        {5, QStringLiteral("Přístup odmítnut")},          {8, QStringLiteral("Málo paměti")},
        {31, QStringLiteral("Není asociovaná aplikace")}, {32, QStringLiteral("Nemohu najít DLL")},
    };
    for (const auto& [code, text] : cases) {
        TestProgram p;
        p.clock.time = QDateTime(QDate(2006, 12, 31), QTime(14, 0, 5));
        p.shell.result = code;
        EXPECT_EQ(SpustSoubor(p.ctx, kDriveFile, "", 3, true, true, false), text) << code;
        // Short date, time, one blank, the text, CR LF; in the Czech code page.
        EXPECT_EQ(p.read(kLog), toWindows1250(QStringLiteral("31.12.06 14:00:05 ") + text + QStringLiteral("\r\n")))
            << code;
        EXPECT_TRUE(p.messages.shown.empty());
    }
}

TEST(SpustSoubor, LogIsInWindows1250)
{
    LocaleScope czech(LocaleScope::czech());
    TestProgram p;
    p.clock.time = QDateTime(QDate(2007, 1, 2), QTime(9, 5, 7));
    p.shell.result = 5;
    SpustSoubor(p.ctx, kDriveFile, "", 3, true, true, false);
    EXPECT_EQ(p.read(kLog), QByteArray("02.01.07 9:05:07 P\xf8\xedstup odm\xedtnut\r\n"));
}

TEST(SpustSoubor, CodesWithoutTextCountAsSuccess)
{
    for (int code : {0, 1, 4, 6, 7, 9, 11, 30, 33, 42}) {
        TestProgram p;
        p.shell.result = code;
        EXPECT_EQ(SpustSoubor(p.ctx, kDriveFile, "", 3, true, true, false), "") << code;
        EXPECT_FALSE(p.exists(kLog)) << code;
        EXPECT_EQ(p.shell.calls.size(), 1u);
    }
}

TEST(SpustSoubor, FailuresAppendInOrderAndNeverShorten)
{
    LocaleScope czech(LocaleScope::czech());
    TestProgram p;
    p.write(kLog, "starsi zaznam\r\n");
    p.shell.result = 31;
    SpustSoubor(p.ctx, kDriveFile, "", 3, true, true, false);
    p.clock.time = p.clock.time.addSecs(61);
    p.shell.result = 2;
    SpustSoubor(p.ctx, kDriveFile, "", 3, true, true, false);
    EXPECT_EQ(p.read(kLog), toWindows1250(QStringLiteral("starsi zaznam\r\n"
                                                         "31.12.06 14:00:00 Není asociovaná aplikace\r\n"
                                                         "31.12.06 14:01:01 Nemohu najít soubor\r\n")));
}

TEST(SpustSoubor, MissingFileIsNeitherOpenedNorLogged)
{
    TestProgram p;
    p.shell.result = 2;
    EXPECT_EQ(SpustSoubor(p.ctx, p.path("\\ZORVA_VDJ1B_response.htm"), "", 3, false, true, false), "");
    EXPECT_EQ(SpustSoubor(p.ctx, kDriveFile, "", 3, false, true, false), "");
    EXPECT_TRUE(p.shell.calls.empty());
    EXPECT_FALSE(p.exists(kLog));
    EXPECT_TRUE(p.messages.shown.empty());
}

TEST(SpustSoubor, RegistrationToolPassesTheCheckOnlyAsTheWholeText)
{
    TestProgram p;
    for (const char* name : {"REGSVR32.EXE", "regsvr32.exe", "RegSvr32.Exe"}) {
        p.shell.calls.clear();
        SpustSoubor(p.ctx, name, "/s x.dll", 1, false, false, false);
        ASSERT_EQ(p.shell.calls.size(), 1u) << name;
        EXPECT_EQ(p.shell.calls[0].file, QString::fromUtf8(name));
        EXPECT_EQ(p.shell.calls[0].workingFolder, "C:\\");
        EXPECT_EQ(p.shell.calls[0].parameters, "/s x.dll");
    }
    p.shell.calls.clear();
    SpustSoubor(p.ctx, "C:\\WINDOWS\\SYSTEM32\\REGSVR32.EXE", "", 1, false, false, false);
    SpustSoubor(p.ctx, "REGSVR32.EXE ", "", 1, false, false, false);
    EXPECT_TRUE(p.shell.calls.empty());
}

TEST(SpustSoubor, DrivePathOpensFromItsOwnFolder)
{
    TestProgram p;
    SpustSoubor(p.ctx, kDriveFile, "", 3, true, true, false);
    ASSERT_EQ(p.shell.calls.size(), 1u);
    EXPECT_EQ(p.shell.calls[0].file, "ZORVA_VDJ1B_response.htm");
    EXPECT_EQ(p.shell.calls[0].workingFolder, "C:\\P");
    EXPECT_EQ(p.shell.calls[0].showCommand, 3);
}

TEST(SpustSoubor, ProgramFolderFileOpensFromTheProgramFolder)
{
    TestProgram p;
    p.write("ZORVA_VDJ1B_response.htm", "<html/>");
    SpustSoubor(p.ctx, p.path("\\ZORVA_VDJ1B_response.htm"), "", 3, false, true, false);
    ASSERT_EQ(p.shell.calls.size(), 1u);
    EXPECT_EQ(p.shell.calls[0].file, "ZORVA_VDJ1B_response.htm");
    EXPECT_EQ(p.shell.calls[0].workingFolder, p.folder());
}

TEST(SpustSoubor, AddressesNetworkPathsAndNoSplitGoWhole)
{
    const std::pair<QString, bool> cases[] = {
        {QStringLiteral("\\\\server\\share\\doc.htm"), false},
        {QStringLiteral("//server/share/doc.htm"), false},
        {QStringLiteral("doc.htm"), false},
        {QStringLiteral("http://localhost:8080/kLIM/hlp/ZORVA_VDJ_help.html"), true},
        {kDriveFile, true},
    };
    for (const auto& [file, noSplit] : cases) {
        TestProgram p;
        SpustSoubor(p.ctx, file, "", 3, true, true, noSplit);
        ASSERT_EQ(p.shell.calls.size(), 1u);
        EXPECT_EQ(p.shell.calls[0].file, file);
        EXPECT_EQ(p.shell.calls[0].workingFolder, "C:\\");
    }
}

TEST(SpustSoubor, ParametersWithAnInnerBlankAreQuoted)
{
    struct Case {
        const char* parameters;
        bool quote;
        const char* expected;
    } cases[] = {
        {"a b", true, "\"a b\""},
        {"ab c d", true, "\"ab c d\""},
        {" ab", true, " ab"},  // the first blank stands first: left alone
        {"ab", true, "ab"},
        {"", true, ""},
        {"\"a b\"", true, "\"\"a b\"\""},  // quoted ones get a second pair
        {"a b", false, "a b"},
    };
    for (const auto& c : cases) {
        TestProgram p;
        SpustSoubor(p.ctx, "http://a/b", c.parameters, 1, true, c.quote, true);
        ASSERT_EQ(p.shell.calls.size(), 1u);
        EXPECT_EQ(p.shell.calls[0].parameters, QString::fromUtf8(c.expected)) << c.parameters;
    }
}

TEST(SpustSoubor, LogThatCannotBeWrittenGoesToTheCaller)
{
    TestProgram p;
    p.write("soubor", "x");
    ProgramContext ctx = p.ctx;
    ctx.folder = p.path("soubor");  // a "folder" that is a regular file
    p.shell.result = 31;
    try {
        SpustSoubor(ctx, kDriveFile, "", 3, true, true, false);
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_EQ(f.number(), err::PathNotFound);
    }
    EXPECT_TRUE(p.messages.shown.empty());
}
