#pragma once
#include <QString>

#include "request/BatchList.h"

namespace zorva::request {

// The outcome of one line of a batch, as the summary lists it.
struct BatchResult {
    int number = 0;
    QString jisubrux, ico, rc;
    QString name;            // the applicant's name from the response
    QString type, variant;
    QString year;            // as the request carried it (a date normalised), or as given
    QString pichA, pichB;    // PICHROKA, PICHROKB of the response
    QString state;           // "OK", or why the line failed, in Czech
    QString page;            // file name of the line's page when it is OK

    bool ok() const { return state == QLatin1String("OK"); }
    static BatchResult of(const BatchRow& row);
};

inline BatchResult BatchResult::of(const BatchRow& row)
{
    BatchResult r;
    r.number = row.number;
    r.jisubrux = row.jisubrux;
    r.ico = row.ico;
    r.rc = row.rc;
    r.type = row.type.left(1);
    r.variant = row.variant.left(1);
    r.year = row.year;
    return r;
}

}  // namespace zorva::request
