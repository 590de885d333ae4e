#include <gtest/gtest.h>
#include <functional>

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTcpServer>

#include "editor/Recompute.h"
#include "platform/XmlDocument.h"
#include "presentation/PdfPrinter.h"
#include "presentation/RenderCommand.h"
#include "presentation/Rendering.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::presentation;
using namespace zorva::test;

namespace {

// What poppler-utils (scripts/setup) read in a PDF, on one line.
QString poppler(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << tool.toStdString() << " did not run (poppler-utils)";
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}
QString pdfInfo(const QString& pdf)
{
    return poppler(QStringLiteral("pdfinfo"), {pdf});
}
QString pdfText(const QString& pdf)
{
    return poppler(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, "-"});
}

const QString kA4Landscape = QStringLiteral("Page size: 841.92 x 594.96 pts (A4)");
const QString kHeading = QStringLiteral("Výpočet velkých dobytčích jednotek a intenzity chovu");
const QString kChartLegend = QStringLiteral("PICHA – varianta A, s koňmi");
const QString kBand = QStringLiteral("Upraveno uživatelem – nejde o odpověď služby");

// Prints the jobs and gives how each ended, "a.pdf" or "a.pdf: problem", once all have. `added` runs
// between the last add() and the event loop.
QStringList printAll(const std::vector<std::pair<QString, QString>>& jobs,
                     const std::function<void(const PdfPrinter&, const QStringList&)>& added = {})
{
    PdfPrinter printer;
    QStringList ended;
    QObject::connect(&printer, &PdfPrinter::made, [&](const QString& pdf) { ended << QFileInfo(pdf).fileName(); });
    QObject::connect(&printer, &PdfPrinter::failed, [&](const QString& pdf, const QString& problem) {
        ended << QFileInfo(pdf).fileName() + ": " + problem;
    });
    QEventLoop loop;
    QObject::connect(&printer, &PdfPrinter::allDone, &loop, &QEventLoop::quit);
    for (const auto& [html, pdf] : jobs) printer.add(html, pdf);
    if (added) added(printer, ended);
    loop.exec();
    EXPECT_FALSE(printer.busy());
    return ended;
}

}  // namespace

// The report as --render writes it, printed: its tables, chart and bands on A4 landscape, and only
// the PDF left where the user asked for it.
TEST(PdfReport, PrintsThePageOnA4Landscape)
{
    struct Case {
        const char* what;
        QStringList edits;         // made by a recompute first, none for the service's answer
        QByteArray settings = {};  // limits that the recompute records
    };
    for (const Case& c : {Case{"the service's answer", {}}, Case{"changed and judged by limits",
                                                                 {"--set", "2005-03-01:SKOTML_POCET=25"},
                                                                 "[LIMITY]\r\nTYP4_MIN=0,3\r\nTYP4_MAX=1\r\n"}}) {
        TestProgram program;
        if (!c.settings.isEmpty()) program.write(QStringLiteral("ZORVA_VDJ.INI"), c.settings);
        program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
        program.copyData(QStringLiteral("samples/response-first.xml"), QStringLiteral("odpoved.xml"));
        const QString in = program.path(QStringLiteral("odpoved.xml"));
        if (!c.edits.isEmpty()) {
            ASSERT_EQ(editor::recompute(QStringList{"--recompute", in, "--out", in} + c.edits, program.ctx,
                                        {[](const QByteArray&) {}, [](const QString&) {}}),
                      0);
        }
        const QString folder = program.path(QStringLiteral("Sestavy žadatelů"));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString out = folder + QStringLiteral("/odpověď.pdf");
        QStringList errors;
        ASSERT_EQ(
            render({"--render", in, "--pdf", "--out", out}, program.ctx, {[&](const QString& e) { errors << e; }}), 0)
            << c.what << errors.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(errors.isEmpty()) << c.what;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("odpověď.pdf")});

        EXPECT_TRUE(pdfInfo(out).contains(kA4Landscape)) << c.what << pdfInfo(out).toStdString();
        const QString text = pdfText(out);
        EXPECT_TRUE(text.contains(kHeading)) << c.what << text.left(300).toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Rodinná farma Dvořák"))) << c.what;
        EXPECT_TRUE(text.contains(kChartLegend)) << c.what;
        EXPECT_EQ(text.contains(kBand), !c.edits.isEmpty()) << c.what;
        EXPECT_EQ(text.contains(QStringLiteral("limit z nastavení")), !c.settings.isEmpty()) << c.what;
    }
}

