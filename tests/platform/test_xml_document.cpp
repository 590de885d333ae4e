#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QStringConverter>

#include "common/Failure.h"
#include "common/Namespaces.h"
#include "platform/XmlDocument.h"
#include "support/TestSupport.h"

using zorva::Failure;
using zorva::test::TestProgram;
using zorva::xml::Document;
using zorva::xml::Node;
namespace err = zorva::err;
namespace ns = zorva::ns;

namespace {

const QString kCzech = QStringLiteral("ěščřžýáíéůú ĚŠČŘŽÝÁÍÉŮÚ");

Document parse(const QString& xml)
{
    Document doc;
    EXPECT_TRUE(doc.loadXml(xml.toUtf8())) << qPrintable(xml);
    return doc;
}

template <typename F>
int failureNumber(F&& f)
{
    try {
        f();
    } catch (const Failure& failure) {
        EXPECT_FALSE(failure.description().isEmpty());
        return failure.number();
    }
    return 0;
}

}  // namespace

// ------------------------------------------------------------------------------------------------
// Text and attributes

TEST(XmlDocument, TextIncludesDescendantsAndCdataButNotCommentsOrInstructions)
{
    Document doc = parse(QStringLiteral("<r>a<b>b<c>c</c></b><!--no--><?pi no?><![CDATA[<d>]]>e</r>"));
    EXPECT_EQ(doc.root().text(), QStringLiteral("abc<d>e"));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//c")).text(), QStringLiteral("c"));
    EXPECT_EQ(doc.root().name(), QStringLiteral("r"));
}

TEST(XmlDocument, SetTextReplacesTheWholeContentWithOneLiteralText)
{
    Document doc = parse(QStringLiteral("<r xmlns:RUX='u'><RUX:SUMA>1<b>2</b><!--c--></RUX:SUMA></r>"));
    Node suma = doc.selectSingle(QStringLiteral("//RUX:SUMA"));
    suma.setText(QStringLiteral("a < b & c ") + kCzech);
    EXPECT_EQ(suma.text(), QStringLiteral("a < b & c ") + kCzech);
    EXPECT_TRUE(suma.childElements().empty());
    EXPECT_TRUE(doc.selectSingle(QStringLiteral("//b")).isNull());

    const QByteArray saved = doc.toBytes();
    EXPECT_TRUE(saved.contains("<RUX:SUMA>a &lt; b &amp; c " + kCzech.toUtf8() + "</RUX:SUMA>")) << saved.constData();
    Document again = parse(QString::fromUtf8(saved));
    EXPECT_EQ(again.selectSingle(QStringLiteral("//RUX:SUMA")).text(), QStringLiteral("a < b & c ") + kCzech);

    suma.setText(QString());
    EXPECT_EQ(suma.text(), QString());
    EXPECT_TRUE(doc.toBytes().contains("<RUX:SUMA/>"));
}

// The usual element and attribute hold one short text (kept inside its node by the parser); new
// texts of every length replace it in place, literally, as often as a run writes them.
TEST(XmlDocument, RepeatedWritesOfShortTextsStayLiteral)
{
    Document doc = parse(QStringLiteral("<r xmlns:RUX='u'><RUX:SKOT VDJ='0' KOEF='0.6'>7</RUX:SKOT></r>"));
    Node skot = doc.selectSingle(QStringLiteral("//RUX:SKOT"));
    const zorva::xml::Name units = zorva::xml::Name::from(std::string("VDJ"));
    const QString texts[] = {QStringLiteral("12"), QStringLiteral("a < b & c \"'") + kCzech, QStringLiteral("0"),
                             QString(200, QLatin1Char('9')), QStringLiteral("3")};
    for (const QString& text : texts) {
        skot.setText(QByteArrayView(text.toUtf8()));
        skot.setExistingAttribute(units, QByteArrayView(text.toUtf8()));
        EXPECT_EQ(skot.text(), text);
        EXPECT_EQ(skot.attribute(units), text);
        const Document again = parse(QString::fromUtf8(doc.toBytes()));
        const Node read = again.selectSingle(QStringLiteral("//RUX:SKOT"));
        EXPECT_EQ(read.text(), text);
        EXPECT_EQ(read.attribute(QStringLiteral("VDJ")), text);
        EXPECT_EQ(read.attribute(QStringLiteral("KOEF")), QStringLiteral("0.6"));
    }
    skot.setExistingAttribute(units, QByteArrayView());
    EXPECT_EQ(skot.attribute(units), QString());
    skot.setText(QByteArrayView());
    EXPECT_TRUE(doc.toBytes().contains("<RUX:SKOT VDJ=\"\" KOEF=\"0.6\"/>")) << doc.toBytes().constData();
}

