#include <gtest/gtest.h>

#include <QStringList>

#include "common/Failure.h"
#include "common/Namespaces.h"
#include "platform/XmlDocument.h"

using zorva::Failure;
using zorva::xml::Document;
using zorva::xml::Node;
namespace err = zorva::err;
namespace ns = zorva::ns;

namespace {

Document parse(const QString& xml)
{
    Document doc;
    EXPECT_TRUE(doc.loadXml(xml.toUtf8())) << qPrintable(xml);
    return doc;
}

QStringList texts(const std::vector<Node>& nodes)
{
    QStringList out;
    for (const Node& n : nodes) out << n.text();
    return out;
}

QStringList ids(const std::vector<Node>& nodes)
{
    QStringList out;
    for (const Node& n : nodes) out << n.attribute(QStringLiteral("id")).value_or(QStringLiteral("?"));
    return out;
}

// The shape of the service's answer, reduced to what the selections have to tell apart.
const QString kResponse = QStringLiteral(
                              "<SOAP:Envelope xmlns:SOAP='http://schemas.xmlsoap.org/soap/envelope/'>"
                              "<SOAP:Body><kLIM:Response xmlns:kLIM='%1' xmlns:VDJ='%2' xmlns:RUX='%3'>"
                              "<kLIM:DataResponse showXSLTtype='text/xsl' showXSLTPath='x.xsl'>"
                              "<VDJ:RESPONSE>"
                              "<VDJ:SUBJEKTIRZ><RUX:RCI>subject</RUX:RCI><RUX:JME>Jan</RUX:JME></VDJ:SUBJEKTIRZ>"
                              "<RUX:RCI>applicant</RUX:RCI><RUX:ICO>12345678</RUX:ICO>"
                              "<VDJ:PICHROW DATPLATNOST='01.01.2006' id='r1'><RUX:SUMAVYMERADPB>10</RUX:SUMAVYMERADPB>"
                              "<RUX:SKOTML VDJ='1' KOEF='0.6'>2</RUX:SKOTML></VDJ:PICHROW>"
                              "<VDJ:PICHROW DATPLATNOST='01.02.2006' id='r2'><RUX:SUMAVYMERADPB>20</RUX:SUMAVYMERADPB>"
                              "<RUX:SKOTML VDJ='2' KOEF='0.6'>3</RUX:SKOTML></VDJ:PICHROW>"
                              "<VDJ:PICHROW DATPLATNOST='01.02.2006' id='r3'/>"
                              "</VDJ:RESPONSE></kLIM:DataResponse></kLIM:Response></SOAP:Body></SOAP:Envelope>")
                              .arg(ns::klim, ns::vdj, ns::rux);

}  // namespace

TEST(XmlSelection, MatchesPrefixedNamesAsWrittenWhateverTheBinding)
{
    // RUX bound to an unrelated URI still matches "RUX:ICO": the name as written decides.
    Document other = parse(QStringLiteral("<r xmlns:RUX='urn:something-else'><RUX:ICO>1</RUX:ICO></r>"));
    ASSERT_FALSE(other.selectSingle(QStringLiteral("//RUX:ICO")).isNull());
    EXPECT_EQ(other.selectSingle(QStringLiteral("//RUX:ICO")).text(), QStringLiteral("1"));
}

TEST(XmlSelection, SameUriUnderAnotherPrefixDoesNotMatch)
{
    Document doc = parse(QStringLiteral("<r xmlns:R='%1'><R:ICO>1</R:ICO></r>").arg(ns::rux));
    EXPECT_TRUE(doc.selectSingle(QStringLiteral("//RUX:ICO")).isNull());
    EXPECT_TRUE(doc.selectList(QStringLiteral("//RUX:ICO")).empty());
    EXPECT_FALSE(doc.selectSingle(QStringLiteral("//R:ICO")).isNull());
}

TEST(XmlSelection, UnprefixedPatternsMatchUnprefixedElementsOnly)
{
    Document doc =
        parse(QStringLiteral("<r xmlns='urn:default' xmlns:RUX='%1'><ICO>plain</ICO><RUX:ICO>prefixed</RUX:ICO></r>")
                  .arg(ns::rux));
    EXPECT_EQ(texts(doc.selectList(QStringLiteral("//ICO"))), QStringList{QStringLiteral("plain")});
    EXPECT_EQ(texts(doc.selectList(QStringLiteral("//RUX:ICO"))), QStringList{QStringLiteral("prefixed")});
}

