#include <gtest/gtest.h>

#include "common/Command.h"
#include "common/TypedNumbers.h"

using namespace zorva;

namespace {

constexpr OptionShape kShapes[] = {{"--in"}, {"--set"}, {"--flag", false}};

struct OptionCase {
    const char* what;
    QStringList args;
    QString refusal;  // empty: read
    QString in;
    QStringList sets;
    bool flag;
};

}  // namespace

TEST(CommandOptions, EveryCommandReadsItsOptionsByOneRule)
{
    const OptionCase cases[] = {
        {"a value, a flag, a repeated option in order",
         {"--set", "a", "--in", "x", "--flag", "--set", "b"},
         {},
         "x",
         {"a", "b"},
         true},
        {"the last value of an option given twice", {"--in", "x", "--in", "y"}, {}, "y", {}, false},
        {"an unknown option", {"--in", "x", "--out", "y"}, "Neznámá volba \"--out\".", {}, {}, false},
        {"a flag is no value option", {"--flag", "x"}, "Neznámá volba \"x\".", {}, {}, false},
        {"a value taken for an option", {"--in", "--flag"}, "Volbě --in chybí hodnota.", {}, {}, false},
        {"a value missing at the end", {"--in"}, "Volbě --in chybí hodnota.", {}, {}, false},
    };
    for (const OptionCase& c : cases) {
        try {
            const CommandOptions o(c.args, kShapes);
            EXPECT_TRUE(c.refusal.isEmpty()) << c.what;
            EXPECT_EQ(o.value("--in"), c.in) << c.what;
            EXPECT_EQ(o.values("--set"), c.sets) << c.what;
            EXPECT_EQ(o.has("--flag"), c.flag) << c.what;
        } catch (const BadInput& e) {
            EXPECT_EQ(e.message, c.refusal) << c.what;
        }
    }
}

TEST(TypedNumbers, EachMeaningHasItsReader)
{
    const QLocale czech(QLocale::Czech);
    EXPECT_EQ(acreageAsTyped(QStringLiteral("60,5"), czech), 60.5);
    EXPECT_EQ(acreageAsTyped(QStringLiteral("60.5"), czech), 60.5);
    EXPECT_EQ(acreageAsTyped(QStringLiteral("1.234,5"), czech), std::nullopt);
    EXPECT_EQ(acreageAsTyped(QStringLiteral("abc"), czech), std::nullopt);
    EXPECT_EQ(yearAsTyped(QStringLiteral("2006"), czech), 2006.0);
    EXPECT_EQ(yearAsTyped(QStringLiteral(""), czech), std::nullopt);
    EXPECT_EQ(documentNumber(QStringLiteral("0.5")), 0.5);
    EXPECT_EQ(documentNumber(QStringLiteral("0,5")), std::nullopt);
    EXPECT_EQ(documentNumber(QStringLiteral("1,234")), std::nullopt);
}
