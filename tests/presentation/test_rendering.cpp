#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

#include "common/Windows1250.h"
#include "presentation/Rendering.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::presentation;
using namespace zorva::test;

namespace {

const QByteArray kResponse = dataFile(QStringLiteral("samples/response-first.xml"));

QByteArray sampleWith(const QByteArray& from, const QByteArray& to)
{
    QByteArray b = kResponse;
    return b.replace(from, to);
}

}  // namespace

class Rendering : public ::testing::Test {
protected:
    void SetUp() override
    {
        program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
        program.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), kResponse);
    }
    QString htmlText() { return fromWindows1250(program.read(QStringLiteral("ZORVA_VDJ1B_response.htm"))); }
    TestProgram program;
};

TEST_F(Rendering, MainWindowHtmlPageIsWindows1250AndEndsWithOneLineBreak)
{
    ZobrazOdpoved(program.ctx, HtmlCheck::Checked);
    const QByteArray page = program.read(QStringLiteral("ZORVA_VDJ1B_response.htm"));
    ASSERT_FALSE(page.isEmpty());
    EXPECT_TRUE(page.endsWith("\r\n"));
    EXPECT_FALSE(page.endsWith("\r\n\r\n"));
    EXPECT_FALSE(page.endsWith("\n\r\n"));
    EXPECT_TRUE(page.toLower().contains("charset=windows-1250"));
    // Czech letters are single bytes of the code page, readable again.
    EXPECT_TRUE(htmlText().contains(QStringLiteral("Výměra"))) << page.left(400).toStdString();
    EXPECT_FALSE(page.contains("\xc5\x99"));  // no UTF-8 "ř" in a Windows-1250 page
    EXPECT_FALSE(program.exists(QStringLiteral("ZORVA_VDJ1B_response_.xml")));
    ASSERT_EQ(program.shell.calls.size(), 1u);
    EXPECT_EQ(program.shell.calls[0].file.section(QLatin1Char('/'), -1), QStringLiteral("ZORVA_VDJ1B_response.htm"));
    EXPECT_EQ(program.shell.calls[0].showCommand, 3);
    EXPECT_TRUE(program.shell.calls[0].parameters.isEmpty());
    EXPECT_TRUE(program.messages.shown.empty());
}

TEST_F(Rendering, CharactersOutsideTheCodePageBecomeReferences)
{
    program.write(QStringLiteral("ZORVA_VDJ1B_response.xml"),
                  sampleWith(QByteArray("Dvořák"), QString::fromUtf8("Dvořák ★ 漢").toUtf8()));
    ZobrazOdpoved(program.ctx, HtmlCheck::Checked);
    const QByteArray page = program.read(QStringLiteral("ZORVA_VDJ1B_response.htm"));
    EXPECT_TRUE(page.contains("&#9733;")) << page.toStdString();
    EXPECT_TRUE(page.contains("&#28450;"));
    EXPECT_FALSE(page.contains("?"));
}

// A user's stylesheet that declares UTF-8 gets a page in UTF-8, as the page itself says.
TEST_F(Rendering, PageIsWrittenInTheEncodingTheStylesheetDeclares)
{
    QByteArray xsl = dataFile(QStringLiteral("ZORVA_VDJ1B.xsl"));
    ASSERT_TRUE(xsl.contains("encoding=\"windows-1250\" indent"));
    program.write(QStringLiteral("ZORVA_VDJ1B.xsl"),
                  xsl.replace("encoding=\"windows-1250\" indent", "encoding=\"UTF-8\" indent"));
    ZobrazOdpoved(program.ctx, HtmlCheck::Checked);
    const QByteArray page = program.read(QStringLiteral("ZORVA_VDJ1B_response.htm"));
    EXPECT_TRUE(page.toLower().contains("charset=utf-8")) << page.left(400).toStdString();
    EXPECT_TRUE(QString::fromUtf8(page).contains(QStringLiteral("Výměra")));
    EXPECT_TRUE(page.contains("Dvo\xc5\x99\xc3\xa1k"));  // "Dvořák" in UTF-8
    EXPECT_TRUE(page.endsWith("\r\n"));
}

