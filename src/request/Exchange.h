#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>

#include "platform/XmlDocument.h"
#include "request/ExchangeMessages.h"

namespace zorva {
class HttpRequest;
}

namespace zorva::request {

struct ExchangeOutcome {
    enum class Result {
        Pending,    // not ended yet
        Answered,   // a SOAP envelope came back (a fault included) and is stored at the target
        Failed,     // no usable answer: message says why, in Czech; nothing stored
        NotStored,  // the answer came but could not be stored: message is the failure's "number-text"
        Cancelled,  // given up by cancel(): nothing stored, nothing to report
    };
    Result result = Result::Pending;
    std::shared_ptr<xml::Document> response;  // Answered and NotStored
    QString message;                          // Failed and NotStored, for the user
    QString detail;                           // Failed: the network library's own text, for a log
    std::optional<ExchangeFailure> failure;   // Failed: why, as a kind
};

// One request posted to the service and its answer, waited for on the event loop (it never polls,
// so a long wait costs no processor time). Several exchanges may be in flight at once in one thread.
//
//   Exchange ex(url, requestDocument);
//   ex.setTarget(path);          // where an answer is stored (replacing the file); empty: not stored
//   ex.setTimeoutSeconds(60);    // given up after this long without progress; 0: no limit
//   connect(&ex, &Exchange::progress, ...);   // whole seconds waited, once a second
//   connect(&ex, &Exchange::finished, ...);   // outcome(): Answered, Failed or NotStored
//   connect(&ex, &Exchange::cancelled, ...);  // after cancel(): outcome() is Cancelled
//   ex.start();                  // returns at once; raises a Failure for an address that is no http(s) URL
//   ex.cancel();                 // any time; ends the exchange at once
//   ex.wait();                   // or: start (if not started) and sleep in a local event loop until the end
//
// Exactly one of finished and cancelled is emitted, once. The request goes exactly as given: the
// address unchanged, the body as UTF-8.
class Exchange : public QObject {
    Q_OBJECT
public:
    Exchange(QString url, QString body, QObject* parent = nullptr);
    ~Exchange() override;

    void setTarget(const QString& path) { target_ = path; }
    void setTimeoutSeconds(int seconds) { timeoutSeconds_ = seconds > 0 ? seconds : 0; }
    // The settings file that the messages name as the place of the address.
    void setSettingsName(const QString& name) { settingsName_ = name; }

    void start();
    void cancel();
    const ExchangeOutcome& wait();

    bool running() const { return started_ && outcome_.result == ExchangeOutcome::Result::Pending; }
    const ExchangeOutcome& outcome() const { return outcome_; }
    const QString& url() const { return url_; }
    int secondsWaited() const;

    // The timeout a settings value asks for: whole seconds, 0 for no limit; missing or invalid: 60.
    static int timeoutFromSetting(const QString& value);
    static constexpr int defaultTimeoutSeconds = 60;

signals:
    void progress(int seconds);
    void finished(const zorva::request::ExchangeOutcome& outcome);
    void cancelled();

private:
    void onCompleted();
    void end(ExchangeOutcome::Result result);

    QString url_;
    QString body_;
    QString target_;
    QString settingsName_ = QStringLiteral("ZORVA_VDJ.INI");
    int timeoutSeconds_ = defaultTimeoutSeconds;
    bool started_ = false;
    ExchangeOutcome outcome_;
    std::unique_ptr<HttpRequest> request_;
    QTimer ticker_;
    QElapsedTimer clock_;
};

}  // namespace zorva::request
