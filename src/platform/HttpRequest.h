#pragma once
#include <QObject>
#include <QString>
#include <memory>

#include "platform/XmlDocument.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace zorva {

// The request object of one exchange with the service: open, send, poll readyState until 4, then
// take responseXML. A failed request (refused, timed out, TLS error) also ends in state 4; besides
// what the callers of old relied on it tells the HTTP status, the transport error and whether a body
// arrived, so that a caller can tell a failed exchange from an answer.
class HttpRequest : public QObject {
    Q_OBJECT
public:
    explicit HttpRequest(QObject* parent = nullptr);
    ~HttpRequest() override;

    // Raises a Failure for an unsupported method or a URL that is not a valid http(s) URL.
    void open(const QString& method, const QString& url, bool async = true);
    // Sends the body as UTF-8 ("text/xml; charset=utf-8"). Asynchronous: returns at once.
    void send(const QString& body);

    int readyState() const;             // 0 unsent, 1 opened, 4 completed (also on failure)
    xml::Document responseXML() const;  // the reply parsed with the hardened parser; empty when not XML
    QByteArray responseBody() const;
    int status() const;   // HTTP status, 0 when none arrived
    bool failed() const;  // transport failure: no HTTP answer at all
    // What went wrong in the transport, told apart so that a caller can explain it in its words.
    enum class Problem {
        None,
        Refused,
        HostNotFound,
        Timeout,
        Tls,
        TooLarge,
        Other
    };
    Problem problem() const;
    QString errorText() const;  // the network library's own text (for a log), empty on success
    bool bodyArrived() const;

    // Time without progress after which the request is given up (default 60 s; 0: no limit).
    void setTimeoutMs(int ms);

signals:
    void completed();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace zorva
