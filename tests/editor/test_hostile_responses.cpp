// Responses that no honest service sends, through the editor's loading, calculation and write-back
// and through the headless recompute: the program must neither crash nor write a number text that
// another program cannot read back (no "inf", no "nan").
#include "EditorFixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

#include "editor/Recompute.h"

using namespace zorva;
using namespace zorva::test;

namespace {

const QStringList kExotic = {
    QStringLiteral("1E308"),
    QStringLiteral("-1E308"),
    QStringLiteral("1E309"),
    QStringLiteral("1.79769313486232E+308"),
    QStringLiteral("-0"),
    QStringLiteral("NaN"),
    QStringLiteral("Infinity"),
    QStringLiteral("-inf"),
    QStringLiteral("99999999999999999999"),
    QStringLiteral("1D308"),
    QStringLiteral("4.9E-324"),
};

// Every place the write-back writes must hold a plain decimal number. A write that failed (a text
// beyond the range of numbers cannot be read) is skipped and leaves the service's own text.
void expectOnlyNumbersWritten(const xml::Document& doc, const QString& what, const QString& sent = QString())
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?(E[+-][0-9]+)?$"));
    auto check = [&](const QString& where, const QString& text) {
        EXPECT_TRUE(number.match(text).hasMatch() || (!sent.isEmpty() && text == sent))
            << what.toStdString() << ": " << where.toStdString() << " = \"" << text.left(80).toStdString() << "\"";
    };
    for (const xml::Node& row : doc.selectList(QStringLiteral("//VDJ:PICHROW"))) {
        for (const char* a : {"VDJA", "VDJB", "PICHA", "PICHB"})
            check(QString::fromLatin1(a), row.attribute(QString::fromLatin1(a)).value_or(QStringLiteral("0")));
        if (const xml::Node acreage = row.selectSingle(QStringLiteral("RUX:SUMAVYMERADPB")))
            check(QStringLiteral("SUMAVYMERADPB"), acreage.text());
        for (const auto& c : editor::CategorySet::first().categories) {
            const xml::Node n = row.selectSingle(QStringLiteral("RUX:") + c.name);
            if (!n) continue;
            check(c.name, n.text());
            check(c.name + QStringLiteral("/@VDJ"), n.attribute(QStringLiteral("VDJ")).value_or(QStringLiteral("0")));
        }
    }
    for (const char* yearly : {"//RUX:PICHROKA", "//RUX:PICHROKB"})
        if (const xml::Node n = doc.selectSingle(QString::fromLatin1(yearly)))
            check(QString::fromLatin1(yearly), n.text());
}

RowValues plainRow(const QString& date)
{
    RowValues r;
    r.date = date;
    for (const auto& c : editor::CategorySet::first().categories)
        r.categories[c.name] = {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0.5")};
    return r;
}

}  // namespace

class HostileResponse : public EditorFixture {};

TEST_F(HostileResponse, ExoticNumberTextsNeverBecomeInfinityOrNotANumber)
{
    struct Place {
        const char* what;
        std::function<void(RowValues&, const QString&)> put;
    };
    const std::vector<Place> places = {
        {"count", [](RowValues& r, const QString& t) { r.categories[QStringLiteral("SKOTML")].count = t; }},
        {"every count",
         [](RowValues& r, const QString& t) {
             for (auto& [n, c] : r.categories) c.count = t;
         }},
        {"KOEF", [](RowValues& r, const QString& t) { r.categories[QStringLiteral("SKOTML")].koef = t; }},
        {"every KOEF",
         [](RowValues& r, const QString& t) {
             for (auto& [n, c] : r.categories) c.koef = t;
         }},
        {"count and KOEF",
         [](RowValues& r, const QString& t) {
             for (auto& [n, c] : r.categories) {
                 c.koef = t;
                 c.count = t;
             }
         }},
        {"acreage", [](RowValues& r, const QString& t) { r.acreage = t; }},
        {"PICHA",
         [](RowValues& r, const QString& t) {
             r.picha = t;
             r.pichb = t;
         }},
        {"units",
         [](RowValues& r, const QString& t) {
             r.vdja = t;
             r.categories[QStringLiteral("OVCE")].vdj = t;
         }},
    };
    for (const Place& place : places) {
        for (const QString& text : kExotic) {
            const QString what = QString::fromLatin1(place.what) + QStringLiteral(" ") + text;
            ResponseShape shape;
            shape.type = QStringLiteral("1");  // eco categories written too
            shape.rows = {plainRow(QStringLiteral("2005-01-01")), plainRow(QStringLiteral("2005-07-01"))};
            place.put(shape.rows[0], text);
            place.put(shape.rows[1], text);
            shape.rows[1].acreage = QStringLiteral("1E-300");  // a tiny area makes huge intensities
            program.messages.shown.clear();
            load(shape);
            ASSERT_NE(session->recordset(), nullptr) << what.toStdString();
            session->Pocitej();
            expectOnlyNumbersWritten(*doc, what, text);
            EXPECT_TRUE(program.messages.shown.empty()) << what.toStdString();
            // The document still saves and loads.
            xml::Document again;
            EXPECT_TRUE(again.loadXml(doc->toBytes())) << what.toStdString();
        }
    }
}

