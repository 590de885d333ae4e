#include <gtest/gtest.h>
#include <QDir>

#include "common/Failure.h"
#include "common/IniFile.h"
#include "common/Windows1250.h"
#include "support/TestSupport.h"

using namespace zorva;
using zorva::test::TestProgram;

namespace {
QString settings(const TestProgram& p)
{
    return p.ctx.settingsFile();
}
}  // namespace

TEST(IniFile, CzechValuesRoundTripInWindows1250)
{
    TestProgram p;
    ini::writeString("SETUP", "JISUBRUX", QStringLiteral("Žďár nad Sázavou, čp. 1"), settings(p));
    ini::writeString("SETUP", "RC", QStringLiteral("Řehoř Ťuk"), settings(p));
    const QByteArray expected = "[SETUP]\r\nJISUBRUX=" + QByteArray::fromHex("8eef e172206e616420 53e17a61766f75") +
                                ", \xe8p. 1\r\nRC=\xd8"
                                "eho\xf8 \x8duk\r\n";
    EXPECT_EQ(p.read("ZORVA_VDJ.INI"), expected);
    EXPECT_EQ(ini::readString("SETUP", "JISUBRUX", "", settings(p)), QStringLiteral("Žďár nad Sázavou, čp. 1"));
    EXPECT_EQ(ini::readString("SETUP", "RC", "", settings(p)), QStringLiteral("Řehoř Ťuk"));
}

TEST(IniFile, WriteKeepsForeignSectionsCommentsAndKeyOrder)
{
    TestProgram p;
    p.write(
        "ZORVA_VDJ.INI",
        "; nastaveni programu\n[JINE]\nA=1\n\n[setup]\n; adresa sluzby\n  Server = stara  \nX=2\n\n[QEL]\nDISABLE=\n");
    ini::writeString("SETUP", "SERVER", "http://nova", settings(p));
    EXPECT_EQ(
        p.read("ZORVA_VDJ.INI"),
        QByteArray("; nastaveni programu\r\n[JINE]\r\nA=1\r\n\r\n[setup]\r\n; adresa sluzby\r\nServer=http://nova\r\n"
                   "X=2\r\n\r\n[QEL]\r\nDISABLE=\r\n"));
}

TEST(IniFile, NewKeyJoinsItsSectionAndNewSectionGoesLast)
{
    TestProgram p;
    p.write("ZORVA_VDJ.INI", "[SETUP]\r\nSERVER=a\r\n\r\n[QEL]\r\nDISABLE=\r\n");
    ini::writeString("setup", "ROK", "2006", settings(p));
    ini::writeString("NOVA", "K", "v", settings(p));
    EXPECT_EQ(p.read("ZORVA_VDJ.INI"),
              QByteArray("[SETUP]\r\nSERVER=a\r\nROK=2006\r\n\r\n[QEL]\r\nDISABLE=\r\n\r\n[NOVA]\r\nK=v\r\n"));
}