TEST(XmlSelection, SingleSelectionYieldsTheFirstInDocumentOrder)
{
    Document doc = parse(kResponse);
    // The subject's number stands before the applicant's, deeper in the tree: it comes first.
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:RCI")).text(), QStringLiteral("subject"));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//VDJ:SUBJEKTIRZ/RUX:JME")).text(), QStringLiteral("Jan"));
    EXPECT_TRUE(doc.selectSingle(QStringLiteral("//RUX:PICHROKA")).isNull());
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//kLIM:DataResponse")).attribute(QStringLiteral("showXSLTPath")),
              QStringLiteral("x.xsl"));
}

TEST(XmlSelection, ListsAreInDocumentOrderAlsoForNestedMatches)
{
    Document doc =
        parse(QStringLiteral("<r><A id='1'><B id='b1'/><A id='2'><B id='b2'/></A><B id='b3'/></A>"
                             "<A id='3'/><x><A id='4'/></x></r>"));
    EXPECT_EQ(ids(doc.selectList(QStringLiteral("//A"))), (QStringList{"1", "2", "3", "4"}));
    // Children of nested parents come out in document order, not grouped by parent.
    EXPECT_EQ(ids(doc.selectList(QStringLiteral("//A/B"))), (QStringList{"b1", "b2", "b3"}));
    EXPECT_EQ(ids(doc.selectList(QStringLiteral("//r/A"))), (QStringList{"1", "3"}));
}

TEST(XmlSelection, RelativeSelectionLooksOnlyAtChildren)
{
    Document doc =
        parse(QStringLiteral("<r xmlns:RUX='u'><row><x><RUX:SUMA>grandchild</RUX:SUMA></x><RUX:ZA>child</RUX:ZA></row>"
                             "<RUX:SUMA>elsewhere</RUX:SUMA></r>"));
    Node row = doc.selectSingle(QStringLiteral("//row"));
    ASSERT_FALSE(row.isNull());
    EXPECT_TRUE(row.selectSingle(QStringLiteral("RUX:SUMA")).isNull());
    EXPECT_EQ(row.selectSingle(QStringLiteral("RUX:ZA")).text(), QStringLiteral("child"));
    EXPECT_EQ(row.selectSingle(QStringLiteral("x/RUX:SUMA")).text(), QStringLiteral("grandchild"));
    // "//" searches the whole document, whatever the context.
    EXPECT_EQ(texts(row.selectList(QStringLiteral("//RUX:SUMA"))),
              (QStringList{QStringLiteral("grandchild"), QStringLiteral("elsewhere")}));
    // From the document, a relative step names the root element.
    EXPECT_FALSE(doc.selectSingle(QStringLiteral("r")).isNull());
    EXPECT_TRUE(doc.selectSingle(QStringLiteral("row")).isNull());
    EXPECT_FALSE(doc.selectSingle(QStringLiteral("/r/row")).isNull());
}

TEST(XmlSelection, PredicateComparesTheAttributeValueExactly)
{
    Document doc = parse(kResponse);
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='01.01.2006']")).attribute("id"),
              QStringLiteral("r1"));
    // Two rows with the same date: the first in document order.
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='01.02.2006']")).attribute("id"),
              QStringLiteral("r2"));
    EXPECT_EQ(ids(doc.selectList(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='01.02.2006']"))),
              (QStringList{"r2", "r3"}));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST=\"01.01.2006\"]")).attribute("id"),
              QStringLiteral("r1"));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//VDJ:PICHROW[ @DATPLATNOST = '01.01.2006' ]")).attribute("id"),
              QStringLiteral("r1"));
    EXPECT_TRUE(doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='1.1.2006']")).isNull());
    EXPECT_TRUE(doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='01.01.2006 ']")).isNull());
    EXPECT_TRUE(doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='']")).isNull());
    EXPECT_TRUE(doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@MISSING='01.01.2006']")).isNull());
    EXPECT_EQ(texts(doc.selectList(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='01.02.2006']/RUX:SKOTML"))),
              QStringList{QStringLiteral("3")});
}