// A text may begin with U+FEFF (one or more); reading it back keeps every character.
TEST(XmlDocument, LeadingByteOrderMarksInTextsStay)
{
    const QString bom(QChar(0xFEFF));
    for (const QString& value :
         {bom + QStringLiteral("1"), bom + bom + QStringLiteral("\uFFFD\uFFFD"), bom, QStringLiteral("a") + bom}) {
        Document doc = parse(QStringLiteral("<r/>"));
        Node root = doc.root();
        root.setAttribute(QStringLiteral("userID"), value);
        Node child = root.appendElement(QStringLiteral("t"), value);
        EXPECT_EQ(root.attribute(QStringLiteral("userID")), value);
        EXPECT_EQ(child.text(), value);
        const Document again = parse(QString::fromUtf8(doc.toBytes()));
        EXPECT_EQ(again.root().attribute(QStringLiteral("userID")), value);
        EXPECT_EQ(again.root().selectSingle(QStringLiteral("t")).text(), value);
        EXPECT_EQ(again.root().text(), value);
    }
}

TEST(XmlDocument, AttributesAreReadAndWrittenByTheirNameAsWritten)
{
    Document doc =
        parse(QStringLiteral("<r xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' "
                             "xsi:schemaLocation='a b' VDJ='4,2' EMPTY=''/>"));
    Node r = doc.root();
    EXPECT_EQ(r.attribute(QStringLiteral("VDJ")), QStringLiteral("4,2"));
    EXPECT_EQ(r.attribute(QStringLiteral("EMPTY")), QString());
    EXPECT_TRUE(r.attribute(QStringLiteral("EMPTY")).has_value());
    EXPECT_EQ(r.attribute(QStringLiteral("MISSING")), std::nullopt);
    EXPECT_FALSE(r.attribute(QStringLiteral("MISSING")).has_value());
    EXPECT_EQ(r.attribute(QStringLiteral("xsi:schemaLocation")), QStringLiteral("a b"));
    EXPECT_EQ(r.attribute(QStringLiteral("schemaLocation")), std::nullopt);

    r.setExistingAttribute(QStringLiteral("VDJ"), QStringLiteral("4.2 \"&'<"));
    EXPECT_EQ(r.attribute(QStringLiteral("VDJ")), QStringLiteral("4.2 \"&'<"));
    Document again = parse(QString::fromUtf8(doc.toBytes()));
    EXPECT_EQ(again.root().attribute(QStringLiteral("VDJ")), QStringLiteral("4.2 \"&'<"));
}

TEST(XmlDocument, WritingAMissingAttributeIsAFailureAndChangesNothing)
{
    Document doc = parse(QStringLiteral("<r A='1'/>"));
    const QByteArray before = doc.toBytes();
    EXPECT_EQ(failureNumber([&] { doc.root().setExistingAttribute(QStringLiteral("VDJA"), QStringLiteral("2")); }),
              err::XmlWrite);
    EXPECT_EQ(doc.toBytes(), before);
    doc.root().setAttribute(QStringLiteral("VDJA"), QStringLiteral("2"));
    EXPECT_EQ(doc.root().attribute(QStringLiteral("VDJA")), QStringLiteral("2"));
}

