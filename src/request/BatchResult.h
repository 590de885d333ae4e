#pragma once
#include <QString>
#include <optional>
#include <vector>

#include "request/Applicant.h"
#include "request/BatchList.h"

namespace zorva::request {

// The state of a line that an interrupted batch did not finish.
inline const QString kBatchInterrupted = QStringLiteral("Dávka byla přerušena.");
// The state of a line not sent because the service could not be reached several times in a row;
// the reason follows after a colon. --resume sends such lines later.
inline const QString kNotSentUnreachable = QStringLiteral("neodesláno – služba nedostupná");
// The state of a line answered with values that the editor's loading would not take as sent.
inline const QString kOkWithWarning = QStringLiteral("OK – s upozorněním");

// The outcome of one line of a batch, as the summary lists it.
struct BatchResult {
    int number = 0;
    QString jisubrux, ico, rc;
    QString name;  // the applicant's name from the response
    QString type, variant;
    QString year;                  // as the request carried it (a date normalised), or as given
    QString acreage;               // type 6: as the request carried it, or as given
    QString pichA, pichB;          // PICHROKA, PICHROKB of the response
    QString limit;                 // the settings' limits for the type, when any: "0,3–1,5 (limit z nastavení)"
    QString verdict;               // "vyhovuje", "pod limitem", "nad limitem"
    std::optional<double> margin;  // VDJ/ha to the nearer limit: positive within, negative outside
    QString state;                 // "OK", kOkWithWarning, or why the line failed, in Czech
    QString page;                  // file name of the line's page when it is OK

    bool ok() const { return state == QLatin1String("OK") || state == kOkWithWarning; }
    bool unfinished() const { return state == kBatchInterrupted || state.startsWith(kNotSentUnreachable); }
    QString identifier() const { return applicantIdentifier(jisubrux, ico, rc); }
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
    if (r.type == QLatin1String("6")) r.acreage = row.acreage;
    return r;
}

// How the lines of a batch ended, for the summaries: an interrupted line is no failed one.
struct BatchCounts {
    int all = 0, ok = 0, failed = 0, unfinished = 0;

    void add(const BatchResult& r)
    {
        ++all;
        ++(r.ok() ? ok : r.unfinished() ? unfinished : failed);
    }
    static BatchCounts of(const std::vector<BatchResult>& results)
    {
        BatchCounts c;
        for (const BatchResult& r : results) c.add(r);
        return c;
    }
    // "Žadatelů: 3, v pořádku: 2, s chybou: 1" and, after an interruption, ", nedokončeno: N".
    QString text() const
    {
        QString t = QStringLiteral("Žadatelů: %1, v pořádku: %2, s chybou: %3").arg(all).arg(ok).arg(failed);
        if (unfinished > 0) t += QStringLiteral(", nedokončeno: %1").arg(unfinished);
        return t;
    }
};

}  // namespace zorva::request
