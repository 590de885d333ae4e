#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTcpServer>

#include "platform/XmlDocument.h"
#include "presentation/PdfPrinter.h"
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
QString pdfText(const QString& pdf)
{
    return poppler(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, "-"});
}

}  // namespace

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

    PdfPrinter printer;
    QStringList ended;
    QObject::connect(&printer, &PdfPrinter::made, [&](const QString& pdf) { ended << QFileInfo(pdf).fileName(); });
    QObject::connect(&printer, &PdfPrinter::failed, [&](const QString& pdf, const QString& problem) {
        ended << QFileInfo(pdf).fileName() + ": " + problem;
    });
    QEventLoop loop;
    QObject::connect(&printer, &PdfPrinter::allDone, &loop, &QEventLoop::quit);
    printer.add(folder + "/response-first.htm", folder + "/first.pdf");
    printer.add(folder + "/missing.htm", folder + "/missing.pdf");
    printer.add(folder + "/response-2006.htm", folder + "/nowhere/2006.pdf");
    printer.add(folder + "/response-2006.htm", folder + "/2006.pdf");
    printer.add(folder + "/remote.htm", folder + "/remote.pdf");
    EXPECT_TRUE(ended.isEmpty()) << "nothing ends within add()";
    EXPECT_TRUE(printer.busy());
    loop.exec();

    EXPECT_EQ(ended, (QStringList{"first.pdf", "missing.pdf: Stránka k tisku do PDF chybí.",
                                  "2006.pdf: Soubor \"" + folder + "/nowhere/2006.pdf\" nelze zapsat.", "2006.pdf",
                                  "remote.pdf"}));
    EXPECT_FALSE(printer.busy());
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
