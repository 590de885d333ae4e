#include "platform/TextCollation.h"

#include <sqlite3.h>
#include <unicode/ucol.h>
#include <unicode/uloc.h>
#include <unicode/ustring.h>
#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <memory>

#include "common/Failure.h"
#include "platform/JetSql.h"

namespace zorva::db::detail {

namespace {

constexpr int kGeneralLanguage = 0x0409;

int compareText(void* collator, int length1, const void* text1, int length2, const void* text2)
{
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r =
        ucol_strcollUTF8(static_cast<const UCollator*>(collator), static_cast<const char*>(text1), length1,
                         static_cast<const char*>(text2), length2, &status);
    if (U_SUCCESS(status) && r != UCOL_EQUAL) return r == UCOL_LESS ? -1 : 1;
    // Texts that the language rules hold equal still get one fixed order, or an index and a sort
    // could disagree about them.
    const int common = std::min(length1, length2);
    const int bytes = common > 0 ? std::memcmp(text1, text2, static_cast<size_t>(common)) : 0;
    if (bytes != 0) return bytes < 0 ? -1 : 1;
    return length1 < length2 ? -1 : (length1 > length2 ? 1 : 0);
}

// The same order for texts kept as UTF-16, as the working databases keep them: equal keys by code
// point, which is the order of their UTF-8 bytes.
int compareText16(void* collator, int length1, const void* text1, int length2, const void* text2)
{
    const auto* a = static_cast<const UChar*>(text1);
    const auto* b = static_cast<const UChar*>(text2);
    const int32_t n1 = length1 / int(sizeof(UChar));
    const int32_t n2 = length2 / int(sizeof(UChar));
    const UCollationResult r = ucol_strcoll(static_cast<const UCollator*>(collator), a, n1, b, n2);
    if (r != UCOL_EQUAL) return r == UCOL_LESS ? -1 : 1;
    const int32_t byCodePoint = u_strCompare(a, n1, b, n2, true);
    return byCodePoint < 0 ? -1 : (byCodePoint > 0 ? 1 : 0);
}

void closeCollator(void* collator)
{
    ucol_close(static_cast<UCollator*>(collator));
}

}  // namespace

int languageIdOf(const QString& locale)
{
    static const QRegularExpression langId(QStringLiteral(R"(LANGID\s*=\s*(0x[0-9A-Fa-f]+|\d+))"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = langId.match(locale);
    if (!m.hasMatch()) return kGeneralLanguage;
    bool ok = false;
    const QString text = m.captured(1);
    const int id =
        text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16) : text.toInt(&ok, 10);
    return ok && id > 0 ? id : kGeneralLanguage;
}

void registerTextCollation(sqlite3* handle, int languageId)
{
    if (!handle) throw Failure(err::DatabaseFailure, QStringLiteral("Databázové spojení není otevřeno."));
    char localeName[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_getLocaleForLCID(static_cast<uint32_t>(languageId), localeName, sizeof localeName, &status);
    if (U_FAILURE(status)) localeName[0] = '\0';  // the root order serves an unknown language
    status = U_ZERO_ERROR;
    std::unique_ptr<UCollator, void (*)(UCollator*)> collator(ucol_open(localeName, &status), ucol_close);
    if (U_FAILURE(status) || !collator)
        throw Failure(
            err::DatabaseFailure,
            QStringLiteral("Řazení textu pro jazyk 0x%1 nelze připravit.").arg(languageId, 4, 16, QLatin1Char('0')));
    // Composed and decomposed forms of a letter compare alike.
    ucol_setAttribute(collator.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    // Once registered, the collator belongs to the connection, which closes it when it closes; a
    // failed registration leaves it with us. The UTF-16 form shares it and leaves it to the UTF-8 one.
    int rc = sqlite3_create_collation_v2(handle, kTextCollation, SQLITE_UTF16, collator.get(), compareText16, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_create_collation_v2(handle, kTextCollation, SQLITE_UTF8, collator.get(), compareText,
                                         closeCollator);
        if (rc != SQLITE_OK)
            sqlite3_create_collation_v2(handle, kTextCollation, SQLITE_UTF16, nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK)
        throw Failure(
            err::DatabaseFailure,
            QStringLiteral("Řazení textu nelze zaregistrovat: %1").arg(QString::fromUtf8(sqlite3_errstr(rc))));
    collator.release();
}

}  // namespace zorva::db::detail
