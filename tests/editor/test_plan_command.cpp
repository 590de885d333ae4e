#include <gtest/gtest.h>

#include "editor/PlanCommand.h"
#include "editor/Recompute.h"
#include "platform/XmlDocument.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;

namespace {

struct PlanCall {
    const char* what;
    QByteArray settings;  // the settings file of the program folder
    QStringList options;  // after --plan IN.xml
    int status;
    QString out, error;  // what the streams hold (out: a part of it; empty: nothing)
};

class PlanCommand : public testing::TestWithParam<PlanCall> {};

// The first-generation sample: type 4, PICHROKA 1.154 and PICHROKB 1.098 over twelve dates.
TEST_P(PlanCommand, JudgesTheSampleByItsTypesLimits)
{
    const PlanCall& c = GetParam();
    TestProgram program;
    program.copyData(QStringLiteral("samples/response-first.xml"), QStringLiteral("in.xml"));
    if (!c.settings.isEmpty()) program.write(QStringLiteral("ZORVA_VDJ.INI"), c.settings);
    QString out;
    QStringList errors;
    const int status = editor::planCommand(
        QStringList{"--plan", program.path("in.xml")} + c.options, program.ctx,
        {[&](const QByteArray& b) { out += QString::fromUtf8(b); }, [&](const QString& e) { errors << e; }});
    EXPECT_EQ(status, c.status) << errors.join("\n").toStdString();
    if (c.out.isEmpty()) EXPECT_TRUE(out.isEmpty()) << out.toStdString();
    else EXPECT_TRUE(out.contains(c.out)) << out.toStdString();
    if (c.error.isEmpty()) EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    else EXPECT_TRUE(errors.join("\n").contains(c.error)) << errors.join("\n").toStdString();
    EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty());
}

const QByteArray kWithin = "[LIMITY]\r\nTYP4_MIN=0.3\r\nTYP4_MAX=1,5\r\n";

INSTANTIATE_TEST_SUITE_P(
    Calls, PlanCommand,
    testing::Values(
        PlanCall{"within the settings",
                 kWithin,
                 {},
                 0,
                 "PICHROKA 1,154 VDJ/ha vyhovuje limitu 0,300–1,500 (limit z nastavení), rezerva 0,346.",
                 ""},
        PlanCall{"as a table",
                 kWithin,
                 {"--csv"},
                 0,
                 "ukazatel;hodnota;min;max;stav;rezerva;kategorie;zmena_ks;zmena_ha;lze_pridat_ks;lze_ubrat_ks;"
                 "prvni_datum_mimo;radku_mimo\nPICHROKA;1,154;0,300;1,500;vyhovuje;0,346;SKOTST;0;0,00;",
                 ""},
        PlanCall{"above an upper limit",
                 "[LIMITY]\r\nTYP4_MAX=1\r\n",
                 {},
                 1,
                 "PICHROKA 1,154 VDJ/ha je nad limitem 1,000 (limit z nastavení) o 0,154. Uberte ",
                 ""},
        PlanCall{"the rows outside",
                 "[LIMITY]\r\nTYP4_MAX=1,17\r\n",
                 {},
                 0,
                 "Mimo limit jsou dny platnosti (PICHA): 5 z 12, první 2005-03-01.",
                 ""},
        PlanCall{"a category the figure does not count",
                 kWithin,
                 {"--category", "kůň starší"},
                 0,
                 "rezerva 0,402. Kůň starší se do PICHROKB nezapočítává.",
                 ""},
        PlanCall{"limits of another type", "[LIMITY]\r\nTYP5_MIN=3\r\n", {}, 0, "není limit z nastavení", ""},
        PlanCall{"given limits win",
                 "[LIMITY]\r\nTYP4_MAX=1\r\n",
                 {"--min", "1.2", "--category", "OVCE_POCET"},
                 1,
                 "je pod limitem 1,200 (zadaný limit) o 0,046. Přidejte ",
                 ""},
        PlanCall{"a setting that is no number", "[LIMITY]\r\nTYP4_MIN=hodně\r\n", {}, 2, "", "není číslo"},
        PlanCall{
            "settings lower above upper", "[LIMITY]\r\nTYP4_MIN=2\r\nTYP4_MAX=1\r\n", {}, 2, "", "vyšší než horní"},
        PlanCall{"an unknown category", kWithin, {"--category", "SKOTDO6"}, 2, "", "Kategorie „SKOTDO6“"},
        PlanCall{"an unknown option", kWithin, {"--pdf"}, 2, "", "Neznámá volba"}),
    [](const testing::TestParamInfo<PlanCall>& i) {
        std::string name;
        for (const char ch : std::string(i.param.what)) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return name;
    });

// The limits go into the document only when the settings have some for the type.
TEST(RecordedLimits, RecomputeWritesThemAndLeavesAnswersWithoutThemAsTheyWere)
{
    TestProgram program;
    program.copyData(QStringLiteral("samples/response-first.xml"), QStringLiteral("in.xml"));
    auto run = [&] {
        QByteArray out;
        EXPECT_EQ(editor::recompute({"--recompute", program.path("in.xml")}, program.ctx,
                                    {[&](const QByteArray& b) { out += b; }, [](const QString&) {}}),
                  0);
        return out;
    };
    const QByteArray plain = run();
    EXPECT_FALSE(plain.contains("UPR:Limits"));
    program.write(QStringLiteral("ZORVA_VDJ.INI"), "[LIMITY]\r\nTYP4_MIN=\r\nTYP4_MAX=\r\n");
    EXPECT_EQ(run(), plain);
    program.write(QStringLiteral("ZORVA_VDJ.INI"), "[LIMITY]\r\nTYP4_MIN=1.16\r\n");
    xml::Document doc;
    ASSERT_TRUE(doc.loadXml(run()));
    const xml::Node a = doc.selectSingle(QStringLiteral("//UPR:Limits/UPR:Limit[@figure='PICHROKA']"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a.attribute(QStringLiteral("verdict")).value_or(QString()), QStringLiteral("pod limitem"));
    EXPECT_EQ(a.attribute(QStringLiteral("margin")).value_or(QString()), QStringLiteral("-0.006"));
    EXPECT_EQ(a.attribute(QStringLiteral("rowsOutside")).value_or(QString()), QStringLiteral("5"));
    EXPECT_EQ(a.attribute(QStringLiteral("firstOutside")).value_or(QString()), QStringLiteral("2005-08-01"));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//UPR:Limits")).attribute(QStringLiteral("min")).value_or(QString()),
              QStringLiteral("1.16"));
}

}  // namespace
