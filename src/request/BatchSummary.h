#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "request/BatchResult.h"

class QTemporaryFile;

namespace zorva::request {

// The summary files of a batch folder.
inline const QString kSummaryCsv = QStringLiteral("souhrn.csv");
inline const QString kSummaryHtml = QStringLiteral("souhrn.htm");

// The lines of a batch as the summaries read them: in the order of the list, once per summary.
class BatchLines {
public:
    virtual ~BatchLines() = default;
    virtual BatchCounts counts() const = 0;
    // The lines outside their limits or nearest to them, nearest first, at most kNearestShown.
    virtual std::vector<BatchResult> nearestToLimits() const = 0;
    // Raises a Failure when the lines cannot be read back.
    virtual void forEach(const std::function<void(const BatchResult&)>& each) const = 0;

    static constexpr std::size_t kNearestShown = 10;
};

// The few lines nearest their limits among all lines seen, in the list's order where the margins
// are equal.
class NearestToLimits {
public:
    void add(const BatchResult& r);
    const std::vector<BatchResult>& lines() const { return lines_; }

private:
    std::vector<BatchResult> lines_;
};

// The lines of a running batch, as they are reported: a long list's lines wait in a temporary file
// of the output folder (one without a name, gone with the program) rather than in memory, which
// keeps only the counts and the lines nearest their limits. A line that cannot be kept makes every
// summary fail with the reason, since a summary without it would pass for the whole batch.
class SpilledLines : public BatchLines {
public:
    explicit SpilledLines(const QString& folder);
    ~SpilledLines() override;

    void add(const BatchResult& r);
    // Lets the file go; the counts and the nearest lines stay.
    void discard();

    BatchCounts counts() const override { return counts_; }
    std::vector<BatchResult> nearestToLimits() const override { return nearest_.lines(); }
    void forEach(const std::function<void(const BatchResult&)>& each) const override;

private:
    void spill();

    QString folder_;
    BatchCounts counts_;
    NearestToLimits nearest_;
    QByteArray pending_;  // the lines not yet in the file
    std::unique_ptr<QTemporaryFile> file_;
    mutable int error_ = 0;  // the system error that stopped the keeping, errno
};

// "souhrn.csv": a header and one line per row of the list, separated by semicolons, UTF-8 with a
// byte order mark so that spreadsheets read the Czech letters. Written atomically; raises a Failure
// when the file cannot be written.
void writeSummaryCsv(const QString& path, const BatchLines& lines);
void writeSummaryCsv(const QString& path, const std::vector<BatchResult>& results);
// "souhrn.htm": the same as a page in the report's style, each answered line's state linking to its
// applicant's page.
void writeSummaryHtml(const QString& path, const BatchLines& lines, const QString& reportStyle = QString());
void writeSummaryHtml(const QString& path, const std::vector<BatchResult>& results,
                      const QString& reportStyle = QString());

// The lines of a list held in memory.
class HeldLines : public BatchLines {
public:
    explicit HeldLines(const std::vector<BatchResult>& results) : results_(results) {}
    BatchCounts counts() const override { return BatchCounts::of(results_); }
    std::vector<BatchResult> nearestToLimits() const override;
    void forEach(const std::function<void(const BatchResult&)>& each) const override;

private:
    const std::vector<BatchResult>& results_;
};

}  // namespace zorva::request
