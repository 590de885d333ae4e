#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class QHttpServer;

namespace zorva::service {

class DemoData;

// The substitute of the service ZORVA_VDJ1B: an HTTP server on the loopback interface that answers
// the program's request documents from the demo registers and serves the help document.
class DemoService : public QObject {
    Q_OBJECT
public:
    static inline const QString exchangePath = QStringLiteral("/kLIM/APP/v0100/kLIMsrv.asp");
    static inline const QString helpPath = QStringLiteral("/kLIM/hlp/ZORVA_VDJ_help.html");

    // Reads the demo data (demo.sql in the folder or in its "demo" subfolder) and the help document
    // (ZORVA_VDJ_help.html); raises a Failure when one is missing or the data do not load.
    explicit DemoService(const QString& dataFolder, QObject* parent = nullptr);
    ~DemoService() override;

    // Adds generated applicants (identifiers from 2000000001 on) to the registers, for batches of
    // realistic size.
    void addGeneratedApplicants(int count);

    // Listens on 127.0.0.1; port 0 takes any free port. Returns the port, 0 when it cannot listen.
    quint16 listen(quint16 port = 0);
    quint16 port() const { return port_; }
    QString exchangeUrl() const;
    QString helpUrl() const;

    // One exchange without the transport: the HTTP status and the document of the answer. Never
    // raises: whatever goes wrong becomes a SOAP fault.
    struct Answer {
        int status = 200;
        QByteArray body;
    };
    Answer answer(const QByteArray& requestBody) const;
    const QByteArray& helpPage() const { return help_; }

private:
    std::unique_ptr<DemoData> data_;
    QByteArray help_;
    std::unique_ptr<QHttpServer> server_;
    quint16 port_ = 0;
};

}  // namespace zorva::service
