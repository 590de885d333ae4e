#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <deque>
#include <memory>
#include <optional>

namespace zorva::presentation {

class PdfEngine;

// How long one job may take before it is given up, from the size of its page: a page the engine never
// finishes must not hold the batch, the archive or --render --pdf for ever. Generous, since a page of
// a few thousand rows takes over a minute on a loaded machine.
struct PdfTimeLimit {
    std::chrono::milliseconds base{std::chrono::minutes(2)};
    std::chrono::milliseconds perMegabyte{std::chrono::minutes(1)};
};

// Report pages already on the disk printed to PDF files for filing: A4 landscape, the page as a
// browser shows it (tables, chart, bands and their backgrounds), by Qt WebEngine on the event loop
// and without a window. One engine page serves every job, so that the engine starts once.
//
//   PdfPrinter printer;                               // needs the application described below
//   connect(&printer, &PdfPrinter::made, ...);        // (pdfPath): the PDF is in place
//   connect(&printer, &PdfPrinter::failed, ...);      // (pdfPath, problem): one Czech sentence; no file
//   connect(&printer, &PdfPrinter::allDone, ...);     // every job added so far has ended
//   printer.add(htmlPath, pdfPath);                   // returns at once; add as many as needed
//
// Jobs are printed one after another in the order added, and each ends in exactly one of made and
// failed, emitted from the event loop (never from within add()). A PDF replaces its file whole or not
// at all. The page carries the service's texts, so it is read with no script and may load nothing
// but itself: every other request, remote or another local file, is blocked. Destroying the printer
// drops the jobs not yet ended without a signal; from a slot of its own signals, use deleteLater().
// A job that outlasts its time limit (PdfTimeLimit) fails, and the engine under it is dropped; the
// next job starts a fresh one.
//
// The engine starts with the first job that has a page to print, in about a third of a second; a
// usual report then prints in a few tenths, one of 3 650 rows (over 300 pages) in more than a minute,
// so a caller with many pages keeps one printer. The engine lies in a module beside the executable
// (zorva_pdf, see PdfEngine.h; ZORVA_PDF_MODULE_DIR names another folder), loaded with that first
// job: a program that never prints never maps the engine. Without the module every job fails with
// the same Czech sentence, the loader's reason going to the detail log.
//
// The application must be a QGuiApplication (a QApplication will do), made after
// prepareApplicationForPdf(); without one every job fails, like one without the module. Making a
// printer costs nothing until its first job. The engine's helper
// process refuses its sandbox to the superuser; the printer then runs it without one, as the page is
// local and the network shut.
class PdfPrinter : public QObject {
    Q_OBJECT
public:
    explicit PdfPrinter(QObject* parent = nullptr);
    ~PdfPrinter() override;

    void add(const QString& htmlPath, const QString& pdfPath);
    bool busy() const { return current_ || !waiting_.empty(); }
    // For the jobs that start from now on.
    void setTimeLimit(const PdfTimeLimit& limit) { limit_ = limit; }

signals:
    void made(const QString& pdfPath);
    void failed(const QString& pdfPath, const QString& problem);
    void allDone();

private:
    struct Job {
        QString html, pdf;
    };

    void startNext();
    bool startEngine();
    void printed(const QByteArray& pdf);
    void finish(const std::optional<QString>& problem);
    void overdue();

    std::unique_ptr<PdfEngine> engine_;
    std::optional<QString> engineProblem_;  // why the engine could not start; it is not tried again
    std::deque<Job> waiting_;
    std::optional<Job> current_;
    bool owed_ = false;  // a job has ended since the last allDone
    PdfTimeLimit limit_;
    QTimer deadline_;
};

// One page to PDF, waited for in a local event loop, for the commands without a window. Raises a
// Failure (err::PrinterError, the Czech sentence that failed() would carry); no file then.
void makePdfNow(const QString& htmlPath, const QString& pdfPath);

// Where a page's PDF is filed: beside it, ".htm" replaced by ".pdf".
QString pdfBeside(const QString& page);

// What the engine needs before the application object is made: OpenGL contexts shared between
// threads, and for a program that shows no window (`headless`) the offscreen platform, unless one
// is asked for where there is a display to show on.
void prepareApplicationForPdf(bool headless);

}  // namespace zorva::presentation
