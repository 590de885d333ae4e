#include "request/BatchList.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <utility>

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

void RecordSplitter::endField()
{
    record_ << field_;
    field_.clear();
}

void RecordSplitter::endRecord(std::vector<QStringList>& records)
{
    endField();
    // Spreadsheets write formatted empty rows as bare separators; such a row is no applicant.
    const bool blank =
        std::all_of(record_.cbegin(), record_.cend(), [](const QString& f) { return f.trimmed().isEmpty(); });
    if (!blank) records.push_back(record_);
    record_.clear();
    fieldStarted_ = false;
}

void RecordSplitter::feed(QStringView text, std::vector<QStringList>& records)
{
    if (text.isEmpty()) return;
    qsizetype i = 0;
    // The LF of a CR LF that the piece before cut in two.
    if (afterCr_ && text.front() == QLatin1Char('\n')) i = 1;
    afterCr_ = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted_) {
            if (c != QLatin1Char('"')) {
                field_ += c;
            } else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field_ += c;
                ++i;
            } else {
                quoted_ = false;
            }
        } else if (c == QLatin1Char('"') && field_.isEmpty()) {
            // Only a field's first character opens quotes; a quote inside a plain field is its own text.
            quoted_ = true;
            fieldStarted_ = true;
        } else if (c == separator_) {
            endField();
            fieldStarted_ = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r')) {
                if (i + 1 == text.size()) afterCr_ = true;
                else if (text.at(i + 1) == QLatin1Char('\n')) ++i;
            }
            endRecord(records);
        } else {
            field_ += c;
        }
    }
}

void RecordSplitter::finish(std::vector<QStringList>& records)
{
    if (fieldStarted_ || !field_.isEmpty()) endRecord(records);
    afterCr_ = false;
}

std::vector<QStringList> splitRecords(const QString& text, QChar separator)
{
    std::vector<QStringList> records;
    RecordSplitter splitter(separator);
    splitter.feed(text, records);
    splitter.finish(records);
    return records;
}

namespace {

using Columns = std::array<int, ColumnCount>;

Columns columnsOf(const QStringList& header)
{
    Columns at;
    at.fill(-1);
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
    return at;
}

BatchRow rowOf(const QStringList& f, const Columns& at, int number)
{
    auto value = [&](Column c) { return at[size_t(c)] >= 0 ? f.value(at[size_t(c)]).trimmed() : QString(); };
    BatchRow row;
    row.number = number;
    row.jisubrux = value(Jisubrux);
    row.ico = value(Ico);
    row.rc = value(Rc);
    row.type = value(Type);
    row.variant = value(Variant);
    row.year = value(Year);
    row.acreage = value(Acreage);
    return row;
}

[[noreturn]] void empty()
{
    throw Failure(err::InvalidProcedureCall, QStringLiteral("Seznam žadatelů je prázdný."));
}

}  // namespace

std::vector<BatchRow> parseBatchList(const QByteArray& bytes)
{
    const std::vector<QStringList> records = splitRecords(decodeListText(bytes));
    if (records.empty()) empty();
    const Columns at = columnsOf(records.front());
    std::vector<BatchRow> rows;
    rows.reserve(records.size() - 1);
    for (size_t r = 1; r < records.size(); ++r) rows.push_back(rowOf(records[r], at, int(r)));
    return rows;
}

namespace {

// A list of a few thousand applicants is well below this; anything larger is not a list.
constexpr qint64 kMaxListBytes = 64 * 1024 * 1024;

[[noreturn]] void unreadable(const QString& path)
{
    throw Failure(err::PathFileAccess, QStringLiteral("Seznam žadatelů nelze číst: %1").arg(path));
}

}  // namespace

// The file is read in pieces that end at a line break: an ASCII byte, so that no piece cuts a
// character of UTF-8 in two and a piece is valid UTF-8 exactly when the whole text is.
struct BatchList::Reader {
    QString path;
    QFile file;
    bool windows1250 = false;
    Columns at{};
    int size = 0;

