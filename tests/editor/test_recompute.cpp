#include <gtest/gtest.h>

#include "ResponseBuilder.h"
#include "editor/CategorySet.h"
#include "editor/Recompute.h"
#include "editor/ResponseCheck.h"
#include "platform/XmlDocument.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;

namespace {

ResponseShape workedExample()
{
    ResponseShape shape;
    RowValues r;
    r.date = QStringLiteral("2006-01-01");
    r.acreage = QStringLiteral("12.5");
    for (const auto& c : editor::CategorySet::first().categories)
        r.categories[c.name] = {QString(), QStringLiteral("0"), QStringLiteral("1")};
    r.categories[QStringLiteral("SKOTML")] = {QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0.6")};
    r.categories[QStringLiteral("OVCE")] = {QStringLiteral("20"), QStringLiteral("0"), QStringLiteral("0.15")};
    r.categories[QStringLiteral("KUNML")] = {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1")};
    shape.rows = {r};
    return shape;
}

}  // namespace

class Recompute : public ::testing::Test {
protected:
    int run(QStringList args)
    {
        out.clear();
        errors.clear();
        return editor::recompute(args, program.ctx,
                                 {[&](const QByteArray& b) { out += b; }, [&](const QString& e) { errors << e; }});
    }
    TestProgram program;
    QByteArray out;
    QStringList errors;
};

TEST_F(Recompute, WorkedExampleThroughTheCommandLine)
{
    program.write(QStringLiteral("in.xml"), buildResponse(workedExample()));
    ASSERT_EQ(run({"--recompute", program.path("in.xml"), "--out", program.path("out.xml")}), 0)
        << errors.join("\n").toStdString();
    xml::Document doc;
    ASSERT_TRUE(doc.load(program.path(QStringLiteral("out.xml"))));
    const xml::Node row = doc.selectSingle(QStringLiteral("//VDJ:PICHROW"));
    EXPECT_EQ(row.attribute(QStringLiteral("VDJA")).value_or(QString()), QStringLiteral("10"));
    EXPECT_EQ(row.attribute(QStringLiteral("VDJB")).value_or(QString()), QStringLiteral("9"));
    EXPECT_EQ(row.attribute(QStringLiteral("PICHA")).value_or(QString()), QStringLiteral("0.8"));
    EXPECT_EQ(row.attribute(QStringLiteral("PICHB")).value_or(QString()), QStringLiteral("0.72"));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:PICHROKA")).text(), QStringLiteral("0.800"));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:PICHROKB")).text(), QStringLiteral("0.720"));
    EXPECT_TRUE(program.read(QStringLiteral("out.xml")).startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty());
}

TEST_F(Recompute, EditsAreAppliedAsTypedAndTheDocumentGoesToStandardOutput)
{
    LocaleScope czech(LocaleScope::czech());
    program.write(QStringLiteral("in.xml"), buildResponse(workedExample()));
    ASSERT_EQ(run({"--recompute", program.path("in.xml"), "--set", "2006-01-01:SKOTML_POCET=20", "--set",
                   "2006-01-01:SUMAVYMERADPB=10,5"}),
              0)
        << errors.join("\n").toStdString();
    xml::Document doc;
    ASSERT_TRUE(doc.loadXml(out));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:SKOTML")).text(), QStringLiteral("20"));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//RUX:SUMAVYMERADPB")).text(), QStringLiteral("10.5"));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//VDJ:PICHROW")).attribute(QStringLiteral("VDJA")).value_or(QString()),
              QStringLiteral("16"));
}

