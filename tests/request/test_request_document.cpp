#include <gtest/gtest.h>

#include "platform/XmlDocument.h"
#include "request/RequestDocument.h"
#include "request/Validation.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::request;
using zorva::test::LocaleScope;

TEST(RequestDocument, OrdinaryValuesGiveTheServicesExactText)
{
    RequestFields f{"USR1", "1000234567", "25123456", "7001011234", "6", "C", "2005", "12.5"};
    const QString expected = QStringLiteral(
        "<SOAP:Envelope xmlns:SOAP=\"http://schemas.xmlsoap.org/soap/envelope/\"> <SOAP:Body> "
        "<kLIM:Request id=\"kLIM\" dateTime=\"2006-12-31T14:0:0\" "
        "xmlns:kLIM=\"http://klim.example/kLIM/XSD/kLIM/v0100\" kLIMid=\"ZORVA_VDJ1B\"> "
        "<kLIM:UIDkey userID=\"USR1\" addressAD=\"default\" certificateSN=\"0\" /> "
        "<kLIM:DataRequest recordCount=\"1\" responseLang=\"CZE\"> "
        "<VDJ:REQUEST xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xsi:schemaLocation=\"http://data.example/kLIM/XSD/VDJ/0_0_1 http://data.example/kLIM/XSD/VDJ/0_0_1/VDJ.xsd\" "
        "xmlns:VDJ=\"http://data.example/kLIM/XSD/VDJ/0_0_1\" xmlns:RUX=\"http://data.example/kLIM/XSD/RUX/0_0_1\"> "
        "<VDJ:ReqRecord id=\"record\" number=\"1\"> <RUX:JISUBRUX>1000234567</RUX:JISUBRUX> "
        "<RUX:ICO>25123456</RUX:ICO> "
        "<RUX:RCI>7001011234</RUX:RCI> <RUX:VARPICH>6</RUX:VARPICH><RUX:PICHVYPOCET>C</RUX:PICHVYPOCET> "
        "<RUX:ROKPLATNOST>2005</RUX:ROKPLATNOST><RUX:VYMERA>12.5</RUX:VYMERA> </VDJ:ReqRecord> </VDJ:REQUEST> "
        "</kLIM:DataRequest> </kLIM:Request> </SOAP:Body> </SOAP:Envelope>");
    EXPECT_EQ(composeRequest(f, QDateTime(QDate(2006, 12, 31), QTime(14, 0, 0))), expected);
}

TEST(RequestDocument, StampHasNoLeadingZeros)
{
    EXPECT_EQ(requestStamp(QDateTime(QDate(2006, 3, 3), QTime(9, 5, 7))), QStringLiteral("2006-3-3T9:5:7"));
    EXPECT_EQ(requestStamp(QDateTime(QDate(2006, 12, 31), QTime(14, 0, 0))), QStringLiteral("2006-12-31T14:0:0"));
    EXPECT_EQ(requestStamp(QDateTime(QDate(2007, 1, 1), QTime(0, 0, 0))), QStringLiteral("2007-1-1T0:0:0"));
}

TEST(RequestDocument, HostileFieldsStayInsideTheirElements)
{
    RequestFields f{"a\"b<c", "1&2", "<RUX:X>y</RUX:X>", "\"", "4", "A", "2005", "0"};
    const QString text = composeRequest(f, QDateTime(QDate(2006, 1, 1), QTime(0, 0, 0)));
    xml::Document doc;
    ASSERT_TRUE(doc.loadXml(text.toUtf8()));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:JISUBRUX")).text(), QStringLiteral("1&2"));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:ICO")).text(), QStringLiteral("<RUX:X>y</RUX:X>"));
    EXPECT_TRUE(doc.selectSingle(QStringLiteral("//RUX:X")).isNull());
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//kLIM:UIDkey")).attribute(QStringLiteral("userID")).value_or(QString()),
              QStringLiteral("a\"b<c"));
}

struct ValidationCase {
    const char* type;
    const char* year;
    const char* acreage;
    const char* message;
    const char* sentYear;
    const char* keptAcreage;
    const char* locale = "cs_CZ";
};

