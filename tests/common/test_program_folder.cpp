#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/ProgramFolder.h"

using namespace zorva;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The tests run as the superuser, whom permission bits do not stop: a folder counts as unwritable
// here when it lies below a regular file, where nothing can be made.
struct FolderCase {
    const char* name;
    bool executableWritable;
    bool userCreatable;
    bool userChosen;
};

}  // namespace

class ProgramFolderChoice : public testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolderChoice, WritableExecutableFolderElsePerUserFolder)
{
    const FolderCase& c = GetParam();
    QTemporaryDir root;
    const QDir r(root.path());
    writeAll(r.filePath(QStringLiteral("file")), "x");
    const QString blocked = r.filePath(QStringLiteral("file/below"));
    const QString executable = c.executableWritable ? r.filePath(QStringLiteral("bin")) : blocked;
    const QString user = c.userCreatable ? r.filePath(QStringLiteral("home/.local/share/ZORVA_VDJ")) : blocked;
    QDir().mkpath(r.filePath(QStringLiteral("bin")));

    EXPECT_EQ(canWriteIn(executable), c.executableWritable);
    EXPECT_EQ(programFolder(executable, user, {QStringLiteral("\\ZORVA_VDJ.INI")}), c.userChosen ? user : executable);
    EXPECT_EQ(QFileInfo(user).isDir(), c.userChosen);
    EXPECT_EQ(QDir(r.filePath(QStringLiteral("bin"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());  // the probe leaves nothing behind
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramFolderChoice,
                         testing::Values(FolderCase{"ExecutableWritable", true, true, false},
                                         FolderCase{"ExecutableUnwritable", false, true, true},
                                         FolderCase{"NeitherWritable", false, false, false}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(ProgramFolderSeeding, CopiesWhatIsMissingWritableAndKeepsWhatTheUserChanged)
{
    QTemporaryDir shipped, user;
    const QDir from(shipped.path()), to(user.path());
    writeAll(from.filePath(QStringLiteral("ZORVA_VDJ.INI")), "[SETUP]\r\nUSERID=\r\n");
    writeAll(from.filePath(QStringLiteral("ZORVA_VDJ1B.xsl")), "<xsl/>");
    QFile::setPermissions(from.filePath(QStringLiteral("ZORVA_VDJ.INI")),
                          QFileDevice::ReadOwner | QFileDevice::ReadOther);
    writeAll(to.filePath(QStringLiteral("ZORVA_VDJ1B.xsl")), "<changed/>");

    const QStringList names{QStringLiteral("\\ZORVA_VDJ.INI"), QStringLiteral("\\ZORVA_VDJ1B.xsl"),
                            QStringLiteral("\\test.xml")};
    seedFolder(from.path(), to.path(), names);
    EXPECT_EQ(readAll(to.filePath(QStringLiteral("ZORVA_VDJ.INI"))), "[SETUP]\r\nUSERID=\r\n");
    EXPECT_TRUE(QFile::permissions(to.filePath(QStringLiteral("ZORVA_VDJ.INI"))) & QFileDevice::WriteOwner);
    EXPECT_EQ(readAll(to.filePath(QStringLiteral("ZORVA_VDJ1B.xsl"))), "<changed/>");
    EXPECT_FALSE(QFile::exists(to.filePath(QStringLiteral("test.xml"))));  // not shipped, not made up

    writeAll(to.filePath(QStringLiteral("ZORVA_VDJ.INI")), "[SETUP]\r\nUSERID=DEMO\r\n");
    seedFolder(from.path(), to.path(), names);
    EXPECT_EQ(readAll(to.filePath(QStringLiteral("ZORVA_VDJ.INI"))), "[SETUP]\r\nUSERID=DEMO\r\n");
}
