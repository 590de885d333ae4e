#include <gtest/gtest.h>

#include <QFile>
#include <functional>
#include <memory>

#include "common/Windows1250.h"
#include "editor/EditorSession.h"
#include "editor/Recompute.h"
#include "presentation/RenderCommand.h"
#include "presentation/Rendering.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::presentation;
using namespace zorva::test;

namespace {

const QByteArray kAnswer = dataFile(QStringLiteral("samples/response-first.xml"));

// The sample cut down to its first date and asked as type 2 (one day): 1.16291… sent as PICHA,
// 1.162 as the day's figure.
QByteArray singleDateAnswer()
{
    QByteArray b = kAnswer;
    const qsizetype second = b.indexOf("<VDJ:PICHROW", b.indexOf("<VDJ:PICHROW") + 1);
    const qsizetype end = b.indexOf("</VDJ:PICHROWS>");
    b.remove(second, end - second);
    b.replace("<RUX:VARPICH>4</RUX:VARPICH>", "<RUX:VARPICH>2</RUX:VARPICH>");
    b.replace("<RUX:PICHROKA>1.154</RUX:PICHROKA>", "<RUX:PICHROKA>1.162</RUX:PICHROKA>");
    return b;
}

// The page as the HTML says it is encoded.
QString pageText(const QByteArray& page)
{
    return page.toLower().contains("charset=utf-8") ? QString::fromUtf8(page) : fromWindows1250(page);
}

// The editor's "Počítej" after one count typed over the service's, then its "Zobraz".
QByteArray editedAndShown(TestProgram& p, const QByteArray& answer = kAnswer)
{
    auto doc = std::make_shared<xml::Document>();
    doc->loadXml(answer);
    editor::EditorSession session(p.ctx, editor::CategorySet::first());
    session.xmlDOM = doc;
    session.Startuj();
    db::Recordset& rs = *session.recordset();
    rs.moveTo(2);  // 2005-03-01
    rs.setValue(QStringLiteral("SKOTML_POCET"), QStringLiteral("25"));
    rs.update();
    session.Pocitej();
    ZobrazEditor(p.ctx, *doc, HtmlCheck::Checked);
    return p.read(QStringLiteral("ZORVA_VDJ1B_response.htm"));
}

QByteArray mainWindowPage(TestProgram& p)
{
    ZobrazOdpoved(p.ctx, HtmlCheck::Checked);
    return p.read(QStringLiteral("ZORVA_VDJ1B_response.htm"));
}

}  // namespace

