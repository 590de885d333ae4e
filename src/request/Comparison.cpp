#include "request/Comparison.h"

#include <QHash>
#include <QPair>
#include <map>

#include "common/TypedNumbers.h"
#include "request/AnswerText.h"

namespace zorva::request {

namespace {

struct RowFigures {
    QString a, b;
};

// The rows of a result by date and by their place among the rows of that date.
std::map<QPair<QString, int>, RowFigures> rowsOf(const xml::Document& doc)
{
    std::map<QPair<QString, int>, RowFigures> rows;
    QHash<QString, int> seen;
    for (const xml::Node& row : doc.selectList(QStringLiteral("//VDJ:PICHROW"))) {
        const QString date = row.attribute(QStringLiteral("DATPLATNOST")).value_or(QString()).trimmed();
        rows[{date, seen[date]++}] = {row.attribute(QStringLiteral("PICHA")).value_or(QString()),
                                      row.attribute(QStringLiteral("PICHB")).value_or(QString())};
    }
    return rows;
}

ComparedFigure compared(const QString& first, const QString& second)
{
    ComparedFigure f{first, second, std::nullopt};
    const std::optional<double> a = documentNumber(first);
    const std::optional<double> b = documentNumber(second);
    if (a && b) f.difference = *b - *a;
    return f;
}

}  // namespace

Comparison compareResults(const xml::Document& first, const xml::Document& second)
{
    Comparison c;
    c.yearlyA = compared(answerText(first, QStringLiteral("//RUX:PICHROKA")),
                         answerText(second, QStringLiteral("//RUX:PICHROKA")));
    c.yearlyB = compared(answerText(first, QStringLiteral("//RUX:PICHROKB")),
                         answerText(second, QStringLiteral("//RUX:PICHROKB")));
    const auto left = rowsOf(first);
    const auto right = rowsOf(second);
    std::map<QPair<QString, int>, std::pair<RowFigures, RowFigures>> both;
    for (const auto& [key, figures] : left) both[key].first = figures;
    for (const auto& [key, figures] : right) both[key].second = figures;
    for (const auto& [key, pair] : both)
        c.dates.push_back({key.first, compared(pair.first.a, pair.second.a), compared(pair.first.b, pair.second.b)});
    return c;
}

}  // namespace zorva::request
