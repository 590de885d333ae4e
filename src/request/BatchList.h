#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace zorva::request {

// One applicant of a batch, as the list gives it: the texts the main window's fields would hold.
struct BatchRow {
    int number = 0;  // 1 for the first line after the header
    QString jisubrux, ico, rc;
    QString type;     // "4" or an entry of the type list ("4 - průměrná ..."): its first character counts
    QString variant;  // "A" or an entry of the variant list
    QString year;     // the year or the date, as typed in the main window
    QString acreage;  // only for type 6
};

// The text of a list file: UTF-8 with or without a byte order mark, or Windows-1250 when the bytes
// are not valid UTF-8 (what spreadsheets of this region save as "CSV").
QString decodeListText(const QByteArray& bytes);

// Records of text separated by `separator`, with fields in double quotes as spreadsheets write them
// (a separator or a line break inside quotes belongs to the field, "" is one quote). Lines end with
// LF, CR LF or CR; empty lines are left out.
std::vector<QStringList> splitRecords(const QString& text, QChar separator = QLatin1Char(';'));

// The same, for a text handed over in pieces: a record is finished when its line break has come.
class RecordSplitter {
public:
    explicit RecordSplitter(QChar separator = QLatin1Char(';')) : separator_(separator) {}
    // Appends the records the piece finishes.
    void feed(QStringView text, std::vector<QStringList>& records);
    // The end of the text: the last record may lack its line break.
    void finish(std::vector<QStringList>& records);

private:
    void endField();
    void endRecord(std::vector<QStringList>& records);

    QChar separator_;
    QStringList record_;
    QString field_;
    bool quoted_ = false;
    bool fieldStarted_ = false;  // the record has content, even if only an empty quoted field
    bool afterCr_ = false;       // the last piece ended with a CR that ended a record
};

// The rows of a batch list: a header naming the columns JISUBRUX, ICO, RC, TYP, VARIANTA, ROK and
// optionally VYMERA in any order and case, then one applicant per line. Raises a Failure with a
// Czech description when the file cannot be read or the header lacks a column.
std::vector<BatchRow> readBatchList(const QString& path);
std::vector<BatchRow> parseBatchList(const QByteArray& bytes);

// A list read from its file a row at a time, so that a list of any length takes the same memory:
// opening reads it through once for its encoding and header and counts the rows; next() then gives
// them one by one. The file stays open, so a list saved anew meanwhile does not change the run.
class BatchList {
public:
    explicit BatchList(const QString& path);  // raises a Failure as readBatchList does
    BatchList(BatchList&&) noexcept;
    BatchList& operator=(BatchList&&) noexcept;
    ~BatchList();

    int size() const;
    // The next row of the list; false after the last one.
    bool next(BatchRow& row);

private:
    struct Reader;
    std::unique_ptr<Reader> d;
};

// What a list must hold, in one Czech sentence for the batch window.
inline const QString kBatchListColumns = QStringLiteral(
    "Seznam je soubor CSV se středníky: záhlaví JISUBRUX;ICO;RC;TYP;VARIANTA;ROK;VYMERA (v libovolném pořadí, "
    "VYMERA jen pro typ 6), pod ním jeden žadatel na řádek. Stačí jeden z identifikátorů; ROK je rok, nebo "
    "u typů 1 až 3 datum.");
// An example list as a spreadsheet of this region opens it: UTF-8 with a byte order mark, CR LF.
QByteArray exampleBatchList();

}  // namespace zorva::request
