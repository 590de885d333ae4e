#include "request/BatchList.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <array>

#include "common/Failure.h"
#include "common/Windows1250.h"

namespace zorva::request {

namespace {

enum Column {
    Jisubrux,
    Ico,
    Rc,
    Type,
    Variant,
    Year,
    Acreage,
    ColumnCount
};
const std::array<const char*, ColumnCount> kColumnNames = {"JISUBRUX", "ICO", "RC", "TYP", "VARIANTA", "ROK", "VYMERA"};

}  // namespace

QString decodeListText(const QByteArray& bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError()) return text;
    return fromWindows1250(view.toByteArray());
}

std::vector<QStringList> splitRecords(const QString& text, QChar separator)
{
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;  // the record has content, even if only an empty quoted field
    auto endField = [&] {
        record << field;
        field.clear();
    };
    auto endRecord = [&] {
        endField();
        // Spreadsheets write formatted empty rows as bare separators; such a row is no applicant.
        const bool blank =
            std::all_of(record.cbegin(), record.cend(), [](const QString& f) { return f.trimmed().isEmpty(); });
        if (!blank) records.push_back(record);
        record.clear();
        fieldStarted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"')) {
                field += c;
            } else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == QLatin1Char('"') && field.isEmpty()) {
            // Only a field's first character opens quotes; a quote inside a plain field is its own text.
            quoted = true;
            fieldStarted = true;
        } else if (c == separator) {
            endField();
            fieldStarted = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ++i;
            endRecord();
        } else {
            field += c;
        }
    }
    if (fieldStarted || !field.isEmpty()) endRecord();
    return records;
}

std::vector<BatchRow> parseBatchList(const QByteArray& bytes)
{
    const std::vector<QStringList> records = splitRecords(decodeListText(bytes));
    if (records.empty()) throw Failure(err::InvalidProcedureCall, QStringLiteral("Seznam žadatelů je prázdný."));

    std::array<int, ColumnCount> at;
    at.fill(-1);
    const QStringList& header = records.front();
    for (int i = 0; i < header.size(); ++i)
        for (int c = 0; c < ColumnCount; ++c)
            if (header.at(i).trimmed().compare(QLatin1String(kColumnNames[size_t(c)]), Qt::CaseInsensitive) == 0 &&
                at[size_t(c)] < 0)
                at[size_t(c)] = i;
    QStringList missing;
    for (int c = 0; c < Acreage; ++c)
        if (at[size_t(c)] < 0) missing << QLatin1String(kColumnNames[size_t(c)]);
    if (!missing.isEmpty())
        throw Failure(
            err::InvalidProcedureCall,
            QStringLiteral("V záhlaví seznamu chybí sloupec %1 (očekává se JISUBRUX;ICO;RC;TYP;VARIANTA;ROK;VYMERA).")
                .arg(missing.join(QStringLiteral(", "))));

    std::vector<BatchRow> rows;
    rows.reserve(records.size() - 1);
    for (size_t r = 1; r < records.size(); ++r) {
        const QStringList& f = records[r];
        auto value = [&](Column c) { return at[size_t(c)] >= 0 ? f.value(at[size_t(c)]).trimmed() : QString(); };
        BatchRow row;
        row.number = int(r);
        row.jisubrux = value(Jisubrux);
        row.ico = value(Ico);
        row.rc = value(Rc);
        row.type = value(Type);
        row.variant = value(Variant);
        row.year = value(Year);
        row.acreage = value(Acreage);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<BatchRow> readBatchList(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(err::FileNotFound, QStringLiteral("Seznam žadatelů nelze číst: %1").arg(path));
    // A list of a few thousand applicants is well below this; anything larger is not a list.
    constexpr qint64 maxBytes = 64 * 1024 * 1024;
    if (file.size() > maxBytes)
        throw Failure(err::InvalidProcedureCall, QStringLiteral("Seznam žadatelů je příliš velký: %1").arg(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(err::PathFileAccess, QStringLiteral("Seznam žadatelů nelze číst: %1").arg(path));
    return parseBatchList(bytes);
}

QByteArray exampleBatchList()
{
    return QByteArrayLiteral(
        "\xEF\xBB\xBF"
        "JISUBRUX;ICO;RC;TYP;VARIANTA;ROK;VYMERA\r\n"
        "1000234567;;;4;A;2006;\r\n"
        ";00123455;;1;B;15.05.2006;\r\n"
        ";;6504121239;6;C;2006;12,5\r\n");
}

}  // namespace zorva::request
