#include "common/TypedNumbers.h"

#include "common/ModAll.h"
#include "common/NumberText.h"

namespace zorva {

std::optional<double> yearAsTyped(const QString& text, const QLocale& locale)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    bool ok = false;
    locale.toDouble(t, &ok);
    if (!ok) return std::nullopt;
    try {
        return leadingNumber(text);
    } catch (const std::exception&) {
        return 0.0;
    }
}

std::optional<double> acreageAsTyped(const QString& text, const QLocale& locale)
{
    const std::optional<double> sent = documentNumber(FormatujCislo(text, true, false));
    if (!sent || !numberEitherSign(text, locale)) return std::nullopt;
    return sent;
}

std::optional<double> documentNumber(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok) return std::nullopt;
    return value;
}

}  // namespace zorva
