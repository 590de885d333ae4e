#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "Version.h"

namespace {

struct Call {
    QStringList args;
    int status;
    const char* stdoutHas;             // empty: nothing on the standard output
    const char* stderrHas;             // empty: nothing on the error stream
    const char* stdoutFile = nullptr;  // where the standard output goes instead of the test
};

class CommandLine : public testing::TestWithParam<Call> {};

// Without a display any attempt to open the window fails, so a refused call that opened it would
// not end with status 2 and the usage.
TEST_P(CommandLine, AnswersWithoutWindow)
{
    const Call& c = GetParam();
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    if (c.stdoutFile) process.setStandardOutputFile(QString::fromUtf8(c.stdoutFile));
    process.start(QStringLiteral(ZORVA_PROGRAM_EXE), c.args);
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), c.status) << err.toStdString();
    if (*c.stdoutHas) EXPECT_TRUE(out.contains(QString::fromUtf8(c.stdoutHas))) << out.toStdString();
    else EXPECT_TRUE(out.isEmpty()) << out.toStdString();
    if (*c.stderrHas) EXPECT_TRUE(err.contains(QString::fromUtf8(c.stderrHas))) << err.toStdString();
    else EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    EXPECT_FALSE(err.contains(QStringLiteral("No such file"))) << err.toStdString();  // the system's English
}

const std::string version = QStringLiteral("ZORVA_VDJ %1.%2.0.%3\n")
                                .arg(zorva::version::major)
                                .arg(zorva::version::minor)
                                .arg(zorva::version::revision)
                                .toStdString();

// Built, the program folder is writable: it stays the executable's own.
const std::string programFolder = QFileInfo(QStringLiteral(ZORVA_PROGRAM_EXE)).absolutePath().toStdString() + "\n";
const QString sample = QFileInfo(QStringLiteral(ZORVA_PROGRAM_EXE)).absolutePath() + QStringLiteral("/test.xml");

INSTANTIATE_TEST_SUITE_P(
    Calls, CommandLine,
    testing::Values(
        Call{{"--help"}, 0, "Použití:\n", ""}, Call{{"--version"}, 0, version.c_str(), ""},
        Call{{"--program-folder"}, 0, programFolder.c_str(), ""},
        Call{{"--bogus"}, 2, "", "Neznámá volba \"--bogus\".\nPoužití:"}, Call{{"soubor.xml"}, 2, "", "Použití:"},
        Call{{"--help", "--bogus"}, 2, "", "Použití:"},
        Call{{"--recompute"}, 2, "", "Volbě --recompute chybí hodnota.\nPoužití:"},
        Call{{"--recompute", "--out", "x.xml"}, 2, "", "chybí hodnota"},
        Call{{"--recompute", "/nonexistent/in.xml"}, 2, "", "nelze přečíst"},
        Call{{"--render"}, 2, "", "Volbě --render chybí hodnota.\nPoužití:"},
        Call{{"--render", "in.xml", "--out", "--xml"}, 2, "", "Volbě --out chybí hodnota."},
        Call{{"--batch", "l.csv", "--out", "--resume"}, 2, "", "Volbě --out chybí hodnota."},
        Call{{"--render", "/nonexistent/in.xml", "--out", "/nonexistent/out.htm"}, 2, "", "nelze přečíst"},
        Call{{"--render", sample, "--out", "/nonexistent/out.htm"}, 2, "", "nelze zapsat"},
        // A device that is always full: nothing may end as if it had been written.
        Call{{"--render", sample, "--out", "/dev/full"}, 2, "", "Na disku není dost místa: /dev"},
        Call{{"--recompute", sample, "--out", "/dev/full"}, 2, "", "Na disku není dost místa: /dev"},
        // Printed without a display, and the web engine's own talk kept off the terminal.
        Call{{"--render", sample, "--pdf", "--out", "/dev/null"}, 0, "", ""},
        Call{{"--render", sample, "--pdf", "--out", "/dev/full"},
             2,
             "",
             "PDF nelze vytvořit: Na disku není dost místa: /dev"},
        Call{{"--render", sample, "--pdf"}, 2, "", "PDF se na standardní výstup nevypisuje."},
        Call{{"--recompute", sample}, 2, "", "Na disku není dost místa pro standardní výstup.", "/dev/full"},
        Call{{"--plan"}, 2, "", "Volbě --plan chybí hodnota.\nPoužití:"},
        Call{{"--plan", "/nonexistent/in.xml"}, 2, "", "nelze přečíst"},
        Call{{"--plan", sample, "--min", "nula"}, 2, "", "Dolní limit „nula“ není číslo."},
        Call{{"--plan", sample, "--min", "2", "--max", "1,5"}, 2, "", "je vyšší než horní"},
        Call{{"--plan", sample, "--category", "zebra"}, 2, "", "Kategorie „zebra“"},
        Call{{"--plan", sample}, 0, "PICHROKA 1,154 VDJ/ha: pro tento typ výpočtu není limit z nastavení.", ""},
        Call{{"--plan", sample, "--min", "0,3", "--max", "1.5"}, 0, "PICHROKA 1,154 VDJ/ha vyhovuje limitu", ""},
        Call{{"--plan", sample, "--min", "1.2", "--category", "skot starší"},
             1,
             "je pod limitem 1,200 (zadaný limit)",
             ""},
        Call{{"--plan", sample, "--max", "1", "--csv"}, 1, "ukazatel;hodnota;min;max;stav;", ""}));

// Runs started together in one program folder each get a working database of their own: a copy of
// the program in a folder of its own, so that the builds' own folder stays out of it.
TEST(ParallelRuns, RecomputesInOneProgramFolderAllSucceedAlike)
{
    const QTemporaryDir folder;
    const QString program = QDir(folder.path()).filePath(QStringLiteral("ZORVA_VDJ"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZORVA_PROGRAM_EXE), program));
    const QString input = QStringLiteral(ZORVA_DATA_DIR "/samples/response-first.xml");
    constexpr int runs = 30;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < runs; ++i) {
        auto& p = processes.emplace_back(std::make_unique<QProcess>());
        p->start(program, {QStringLiteral("--recompute"), input, QStringLiteral("--out"),
                           QDir(folder.path()).filePath(QStringLiteral("out%1.xml").arg(i))});
    }
    QByteArray first;
    for (int i = 0; i < runs; ++i) {
        QProcess& p = *processes[i];
        ASSERT_TRUE(p.waitForFinished(120000)) << i;
        EXPECT_EQ(p.exitCode(), 0) << i << ": " << p.readAllStandardError().toStdString();
        QFile out(QDir(folder.path()).filePath(QStringLiteral("out%1.xml").arg(i)));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << i;
        const QByteArray bytes = out.readAll();
        if (i == 0) first = bytes;
        EXPECT_FALSE(bytes.isEmpty()) << i;
        EXPECT_EQ(bytes, first) << i;
    }
    EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("TMP*")}, QDir::Files).isEmpty());
}

}  // namespace
