#pragma once
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

#include "common/ProgramContext.h"

namespace zorva::request {

// One result kept in the archive, as the archive window lists it.
struct ArchivedResult {
    QString base;  // the path of its files without the extension
    QString applicant, name;
    QString type, variant;  // "4", "C"
    QString period;         // the year or the date as asked
    QDateTime time;         // of the exchange, or of the page shown from the editor
    bool edited = false;    // a page shown from the editor
    QString pichA, pichB;   // the yearly figures as the document holds them
    QString verdict;        // by the settings' limits of its type; empty without limits
    std::optional<double> margin;

    QString xmlFile() const { return base + QStringLiteral(".xml"); }
    QString pageFile() const { return base + QStringLiteral(".htm"); }
    QString pdfFile() const { return base + QStringLiteral(".pdf"); }
    // The time as the archive's windows show it, to the second: two exchanges a minute apart differ.
    QString timeShown() const { return time.toString(QStringLiteral("d. M. yyyy H:mm:ss")); }
};

// What an archived file's name says (applicant, type, variant, period, time, edited), or nothing for
// a name that the archive did not give. Names of an older form, without the variant, read too.
std::optional<ArchivedResult> readArchiveName(const QString& fileBase);

// The results in the archive (not its failures), the newest first; the figures, the name and the
// verdict come from each kept document. A file that cannot be read is listed with what its name says.
std::vector<ArchivedResult> archivedResults(const ProgramContext& ctx);

// Whether every word of the filter is part of the result's identifier, name or period (letter case
// aside); an empty filter keeps every result.
bool matchesFilter(const ArchivedResult& result, const QString& filter);

}  // namespace zorva::request