TEST_F(Rendering, UncheckedAndGreyedTakeTheXmlPath)
{
    for (HtmlCheck state : {HtmlCheck::Unchecked, HtmlCheck::Grayed}) {
        ZobrazOdpoved(program.ctx, state);
        const QByteArray xml = program.read(QStringLiteral("ZORVA_VDJ1B_response_XSL.xml"));
        EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << xml.left(80).toStdString();
        EXPECT_TRUE(xml.contains("<?xml-stylesheet type='text/xsl' href='ZORVA_VDJ1B.xsl'?>"));
        EXPECT_TRUE(xml.contains("<SOAP:Envelope"));
        EXPECT_FALSE(program.exists(QStringLiteral("ZORVA_VDJ1B_response.htm")));
    }
    EXPECT_EQ(program.shell.calls.size(), 2u);
}

TEST_F(Rendering, RenderingTwiceReplacesTheOutputFiles)
{
    program.write(QStringLiteral("ZORVA_VDJ1B_response.htm"), QByteArray(100000, 'x'));
    ZobrazOdpoved(program.ctx, HtmlCheck::Checked);
    const QByteArray first = program.read(QStringLiteral("ZORVA_VDJ1B_response.htm"));
    EXPECT_FALSE(first.contains("xxxxxxxx"));
    program.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), sampleWith("Dvořák", "Novák"));
    ZobrazOdpoved(program.ctx, HtmlCheck::Checked);
    EXPECT_TRUE(htmlText().contains(QStringLiteral("Novák")));
    EXPECT_FALSE(htmlText().contains(QStringLiteral("Dvořák")));
}

TEST_F(Rendering, MissingResponseOrStylesheetIsToldAndTheEarlierPageStays)
{
    struct Case {
        const char* what;
        std::function<void(TestProgram&)> prepare;
        const char* told;
    };
    const std::vector<Case> cases = {
        {"no response", [](TestProgram& p) { QFile::remove(p.path(QStringLiteral("ZORVA_VDJ1B_response.xml"))); },
         "Odpověď služby chybí nebo je prázdná."},
        {"no stylesheet", [](TestProgram& p) { QFile::remove(p.path(QStringLiteral("ZORVA_VDJ1B.xsl"))); },
         "ZORVA_VDJ1B.xsl ve složce programu chybí nebo je chybná."},
        {"malformed stylesheet", [](TestProgram& p) { p.write(QStringLiteral("ZORVA_VDJ1B.xsl"), "<xsl:stylesheet"); },
         "chybí nebo je chybná."},
        {"not a stylesheet", [](TestProgram& p) { p.write(QStringLiteral("ZORVA_VDJ1B.xsl"), "<a/>"); },
         "chybí nebo je chybná."},
        {"a response with a DOCTYPE",
         [](TestProgram& p) {
             p.write(QStringLiteral("ZORVA_VDJ1B_response.xml"),
                     sampleWith("<SOAP:Envelope", "<!DOCTYPE x><SOAP:Envelope"));
         },
         "Dokument obsahuje deklaraci typu dokumentu (DOCTYPE), kterou program nepřijímá."},
        {"a response too large", [](TestProgram& p) { p.writeOversized(QStringLiteral("ZORVA_VDJ1B_response.xml")); },
         "Dokument je příliš velký (nejvýše 64 MB)."},
        {"page not writable",
         [](TestProgram& p) {
             QFile::remove(p.path(QStringLiteral("ZORVA_VDJ1B_response.htm")));
             QDir().mkpath(p.path(QStringLiteral("ZORVA_VDJ1B_response.htm")));
         },
         "ZORVA_VDJ1B_response.htm"},
    };
    for (const Case& c : cases) {
        TestProgram p;
        p.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
        p.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), kResponse);
        p.write(QStringLiteral("ZORVA_VDJ1B_response.htm"), "dřívější");
        c.prepare(p);
        // The earlier page, or what stands in its place, is left as it was.
        const bool earlierPage = QFileInfo(p.path(QStringLiteral("ZORVA_VDJ1B_response.htm"))).isFile();
        ZobrazOdpoved(p.ctx, HtmlCheck::Checked);
        if (earlierPage) {
            EXPECT_EQ(p.read(QStringLiteral("ZORVA_VDJ1B_response.htm")), QByteArray("dřívější")) << c.what;
        } else {
            EXPECT_TRUE(QFileInfo(p.path(QStringLiteral("ZORVA_VDJ1B_response.htm"))).isDir()) << c.what;
        }
        EXPECT_TRUE(p.shell.calls.empty()) << c.what;
        ASSERT_EQ(p.messages.shown.size(), 1u) << c.what;
        EXPECT_TRUE(p.messages.shown[0].text.startsWith(QStringLiteral("Sestavu nelze zobrazit. ")));
        EXPECT_TRUE(p.messages.shown[0].text.contains(QString::fromUtf8(c.told)))
            << p.messages.shown[0].text.toStdString();
        EXPECT_FALSE(p.exists(QStringLiteral("ZORVA_VDJ1B_response_.xml"))) << c.what;
    }
}