class ValidationTable : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(ValidationTable, FirstFailingRuleWins)
{
    const auto& c = GetParam();
    LocaleScope regional{QLocale(QString::fromLatin1(c.locale))};
    const ValidationResult r =
        validate({QString::fromUtf8(c.type), QString::fromUtf8(c.year), QString::fromUtf8(c.acreage)});
    EXPECT_EQ(r.message, QString::fromUtf8(c.message)) << c.type << " " << c.year << " " << c.acreage;
    if (r.ok()) {
        EXPECT_EQ(r.year, QString::fromUtf8(c.sentYear));
        EXPECT_EQ(r.acreage, QString::fromUtf8(c.keptAcreage));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ValidationTable,
    ::testing::Values(ValidationCase{"2", "1.2.2006", "5", "", "01.02.2006", ""},
                      ValidationCase{"1", "01.02.2006", "", "", "01.02.2006", ""},
                      ValidationCase{"3", "31.12.06", "", "", "31.12.2006", ""},
                      ValidationCase{"3", "1. 2. 2006", "", "", "01.02.2006", ""},
                      ValidationCase{"1", "2006", "", "DATUM není datum !!", "", ""},
                      ValidationCase{"2", "31.2.2006", "", "DATUM není datum !!", "", ""},
                      ValidationCase{"2", "", "", "DATUM není datum !!", "", ""},
                      ValidationCase{"", "1.2.2006", "", "", "01.02.2006", ""},
                      ValidationCase{"5", "2003", "", "ROK je mimo povolený rozsah !!", "", ""},
                      ValidationCase{"5", "2008", "", "ROK je mimo povolený rozsah !!", "", ""},
                      ValidationCase{"5", "2OO6", "", "ROK není ve správném formátu !!", "", ""},
                      ValidationCase{"4", "2004", "x", "", "2004", ""}, ValidationCase{"4", "2007", "", "", "2007", ""},
                      ValidationCase{"4", "2006,5", "", "", "2006,5", ""},
                      ValidationCase{"4", "", "", "ROK není ve správném formátu !!", "", ""},
                      ValidationCase{"6", "2005", "", "Výměra musí být zadána !", "", ""},
                      ValidationCase{"6", "2005", "abc", "VYMERA není číslo !!", "", ""},
                      ValidationCase{"6", "2003", "", "ROK je mimo povolený rozsah !!", "", ""},
                      ValidationCase{"6", "2005", "12,50", "", "2005", "12,50"},
                      ValidationCase{"6", "2005", "60.5", "", "2005", "60.5"},
                      ValidationCase{"6", "2005", "60,5 ha", "VYMERA není číslo !!", "", ""},
                      ValidationCase{"6", "2005", "1 234,5", "", "2005", "1 234,5"},
                      ValidationCase{"6", "2005", "0,0", "Výměra musí být větší než 0 !", "", ""},
                      ValidationCase{"6", "2005", "-5", "Výměra musí být větší než 0 !", "", ""},
                      ValidationCase{"6", "2005", "1,234.5", "VYMERA není číslo !!", "", "", "en_US"},
                      ValidationCase{"6", "2005", "1.234,5", "VYMERA není číslo !!", "", "", "de_DE"}));

// Found by fuzzing the composer: a control character in a field (pasted into a box, or in the
// settings file) made the whole request malformed, and a line break or tab in a field came back
// changed from the parser.
TEST(RequestDocument, FieldsWithControlCharactersStillGiveAWellFormedRequest)
{
    const QString broken = QStringLiteral("12") + QChar(0x01) + QStringLiteral("3") + QChar(0xFFFF) + QChar(0xD800);
    const QString pair = QStringLiteral("x") + QChar(0xD83D) + QChar(0xDC04);  // one character outside the BMP
    RequestFields f{"a\tb\r\nc", broken, pair, "r\rs", "4", "A", "2005", QString(QChar(0x1B))};
    const QString text = composeRequest(f, QDateTime(QDate(2006, 1, 1), QTime(0, 0, 0)));
    xml::Document doc;
    ASSERT_TRUE(doc.loadXml(text.toUtf8())) << text.toStdString();
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//kLIM:UIDkey")).attribute(QStringLiteral("userID")).value_or(QString()),
              QStringLiteral("a\tb\r\nc"));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:JISUBRUX")).text(), QStringLiteral("123"));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:ICO")).text(), pair);
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:RCI")).text(), QStringLiteral("r\rs"));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:VYMERA")).text(), QString());
}
