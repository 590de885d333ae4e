#include <gtest/gtest.h>

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include "common/Failure.h"
#include "common/Namespaces.h"
#include "platform/Stylesheet.h"
#include "platform/XmlDocument.h"
#include "support/TestSupport.h"

using zorva::Failure;
using zorva::test::TestProgram;
using zorva::xml::Document;
using zorva::xml::Stylesheet;
namespace ns = zorva::ns;

namespace {

const QString kCzech = QStringLiteral("ěščřžýáíéůú ĚŠČŘŽÝÁÍÉŮÚ");

QByteArray stylesheet(const QByteArray& output, const QByteArray& templates,
                      const QByteArray& extraNamespaces = QByteArray())
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\" "
           "xmlns:RUX=\"" +
           ns::rux.toUtf8() + "\" " + extraNamespaces + ">\n" + output + "\n" + templates + "\n</xsl:stylesheet>\n";
}

Document response()
{
    Document doc;
    EXPECT_TRUE(doc.loadXml(QStringLiteral("<kLIM:Response xmlns:kLIM='%1' xmlns:RUX='%2'>"
                                           "<RUX:JME>%3</RUX:JME><RUX:ICO>12345678</RUX:ICO></kLIM:Response>")
                                .arg(ns::klim, ns::rux, kCzech)
                                .toUtf8()));
    return doc;
}

std::unique_ptr<Stylesheet> compileText(const TestProgram& program, const QByteArray& text)
{
    program.write(QStringLiteral("\\ZORVA_VDJ1B.xsl"), text);
    return Stylesheet::compile(program.path(QStringLiteral("\\ZORVA_VDJ1B.xsl")));
}

const QByteArray kHtmlTemplate =
    "<xsl:template match=\"/\"><html><head><title>VDJ</title></head><body>"
    "<p id=\"jme\"><xsl:value-of select=\"//RUX:JME\"/></p>"
    "<p id=\"lit\" title=\"{//RUX:JME}\">ěščřžýáíéůú ĚŠČŘŽÝÁÍÉŮÚ</p>"
    "<p id=\"ico\"><xsl:value-of select=\"//RUX:ICO\"/></p>"
    "</body></html></xsl:template>";

}  // namespace

TEST(Stylesheet, MissingMalformedOrForeignFilesGiveNoTemplate)
{
    TestProgram program;
    EXPECT_EQ(Stylesheet::compile(program.path(QStringLiteral("\\missing.xsl"))), nullptr);
    EXPECT_EQ(Stylesheet::compile(program.folder()), nullptr);
    const QByteArray cases[] = {
        "",
        "not xml at all",
        stylesheet("<xsl:output method=\"html\"/>", kHtmlTemplate).left(200),
        "<?xml version=\"1.0\"?><r>a plain document</r>",
        stylesheet("", "<xsl:template match=\"/\"><xsl:value-of select=\"//RUX:JME[\"/></xsl:template>"),
        stylesheet("<xsl:no-such-top-level/>", kHtmlTemplate),
        // Other files are not reached: an import is refused like a missing file.
        stylesheet("<xsl:import href=\"other.xsl\"/>", kHtmlTemplate),
    };
    program.write(QStringLiteral("\\other.xsl"), stylesheet("", ""));
    for (const QByteArray& text : cases) { EXPECT_EQ(compileText(program, text), nullptr) << text.constData(); }
}

TEST(Stylesheet, HtmlOutputKeepsCzechLettersAndNamesTheDeclaredEncoding)
{
    TestProgram program;
    auto xsl =
        compileText(program, stylesheet("<xsl:output method=\"html\" encoding=\"windows-1250\"/>", kHtmlTemplate));
    ASSERT_NE(xsl, nullptr);
    EXPECT_EQ(xsl->outputEncoding(), QStringLiteral("windows-1250"));

    const QString html = xsl->transform(response());
    EXPECT_TRUE(html.contains(QStringLiteral("<p id=\"jme\">") + kCzech + QStringLiteral("</p>"))) << qPrintable(html);
    EXPECT_TRUE(html.contains(QStringLiteral("<p id=\"lit\" title=\"") + kCzech + QStringLiteral("\">") + kCzech +
                              QStringLiteral("</p>")))
        << qPrintable(html);
    EXPECT_TRUE(html.contains(QStringLiteral("charset=windows-1250"))) << qPrintable(html);
    EXPECT_FALSE(html.contains(QChar::ReplacementCharacter));

    // Written in the named encoding, the page reads back with every letter in place.
    QStringEncoder encoder("windows-1250");
    QStringDecoder decoder("windows-1250");
    ASSERT_TRUE(encoder.isValid());
    const QByteArray bytes = encoder.encode(html);
    EXPECT_FALSE(encoder.hasError());
    EXPECT_EQ(QString(decoder.decode(bytes)), html);
}

