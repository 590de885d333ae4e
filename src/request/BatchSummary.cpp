#include "request/BatchSummary.h"

#include <QDataStream>
#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>

#include "common/FileWriting.h"
#include "common/NumberText.h"

namespace zorva::request {

namespace {

// The state stays the last field, where readers of the earlier summaries found it.
const QStringList kHeader = {QStringLiteral("RADEK"),    QStringLiteral("JISUBRUX"), QStringLiteral("ICO"),
                             QStringLiteral("RC"),       QStringLiteral("ZADATEL"),  QStringLiteral("TYP"),
                             QStringLiteral("VARIANTA"), QStringLiteral("ROK"),      QStringLiteral("PICHROKA"),
                             QStringLiteral("PICHROKB"), QStringLiteral("LIMIT"),    QStringLiteral("POSOUZENI"),
                             QStringLiteral("REZERVA"),  QStringLiteral("STAV")};

// The page's column headings; the list keeps the field names, which other programs may read by.
const QStringList kPageHeader = {QStringLiteral("Řádek"),
                                 QStringLiteral("JISUBRUX"),
                                 QStringLiteral("IČ"),
                                 QStringLiteral("RČ"),
                                 QStringLiteral("Žadatel"),
                                 QStringLiteral("Typ"),
                                 QStringLiteral("Varianta"),
                                 QStringLiteral("Rok"),
                                 QStringLiteral("PICH A"),
                                 QStringLiteral("PICH B"),
                                 QStringLiteral("Limit"),
                                 QStringLiteral("Posouzení"),
                                 QStringLiteral("Rezerva (VDJ/ha)"),
                                 QStringLiteral("Stav")};

// Where the state of a line stands among its fields.
constexpr int kStateColumn = 13;

QStringList fields(const BatchResult& r)
{
    // The intensities as the reports show them and a Czech spreadsheet reads them: "1.108" with a
    // point would stay text there, or become a date.
    const QChar comma = QLatin1Char(',');
    return {QString::number(r.number),
            r.jisubrux,
            r.ico,
            r.rc,
            r.name,
            r.type,
            r.variant,
            r.year,
            shownFigure(r.pichA, comma),
            shownFigure(r.pichB, comma),
            r.limit,
            r.verdict,
            r.margin ? fixedText(*r.margin, 3, comma) : QString(),
            r.state.text()};
}

// The line number, the two intensities and the margin; every other column is text.
bool isNumberColumn(qsizetype column)
{
    return column == 0 || column == 8 || column == 9 || column == 12;
}

// What a spreadsheet reads as a number in a number column: "12", "0,942", "-0,5".
bool isNumber(const QString& value)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(,[0-9]+)?$"));
    return number.match(value).hasMatch();
}

// A spreadsheet runs a cell that begins with one of these as a formula, a tab or a carriage return
// in front of it included. The names and messages come from the service and the list, so a text
// that begins so is kept a text by a leading apostrophe, which the spreadsheet does not show.
bool runsAsFormula(const QString& value)
{
    return !value.isEmpty() && QStringView(u"=+-@\t\r").contains(value.front());
}

QString csvField(const QString& value, bool numberColumn)
{
    if (numberColumn && (value.isEmpty() || isNumber(value))) return value;
    QString text = value;
    if (runsAsFormula(text)) text.prepend(QLatin1Char('\''));
    // A comma too: a spreadsheet that takes it for the separator would split the field.
    static const QRegularExpression needsQuotes(QStringLiteral("[;\",\r\n]"));
    if (!text.contains(needsQuotes)) return text;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString csvLine(const QStringList& values, bool withNumbers)
{
    QStringList out;
    for (qsizetype i = 0; i < values.size(); ++i) out << csvField(values.at(i), withNumbers && isNumberColumn(i));
    return out.join(QLatin1Char(';')) + QLatin1String("\r\n");
}

// What the summary adds to the report's look: a failed line's state stands out in its cell.
const char* kSummaryStyle = "td.selhani { color: #b00000; font-weight: bold; }\n";

}  // namespace

void writeSummaryCsv(const QString& path, const BatchLines& lines)
{
    AtomicFile file(path);
    file.write(QByteArrayLiteral("\xEF\xBB\xBF") + csvLine(kHeader, false).toUtf8());
    lines.forEach([&](const BatchResult& r) { file.write(csvLine(fields(r), true).toUtf8()); });
    file.commit();
}

void writeSummaryCsv(const QString& path, const std::vector<BatchResult>& results)
{
    writeSummaryCsv(path, HeldLines(results));
}

void NearestToLimits::add(const BatchResult& r)
{
    if (!r.margin) return;
    // After the lines of the same margin: a stable order, the list's.
    const auto at = std::upper_bound(lines_.begin(), lines_.end(), *r.margin,
                                     [](double margin, const BatchResult& line) { return margin < *line.margin; });
    if (at == lines_.end() && lines_.size() >= BatchLines::kNearestShown) return;
    lines_.insert(at, r);
    if (lines_.size() > BatchLines::kNearestShown) lines_.pop_back();
}

std::vector<BatchResult> HeldLines::nearestToLimits() const
{
    NearestToLimits nearest;
    for (const BatchResult& r : results_) nearest.add(r);
    return nearest.lines();
}

void HeldLines::forEach(const std::function<void(const BatchResult&)>& each) const
{
    for (const BatchResult& r : results_) each(r);
}

namespace {

// What a list of this size keeps in memory before its lines go to the file: a batch of a few
// hundred rows never makes one.
constexpr qsizetype kHeldBytes = 1024 * 1024;

QDataStream& operator<<(QDataStream& out, const BatchResult& r)
{
    out << qint32(r.number) << r.jisubrux << r.ico << r.rc << r.name << r.type << r.variant << r.year << r.acreage
        << r.pichA << r.pichB << r.limit << r.verdict << bool(r.margin) << r.margin.value_or(0) << quint8(r.state.end)
        << r.state.reason << r.page;
    return out;
}

QDataStream& operator>>(QDataStream& in, BatchResult& r)
{
    qint32 number = 0;
    bool judged = false;
    double margin = 0;
    quint8 end = 0;
    in >> number >> r.jisubrux >> r.ico >> r.rc >> r.name >> r.type >> r.variant >> r.year >> r.acreage >> r.pichA >>
        r.pichB >> r.limit >> r.verdict >> judged >> margin >> end >> r.state.reason >> r.page;
    r.number = number;
    r.state.end = LineState::End(end);
    r.margin = judged ? std::optional<double>(margin) : std::nullopt;
    return in;
}

void readLines(QDataStream& in, const std::function<void(const BatchResult&)>& each)
{
    BatchResult r;
    while (!in.atEnd()) {
        in >> r;
        if (in.status() != QDataStream::Ok) break;
        each(r);
    }
}

// QFile tells a full disk apart from the other failures to write, not the system's number.
int systemError(const QFileDevice& file)
{
    return file.error() == QFileDevice::ResourceError ? ENOSPC : EIO;
}

}  // namespace

SpilledLines::SpilledLines(const QString& folder) : folder_(folder)
{
}

SpilledLines::~SpilledLines() = default;

void SpilledLines::add(const BatchResult& r)
{
    counts_.add(r);
    nearest_.add(r);
    if (error_ != 0) return;
    QDataStream out(&pending_, QIODevice::Append);
    out << r;
    if (pending_.size() >= kHeldBytes) spill();
}

void SpilledLines::spill()
{
    if (!file_) {
        // Never given a name, so that no end of the program leaves it behind.
        file_ = std::make_unique<QTemporaryFile>(QDir(folder_).filePath(QStringLiteral(".souhrn-XXXXXX")));
        if (!file_->open()) {
            error_ = systemError(*file_);
            pending_.clear();
            return;
        }
    }
    if (file_->write(pending_) != pending_.size()) error_ = systemError(*file_);
    pending_.clear();
}

void SpilledLines::discard()
{
    file_.reset();
    pending_.clear();
    pending_.squeeze();
}

void SpilledLines::forEach(const std::function<void(const BatchResult&)>& each) const
{
    // The failure as the first summary, which is written first, would have met it.
    const QString named = QDir(folder_).filePath(kSummaryCsv);
    if (file_ && error_ == 0 && !file_->flush()) error_ = systemError(*file_);
    if (error_ != 0) throw writeFailure(named, error_);
    if (file_) {
        if (!file_->seek(0)) throw writeFailure(named, EIO);
        QDataStream in(file_.get());
        readLines(in, each);
        if (in.status() != QDataStream::Ok || !file_->atEnd()) throw writeFailure(named, EIO);
    }
    QDataStream in(pending_);
    readLines(in, each);
}

namespace {

// The applicants an advisor looks at first: outside their limits, or nearest to them.
QString nearestToLimits(const BatchLines& lines)
{
    const std::vector<BatchResult> nearest = lines.nearestToLimits();
    if (nearest.empty()) return QString();
    QString html = QStringLiteral(
        "<h2>Nejblíže limitu</h2>\n<table class=\"data\">\n<thead><tr><th>Řádek</th><th>Žadatel</th>"
        "<th>Limit</th><th>Posouzení</th><th>Rezerva (VDJ/ha)</th></tr></thead>\n<tbody>\n");
    for (const BatchResult& r : nearest) {
        const QString applicant =
            r.name.isEmpty() ? r.identifier() : r.name + QStringLiteral(" (") + r.identifier() + QLatin1Char(')');
        html += QStringLiteral(
                    "<tr><td class=\"num\">%1</td><td>%2</td><td>%3</td><td%4>%5</td>"
                    "<td class=\"num\">%6</td></tr>\n")
                    .arg(QString::number(r.number), applicant.toHtmlEscaped(), r.limit.toHtmlEscaped(),
                         *r.margin < 0 ? QStringLiteral(" class=\"selhani\"") : QString(), r.verdict.toHtmlEscaped(),
                         fixedText(*r.margin, 3, QLatin1Char(',')));
    }
    return html + QStringLiteral("</tbody>\n</table>\n<h2>Všechny řádky seznamu</h2>\n");
}

}  // namespace

void writeSummaryHtml(const QString& path, const BatchLines& lines, const QString& reportStyle)
{
    AtomicFile file(path);
    QString html = QStringLiteral(
                       "<!DOCTYPE html>\n<html lang=\"cs\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>ZORVA – výpočet VDJ – souhrn dávky</title>\n<style type=\"text/css\">\n") +
                   reportStyle + QString::fromUtf8(kSummaryStyle) +
                   QStringLiteral(
                       "</style>\n</head>\n<body>\n<header class=\"zahlavi\">\n"
                       "<div class=\"program\">ZORVA: Výpočet VDJ</div>\n<h1>Souhrn dávky</h1>\n"
                       "<div class=\"odpoved\">%1</div>\n</header>\n")
                       .arg(lines.counts().text().toHtmlEscaped());
    html += nearestToLimits(lines);
    html += QStringLiteral("<table class=\"data\">\n<thead><tr>");
    for (const QString& h : kPageHeader) html += QStringLiteral("<th>") + h.toHtmlEscaped() + QStringLiteral("</th>");
    html += QStringLiteral("</tr></thead>\n<tbody>\n");
    file.write(html.toUtf8());
    lines.forEach([&](const BatchResult& r) {
        const QStringList values = fields(r);
        html = QStringLiteral("<tr>");
        for (int i = 0; i < values.size(); ++i) {
            const QString text = values.at(i).toHtmlEscaped();
            const bool numeric = isNumberColumn(i);
            if (i == kStateColumn && r.ok() && !r.page.isEmpty())
                html += QStringLiteral("<td><a href=\"%1\">%2</a></td>").arg(r.page.toHtmlEscaped(), text);
            else if (i == kStateColumn && !r.ok())
                html += QStringLiteral("<td class=\"selhani\">") + text + QStringLiteral("</td>");
            else
                html += (numeric ? QStringLiteral("<td class=\"num\">") : QStringLiteral("<td>")) + text +
                        QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>\n");
        file.write(html.toUtf8());
    });
    file.write(QByteArrayLiteral("</tbody>\n</table>\n</body>\n</html>\n"));
    file.commit();
}

void writeSummaryHtml(const QString& path, const std::vector<BatchResult>& results, const QString& reportStyle)
{
    writeSummaryHtml(path, HeldLines(results), reportStyle);
}

}  // namespace zorva::request
