#include "platform/JetSql.h"

#include <QRegularExpression>
#include <QStringList>

namespace zorva::db::detail {

namespace {

// Splits the body of a column list at its top-level commas; brackets, quotes and parentheses
// (TEXT(10), DECIMAL(10,2)) keep their commas. Each piece keeps its own blanks.
QStringList splitTopLevel(const QString& body)
{
    QStringList pieces;
    int depth = 0;
    QChar quote;
    int start = 0;
    for (int i = 0; i < body.size(); ++i) {
        const QChar c = body.at(i);
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) quote = c;
        else if (c == QLatin1Char('[')) quote = QLatin1Char(']');
        else if (c == QLatin1Char('(')) ++depth;
        else if (c == QLatin1Char(')')) --depth;
        else if (c == QLatin1Char(',') && depth == 0) {
            pieces << body.mid(start, i - start);
            start = i + 1;
        }
    }
    pieces << body.mid(start);
    return pieces;
}

bool isTextType(const QString& typeWord)
{
    static const QStringList textTypes = {
        QStringLiteral("TEXT"),         QStringLiteral("CHAR"),     QStringLiteral("VARCHAR"),
        QStringLiteral("CHARACTER"),    QStringLiteral("NCHAR"),    QStringLiteral("NVARCHAR"),
        QStringLiteral("MEMO"),         QStringLiteral("LONGTEXT"), QStringLiteral("STRING"),
        QStringLiteral("ALPHANUMERIC"), QStringLiteral("NOTE")};
    return textTypes.contains(typeWord.toUpper());
}

// One column definition "name TYPE[(n)] [constraints]" with the collation added after the type.
QString columnWithCollation(const QString& piece)
{
    static const QRegularExpression def(
        QStringLiteral(R"(^(\s*(?:\[[^\]]*\]|"[^"]*"|`[^`]*`|\w+)\s+)([A-Za-z]+)(\s*\(\s*\d+\s*(?:,\s*\d+\s*)?\))?)"));
    static const QRegularExpression tableConstraint(
        QStringLiteral(R"(^\s*(CONSTRAINT|PRIMARY|UNIQUE|CHECK|FOREIGN)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression collate(QStringLiteral(R"(\bCOLLATE\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (tableConstraint.match(piece).hasMatch()) return piece;
    const QRegularExpressionMatch m = def.match(piece);
    if (!m.hasMatch() || !isTextType(m.captured(2)) || collate.match(piece).hasMatch()) return piece;
    const int end = m.capturedEnd(0);
    return piece.left(end) + QStringLiteral(" COLLATE ") + QLatin1String(kTextCollation) + piece.mid(end);
}

}  // namespace

QString withTextCollation(const QString& sql)
{
    static const QRegularExpression create(QStringLiteral(R"(^\s*CREATE\s+TABLE\b)"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (!create.match(sql).hasMatch()) return sql;
    const int open = sql.indexOf(QLatin1Char('('));
    const int close = sql.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open) return sql;
    const QStringList pieces = splitTopLevel(sql.mid(open + 1, close - open - 1));
    QStringList rewritten;
    rewritten.reserve(pieces.size());
    for (const QString& piece : pieces) rewritten << columnWithCollation(piece);
    return sql.left(open + 1) + rewritten.join(QLatin1Char(',')) + sql.mid(close);
}

Column columnFromDeclaration(const QString& name, const QString& declaredType)
{
    static const QRegularExpression decl(QStringLiteral(R"(^\s*([A-Za-z]+)\s*(?:\(\s*(\d+)\s*(?:,\s*\d+\s*)?\))?)"));
    Column column;
    column.name = name;
    const QRegularExpressionMatch m = decl.match(declaredType);
    if (!m.hasMatch()) return column;
    const QString word = m.captured(1).toUpper();
    const QString size = m.captured(2);
    if (word == QLatin1String("MEMO") || word == QLatin1String("LONGTEXT") || word == QLatin1String("NOTE")) {
        column.type = ColumnType::Text;
    } else if (isTextType(word)) {
        column.type = ColumnType::Text;
        column.maxLength = size.isEmpty() ? 255 : size.toInt();
    } else if (word == QLatin1String("DOUBLE") || word == QLatin1String("FLOAT") || word == QLatin1String("REAL") ||
               word == QLatin1String("SINGLE") || word == QLatin1String("FLOAT4") || word == QLatin1String("FLOAT8") ||
               word == QLatin1String("IEEEDOUBLE") || word == QLatin1String("IEEESINGLE") ||
               word == QLatin1String("NUMBER")) {
        column.type = ColumnType::Double;
    }
    return column;
}

std::optional<SelectAll> parseSelectAll(const QString& sql)
{
    static const QRegularExpression select(
        QStringLiteral(
            R"(^\s*SELECT\s+\*\s+FROM\s+(\[[^\]]+\]|"[^"]+"|`[^`]+`|\w+)\s*(?:ORDER\s+BY\s+(.+?))?\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = select.match(sql);
    if (!m.hasMatch()) return std::nullopt;
    QString table = m.captured(1);
    if (table.size() >= 2 && !table.at(0).isLetterOrNumber() && table.at(0) != QLatin1Char('_'))
        table = table.mid(1, table.size() - 2);
    return SelectAll{table, m.captured(2).trimmed()};
}

QString quoted(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

}  // namespace zorva::db::detail
