#pragma once
#include <QString>
#include <functional>

#include "platform/XmlDocument.h"

namespace zorva::request {

struct ExchangeOutcome {
    bool answered = false;      // an XML document came back (a SOAP fault included)
    QString problem;            // why not, in Czech, for the user
    xml::Document response;
};

// Posts the request to the URL as given and waits for the answer while the caller's pump keeps the
// window alive. Raises a Failure for a URL that cannot be used at all. A reply that is no XML
// document, or no reply at all, is not an answer: the caller keeps the response it stored before.
ExchangeOutcome exchange(const QString& url, const QString& body, const std::function<void()>& pump,
                         int timeoutMs = 60000);

}  // namespace zorva::request
