#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>

#include "common/Failure.h"
#include "common/ModAll.h"
#include "common/Windows1250.h"
#include "platform/WorkingDatabase.h"
#include "support/TestSupport.h"

using namespace zorva;
using zorva::test::LocaleScope;
using zorva::test::TestProgram;

namespace {

struct PathCase {
    const char* path;
    const char* expected;
};

}  // namespace

// ---- VratAdresar ----------------------------------------------------------------------------

TEST(VratAdresar, FolderOfWindowsAndNativePaths)
{
    const PathCase cases[] = {
        {"C:\\A\\B\\file.htm", "C:\\A\\B"},
        {"C:\\file.htm", "C:\\"},
        {"C:\\x.htm", "C:\\"},
        {"\\\\server\\share\\file", "\\\\server\\share"},
        {"C:\\A\\B\\", "C:\\A\\B"},  // a trailing backslash: only that one goes
        {"C:\\", "C:\\"},
        {"C:/A/f.htm", "C:/A"},
        {"C:/f.htm", "C:/"},
        {"/tmp/x/f.htm", "/tmp/x"},
        {"/f.htm", "/"},
        {"/tmp/x/", "/tmp/x"},
        {"ab/f.htm", "ab"},  // two characters, but no drive
        {"A\\B/c", "A\\B"},
        {"", ""},
    };
    for (const auto& c : cases) {
        TestProgram p;
        EXPECT_EQ(VratAdresar(p.ctx, QString::fromUtf8(c.path)), QString::fromUtf8(c.expected)) << c.path;
        EXPECT_TRUE(p.messages.shown.empty()) << c.path;
    }
}

TEST(VratAdresar, PathWithoutSeparatorShowsCriticalErrorAndGivesEmpty)
{
    for (const char* path : {"x.htm", "C:x.htm"}) {
        TestProgram p;
        EXPECT_EQ(VratAdresar(p.ctx, QString::fromUtf8(path)), QString()) << path;
        ASSERT_EQ(p.messages.shown.size(), 1u) << path;
        EXPECT_EQ(p.messages.shown[0].icon, MessageIcon::Critical);
        EXPECT_EQ(p.messages.shown[0].text, QStringLiteral("5-Neplatné volání procedury nebo argument"));
    }
}

// ---- VratJmenoSouboru -----------------------------------------------------------------------

TEST(VratJmenoSouboru, LastComponent)
{
    const PathCase cases[] = {
        {"C:\\A\\file.htm", "file.htm"},
        {"C:x.htm", "C:x.htm"},  // no backslash: unchanged, colon and all
        {"x.htm", "x.htm"},
        {"C:\\A\\", ""},  // ends with a separator
        {"\\\\server\\share\\file", "file"},
        {"/tmp/x/f.htm", "f.htm"},
        {"/f.htm", "f.htm"},
        {"D:\\dir\\C:name", "name"},  // with a separator present, the colon separates too
        {"", ""},
    };
    for (const auto& c : cases) {
        TestProgram p;
        EXPECT_EQ(VratJmenoSouboru(p.ctx, QString::fromUtf8(c.path)), QString::fromUtf8(c.expected)) << c.path;
        EXPECT_TRUE(p.messages.shown.empty());
    }
}

// ---- SpojCestu --------------------------------------------------------------------------------

