#include "request/Validation.h"

#include <QStringList>

#include "common/TypedNumbers.h"

namespace zorva::request {

namespace {

// Two-digit years as the regional settings of old read them: 30-99 is 19xx, 00-29 is 20xx.
QDate windowed(QDate d)
{
    if (d.isValid() && d.year() < 1930) d = d.addYears(100);
    return d;
}

QStringList dateFormats(const QLocale& locale)
{
    QStringList formats;
    for (QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QString f = locale.dateFormat(type);
        formats << f;
        QString four = f;
        if (!four.contains(QLatin1String("yyyy"))) four.replace(QLatin1String("yy"), QLatin1String("yyyy"));
        formats << four;
    }
    formats << QStringLiteral("d.M.yyyy") << QStringLiteral("d. M. yyyy") << QStringLiteral("d.M.yy")
            << QStringLiteral("yyyy-M-d");
    formats.removeDuplicates();
    return formats;
}

}  // namespace

std::optional<QDate> readDate(const QString& text, const QLocale& locale)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    for (const QString& format : dateFormats(locale)) {
        QDate d = locale.toDate(t, format);
        if (!d.isValid()) continue;
        if (!format.contains(QLatin1String("yyyy"))) d = windowed(d);
        return d;
    }
    return std::nullopt;
}

QString userCheck(const QString& user)
{
    return user.isEmpty() ? msg::noUser : QString();
}

ValidationResult validate(const ValidationInput& in, const QLocale& locale)
{
    ValidationResult r;
    r.year = in.year;
    r.acreage = in.acreage;
    const int type = in.type.isEmpty() ? 0 : in.type.at(0).digitValue();
    if (type < 4) {
        const auto date = readDate(in.year, locale);
        if (!date) {
            r.message = msg::notADate;
            return r;
        }
        r.year = date->toString(QStringLiteral("dd.MM.yyyy"));
    } else {
        const std::optional<double> year = yearAsTyped(in.year, locale);
        if (!year) {
            r.message = msg::yearFormat;
            return r;
        }
        if (*year < 2004 || *year > 2007) {
            r.message = msg::yearRange;
            return r;
        }
    }
    if (type == 6) {
        if (in.acreage.isEmpty()) {
            r.message = msg::acreageMissing;
            return r;
        }
        const std::optional<double> sent = acreageAsTyped(in.acreage, locale);
        if (!sent) {
            r.message = msg::acreageNotNumber;
            return r;
        }
        // The intensity is units per hectare: over no acreage the service reports 0 VDJ/ha, which
        // reads like a farm well within every limit.
        if (!(*sent > 0)) {
            r.message = msg::acreageNotPositive;
            return r;
        }
    } else {
        r.acreage.clear();
    }
    return r;
}

}  // namespace zorva::request
