// The two files the program rewrites, the response and the settings file, must survive a killed
// process and a full disk: whoever reads them afterwards finds the old or the new complete version.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <csignal>
#include <random>

#include "common/Failure.h"
#include "common/IniFile.h"
#include "platform/XmlDocument.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;

namespace {

// A response of about two megabytes, so that one save takes long enough to be interrupted.
xml::Document bigResponse(char fill)
{
    xml::Document doc;
    EXPECT_TRUE(doc.loadXml("<?xml version=\"1.0\"?><VDJ:RESPONSE xmlns:VDJ=\"http://example.cz/VDJ\"/>"));
    xml::Node root = doc.root();
    for (int i = 0; i < 2000; ++i)
        root.appendElement(QStringLiteral("VDJ:PICHROW"), QString(1000, QLatin1Char(fill)))
            .setAttribute(QStringLiteral("DATPLATNOST"), QString::number(i));
    return doc;
}

// Starts a child that repeats write(0), write(1), write(0)... until it is killed, kills it with
// SIGKILL after a random while, and checks the file after each kill.
void killWritersAtRandom(const QString& path, const std::function<void(int)>& write, const QByteArray& first,
                         const QByteArray& second, int rounds)
{
    std::mt19937 random(20061231);
    std::uniform_int_distribution<int> pause(0, 40000);
    int seenFirst = 0, seenSecond = 0;
    for (int round = 0; round < rounds; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 1;; ++i) {
                try {
                    write(i % 2);
                } catch (...) {
                    _exit(3);
                }
            }
        }
        usleep(useconds_t(pause(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << status;
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "round " << round;
        const QByteArray now = f.readAll();
        ASSERT_TRUE(now == first || now == second)
            << "round " << round << ": " << now.size() << " bytes, neither version";
        (now == first ? seenFirst : seenSecond)++;
    }
    // Both versions were seen, so the kills did land while the writer was busy replacing the file.
    EXPECT_GT(seenFirst + seenSecond, 0);
    std::cout << "old/new versions after kill: " << seenFirst << "/" << seenSecond << "\n";
}

// Temporary files that a killed writer left beside the target (they never replace it).
QStringList leftovers(const QString& folder, const QString& keep)
{
    QStringList names = QDir(folder).entryList(QDir::Files);
    names.removeAll(keep);
    return names;
}

// A process-wide limit on the size of any file written, standing in for a full disk: a write past
// it fails with EFBIG, as a write to a full disk fails with ENOSPC.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

}  // namespace

TEST(CrashSafety, AKilledResponseSaveLeavesTheOldOrTheNewFile)
{
    TestProgram program;
    const QString path = program.path(QStringLiteral("ZORVA_VDJ1B_response.xml"));
    const xml::Document docs[2] = {bigResponse('a'), bigResponse('b')};
    docs[1].save(path);
    const QByteArray second = program.read(QStringLiteral("ZORVA_VDJ1B_response.xml"));
    docs[0].save(path);
    const QByteArray first = program.read(QStringLiteral("ZORVA_VDJ1B_response.xml"));
    ASSERT_NE(first, second);
    killWritersAtRandom(
        path, [&](int which) { docs[which].save(path); }, first, second, 60);
    for (const QString& name : leftovers(program.folder(), QStringLiteral("ZORVA_VDJ1B_response.xml")))
        EXPECT_FALSE(name.endsWith(QLatin1String(".xml"))) << name.toStdString();
}

TEST(CrashSafety, AKilledSettingsWriteLeavesTheOldOrTheNewFile)
{
    TestProgram program;
    const QString path = program.ctx.settingsFile();
    ini::writeString(QStringLiteral("QEL"), QStringLiteral("DISABLE"), QStringLiteral("1"), path);
    const QString values[2] = {QString(300000, QLatin1Char('a')),
                               QStringLiteral("http://127.0.0.1/kLIM/APP/v0100/kLIMsrv.asp")};
    auto write = [&](int which) {
        ini::writeString(QStringLiteral("SETUP"), QStringLiteral("SERVER"), values[which], path);
    };
    write(1);
    const QByteArray second = program.read(QStringLiteral("ZORVA_VDJ.INI"));
    write(0);
    const QByteArray first = program.read(QStringLiteral("ZORVA_VDJ.INI"));
    killWritersAtRandom(path, write, first, second, 60);
    EXPECT_EQ(ini::readString(QStringLiteral("QEL"), QStringLiteral("DISABLE"), QString(), path), QStringLiteral("1"));
}

TEST(FullDisk, AResponseThatDoesNotFitRaisesAFailureAndKeepsTheOldFile)
{
    TestProgram program;
    program.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), "<old/>");
    const xml::Document doc = bigResponse('n');
    {
        FileSizeLimit full(64 * 1024);
        try {
            doc.save(program.path(QStringLiteral("ZORVA_VDJ1B_response.xml")));
            ADD_FAILURE() << "the save did not fail";
        } catch (const Failure& f) {
            EXPECT_EQ(f.number(), 75);
            EXPECT_FALSE(f.description().isEmpty());
        }
    }
    EXPECT_EQ(program.read(QStringLiteral("ZORVA_VDJ1B_response.xml")), QByteArray("<old/>"));
    EXPECT_EQ(leftovers(program.folder(), QStringLiteral("ZORVA_VDJ1B_response.xml")), QStringList());
}

TEST(FullDisk, ASettingsWriteThatDoesNotFitFailsAndKeepsTheOldFile)
{
    TestProgram program;
    const QString path = program.ctx.settingsFile();
    ini::writeString(QStringLiteral("SETUP"), QStringLiteral("USERID"), QStringLiteral("DEMO"), path);
    const QByteArray before = program.read(QStringLiteral("ZORVA_VDJ.INI"));
    {
        FileSizeLimit full(4096);
        EXPECT_FALSE(
            ini::writeString(QStringLiteral("SETUP"), QStringLiteral("ROK"), QString(100000, QLatin1Char('9')), path));
    }
    EXPECT_EQ(program.read(QStringLiteral("ZORVA_VDJ.INI")), before);
    EXPECT_EQ(leftovers(program.folder(), QStringLiteral("ZORVA_VDJ.INI")), QStringList());
}

TEST(FullDisk, SettingsInAFolderBelowAFileAreDefaultsAndAFailureToWrite)
{
    TestProgram program;
    program.write(QStringLiteral("plain-file"), "x");
    const QString path = program.path(QStringLiteral("plain-file")) + QStringLiteral("/ZORVA_VDJ.INI");
    EXPECT_EQ(ini::readString(QStringLiteral("SETUP"), QStringLiteral("SERVER"), QStringLiteral("výchozí"), path),
              QStringLiteral("výchozí"));
    EXPECT_FALSE(ini::writeString(QStringLiteral("SETUP"), QStringLiteral("SERVER"), QStringLiteral("x"), path));
    EXPECT_EQ(program.read(QStringLiteral("plain-file")), QByteArray("x"));
}
