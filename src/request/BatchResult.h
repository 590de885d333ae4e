#pragma once
#include <QString>
#include <optional>
#include <vector>

#include "request/Applicant.h"
#include "request/BatchList.h"
#include "request/YearlyVerdict.h"

namespace zorva::request {

// The state of a line that an interrupted batch did not finish.
inline const QString kBatchInterrupted = QStringLiteral("Dávka byla přerušena.");
// The state of a line not sent because the service could not be reached several times in a row;
// the reason follows after a colon. --resume sends such lines later.
inline const QString kNotSentUnreachable = QStringLiteral("neodesláno – služba nedostupná");
// The state of a line answered with values that the editor's loading would not take as sent.
inline const QString kOkWithWarning = QStringLiteral("OK – s upozorněním");

// How one line of a batch ended; text() is what the summaries show for it.
struct LineState {
    enum class End : quint8 {
        Answered,
        AnsweredWithWarning,
        Failed,
        Interrupted,
        NotSent
    };
    End end = End::Failed;
    QString reason;  // Failed: why, in Czech; NotSent: why the service could not be reached

    static LineState answered(bool warning = false) { return {warning ? End::AnsweredWithWarning : End::Answered, {}}; }
    static LineState failed(QString why) { return {End::Failed, std::move(why)}; }
    static LineState interrupted() { return {End::Interrupted, {}}; }
    static LineState notSent(QString why) { return {End::NotSent, std::move(why)}; }

    bool ok() const { return end == End::Answered || end == End::AnsweredWithWarning; }
    bool unfinished() const { return end == End::Interrupted || end == End::NotSent; }
    QString text() const
    {
        switch (end) {
            case End::Answered:
                return QStringLiteral("OK");
            case End::AnsweredWithWarning:
                return kOkWithWarning;
            case End::Interrupted:
                return kBatchInterrupted;
            case End::NotSent:
                return kNotSentUnreachable + QStringLiteral(": ") + reason;
            case End::Failed:
                break;
        }
        return reason;
    }
};

// The outcome of one line of a batch, as the summary lists it; its verdict by the settings' limits
// for the type, when any ("0,3–1,5 (limit z nastavení)", "vyhovuje", the margin to the nearer limit).
struct BatchResult : YearlyVerdict {
    int number = 0;
    QString jisubrux, ico, rc;
    QString name;  // the applicant's name from the response
    QString type, variant;
    QString year;          // as the request carried it (a date normalised), or as given
    QString acreage;       // type 6: as the request carried it, or as given
    QString pichA, pichB;  // PICHROKA, PICHROKB of the response
    LineState state;
    QString page;  // file name of the line's page when it is OK

    bool ok() const { return state.ok(); }
    bool unfinished() const { return state.unfinished(); }
    QString identifier() const { return applicantIdentifier(jisubrux, ico, rc); }
    // "12/200 1000234567 OK"
    QString progressLine(int done, int total) const
    {
        return QStringLiteral("%1/%2 %3 %4").arg(done).arg(total).arg(identifier(), state.text());
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