TEST(Stylesheet, XmlAndTextOutputKeepCzechLetters)
{
    TestProgram program;
    auto xml = compileText(program, stylesheet("<xsl:output method=\"xml\" encoding=\"windows-1250\"/>",
                                               "<xsl:template match=\"/\"><out a=\"{//RUX:JME}\"><xsl:value-of "
                                               "select=\"//RUX:JME\"/></out></xsl:template>"));
    ASSERT_NE(xml, nullptr);
    const QString out = xml->transform(response());
    EXPECT_TRUE(out.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1250\"?>"))) << qPrintable(out);
    Document parsed;
    ASSERT_TRUE(parsed.loadXml(out.section(QLatin1Char('\n'), 1).toUtf8())) << qPrintable(out);
    EXPECT_EQ(parsed.root().text(), kCzech);
    EXPECT_EQ(parsed.root().attribute(QStringLiteral("a")), kCzech);

    auto text = compileText(program, stylesheet("<xsl:output method=\"text\" encoding=\"UTF-8\"/>",
                                                "<xsl:template match=\"/\"><xsl:value-of select=\"//RUX:JME\"/>"
                                                "</xsl:template>"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->transform(response()), kCzech);
    EXPECT_EQ(text->outputEncoding(), QStringLiteral("UTF-8"));
}

TEST(Stylesheet, ATransformationThatFailsIsAFailure)
{
    TestProgram program;
    // An undeclared prefix in an expression shows only when the expression runs.
    auto xsl = compileText(program, stylesheet("",
                                               "<xsl:template match=\"/\"><xsl:value-of select=\"x:y\"/>"
                                               "</xsl:template>"));
    ASSERT_NE(xsl, nullptr);
    try {
        xsl->transform(response());
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_EQ(f.number(), zorva::err::XmlSelection);
        EXPECT_FALSE(f.description().isEmpty());
    }
    auto halting = compileText(program, stylesheet("",
                                                   "<xsl:template match=\"/\"><xsl:message terminate=\"yes\">"
                                                   "stop</xsl:message></xsl:template>"));
    ASSERT_NE(halting, nullptr);
    EXPECT_THROW(halting->transform(response()), Failure);
}

TEST(Stylesheet, TemplateIsReusableAndHandlesAnEmptyDocument)
{
    TestProgram program;
    auto xsl = compileText(program, stylesheet("<xsl:output method=\"html\"/>", kHtmlTemplate));
    ASSERT_NE(xsl, nullptr);
    EXPECT_EQ(xsl->outputEncoding(), QString());
    const QString first = xsl->transform(response());
    EXPECT_EQ(xsl->transform(response()), first);
    const QString empty = xsl->transform(Document());
    EXPECT_TRUE(empty.contains(QStringLiteral("<p id=\"jme\"></p>"))) << qPrintable(empty);
    // The input document is still whole and selectable after a transformation.
    Document doc = response();
    xsl->transform(doc);
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:ICO")).text(), QStringLiteral("12345678"));
}

TEST(Stylesheet, AStylesheetCannotWriteOrReadFiles)
{
    TestProgram program;
    const QString written = program.path(QStringLiteral("\\written.txt"));
    const QByteArray target = written.toUtf8();
    const QByteArray passwd =
        "<xsl:template match=\"/\"><r><xsl:copy-of select=\"document('file:///etc/passwd')\"/>"
        "</r></xsl:template>";
    const struct {
        const char* name;
        QByteArray text;
    } cases[] = {
        {"xsl:document", stylesheet("", "<xsl:template match=\"/\"><xsl:document href=\"" + target +
                                            "\" method=\"text\">owned</xsl:document><r/></xsl:template>")},
        {"exsl:document", stylesheet("",
                                     "<xsl:template match=\"/\"><exsl:document href=\"" + target +
                                         "\" method=\"text\">owned</exsl:document><r/></xsl:template>",
                                     "xmlns:exsl=\"http://exslt.org/common\" extension-element-prefixes=\"exsl\"")},
        {"document()", stylesheet("", passwd)},
        {"document() with a file path",
         stylesheet("", "<xsl:template match=\"/\"><r><xsl:copy-of select=\"document('" +
                            program.path(QStringLiteral("\\secret.xml")).toUtf8() + "')\"/></r></xsl:template>")},
    };
    program.write(QStringLiteral("\\secret.xml"), "<s>TAJNE-51c2</s>");
    for (const auto& c : cases) {
        QFile::remove(written);
        auto xsl = compileText(program, c.text);
        ASSERT_NE(xsl, nullptr) << c.name;
        {
            try {
                const QString out = xsl->transform(response());
                EXPECT_FALSE(out.contains(QStringLiteral("root:"))) << c.name;
                EXPECT_FALSE(out.contains(QStringLiteral("TAJNE"))) << c.name;
            } catch (const Failure& f) {
                EXPECT_FALSE(f.description().isEmpty()) << c.name;
            }
        }
        EXPECT_FALSE(QFile::exists(written)) << c.name;
    }
}

TEST(Stylesheet, EntitiesDeclaredInTheStylesheetAreKept)
{
    TestProgram program;
    const QByteArray text =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE xsl:stylesheet [<!ENTITY nbsp \"&#160;\">]>\n"
        "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
        "<xsl:output method=\"text\"/>"
        "<xsl:template match=\"/\">a&nbsp;b</xsl:template></xsl:stylesheet>";
    auto xsl = compileText(program, text);
    ASSERT_NE(xsl, nullptr);
    EXPECT_EQ(xsl->transform(response()), QStringLiteral("a\u00A0b"));
}
