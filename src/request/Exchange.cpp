#include "request/Exchange.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "platform/HttpRequest.h"

namespace zorva::request {

ExchangeOutcome exchange(const QString& url, const QString& body, const std::function<void()>& pump, int timeoutMs)
{
    ExchangeOutcome out;
    HttpRequest request;
    request.setTimeoutMs(timeoutMs);
    request.open(QStringLiteral("POST"), url, true);
    request.send(body);
    while (request.readyState() != 4) {
        if (pump) pump();
        // Sleep in the event loop until something happens, instead of spinning the processor.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    if (request.failed()) {
        out.problem = QStringLiteral("Server neodpověděl: ") + request.errorText();
        return out;
    }
    out.response = request.responseXML();
    if (out.response.isEmpty()) {
        out.problem = request.bodyArrived()
                          ? QStringLiteral("Server neodpověděl platným dokumentem XML (HTTP %1).").arg(request.status())
                          : QStringLiteral("Server neodpověděl: prázdná odpověď (HTTP %1).").arg(request.status());
        return out;
    }
    out.answered = true;
    return out;
}

}  // namespace zorva::request