TEST(XmlSelection, AnApostropheInsideTheValueIsAFailure)
{
    Document doc = parse(kResponse);
    try {
        doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='01'02.2006']"));
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_EQ(f.number(), err::XmlSelection);
        EXPECT_FALSE(f.description().isEmpty());
    }
}

TEST(XmlSelection, MalformedPatternsAreFailures)
{
    Document doc = parse(kResponse);
    Node row = doc.selectSingle(QStringLiteral("//VDJ:PICHROW"));
    const char* patterns[] = {
        "",
        "/",
        "//",
        "///RUX:ICO",
        "//RUX:",
        "//:ICO",
        "//RUX:ICO/",
        "RUX:ICO//RUX:X",
        "//RUX ICO",
        "//1ICO",
        "RUX:ICO]",
        "//RUX:ICO[",
        "//RUX:ICO[@A='x'",
        "//RUX:ICO[@A=x]",
        "//RUX:ICO[A='x']",
        "//RUX:ICO[@='x']",
        "//RUX:ICO[@A='x]",
        "//RUX:ICO[@A=\"x']",
        "//RUX:ICO[@A='x'']",
        "//RUX:ICO[@A='x'][@B='y']",
        "//RUX:ICO[1]",
        "//*",
        "//RUX:ICO | //RUX:RCI",
    };
    for (const char* p : patterns) {
        const QString pattern = QString::fromUtf8(p);
        for (int from = 0; from < 2; ++from) {
            try {
                if (from == 0) doc.selectList(pattern);
                else row.selectSingle(pattern);
                ADD_FAILURE() << "accepted: " << p;
            } catch (const Failure& f) {
                EXPECT_EQ(f.number(), err::XmlSelection) << p;
            }
        }
    }
}

TEST(XmlSelection, FollowsChangesMadeThroughTheDocument)
{
    Document doc = parse(kResponse);
    const QString query = QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='01.03.2006']");
    ASSERT_EQ(doc.selectList(QStringLiteral("//VDJ:PICHROW")).size(), 3u);
    ASSERT_TRUE(doc.selectSingle(query).isNull());

    // A changed key is found under its new value and no longer under the old one.
    doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='01.01.2006']"))
        .setExistingAttribute(QStringLiteral("DATPLATNOST"), QStringLiteral("01.03.2006"));
    EXPECT_EQ(doc.selectSingle(query).attribute("id"), QStringLiteral("r1"));
    EXPECT_TRUE(doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='01.01.2006']")).isNull());

    // An appended element is found; elements removed by setText are gone.
    Node response = doc.selectSingle(QStringLiteral("//VDJ:RESPONSE"));
    Node added = response.appendElement(QStringLiteral("VDJ:PICHROW"));
    added.setAttribute(QStringLiteral("id"), QStringLiteral("r4"));
    EXPECT_EQ(ids(doc.selectList(QStringLiteral("//VDJ:PICHROW"))), (QStringList{"r1", "r2", "r3", "r4"}));
    doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='01.02.2006']")).setText(QStringLiteral("x"));
    EXPECT_TRUE(doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@id='r2']/RUX:SKOTML")).isNull());
    EXPECT_TRUE(doc.selectList(QStringLiteral("//VDJ:PICHROW[@id='r2']/RUX:SUMAVYMERADPB")).empty());
    EXPECT_EQ(texts(doc.selectList(QStringLiteral("//RUX:SKOTML"))), QStringList{QStringLiteral("2")});
}