TEST(IniFile, ByteOrderMarkStaysWhereItWasAndMeansUtf8)
{
    // With a doubled mark the second one hides the first section: what is written must still be read.
    for (const QByteArray& mark : {QByteArray("\xEF\xBB\xBF"), QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF")}) {
        TestProgram p;
        p.write("ZORVA_VDJ.INI", mark + "[SETUP]\r\nIC=1\r\n");
        ini::writeString("setup", "RC", "7", settings(p));
        EXPECT_TRUE(p.read("ZORVA_VDJ.INI").startsWith(mark + "[SETUP]\r\n")) << mark.size();
        EXPECT_EQ(ini::readString("SETUP", "RC", "", settings(p)), "7") << mark.size();
    }
    // A file an editor saved as UTF-8 with its mark stays UTF-8; after a mark, bytes that are no UTF-8
    // are the code page's.
    TestProgram p;
    p.write("ZORVA_VDJ.INI", QByteArray("\xEF\xBB\xBF[SETUP]\r\nUSERID=") + QStringLiteral("Novák").toUtf8() + "\r\n");
    EXPECT_EQ(ini::readString("SETUP", "USERID", "", settings(p)), QStringLiteral("Novák"));
    ini::writeString("SETUP", "RC", QStringLiteral("Řehoř"), settings(p));
    EXPECT_EQ(p.read("ZORVA_VDJ.INI"), QByteArray("\xEF\xBB\xBF[SETUP]\r\nUSERID=") + QStringLiteral("Novák").toUtf8() +
                                           "\r\nRC=" + QStringLiteral("Řehoř").toUtf8() + "\r\n");
    p.write("ZORVA_VDJ.INI", QByteArray("\xEF\xBB\xBF[SETUP]\r\nUSERID=Nov\xe1k\r\n"));
    EXPECT_EQ(ini::readString("SETUP", "USERID", "", settings(p)), QStringLiteral("Novák"));
}

TEST(IniFile, SectionsAndKeysMatchRegardlessOfCase)
{
    TestProgram p;
    p.write("ZORVA_VDJ.INI", "[Setup]\r\nvarPich=6\r\n");
    EXPECT_EQ(ini::readString("SETUP", "VARPICH", "4", settings(p)), "6");
    EXPECT_EQ(ini::readString("setup", "varpich", "4", settings(p)), "6");
    ini::writeString("SETUP", "VARPICH", "2", settings(p));
    EXPECT_EQ(p.read("ZORVA_VDJ.INI"), QByteArray("[Setup]\r\nvarPich=2\r\n"));
}

TEST(IniFile, ReadingTrimsStripsQuotesAndTakesTheFirstOccurrence)
{
    TestProgram p;
    p.write("ZORVA_VDJ.INI",
            "  [ SETUP ]  \r\n  KLIC   =   hodnota s mezerou   \r\nUVOZ=\"a b \"\r\nAPOS='x'\r\nPUL=\"abc\r\n"
            "URL=http://h/a?b=c\r\n;SKRYTY=1\r\nKLIC=druhy\r\n[SETUP]\r\nJEN2=2\r\n");
    EXPECT_EQ(ini::readString("SETUP", "KLIC", "", settings(p)), "hodnota s mezerou");
    EXPECT_EQ(ini::readString("SETUP", "UVOZ", "", settings(p)), "a b ");
    EXPECT_EQ(ini::readString("SETUP", "APOS", "", settings(p)), "x");
    EXPECT_EQ(ini::readString("SETUP", "PUL", "", settings(p)), "\"abc");
    EXPECT_EQ(ini::readString("SETUP", "URL", "", settings(p)), "http://h/a?b=c");
    EXPECT_EQ(ini::readString("SETUP", ";SKRYTY", "d", settings(p)), "d");  // a comment is no key
    EXPECT_EQ(ini::readString("SETUP", "JEN2", "d", settings(p)), "d");     // only the first section counts
}

TEST(IniFile, DefaultLosesTrailingBlanksAndIsCut)
{
    TestProgram p;
    EXPECT_EQ(ini::readString("S", "K", "abc  ", settings(p)), "abc");
    EXPECT_EQ(ini::readString("S", "K", "abcdef", settings(p), 3), "abc");
}

TEST(IniFile, CreatesFileWithoutLeavingATemporaryBehind)
{
    TestProgram p;
    ini::writeString("SETUP", "IC", "12345678", settings(p));
    ini::writeString("SETUP", "IC", "87654321", settings(p));
    EXPECT_EQ(p.files(), QStringList{"ZORVA_VDJ.INI"});
    EXPECT_EQ(p.read("ZORVA_VDJ.INI"), QByteArray("[SETUP]\r\nIC=87654321\r\n"));
}

TEST(IniFile, ValueStaysOnOneLine)
{
    TestProgram p;
    ini::writeString("SETUP", "SERVER", "http://a\r\nX=1\nY", settings(p));
    EXPECT_EQ(ini::readString("SETUP", "SERVER", "", settings(p)), "http://a X=1 Y");
    EXPECT_EQ(ini::readString("SETUP", "X", "nic", settings(p)), "nic");
}

// The settings are only not saved: no failure stops the caller, and nothing is left behind.
TEST(IniFile, WriteThatCannotBeDoneGivesFalseAndLeavesNothing)
{
    TestProgram p;
    p.write("soubor", "x");
    QDir(p.folder()).mkdir("ZORVA_VDJ.INI");
    EXPECT_FALSE(ini::writeString("SETUP", "IC", "1", p.path("soubor") + "/ZORVA_VDJ.INI"));
    EXPECT_FALSE(ini::writeString("SETUP", "IC", "1", p.path("ZORVA_VDJ.INI")));
    EXPECT_EQ(p.files(), QStringList{"soubor"});
}
