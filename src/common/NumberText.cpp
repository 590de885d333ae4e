#include "common/NumberText.h"

#include <charconv>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Failure.h"

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
    if (std::isinf(value)) throw Failure(6, QStringLiteral("Přetečení (Overflow)"));
    return value;
}

// The value as 15 significant decimal digits: sign, digits "ddddddddddddddd" and the decimal
// exponent of the first digit. Rounding to 15 digits first is what makes 3 x 0.15 print as 0.45.
struct Decimal15 {
    bool negative = false;
    std::string digits;   // exactly 15 digits, first non-zero unless the value is 0
    int exponent = 0;
    bool zero() const { return digits.find_first_not_of('0') == std::string::npos; }
};

Decimal15 toDecimal15(double value)
{
    Decimal15 d;
    char buf[64];
    // Correctly rounded like printf("%.14e"), without the cost of the formatted-output machinery.
    const auto result = std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific, 14);
    *result.ptr = '\0';
    const char* p = buf;
    if (*p == '-') { d.negative = true; ++p; }
    d.digits.reserve(15);
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    if (*p == 'e') d.exponent = std::atoi(p + 1);
    if (d.zero()) d.negative = false;
    return d;
}

}  // namespace

namespace {

double parseLeading(QStringView text, bool commaIsPoint)
{
    // One pass over the text: blanks, tabs and line feeds are skipped wherever they stand.
    std::string s;
    s.reserve(size_t(text.size()));
    for (QChar c : text) {
        if (isSkipped(c)) continue;
        if (commaIsPoint && c == QLatin1Char(',')) c = QLatin1Char('.');
        s.push_back(c.unicode() < 128 ? char(c.unicode()) : '\x7f');
    }

    if (s.size() >= 2 && s[0] == '&') {
        const char kind = char(std::toupper(static_cast<unsigned char>(s[1])));
        const QString rest = QString::fromLatin1(s.c_str());
        if (kind == 'H') return radixNumber(rest, 2, 16);
        if (kind == 'O') return radixNumber(rest, 2, 8);
        return radixNumber(rest, 1, 8);
    }

    std::string number;
    size_t i = 0;
    const size_t n = s.size();
    auto ch = [&](size_t k) { return k < n ? s[k] : '\0'; };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (ch(i) == '+' || ch(i) == '-') number.push_back(ch(i++));
    bool digits = false;
    while (digit(ch(i))) { number.push_back(ch(i++)); digits = true; }
    if (ch(i) == '.') {
        number.push_back('.');
        ++i;
        while (digit(ch(i))) { number.push_back(ch(i++)); digits = true; }
    }
    if (!digits) return 0;
    const char e = ch(i);
    if (e == 'E' || e == 'e' || e == 'D' || e == 'd') {
        size_t j = i + 1;
        std::string exponent = "e";
        if (ch(j) == '+' || ch(j) == '-') exponent.push_back(ch(j++));
        bool expDigits = false;
        while (digit(ch(j))) { exponent.push_back(ch(j++)); expDigits = true; }
        if (expDigits) number += exponent;
    }
    errno = 0;
    const double value = std::strtod(number.c_str(), nullptr);
    if (std::isinf(value) || (errno == ERANGE && std::fabs(value) > 1.0))
        throw Failure(6, QStringLiteral("Přetečení (Overflow)"));
    return value == 0 ? 0.0 : value;   // never a negative zero
}

}  // namespace

double leadingNumber(const QString& text)
{
    return parseLeading(text, false);
}

double leadingNumberOfNormalised(QStringView text)
{
    return parseLeading(text, true);
}

double roundTo15Digits(double value)
{
    if (!std::isfinite(value)) return 0;
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific, 14);
    *result.ptr = '\0';
    const double rounded = std::strtod(buf, nullptr);
    return rounded == 0 ? 0.0 : rounded;
}

QString generalText(double value, QChar decimalPoint)
{
    if (!std::isfinite(value) || value == 0) return QStringLiteral("0");
    const Decimal15 d = toDecimal15(value);
    std::string digits = d.digits;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int e = d.exponent;
    std::string out;
    if (d.negative) out.push_back('-');
    const char dp = char(decimalPoint.unicode());
    if (e >= 15 || e < -6) {
        // Scientific form, as the classic general format writes very large and very small values.
        out.push_back(digits[0]);
        if (digits.size() > 1) { out.push_back(dp); out.append(digits, 1, std::string::npos); }
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", e < 0 ? '-' : '+', e < 0 ? -e : e);
        out += exp;
    } else if (e < 0) {
        out += "0";
        out.push_back(dp);
        out.append(size_t(-e - 1), '0');
        out += digits;
    } else {
        if (int(digits.size()) <= e + 1) {
            out += digits;
            out.append(size_t(e + 1 - int(digits.size())), '0');
        } else {
            out.append(digits, 0, size_t(e + 1));
            out.push_back(dp);
            out.append(digits, size_t(e + 1), std::string::npos);
        }
    }
    if (decimalPoint.unicode() > 127) {
        QString q = QString::fromLatin1(out.c_str());
        return q.replace(QLatin1Char(dp), decimalPoint);
    }
    return QString::fromLatin1(out.c_str());
}

QString generalTextLocal(double value)
{
    return generalText(value, QLocale().decimalPoint().at(0));
}

QString fixedText(double value, int decimals, QChar decimalPoint)
{
    if (!std::isfinite(value)) value = 0;
    const Decimal15 d = toDecimal15(value);
    // The 15 digits are an integer D scaled by 10^(exponent-14); scaled by 10^decimals that is
    // D x 10^k. Cutting digits off the right rounds half away from zero on the magnitude.
    const int k = d.exponent - 14 + decimals;
    std::string n;
    if (d.zero()) {
        n = "0";
    } else if (k >= 0) {
        n = d.digits + std::string(size_t(k), '0');
    } else if (-k > 15) {
        n = "0";
    } else {
        const int keep = 15 + k;
        n = d.digits.substr(0, size_t(keep));
        const bool up = d.digits[size_t(keep)] >= '5';
        if (n.empty()) n = "0";
        if (up) {
            int i = int(n.size()) - 1;
            while (i >= 0 && n[size_t(i)] == '9') n[size_t(i--)] = '0';
            if (i < 0) n.insert(n.begin(), '1');
            else ++n[size_t(i)];
        }
    }
    // Strip leading zeros, then pad so that there is at least one integer digit.
    const size_t first = n.find_first_not_of('0');
    n = first == std::string::npos ? std::string("0") : n.substr(first);
    const bool isZero = n == "0";
    if (int(n.size()) < decimals + 1) n.insert(0, size_t(decimals + 1 - int(n.size())), '0');
    QString out;
    if (d.negative && !isZero) out += QLatin1Char('-');
    out += QString::fromLatin1(n.c_str(), int(n.size() - size_t(decimals)));
    if (decimals > 0) {
        out += decimalPoint;
        out += QString::fromLatin1(n.c_str() + (n.size() - size_t(decimals)));
    }
    return out;
}

QString unitsText(double value)
{
    return fixedText(value, 5, QLocale().decimalPoint().at(0));
}

}  // namespace zorva
