#pragma once
#include <gtest/gtest.h>
#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

#include "platform/XmlDocument.h"
#include "request/RequestDocument.h"
#include "service/DemoService.h"

namespace zorva::test {

struct HttpReply {
    int status = 0;
    QByteArray contentType;
    QByteArray body;
    QString error;
};

// Blocking HTTP calls for the tests: the event loop runs while waiting, so that a server of the same
// thread answers.
HttpReply httpPost(const QString& url, const QByteArray& body);
HttpReply httpGet(const QString& url);

// A request of the program's own form, with the demo user and the family farm unless told otherwise.
request::RequestFields demoRequest(const QString& type, const QString& validity,
                                   const QString& variant = QStringLiteral("C"));
QByteArray requestBody(const request::RequestFields& fields);

// The selections a test needs on an answer.
struct ParsedAnswer {
    xml::Document doc;
    std::vector<xml::Node> rows() const { return doc.selectList(QStringLiteral("//VDJ:PICHROW")); }
    QString text(const QString& pattern) const;
    bool has(const QString& pattern) const { return !doc.selectSingle(pattern).isNull(); }
    QString faultString() const { return text(QStringLiteral("//faultstring")); }
};
ParsedAnswer parse(const QByteArray& body);

// The demo service on a free loopback port, with the data of the source tree.
class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override;
    HttpReply exchange(const request::RequestFields& fields)
    {
        return httpPost(service->exchangeUrl(), requestBody(fields));
    }
    HttpReply exchange(const QByteArray& body) { return httpPost(service->exchangeUrl(), body); }
    std::unique_ptr<service::DemoService> service;
};

}  // namespace zorva::test
