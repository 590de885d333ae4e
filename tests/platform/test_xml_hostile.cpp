#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>

#include "platform/XmlDocument.h"
#include "support/TestSupport.h"

using zorva::test::TestProgram;
using zorva::xml::Document;
using zorva::xml::LoadFailure;
using zorva::xml::loadFailureText;

namespace {

const QByteArray kSecret = "TAJNE-7f3a9c";

long maxResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QByteArray billionLaughs(bool inAttribute)
{
    QByteArray dtd = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        dtd += " <!ENTITY lol" + QByteArray::number(i) + " \"" +
               ("&lol" + QByteArray::number(i - 1) + ";").repeated(10) + "\">\n";
    }
    dtd += "]>\n";
    return dtd + (inAttribute ? "<lolz a=\"&lol9;\"/>" : "<lolz>&lol9;</lolz>");
}

// Whether the document gave nothing away: the secret does not appear in any form the program uses.
void expectNothingLeaked(const Document& doc, const char* name)
{
    EXPECT_FALSE(doc.toBytes().contains(kSecret)) << name;
    if (!doc.isEmpty()) { EXPECT_FALSE(doc.root().text().contains(QString::fromLatin1(kSecret))) << name; }
}

}  // namespace

TEST(XmlHostileInput, ExternalEntitiesNeverReadLocalFiles)
{
    TestProgram program;
    program.write(QStringLiteral("\\secret.txt"), kSecret);
    program.write(QStringLiteral("\\secret.dtd"), "<!ENTITY s \"" + kSecret + "\">");
    const QByteArray secret = program.path(QStringLiteral("\\secret.txt")).toUtf8();
    const QByteArray secretDtd = program.path(QStringLiteral("\\secret.dtd")).toUtf8();

    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"entity in content", "<!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + secret + "\">]><r>&x;</r>"},
        {"entity by plain path", "<!DOCTYPE r [<!ENTITY x SYSTEM \"" + secret + "\">]><r>&x;</r>"},
        {"entity in attribute", "<!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + secret + "\">]><r a=\"&x;\"/>"},
        {"passwd", "<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>"},
        {"parameter entity", "<!DOCTYPE r [<!ENTITY % p SYSTEM \"file://" + secretDtd + "\"> %p;]><r>&s;</r>"},
        {"external subset", "<!DOCTYPE r SYSTEM \"file://" + secretDtd + "\"><r>&s;</r>"},
        {"external subset, standalone",
         "<?xml version=\"1.0\" standalone=\"no\"?><!DOCTYPE r SYSTEM \"" + secretDtd + "\"><r>&s;</r>"},
        {"xinclude", "<r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"file://" + secret +
                         "\" parse=\"text\"/></r>"},
    };
    for (const auto& c : cases) {
        Document doc;
        doc.loadXml(c.bytes);
        expectNothingLeaked(doc, c.name);
        program.write(QStringLiteral("\\hostile.xml"), c.bytes);
        Document fromFile;
        fromFile.load(program.path(QStringLiteral("\\hostile.xml")));
        expectNothingLeaked(fromFile, c.name);
    }
    // /etc/passwd is never read either.
    Document passwd;
    EXPECT_FALSE(passwd.loadXml("<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>"));
    EXPECT_FALSE(passwd.toBytes().contains("root:"));
}

TEST(XmlHostileInput, DocumentsWithADocumentTypeAreRefused)
{
    const QByteArray cases[] = {
        "<!DOCTYPE r [<!ENTITY e \"x\">]><r>&e;</r>",
        "<!DOCTYPE r [<!ENTITY e \"x\">]><r/>",
        "<!DOCTYPE r [<!ENTITY % p \"<!ENTITY e 'x'>\"> %p;]><r>&e;</r>",
        "<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r/>",
        // Without a single entity declaration, a DOCTYPE is refused all the same: no document of the
        // service carries one, and every command reads such a file alike.
        "<!DOCTYPE r [<!ELEMENT r (#PCDATA)>]><r>x</r>",
        "<!DOCTYPE r [<!ATTLIST r a CDATA \"default\">]><r>x</r>",
        "<!DOCTYPE r><r>x</r>",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE r SYSTEM \"r.dtd\">\n<r>x</r>",
        "<!DOCTYPE r PUBLIC \"-//ZORVA//DTD R//CS\" \"http://127.0.0.1/r.dtd\"><r>x</r>",
        "\xEF\xBB\xBF<!DOCTYPE r><r>x</r>",
    };
    for (const QByteArray& bytes : cases) {
        Document doc;
        EXPECT_FALSE(doc.loadXml(bytes)) << bytes.constData();
        EXPECT_TRUE(doc.isEmpty()) << bytes.constData();
        EXPECT_EQ(doc.loadFailure(), LoadFailure::Doctype) << bytes.constData();
    }
    // A malformed document is not taken for one with a DOCTYPE, nor is a DOCTYPE in a comment.
    Document malformed;
    EXPECT_FALSE(malformed.loadXml("<r><!DOCTYPE r></r>"));
    EXPECT_EQ(malformed.loadFailure(), LoadFailure::NotXml);
    Document commented;
    EXPECT_TRUE(commented.loadXml("<!-- <!DOCTYPE r> --><r>x</r>"));
    EXPECT_EQ(commented.loadFailure(), LoadFailure::None);
    EXPECT_EQ(loadFailureText(LoadFailure::Doctype),
              QStringLiteral("Dokument obsahuje deklaraci typu dokumentu (DOCTYPE), kterou program nepřijímá."));
}