// What a reader of the printed page can tell: whether it is the service's answer or a what-if, and
// what figure a day has.
TEST(Report, PagesSayWhatTheyAre)
{
    const QString band = QStringLiteral("Upraveno uživatelem – nejde o odpověď služby");
    const QString serviceLine = QStringLiteral("Odpověď služby ZORVA_VDJ1B ze dne");
    // The service's own yearly figure beside the recomputed one.
    const QString serviceYearly = QStringLiteral("Podle služby: 1,154 VDJ/ha");
    struct Case {
        const char* what;
        std::function<QByteArray(TestProgram&)> page;
        QStringList present, absent;
    };
    const std::vector<Case> cases = {
        {"the service's answer",
         mainWindowPage,
         {serviceLine, QStringLiteral("Průměr intenzit všech dnů")},
         {band, QStringLiteral("Výpočet upravený uživatelem"), QStringLiteral("limit z nastavení"), serviceYearly}},
        {"the answer after one edit",
         [](TestProgram& p) { return editedAndShown(p); },
         {band, QStringLiteral("Skot mladší – počet zvířat (ks)"), QStringLiteral("zmeneno"),
          QStringLiteral("Výpočet upravený uživatelem"), serviceYearly},
         {serviceLine}},
        {"an edited answer edited again",
         [](TestProgram& p) {
             editedAndShown(p);
             p.clock.time = p.clock.time.addSecs(1);
             return editedAndShown(p, p.read(QStringLiteral("ZORVA_VDJ1B_response.xml")));
         },
         {band, serviceYearly},
         {serviceLine}},
        {"the saved changed document rendered again",
         [](TestProgram& p) {
             editedAndShown(p);
             QFile::remove(p.path(QStringLiteral("ZORVA_VDJ1B_response.htm")));
             return mainWindowPage(p);
         },
         {band, QStringLiteral("Skot mladší – počet zvířat (ks)"), serviceYearly},
         {serviceLine}},
        {"an answer with texts the program could not take, recomputed",
         [](TestProgram& p) {
             QByteArray answer = kAnswer;
             const qsizetype at = answer.indexOf("<RUX:SKOTML");
             answer.insert(answer.indexOf('>', at) + 1, "9999");  // "999921": six digits
             p.write(QStringLiteral("in.xml"), answer);
             QStringList errors;
             EXPECT_EQ(editor::recompute({"--recompute", p.path(QStringLiteral("in.xml")), "--out",
                                          p.path(QStringLiteral("ZORVA_VDJ1B_response.xml"))},
                                         p.ctx, {[](const QByteArray&) {}, [&](const QString& e) { errors << e; }}),
                       0);
             EXPECT_EQ(errors.size(), 1);
             return mainWindowPage(p);
         },
         {QStringLiteral("Některé údaje odpovědi program nepřevzal"), QStringLiteral("počítá se 0"), serviceLine},
         {band, QStringLiteral("UPRAVENO")}},
        {"an answer recomputed under limits of the settings",
         [](TestProgram& p) {
             p.write(QStringLiteral("ZORVA_VDJ.INI"), "[LIMITY]\r\nTYP4_MIN=1,2\r\nTYP4_MAX=2\r\n");
             p.write(QStringLiteral("in.xml"), kAnswer);
             EXPECT_EQ(editor::recompute({"--recompute", p.path(QStringLiteral("in.xml")), "--out",
                                          p.path(QStringLiteral("ZORVA_VDJ1B_response.xml"))},
                                         p.ctx, {[](const QByteArray&) {}, [](const QString&) {}}),
                       0);
             return mainWindowPage(p);
         },
         {QStringLiteral("PICHROKA – limit z nastavení: 1,200 – 2,000 VDJ/ha"), QStringLiteral("pod limitem"),
          QStringLiteral("limitMimo"), QStringLiteral("class=\"mimoLimit\""), QStringLiteral("limitCara"), serviceLine},
         {band}},
        {"figures written loosely: padded, with a comma, empty, or no number",
         [](TestProgram& p) {
             QByteArray answer = kAnswer;
             answer.replace("<RUX:SKOTML VDJ=\"12.6\" KOEF=\"0.6\">21</RUX:SKOTML>",
                            "<RUX:SKOTML VDJ=\" 12,7 \" KOEF=\"0,6\">\n 77 \n</RUX:SKOTML>");
             answer.replace("<RUX:KOZA VDJ=\"0.75\" KOEF=\"0.15\">5</RUX:KOZA>",
                            "<RUX:KOZA VDJ=\"0.75\" KOEF=\"0.15\"> pět  kusů </RUX:KOZA>");
             answer.replace("<RUX:SUMAVYMERADPB>48.37</RUX:SUMAVYMERADPB>", "<RUX:SUMAVYMERADPB> </RUX:SUMAVYMERADPB>");
             p.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), answer);
             return mainWindowPage(p);
         },
         {QStringLiteral(
              "<td class=\"num prvni\">77</td>\n<td class=\"num koef\">0,60</td>\n<td class=\"num\">12,70</td>"),
          QStringLiteral("<span class=\"necislo\" title=\"není číslo\">pět kusů</span>"),
          QStringLiteral("<td class=\"num\"><span class=\"slabe\">–</span></td>")},
         {QStringLiteral("48,37")}},
        {"a single-date answer",
         [](TestProgram& p) {
             p.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), singleDateAnswer());
             return mainWindowPage(p);
         },
         {QStringLiteral("1,162"), QStringLiteral("ke stanovenému dni")},
         {QStringLiteral("1,163"), QStringLiteral("Průměr intenzit"), QStringLiteral("<svg"), band}},
        {"a UTF-8 page through --render",
         [](TestProgram& p) {
             QByteArray xsl = dataFile(QStringLiteral("ZORVA_VDJ1B.xsl"));
             p.write(QStringLiteral("ZORVA_VDJ1B.xsl"), xsl.replace("encoding=\"windows-1250\"", "encoding=\"UTF-8\""));
             const QByteArray window = mainWindowPage(p);
             QStringList errors;
             const int status = render({"--render", p.path(QStringLiteral("ZORVA_VDJ1B_response.xml")), "--out",
                                        p.path(QStringLiteral("headless.htm"))},
                                       p.ctx, {[&](const QString& e) { errors << e; }});
             EXPECT_EQ(status, 0) << errors.join(QLatin1Char('\n')).toStdString();
             const QByteArray headless = p.read(QStringLiteral("headless.htm"));
             EXPECT_EQ(headless, window) << "the headless page differs from the window's";
             return headless;
         },
         {QStringLiteral("charset=UTF-8"), QStringLiteral("Výměra"), QStringLiteral("Dvořák"), serviceLine},
         {QStringLiteral("UPRAVENO")}},
    };
    for (const Case& c : cases) {
        TestProgram p;
        p.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
        p.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), kAnswer);
        const QByteArray page = c.page(p);
        ASSERT_TRUE(page.endsWith("</html>\r\n")) << c.what;
        const QString text = pageText(page);
        for (const QString& s : c.present) EXPECT_TRUE(text.contains(s)) << c.what << ": missing " << s.toStdString();
        for (const QString& s : c.absent)
            EXPECT_FALSE(text.contains(s)) << c.what << ": unexpected " << s.toStdString();
        EXPECT_TRUE(p.messages.shown.empty()) << c.what;
    }
}