TEST(PdfReport, BadInputEndsWithTwoAndNoFile)
{
    struct Case {
        const char* what;
        QStringList args;  // IN and OUT stand for the input and the output
        const char* told;
        QByteArray input = dataFile(QStringLiteral("samples/response-first.xml"));  // empty: no input file
        bool stylesheet = true;
        QString out = QStringLiteral("out.pdf");
    };
    const QByteArray sample = dataFile(QStringLiteral("samples/response-first.xml"));
    const QStringList usual = {"--render", "IN", "--pdf", "--out", "OUT"};
    const std::vector<Case> cases = {
        {"no input", usual, "nelze přečíst", {}},
        {"not XML", usual, "není platný dokument XML", "žádné XML"},
        {"no stylesheet", usual, "Šablona stylu ZORVA_VDJ1B.xsl", sample, false},
        {"no output named", {"--render", "IN", "--pdf"}, "PDF se na standardní výstup nevypisuje"},
        {"with --xml", usual + QStringList{"--xml"}, "nelze použít zároveň"},
        {"a folder that is not there", usual, "nelze zapsat", sample, true, QStringLiteral("chybí/out.pdf")},
    };
    for (const Case& c : cases) {
        TestProgram program;
        if (c.stylesheet) program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
        if (!c.input.isEmpty()) program.write(QStringLiteral("in.xml"), c.input);
        QStringList args;
        for (const QString& a : c.args)
            args << (a == "IN" ? program.path(QStringLiteral("in.xml")) : a == "OUT" ? program.path(c.out) : a);
        QStringList errors;
        EXPECT_EQ(render(args, program.ctx, {[&](const QString& e) { errors << e; }}), 2) << c.what;
        ASSERT_EQ(errors.size(), 1) << c.what;
        EXPECT_TRUE(errors[0].contains(QString::fromUtf8(c.told))) << c.what << ": " << errors[0].toStdString();
        EXPECT_TRUE(program.files(QStringLiteral("*.pdf")).isEmpty()) << c.what;
    }
}

