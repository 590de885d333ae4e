#pragma once
#include <QString>

#include "request/BatchList.h"

namespace zorva::request {

// The outcome of one line of a batch, as the summary lists it.
struct BatchResult {
    int number = 0;
    QString jisubrux, ico, rc;
    QString name;  // the applicant's name from the response
    QString type, variant;
    QString year;          // as the request carried it (a date normalised), or as given
    QString pichA, pichB;  // PICHROKA, PICHROKB of the response
    QString state;         // "OK", or why the line failed, in Czech
    QString page;          // file name of the line's page when it is OK

    bool ok() const { return state == QLatin1String("OK"); }
    // The identifier the service looks the applicant up by: JISUBRUX, else IČ, else RČ.
    QString identifier() const { return !jisubrux.isEmpty() ? jisubrux : !ico.isEmpty() ? ico : rc; }
    // "12/200 1000234567 OK"
    QString progressLine(int done, int total) const
    {
        return QStringLiteral("%1/%2 %3 %4").arg(done).arg(total).arg(identifier(), state);
    }
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
