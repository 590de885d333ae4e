#include "common/NumberText.h"

#include <locale.h>
#include <QVarLengthArray>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "common/ErrorTexts.h"
#include "common/Failure.h"

namespace zorva {

namespace {

bool isSkipped(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// Integer in the given radix after "&H" / "&O"; reading stops at the first other character.
double radixNumber(const QString& s, int start, int radix)
{
    double value = 0;
    for (int i = start; i < s.size(); ++i) {
        int digit = -1;
        const QChar c = s.at(i).toUpper();
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) digit = c.unicode() - '0';
        else if (radix == 16 && c >= QLatin1Char('A') && c <= QLatin1Char('F')) digit = c.unicode() - 'A' + 10;
        if (digit < 0 || digit >= radix) break;
        value = value * radix + digit;
    }
    // A few hundred digits pass the largest double; an infinity must not leave the parse (it would
    // reach the calculation and the written response), so it overflows like a decimal text does.
    if (std::isinf(value)) throw failure(err::Overflow);
    return value;
}

// Powers of ten that a double holds exactly.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9, 1e10,
                                   1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20};

// The value as 15 significant decimal digits: sign, digits "ddddddddddddddd" and the decimal
// exponent of the first digit. Rounding to 15 digits first is what makes 3 x 0.15 print as 0.45.
struct Decimal15 {
    bool negative = false;
    char digits[15] = {};  // exactly 15 digits, first non-zero unless the value is 0
    int exponent = 0;
    bool zero() const
    {
        return std::all_of(digits, digits + 15, [](char c) { return c == '0'; });
    }
};

// Reads "d.ddd...e[+-]xx" (the form of to_chars in scientific format) into `d`; false when it has
// more than 15 digits.
bool readScientific(const char* p, const char* end, Decimal15& d)
{
    if (p != end && *p == '-') {
        d.negative = true;
        ++p;
    }
    int n = 0;
    for (; p != end && *p != 'e'; ++p) {
        if (*p < '0' || *p > '9') continue;
        if (n == 15) return false;
        d.digits[n++] = *p;
    }
    std::fill(d.digits + n, d.digits + 15, '0');
    if (p != end && *p == 'e') {
        ++p;
        if (p != end && *p == '+') ++p;
        std::from_chars(p, end, d.exponent);
    }
    return true;
}

// The value when it is the double nearest to a decimal of at most 15 significant digits (what
// counts times coefficients and sums of units give): rounding it to 15 digits yields exactly that
// decimal, since a double is finer than 15 digits everywhere. r / 10^k is correctly rounded, so the
// comparison proves it.
bool shortDecimal(double value, Decimal15& d)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-5 && magnitude < 1e15)) return false;
    for (int k = 0; k <= 20; ++k) {
        const double scaled = magnitude * kPowersOfTen[k];
        if (scaled >= 1e15) return false;
        const double r = std::nearbyint(scaled);
        if (r / kPowersOfTen[k] != magnitude) continue;
        char buf[24];
        const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(r)).ptr;
        const int n = int(end - buf);
        if (n > 15) return false;
        d.negative = value < 0;
        std::memcpy(d.digits, buf, size_t(n));
        std::fill(d.digits + n, d.digits + 15, '0');
        d.exponent = n - 1 - k;
        return true;
    }
    return false;
}

Decimal15 toDecimal15(double value)
{
    Decimal15 d;
    if (shortDecimal(value, d)) return d;
    char buf[64];
    // The shortest text that reads back as the value: when it has at most 15 digits, rounding the
    // value to 15 digits gives exactly those digits (a double is finer than 15 digits everywhere),
    // and this is much cheaper than asking for 15 digits.
    auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    if (!readScientific(buf, result.ptr, d)) {
        // Correctly rounded like printf("%.14e"), without the cost of the formatted-output machinery.
        d = Decimal15();
        result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
        readScientific(buf, result.ptr, d);
    }
    if (d.zero()) d.negative = false;
    return d;
}

}  // namespace

namespace {

// Reads a decimal number text (sign, digits, ".", digits, "e", sign, digits) the same way under every
// C locale: the process's locale may use a decimal comma, which strtod would honour.
double decimalValue(const char* first, const char* last)
{
    if (first != last && *first == '+') ++first;
    double value = 0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond the range of a double. strtod in the C locale tells overflow (a failure) from a
        // value too small to hold exactly (read as the nearest one, as before).
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        const std::string text(first, last);
        errno = 0;
        value = strtod_l(text.c_str(), nullptr, c);
        if (std::isinf(value) || (errno == ERANGE && std::fabs(value) > 1.0)) throw failure(err::Overflow);
        return value;
    }
    if (result.ec != std::errc() || std::isinf(value)) throw failure(err::Overflow);
    return value;
}

