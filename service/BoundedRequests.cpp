#include "BoundedRequests.h"

#include <QTcpSocket>
#include <algorithm>
#include <utility>
#include <vector>

namespace zorva::service {

namespace {

// The program's request headers take a few hundred bytes; one that has not ended by this length
// is not a request of the program.
constexpr qsizetype kMaxHeaderBytes = 64 * 1024;

// What is read of a refused request's body, only to be thrown away, before the connection is
// closed: a client that reads the answer only after it has sent its body (as QNetworkAccessManager
// does) then gets the answer instead of a reset connection, while one that would send gigabytes
// is cut off.
constexpr qint64 kMaxDrainBytes = 16 * 1024 * 1024;

// Follows one connection request by request, ahead of the HTTP server: its slot runs first on every
// readyRead and sees, without taking them, the bytes that the HTTP server is about to read. Only
// header bytes are copied; a body is counted.
class RequestFraming : public QObject {
public:
    RequestFraming(QTcpSocket* socket, qsizetype maxBodyBytes, const BoundedRequestServer::Refusals& refusals)
        : QObject(socket), socket_(socket), maxBodyBytes_(maxBodyBytes), refusals_(refusals)
    {
        connect(socket, &QTcpSocket::readyRead, this, &RequestFraming::follow);
    }

private:
    void follow();
    // The length of the header in head_, through its empty line; 0 while it has not ended. Lines
    // are looked at once, however the header is split into reads.
    qsizetype headerEnd();
    // The refusal for the request whose header is the first `length` bytes of head_, nothing when
    // it may go on to the HTTP server; sets bodyLeft_ to the length that it announces.
    const QByteArray* refusalFor(qsizetype length);
    void refuse(const QByteArray& answer);
    void drain();

    QTcpSocket* socket_;
    qsizetype maxBodyBytes_;
    BoundedRequestServer::Refusals refusals_;  // implicitly shared with the server's
    QByteArray head_;                          // the current request's header as far as it has come
    qsizetype scanned_ = 0;                    // head_ is looked at up to here
    bool requestLine_ = false;                 // whether a line other than an empty one has come yet
    qint64 bodyLeft_ = 0;                      // bytes of the current request's body still to come
    qint64 drainLeft_ = kMaxDrainBytes;
};

void RequestFraming::follow()
{
    const qint64 available = socket_->bytesAvailable();
    qint64 followed = 0;
    while (followed < available) {
        if (bodyLeft_ > 0) {
            const qint64 step = std::min(bodyLeft_, available - followed);
            bodyLeft_ -= step;
            followed += step;
            continue;
        }
        const qint64 take = std::min<qint64>(kMaxHeaderBytes - head_.size(), available - followed);
        const qsizetype before = head_.size();
        head_ += socket_->peek(followed + take).mid(followed);
        const qsizetype end = headerEnd();
        if (end == 0) {
            if (head_.size() >= kMaxHeaderBytes) return refuse(refusals_.tooLarge);
            followed += head_.size() - before;
            if (head_.size() == before) return;  // nothing more could be seen now
            continue;
        }
        followed += end - before;
        if (const QByteArray* refusal = refusalFor(end)) return refuse(*refusal);
        head_.clear();
        scanned_ = 0;
        requestLine_ = false;
    }
}

qsizetype RequestFraming::headerEnd()
{
    for (;;) {
        const qsizetype newline = head_.indexOf('\n', scanned_);
        if (newline < 0) return 0;
        const qsizetype start = scanned_;
        scanned_ = newline + 1;
        const bool empty = newline == start || (newline == start + 1 && head_[start] == '\r');
        // Empty lines before the request line are skipped, as the HTTP server's parser skips them.
        if (!empty) requestLine_ = true;
        else if (requestLine_) return scanned_;
    }
}

const QByteArray* RequestFraming::refusalFor(qsizetype length)
{
    bodyLeft_ = 0;
    std::vector<std::pair<QByteArray, QByteArray>> fields;
    bool requestLine = true;
    for (QByteArray line : head_.left(length).split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty()) continue;
        if (requestLine) {
            requestLine = false;
        } else if ((line.front() == ' ' || line.front() == '\t') && !fields.empty()) {
            fields.back().second += ' ' + line.trimmed();  // a folded continuation line
        } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
            fields.emplace_back(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
        }
    }
    for (const auto& [name, value] : fields) {
        // A chunked body announces no length to check.
        if (name == "transfer-encoding") return &refusals_.withoutLength;
        if (name != "content-length") continue;
        const bool digits =
            !value.isEmpty() && std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        bool ok = false;
        const qint64 announced = value.toLongLong(&ok);
        if (!digits) return &refusals_.withoutLength;
        if (!ok || announced > maxBodyBytes_) return &refusals_.tooLarge;
        // Of differing lengths the largest counts; the HTTP server's parser refuses such a request.
        bodyLeft_ = std::max(bodyLeft_, announced);
    }
    return nullptr;
}

void RequestFraming::refuse(const QByteArray& answer)
{
    // Nothing more of this connection reaches the HTTP server, not even requests sent ahead of the
    // answers in the same read before this one (the program's client never sends ahead): letting
    // the HTTP server read the bytes at hand would let it set aside room for the announced body.
    // What it had taken of the current request's header is given back and thrown away with the rest.
    QObject::disconnect(socket_, &QTcpSocket::readyRead, nullptr, nullptr);
    if (socket_->isTransactionStarted()) socket_->rollbackTransaction();
    head_.clear();
    connect(socket_, &QTcpSocket::readyRead, this, &RequestFraming::drain);
    socket_->write(answer);
    drain();
}

void RequestFraming::drain()
{
    const qint64 skipped = socket_->skip(socket_->bytesAvailable());
    if (skipped > 0) drainLeft_ -= skipped;
    if (drainLeft_ <= 0) socket_->disconnectFromHost();
}

}  // namespace

BoundedRequestServer::BoundedRequestServer(qsizetype maxBodyBytes, Refusals refusals, QObject* parent)
    : QTcpServer(parent), maxBodyBytes_(maxBodyBytes), refusals_(std::move(refusals))
{
}

QByteArray BoundedRequestServer::faultAnswer(const QByteArray& faultDocument)
{
    // A SOAP 1.1 fault travels with status 500, as the service's other faults do.
    return "HTTP/1.1 500 Internal Server Error\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " +
           QByteArray::number(faultDocument.size()) + "\r\nConnection: close\r\n\r\n" + faultDocument;
}

void BoundedRequestServer::incomingConnection(qintptr descriptor)
{
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    // Connected before the HTTP server connects its own reader, so that it runs first.
    new RequestFraming(socket, maxBodyBytes_, refusals_);
    addPendingConnection(socket);
}

}  // namespace zorva::service
