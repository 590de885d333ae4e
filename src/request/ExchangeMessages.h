#pragma once
#include <QString>

namespace zorva::request {

// Why an exchange with the service brought no usable answer.
enum class ExchangeFailure {
    Refused,       // nothing listens at the address
    HostNotFound,  // the host name of the address is unknown
    Timeout,       // the service took longer than the time limit
    Tls,           // the secure connection could not be set up
    TooLarge,      // the answer is larger than a response document may be
    Interrupted,   // the connection broke before an answer came
    EmptyBody,     // an HTTP answer without content
    NotXml,        // an HTTP answer whose content is no XML document
    NotAnswer,     // an XML document that is no answer of the service (an error page on the way)
};

struct ExchangeFailureFacts {
    QString url;             // the address that was tried
    QString settingsName;    // the settings file that names the address, e.g. "ZORVA_VDJ.INI"
    int timeoutSeconds = 0;  // the time limit that ran out
    int status = 0;          // the HTTP status that came back
};

// The message for the user: what happened, the address tried, and what to check. Plain Czech,
// never the network library's own text.
QString exchangeFailureMessage(ExchangeFailure failure, const ExchangeFailureFacts& facts);

}  // namespace zorva::request