TEST(XmlHostileInput, NothingIsFetchedFromTheNetwork)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const QByteArray base = "http://127.0.0.1:" + QByteArray::number(server.serverPort());
    const QByteArray cases[] = {
        "<!DOCTYPE r SYSTEM \"" + base + "/subset.dtd\"><r/>",
        "<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + base + "/p.dtd\"> %p;]><r/>",
        "<!DOCTYPE r [<!ENTITY x SYSTEM \"" + base + "/x.txt\">]><r>&x;</r>",
        "<r xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:schemaLocation=\"u " + base + "/s.xsd\"/>",
    };
    for (const QByteArray& bytes : cases) {
        Document doc;
        doc.loadXml(bytes);
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(server.waitForNewConnection(200));
    EXPECT_FALSE(server.hasPendingConnections());
}

TEST(XmlHostileInput, EntityExpansionBombsAreRefusedWithBoundedMemory)
{
    const long before = maxResidentKb();
    QByteArray quadratic = "<!DOCTYPE r [<!ENTITY a \"" + QByteArray(100000, 'a') + "\">]><r>" +
                           QByteArray("&a;").repeated(50000) + "</r>";
    QByteArray quadraticAttribute = "<!DOCTYPE r [<!ENTITY a \"" + QByteArray(100000, 'a') + "\">]><r v=\"" +
                                    QByteArray("&a;").repeated(50000) + "\"/>";
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"billion laughs in content", billionLaughs(false)},
        {"billion laughs in an attribute", billionLaughs(true)},
        {"quadratic blowup", quadratic},
        {"quadratic blowup in an attribute", quadraticAttribute},
    };
    for (const auto& c : cases) {
        Document doc;
        EXPECT_FALSE(doc.loadXml(c.bytes)) << c.name;
        EXPECT_TRUE(doc.isEmpty()) << c.name;
        EXPECT_LT(doc.toBytes().size(), 1000) << c.name;
    }
    // Expanded, these would take gigabytes; refused, they take next to nothing.
    EXPECT_LT(maxResidentKb() - before, 200 * 1024);
}

TEST(XmlHostileInput, LargeDocumentsLoadWithinTheLimitAndAreRefusedAboveIt)
{
    TestProgram program;
    // About 50 MB in rows of 50 kB text.
    const QByteArray text(50000, 'x');
    QByteArray big = "<VDJ:R xmlns:VDJ=\"u\">";
    const int rows = 1000;
    for (int i = 0; i < rows; ++i) big += "<VDJ:PICHROW n=\"" + QByteArray::number(i) + "\">" + text + "</VDJ:PICHROW>";
    big += "</VDJ:R>";
    ASSERT_GT(big.size(), 50'000'000);
    ASSERT_LT(big.size(), Document::maxInputBytes);
    {
        Document doc;
        ASSERT_TRUE(doc.loadXml(big));
        const auto found = doc.selectList(QStringLiteral("//VDJ:PICHROW"));
        ASSERT_EQ(found.size(), std::size_t(rows));
        EXPECT_EQ(found.back().text().size(), text.size());
    }
    program.write(QStringLiteral("\\big.xml"), big);
    {
        Document doc;
        EXPECT_TRUE(doc.load(program.path(QStringLiteral("\\big.xml"))));
    }

    // Above the limit: padding with blanks keeps it well-formed, only its size is wrong.
    QByteArray tooBig = big;
    tooBig += QByteArray(Document::maxInputBytes - tooBig.size() + 1, ' ');
    ASSERT_EQ(tooBig.size(), Document::maxInputBytes + 1);
    {
        Document doc;
        EXPECT_FALSE(doc.loadXml(tooBig));
        EXPECT_TRUE(doc.isEmpty());
        EXPECT_EQ(doc.loadFailure(), LoadFailure::TooLarge);
    }
    big.clear();
    program.write(QStringLiteral("\\big.xml"), tooBig);
    tooBig.clear();
    Document doc;
    EXPECT_FALSE(doc.load(program.path(QStringLiteral("\\big.xml"))));
    EXPECT_TRUE(doc.isEmpty());
    // Said as too large, not as malformed.
    EXPECT_EQ(doc.loadFailure(), LoadFailure::TooLarge);
    EXPECT_EQ(loadFailureText(doc.loadFailure()), QStringLiteral("Dokument je příliš velký (nejvýše 64 MB)."));
    EXPECT_FALSE(doc.load(program.path(QStringLiteral("\\missing.xml"))));
    EXPECT_EQ(doc.loadFailure(), LoadFailure::Unreadable);
    EXPECT_TRUE(doc.loadXml("<r/>"));
    EXPECT_EQ(doc.loadFailure(), LoadFailure::None);
}
