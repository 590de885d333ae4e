#pragma once
#include <QByteArray>
#include <QTcpServer>

namespace zorva::service {

// The TCP server under the demo service's QHttpServer. QHttpServer keeps a whole request, body and
// all, in memory (twice) before any handler sees it, so a body over the limit is refused here, from
// the header that announces it, before it is read: every request of a connection is followed
// through its header and its announced length, and one that announces more than `maxBodyBytes`,
// whose header does not end within a bounded length, or that announces no usable length (a chunked
// body, a length that is no number) gets one of the refusals (whole HTTP answers) and the
// connection ends. Its body is read only to be thrown away, up to a bound, so that the client gets
// the answer before the connection closes.
class BoundedRequestServer : public QTcpServer {
public:
    struct Refusals {
        QByteArray tooLarge;
        QByteArray withoutLength;
    };
    BoundedRequestServer(qsizetype maxBodyBytes, Refusals refusals, QObject* parent = nullptr);

    // The HTTP answer that carries a SOAP fault document.
    static QByteArray faultAnswer(const QByteArray& faultDocument);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    qsizetype maxBodyBytes_;
    Refusals refusals_;
};

}  // namespace zorva::service