// The common plain texts ("123", "-4,20000") read directly: digits with at most one point and at
// most 15 digits in all form an integer below 2^53 and a power of ten that are both exact, so their
// quotient is the correctly rounded value, the same that the general reading gives.
std::optional<double> plainDecimal(QStringView text, const DecimalSigns* signs)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) negative = text[i++] == QLatin1Char('-');
    long long mantissa = 0;
    int digits = 0, decimals = -1;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            if (++digits > 15) return std::nullopt;
            mantissa = mantissa * 10 + (c - u'0');
            if (decimals >= 0) ++decimals;
        } else if ((c == u'.' || (signs && signs->contains(text[i]))) && decimals < 0) {
            decimals = 0;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) return std::nullopt;
    const double value = double(mantissa) / kPowersOfTen[decimals > 0 ? decimals : 0];
    return value == 0 ? 0.0 : (negative ? -value : value);
}

// The text as the parse sees it: blanks, tabs and line feeds left out wherever they stand, the
// decimal signs of `signs` read as ".", anything beyond ASCII as a character no number holds.
using ParsedChars = QVarLengthArray<char, 64>;
ParsedChars parsedChars(QStringView text, const DecimalSigns* signs)
{
    ParsedChars s;
    for (QChar c : text) {
        if (isSkipped(c)) continue;
        if (signs && signs->contains(c)) c = QLatin1Char('.');
        s.push_back(c.unicode() < 128 ? char(c.unicode()) : '\x7f');
    }
    return s;
}

// The length of the longest prefix of the shape sign, digits, ".", digits, exponent; 0 when it
// holds no digit.
qsizetype numberPrefix(const ParsedChars& s)
{
    const qsizetype n = s.size();
    auto ch = [&](qsizetype k) { return k < n ? s[k] : '\0'; };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    qsizetype i = 0;
    if (ch(i) == '+' || ch(i) == '-') ++i;
    bool digits = false;
    while (digit(ch(i))) {
        ++i;
        digits = true;
    }
    if (ch(i) == '.') {
        ++i;
        while (digit(ch(i))) {
            ++i;
            digits = true;
        }
    }
    if (!digits) return 0;
    const char e = ch(i);
    if (e == 'E' || e == 'e') {
        qsizetype j = i + 1;
        if (ch(j) == '+' || ch(j) == '-') ++j;
        bool expDigits = false;
        while (digit(ch(j))) {
            ++j;
            expDigits = true;
        }
        if (expDigits) { i = j; }
    }
    return i;
}

// `signs`: the decimal signs read as "." besides the point itself; none for the plain parse.
double parseLeading(QStringView text, const DecimalSigns* signs)
{
    if (const std::optional<double> plain = plainDecimal(text, signs)) return *plain;

    const ParsedChars s = parsedChars(text, signs);
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = char(std::toupper(static_cast<unsigned char>(s[1])));
        const QString rest = QString::fromLatin1(s.data(), s.size());
        if (kind == 'H') return radixNumber(rest, 2, 16);
        if (kind == 'O') return radixNumber(rest, 2, 8);
        return 0;
    }
    // The number is read in place.
    const qsizetype i = numberPrefix(s);
    if (i == 0) return 0;
    const double value = decimalValue(s.data(), s.data() + i);
    return value == 0 ? 0.0 : value;  // never a negative zero
}

}  // namespace

double leadingNumber(const QString& text)
{
    return parseLeading(text, nullptr);
}

QChar regionalDecimalSign()
{
    return QLocale().decimalPoint().at(0);
}

QString shownFigure(const QString& text, QChar decimalSign)
{
    // Digits, one point, digits: nothing else is a figure to convert.
    const int start = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    const int point = text.indexOf(QLatin1Char('.'));
    if (point <= start || point == text.size() - 1) return text;
    for (int i = start; i < text.size(); ++i)
        if (i != point && !(text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))) return text;
    QString shown = text;
    shown[point] = decimalSign;
    return shown;
}

void pointDecimalSigns(QString& text, DecimalSigns signs)
{
    for (QChar& c : text)
        if (signs.contains(c)) c = QLatin1Char('.');
}

double leadingNumberOfNormalised(QStringView text, DecimalSigns signs)
{
    return parseLeading(text, &signs);
}

bool readsWhole(QStringView text, const DecimalSigns* signs)
{
    if (plainDecimal(text, signs)) return true;
    const ParsedChars s = parsedChars(text, signs);
    // "&H.." and "&O.." are read, but as something else than what a person reads in them.
    if (s.isEmpty() || s[0] == '&') return false;
    const qsizetype i = numberPrefix(s);
    if (i != s.size()) return false;
    try {
        decimalValue(s.data(), s.data() + i);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

double roundTo15Digits(double value)
{
    if (!std::isfinite(value)) return 0;
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) return value == 0 ? 0.0 : value;
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific, 14);
    *result.ptr = '\0';
    double rounded = 0;
    std::from_chars(buf, result.ptr, rounded);
    return rounded == 0 ? 0.0 : rounded;
}

