#include "request/BatchRun.h"

#include <QDateTime>
#include <QFile>

#include "common/Failure.h"
#include "common/FileNamePart.h"
#include "common/TypedNumbers.h"
#include "editor/PlanReport.h"
#include "editor/ResponseCheck.h"
#include "platform/XmlDocument.h"
#include "presentation/PdfPrinter.h"
#include "presentation/Rendering.h"
#include "request/AnswerText.h"
#include "request/BatchSummary.h"
#include "request/Exchange.h"
#include "request/InFlightQueue.h"
#include "request/PreparedRequest.h"
#include "request/RecentApplicants.h"
#include "request/ServiceFault.h"
#include "request/SummaryWorkbook.h"
#include "request/YearlyVerdict.h"

namespace zorva::request {

namespace {

// What the main window's lists allow; a list can hold anything.
QString checkChoices(const BatchRow& row)
{
    const QString type = row.type.left(1);
    if (type.isEmpty() || type < QLatin1String("1") || type > QLatin1String("6"))
        return QStringLiteral("TYP musí být 1 až 6 !!");
    const QString variant = row.variant.left(1).toUpper();
    if (variant != QLatin1String("A") && variant != QLatin1String("B") && variant != QLatin1String("C"))
        return QStringLiteral("VARIANTA musí být A, B nebo C !!");
    return QString();
}

void takeFigures(const xml::Document& doc, BatchResult& r)
{
    r.name = applicantNameOf(doc);
    r.pichA = answerText(doc, QStringLiteral("//RUX:PICHROKA"));
    r.pichB = answerText(doc, QStringLiteral("//RUX:PICHROKB"));
}

// A field the stored answer repeats equals what the row asks: the same text, or the same number
// (the request carries numbers with a decimal point).
bool sameAnswer(const QString& stored, const QString& asked)
{
    if (stored == asked) return true;
    const std::optional<double> a = documentNumber(stored);
    const std::optional<double> b = documentNumber(asked);
    return a && b && *a == *b;
}

}  // namespace

BatchRun::BatchRun(const ProgramContext& ctx, BatchList list, BatchSettings settings, QObject* parent)
    : QObject(parent),
      ctx_(ctx),
      list_(std::move(list)),
      total_(size_t(list_.size())),
      settings_(std::move(settings)),
      out_(settings_.outFolder),
      pages_(std::make_unique<presentation::ResponsePages>(ctx)),
      lines_(settings_.outFolder)
{
    limits_ = editor::settingsLimitsByType(ctx.settingsFile());
    queue_ = std::make_unique<InFlightQueue>(
        settings_.jobs,
        [this]() -> std::optional<InFlightQueue::Job> {
            if (cancelled_ || !openNext()) return std::nullopt;
            const size_t index = nextRow_++;
            return [this, index](InFlightQueue::Finished finished) { runRow(index, std::move(finished)); };
        },
        [this] { finish(); });
}

BatchRun::~BatchRun() = default;

QString BatchRun::baseName(const BatchRow& row)
{
    const QString id = BatchResult::of(row).identifier();
    return id.isEmpty() ? QString::number(row.number)
                        : QString::number(row.number) + QLatin1Char('_') + fileNamePart(id);
}

QString BatchRun::summaryPage() const
{
    return out_.filePath(kSummaryHtml);
}

QString BatchRun::summaryWorkbook() const
{
    return out_.filePath(kSummaryXlsx);
}

bool BatchRun::allOk() const
{
    const BatchCounts c = lines_.counts();
    return c.ok == c.all && size_t(c.all) == total_;
}

bool BatchRun::openNext()
{
    if (nextRow_ >= total_) return false;
    BatchRow row;
    if (!list_.next(row)) {
        // The list ended before the rows it was counted with: the run ends with it.
        total_ = nextRow_;
        return false;
    }
    Open& line = open_[nextRow_];
    line.result = BatchResult::of(row);
    line.row = std::move(row);
    return true;
}

void BatchRun::start()
{
    queue_->start();
}

void BatchRun::cancel()
{
    if (cancelled_ || finished_) return;
    cancelled_ = true;
    abandon(LineState::interrupted());
}

void BatchRun::abandon(const LineState& state)
{
    auto abandoned = std::move(inFlight_);
    inFlight_.clear();
    for (auto& [index, exchange] : abandoned) {
        exchange->disconnect(this);
        exchange->cancel();
        complete(index, state);
    }
    // The rows never sent are read now, one by one, for their lines.
    for (; openNext(); ++nextRow_) complete(nextRow_, state);
    queue_->stop();
    // The cancelled exchanges never call back, so the queue would wait for them for ever.
    finish();
}

void BatchRun::noteConnection(const ExchangeOutcome& outcome)
{
    const bool unreachable =
        outcome.result == ExchangeOutcome::Result::Failed && outcome.failure &&
        (*outcome.failure == ExchangeFailure::Refused || *outcome.failure == ExchangeFailure::HostNotFound ||
         *outcome.failure == ExchangeFailure::Timeout);
    if (!unreachable) {
        unreachableInRow_ = 0;
        lastUnreachable_.reset();
        return;
    }
    unreachableInRow_ = lastUnreachable_ == outcome.failure ? unreachableInRow_ + 1 : 1;
    lastUnreachable_ = outcome.failure;
    if (unreachableInRow_ < kUnreachableLimit || finished_) return;
    // Every further row would wait for the same failure, a time limit each: 200 farms, 50 minutes.
    unreachable_ = true;
    abandon(LineState::notSent(outcome.message.section(QStringLiteral("\n\n"), 0, 0).simplified()));
}

void BatchRun::runRow(size_t index, Finished finished)
{
    const BatchRow& row = open_.at(index).row;
    BatchResult& result = open_.at(index).result;
    if (const QString problem = checkChoices(row); !problem.isEmpty()) {
        complete(index, LineState::failed(problem));
        return finished();
    }
    const PreparedRequest prepared = prepareRequest({settings_.user, row.jisubrux, row.ico, row.rc, row.type.left(1),
                                                     row.variant.left(1).toUpper(), row.year, row.acreage});
    if (!prepared.ok()) {
        complete(index, LineState::failed(prepared.checked.message));
        return finished();
    }
    result.year = prepared.fields.year;
    if (prepared.fields.type == QLatin1String("6")) result.acreage = prepared.fields.acreage;
    result.variant = prepared.fields.variant;
    const QString base = baseName(row);
    if (settings_.resume && resumeRow(index, base, prepared.fields)) return finished();

    auto owned = newExchange(ctx_, settings_.access, prepared.fields);
    Exchange* exchange = owned.get();
    connect(exchange, &Exchange::finished, this, [this, index, base, finished](const ExchangeOutcome& outcome) {
        // The exchange is still inside its own signal: it goes once that has returned.
        inFlight_[index].release()->deleteLater();
        inFlight_.erase(index);
        if (outcome.result == ExchangeOutcome::Result::Answered) answered(index, base, *outcome.response);
        // The summary has one line per row: the failure itself, without the advice after it.
        else complete(index, LineState::failed(outcome.message.section(QStringLiteral("\n\n"), 0, 0).simplified()));
        noteConnection(outcome);
        if (!finished_) finished();
    });
    connect(exchange, &Exchange::progress, this,
            [this, line = row.number](int seconds) { emit waiting(line, seconds); });
    inFlight_[index] = std::move(owned);
    try {
        exchange->start();
    } catch (const Failure& f) {
        // An address that is no http(s) URL: no request leaves.
        inFlight_.erase(index);
        complete(index, LineState::failed(f.description()));
        finished();
    }
}

bool BatchRun::resumeRow(size_t index, const QString& base, const RequestFields& asked)
{
    const QString xmlPath = out_.filePath(base + QStringLiteral(".xml"));
    if (!QFile::exists(xmlPath)) return false;
    xml::Document stored;
    if (!stored.load(xmlPath) || !holdsServiceData(stored)) return false;
    // A response of an earlier list to another question about the same applicant is no answer to
    // this row.
    // The acreage decides the intensity of type 6, and an answer may write "10" asked as "10.0".
    const std::pair<const char*, QString> echoed[] = {{"//RUX:VARPICH", asked.type},
                                                      {"//RUX:PICHVYPOCET", asked.variant},
                                                      {"//RUX:ROKPLATNOST", asked.year},
                                                      {"//RUX:VYMERA", asked.acreage}};
    for (const auto& [pattern, value] : echoed) {
        const xml::Node n = stored.selectSingle(QString::fromLatin1(pattern));
        if (n && !sameAnswer(n.text().trimmed(), value)) return false;
    }
    const QString page = out_.filePath(base + QStringLiteral(".htm"));
    try {
        // The page is written before the response, so it is there unless it was removed since.
        if (!QFile::exists(page)) pages_->write(stored, page);
    } catch (const Failure& f) {
        complete(index, LineState::failed(f.description()));
        return true;
    }
    filed(index, base, stored);
    return true;
}

void BatchRun::answered(size_t index, const QString& base, const xml::Document& response)
{
    if (const auto fault = serviceFault(response)) return complete(index, LineState::failed(*fault));
    if (!holdsServiceData(response))
        return complete(index, LineState::failed(QStringLiteral("Odpověď služby neobsahuje výsledek výpočtu.")));
    const QString page = out_.filePath(base + QStringLiteral(".htm"));
    try {
        // The page first, the response last: a response in the folder always has its page, which is
        // what a resumed run relies on.
        pages_->write(response, page);
        try {
            response.save(out_.filePath(base + QStringLiteral(".xml")));
        } catch (const Failure&) {
            // A page without its response would pass for an answered row.
            QFile::remove(page);
            throw;
        }
    } catch (const Failure& f) {
        return complete(index, LineState::failed(f.description()));
    }
    filed(index, base, response);
}

void BatchRun::filed(size_t index, const QString& base, const xml::Document& response)
{
    const QString page = base + QStringLiteral(".htm");
    printPage(out_.filePath(page));
    BatchResult& result = open_.at(index).result;
    takeFigures(response, result);
    judge(result);
    result.page = page;
    // What an advisor opening this answer in the editor would be told is not taken as sent.
    complete(index, LineState::answered(!editor::valuesNotTakenIn(ctx_, response).empty()));
}

void BatchRun::judge(BatchResult& r) const
{
    const std::optional<int> type = editor::calculationType(r.type);
    if (!type) return;
    static_cast<YearlyVerdict&>(r) = judgeYearly(r.pichA, r.pichB, limits_[std::size_t(*type)]);
}

void BatchRun::complete(size_t index, const LineState& state)
{
    const auto line = open_.find(index);
    if (line == open_.end() || line->second.done) return;
    line->second.done = true;
    line->second.result.state = state;
    reportReady();
}

void BatchRun::reportReady()
{
    for (auto line = open_.find(nextReport_); line != open_.end() && line->second.done;
         line = open_.find(nextReport_)) {
        const BatchResult result = std::move(line->second.result);
        open_.erase(line);
        ++nextReport_;
        lines_.add(result);
        emit rowDone(int(nextReport_), total(), result);
    }
}

void BatchRun::finish()
{
    if (finished_) return;
    finished_ = true;
    // Each summary that fits is written and the first that does not is told; the summary of an
    // earlier batch in its place would speak for this one.
    using Writer = std::function<void(const QString&, const BatchLines&)>;
    const QString style = presentation::reportStyle(ctx_);
    const std::pair<QString, Writer> summaries[] = {
        {kSummaryCsv, [](const QString& path, const BatchLines& lines) { writeSummaryCsv(path, lines); }},
        {kSummaryXlsx, [](const QString& path, const BatchLines& lines) { writeSummaryXlsx(path, lines); }},
        {kSummaryHtml, [&](const QString& path, const BatchLines& lines) { writeSummaryHtml(path, lines, style); }}};
    for (const auto& [name, write] : summaries) {
        try {
            write(out_.filePath(name), lines_);
        } catch (const Failure& f) {
            QFile::remove(out_.filePath(name));
            if (summaryProblem_.isEmpty())
                summaryProblem_ = QStringLiteral("Souhrn dávky (%1) nelze zapsat. %2").arg(name, f.description());
        }
    }
    lines_.discard();
    if (pdf_ && pdf_->busy()) connect(pdf_.get(), &presentation::PdfPrinter::allDone, this, &BatchRun::end);
    else end();
}

void BatchRun::end()
{
    if (ended_) return;
    ended_ = true;
    emit finished();
}

void BatchRun::printPage(const QString& page)
{
    if (!settings_.pdf) return;
    const QString pdf = presentation::pdfBeside(page);
    if (QFile::exists(pdf)) return;
    if (!pdf_) {
        pdf_ = std::make_unique<presentation::PdfPrinter>();
        // An engine that cannot start fails the PDFs this way too, never the row or its page.
        connect(pdf_.get(), &presentation::PdfPrinter::failed, this, [this](const QString& file, const QString& why) {
            if (pdfFailures_++ == 0)
                firstPdfProblem_ = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file), why);
        });
    }
    pdf_->add(page, pdf);
}

QString BatchRun::pdfProblem() const
{
    if (pdfFailures_ == 0) return QString();
    return QStringLiteral("PDF nelze vytvořit u %1 stránek dávky (stránky HTML jsou uloženy). První: %2")
        .arg(pdfFailures_)
        .arg(firstPdfProblem_);
}

}  // namespace zorva::request
