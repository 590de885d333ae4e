// The number routines: the leading-number parse, the general and fixed texts, FormatujCislo and
// CisloSTeckou. Properties: no crash and no undefined behaviour on any text or value; the general
// text of a finite value reads back as the value rounded to 15 significant digits (or overflows
// with error 6 when that rounding passes the largest double); a fixed text has exactly the asked
// decimals and one integer digit at least.
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FuzzSupport.h"
#include "common/Failure.h"
#include "common/ModAll.h"
#include "common/NumberText.h"

using namespace zorva;

namespace {

double rounded15(double x)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", x);
    return std::strtod(buf, nullptr);
}

// The parse, with its one expected failure (overflow) turned into "no value".
std::optional<double> parsed(const QString& text)
{
    try {
        return leadingNumber(text);
    } catch (const Failure& f) {
        ZORVA_FUZZ_CHECK(f.number() == 6, f.text() + QLatin1Char('\n') + text);
        return std::nullopt;
    }
}

void checkGeneral(double x)
{
    const QString text = generalText(x);
    if (!std::isfinite(x)) {
        ZORVA_FUZZ_CHECK(text == QLatin1String("0"), text);
        return;
    }
    const double expected = rounded15(x);
    const auto back = parsed(text);
    if (std::isinf(expected)) {
        ZORVA_FUZZ_CHECK(!back, text);
        return;
    }
    ZORVA_FUZZ_CHECK(back && *back == expected, text + QStringLiteral(" read back as ") +
                                                    QString::number(back.value_or(NAN), 'g', 17) +
                                                    QStringLiteral(", expected ") + QString::number(expected, 'g', 17));
    // The same through CisloSTeckou, as the write-back uses it, with the Czech decimal comma.
    const QString viaVariant = CisloSTeckou(QVariant(x));
    ZORVA_FUZZ_CHECK(viaVariant == text, viaVariant + QStringLiteral(" / ") + text);
}

void checkFixed(double x, int decimals)
{
    const QString text = fixedText(x, decimals, QLatin1Char(','));
    static const QRegularExpression shape[] = {QRegularExpression(QStringLiteral("^-?[0-9]+$")),
                                               QRegularExpression(QStringLiteral("^-?[0-9]+,([0-9]+)$"))};
    const auto m = shape[decimals > 0 ? 1 : 0].match(text);
    ZORVA_FUZZ_CHECK(m.hasMatch() && (decimals == 0 || m.captured(1).size() == decimals),
                     text + QStringLiteral(" decimals ") + QString::number(decimals));
    (void)unitsText(x);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The bytes as a text, both as Latin-1 and as UTF-8.
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& text : {QString::fromLatin1(bytes), QString::fromUtf8(bytes)}) {
        if (const auto v = parsed(text)) {
            ZORVA_FUZZ_CHECK(std::isfinite(*v), text);
            ZORVA_FUZZ_CHECK(!std::signbit(*v) || *v != 0, text);  // never a negative zero
            checkGeneral(*v);
        }
        const QString request = FormatujCislo(QVariant(text), true, false);
        ZORVA_FUZZ_CHECK(!request.contains(QLatin1Char(',')) && !request.contains(QLatin1Char(' ')) &&
                             !request.contains(QChar(0x00A0)),
                         request);
        (void)FormatujCislo(QVariant(text), false, true);
        const QString dotted = CisloSTeckou(QVariant(text));
        ZORVA_FUZZ_CHECK(!dotted.contains(QLatin1Char(',')) && !dotted.contains(QLatin1Char(' ')), dotted);
        (void)parsed(dotted);
    }
    // The bytes as doubles: every bit pattern, infinities and not-a-numbers included.
    for (size_t at = 0; at + sizeof(double) <= size; at += sizeof(double)) {
        double x;
        std::memcpy(&x, data + at, sizeof x);
        checkGeneral(x);
        checkFixed(x, int(data[at] % 16));
        (void)FormatujCislo(QVariant(x), false, false);
    }
    return 0;
}