// Several pages through one printer, in turn: the good ones printed, each bad one told in Czech with
// no file, and a page that asks the network gets nothing from it.
TEST(PdfPrinter, PrintsQueuedPagesInTurn)
{
    TestProgram program;
    program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
    const QString folder = program.path(QStringLiteral("Stránky k tisku"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const ResponsePages pages(program.ctx);
    for (const char* sample : {"response-first", "response-2006"}) {
        xml::Document response;
        ASSERT_TRUE(response.load(ZORVA_DATA_DIR "/samples/" + QString::fromLatin1(sample) + ".xml"));
        pages.write(response, folder + "/" + sample + ".htm");
    }
    QTcpServer network;
    ASSERT_TRUE(network.listen(QHostAddress::LocalHost));
    const QString remote = QStringLiteral("http://127.0.0.1:%1/").arg(network.serverPort());
    program.write(QStringLiteral("Stránky k tisku/remote.htm"),
                  QStringLiteral("<html><head><link rel=stylesheet href=\"%1s.css\"></head><body><p>Místní "
                                 "stránka</p><img src=\"%1a.png\"><iframe src=\"cizi.txt\"></iframe>"
                                 "</body></html>")
                      .arg(remote)
                      .toUtf8());

    program.write(QStringLiteral("Stránky k tisku/cizi.txt"), "Cizi soubor 4711");

    const QStringList ended = printAll({{folder + "/response-first.htm", folder + "/first.pdf"},
                                        {folder + "/missing.htm", folder + "/missing.pdf"},
                                        {folder + "/response-2006.htm", folder + "/nowhere/2006.pdf"},
                                        {folder + "/response-2006.htm", folder + "/2006.pdf"},
                                        {folder + "/remote.htm", folder + "/remote.pdf"}},
                                       [](const PdfPrinter& printer, const QStringList& endedSoFar) {
                                           EXPECT_TRUE(endedSoFar.isEmpty()) << "nothing ends within add()";
                                           EXPECT_TRUE(printer.busy());
                                       });
    EXPECT_EQ(ended, (QStringList{"first.pdf", "missing.pdf: Stránka k tisku do PDF chybí.",
                                  "2006.pdf: Soubor \"" + folder + "/nowhere/2006.pdf\" nelze zapsat.", "2006.pdf",
                                  "remote.pdf"}));
    EXPECT_EQ(QDir(folder).entryList({"*.pdf"}, QDir::Files), (QStringList{"2006.pdf", "first.pdf", "remote.pdf"}));
    // Each job prints its own page, not the one before.
    EXPECT_TRUE(pdfText(folder + "/first.pdf").contains(QStringLiteral("Rok 2005")));
    EXPECT_TRUE(pdfText(folder + "/2006.pdf").contains(QStringLiteral("Ekologické zemědělství")));
    EXPECT_FALSE(pdfText(folder + "/first.pdf").contains(QStringLiteral("Ekologické zemědělství")));
    const QString remoteText = pdfText(folder + "/remote.pdf");
    EXPECT_TRUE(remoteText.contains(QStringLiteral("Místní stránka")));
    EXPECT_FALSE(network.waitForNewConnection(0)) << "the page reached " << remote.toStdString();
    EXPECT_FALSE(remoteText.contains(QStringLiteral("Cizi soubor 4711"))) << "the page framed another local file";
}

// Without its engine's module the printer costs only the PDFs: every job, and --render --pdf, ends
// in the same Czech sentence, with no file and none of the loader's English.
TEST(PdfPrinter, WithoutItsModuleEveryJobFailsInCzech)
{
    const QString told =
        QStringLiteral("Modul tisku do PDF (" ZORVA_PDF_MODULE ") vedle programu chybí nebo jej nelze načíst.");
    struct Case {
        const char* what;
        QByteArray module;  // the file in the module's place; empty: none
    };
    for (const Case& c : {Case{"no module", {}}, Case{"a file that is no library",
                                                      "\x7f"
                                                      "ELF, ale ne knihovna"}}) {
        TestProgram program;
        program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
        program.copyData(QStringLiteral("samples/response-first.xml"), QStringLiteral("odpoved.xml"));
        program.write(QStringLiteral("stranka.htm"), "<html><body><p>Stránka</p></body></html>");
        if (!c.module.isEmpty()) program.write(QStringLiteral(ZORVA_PDF_MODULE), c.module);
        qputenv("ZORVA_PDF_MODULE_DIR", QFile::encodeName(program.folder()));

        const QString page = program.path(QStringLiteral("stranka.htm"));
        EXPECT_EQ(
            printAll({{page, program.path(QStringLiteral("a.pdf"))}, {page, program.path(QStringLiteral("b.pdf"))}}),
            (QStringList{"a.pdf: " + told, "b.pdf: " + told}))
            << c.what;

        QStringList errors;
        EXPECT_EQ(render({"--render", program.path(QStringLiteral("odpoved.xml")), "--pdf", "--out",
                          program.path(QStringLiteral("c.pdf"))},
                         program.ctx, {[&](const QString& e) { errors << e; }}),
                  2)
            << c.what;
        EXPECT_EQ(errors, QStringList{"PDF nelze vytvořit: " + told}) << c.what;
        EXPECT_TRUE(program.files(QStringLiteral("*.pdf")).isEmpty()) << c.what;
        qunsetenv("ZORVA_PDF_MODULE_DIR");
    }
}

// A job that outlasts its time limit fails in Czech with no file, and the engine under it is dropped:
// the next job prints on a fresh one.
TEST(PdfPrinter, AJobPastItsTimeLimitFailsAndTheNextPrints)
{
    TestProgram program;
    program.write(QStringLiteral("stranka.htm"), "<html><body><p>Stránka k tisku</p></body></html>");
    const QString page = program.path(QStringLiteral("stranka.htm"));
    PdfPrinter printer;
    printer.setTimeLimit({std::chrono::milliseconds(1), std::chrono::milliseconds(0)});
    QStringList ended;
    QEventLoop loop;
    QObject::connect(&printer, &PdfPrinter::failed, [&](const QString& pdf, const QString& problem) {
        ended << QFileInfo(pdf).fileName() + ": " + problem;
        printer.setTimeLimit({});
        printer.add(page, program.path(QStringLiteral("b.pdf")));
    });
    QObject::connect(&printer, &PdfPrinter::made, [&](const QString& pdf) { ended << QFileInfo(pdf).fileName(); });
    QObject::connect(&printer, &PdfPrinter::allDone, &loop, &QEventLoop::quit);
    printer.add(page, program.path(QStringLiteral("a.pdf")));
    loop.exec();
    EXPECT_EQ(ended, (QStringList{"a.pdf: Tisk stránky do PDF nedoběhl do 1 s a byl přerušen.", "b.pdf"}));
    EXPECT_EQ(program.files(QStringLiteral("*.pdf")), QStringList{"b.pdf"});
    EXPECT_TRUE(pdfText(program.path(QStringLiteral("b.pdf"))).contains(QStringLiteral("Stránka k tisku")));
}
