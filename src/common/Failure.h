#pragma once
#include <QString>
#include <stdexcept>

namespace zorva {

// A failure as the user sees it: an error number and a description, shown as "number-description".
// Every layer raises this one type, so that a handler can report any failure in the same form and
// the skip-on-failure stretches can skip exactly the one step that failed.
class Failure : public std::runtime_error {
public:
    Failure(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number), description_(description)
    {
    }

    int number() const { return number_; }
    const QString& description() const { return description_; }
    QString text() const { return QString::number(number_) + QLatin1Char('-') + description_; }

private:
    int number_;
    QString description_;
};

// Error numbers, chosen after the classic run-time numbering so that messages look familiar.
namespace err {
inline constexpr int Overflow = 6;         // a number beyond what a double or its text can hold
inline constexpr int DivisionByZero = 11;  // a yearly average over no counted row
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileName = 52;  // a name the file system refuses (too long)
inline constexpr int DeviceIo = 57;     // the device failed to read or write
inline constexpr int FileNotFound = 53;
inline constexpr int FileAlreadyExists = 58;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int ObjectVariableNotSet = 91;  // an object that was never set (the response document)
inline constexpr int ObjectRequired = 424;
inline constexpr int PrinterError = 482;          // a page the PDF printing could not load or print
inline constexpr int XmlSelection = -2147467259;  // an unevaluable selection pattern
inline constexpr int XmlWrite = -2147024809;      // a write to a node that does not exist
inline constexpr int HttpFailure = -2146697211;   // the request could not reach the server
inline constexpr int DatabaseFailure = 3000;      // a statement or file operation of the working database
inline constexpr int FieldTooLong = 3163;         // a text longer than its TEXT(n) column
inline constexpr int DataTypeConversion = 3421;   // a text that a DOUBLE column cannot convert
inline constexpr int NoSuchColumn = 3265;         // a column name the table does not have
inline constexpr int NoCurrentRecord = 3021;      // past the end or before the start of the rows
}  // namespace err

}  // namespace zorva
