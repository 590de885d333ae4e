#include <gtest/gtest.h>

#include "common/Windows1250.h"

using namespace zorva;

TEST(Windows1250, CzechTextHasTheCodePagesBytes)
{
    const QString text = QStringLiteral("Žluťoučký kůň úpěl ďábelské ódy");
    const QByteArray expected = QByteArray::fromHex("8e6c759d6f75e86bfd206bf9f220fa70ec6c20efe162656c736be920f36479");
    EXPECT_EQ(toWindows1250(text), expected);
    EXPECT_EQ(fromWindows1250(expected), text);
    EXPECT_EQ(toWindows1250(QStringLiteral("ŠŤŽšťžČŘĚŮ€§")), QByteArray::fromHex("8a8d8e9a9d9ec8d8ccd980a7"));
}

TEST(Windows1250, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(char(b));
    const QString text = fromWindows1250(all);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(toWindows1250(text), all);
    EXPECT_EQ(toWindows1250(text, Windows1250Unmappable::CharRef), all);
}

TEST(Windows1250, UnmappableCharacters)
{
    const QString text = QStringLiteral("a漢b") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("ä");
    EXPECT_EQ(toWindows1250(text, Windows1250Unmappable::Question), QByteArray("a?b?\xe4"));
    EXPECT_EQ(toWindows1250(text, Windows1250Unmappable::CharRef), QByteArray("a&#28450;b&#128512;\xe4"));
    // Latin-1 letters outside Central Europe have no place either.
    EXPECT_EQ(toWindows1250(QStringLiteral("ñ")), QByteArray("?"));
}