TEST(XmlDocument, OperationsOnANodeThatWasNotFoundAreFailures)
{
    Document doc = parse(QStringLiteral("<r/>"));
    Node missing = doc.selectSingle(QStringLiteral("//RUX:SUMAVYMERADPB"));
    ASSERT_TRUE(missing.isNull());
    EXPECT_EQ(failureNumber([&] { missing.setText(QStringLiteral("1")); }), err::ObjectRequired);
    EXPECT_EQ(failureNumber([&] { missing.text(); }), err::ObjectRequired);
    EXPECT_EQ(failureNumber([&] { missing.setExistingAttribute(QStringLiteral("VDJ"), QStringLiteral("1")); }),
              err::ObjectRequired);
    EXPECT_EQ(failureNumber([&] { missing.selectSingle(QStringLiteral("A")); }), err::ObjectRequired);
    EXPECT_EQ(failureNumber([&] { doc.appendNode(missing); }), err::ObjectRequired);
}

// ------------------------------------------------------------------------------------------------
// Saving

TEST(XmlDocument, DeclarationInstructionIsWrittenOnceAsAUtf8Declaration)
{
    TestProgram program;
    Document source = parse(QStringLiteral("<r xmlns:RUX='%1'><RUX:JME>%2</RUX:JME></r>").arg(ns::rux, kCzech));

    Document presentation;
    EXPECT_TRUE(
        presentation
            .appendProcessingInstruction(QStringLiteral("xml"), QStringLiteral("version='1.0' encoding='UTF-8'"))
            .isNull());
    Node pi = presentation.appendProcessingInstruction(QStringLiteral("xml-stylesheet"),
                                                       QStringLiteral("type='text/xsl' href='ZORVA_VDJ1B.xsl'"));
    EXPECT_EQ(pi.name(), QStringLiteral("xml-stylesheet"));
    presentation.appendNode(source.root());
    const QString path = program.path(QStringLiteral("\\out.xml"));
    presentation.save(path);

    const QByteArray saved = program.read(QStringLiteral("\\out.xml"));
    EXPECT_TRUE(saved.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << saved.constData();
    EXPECT_EQ(saved.count("<?xml "), 1) << saved.constData();
    EXPECT_TRUE(saved.contains("<?xml-stylesheet type='text/xsl' href='ZORVA_VDJ1B.xsl'?>")) << saved.constData();
    EXPECT_LT(saved.indexOf("<?xml-stylesheet"), saved.indexOf("<r "));
    EXPECT_TRUE(saved.contains(kCzech.toUtf8())) << "raw UTF-8 expected";

    Document reloaded;
    ASSERT_TRUE(reloaded.load(path));
    EXPECT_EQ(reloaded.selectSingle(QStringLiteral("//RUX:JME")).text(), kCzech);
}

TEST(XmlDocument, ADeclarationNamingAnotherEncodingIsHonoured)
{
    Document doc;
    doc.appendProcessingInstruction(QStringLiteral("xml"), QStringLiteral("version='1.0' encoding='windows-1250'"));
    doc.appendNode(parse(QStringLiteral("<r/>")).root()).setText(kCzech);
    const QByteArray saved = doc.toBytes();
    EXPECT_TRUE(saved.startsWith("<?xml version=\"1.0\" encoding=\"windows-1250\"?>")) << saved.constData();
    QStringEncoder cp1250("windows-1250");
    EXPECT_TRUE(saved.contains("<r>" + QByteArray(cp1250.encode(kCzech)) + "</r>"));
    Document again;
    ASSERT_TRUE(again.loadXml(saved));
    EXPECT_EQ(again.root().text(), kCzech);
}

TEST(XmlDocument, TheDeclarationInstructionMayOnlyOpenTheDocument)
{
    Document doc = parse(QStringLiteral("<r/>"));
    EXPECT_EQ(failureNumber([&] {
                  doc.appendProcessingInstruction(QStringLiteral("xml"),
                                                  QStringLiteral("version='1.0' encoding='UTF-8'"));
              }),
              err::XmlWrite);
}

TEST(XmlDocument, EveryDocumentIsSavedAsUtf8WithADeclaration)
{
    Document empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(empty.toBytes().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));

    // A document read as UTF-16 is written as UTF-8.
    QByteArray utf16 = QByteArray("\xFF\xFE", 2);
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>%1</r>").arg(kCzech);
    utf16 += QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    Document doc;
    ASSERT_TRUE(doc.loadXml(utf16));
    const QByteArray saved = doc.toBytes();
    EXPECT_TRUE(saved.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << saved.constData();
    EXPECT_TRUE(saved.contains("<r>" + kCzech.toUtf8() + "</r>"));
}

TEST(XmlDocument, SaveReplacesTheFileAtomically)
{
    TestProgram program;
    program.write(QStringLiteral("\\ZORVA_VDJ1B_response.xml"), "<old/>");
    const QString path = program.path(QStringLiteral("\\ZORVA_VDJ1B_response.xml"));
    // A second name for the old file: a file rewritten in place would change under it, a file
    // replaced by rename leaves it as it was.
    const QString second = program.path(QStringLiteral("\\second-name.xml"));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(second).constData()), 0);

    Document doc = parse(QStringLiteral("<new>1</new>"));
    doc.save(path);

    EXPECT_TRUE(program.read(QStringLiteral("\\ZORVA_VDJ1B_response.xml")).contains("<new>1</new>"));
    EXPECT_EQ(program.read(QStringLiteral("\\second-name.xml")), QByteArray("<old/>"));
    EXPECT_EQ(program.files(), (QStringList{"ZORVA_VDJ1B_response.xml", "second-name.xml"}));
}

