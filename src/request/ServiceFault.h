#pragma once
#include <QString>
#include <optional>

namespace zorva::xml {
class Document;
}

namespace zorva::request {

// The service's own words when it answers with a SOAP fault (its faultstring, or kFaultWithoutText
// when it gives none); nothing when the answer is no fault.
std::optional<QString> serviceFault(const xml::Document& answer);
inline const QString kFaultWithoutText = QStringLiteral("Služba odpověděla chybou bez popisu.");

// Whether a reply is an answer of the service at all, a SOAP envelope (holding data or a fault),
// rather than, say, the error page of a server or proxy on the way, which may be well-formed XML.
bool isServiceAnswer(const xml::Document& reply);

// Whether an answer holds the service's data: the rows of a calculation, and no fault. Only such an
// answer is a result for the applicant.
bool holdsServiceData(const xml::Document& answer);

}  // namespace zorva::request
