#include "platform/HttpRequest.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>

#include "common/Failure.h"

namespace zorva {

struct HttpRequest::Impl {
    QNetworkAccessManager* manager = nullptr;  // child of the request object
    QPointer<QNetworkReply> reply;
    QByteArray method;
    QUrl url;
    bool async = true;
    int state = 0;
    int timeoutMs = 60000;
    int status = 0;
    bool failed = false;
    HttpRequest::Problem problem = HttpRequest::Problem::None;
    QString errorText;
    QByteArray body;
    bool tooLarge = false;
};

namespace {

HttpRequest::Problem problemOf(QNetworkReply::NetworkError error, bool tooLarge)
{
    using P = HttpRequest::Problem;
    if (tooLarge) return P::TooLarge;
    switch (error) {
        case QNetworkReply::ConnectionRefusedError:
            return P::Refused;
        case QNetworkReply::HostNotFoundError:
            return P::HostNotFound;
        // Nothing else aborts a running request than the transfer timeout, which Qt reports as a
        // cancellation.
        case QNetworkReply::TimeoutError:
        case QNetworkReply::OperationCanceledError:
            return P::Timeout;
        case QNetworkReply::SslHandshakeFailedError:
            return P::Tls;
        default:
            return P::Other;
    }
}

}  // namespace

HttpRequest::HttpRequest(QObject* parent) : QObject(parent), d(std::make_unique<Impl>())
{
    d->manager = new QNetworkAccessManager(this);
}

HttpRequest::~HttpRequest()
{
    if (d->reply) {
        d->reply->disconnect(this);
        d->reply->abort();
        delete d->reply.data();
    }
}

void HttpRequest::open(const QString& method, const QString& url, bool async)
{
    const QString m = method.trimmed().toUpper();
    if (m != QLatin1String("POST") && m != QLatin1String("GET"))
        throw Failure(err::InvalidProcedureCall, QStringLiteral("Nepodporovaná metoda požadavku: %1").arg(method));

    const QUrl parsed(url);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        parsed.host().isEmpty())
        throw Failure(err::HttpFailure, QStringLiteral("Neplatná adresa serveru: %1").arg(url));

    if (d->reply) {
        d->reply->disconnect(this);
        d->reply->abort();
        d->reply->deleteLater();
    }
    d->method = m.toLatin1();
    d->url = parsed;
    d->async = async;
    d->state = 1;
    d->status = 0;
    d->failed = false;
    d->problem = Problem::None;
    d->errorText.clear();
    d->body.clear();
    d->tooLarge = false;
}

void HttpRequest::send(const QString& body)
{
    if (d->state != 1 || d->reply)
        throw Failure(err::HttpFailure, QStringLiteral("Požadavek nebyl otevřen nebo už byl odeslán."));

    QNetworkRequest request(d->url);
    // SOAP 1.1 travels as text/xml; the body is the request document's UTF-8.
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/xml; charset=utf-8"));
    // Given up after this long without any progress, connecting included; it then ends as failed.
    request.setTransferTimeout(d->timeoutMs);

    QNetworkReply* reply = d->method == "GET" ? d->manager->get(request) : d->manager->post(request, body.toUtf8());
    d->reply = reply;
    // A body beyond what a document may hold is not kept in memory; the exchange ends as failed.
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
        if (received > xml::Document::maxInputBytes && !d->tooLarge) {
            d->tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        d->status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        d->body = (!d->tooLarge && reply->isOpen()) ? reply->readAll() : QByteArray();
        // A failure of the transport (network, proxy or protocol), also one that breaks off a body whose
        // headers had come, is a failure; an answer with an error status (a SOAP fault comes as 500) is an
        // answer, whose error Qt numbers from 201 to 299 and from 401 on.
        const int error = reply->error();
        const bool transport = (error > 0 && error < 200) || (error > 300 && error < 400);
        d->failed = d->tooLarge || transport || (d->status == 0 && error != QNetworkReply::NoError);
        if (d->failed) {
            d->errorText = reply->errorString();
            d->problem = problemOf(reply->error(), d->tooLarge);
        }
        d->state = 4;
        d->reply = nullptr;
        reply->deleteLater();
        emit completed();
    });

    if (!d->async) {
        QEventLoop loop;
        connect(this, &HttpRequest::completed, &loop, &QEventLoop::quit);
        if (d->state != 4) loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

int HttpRequest::readyState() const
{
    return d->state;
}

xml::Document HttpRequest::responseXML() const
{
    xml::Document doc;
    if (d->state == 4 && !d->body.isEmpty()) doc.loadXml(d->body);
    return doc;
}

QByteArray HttpRequest::responseBody() const
{
    return d->body;
}

int HttpRequest::status() const
{
    return d->status;
}

bool HttpRequest::failed() const
{
    return d->failed;
}

HttpRequest::Problem HttpRequest::problem() const
{
    return d->problem;
}

QString HttpRequest::errorText() const
{
    return d->errorText;
}

bool HttpRequest::bodyArrived() const
{
    return !d->body.isEmpty();
}

void HttpRequest::setTimeoutMs(int ms)
{
    d->timeoutMs = ms > 0 ? ms : 0;
}

}  // namespace zorva