TEST(XmlDocument, SaveFailuresAreReported)
{
    TestProgram program;
    program.write(QStringLiteral("\\plain.txt"), "x");
    Document doc = parse(QStringLiteral("<r/>"));

    // A folder that is a regular file, a missing folder, a folder where the file should be.
    EXPECT_EQ(failureNumber([&] { doc.save(program.folder() + QStringLiteral("/plain.txt/out.xml")); }),
              err::PathNotFound);
    EXPECT_EQ(failureNumber([&] { doc.save(program.folder() + QStringLiteral("/missing/out.xml")); }),
              err::PathNotFound);
    QDir(program.folder()).mkdir(QStringLiteral("sub"));
    EXPECT_EQ(failureNumber([&] { doc.save(program.path(QStringLiteral("\\sub"))); }), err::PathFileAccess);
    EXPECT_EQ(program.read(QStringLiteral("\\plain.txt")), QByteArray("x"));
    EXPECT_EQ(program.files(), QStringList{QStringLiteral("plain.txt")});
}

// ------------------------------------------------------------------------------------------------
// Loading

TEST(XmlDocument, InputsThatAreNotDocumentsLeaveItEmpty)
{
    TestProgram program;
    const QByteArray good = "<?xml version='1.0'?><r xmlns:RUX='u'><RUX:ICO>1</RUX:ICO><RUX:RCI>2</RUX:RCI></r>";
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"blank", QByteArray("   \n")},
        {"plain text", QByteArray("Internal Server Error")},
        {"html error page", QByteArray("<html><body>Chyba<br></body></html>")},
        {"truncated", good.left(good.size() - 12)},
        {"two roots", QByteArray("<a/><b/>")},
        {"unclosed", QByteArray("<r><a></r>")},
        {"undeclared prefix", QByteArray("<RUX:ICO>1</RUX:ICO>")},
        {"binary", QByteArray("\x00\x01\x02\xff\xfe", 5)},
        {"bad utf-8", QByteArray("<r>\xc3\x28</r>")},
        {"deep nesting", QByteArray("<a>").repeated(5000) + QByteArray("</a>").repeated(5000)},
    };
    for (const auto& c : cases) {
        Document doc = parse(QStringLiteral("<previous/>"));
        EXPECT_FALSE(doc.loadXml(c.bytes)) << c.name;
        EXPECT_TRUE(doc.isEmpty()) << c.name;
        EXPECT_TRUE(doc.root().isNull()) << c.name;
        EXPECT_TRUE(doc.selectSingle(QStringLiteral("//previous")).isNull()) << c.name;

        program.write(QStringLiteral("\\input.xml"), c.bytes);
        EXPECT_FALSE(doc.load(program.path(QStringLiteral("\\input.xml")))) << c.name;
        EXPECT_TRUE(doc.isEmpty()) << c.name;
    }
    Document doc;
    EXPECT_TRUE(doc.loadXml(good));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:RCI")).text(), QStringLiteral("2"));
}