TEST_F(Recompute, BadInputGivesStatusTwoAndNoOutputFile)
{
    program.write(QStringLiteral("in.xml"), buildResponse(workedExample()));
    program.write(QStringLiteral("broken.xml"), "<a><b>");
    QByteArray withDoctype = buildResponse(workedExample());
    withDoctype.insert(withDoctype.indexOf("<SOAP:Envelope"), "<!DOCTYPE SOAP:Envelope>\n");
    program.write(QStringLiteral("doctype.xml"), withDoctype);
    program.writeOversized(QStringLiteral("big.xml"));
    struct Case {
        QStringList args;
        const char* what;
        QString told = QString();  // the error message, when the case pins it
    };
    const std::vector<Case> cases = {
        {{"--recompute", program.path("missing.xml")}, "missing input"},
        {{"--recompute", program.path("broken.xml")},
         "malformed input",
         QStringLiteral("Soubor \"%1\" nelze přečíst nebo to není platný dokument XML.")
             .arg(program.path("broken.xml"))},
        {{"--recompute", program.path("doctype.xml")},
         "a DOCTYPE",
         QStringLiteral("Soubor \"%1\" nelze načíst. Dokument obsahuje deklaraci typu dokumentu (DOCTYPE), kterou "
                        "program nepřijímá.")
             .arg(program.path("doctype.xml"))},
        {{"--recompute", program.path("big.xml")},
         "too large",
         QStringLiteral("Soubor \"%1\" nelze načíst. Dokument je příliš velký (nejvýše 64 MB).")
             .arg(program.path("big.xml"))},
        {{"--recompute", program.path("in.xml"), "--set", "2099-01-01:SKOTML_POCET=1"}, "unknown date"},
        {{"--recompute", program.path("in.xml"), "--set", "2006-01-01:SKOTML_VDJ=1"}, "column not editable"},
        {{"--recompute", program.path("in.xml"), "--set", "2006-01-01:SKOTDO6_POCET=1"}, "other generation"},
        {{"--recompute", program.path("in.xml"), "--set", "2006-01-01SKOTML_POCET"}, "malformed set"},
        {{"--recompute", program.path("in.xml"), "--set", "2006-01-01:SKOTML_POCET=123456"}, "too long"},
        {{"--recompute", program.path("in.xml"), "--set", "2006-01-01:SKOTML_POCET=abc"}, "count no number"},
        {{"--recompute", program.path("in.xml"), "--set", "2006-01-01:SKOTML_POCET=1,5"}, "count not whole"},
        {{"--recompute", program.path("in.xml"), "--set", "2006-01-01:SUMAVYMERADPB=abc"}, "acreage no number"},
        {{"--recompute", program.path("in.xml"), "--set", "2006-01-01:OVCE_KOEF=0,2"}, "coefficient locked"},
        {{"--recompute", program.path("in.xml"), "--generation", "1999"}, "bad generation"},
        {{"--recompute", program.path("in.xml"), "--bogus"}, "unknown option"},
    };
    for (const Case& c : cases) {
        QStringList args = c.args;
        args << "--out" << program.path("out.xml");
        EXPECT_EQ(run(args), 2) << c.what;
        EXPECT_EQ(errors.size(), 1) << c.what;
        if (!c.told.isEmpty()) { EXPECT_EQ(errors.value(0), c.told) << c.what; }
        EXPECT_FALSE(program.exists(QStringLiteral("out.xml"))) << c.what;
        EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty()) << c.what;
    }
}

TEST_F(Recompute, GenerationIsGuessedFromTheCategoryElements)
{
    ResponseShape shape;
    RowValues r;
    r.date = QStringLiteral("2006-05-01");
    r.acreage = QStringLiteral("2");
    r.categories[QStringLiteral("SKOTOD24")] = {QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("1")};
    shape.rows = {r};
    program.write(QStringLiteral("in.xml"), buildResponse(shape));
    ASSERT_EQ(run({"--recompute", program.path("in.xml")}), 0);
    xml::Document doc;
    ASSERT_TRUE(doc.loadXml(out));
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//VDJ:PICHROW")).attribute(QStringLiteral("VDJA")).value_or(QString()),
              QStringLiteral("3"));
    ASSERT_EQ(run({"--recompute", program.path("in.xml"), "--generation", "first"}), 0);
    doc.loadXml(out);
    EXPECT_EQ(doc.selectSingle(QStringLiteral("//VDJ:PICHROW")).attribute(QStringLiteral("VDJA")).value_or(QString()),
              QStringLiteral("0"));
}

