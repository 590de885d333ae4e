#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/Failure.h"
#include "common/ModAll.h"
#include "common/NumberText.h"

using namespace zorva;

struct ParseCase {
    const char* text;
    double value;
};

class LeadingNumber : public ::testing::TestWithParam<ParseCase> {};

TEST_P(LeadingNumber, ReadsTheLeadingNumber)
{
    const auto& c = GetParam();
    EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumber,
    ::testing::Values(ParseCase{"", 0}, ParseCase{"abc", 0}, ParseCase{"12", 12}, ParseCase{"12.5", 12.5},
                      ParseCase{"12,5", 12}, ParseCase{"1 200", 1200}, ParseCase{" \t1\n2 3", 123},
                      ParseCase{"12ks", 12}, ParseCase{"-3", -3}, ParseCase{"+4.5", 4.5}, ParseCase{".5", 0.5},
                      ParseCase{"-.5", -0.5}, ParseCase{"5.", 5}, ParseCase{"1E3", 1000}, ParseCase{"1e-2", 0.01},
                      ParseCase{"2D2", 2}, ParseCase{"1E", 1}, ParseCase{"1E+", 1}, ParseCase{"-", 0},
                      ParseCase{".", 0}, ParseCase{"&H1F", 31}, ParseCase{"&hff", 255}, ParseCase{"&O17", 15},
                      ParseCase{"&H", 0}, ParseCase{"&HG", 0}, ParseCase{"007", 7},
                      ParseCase{"0.8333333333333334", 0.8333333333333334}, ParseCase{"1E308", 1e308},
                      ParseCase{"99999999999999999999", 1e20}, ParseCase{"-0", 0}, ParseCase{"NaN", 0},
                      ParseCase{"Infinity", 0}, ParseCase{"1.2.3", 1.2}, ParseCase{"1e-400", 0}));

TEST(LeadingNumberOverflow, RaisesInsteadOfInfinity)
{
    EXPECT_THROW(leadingNumber(QStringLiteral("1E400")), Failure);
    EXPECT_THROW(leadingNumber(QStringLiteral("-1E999")), Failure);
}

// Found by fuzzing: a hexadecimal or octal text of a few hundred digits came back as infinity.
TEST(LeadingNumberOverflow, LongHexadecimalAndOctalTextsOverflowToo)
{
    for (const QString& text : {QStringLiteral("&H") + QString(300, QLatin1Char('F')),
                                QStringLiteral("&O") + QString(400, QLatin1Char('7'))}) {
        try {
            const double v = leadingNumber(text);
            ADD_FAILURE() << "no overflow for " << text.left(8).toStdString() << ": " << v;
        } catch (const Failure& f) {
            EXPECT_EQ(f.number(), 6);
        }
    }
    // The longest hexadecimal text that still fits is read.
    EXPECT_TRUE(std::isfinite(leadingNumber(QStringLiteral("&H") + QString(255, QLatin1Char('F')))));
}

TEST(LeadingNumberSign, NegativeZeroIsZero)
{
    EXPECT_FALSE(std::signbit(leadingNumber(QStringLiteral("-0"))));
}

struct GeneralCase {
    double value;
    const char* text;
};