TEST(SpojCestu, ExactlyOneSeparatorBetween)
{
    struct Case {
        const char *folder, *name, *expected;
    } cases[] = {
        {"C:\\P\\", "\\TMP.MDB", "C:\\P\\TMP.MDB"},
        {"C:\\P", "TMP.MDB", "C:\\P\\TMP.MDB"},
        {"C:\\P", "\\TMP.MDB", "C:\\P\\TMP.MDB"},
        {"C:\\P\\", "TMP.MDB", "C:\\P\\TMP.MDB"},
        {"", "TMP.MDB", "\\TMP.MDB"},
        {"C:\\P", "\\\\x", "C:\\P\\\\x"},  // only one leading separator of the name goes
        {"/tmp/p", "x.mdb", "/tmp/p/x.mdb"},
        {"/tmp/p/", "/x.mdb", "/tmp/p/x.mdb"},
        {"/tmp/p", "\\x.mdb", "/tmp/p/x.mdb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpojCestu(QString::fromUtf8(c.folder), QString::fromUtf8(c.name)), QString::fromUtf8(c.expected))
            << c.folder << " + " << c.name;
}

// ---- NajdiSoubor ------------------------------------------------------------------------------

TEST(NajdiSoubor, FirstMatchingNormalFile)
{
    TestProgram p;
    p.write("b.MDB", "x");
    p.write("a.mdb", "x");
    p.write("c.txt", "x");
    p.write(".skryty.mdb", "x");
    p.write("a[1].txt", "x");
    QDir(p.folder()).mkdir("TMPd.MDB");
    const QString f = p.folder() + QLatin1Char('/');

    EXPECT_EQ(NajdiSoubor(f + "?.mdb"), "a.mdb");
    EXPECT_EQ(NajdiSoubor(f + "A.MDB"), "a.mdb");  // letters match regardless of case
    EXPECT_EQ(NajdiSoubor(f + "c.*"), "c.txt");
    EXPECT_EQ(NajdiSoubor(f + "a[1].txt"), "a[1].txt");  // brackets are no wildcards
    EXPECT_EQ(NajdiSoubor(f + "TMP*.MDB"), "");          // a folder is no normal file
    EXPECT_EQ(NajdiSoubor(f + "TMP*.MDB", 16), "TMPd.MDB");
    EXPECT_EQ(NajdiSoubor(f + ".skryty*"), "");  // hidden
    EXPECT_EQ(NajdiSoubor(f + ".skryty*", 2), ".skryty.mdb");
    EXPECT_EQ(NajdiSoubor(f + "*.xls"), "");
    EXPECT_EQ(NajdiSoubor(f), "");  // no name part
}

TEST(NajdiSoubor, FailuresGiveEmptyText)
{
    TestProgram p;
    p.write("soubor.txt", "x");
    EXPECT_EQ(NajdiSoubor(p.folder() + "/neni/*.*"), "");
    EXPECT_EQ(NajdiSoubor(p.path("soubor.txt") + "/pod/*.*"), "");  // a folder that is a file
    EXPECT_EQ(NajdiSoubor("Z:\\neni\\x.txt"), "");
    EXPECT_EQ(NajdiSoubor(""), "");
}

// ---- SmazSoubory ------------------------------------------------------------------------------

namespace {

void fillTmpFolder(const TestProgram& p)
{
    p.write("TMP20061231140000000_.MDB", "db");
    p.write("TMP20061231140000100_.MDB", "db");
    p.write("tmp1_.mdb", "db");
    p.write("ZALOHA.MDB", "keep");
    p.write("TMP.txt", "keep");
    QDir(p.folder()).mkdir("TMPx.MDB");
}

}  // namespace

TEST(SmazSoubory, DeletesOnlyMatchingFiles)
{
    for (const QString& suffix : {QString(), QStringLiteral("/")}) {
        TestProgram p;
        fillTmpFolder(p);
        EXPECT_TRUE(SmazSoubory(p.ctx, p.folder() + suffix, "TMP*.MDB"));
        EXPECT_EQ(p.files().join(' '), "TMP.txt ZALOHA.MDB");
        EXPECT_TRUE(QFileInfo(p.path("TMPx.MDB")).isDir());  // a folder is no file to delete
        EXPECT_TRUE(p.messages.shown.empty());
    }
}

TEST(SmazSoubory, NothingToDeleteIsTrue)
{
    TestProgram p;
    p.write("ZALOHA.MDB", "keep");
    EXPECT_TRUE(SmazSoubory(p.ctx, p.folder(), "TMP*.MDB"));
    EXPECT_EQ(p.files(), QStringList{"ZALOHA.MDB"});
    EXPECT_TRUE(SmazSoubory(p.ctx, p.folder() + "/neni", "TMP*.MDB"));
    EXPECT_TRUE(p.messages.shown.empty());
}

// A file in use (70) or protected (75) stays; the others still go, and nothing is reported.
TEST(SmazSoubory, SkipsFileThatMayNotBeDeleted)
{
    for (int number : {err::PermissionDenied, err::PathFileAccess, err::FileNotFound}) {
        TestProgram p;
        fillTmpFolder(p);
        QStringList tried;
        const bool ok = SmazSoubory(p.ctx, p.folder(), "TMP*.MDB", [&](const QString& path) {
            tried << QFileInfo(path).fileName();
            if (path.endsWith("000_.MDB")) throw Failure(number, "obsazeno");
            removeFile(path);
        });
        EXPECT_TRUE(ok);
        EXPECT_EQ(tried.size(), 3);
        EXPECT_EQ(p.files().join(' '), "TMP.txt TMP20061231140000000_.MDB ZALOHA.MDB");
        EXPECT_TRUE(p.messages.shown.empty());
    }
}

// The file system would delete both without complaint; the cleanup leaves them and goes on.
TEST(SmazSoubory, SkipsReadOnlyFile)
{
    TestProgram p;
    fillTmpFolder(p);
    QFile::setPermissions(p.path("TMP20061231140000000_.MDB"), QFile::ReadOwner | QFile::ReadGroup);
    EXPECT_TRUE(SmazSoubory(p.ctx, p.folder(), "TMP*.MDB"));
    EXPECT_EQ(p.files().join(' '), "TMP.txt TMP20061231140000000_.MDB ZALOHA.MDB");
    EXPECT_TRUE(p.messages.shown.empty());
}

// Another running instance marks its open working database; the cleanup leaves that one alone.
TEST(SmazSoubory, SkipsWorkingDatabaseOpenInAnotherInstance)
{
    TestProgram p;
    fillTmpFolder(p);
    const QString open = p.path("TMP20061231150000000_.MDB");
    db::WorkingDatabase::create(open, ";LANGID=0x0405;CP=1252;COUNTRY=0");
    auto lockedByOthers = [&] { return QProcess::execute("flock", {"--nonblock", "--exclusive", open, "true"}) != 0; };
    {
        db::WorkingDatabase database;
        database.open(open);
        EXPECT_TRUE(lockedByOthers());
    }
    EXPECT_FALSE(lockedByOthers());

    QProcess other;
    other.start("flock", {"--shared", "--close", open, "sh", "-c", "echo ready; exec sleep 60"});
    ASSERT_TRUE(other.waitForReadyRead(30000));
    EXPECT_TRUE(SmazSoubory(p.ctx, p.folder(), "TMP*.MDB"));
    EXPECT_EQ(p.files().join(' '), "TMP.txt TMP20061231150000000_.MDB ZALOHA.MDB");
    other.kill();
    other.waitForFinished();
    EXPECT_TRUE(SmazSoubory(p.ctx, p.folder(), "TMP*.MDB"));
    EXPECT_EQ(p.files().join(' '), "TMP.txt ZALOHA.MDB");
    EXPECT_TRUE(p.messages.shown.empty());
}

TEST(SmazSoubory, OtherFailureStopsWithCriticalBox)
{
    TestProgram p;
    fillTmpFolder(p);
    int calls = 0;
    const bool ok = SmazSoubory(p.ctx, p.folder(), "TMP*.MDB", [&](const QString&) {
        ++calls;
        throw Failure(57, "Chyba vstupu/výstupu zařízení");
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_EQ(p.messages.shown[0].text, "57-Chyba vstupu/výstupu zařízení");
    EXPECT_EQ(p.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(p.files("TMP*").size(), 4);
}

TEST(RemoveFile, MapsFailuresOntoErrorNumbers)
{
    TestProgram p;
    p.write("soubor.txt", "x");
    try {
        removeFile(p.path("neni.txt"));
        FAIL() << "no failure for a missing file";
    } catch (const Failure& f) {
        EXPECT_EQ(f.number(), err::FileNotFound);
    }
    try {
        removeFile(p.path("soubor.txt") + "/pod.txt");
        FAIL() << "no failure below a regular file";
    } catch (const Failure& f) {
        EXPECT_EQ(f.number(), err::PathNotFound);
    }
    removeFile(p.path("soubor.txt"));
    EXPECT_FALSE(p.exists("soubor.txt"));
}

// Files of the kernel's process view cannot be deleted even by the administrator: the real
// removal must report them as files that may not be deleted, so that SmazSoubory skips them.
TEST(RemoveFile, ProtectedSystemFileIsSkippable)
{
    if (!QFile::exists("/proc/self/status")) GTEST_SKIP() << "no process file system";
    try {
        removeFile("/proc/self/status");
        FAIL() << "a process file was deleted";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.number() == err::PermissionDenied || f.number() == err::PathFileAccess) << f.number();
    }
    TestProgram p;
    EXPECT_TRUE(SmazSoubory(p.ctx, "/proc/self", "stat*"));
    EXPECT_TRUE(p.messages.shown.empty());
}

// ---- VytvorJmenoTMP ---------------------------------------------------------------------------

TEST(VytvorJmenoTMP, NameFromClockAndRandomPart)
{
    struct Case {
        double random;
        const char* part;
    } cases[] = {{0.2, "000"}, {0.7, "100"}, {0.5, "000"}, {0.5000001, "100"}, {0.0, "000"}, {0.999, "100"}};
    for (const auto& c : cases) {
        TestProgram p;
        p.clock.time = QDateTime(QDate(2026, 12, 6), QTime(19, 5, 7));
        p.clock.randoms = {c.random};
        EXPECT_EQ(VytvorJmenoTMP(p.ctx, p.folder(), "MDB"), p.folder() + "/TMP20261206190507" + c.part + "_.MDB")
            << c.random;
    }
}

TEST(VytvorJmenoTMP, EveryFieldHasTwoDigitsAndHoursRunToTwentyThree)
{
    TestProgram p;
    p.clock.time = QDateTime(QDate(2006, 1, 2), QTime(3, 4, 5));
    EXPECT_EQ(VytvorJmenoTMP(p.ctx, "C:\\P", "MDB"), "C:\\P\\TMP20060102030405000_.MDB");
    p.clock.time = QDateTime(QDate(2006, 12, 31), QTime(23, 59, 9));
    EXPECT_EQ(VytvorJmenoTMP(p.ctx, "C:\\P\\", "xml"), "C:\\P\\TMP20061231235909000_.xml");
}

TEST(VytvorJmenoTMP, NeverReturnsExistingFile)
{
    TestProgram p;
    p.clock.time = QDateTime(QDate(2006, 12, 31), QTime(14, 0, 0));
    p.write("TMP20061231140000000_.MDB", "db");
    p.clock.randoms = {0.1, 0.3, 0.4, 0.9};
    EXPECT_EQ(VytvorJmenoTMP(p.ctx, p.folder(), "MDB"), p.folder() + "/TMP20061231140000100_.MDB");

    // The same name in other letter case counts as taken.
    TestProgram q;
    q.clock.time = p.clock.time;
    q.write("tmp20061231140000100_.mdb", "db");
    q.clock.randoms = {0.9, 0.8, 0.1};
    EXPECT_EQ(VytvorJmenoTMP(q.ctx, q.folder(), "MDB"), q.folder() + "/TMP20061231140000000_.MDB");
}

namespace {

// A clock that moves on by one second at every reading.
class TickingClock : public Clock {
public:
    QDateTime now() const override
    {
        const QDateTime t = time;
        time = time.addSecs(1);
        return t;
    }
    void reseed() override { ++reseeds; }
    double random() override { return (++draws % 2) ? 0.1 : 0.9; }
    mutable QDateTime time = QDateTime(QDate(2006, 12, 31), QTime(14, 0, 0));
    int reseeds = 0;
    int draws = 0;
};

}  // namespace

TEST(VytvorJmenoTMP, BothNamesOfOneSecondTakenWaitsForTheClock)
{
    TestProgram p;
    TickingClock clock;
    p.ctx.clock = &clock;
    p.write("TMP20061231140000000_.MDB", "db");
    p.write("TMP20061231140000100_.MDB", "db");
    p.write("TMP20061231140001000_.MDB", "db");
    p.write("TMP20061231140001100_.MDB", "db");
    p.write("TMP20061231140002000_.MDB", "db");
    const QString name = VytvorJmenoTMP(p.ctx, p.folder(), "MDB");
    EXPECT_FALSE(QFile::exists(name));
    EXPECT_TRUE(QFileInfo(name).fileName().startsWith("TMP2006123114000")) << qPrintable(name);
    EXPECT_EQ(clock.reseeds, 1);
}

// ---- CtiINI -----------------------------------------------------------------------------------

TEST(CtiINI, DefaultsForMissingFileSectionOrKey)
{
    TestProgram p;
    EXPECT_EQ(CtiINI("SETUP", "SERVER", "vychozi", p.path("neni.INI")), "vychozi");
    p.write("ZORVA_VDJ.INI", "[SETUP]\r\nSERVER=http://a\r\n[QEL]\r\nDISABLE=\r\n");
    EXPECT_EQ(CtiINI("SETUP", "SERVER", "vychozi", p.ctx.settingsFile()), "http://a");
    EXPECT_EQ(CtiINI("JINAK", "SERVER", "vychozi", p.ctx.settingsFile()), "vychozi");
    EXPECT_EQ(CtiINI("SETUP", "HELP", "vychozi", p.ctx.settingsFile()), "vychozi");
    EXPECT_EQ(CtiINI("QEL", "DISABLE", "vychozi", p.ctx.settingsFile()), "");  // present but empty
    EXPECT_EQ(CtiINI("SETUP", "SERVER", "vychozi", p.folder()), "vychozi");    // a folder is no file
}

TEST(CtiINI, ValuesAreCutTo254Characters)
{
    TestProgram p;
    const QString v254 = QString(253, QChar('a')) + QStringLiteral("ž");
    const QString v300 = v254 + QString(46, QChar('b'));
    p.write("ZORVA_VDJ.INI",
            "[SETUP]\r\nDLOUHY=" + toWindows1250(v300) + "\r\nPRESNE=" + QByteArray(254, 'c') + "\r\n");
    const QString dlouhy = CtiINI("SETUP", "DLOUHY", "", p.ctx.settingsFile());
    EXPECT_EQ(dlouhy.size(), 254);
    EXPECT_EQ(dlouhy, v254);
    EXPECT_EQ(CtiINI("SETUP", "PRESNE", "", p.ctx.settingsFile()), QString(254, QChar('c')));
    EXPECT_EQ(CtiINI("SETUP", "NENI", QString(300, QChar('d')), p.ctx.settingsFile()).size(), 254);
}

// ---- FormatujCislo ----------------------------------------------------------------------------

TEST(FormatujCislo, RequestNumberText)
{
    struct Case {
        QVariant value;
        bool nullAsZero, keepZeros;
        const char* expected;
    } cases[] = {
        {QVariant(), false, false, "NULL"},
        {QVariant(), true, false, "0"},
        {QVariant(), true, true, "0"},
        {QString(""), false, false, "0"},
        {QString("12,50"), true, false, "12.5"},
        {QString("1 234,00"), true, false, "1234"},
        {QString::fromUtf8("1\u00A0234,00"), true, false, "1234"},
        {QString("100"), true, false, "100"},
        {QString("1000"), true, false, "1000"},
        {QString("0,0"), true, false, "0"},
        {QString("0,10"), true, false, "0.1"},
        {QString("10,00"), true, false, "10"},
        {QString("5,"), true, false, "5"},
        {QString(",5"), true, false, ".5"},
        {QString(",50"), true, false, ".50"},  // the point stands first: no zeros are stripped
        {QString("2,500"), true, false, "2.5"},
        {QString("12.50"), true, false, "12.5"},
        {QString("12,50"), true, true, "12.50"},
        {QString("12,"), true, true, "12"},
        {QString("100"), true, true, "100"},
        {QString(" "), true, false, ""},
        {QString("abc0"), true, false, "abc0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatujCislo(c.value, c.nullAsZero, c.keepZeros), QString::fromUtf8(c.expected))
            << c.value.toString().toStdString() << " " << c.nullAsZero << c.keepZeros;
}

TEST(FormatujCislo, NumbersUseTheirTextUnderTheUsersSettings)
{
    LocaleScope czech(LocaleScope::czech());
    EXPECT_EQ(FormatujCislo(12.5, true, false), "12.5");
    EXPECT_EQ(FormatujCislo(1234.0, true, false), "1234");
    EXPECT_EQ(FormatujCislo(7, true, false), "7");
}

// ---- CisloSTeckou -----------------------------------------------------------------------------

TEST(CisloSTeckou, PointAndNoBlanks)
{
    EXPECT_EQ(CisloSTeckou(QVariant()), "");
    EXPECT_EQ(CisloSTeckou(QString("1 234,5")), "1234.5");
    EXPECT_EQ(CisloSTeckou(QString::fromUtf8("1\u00A0234,5")), QString::fromUtf8("1\u00A0234.5"));
    EXPECT_EQ(CisloSTeckou(QString("")), "");
    EXPECT_EQ(CisloSTeckou(QString("0,10")), "0.10");  // zeros stay
    EXPECT_EQ(CisloSTeckou(QString("1,2,3")), "1.2.3");
    EXPECT_EQ(CisloSTeckou(42), "42");
}

TEST(CisloSTeckou, DoubleReadsTheSameUnderAnyDecimalSeparator)
{
    {
        LocaleScope czech(LocaleScope::czech());
        EXPECT_EQ(CisloSTeckou(1234.5), "1234.5");
        EXPECT_EQ(CisloSTeckou(-0.25), "-0.25");
    }
    {
        LocaleScope english(LocaleScope::english());
        EXPECT_EQ(CisloSTeckou(1234.5), "1234.5");
    }
}