// Inputs that differ from the service's answer are listed in the document; the service's own values,
// typed again or restored later, leave no trace.
TEST_F(Recompute, ChangedInputsAreListedAndRestoredOnesLeaveNoTrace)
{
    LocaleScope czech(LocaleScope::czech());
    program.write(QStringLiteral("in.xml"), buildResponse(workedExample()));
    ASSERT_EQ(run({"--recompute", program.path("in.xml")}), 0);
    const QByteArray unchanged = out;
    program.write(QStringLiteral("unchanged.xml"), unchanged);
    ASSERT_EQ(run({"--recompute", program.path("in.xml"), "--set", "2006-01-01:SKOTML_POCET=20"}), 0);
    program.write(QStringLiteral("changed.xml"), out);
    // A list with another inside it, as no program of ours writes it.
    program.write(QStringLiteral("nested.xml"),
                  QByteArray(out).replace("</UPR:Changes>",
                                          "<UPR:Changes><UPR:Change date=\"x\" field=\"KOZA_POCET\" "
                                          "service=\"1\" new=\"2\"/></UPR:Changes></UPR:Changes>"));

    struct Case {
        const char* what;
        const char* input;
        QStringList sets;
        QStringList entries;  // field=service>new
    };
    const std::vector<Case> cases = {
        {"nothing typed", "in.xml", {}, {}},
        {"the service's values typed again",
         "in.xml",
         {"2006-01-01:SKOTML_POCET=10", "2006-01-01:SUMAVYMERADPB=12,50"},
         {}},
        {"a count and the acreage",
         "in.xml",
         {"2006-01-01:SKOTML_POCET=20", "2006-01-01:SUMAVYMERADPB=10"},
         {"SUMAVYMERADPB=12.5>10", "SKOTML_POCET=10>20"}},
        {"a changed document recomputed", "changed.xml", {}, {"SKOTML_POCET=10>20"}},
        {"a changed document changed again", "changed.xml", {"2006-01-01:SKOTML_POCET=30"}, {"SKOTML_POCET=10>30"}},
        {"a changed document restored", "changed.xml", {"2006-01-01:SKOTML_POCET=10"}, {}},
        {"nested lists", "nested.xml", {}, {"SKOTML_POCET=10>20"}},
    };
    for (const Case& c : cases) {
        QStringList args = {"--recompute", program.path(c.input)};
        for (const QString& s : c.sets) args << "--set" << s;
        ASSERT_EQ(run(args), 0) << c.what << errors.join("\n").toStdString();
        xml::Document doc;
        ASSERT_TRUE(doc.loadXml(out));
        QStringList entries;
        for (const xml::Node& e : doc.selectList(QStringLiteral("//UPR:Changes/UPR:Change"))) {
            EXPECT_EQ(e.attribute(QStringLiteral("date")).value_or(QString()), QStringLiteral("2006-01-01")) << c.what;
            entries << e.attribute(QStringLiteral("field")).value_or(QString()) + "=" +
                           e.attribute(QStringLiteral("service")).value_or(QString()) + ">" +
                           e.attribute(QStringLiteral("new")).value_or(QString());
        }
        EXPECT_EQ(entries.join(' ').toStdString(), c.entries.join(' ').toStdString()) << c.what;
        if (c.entries.isEmpty()) EXPECT_EQ(out, unchanged) << c.what;
        else EXPECT_TRUE(out.contains("xmlns:UPR=\"http://zorva.example/VDJ/upravy\"")) << c.what;
    }
}

namespace {

// Answers as the service may send them: dates shared by rows, rows out of order, count texts the
// table cannot hold or reads only in part.
ResponseShape awkwardAnswer()
{
    ResponseShape shape;
    auto row = [](const char* date, const char* count, const char* acreage) {
        RowValues r;
        r.date = QString::fromLatin1(date);
        r.acreage = QString::fromLatin1(acreage);
        r.categories[QStringLiteral("SKOTML")] = {QString::fromUtf8(count), QStringLiteral("0"), QStringLiteral("0.6")};
        r.categories[QStringLiteral("OVCE")] = {QStringLiteral("4"), QStringLiteral("0"), QStringLiteral("0.15")};
        return r;
    };
    shape.rows = {
        row("2006-03-01", "10", "12.5"),    row("2006-01-01", "123456", "12.5"), row("2006-03-01", "15", "12.5"),
        row("2006-02-01", "1 200", "12,5"), row("2006-04-01", "007", "12.5"),    row("2006-05-01", "1,5", "12.5"),
        row("2006-06-01", "abc", "abc"),    row("2006-07-01", "12ks", "12.5"),   row("2006-08-01", "-1e308", "12.5")};
    return shape;
}

QStringList changeEntries(const QByteArray& out)
{
    xml::Document doc;
    if (!doc.loadXml(out)) return {QStringLiteral("unreadable")};
    QStringList entries;
    for (const xml::Node& e : doc.selectList(QStringLiteral("//UPR:Changes/UPR:Change"))) {
        QString entry = e.attribute(QStringLiteral("date")).value_or(QString()) + ":" +
                        e.attribute(QStringLiteral("field")).value_or(QString()) + "=" +
                        e.attribute(QStringLiteral("service")).value_or(QString()) + ">" +
                        e.attribute(QStringLiteral("new")).value_or(QString());
        if (const auto row = e.attribute(QStringLiteral("row"))) entry += "#" + *row;
        entries << entry;
    }
    return entries;
}

}  // namespace