class GeneralText : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralText, WritesFifteenSignificantDigits)
{
    EXPECT_EQ(generalText(GetParam().value), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Values, GeneralText,
    ::testing::Values(GeneralCase{0, "0"}, GeneralCase{-0.0, "0"}, GeneralCase{12.5, "12.5"}, GeneralCase{10, "10"},
                      GeneralCase{1200, "1200"}, GeneralCase{0.8333333333333334, "0.833333333333333"},
                      GeneralCase{0.1 + 0.2, "0.3"}, GeneralCase{2.9999999999999996, "3"}, GeneralCase{-0.72, "-0.72"},
                      GeneralCase{0.66666, "0.66666"}, GeneralCase{123456789012345.0, "123456789012345"},
                      GeneralCase{1e15, "1E+15"}, GeneralCase{1.5e20, "1.5E+20"}, GeneralCase{0.000001, "0.000001"},
                      GeneralCase{0.0000001, "1E-07"}, GeneralCase{-2.5e-10, "-2.5E-10"}, GeneralCase{1e308, "1E+308"},
                      GeneralCase{0.544, "0.544"}, GeneralCase{4.2, "4.2"}));

TEST(GeneralTextSeparator, UsesTheGivenDecimalPoint)
{
    EXPECT_EQ(generalText(4.2, QLatin1Char(',')), QStringLiteral("4,2"));
    EXPECT_EQ(generalText(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("0"));
    // Only a figure written with a point changes when it is shown.
    for (const auto& [text, shown] : std::vector<std::pair<const char*, const char*>>{{"8.4", "8,4"},
                                                                                      {"-0.031", "-0,031"},
                                                                                      {"45,40000", "45,40000"},
                                                                                      {"12", "12"},
                                                                                      {"1.2.2006", "1.2.2006"},
                                                                                      {".5", ".5"},
                                                                                      {"5.", "5."},
                                                                                      {"-", "-"},
                                                                                      {"", ""},
                                                                                      {"1e.5", "1e.5"}})
        EXPECT_EQ(shownFigure(QString::fromLatin1(text), QLatin1Char(',')), QString::fromLatin1(shown)) << text;
}

struct FixedCase {
    double value;
    int decimals;
    const char* text;
};

class FixedText : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedText, RoundsHalfAwayFromZero)
{
    const auto& c = GetParam();
    EXPECT_EQ(fixedText(c.value, c.decimals, QLatin1Char('.')), QString::fromLatin1(c.text)) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, FixedText,
    ::testing::Values(FixedCase{4.2, 5, "4.20000"}, FixedCase{7 * 0.6, 5, "4.20000"}, FixedCase{3 * 0.15, 5, "0.45000"},
                      FixedCase{0, 5, "0.00000"}, FixedCase{1.0 / 3, 5, "0.33333"}, FixedCase{2.0 / 3, 5, "0.66667"},
                      FixedCase{0.000005, 5, "0.00001"}, FixedCase{-0.000005, 5, "-0.00001"},
                      FixedCase{0.0000049, 5, "0.00000"}, FixedCase{-0.000001, 5, "0.00000"},
                      FixedCase{9999.999995, 5, "10000.00000"}, FixedCase{12000, 5, "12000.00000"},
                      FixedCase{-1.8, 5, "-1.80000"}, FixedCase{0.544, 3, "0.544"}, FixedCase{-0.545, 3, "-0.545"},
                      FixedCase{3, 3, "3.000"}, FixedCase{0.5, 0, "1"}, FixedCase{-0.5, 0, "-1"},
                      FixedCase{1e-20, 5, "0.00000"}, FixedCase{123456789.123456, 5, "123456789.12346"}));

TEST(UnitsText, FollowsTheRegionalSeparator)
{
    const QLocale old;
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    EXPECT_EQ(unitsText(4.2), QStringLiteral("4,20000"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(unitsText(4.2), QStringLiteral("4.20000"));
    QLocale::setDefault(old);
}

// The texts of numbers are the value rounded to 15 significant digits, whatever shortcut the
// formatting takes; printf("%.14e") in the C locale is the reference for that rounding.
TEST(FifteenDigits, GeneralAndFixedTextsAgreeWithCorrectRounding)
{
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<int> count(0, 99999);
    std::uniform_int_distribution<int> scale(-8, 16);
    std::vector<double> values = {
        0.1,  0.15 * 3, 1.0 / 3, 2.0 / 3, 123456789012345.6, 999999999999999.5, 9.999999999999995, 0.30000000000000004,
        1e-7, 4.35,     2.675,   -1.005};
    for (int i = 0; i < 20000; ++i) {
        // Sums and products of short decimals, as counts and coefficients give them, and raw bits.
        values.push_back(count(random) * 0.00001 * std::pow(10.0, scale(random)) * (i % 2 ? 1 : -1));
        values.push_back(count(random) * 0.1 + count(random) * 0.01);
        double raw;
        const std::uint64_t bits = random();
        std::memcpy(&raw, &bits, sizeof raw);
        if (std::isfinite(raw)) values.push_back(raw);
    }
    for (double x : values) {
        char reference[64];
        std::snprintf(reference, sizeof reference, "%.14e", x);
        const double rounded = std::strtod(reference, nullptr);
        const QString general = generalText(x);
        ASSERT_EQ(leadingNumber(general), rounded == 0 ? 0.0 : rounded) << reference << " " << general.toStdString();
        ASSERT_EQ(QString::fromLatin1(generalChars(x).view()), general) << reference;
        const int exponent = std::atoi(std::strchr(reference, 'e') + 1);
        if (std::fabs(x) < 1e12 && exponent >= -8) {
            // Five decimals from the same 15 digits D x 10^(exponent-14): in units of 0.00001 that
            // is D x 10^(exponent-9), cut to whole units half away from zero.
            std::string digits;
            for (const char* p = reference; *p && *p != 'e'; ++p)
                if (*p >= '0' && *p <= '9') digits += *p;
            const long long d = std::stoll(digits);
            long long units = d;
            const int k = exponent - 9;
            if (k >= 0) {
                for (int i = 0; i < k; ++i) units *= 10;
            } else {
                long long divisor = 1;
                for (int i = 0; i < -k; ++i) divisor *= 10;
                units = d / divisor + (d % divisor * 2 >= divisor ? 1 : 0);
            }
            QString fixed = fixedText(x, 5, QLatin1Char('.'));
            const bool negative = fixed.startsWith(QLatin1Char('-'));
            const long long written = fixed.remove(QLatin1Char('-')).remove(QLatin1Char('.')).toLongLong();
            ASSERT_EQ(written, units) << reference << " " << fixed.toStdString();
            ASSERT_EQ(negative, x < 0 && units != 0) << reference;
        }
    }
}

namespace {

// Builds the locale `name` (e.g. "cs_CZ") into a private folder and points the C library there.
class CompiledLocale {
public:
    explicit CompiledLocale(const char* name) : name_(QByteArray(name) + ".UTF-8"), oldPath_(qgetenv("LOCPATH"))
    {
        const int rc = QProcess::execute(QStringLiteral("localedef"),
                                         {QStringLiteral("-i"), QString::fromLatin1(name), QStringLiteral("-f"),
                                          QStringLiteral("UTF-8"), folder_.filePath(QString::fromLatin1(name_))});
        built_ = rc == 0 || rc == 1;
        qputenv("LOCPATH", folder_.path().toLocal8Bit());
    }
    ~CompiledLocale()
    {
        std::setlocale(LC_ALL, "C");
        if (oldPath_.isNull()) qunsetenv("LOCPATH");
        else qputenv("LOCPATH", oldPath_);
    }
    // Whether the C library's numbers now follow the locale.
    bool applyToNumbers() const { return built_ && std::setlocale(LC_NUMERIC, name_.constData()) != nullptr; }

private:
    QTemporaryDir folder_;
    QByteArray name_;
    QByteArray oldPath_;
    bool built_ = false;
};

}  // namespace

// Qt sets the C library's locale from the environment; under Czech settings the C number routines
// read "1.5" as 1. The number texts must not depend on that.
TEST(NumberTextLocale, IndependentOfTheCLibraryLocale)
{
    CompiledLocale czech("cs_CZ");
    ASSERT_TRUE(czech.applyToNumbers()) << "localedef cannot build cs_CZ.UTF-8 (package locales)";
    const double cLibrary = std::strtod("1.5", nullptr);
    const double leading = leadingNumber(QStringLiteral("1.5"));
    const double normalised = leadingNumberOfNormalised(u"2,25E1");
    const double tiny = leadingNumber(QStringLiteral("4.9E-330"));
    const double rounded = roundTo15Digits(0.1 + 0.2);
    const QString general = generalText(1234.5678);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(cLibrary, 1.0);  // the comma locale was in force
    EXPECT_EQ(leading, 1.5);
    EXPECT_EQ(normalised, 22.5);
    EXPECT_EQ(tiny, 0.0);
    EXPECT_EQ(rounded, 0.3);
    EXPECT_EQ(general, QStringLiteral("1234.5678"));
}

// Short plain texts take a shortcut; it must give the correctly rounded value of the text.
TEST(PlainDecimalTexts, ReadAsTheCorrectlyRoundedValue)
{
    std::mt19937_64 random(8122026);
    for (int i = 0; i < 50000; ++i) {
        const int digits = 1 + int(random() % 15);
        std::string text = random() % 4 == 0 ? "-" : "";
        const int point = int(random() % (digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point) text += '.';
            text += char('0' + random() % 10);
        }
        const double expected = std::strtod(text.c_str(), nullptr);
        QString commaText = QString::fromStdString(text);
        commaText.replace(QLatin1Char('.'), QLatin1Char(','));
        ASSERT_EQ(leadingNumber(QString::fromStdString(text)), expected == 0 ? 0.0 : expected) << text;
        ASSERT_EQ(leadingNumberOfNormalised(commaText), expected == 0 ? 0.0 : expected) << text;
    }
}

// The number texts read the same under every regional setting, and a units text written under one
// (Czech ",", C ".", Pashto "٫") reads back with its fractions.
class NumberTextsUnderLocale : public ::testing::TestWithParam<const char*> {};

TEST_P(NumberTextsUnderLocale, ReadTheSameAndUnitsReadBack)
{
    const char* name = GetParam();
    std::optional<CompiledLocale> compiled;
    if (std::strcmp(name, "C") != 0) {
        compiled.emplace(name);
        ASSERT_TRUE(compiled->applyToNumbers()) << "localedef cannot build " << name << " (package locales)";
    }
    QLocale::setDefault(QLocale(QString::fromLatin1(name)));
    const std::pair<const char*, double> texts[] = {{"1d2", 1},   {"&12", 0},   {"&h1F", 31},
                                                    {"&O17", 15}, {"1e2", 100}, {" 4 2", 42}};
    for (const auto& [text, value] : texts) {
        EXPECT_EQ(leadingNumber(QString::fromUtf8(text)), value) << text;
        EXPECT_EQ(leadingNumberOfNormalised(QString::fromUtf8(text)), value) << text;
    }
    const QString units = unitsText(4.2);
    EXPECT_EQ(units.size(), 7) << units.toStdString();
    EXPECT_EQ(leadingNumberOfNormalised(units), 4.2) << units.toStdString();
    EXPECT_EQ(CisloSTeckou(units), QStringLiteral("4.20000"));
    EXPECT_EQ(FormatujCislo(units, true, false), QStringLiteral("4.2"));
    QLocale::setDefault(QLocale::c());
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberTextsUnderLocale, ::testing::Values("cs_CZ", "C", "ps_AF"));