TEST_F(HostileResponse, Utf16AndByteOrderMarksLoadAndCalculateLikeUtf8)
{
    ResponseShape shape;
    RowValues r = plainRow(QStringLiteral("2005-01-01"));
    r.categories[QStringLiteral("SKOTML")] = {QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0.6")};
    shape.rows = {r};
    shape.jisubrux = QStringLiteral("Žluťoučký kůň");
    const QString text = QString::fromUtf8(buildResponse(shape));
    QString declared16 = text;
    declared16.replace(QRegularExpression(QStringLiteral("^<\\?xml[^>]*\\?>")),
                       QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"));
    auto utf16 = [](const QString& s, QStringConverter::Encoding e, bool bom) {
        QStringEncoder enc(e, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
        return QByteArray(enc(s));
    };
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const std::vector<Case> cases = {
        {"UTF-8", text.toUtf8()},
        {"UTF-8 with BOM", QByteArray("\xEF\xBB\xBF") + text.toUtf8()},
        {"UTF-16LE with BOM", utf16(declared16, QStringConverter::Utf16LE, true)},
        {"UTF-16BE with BOM", utf16(declared16, QStringConverter::Utf16BE, true)},
        {"UTF-16LE with BOM, UTF-8 declared", utf16(text, QStringConverter::Utf16LE, true)},
    };
    for (const Case& c : cases) {
        program.messages.shown.clear();
        loadBytes(c.bytes);
        ASSERT_FALSE(doc->isEmpty()) << c.what;
        ASSERT_NE(session->recordset(), nullptr) << c.what;
        EXPECT_EQ(session->header(QStringLiteral("txtJISUBRUX")), QStringLiteral("Žluťoučký kůň")) << c.what;
        EXPECT_EQ(rs().rowCount(), 1) << c.what;
        session->Pocitej();
        EXPECT_EQ(categoryUnits(QStringLiteral("2005-01-01"), QStringLiteral("SKOTML")), QStringLiteral("6")) << c.what;
        // Whatever came in, the stored response is UTF-8 with its declaration and reads back the same.
        doc->save(program.path(QStringLiteral("out.xml")));
        const QByteArray saved = program.read(QStringLiteral("out.xml"));
        EXPECT_TRUE(saved.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"))
            << c.what << ": " << saved.left(60).toStdString();
        xml::Document back;
        ASSERT_TRUE(back.loadXml(saved)) << c.what;
        EXPECT_EQ(back.selectSingle(QStringLiteral("//RUX:JISUBRUX")).text(), QStringLiteral("Žluťoučký kůň"))
            << c.what;
        EXPECT_TRUE(program.messages.shown.empty()) << c.what;
    }
}

TEST_F(HostileResponse, DeeplyNestedElementsAreRefusedOrLoadedWithoutHarm)
{
    // The rows hidden under many levels of foreign elements are still found; past the parser's
    // depth limit the document is refused as a whole, without exhausting the stack.
    for (int depth : {50, 200, 5000, 200000}) {
        ResponseShape shape;
        shape.rows = {plainRow(QStringLiteral("2005-01-01"))};
        QByteArray bytes = buildResponse(shape);
        const qsizetype at = bytes.indexOf("<VDJ:PICHROWS>");
        ASSERT_GE(at, 0);
        QByteArray open, close;
        for (int i = 0; i < depth; ++i) {
            open += "<RUX:X>";
            close += "</RUX:X>";
        }
        const qsizetype end = bytes.indexOf("</VDJ:PICHROWS>") + qsizetype(strlen("</VDJ:PICHROWS>"));
        bytes.insert(end, close);
        bytes.insert(at, open);
        program.messages.shown.clear();
        loadBytes(bytes);
        if (depth <= 200) {
            ASSERT_NE(session->recordset(), nullptr) << depth;
            EXPECT_EQ(rs().rowCount(), 1) << depth;
            session->Pocitej();
            expectOnlyNumbersWritten(*doc, QString::number(depth));
        } else {
            EXPECT_TRUE(doc->isEmpty()) << depth;
        }
        // The test clock stands still: the opening above gives its working database up first.
        session.reset();
        for (const QString& f : program.files(QStringLiteral("TMP*.MDB"))) QFile::remove(program.path(f));
        program.write(QStringLiteral("deep.xml"), bytes);
        QStringList errors;
        const int status =
            editor::recompute({QStringLiteral("--recompute"), program.path(QStringLiteral("deep.xml")),
                               QStringLiteral("--out"), program.path(QStringLiteral("deep-out.xml"))},
                              program.ctx, {[](const QByteArray&) {}, [&](const QString& e) { errors << e; }});
        EXPECT_EQ(status, depth <= 200 ? 0 : 2) << depth;
        EXPECT_EQ(errors.isEmpty(), status == 0) << depth;
    }
}

TEST_F(HostileResponse, AFiftyMegabyteResponseGoesThroughTheRecompute)
{
    // Two thousand real rows, padded to 50 MB with remarks the program does not read.
    ResponseShape shape;
    for (int i = 0; i < 2000; ++i)
        shape.rows.push_back(plainRow(QStringLiteral("D%1").arg(i, 5, 10, QLatin1Char('0'))));
    QByteArray bytes = buildResponse(shape);
    QByteArray padding;
    const QByteArray remark = "<RUX:POZNAMKA>" + QByteArray(1000, 'x') + "</RUX:POZNAMKA>\n";
    while (bytes.size() + padding.size() < 50 * 1024 * 1024) padding += remark;
    bytes.insert(bytes.indexOf("<VDJ:PICHROWS>"), padding);
    ASSERT_GE(bytes.size(), 50 * 1024 * 1024);
    program.write(QStringLiteral("big.xml"), bytes);
    bytes.clear();
    padding.clear();

    QStringList errors;
    const int status =
        editor::recompute({QStringLiteral("--recompute"), program.path(QStringLiteral("big.xml")),
                           QStringLiteral("--out"), program.path(QStringLiteral("big-out.xml"))},
                          program.ctx, {[](const QByteArray&) {}, [&](const QString& e) { errors << e; }});
    ASSERT_EQ(status, 0) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_GE(QFileInfo(program.path(QStringLiteral("big-out.xml"))).size(), 50 * 1024 * 1024);
    xml::Document out;
    ASSERT_TRUE(out.load(program.path(QStringLiteral("big-out.xml"))));
    const auto rows = out.selectList(QStringLiteral("//VDJ:PICHROW"));
    ASSERT_EQ(rows.size(), 2000u);
    // 27 categories... whatever the set, every row got its sums: 0.5 units per animal, 12.5 ha.
    EXPECT_NE(rows.back().attribute(QStringLiteral("VDJA")).value_or(QString()), QStringLiteral("0"));
    EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty());
}

TEST_F(HostileResponse, RecomputeInAFolderThatCannotHoldFilesFailsWithAMessage)
{
    ResponseShape shape;
    shape.rows = {plainRow(QStringLiteral("2005-01-01"))};
    program.write(QStringLiteral("in.xml"), buildResponse(shape));
    program.write(QStringLiteral("plain-file"), "x");
    ProgramContext ctx = program.ctx;
    ctx.folder = program.path(QStringLiteral("plain-file")) + QStringLiteral("/sub");
    QStringList errors;
    QByteArray out;
    const int status =
        editor::recompute({QStringLiteral("--recompute"), program.path(QStringLiteral("in.xml"))}, ctx,
                          {[&](const QByteArray& b) { out += b; }, [&](const QString& e) { errors << e; }});
    EXPECT_EQ(status, 2);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Odpověď nelze načíst: "))) << errors[0].toStdString();
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(program.read(QStringLiteral("plain-file")), QByteArray("x"));

    // The output below a regular file: the same clear refusal, and nothing else written.
    errors.clear();
    const int second = editor::recompute(
        {QStringLiteral("--recompute"), program.path(QStringLiteral("in.xml")), QStringLiteral("--out"),
         program.path(QStringLiteral("plain-file")) + QStringLiteral("/out.xml")},
        program.ctx, {[&](const QByteArray& b) { out += b; }, [&](const QString& e) { errors << e; }});
    EXPECT_EQ(second, 2);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Výsledek nelze uložit"))) << errors[0].toStdString();
    EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty());
}