TEST(XmlDocument, MissingOrUnreadablePathsLeaveItEmpty)
{
    TestProgram program;
    Document doc = parse(QStringLiteral("<previous/>"));
    EXPECT_FALSE(doc.load(program.path(QStringLiteral("\\missing.xml"))));
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_FALSE(doc.load(program.folder()));
    EXPECT_FALSE(doc.load(QString()));
    program.write(QStringLiteral("\\plain.txt"), "x");
    EXPECT_FALSE(doc.load(program.folder() + QStringLiteral("/plain.txt/a.xml")));
    EXPECT_FALSE(doc.load(program.path(QStringLiteral("\\missing.xml"))));
    EXPECT_TRUE(doc.isEmpty());
}

TEST(XmlDocument, EncodingsFollowTheByteOrderMarkAndTheDeclaration)
{
    const QString body = QStringLiteral("<r xmlns:RUX='u'><RUX:JME>%1</RUX:JME></r>").arg(kCzech);
    auto utf16 = [](const QString& s, bool bigEndian) {
        QStringEncoder enc(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                           QStringConverter::Flag::WriteBom);
        return QByteArray(enc.encode(s));
    };
    QStringEncoder cp1250("windows-1250");
    ASSERT_TRUE(cp1250.isValid());
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"utf-8", body.toUtf8()},
        {"utf-8 with bom", QByteArray("\xEF\xBB\xBF") + body.toUtf8()},
        {"utf-8 bom and declaration",
         QByteArray("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n") + body.toUtf8()},
        {"utf-16le bom", utf16(body, false)},
        {"utf-16be bom", utf16(body, true)},
        {"utf-16le bom and declaration",
         utf16(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>") + body, false)},
        {"windows-1250 declared",
         QByteArray(cp1250.encode(QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1250\"?>") + body))},
    };
    for (const auto& c : cases) {
        Document doc;
        ASSERT_TRUE(doc.loadXml(c.bytes)) << c.name;
        EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:JME")).text(), kCzech) << c.name;
    }
}

// ------------------------------------------------------------------------------------------------
// Building and appending across documents

