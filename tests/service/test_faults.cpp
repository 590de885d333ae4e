#include <gtest/gtest.h>

#include "ServiceFixture.h"

using namespace zorva;
using namespace zorva::test;

namespace {

struct FaultCase {
    const char* name;
    std::function<QByteArray()> body;
    QString faultString;
};

QByteArray withFields(const std::function<void(request::RequestFields&)>& change)
{
    auto f = demoRequest(QStringLiteral("4"), QStringLiteral("2006"));
    change(f);
    return requestBody(f);
}

QByteArray overOneMegabyte()
{
    // A well-formed request, only too long: the size alone decides.
    QByteArray body = requestBody(demoRequest(QStringLiteral("4"), QStringLiteral("2006")));
    body.insert(body.indexOf("<SOAP:Body>"), "<!--" + QByteArray(1024 * 1024, 'x') + "-->");
    return body;
}

const QString kNotXml = QStringLiteral("Požadavek není platný dokument XML");
const QString kRange = QStringLiteral("Rok je mimo povolený rozsah 2004–2007");

std::vector<FaultCase> faultCases()
{
    using F = request::RequestFields;
    return {
        {"MalformedXml", [] { return QByteArray("<SOAP:Envelope><SOAP:Body><kLIM:Request>"); }, kNotXml},
        {"NotXmlAtAll", [] { return QByteArray("JISUBRUX=1000234567&ROK=2006"); }, kNotXml},
        {"EmptyBody", [] { return QByteArray(); }, kNotXml},
        {"BinaryJunk", [] { return QByteArray("\x00\xff\xfe<\x01\x02", 6); }, kNotXml},
        {"OverOneMegabyte", overOneMegabyte, QStringLiteral("Požadavek je příliš velký (nejvýše 1 MB)")},
        {"NoRequestRecord", [] { return QByteArray("<SOAP:Envelope xmlns:SOAP=\"x\"><SOAP:Body/></SOAP:Envelope>"); },
         QStringLiteral("Požadavek neobsahuje záznam žádosti VDJ:ReqRecord")},
        {"UnknownUser", [] { return withFields([](F& f) { f.userId = QStringLiteral("NEZNAMY"); }); },
         QStringLiteral("Neznámý uživatel")},
        {"EmptyUser", [] { return withFields([](F& f) { f.userId.clear(); }); }, QStringLiteral("Neznámý uživatel")},
        {"UnknownApplicant",
         [] {
             return withFields([](F& f) {
                 f.jisubrux = QStringLiteral("1000999999");
                 f.ico = QStringLiteral("25999999");
                 f.rc = QStringLiteral("7001011234");
             });
         },
         QStringLiteral("Žadatel nebyl nalezen")},
        {"NoApplicantFields", [] { return withFields([](F& f) { f.jisubrux.clear(); }); },
         QStringLiteral("Žadatel nebyl nalezen")},
        {"Year2003", [] { return withFields([](F& f) { f.year = QStringLiteral("2003"); }); }, kRange},
        {"Year2008", [] { return withFields([](F& f) { f.year = QStringLiteral("2008"); }); }, kRange},
        {"Date2003",
         [] {
             return withFields([](F& f) {
                 f.type = QStringLiteral("2");
                 f.year = QStringLiteral("31.12.2003");
             });
         },
         kRange},
        {"TypeSeven", [] { return withFields([](F& f) { f.type = QStringLiteral("7"); }); },
         QStringLiteral("Neplatný typ výpočtu (VARPICH musí být 1 až 6)")},
        {"TypeEmpty", [] { return withFields([](F& f) { f.type.clear(); }); },
         QStringLiteral("Neplatný typ výpočtu (VARPICH musí být 1 až 6)")},
        {"VariantD", [] { return withFields([](F& f) { f.variant = QStringLiteral("D"); }); },
         QStringLiteral("Neplatná varianta výpočtu (PICHVYPOCET musí být A, B nebo C)")},
        {"DateThatDoesNotExist",
         [] {
             return withFields([](F& f) {
                 f.type = QStringLiteral("1");
                 f.year = QStringLiteral("31.02.2006");
             });
         },
         QStringLiteral("Datum platnosti není platné datum ve tvaru dd.mm.rrrr")},
        {"YearInsteadOfDate", [] { return withFields([](F& f) { f.type = QStringLiteral("3"); }); },
         QStringLiteral("Datum platnosti není platné datum ve tvaru dd.mm.rrrr")},
        {"YearInWords", [] { return withFields([](F& f) { f.year = QStringLiteral("dva tisíce šest"); }); },
         QStringLiteral("Rok platnosti není platný rok")},
        {"AcreageNotANumber",
         [] {
             return withFields([](F& f) {
                 f.type = QStringLiteral("6");
                 f.acreage = QStringLiteral("abc");
             });
         },
         QStringLiteral("Výměra není platné číslo")},
        {"AcreageNegative",
         [] {
             return withFields([](F& f) {
                 f.type = QStringLiteral("6");
                 f.acreage = QStringLiteral("-3");
             });
         },
         QStringLiteral("Výměra nesmí být záporná")},
    };
}

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.name;
}

}  // namespace

class ServiceFault : public ServiceTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(ServiceFault, IsASoapClientFaultWithCzechTextAndStatus500)
{
    const HttpReply reply = exchange(GetParam().body());
    EXPECT_EQ(reply.status, 500) << reply.error.toStdString();
    EXPECT_EQ(reply.contentType, "text/xml; charset=utf-8");
    const ParsedAnswer a = parse(reply.body);
    ASSERT_FALSE(a.doc.isEmpty()) << reply.body.constData();
    EXPECT_TRUE(a.has(QStringLiteral("//SOAP:Envelope/SOAP:Body/SOAP:Fault")));
    EXPECT_EQ(a.text(QStringLiteral("//faultcode")), "SOAP:Client");
    EXPECT_EQ(a.faultString(), GetParam().faultString);
    EXPECT_TRUE(a.rows().empty());
}

INSTANTIATE_TEST_SUITE_P(Faults, ServiceFault, ::testing::ValuesIn(faultCases()),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(ServiceTest, HostileXmlIsRefusedAndTheServiceGoesOnAnswering)
{
    const QByteArray laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE l [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
        "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
        "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\"><!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">]>"
        "<SOAP:Envelope><kLIM:UIDkey userID=\"&h;\"/></SOAP:Envelope>";
    const QByteArray external =
        "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"
        "<SOAP:Envelope><VDJ:ReqRecord><RUX:JISUBRUX>&e;</RUX:JISUBRUX></VDJ:ReqRecord></SOAP:Envelope>";
    for (const QByteArray& body : {laughs, external}) {
        const HttpReply reply = exchange(body);
        EXPECT_EQ(reply.status, 500);
        const ParsedAnswer a = parse(reply.body);
        EXPECT_FALSE(a.faultString().isEmpty());
        EXPECT_FALSE(reply.body.contains("root:"));
    }
    EXPECT_EQ(exchange(demoRequest(QStringLiteral("2"), QStringLiteral("01.02.2006"))).status, 200);
}