// Not an empty view either: it would read as the service's answer.
TEST_F(Rendering, AResponseThatTheLoaderRefusesIsToldInTheXmlPathToo)
{
    program.writeOversized(QStringLiteral("ZORVA_VDJ1B_response.xml"));
    ZobrazOdpoved(program.ctx, HtmlCheck::Unchecked);
    EXPECT_EQ(program.messages.texts(),
              QStringList{QStringLiteral("Sestavu nelze zobrazit. Dokument je příliš velký (nejvýše 64 MB).")});
    EXPECT_FALSE(program.exists(QStringLiteral("ZORVA_VDJ1B_response_XSL.xml")));
    EXPECT_TRUE(program.shell.calls.empty());
}

TEST_F(Rendering, EditorStoresItsDocumentAndShowsOnlyTheResponsePart)
{
    xml::Document doc;
    doc.loadXml(sampleWith("Dvořák", "Edited"));
    ZobrazEditor(program.ctx, doc, HtmlCheck::Unchecked);
    EXPECT_TRUE(program.read(QStringLiteral("ZORVA_VDJ1B_response.xml")).contains("Edited"));
    const QByteArray xml = program.read(QStringLiteral("ZORVA_VDJ1B_response_XSL.xml"));
    EXPECT_TRUE(xml.contains("<?xml-stylesheet type='text/xsl' href='ZORVA_VDJ1B.xsl'?>"))
        << xml.left(300).toStdString();
    EXPECT_FALSE(xml.contains("SOAP:Envelope"));
    EXPECT_TRUE(xml.contains("<kLIM:Response"));

    ZobrazEditor(program.ctx, doc, HtmlCheck::Checked);
    EXPECT_TRUE(htmlText().contains(QStringLiteral("Edited")));
    EXPECT_FALSE(program.exists(QStringLiteral("ZORVA_VDJ1B_response_.xml")));
}

TEST_F(Rendering, EditorInstructionComesFromTheDataResponse)
{
    struct Case {
        QByteArray from, to;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"showXSLTtype=\"text/xsl\" showXSLTPath=\"ZORVA_VDJ1B.xsl\"",
         "showXSLTtype=\"a/b\" showXSLTPath=\"http://x/y.xsl\"", "<?xml-stylesheet type='a/b' href='http://x/y.xsl'?>"},
        {"showXSLTtype=\"text/xsl\" showXSLTPath=\"ZORVA_VDJ1B.xsl\"", "", "<?xml-stylesheet type='' href=''?>"},
    };
    for (const Case& c : cases) {
        xml::Document doc;
        doc.loadXml(sampleWith(c.from, c.to));
        ZobrazEditor(program.ctx, doc, HtmlCheck::Unchecked);
        EXPECT_TRUE(program.read(QStringLiteral("ZORVA_VDJ1B_response_XSL.xml")).contains(c.expected)) << c.expected;
    }
}

TEST_F(Rendering, EditorResponseWithoutResponseElementGivesOnlyTheDeclaration)
{
    xml::Document doc;
    doc.loadXml("<a><b>1</b></a>");
    ZobrazEditor(program.ctx, doc, HtmlCheck::Unchecked);
    const QByteArray xml = program.read(QStringLiteral("ZORVA_VDJ1B_response_XSL.xml")).trimmed();
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_FALSE(xml.contains("<a>"));
    EXPECT_FALSE(xml.contains("xml-stylesheet"));
    ZobrazEditor(program.ctx, doc, HtmlCheck::Checked);
    EXPECT_FALSE(program.exists(QStringLiteral("ZORVA_VDJ1B_response.htm")));
    ASSERT_EQ(program.messages.shown.size(), 1u);
}

TEST_F(Rendering, EditorThatCannotStoreItsDocumentReportsAndWritesNothing)
{
    program.write(QStringLiteral("plain"), "x");
    ProgramContext ctx = program.ctx;
    ctx.folder = program.path(QStringLiteral("plain"));
    xml::Document doc;
    doc.loadXml(kResponse);
    ZobrazEditor(ctx, doc, HtmlCheck::Checked);
    ASSERT_EQ(program.messages.shown.size(), 1u);
    EXPECT_EQ(program.messages.shown[0].icon, MessageIcon::None);
    EXPECT_TRUE(program.messages.shown[0].text.contains(QLatin1Char('-')));
    EXPECT_TRUE(program.shell.calls.empty());
}
