#include <gtest/gtest.h>

#include <QEventLoop>
#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

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

struct RawAnswer {
    int status = 0;
    QByteArray body;
};

// Sends each request as it stands on one connection, the next one when the answer to the one
// before is complete by the length that it announces. Fewer answers when the connection ends first.
std::vector<RawAnswer> rawExchange(quint16 port, const std::vector<QByteArray>& requests)
{
    static const QRegularExpression contentLength(QStringLiteral("(?im)^content-length:\\s*(\\d+)"));
    QTcpSocket socket;
    QByteArray received;
    std::vector<RawAnswer> answers;
    QEventLoop loop;
    auto take = [&] {
        received += socket.readAll();
        for (qsizetype end; (end = received.indexOf("\r\n\r\n")) >= 0;) {
            const QByteArray head = received.left(end);
            const auto length = contentLength.match(QString::fromLatin1(head));
            const qsizetype bodyLength = length.hasMatch() ? length.captured(1).toLongLong() : 0;
            if (received.size() < end + 4 + bodyLength) break;
            answers.push_back({head.mid(9, 3).toInt(), received.mid(end + 4, bodyLength)});
            received.remove(0, end + 4 + bodyLength);
            if (answers.size() < requests.size()) socket.write(requests[answers.size()]);
        }
        if (answers.size() >= requests.size()) loop.quit();
    };
    QObject::connect(&socket, &QTcpSocket::readyRead, &loop, take);
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    // Only a guard against a hung test run; no test depends on how long an answer takes.
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(requests.front());
    loop.exec();
    take();
    return answers;
}

QByteArray post(const QByteArray& headers, const QByteArray& body)
{
    return "POST /kLIM/APP/v0100/kLIMsrv.asp HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: text/xml\r\n" + headers +
           "\r\n" + body;
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

// The announced length decides before the body is read: the answer comes although the body never
// does, and nothing of a body over the limit is kept.
TEST_F(ServiceTest, ABodyAnnouncedOverTheLimitIsRefusedFromItsHeader)
{
    const QString tooLarge = QStringLiteral("Požadavek je příliš velký (nejvýše 1 MB)");
    const QString withoutLength = QStringLiteral("Požadavek neudává délku obsahu (Content-Length)");
    const QByteArray good = requestBody(demoRequest(QStringLiteral("2"), QStringLiteral("01.02.2006")));
    const QByteArray endlessHeader = "POST /kLIM/APP/v0100/kLIMsrv.asp HTTP/1.1\r\n" +
                                     QByteArray("X-Vypln: " + QByteArray(100, 'x') + "\r\n").repeated(700);
    const struct {
        const char* name;
        std::vector<QByteArray> requests;  // on one connection, one after the other's answer
        std::vector<int> statuses;
        QString faultString;  // of the last answer
    } cases[] = {
        {"1 GB announced", {post("Content-Length: 1073741824\r\n", "<SOAP:Envelope")}, {500}, tooLarge},
        {"one byte over", {post("Content-Length: 1048577\r\n", "<SOAP:Envelope")}, {500}, tooLarge},
        {"a length beyond any number", {post("Content-Length: 99999999999999999999999\r\n", "<a/>")}, {500}, tooLarge},
        {"a header that does not end", {endlessHeader}, {500}, tooLarge},
        {"chunked", {post("Transfer-Encoding: chunked\r\n", "4\r\n<a/>\r\n")}, {500}, withoutLength},
        {"a length that is no number", {post("Content-Length: 12abc\r\n", "<a/>")}, {500}, withoutLength},
        {"the second request of a connection",
         {post("Content-Length: " + QByteArray::number(good.size()) + "\r\n", good),
          post("Content-Length: 1073741824\r\n", "<SOAP:Envelope")},
         {200, 500},
         tooLarge},
    };
    for (const auto& c : cases) {
        const std::vector<RawAnswer> answers = rawExchange(service->port(), c.requests);
        ASSERT_EQ(answers.size(), c.statuses.size()) << c.name;
        for (std::size_t i = 0; i < answers.size(); ++i) EXPECT_EQ(answers[i].status, c.statuses[i]) << c.name;
        EXPECT_EQ(parse(answers.back().body).faultString(), c.faultString) << c.name;
    }
    // The refusals leave the service answering.
    EXPECT_EQ(exchange(good).status, 200);
}

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
