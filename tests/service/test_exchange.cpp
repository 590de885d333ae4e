#include <gtest/gtest.h>
#include <QEventLoop>
#include <QFile>

#include "ServiceFixture.h"
#include "editor/CategorySet.h"
#include "platform/HttpRequest.h"

using namespace zorva;
using namespace zorva::test;

namespace {

QStringList categoryNames(const xml::Node& row)
{
    QStringList names;
    for (const xml::Node& child : row.childElements()) {
        const QString name = child.name();
        if (!name.startsWith(QLatin1String("RUX:ZADATEL")) && name != QLatin1String("RUX:SUMAVYMERADPB"))
            names << name.mid(4);
    }
    return names;
}

QStringList setNames(const editor::CategorySet& set)
{
    QStringList names;
    for (const auto& c : set.categories) names << c.name;
    return names;
}

}  // namespace

struct RowsCase {
    const char* type;
    const char* validity;
    QStringList dates;
};

void PrintTo(const RowsCase& c, std::ostream* os)
{
    *os << "type " << c.type << ' ' << c.validity;
}

class ServiceRows : public ServiceTest, public ::testing::WithParamInterface<RowsCase> {};

TEST_P(ServiceRows, TypeDecidesTheValidityDatesOfTheRows)
{
    const RowsCase& c = GetParam();
    const HttpReply reply = exchange(demoRequest(QString::fromLatin1(c.type), QString::fromLatin1(c.validity)));
    ASSERT_EQ(reply.status, 200) << reply.body.constData();
    EXPECT_EQ(reply.contentType, "text/xml; charset=utf-8");
    const ParsedAnswer a = parse(reply.body);
    QStringList dates;
    for (const xml::Node& row : a.rows()) dates << row.attribute(QStringLiteral("DATPLATNOST")).value_or(QString());
    EXPECT_EQ(dates, c.dates);
    EXPECT_EQ(a.text(QStringLiteral("//RUX:VARPICH")), QString::fromLatin1(c.type));
    EXPECT_EQ(a.text(QStringLiteral("//RUX:ROKPLATNOST")), QString::fromLatin1(c.validity));
}

static QStringList monthsOf(int year)
{
    QStringList out;
    for (int m = 1; m <= 12; ++m) out << QDate(year, m, 1).toString(Qt::ISODate);
    return out;
}

INSTANTIATE_TEST_SUITE_P(Types, ServiceRows,
                         ::testing::Values(RowsCase{"1", "15.08.2005", {"2005-08-15"}},
                                           RowsCase{"2", "01.02.2006", {"2006-02-01"}},
                                           RowsCase{"3", "1.2.2007", {"2007-02-01"}},
                                           RowsCase{"4", "2006", monthsOf(2006)}, RowsCase{"5", "2004", monthsOf(2004)},
                                           RowsCase{"4", "2007", monthsOf(2007)}));

TEST_F(ServiceTest, TypeSixUsesTheRequestedAcreageOthersTheLpisAcreage)
{
    auto fields = demoRequest(QStringLiteral("6"), QStringLiteral("2006"));
    fields.acreage = QStringLiteral("12.5");
    ParsedAnswer six = parse(exchange(fields).body);
    ASSERT_EQ(six.rows().size(), 12u);
    for (const xml::Node& row : six.rows())
        EXPECT_EQ(row.selectSingle(QStringLiteral("RUX:SUMAVYMERADPB")).text(), "12.5");
    EXPECT_EQ(six.text(QStringLiteral("//RUX:VYMERA")), "12.5");

    // A decimal comma is read as well.
    fields.acreage = QStringLiteral("7,25");
    six = parse(exchange(fields).body);
    ASSERT_FALSE(six.rows().empty());
    EXPECT_EQ(six.rows().front().selectSingle(QStringLiteral("RUX:SUMAVYMERADPB")).text(), "7.25");

    const ParsedAnswer four = parse(exchange(demoRequest(QStringLiteral("4"), QStringLiteral("2006"))).body);
    ASSERT_FALSE(four.rows().empty());
    for (const xml::Node& row : four.rows())
        EXPECT_EQ(row.selectSingle(QStringLiteral("RUX:SUMAVYMERADPB")).text(), "51.3");
}

struct GenerationCase {
    const char* type;
    const char* validity;
    bool gen2006;
};

void PrintTo(const GenerationCase& c, std::ostream* os)
{
    *os << "type " << c.type << ' ' << c.validity;
}