TEST(XmlSelection, ThousandsOfRowsAreSelectedAndFoundByKey)
{
    QString xml = QStringLiteral("<VDJ:R xmlns:VDJ='%1' xmlns:RUX='%2'>").arg(ns::vdj, ns::rux);
    const int rows = 10000;
    for (int i = 0; i < rows; ++i) {
        xml += QStringLiteral(
                   "<VDJ:PICHROW DATPLATNOST='D%1'><RUX:SUMAVYMERADPB>%1</RUX:SUMAVYMERADPB>"
                   "<RUX:SKOTML VDJ='0'>1</RUX:SKOTML></VDJ:PICHROW>")
                   .arg(i);
    }
    xml += QStringLiteral("</VDJ:R>");
    Document doc = parse(xml);
    const auto all = doc.selectList(QStringLiteral("//VDJ:PICHROW"));
    ASSERT_EQ(all.size(), std::size_t(rows));
    // The write-back's pattern: one keyed query per row, each followed by writes into the row.
    for (int i = 0; i < rows; ++i) {
        Node row = doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='D%1']").arg(i));
        ASSERT_EQ(row, all[std::size_t(i)]);
        row.selectSingle(QStringLiteral("RUX:SUMAVYMERADPB")).setText(QString::number(i * 2));
        row.selectSingle(QStringLiteral("RUX:SKOTML"))
            .setExistingAttribute(QStringLiteral("VDJ"), QStringLiteral("0.5"));
    }
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='D9999']/RUX:SUMAVYMERADPB")).text(),
              QStringLiteral("19998"));
}

// The first child of each name in one pass gives what a relative selection of each name gives, also
// when consecutive parents order their children differently.
TEST(XmlChildLookup, FindsWhatTheRelativeSelectionOfEachNameFinds)
{
    Document doc = parse(QStringLiteral("<r xmlns:RUX='%1' xmlns:OTHER='%1'>"
                                        "<p><RUX:A>a1</RUX:A><RUX:B>b1</RUX:B><RUX:A>a2</RUX:A><C>c1</C></p>"
                                        "<p><RUX:B>b2</RUX:B><OTHER:A>x</OTHER:A><RUX:A>a3</RUX:A></p>"
                                        "<p><X:A xmlns:X='urn:x'>y</X:A><C>c2</C><RUX:B>b3</RUX:B></p>"
                                        "<p/>"
                                        "<p><RUX:A>a4</RUX:A><RUX:B>b4</RUX:B><RUX:A>a5</RUX:A><C>c3</C></p>"
                                        "</r>")
                             .arg(ns::rux));
    const QStringList names = {QStringLiteral("RUX:A"), QStringLiteral("RUX:B"), QStringLiteral("C"),
                               QStringLiteral("RUX:Missing"), QStringLiteral("RUX:A")};
    const zorva::xml::ChildLookup lookup(names);
    std::vector<Node> found;
    for (const Node& parent : doc.selectList(QStringLiteral("//p"))) {
        lookup.find(parent, found);
        ASSERT_EQ(found.size(), std::size_t(names.size()));
        for (int i = 0; i < names.size(); ++i)
            EXPECT_EQ(found[std::size_t(i)], parent.selectSingle(names.at(i))) << qPrintable(names.at(i));
    }
    // Without a name listed twice the lookup remembers the order of the children; it still follows
    // parents whose children differ.
    const zorva::xml::ChildLookup unique({QStringLiteral("RUX:A"), QStringLiteral("RUX:B"), QStringLiteral("C")});
    for (int round = 0; round < 2; ++round) {
        QStringList seen;
        for (const Node& parent : doc.selectList(QStringLiteral("//p"))) {
            unique.find(parent, found);
            for (const Node& n : found) seen << (n ? n.text() : QStringLiteral("-"));
        }
        EXPECT_EQ(seen.join(QLatin1Char(' ')), QStringLiteral("a1 b1 c1 a3 b2 - - b3 c2 - - - a4 b4 c3"));
    }
    EXPECT_THROW(lookup.find(Node(), found), Failure);
}

TEST(XmlChildLookup, ANameWhosePrefixIsNotBoundMatchesAsWritten)
{
    // An element built before its prefix is declared keeps "RUX:A" whole as its name.
    Document doc = parse(QStringLiteral("<p/>"));
    Node root = doc.root();
    root.appendElement(QStringLiteral("RUX:B"), QStringLiteral("0"));
    root.appendElement(QStringLiteral("RUX:A"), QStringLiteral("1"));
    const zorva::xml::ChildLookup lookup({QStringLiteral("RUX:A")});
    std::vector<Node> found;
    lookup.find(root, found);
    ASSERT_TRUE(found.at(0));
    EXPECT_EQ(found.at(0).text(), QStringLiteral("1"));
    EXPECT_EQ(found.at(0), root.selectSingle(QStringLiteral("RUX:A")));
}