namespace {

// The general text into `out` (at least 32 characters): at most 1 sign, 15 digits, a point, and
// either "E+308" or "0." with six zeros.
int writeGeneral(double value, char dp, char* out)
{
    char* p = out;
    if (!std::isfinite(value) || value == 0) {
        *p++ = '0';
        return int(p - out);
    }
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        // A whole number of at most 15 digits is its own general text: the usual count.
        return int(std::to_chars(p, p + 24, static_cast<long long>(value)).ptr - out);
    }
    const Decimal15 d = toDecimal15(value);
    int length = 15;
    while (length > 1 && d.digits[length - 1] == '0') --length;
    const char* digits = d.digits;
    const int e = d.exponent;
    if (d.negative) *p++ = '-';
    auto put = [&](const char* from, int count) {
        std::memcpy(p, from, size_t(count));
        p += count;
    };
    if (e >= 15 || e < -6) {
        // Scientific form, as the classic general format writes very large and very small values.
        *p++ = digits[0];
        if (length > 1) {
            *p++ = dp;
            put(digits + 1, length - 1);
        }
        p += std::snprintf(p, 8, "E%c%02d", e < 0 ? '-' : '+', e < 0 ? -e : e);
    } else if (e < 0) {
        *p++ = '0';
        *p++ = dp;
        for (int i = 0; i < -e - 1; ++i) *p++ = '0';
        put(digits, length);
    } else if (length <= e + 1) {
        put(digits, length);
        for (int i = 0; i < e + 1 - length; ++i) *p++ = '0';
    } else {
        put(digits, e + 1);
        *p++ = dp;
        put(digits + e + 1, length - (e + 1));
    }
    return int(p - out);
}

}  // namespace

NumberChars generalChars(double value)
{
    NumberChars chars;
    chars.size = writeGeneral(value, '.', chars.text);
    return chars;
}

QString generalText(double value, QChar decimalPoint)
{
    if (!std::isfinite(value) || value == 0) return QStringLiteral("0");
    const bool ascii = decimalPoint.unicode() < 128;
    char buffer[32];
    const int size = writeGeneral(value, ascii ? char(decimalPoint.unicode()) : '.', buffer);
    QString text = QString::fromLatin1(buffer, size);
    if (!ascii) text.replace(QLatin1Char('.'), decimalPoint);
    return text;
}

QString generalTextLocal(double value)
{
    return generalText(value, regionalDecimalSign());
}

QString fixedText(double value, int decimals, QChar decimalPoint)
{
    if (!std::isfinite(value)) value = 0;
    if (decimals < 0) decimals = 0;
    const Decimal15 d = toDecimal15(value);
    // The 15 digits are an integer D scaled by 10^(exponent-14); scaled by 10^decimals that is
    // D x 10^k. Cutting digits off the right rounds half away from zero on the magnitude.
    const int k = d.exponent - 14 + decimals;
    // The digits of the result, with room in front for a carry and for the padding zeros.
    const int room = 1 + decimals + 1 + 15 + std::max(k, 0);
    QVarLengthArray<char, 512> buffer(room);
    char* const end = buffer.data() + room;
    char* n = end;  // the digits are n .. end
    if (d.zero() || -k > 15) {
        *--n = '0';
    } else if (k >= 0) {
        n -= 15 + k;
        std::memcpy(n, d.digits, 15);
        std::memset(n + 15, '0', size_t(k));
    } else {
        const int keep = 15 + k;
        n -= keep;
        std::memcpy(n, d.digits, size_t(keep));
        const bool up = d.digits[keep] >= '5';
        if (keep == 0) *--n = '0';
        if (up) {
            char* i = end - 1;
            while (i >= n && *i == '9') *i-- = '0';
            if (i < n) *--n = '1';
            else ++*i;
        }
    }
    // Strip leading zeros, then pad so that there is at least one integer digit.
    while (n < end - 1 && *n == '0') ++n;
    const bool isZero = end - n == 1 && *n == '0';
    while (end - n < decimals + 1) *--n = '0';
    const int integerDigits = int(end - n) - decimals;
    // The text is built as ASCII ("." as the point) and converted once.
    QVarLengthArray<char, 512> text;
    if (d.negative && !isZero) text.append('-');
    text.append(n, integerDigits);
    if (decimals > 0) {
        text.append('.');
        text.append(n + integerDigits, decimals);
    }
    QString out = QString::fromLatin1(text.data(), text.size());
    if (decimals > 0 && decimalPoint != QLatin1Char('.')) out[out.size() - decimals - 1] = decimalPoint;
    return out;
}

QString unitsText(double value)
{
    return fixedText(value, 5, regionalDecimalSign());
}

std::optional<double> numberEitherSign(const QString& text, const QLocale& locale)
{
    QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    // A regional format that groups with a (non-breaking) space also takes an ordinary space there,
    // since that is what a user types.
    const QString group = locale.groupSeparator();
    if (group == QStringLiteral("\u00a0") || group == QStringLiteral("\u202f") || group == QStringLiteral(" ")) {
        for (QChar& c : t)
            if (c == QLatin1Char(' ') || c == QChar(0x00a0) || c == QChar(0x202f)) c = group.at(0);
    }
    bool ok = false;
    double value = locale.toDouble(t, &ok);
    if (!ok) {
        // Either decimal sign, without grouping.
        QString plain = t;
        plain.replace(QLatin1Char(','), QLatin1Char('.'));
        value = QLocale::c().toDouble(plain, &ok);
    }
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace zorva