TEST(XmlDocument, AppendedNodesKeepDescendantsAndNamespaces)
{
    TestProgram program;
    const QString response =
        QStringLiteral(
            "<SOAP:Envelope xmlns:SOAP='http://schemas.xmlsoap.org/soap/envelope/' xmlns:kLIM='%1' "
            "xmlns:VDJ='%2' xmlns:RUX='%3'><SOAP:Body><kLIM:Response id='kLIM'>"
            "<kLIM:DataResponse showXSLTPath='p.xsl'><VDJ:PICHROW DATPLATNOST='01.01.2006'>"
            "<RUX:SKOTML VDJ='1' KOEF='0.6'>2<!--n--></RUX:SKOTML></VDJ:PICHROW></kLIM:DataResponse>"
            "</kLIM:Response></SOAP:Body></SOAP:Envelope>")
            .arg(ns::klim, ns::vdj, ns::rux);
    program.write(QStringLiteral("\\ZORVA_VDJ1B_response.xml"), response.toUtf8());

    Node copied;
    {
        Document source;
        ASSERT_TRUE(source.load(program.path(QStringLiteral("\\ZORVA_VDJ1B_response.xml"))));
        Document presentation;
        presentation.appendProcessingInstruction(QStringLiteral("xml"),
                                                 QStringLiteral("version='1.0' encoding='UTF-8'"));
        copied = presentation.appendNode(source.selectSingle(QStringLiteral("//kLIM:Response")));
        EXPECT_EQ(presentation.root(), copied);
        // The copy is independent of its source.
        source.selectSingle(QStringLiteral("//RUX:SKOTML")).setText(QStringLiteral("changed"));
        EXPECT_EQ(presentation.selectSingle(QStringLiteral("//RUX:SKOTML")).text(), QStringLiteral("2"));
        // A second root element is refused.
        EXPECT_EQ(failureNumber([&] { presentation.appendNode(source.root()); }), err::XmlWrite);
        presentation.save(program.path(QStringLiteral("\\ZORVA_VDJ1B_response_.xml")));
    }

    Document reloaded;
    ASSERT_TRUE(reloaded.load(program.path(QStringLiteral("\\ZORVA_VDJ1B_response_.xml"))));
    EXPECT_EQ(reloaded.root().name(), QStringLiteral("kLIM:Response"));
    EXPECT_EQ(reloaded.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='01.01.2006']/RUX:SKOTML"))
                  .attribute(QStringLiteral("KOEF")),
              QStringLiteral("0.6"));
    const QByteArray saved = program.read(QStringLiteral("\\ZORVA_VDJ1B_response_.xml"));
    EXPECT_TRUE(saved.contains("xmlns:kLIM=\"" + ns::klim.toUtf8() + "\"")) << saved.constData();
    EXPECT_TRUE(saved.contains("xmlns:VDJ=\"" + ns::vdj.toUtf8() + "\"")) << saved.constData();
    EXPECT_TRUE(saved.contains("xmlns:RUX=\"" + ns::rux.toUtf8() + "\"")) << saved.constData();
    EXPECT_TRUE(saved.contains("<!--n-->"));
    EXPECT_FALSE(saved.contains("SOAP"));
}

TEST(XmlDocument, DocumentsBuiltFromScratchAreWellFormed)
{
    Document doc;
    Node root = doc.appendNode(
        parse(QStringLiteral("<kLIM:Response xmlns:kLIM='%1' xmlns:RUX='%2'/>").arg(ns::klim, ns::rux)).root());
    Node row = root.appendElement(QStringLiteral("RUX:ROW"));
    row.setAttribute(QStringLiteral("DATPLATNOST"), QStringLiteral("01.01.2006"));
    row.appendElement(QStringLiteral("RUX:ICO"), QStringLiteral("123 & <456>"));
    doc.appendProcessingInstruction(QStringLiteral("xml-stylesheet"), QStringLiteral("type='text/xsl' href='a.xsl'"));
    EXPECT_EQ(root.name(), QStringLiteral("kLIM:Response"));
    EXPECT_EQ(root.childElements().size(), 1u);

    Document again;
    ASSERT_TRUE(again.loadXml(doc.toBytes())) << doc.toBytes().constData();
    EXPECT_EQ(again.selectSingle(QStringLiteral("//RUX:ROW[@DATPLATNOST='01.01.2006']/RUX:ICO")).text(),
              QStringLiteral("123 & <456>"));
    EXPECT_TRUE(doc.toBytes().contains("xmlns:RUX=\"" + ns::rux.toUtf8() + "\""));
    EXPECT_EQ(failureNumber([&] { doc.appendNode(parse(QStringLiteral("<other/>")).root()); }), err::XmlWrite);
}

TEST(XmlDocument, MovedDocumentsKeepTheirNodes)
{
    Document a = parse(QStringLiteral("<r><x>1</x></r>"));
    Node x = a.selectSingle(QStringLiteral("//x"));
    Document b = std::move(a);
    EXPECT_EQ(b.selectSingle(QStringLiteral("//x")), x);
    EXPECT_EQ(x.text(), QStringLiteral("1"));
    a = Document::fromBytes("<s/>");
    EXPECT_EQ(a.root().name(), QStringLiteral("s"));
}
