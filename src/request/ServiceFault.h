#pragma once
#include <QString>
#include <optional>

namespace zorva::xml {
class Document;
}

namespace zorva::request {

// The service's own words when it answers with a SOAP fault (its faultstring, or a Czech sentence
// when it gives none); nothing when the answer is no fault.
std::optional<QString> serviceFault(const xml::Document& answer);

}  // namespace zorva::request