TEST(Report, HeadlessRenderingRefusesBadInputWithoutOutput)
{
    TestProgram p;
    p.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
    p.write(QStringLiteral("in.xml"), kAnswer);
    p.write(QStringLiteral("broken.xml"), "<a><b>");
    p.write(QStringLiteral("plain"), "x");
    // What --recompute would have refused, --render refuses alike.
    QByteArray withDoctype = kAnswer;
    withDoctype.insert(withDoctype.indexOf("<SOAP:Envelope"), "<!DOCTYPE SOAP:Envelope>\n");
    p.write(QStringLiteral("doctype.xml"), withDoctype);
    p.writeOversized(QStringLiteral("big.xml"));
    struct Case {
        const char* what;
        QStringList args;
        std::function<void()> prepare = [] {};
        QString told = QString();  // the error message, when the case pins it
    };
    const QString out = p.path(QStringLiteral("out.htm"));
    const std::vector<Case> cases = {
        {"missing input", {"--render", p.path("missing.xml"), "--out", out}},
        {"malformed input", {"--render", p.path("broken.xml"), "--out", out}},
        {"a DOCTYPE",
         {"--render", p.path("doctype.xml"), "--out", out},
         [] {},
         QStringLiteral("Soubor \"%1\" nelze načíst. Dokument obsahuje deklaraci typu dokumentu (DOCTYPE), kterou "
                        "program nepřijímá.")
             .arg(p.path("doctype.xml"))},
        {"too large",
         {"--render", p.path("big.xml"), "--out", out},
         [] {},
         QStringLiteral("Soubor \"%1\" nelze načíst. Dokument je příliš velký (nejvýše 64 MB).")
             .arg(p.path("big.xml"))},
        {"no output named", {"--render", p.path("in.xml")}},
        {"unknown option", {"--render", p.path("in.xml"), "--docx", "--out", out}},
        {"output under a regular file", {"--render", p.path("in.xml"), "--out", p.path("plain") + "/out.htm"}},
        {"no stylesheet",
         {"--render", p.path("in.xml"), "--out", out},
         [&] { QFile::remove(p.path(QStringLiteral("ZORVA_VDJ1B.xsl"))); }},
    };
    for (const Case& c : cases) {
        c.prepare();
        QStringList errors;
        EXPECT_EQ(render(c.args, p.ctx, {[&](const QString& e) { errors << e; }}), 2) << c.what;
        ASSERT_EQ(errors.size(), 1) << c.what;
        EXPECT_FALSE(errors[0].contains(QStringLiteral("rror"))) << c.what << ": " << errors[0].toStdString();
        if (!c.told.isEmpty()) { EXPECT_EQ(errors[0], c.told) << c.what; }
        EXPECT_FALSE(QFile::exists(out)) << c.what;
        EXPECT_FALSE(QFile::exists(p.path("plain") + "/out.htm")) << c.what;
    }
}
