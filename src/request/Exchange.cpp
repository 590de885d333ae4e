#include "request/Exchange.h"

#include <QEventLoop>
#include <algorithm>

#include "common/DetailLog.h"
#include "common/Failure.h"
#include "platform/HttpRequest.h"
#include "request/ExchangeMessages.h"
#include "request/ServiceFault.h"

namespace zorva::request {

namespace {

ExchangeFailure failureOf(HttpRequest::Problem problem)
{
    switch (problem) {
        case HttpRequest::Problem::Refused:
            return ExchangeFailure::Refused;
        case HttpRequest::Problem::HostNotFound:
            return ExchangeFailure::HostNotFound;
        case HttpRequest::Problem::Timeout:
            return ExchangeFailure::Timeout;
        case HttpRequest::Problem::Tls:
            return ExchangeFailure::Tls;
        case HttpRequest::Problem::TooLarge:
            return ExchangeFailure::TooLarge;
        default:
            return ExchangeFailure::Interrupted;
    }
}

}  // namespace

Exchange::Exchange(QString url, QString body, QObject* parent)
    : QObject(parent), url_(std::move(url)), body_(std::move(body))
{
    ticker_.setInterval(1000);
    ticker_.setTimerType(Qt::PreciseTimer);
    connect(&ticker_, &QTimer::timeout, this, [this] { emit progress(secondsWaited()); });
}

Exchange::~Exchange() = default;

void Exchange::start()
{
    if (started_ || outcome_.result != ExchangeOutcome::Result::Pending) return;
    auto request = std::make_unique<HttpRequest>();
    request->setTimeoutMs(timeoutSeconds_ * 1000);
    request->open(QStringLiteral("POST"), url_, true);
    connect(request.get(), &HttpRequest::completed, this, &Exchange::onCompleted);
    request_ = std::move(request);
    started_ = true;
    clock_.start();
    ticker_.start();
    request_->send(body_);
}

void Exchange::cancel()
{
    if (outcome_.result != ExchangeOutcome::Result::Pending) return;
    // Dropping the request aborts a reply still on its way.
    request_.reset();
    end(ExchangeOutcome::Result::Cancelled);
}

const ExchangeOutcome& Exchange::wait()
{
    start();
    if (running()) {
        QEventLoop loop;
        connect(this, &Exchange::finished, &loop, &QEventLoop::quit);
        connect(this, &Exchange::cancelled, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return outcome_;
}

// Rounded: a tick that comes a little early still counts its second.
int Exchange::secondsWaited() const
{
    return clock_.isValid() ? int((clock_.elapsed() + 500) / 1000) : 0;
}

int Exchange::timeoutFromSetting(const QString& value)
{
    bool ok = false;
    const int seconds = value.trimmed().toInt(&ok);
    if (!ok || seconds < 0) return defaultTimeoutSeconds;
    // A day is longer than anyone waits at a window, and the limit in milliseconds must fit an int.
    return std::min(seconds, 24 * 60 * 60);
}

void Exchange::onCompleted()
{
    const ExchangeFailureFacts facts{url_, settingsName_, timeoutSeconds_, request_->status()};
    if (request_->failed()) {
        ExchangeFailure failure = failureOf(request_->problem());
        // Without a limit of ours a give-up by the network itself is a broken connection.
        if (failure == ExchangeFailure::Timeout && timeoutSeconds_ == 0) failure = ExchangeFailure::Interrupted;
        outcome_.message = exchangeFailureMessage(failure, facts);
        outcome_.failure = failure;
        outcome_.detail = request_->errorText();
        qCWarning(detailLog).noquote() << QStringLiteral("Výměna s %1 selhala:").arg(url_) << outcome_.detail;
        end(ExchangeOutcome::Result::Failed);
        return;
    }
    auto response = std::make_shared<xml::Document>(request_->responseXML());
    if (response->isEmpty()) {
        // No document is no answer: whatever was stored before stays as it was.
        outcome_.failure = request_->bodyArrived() ? ExchangeFailure::NotXml : ExchangeFailure::EmptyBody;
        outcome_.message = exchangeFailureMessage(*outcome_.failure, facts);
        end(ExchangeOutcome::Result::Failed);
        return;
    }
    if (!isServiceAnswer(*response)) {
        // An error page of a server or proxy on the way, well-formed or not, is no answer either.
        outcome_.failure = ExchangeFailure::NotAnswer;
        outcome_.message = exchangeFailureMessage(ExchangeFailure::NotAnswer, facts);
        outcome_.detail = QStringLiteral("<%1>").arg(response->root().name());
        qCWarning(detailLog).noquote() << QStringLiteral("Odpověď z %1 není obálka SOAP:").arg(url_) << outcome_.detail;
        end(ExchangeOutcome::Result::Failed);
        return;
    }
    outcome_.response = response;
    try {
        if (!target_.isEmpty()) response->save(target_);
    } catch (const Failure& f) {
        outcome_.message = f.text();
        end(ExchangeOutcome::Result::NotStored);
        return;
    }
    end(ExchangeOutcome::Result::Answered);
}

void Exchange::end(ExchangeOutcome::Result result)
{
    ticker_.stop();
    // Called from the request's own signal: it goes once that has returned, so that a receiver may
    // even delete this exchange.
    if (request_) {
        request_->disconnect(this);
        request_.release()->deleteLater();
    }
    outcome_.result = result;
    if (result == ExchangeOutcome::Result::Cancelled) emit cancelled();
    else emit finished(outcome_);
}

}  // namespace zorva::request