    // One reading of the text from its start.
    struct Pass {
        QByteArray carry;
        QStringDecoder utf8{QStringDecoder::Utf8};  // keeps a mark only at the start away, as decodeListText
        RecordSplitter splitter;
        std::vector<QStringList> records;  // finished, not yet taken
        size_t taken = 0;
        bool atEnd = false;
        int number = 0;  // records taken so far, the header included
    };
    Pass pass;

    void rewind()
    {
        if (!file.seek(0)) unreadable(path);
        pass = Pass();
        const QByteArray mark = file.peek(3);
        if (mark == QByteArrayView("\xEF\xBB\xBF") && file.read(3).size() != 3) unreadable(path);
    }

    // The next piece of bytes; empty at the end.
    QByteArray piece()
    {
        constexpr qint64 kChunk = 64 * 1024;
        while (!file.atEnd()) {
            const QByteArray chunk = file.read(kChunk);
            if (chunk.isEmpty() || file.error() != QFileDevice::NoError) unreadable(path);
            pass.carry += chunk;
            const qsizetype cut = std::max(pass.carry.lastIndexOf('\n'), pass.carry.lastIndexOf('\r'));
            if (cut >= 0) {
                QByteArray out = pass.carry.left(cut + 1);
                pass.carry.remove(0, cut + 1);
                return out;
            }
        }
        return std::exchange(pass.carry, QByteArray());
    }

    // The next record of this pass; false after the last.
    bool nextRecord(QStringList& record)
    {
        while (pass.taken == pass.records.size()) {
            pass.records.clear();
            pass.taken = 0;
            if (pass.atEnd) return false;
            const QByteArray bytes = piece();
            if (bytes.isEmpty()) {
                pass.atEnd = true;
                pass.splitter.finish(pass.records);
            } else {
                pass.splitter.feed(windows1250 ? fromWindows1250(bytes) : pass.utf8.decode(bytes), pass.records);
            }
        }
        record = std::move(pass.records[pass.taken++]);
        ++pass.number;
        return true;
    }
};

BatchList::BatchList(const QString& path) : d(std::make_unique<Reader>())
{
    d->path = path;
    d->file.setFileName(path);
    if (!d->file.open(QIODevice::ReadOnly))
        throw Failure(err::FileNotFound, QStringLiteral("Seznam žadatelů nelze číst: %1").arg(path));
    if (d->file.size() > kMaxListBytes)
        throw Failure(err::InvalidProcedureCall, QStringLiteral("Seznam žadatelů je příliš velký: %1").arg(path));
    // One reading for the encoding, Windows-1250 when any byte is no UTF-8 as decodeListText decides
    // for the whole text, and for the number of records. The quotes, separators and line breaks that
    // make the records are ASCII, the same bytes in either encoding and never part of a UTF-8
    // character, so the records are counted right before the encoding is known.
    d->rewind();
    RecordSplitter counter;
    std::vector<QStringList> records;
    qsizetype count = 0;
    for (QByteArray bytes = d->piece(); !bytes.isEmpty(); bytes = d->piece()) {
        if (!d->windows1250) {
            QStringDecoder check(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString decoded = check.decode(bytes);  // decodes only when made a text
            d->windows1250 = check.hasError();
        }
        counter.feed(QString::fromLatin1(bytes), records);
        count += qsizetype(records.size());
        records.clear();
    }
    counter.finish(records);
    count += qsizetype(records.size());
    if (count == 0) empty();
    d->size = int(count - 1);
    // The header, decoded as the rows will be.
    d->rewind();
    QStringList header;
    d->nextRecord(header);
    d->at = columnsOf(header);
}

BatchList::BatchList(BatchList&&) noexcept = default;
BatchList& BatchList::operator=(BatchList&&) noexcept = default;
BatchList::~BatchList() = default;

int BatchList::size() const
{
    return d->size;
}

bool BatchList::next(BatchRow& row)
{
    QStringList record;
    if (d->pass.number > d->size || !d->nextRecord(record)) return false;
    row = rowOf(record, d->at, d->pass.number - 1);
    return true;
}

std::vector<BatchRow> readBatchList(const QString& path)
{
    BatchList list(path);
    std::vector<BatchRow> rows;
    rows.reserve(size_t(list.size()));
    for (BatchRow row; list.next(row);) rows.push_back(std::move(row));
    return rows;
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
