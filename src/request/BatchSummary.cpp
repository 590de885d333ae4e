#include "request/BatchSummary.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

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
            r.state};
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

void writeSummaryCsv(const QString& path, const std::vector<BatchResult>& results)
{
    QString text = csvLine(kHeader, false);
    for (const BatchResult& r : results) text += csvLine(fields(r), true);
    writeFileAtomically(path, QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8());
}

namespace {

// The applicants an advisor looks at first: outside their limits, or nearest to them.
QString nearestToLimits(const std::vector<BatchResult>& results)
{
    constexpr std::size_t kShown = 10;
    std::vector<const BatchResult*> judged;
    for (const BatchResult& r : results)
        if (r.margin) judged.push_back(&r);
    if (judged.empty()) return QString();
    std::stable_sort(judged.begin(), judged.end(),
                     [](const BatchResult* a, const BatchResult* b) { return *a->margin < *b->margin; });
    if (judged.size() > kShown) judged.resize(kShown);
    QString html = QStringLiteral(
        "<h2>Nejblíže limitu</h2>\n<table class=\"data\">\n<thead><tr><th>Řádek</th><th>Žadatel</th>"
        "<th>Limit</th><th>Posouzení</th><th>Rezerva (VDJ/ha)</th></tr></thead>\n<tbody>\n");
    for (const BatchResult* r : judged) {
        const QString applicant =
            r->name.isEmpty() ? r->identifier() : r->name + QStringLiteral(" (") + r->identifier() + QLatin1Char(')');
        html += QStringLiteral(
                    "<tr><td class=\"num\">%1</td><td>%2</td><td>%3</td><td%4>%5</td>"
                    "<td class=\"num\">%6</td></tr>\n")
                    .arg(QString::number(r->number), applicant.toHtmlEscaped(), r->limit.toHtmlEscaped(),
                         *r->margin < 0 ? QStringLiteral(" class=\"selhani\"") : QString(), r->verdict.toHtmlEscaped(),
                         fixedText(*r->margin, 3, QLatin1Char(',')));
    }
    return html + QStringLiteral("</tbody>\n</table>\n<h2>Všechny řádky seznamu</h2>\n");
}

}  // namespace

void writeSummaryHtml(const QString& path, const std::vector<BatchResult>& results, const QString& reportStyle)
{
    QString html = QStringLiteral(
                       "<!DOCTYPE html>\n<html lang=\"cs\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>ZORVA – výpočet VDJ – souhrn dávky</title>\n<style type=\"text/css\">\n") +
                   reportStyle + QString::fromUtf8(kSummaryStyle) +
                   QStringLiteral(
                       "</style>\n</head>\n<body>\n<header class=\"zahlavi\">\n"
                       "<div class=\"program\">ZORVA: Výpočet VDJ</div>\n<h1>Souhrn dávky</h1>\n"
                       "<div class=\"odpoved\">%1</div>\n</header>\n")
                       .arg(BatchCounts::of(results).text().toHtmlEscaped());
    html += nearestToLimits(results);
    html += QStringLiteral("<table class=\"data\">\n<thead><tr>");
    for (const QString& h : kPageHeader) html += QStringLiteral("<th>") + h.toHtmlEscaped() + QStringLiteral("</th>");
    html += QStringLiteral("</tr></thead>\n<tbody>\n");
    for (const BatchResult& r : results) {
        const QStringList values = fields(r);
        html += QStringLiteral("<tr>");
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
    }
    html += QStringLiteral("</tbody>\n</table>\n</body>\n</html>\n");
    writeFileAtomically(path, html.toUtf8());
}

}  // namespace zorva::request