class ServiceGeneration : public ServiceTest, public ::testing::WithParamInterface<GenerationCase> {};

TEST_P(ServiceGeneration, YearSelectsTheCategorySetInColumnOrder)
{
    const GenerationCase& c = GetParam();
    const ParsedAnswer a =
        parse(exchange(demoRequest(QString::fromLatin1(c.type), QString::fromLatin1(c.validity))).body);
    const auto rows = a.rows();
    ASSERT_FALSE(rows.empty());
    const editor::CategorySet& set = c.gen2006 ? editor::CategorySet::gen2006() : editor::CategorySet::first();
    for (const xml::Node& row : rows) {
        EXPECT_EQ(categoryNames(row), setNames(set));
        for (const auto& category : set.categories) {
            const xml::Node node = row.selectSingle(QStringLiteral("RUX:") + category.name);
            EXPECT_TRUE(node.attribute(QStringLiteral("VDJ")).has_value()) << qPrintable(category.name);
            EXPECT_FALSE(node.attribute(QStringLiteral("KOEF")).value_or(QString()).isEmpty())
                << qPrintable(category.name);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Years, ServiceGeneration,
                         ::testing::Values(GenerationCase{"4", "2004", false}, GenerationCase{"4", "2005", false},
                                           GenerationCase{"4", "2006", true}, GenerationCase{"5", "2007", true},
                                           GenerationCase{"2", "31.12.2005", false},
                                           GenerationCase{"2", "01.01.2006", false},
                                           GenerationCase{"4", "2006,0", false}));

struct VariantCase {
    const char* variant;
    bool a, b;
};

void PrintTo(const VariantCase& c, std::ostream* os)
{
    *os << "variant " << c.variant;
}

class ServiceVariant : public ServiceTest, public ::testing::WithParamInterface<VariantCase> {};

TEST_P(ServiceVariant, VariantDecidesTheYearlyElementsAndRowAttributes)
{
    const VariantCase& c = GetParam();
    const ParsedAnswer a =
        parse(exchange(demoRequest(QStringLiteral("4"), QStringLiteral("2006"), QString::fromLatin1(c.variant))).body);
    EXPECT_EQ(a.text(QStringLiteral("//RUX:PICHVYPOCET")), QString::fromLatin1(c.variant));
    EXPECT_EQ(a.has(QStringLiteral("//RUX:PICHROKA")), c.a);
    EXPECT_EQ(a.has(QStringLiteral("//RUX:PICHROKB")), c.b);
    ASSERT_EQ(a.rows().size(), 12u);
    for (const xml::Node& row : a.rows()) {
        EXPECT_EQ(row.attribute(QStringLiteral("VDJA")).has_value(), c.a);
        EXPECT_EQ(row.attribute(QStringLiteral("PICHA")).has_value(), c.a);
        EXPECT_EQ(row.attribute(QStringLiteral("VDJB")).has_value(), c.b);
        EXPECT_EQ(row.attribute(QStringLiteral("PICHB")).has_value(), c.b);
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, ServiceVariant,
                         ::testing::Values(VariantCase{"A", true, false}, VariantCase{"B", false, true},
                                           VariantCase{"C", true, true}));

TEST_F(ServiceTest, AnswerCarriesTheApplicantTheIrzSubjectAndTheResponseFrame)
{
    const ParsedAnswer a = parse(exchange(demoRequest(QStringLiteral("4"), QStringLiteral("2006"))).body);
    const xml::Node response = a.doc.selectSingle(QStringLiteral("//kLIM:Response"));
    ASSERT_TRUE(response);
    EXPECT_EQ(response.attribute(QStringLiteral("kLIMid")).value_or(QString()), "ZORVA_VDJ1B");
    EXPECT_FALSE(response.attribute(QStringLiteral("dateTime")).value_or(QString()).isEmpty());
    const xml::Node data = a.doc.selectSingle(QStringLiteral("//kLIM:DataResponse"));
    ASSERT_TRUE(data);
    EXPECT_EQ(data.attribute(QStringLiteral("showXSLTtype")).value_or(QString()), "text/xsl");
    EXPECT_EQ(data.attribute(QStringLiteral("showXSLTPath")).value_or(QString()), "ZORVA_VDJ1B.xsl");
    EXPECT_EQ(a.text(QStringLiteral("//RUX:JISUBRUX")), "1000234567");
    EXPECT_EQ(a.text(QStringLiteral("//RUX:ICO")), "65432177");
    EXPECT_EQ(a.text(QStringLiteral("//RUX:RCI")), "6003151231");
    EXPECT_EQ(a.text(QStringLiteral("//VDJ:SUBJEKTIRZ/RUX:JME")), "Jan");
    EXPECT_EQ(a.text(QStringLiteral("//VDJ:SUBJEKTIRZ/RUX:PRI")), QStringLiteral("Dvořák"));
    const xml::Node row = a.rows().front();
    EXPECT_EQ(row.selectSingle(QStringLiteral("RUX:ZADATELREGLPIS")).text(), "A");
    EXPECT_EQ(row.selectSingle(QStringLiteral("RUX:ZADATELREGIRZ")).text(), "A");
}

struct LookupCase {
    const char* jisubrux;
    const char* ico;
    const char* rc;
    const char* found;
};

void PrintTo(const LookupCase& c, std::ostream* os)
{
    *os << "finds " << c.found;
}

class ServiceLookup : public ServiceTest, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(ServiceLookup, ApplicantIsFoundByJisubruxThenIcThenRc)
{
    const LookupCase& c = GetParam();
    auto fields = demoRequest(QStringLiteral("4"), QStringLiteral("2005"));
    fields.jisubrux = QString::fromLatin1(c.jisubrux);
    fields.ico = QString::fromLatin1(c.ico);
    fields.rc = QString::fromLatin1(c.rc);
    const HttpReply reply = exchange(fields);
    ASSERT_EQ(reply.status, 200) << reply.body.constData();
    EXPECT_EQ(parse(reply.body).text(QStringLiteral("//RUX:JISUBRUX")), QString::fromLatin1(c.found));
}

INSTANTIATE_TEST_SUITE_P(Lookups, ServiceLookup,
                         ::testing::Values(LookupCase{"1000112233", "28765435", "", "1000112233"},
                                           LookupCase{"", "27654320", "", "1000876543"},
                                           LookupCase{"", "", "625812/0418", "1000667788"},
                                           LookupCase{"1999999999", "28765435", "", "1000554433"},
                                           LookupCase{"", "99999999", "6003151231", "1000234567"}));

TEST_F(ServiceTest, HelpPageIsServedAsUtf8Html)
{
    const HttpReply reply = httpGet(service->helpUrl());
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.contentType, "text/html; charset=utf-8");
    QFile file(QStringLiteral(ZORVA_DATA_DIR "/ZORVA_VDJ_help.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(reply.body, file.readAll());
    EXPECT_TRUE(QString::fromUtf8(reply.body).contains(QStringLiteral("Typy výpočtu")));
}

TEST_F(ServiceTest, OtherPathsAndMethodsAreNotAnswered)
{
    EXPECT_EQ(httpGet(service->exchangeUrl()).status, 404);
    EXPECT_EQ(httpPost(service->helpUrl(), "x").status, 404);
    EXPECT_EQ(httpGet(QStringLiteral("http://127.0.0.1:%1/kLIM/").arg(service->port())).status, 404);
}

TEST_F(ServiceTest, ProgramsOwnRequestObjectReadsAnswersAndFaults)
{
    const auto send = [&](const QByteArray& body) {
        auto request = std::make_unique<HttpRequest>();
        request->open(QStringLiteral("POST"), service->exchangeUrl());
        QEventLoop loop;
        QObject::connect(request.get(), &HttpRequest::completed, &loop, &QEventLoop::quit);
        request->send(QString::fromUtf8(body));
        if (request->readyState() != 4) loop.exec();
        return request;
    };
    const auto answered = send(requestBody(demoRequest(QStringLiteral("5"), QStringLiteral("2007"))));
    EXPECT_EQ(answered->status(), 200);
    const xml::Document doc = answered->responseXML();
    EXPECT_EQ(doc.selectList(QStringLiteral("//VDJ:PICHROW")).size(), 12u);

    auto unknown = demoRequest(QStringLiteral("5"), QStringLiteral("2007"));
    unknown.userId = QStringLiteral("NIKDO");
    const auto fault = send(requestBody(unknown));
    EXPECT_EQ(fault->status(), 500);
    EXPECT_FALSE(fault->failed());
    EXPECT_EQ(fault->responseXML().selectSingle(QStringLiteral("//faultstring")).text(),
              QStringLiteral("Neznámý uživatel"));
}
