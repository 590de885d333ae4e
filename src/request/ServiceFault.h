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

}  // namespace zorva::request
