#pragma once
#include <QLocale>

#include "request/RequestDocument.h"
#include "request/Validation.h"

namespace zorva::request {

// The fields of one request as the user gave them: the main window's boxes and lists, or a line of
// a batch list.
struct RequestInput {
    QString userId;
    QString jisubrux, ico, rc;
    QString type;     // first character of the calculation type, "" when none is chosen
    QString variant;  // first character of the variant
    QString year;     // as typed
    QString acreage;  // as typed
};

// The checks of a request and, when they pass, the fields it carries: the date rewritten, the
// acreage normalised ("0" for types other than 6).
struct PreparedRequest {
    ValidationResult checked;
    RequestFields fields;
    bool ok() const { return checked.ok(); }
};

PreparedRequest prepareRequest(const RequestInput& in, const QLocale& locale = QLocale());

}  // namespace zorva::request
