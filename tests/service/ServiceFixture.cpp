#include "ServiceFixture.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace zorva::test {

namespace {

HttpReply finish(QNetworkReply* reply)
{
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec();
    HttpReply r;
    r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    r.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    r.body = reply->readAll();
    if (reply->error() != QNetworkReply::NoError && r.status == 0) r.error = reply->errorString();
    reply->deleteLater();
    return r;
}

QNetworkRequest makeRequest(const QString& url)
{
    QNetworkRequest request{QUrl(url)};
    // Only a guard against a hung test run; no test depends on how long an answer takes.
    request.setTransferTimeout(60000);
    return request;
}

}  // namespace

HttpReply httpPost(const QString& url, const QByteArray& body)
{
    QNetworkAccessManager manager;
    QNetworkRequest request = makeRequest(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/xml; charset=utf-8"));
    return finish(manager.post(request, body));
}

HttpReply httpGet(const QString& url)
{
    QNetworkAccessManager manager;
    return finish(manager.get(makeRequest(url)));
}

request::RequestFields demoRequest(const QString& type, const QString& validity, const QString& variant)
{
    request::RequestFields f;
    f.userId = QStringLiteral("DEMO");
    f.jisubrux = QStringLiteral("1000234567");
    f.type = type;
    f.variant = variant;
    f.year = validity;
    f.acreage = QStringLiteral("0");
    return f;
}

QByteArray requestBody(const request::RequestFields& fields)
{
    return request::composeRequest(fields, QDateTime(QDate(2006, 11, 7), QTime(14, 8, 41))).toUtf8();
}

QString ParsedAnswer::text(const QString& pattern) const
{
    const xml::Node node = doc.selectSingle(pattern);
    return node ? node.text() : QString();
}

ParsedAnswer parse(const QByteArray& body)
{
    ParsedAnswer a;
    a.doc.loadXml(body);
    return a;
}

void ServiceTest::SetUp()
{
    service = std::make_unique<service::DemoService>(QStringLiteral(ZORVA_DATA_DIR));
    ASSERT_NE(service->listen(0), 0);
}

}  // namespace zorva::test
