#pragma once
#include <QByteArrayView>
#include <QLocale>
#include <QString>
#include <optional>

namespace zorva {

// A number as a person writes it: in the regional format (its digit grouping included), or with
// either "," or "." as the decimal sign, since figures reach the user with a point and the regional
// format may use a comma. Blanks around it are ignored; an empty text, anything else than one
// number, infinity and NaN give nothing.
std::optional<double> numberEitherSign(const QString& text, const QLocale& locale = QLocale());

// The leading-number parse: blanks, tabs and line feeds are skipped anywhere; an optional sign,
// digits, an optional "." with digits and an optional exponent (E or e, optional sign, digits) are
// read up to the first other character; "&H..." and "&O..." (either case) read a hexadecimal or
// octal integer. "." is the only decimal separator. An empty or non-numeric text gives 0.
double leadingNumber(const QString& text);

// The decimal sign of the user's regional settings (QLocale()).
QChar regionalDecimalSign();
// The characters that the normaliser turns into ".": the comma, and the regional decimal sign,
// whatever it is, so that a figure written under the regional settings always reads back.
struct DecimalSigns {
    QChar regional = regionalDecimalSign();
    bool contains(QChar c) const { return c == QLatin1Char(',') || c == regional; }
};
// A figure as the service writes it ("8.4", "-0.031") with the given decimal sign instead of the
// point, for showing; any other text (a whole number, a date, words) as it is.
QString shownFigure(const QString& text, QChar decimalSign = regionalDecimalSign());
// Every decimal sign of the text turned into ".".
void pointDecimalSigns(QString& text, DecimalSigns signs = {});
// The leading-number parse of a text as the normaliser leaves it: every decimal sign read as ".",
// blanks skipped. The same as leadingNumber(CisloSTeckou(text)), without the intermediate texts.
double leadingNumberOfNormalised(QStringView text, DecimalSigns signs = {});
// Whether the parse reads the whole text (blanks aside) as one number within the range of a double:
// "12", "1 200", "-3E2", and with `signs` also "1,5"; not "", "12ks", "abc", "&H10", "1E999".
bool readsWhole(QStringView text, const DecimalSigns* signs = nullptr);
// A number as its 15-digit general text reads back: what leadingNumber(generalText(x)) gives.
double roundTo15Digits(double value);

// The general text of a number: at most 15 significant digits, no grouping, no trailing zeros, the
// given decimal separator; scientific form ("1.5E+20", "1E-07") only when the decimal exponent is
// 15 or more or below -6... see NumberText.cpp for the exact rule. Infinity and NaN never reach here
// from our parsers; they are written as "0".
QString generalText(double value, QChar decimalPoint = QLatin1Char('.'));
// The general text with "." as ASCII characters, for writing straight into a document.
struct NumberChars {
    char text[32];
    int size = 0;
    QByteArrayView view() const { return QByteArrayView(text, size); }
};
NumberChars generalChars(double value);
// The same with the separator of the user's regional settings (QLocale()).
QString generalTextLocal(double value);

// A number formatted with a fixed number of decimals (pattern "0.00000" is 5): at least one integer
// digit, no grouping, rounded half away from zero after rounding the value to 15 significant digits,
// with the given decimal separator.
QString fixedText(double value, int decimals, QChar decimalPoint);
// Units text: pattern "0.00000" with the user's decimal separator.
QString unitsText(double value);

}  // namespace zorva
