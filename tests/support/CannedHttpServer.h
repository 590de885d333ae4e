#pragma once
#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

namespace zorva::test {

// A real HTTP server on 127.0.0.1 (an ephemeral port) that answers every request with one canned
// reply, after an optional delay, or closes the connection without an answer. It records the
// request bodies it received.
class CannedHttpServer : public QObject {
    Q_OBJECT
public:
    CannedHttpServer();
    quint16 port() const { return server_.serverPort(); }
    QString url() const;

    int status = 200;
    QByteArray contentType = "text/xml; charset=utf-8";
    QByteArray body;
    int delayMs = 0;
    bool closeWithoutAnswer = false;
    QList<QByteArray> received;

private:
    void onConnection();
    void reply(QTcpSocket* socket);

    QTcpServer server_;
};

}  // namespace zorva::test
