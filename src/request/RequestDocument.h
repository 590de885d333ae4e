#pragma once
#include <QDateTime>
#include <QString>

namespace zorva::request {

// The fields one request carries, as the main window holds them after validation.
struct RequestFields {
    QString userId;
    QString jisubrux;
    QString ico;
    QString rc;
    QString type;     // "1" to "6"
    QString variant;  // "A", "B" or "C"
    QString year;     // the year as typed, or the normalised date
    QString acreage;  // already normalised ("0" for types 1 to 5)
};

// The request document: one line, the service's exact spacing. Field values are escaped, so that
// "&", "<", ">" or a quote in a field cannot break the document or add markup to it; ordinary values
// appear unchanged.
QString composeRequest(const RequestFields& fields, const QDateTime& stamp);

// The date-time stamp: numbers without leading zeros (2006-3-3T9:5:7).
QString requestStamp(const QDateTime& stamp);

}  // namespace zorva::request
