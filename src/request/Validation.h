#pragma once
#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

namespace zorva::request {

// The validation messages, exactly as the users know them.
namespace msg {
inline const QString noUser =
    QStringLiteral("Identifikace uživatele není vyplněna !!\n\nNastavte ji v okně Nastavení… hlavního okna.");
inline const QString notADate = QStringLiteral("DATUM není datum !!");
inline const QString yearFormat = QStringLiteral("ROK není ve správném formátu !!");
inline const QString yearRange = QStringLiteral("ROK je mimo povolený rozsah !!");
inline const QString acreageMissing = QStringLiteral("Výměra musí být zadána !");
inline const QString acreageNotNumber = QStringLiteral("VYMERA není číslo !!");
inline const QString acreageNotPositive = QStringLiteral("Výměra musí být větší než 0 !");
}  // namespace msg

// A date as the user's regional settings read dates: the locale's own short and long forms (with a
// four-digit year as well as a two-digit one, which means 1930-2029), d.M.yyyy and ISO yyyy-MM-dd.
std::optional<QDate> readDate(const QString& text, const QLocale& locale = QLocale());
// The one rule every request obeys before anything else: the user's identification is set. The
// message, or empty when it is.
QString userCheck(const QString& user);

struct ValidationInput {
    QString type;     // first character of the selected calculation type, or "" when none
    QString year;     // txtROK
    QString acreage;  // txtVYMERA
};

struct ValidationResult {
    QString message;  // the first failing rule's message, empty when all pass
    QString year;     // txtROK as the request carries it (a date rewritten to dd.MM.yyyy)
    QString acreage;  // txtVYMERA after the checks (emptied for types other than 6)
    bool ok() const { return message.isEmpty(); }
};

// The date or year checks and the acreage checks, in order; the first failing rule wins.
ValidationResult validate(const ValidationInput& in, const QLocale& locale = QLocale());

}  // namespace zorva::request
