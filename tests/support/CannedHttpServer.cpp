#include "support/CannedHttpServer.h"

#include <QHostAddress>
#include <QTimer>

namespace zorva::test {

CannedHttpServer::CannedHttpServer()
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, &CannedHttpServer::onConnection);
}

QString CannedHttpServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/kLIM/APP/v0100/kLIMsrv.asp").arg(port());
}

void CannedHttpServer::onConnection()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0) return;
            qsizetype length = 0;
            for (const QByteArray& line : buffer->left(end).split('\n'))
                if (line.toLower().startsWith("content-length:")) length = line.mid(15).trimmed().toLongLong();
            if (buffer->size() < end + 4 + length) return;
            received << buffer->mid(end + 4, length);
            buffer->clear();
            if (closeWithoutAnswer) {
                socket->abort();
                return;
            }
            QTimer::singleShot(delayMs, socket, [this, socket] { reply(socket); });
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void CannedHttpServer::reply(QTcpSocket* socket)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Error") + "\r\n";
    head += "Content-Type: " + contentType + "\r\nContent-Length: " + QByteArray::number(body.size()) +
            "\r\nConnection: close\r\n\r\n";
    socket->write(head + body);
    socket->disconnectFromHost();
}

}  // namespace zorva::test