// Only what the user changed is marked, whatever the answer holds; what the loading could not take
// as sent is told on the error stream, without failing the run.
TEST_F(Recompute, OnlyTheEditedFieldIsMarkedInAwkwardAnswers)
{
    LocaleScope czech(LocaleScope::czech());
    program.write(QStringLiteral("in.xml"), buildResponse(awkwardAnswer()));
    struct Case {
        const char* what;
        QStringList sets;
        QStringList entries;
    };
    const std::vector<Case> cases = {
        {"nothing typed", {}, {}},
        {"an odd count typed over", {"2006-06-01:SKOTML_POCET=3"}, {"2006-06-01:SKOTML_POCET=abc>3"}},
        {"a refused count typed over", {"2006-01-01:SKOTML_POCET=5"}, {"2006-01-01:SKOTML_POCET=123456>5"}},
        {"a refused count typed as counted", {"2006-01-01:SKOTML_POCET=0"}, {}},
        {"a partly read acreage", {"2006-02-01:SUMAVYMERADPB=20"}, {"2006-02-01:SUMAVYMERADPB=12,5>20"}},
        {"a partly read acreage typed as read", {"2006-02-01:SUMAVYMERADPB=12"}, {}},
        {"a count set back", {"2006-04-01:SKOTML_POCET=9", "2006-04-01:SKOTML_POCET=7"}, {}},
    };
    for (const Case& c : cases) {
        QStringList args = {"--recompute", program.path("in.xml")};
        for (const QString& set : c.sets) args << "--set" << set;
        ASSERT_EQ(run(args), 0) << c.what << errors.join("\n").toStdString();
        EXPECT_EQ(changeEntries(out).join(' ').toStdString(), c.entries.join(' ').toStdString()) << c.what;
        const QString told = errors.join('\n');
        EXPECT_TRUE(told.startsWith(QStringLiteral("Některé údaje odpovědi program nepřevzal:"))) << c.what;
        for (const char* line : {"2006-01-01, SKOTML_POCET: služba poslala „123456“, počítá se 0",
                                 "2006-06-01, SKOTML_POCET: služba poslala „abc“, počítá se 0",
                                 "2006-07-01, SKOTML_POCET: služba poslala „12ks“, počítá se 12",
                                 "2006-02-01, SUMAVYMERADPB: služba poslala „12,5“, počítá se 12",
                                 "2006-03-01, DATPLATNOST: služba poslala „2006-03-01“, výsledky řádku se zapíší do "
                                 "prvního řádku s tímto datem"})
            EXPECT_TRUE(told.contains(QString::fromUtf8(line))) << c.what << " " << line;
        for (const char* clean : {"„1 200“", "„007“", "„1,5“"})
            EXPECT_FALSE(told.contains(QString::fromUtf8(clean))) << c.what << " " << clean;
    }
}

// A front end without an editor is told the same as the editor's loading, and leaves no working table.
TEST_F(Recompute, TheCheckOfAnAnswerTellsWhatTheLoadingTells)
{
    for (const auto& [shape, told] : {std::pair{awkwardAnswer(), 7u}, std::pair{workedExample(), 0u}}) {
        const xml::Document doc = xml::Document::fromBytes(buildResponse(shape));
        EXPECT_EQ(editor::valuesNotTakenIn(program.ctx, doc).size(), told);
        EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty());
    }
}

// Rows that share a date are told apart: each is measured against what it was loaded with, and the
// change names the row.
TEST_F(Recompute, RowsSharingADateAreToldApart)
{
    program.write(QStringLiteral("in.xml"), buildResponse(awkwardAnswer()));
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"2006-03-01:SKOTML_POCET=20", "2006-03-01:SKOTML_POCET=10>20#1 2006-03-01:SKOTML_POCET=15>20#3"},
    };
    for (const auto& [set, entries] : cases) {
        ASSERT_EQ(run({"--recompute", program.path("in.xml"), "--set", set}), 0);
        EXPECT_EQ(changeEntries(out).join(' ').toStdString(), std::string(entries)) << set;
        // The page of the document, and the same document read again, keep the marks.
        program.write(QStringLiteral("changed.xml"), out);
        ASSERT_EQ(run({"--recompute", program.path("changed.xml")}), 0);
        EXPECT_FALSE(changeEntries(out).isEmpty()) << set;
    }
}
