#pragma once
#include <QDir>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "common/ProgramContext.h"
#include "editor/Limits.h"
#include "request/BatchList.h"
#include "request/BatchResult.h"
#include "request/BatchSummary.h"
#include "request/ExchangeMessages.h"
#include "request/RequestDocument.h"
#include "request/ServiceAccess.h"

namespace zorva::presentation {
class ResponsePages;
class PdfPrinter;
}  // namespace zorva::presentation
namespace zorva::xml {
class Document;
}

namespace zorva::request {

class Exchange;
class InFlightQueue;

struct BatchSettings {
    QString outFolder;
    ServiceAccess access;
    QString user;         // the user identification
    int jobs = 4;         // requests in flight at once
    bool resume = false;  // rows whose response is already in the folder are not sent again
    bool pdf = false;     // each page also as a PDF beside it ("<row>_<identifier>.pdf")
};

// A batch: every row of a list validated, sent and stored as the main window would do it for one
// applicant, with the response and its page written to "<row>_<identifier>.xml" and ".htm" in the
// output folder (with `pdf` also its PDF), and the summary "souhrn.csv" and "souhrn.htm" at the end;
// the run finishes once the last PDF is made. Runs on the calling
// thread's event loop with at most `jobs` requests at once; rows are reported in the order of the
// list, whatever order the answers come in. The list is read a row at a time and a reported row
// is kept only for the summaries (see SpilledLines): a run takes the same memory for any length.
struct ExchangeOutcome;

class BatchRun : public QObject {
    Q_OBJECT
public:
    // Raises a Failure when the stylesheet for the pages is unusable.
    BatchRun(const ProgramContext& ctx, BatchList list, BatchSettings settings, QObject* parent = nullptr);
    ~BatchRun() override;

    void start();
    // Sends nothing more; the requests in flight are abandoned and their rows, like the rows not yet
    // sent, are reported as interrupted. The summary is still written.
    void cancel();

    int total() const { return int(total_); }
    // How the rows reported so far ended.
    BatchCounts counts() const { return lines_.counts(); }
    bool allOk() const;
    bool finishedRun() const { return ended_; }
    bool interrupted() const { return cancelled_ || unreachable_; }
    // Stopped because the service could not be reached kUnreachableLimit times in a row.
    bool stoppedUnreachable() const { return unreachable_; }
    QString summaryProblem() const { return summaryProblem_; }  // why the summary could not be written
    // Why pages could not be printed to PDF, once for the run (the pages themselves are there).
    QString pdfProblem() const;
    QString summaryPage() const;
    QString summaryWorkbook() const;

    // The file name (without extension) of a row's outputs.
    static QString baseName(const BatchRow& row);

    static constexpr int kUnreachableLimit = 3;

signals:
    // A row has its outcome; `done` rows of `total` are reported, in the order of the list.
    void rowDone(int done, int total, const zorva::request::BatchResult& result);
    void finished();
    // A row's request has waited `seconds` whole seconds for its answer so far (once a second).
    void waiting(int line, int seconds);

private:
    using Finished = std::function<void()>;
    // The next row of the list, open until it is reported; false when the list has no more.
    bool openNext();
    void runRow(size_t index, Finished finished);
    bool resumeRow(size_t index, const QString& base, const RequestFields& asked);
    void answered(size_t index, const QString& base, const xml::Document& response);
    void complete(size_t index, const LineState& state);
    // The line of a response whose page and file are in the folder: its PDF, figures and verdict.
    void filed(size_t index, const QString& base, const xml::Document& response);
    void judge(BatchResult& result) const;
    void reportReady();
    void finish();
    // The page's PDF, when the run makes them and the PDF is not there yet.
    void printPage(const QString& page);
    void end();
    // Ends the run early: the rows in flight and the rows not yet sent get `state`.
    void abandon(const LineState& state);
    // After a connection failure that says the service is out of reach, the run stops once it has
    // happened kUnreachableLimit times in a row, the same way each time: a slow row alone does not.
    void noteConnection(const ExchangeOutcome& outcome);

    const ProgramContext& ctx_;
    // A row sent or checked and not yet reported.
    struct Open {
        BatchRow row;
        BatchResult result;
        bool done = false;
    };

    BatchList list_;
    size_t total_ = 0;
    BatchSettings settings_;
    QDir out_;
    std::unique_ptr<presentation::ResponsePages> pages_;
    std::unique_ptr<presentation::PdfPrinter> pdf_;
    int pdfFailures_ = 0;
    QString firstPdfProblem_;
    std::unique_ptr<InFlightQueue> queue_;
    std::map<size_t, Open> open_;                           // by row index
    SpilledLines lines_;                                    // the rows reported
    editor::LimitsByType limits_;                           // the settings' intensity limits
    std::map<size_t, std::unique_ptr<Exchange>> inFlight_;  // by row index
    size_t nextRow_ = 0;
    size_t nextReport_ = 0;
    bool cancelled_ = false;
    bool finished_ = false;  // the summaries are written
    bool ended_ = false;     // and the last PDF made: finished() was emitted
    QString summaryProblem_;
    std::optional<ExchangeFailure> lastUnreachable_;
    int unreachableInRow_ = 0;
    bool unreachable_ = false;
};

}  // namespace zorva::request
