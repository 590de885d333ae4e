#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include "common/Failure.h"
#include "common/IniFile.h"
#include "common/Windows1250.h"
#include "platform/XmlDocument.h"
#include "request/BatchCommand.h"
#include "request/BatchList.h"
#include "request/BatchSummary.h"
#include "request/SummaryWorkbook.h"
#include "request/ui/BatchWindow.h"
#include "request/ui/MainActions.h"
#include "request/ui/frmMain.h"
#include "service/DemoService.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;

namespace {

const QByteArray kHeader = "JISUBRUX;ICO;RC;TYP;VARIANTA;ROK;VYMERA\r\n";

QStringList lines(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes);
    text.remove(QChar(0xFEFF));
    return text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

}  // namespace

TEST(BatchList, ReadsEncodingsQuotesAndColumnsInAnyOrder)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QString jisubrux, rc, year, acreage;
    };
    const Case cases[] = {
        {"utf-8 with mark", "\xEF\xBB\xBF" + kHeader + "1000234567;;;4;A;2005;\r\n", "1000234567", "", "2005", ""},
        {"header in any order and case", "rok;Typ;varianta;Rc;jisubrux;ico\n2006;4;B;;1000876543;\n", "1000876543", "",
         "2006", ""},
        {"quoted separator, quote and line break", kHeader + "\"10;0\";;\"60\"\"03\r\n15\";6;A;2006;\"12,5\"\n", "10;0",
         "60\"03\r\n15", "2006", "12,5"},
        {"windows-1250",
         toWindows1250(QStringLiteral("JISUBRUX;ICO;RC;TYP;VARIANTA;ROK;VYMERA\r\nŽďár;;;4;A;2005;\r\n")),
         QStringLiteral("Žďár"), "", "2005", ""},
        {"windows-1250 behind a mark",
         "\xEF\xBB\xBF" + toWindows1250(QStringLiteral("JISUBRUX;ICO;RC;TYP;VARIANTA;ROK\r\nŽďár;;;4;A;2005\r\n")),
         QStringLiteral("Žďár"), "", "2005", ""},
        {"blank spreadsheet rows", kHeader + ";;;;;;\r\n1000234567;;;4;A;2005;\r\n ; ;;;;;\r\n", "1000234567", "",
         "2005", ""},
        {"quote inside a plain field", kHeader + "10\"0;;;4;A;2005;\r\n", "10\"0", "", "2005", ""},
    };
    for (const Case& c : cases) {
        const auto rows = request::parseBatchList(c.bytes);
        ASSERT_EQ(rows.size(), 1u) << c.name;
        EXPECT_EQ(rows[0].number, 1) << c.name;
        EXPECT_EQ(rows[0].jisubrux, c.jisubrux) << c.name;
        EXPECT_EQ(rows[0].rc, c.rc) << c.name;
        EXPECT_EQ(rows[0].year, c.year) << c.name;
        EXPECT_EQ(rows[0].acreage, c.acreage) << c.name;
    }
    EXPECT_THROW(request::parseBatchList("JISUBRUX;ICO;RC;ROK\n1;2;3;2005\n"), Failure);
    EXPECT_THROW(request::parseBatchList(""), Failure);
}

// A long list is read from its file in pieces; the rows are those of the whole text, whichever
// byte a piece ends at.
TEST(BatchList, ALongListReadRowByRowGivesTheRowsOfTheWholeText)
{
    const QTemporaryDir dir;
    for (const bool czechCodePage : {false, true}) {
        QString text = QString::fromUtf8(kHeader);
        for (int i = 0; i < 6000; ++i) {
            const QString name = i % 7 == 0 ? QStringLiteral("\"Žďár\r\n;%1\"").arg(i) : QString::number(i);
            text += name + (i % 3 ? QStringLiteral(";;;4;A;2005;\r\n") : QStringLiteral(";;;4;A;2005;\n"));
            if (i % 11 == 0) text += QStringLiteral(";;;;;;\r\n");
        }
        const QByteArray bytes = czechCodePage ? toWindows1250(text) : "\xEF\xBB\xBF" + text.toUtf8();
        const QString path = dir.filePath(QStringLiteral("seznam.csv"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        const std::vector<request::BatchRow> whole = request::parseBatchList(bytes);
        request::BatchList list(path);
        ASSERT_EQ(list.size(), 6000);
        ASSERT_EQ(whole.size(), 6000u);
        request::BatchRow row;
        for (const request::BatchRow& expected : whole) {
            ASSERT_TRUE(list.next(row));
            EXPECT_EQ(row.number, expected.number);
            EXPECT_EQ(row.jisubrux, expected.jisubrux) << row.number;
            EXPECT_EQ(row.year, expected.year) << row.number;
        }
        EXPECT_FALSE(list.next(row));
        EXPECT_EQ(whole[7].jisubrux, QStringLiteral("Žďár\r\n;7"));
    }
}

// The lines of a long batch wait in a file; the summaries read from there are those of the lines
// held in memory.
TEST(BatchSummary, LinesKeptInAFileGiveTheSameSummaries)
{
    const QTemporaryDir dir;
    std::vector<request::BatchResult> results;
    request::SpilledLines spilled(dir.path());
    for (int i = 1; i <= 20000; ++i) {
        request::BatchResult r;
        r.number = i;
        r.jisubrux = QString::number(2000000000 + i);
        r.name = QStringLiteral("Farma č. %1").arg(i);
        r.type = QStringLiteral("4");
        r.pichA = QStringLiteral("0.%1").arg(i % 1000);
        if (i % 3 == 0) r.margin = double(i % 17) / 10 - 0.5;
        r.limit = r.margin ? QStringLiteral("0,300–1,000") : QString();
        r.state = i % 5 ? request::LineState::answered()
                        : request::LineState::failed(QStringLiteral("Žadatel nebyl nalezen"));
        if (r.ok()) r.page = QString::number(i) + QStringLiteral(".htm");
        results.push_back(r);
        spilled.add(r);
    }
    auto bytes = [&](const QString& name) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    request::writeSummaryCsv(dir.filePath(QStringLiteral("a.csv")), results);
    request::writeSummaryCsv(dir.filePath(QStringLiteral("b.csv")), spilled);
    request::writeSummaryHtml(dir.filePath(QStringLiteral("a.htm")), results);
    request::writeSummaryHtml(dir.filePath(QStringLiteral("b.htm")), spilled);
    EXPECT_EQ(bytes(QStringLiteral("a.csv")), bytes(QStringLiteral("b.csv")));
    EXPECT_EQ(bytes(QStringLiteral("a.htm")), bytes(QStringLiteral("b.htm")));
    EXPECT_TRUE(bytes(QStringLiteral("b.htm")).contains("<h2>Nejblíže limitu</h2>"));
    EXPECT_EQ(spilled.counts().text(), request::BatchCounts::of(results).text());
    // The file has no name: nothing but the summaries is in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 4);
}

// Names and messages come from the service and the list: a spreadsheet opening the summary must
// neither split them nor run them as formulas, and the figures stay figures.
TEST(BatchSummary, TextsStayTextsAndFiguresStayFigures)
{
    struct Case {
        const char* name;
        const char* pichA;
        const char* state;
        const char* line;
    };
    const Case cases[] = {
        {"Farma Dvořák", "0.942", "OK", "1;1000234567;;;Farma Dvořák;4;C;2005;0,942;;;;;OK"},
        {"=HYPERLINK(\"http://x\";\"y\")", "-0.5", "OK",
         "1;1000234567;;;\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\";4;C;2005;-0,5;;;;;OK"},
        {"+420 farma", "12", "OK", "1;1000234567;;;'+420 farma;4;C;2005;12;;;;;OK"},
        {"-farma", "", "-1-chyba", "1;1000234567;;;'-farma;4;C;2005;;;;;;'-1-chyba"},
        {"@SUM(A1)", "=1+1", "OK", "1;1000234567;;;'@SUM(A1);4;C;2005;'=1+1;;;;;OK"},
        {"\tfarma", "", "OK", "1;1000234567;;;'\tfarma;4;C;2005;;;;;;OK"},
        {"\rfarma", "", "OK", "1;1000234567;;;\"'\rfarma\";4;C;2005;;;;;;OK"},
        {"Farma, s.r.o.", "", "VARIANTA musí být A, B nebo C !!",
         "1;1000234567;;;\"Farma, s.r.o.\";4;C;2005;;;;;;\"VARIANTA musí být A, B nebo C !!\""},
    };
    const QTemporaryDir dir;
    request::BatchResult r;
    r.number = 1;
    r.jisubrux = QStringLiteral("1000234567");
    r.type = QStringLiteral("4");
    r.variant = QStringLiteral("C");
    r.year = QStringLiteral("2005");
    for (const Case& c : cases) {
        r.name = QString::fromUtf8(c.name);
        r.pichA = QString::fromUtf8(c.pichA);
        r.state = std::string_view(c.state) == "OK" ? request::LineState::answered()
                                                    : request::LineState::failed(QString::fromUtf8(c.state));
        request::writeSummaryCsv(dir.filePath(QStringLiteral("souhrn.csv")), {r});
        QFile csv(dir.filePath(QStringLiteral("souhrn.csv")));
        ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(csv.readAll()).section(QStringLiteral("\r\n"), 1, 1), QString::fromUtf8(c.line))
            << c.name;
    }
    // The page is no spreadsheet: there a name only needs escaping.
    r.name = QStringLiteral("<b>=1+1</b>");
    request::writeSummaryHtml(dir.filePath(QStringLiteral("souhrn.htm")), {r});
    QFile page(dir.filePath(QStringLiteral("souhrn.htm")));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("<td>&lt;b&gt;=1+1&lt;/b&gt;</td>"));
}

// The workbook's cells carry their types: what a spreadsheet would otherwise guess wrong.
TEST(BatchSummary, WorkbookCellsKeepTheirTypes)
{
    const QTemporaryDir dir;
    request::BatchResult r;
    r.number = 7;
    r.ico = QStringLiteral("00123455");
    r.name = QStringLiteral("=1+1 Farma, s.r.o.");
    r.type = QStringLiteral("6");
    r.variant = QStringLiteral("A");
    r.year = QStringLiteral("15.05.2005");
    r.acreage = QStringLiteral("12.5");
    r.pichA = QStringLiteral("0.942");
    r.state = request::LineState::answered();
    const QString path = dir.filePath(QStringLiteral("souhrn.xlsx"));
    // A long list's workbook is streamed: its texts are in their cells instead of one shared table.
    for (const xlsx::Writing writing : {xlsx::Writing::Held, xlsx::Writing::Streamed}) {
        request::writeSummaryXlsx(path, request::HeldLines({r}), writing);
        auto part = [&](const char* name) {
            QProcess unzip;
            unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, QString::fromLatin1(name)});
            EXPECT_TRUE(unzip.waitForFinished(30000));
            return QString::fromUtf8(unzip.readAllStandardOutput());
        };
        const QString strings =
            part(writing == xlsx::Writing::Held ? "xl/sharedStrings.xml" : "xl/worksheets/sheet1.xml");
        const QString sheet = part("xl/worksheets/sheet1.xml");
        EXPECT_TRUE(strings.contains(QStringLiteral(">00123455<"))) << qPrintable(strings);
        EXPECT_TRUE(strings.contains(QStringLiteral(">=1+1 Farma, s.r.o.<")));
        EXPECT_TRUE(strings.contains(QStringLiteral("Žadatel")));
        EXPECT_FALSE(sheet.contains(QStringLiteral("<f>")));  // no formula anywhere
        // Numbers, not texts: no "t" attribute; the date as its day number.
        const std::pair<const char*, double> numbers[] = {
            {"A2", 7}, {"F2", 6}, {"H2", 38487}, {"I2", 12.5}, {"J2", 0.942}};
        for (const auto& [cell, value] : numbers) {
            const QRegularExpression number(
                QStringLiteral("<c r=\"%1\" s=\"\\d+\"><v>([^<]*)</v>").arg(QLatin1String(cell)));
            const QRegularExpressionMatch m = number.match(sheet);
            ASSERT_TRUE(m.hasMatch()) << cell;
            EXPECT_DOUBLE_EQ(m.captured(1).toDouble(), value) << cell;
        }
        EXPECT_TRUE(sheet.contains(QStringLiteral("<pane ySplit=\"1\"")));
        EXPECT_TRUE(part("xl/workbook.xml").contains(QStringLiteral("_FilterDatabase")));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("souhrn.xlsx")});  // nothing of the making stays behind
    }
}

// The batch against the demo service, in-process, on the loopback interface.
class Batch : public ::testing::Test {
protected:
    void SetUp() override
    {
        service = std::make_unique<service::DemoService>(QStringLiteral(ZORVA_DATA_DIR));
        service->addGeneratedApplicants(3);
        ASSERT_NE(service->listen(0), 0);
        url = service->exchangeUrl();
        program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
        out = program.path(QStringLiteral("\\vystup"));
    }
    int run(const QByteArray& list, QStringList extra = {})
    {
        program.write(QStringLiteral("\\seznam.csv"), list);
        progress.clear();
        return request::runBatchCommand(
            QStringList{QStringLiteral("--batch"), program.path(QStringLiteral("\\seznam.csv")),
                        QStringLiteral("--out"), out, QStringLiteral("--server"), url, QStringLiteral("--user"),
                        QStringLiteral("DEMO")} +
                extra,
            program.ctx, [this](const QString& line) { progress << line; });
    }
    QByteArray read(const QString& name) const
    {
        QFile f(QDir(out).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList outputs() const { return QDir(out).entryList(QDir::Files, QDir::Name); }

    TestProgram program;
    std::unique_ptr<service::DemoService> service;
    QString out;
    QString url;
    QStringList progress;
};

TEST_F(Batch, GoodAndFailingRowsAreReportedInTheOrderOfTheList)
{
    const QByteArray list = kHeader +
                            "1000234567;;;4;C;2005;\r\n"
                            "1000999999;;;4;A;2005;\r\n"
                            "2000000001;;;2;B;1.2.2006;\r\n"
                            "2000000002;;;2;B;31.2.2006;\r\n"
                            "\"2000000003\";\"\";\"\";\"6 - průměrná\";A;2006;\"12\"\r\n";
    EXPECT_EQ(run(list, {QStringLiteral("--jobs"), QStringLiteral("2")}), 1);
    EXPECT_EQ(outputs(),
              (QStringList{"1_1000234567.htm", "1_1000234567.xml", "3_2000000001.htm", "3_2000000001.xml",
                           "5_2000000003.htm", "5_2000000003.xml", "souhrn.csv", "souhrn.htm", "souhrn.xlsx"}));
    const QByteArray csv = read(QStringLiteral("souhrn.csv"));
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    const QStringList summary = lines(csv);
    ASSERT_EQ(summary.size(), 6);
    EXPECT_EQ(summary[0],
              "RADEK;JISUBRUX;ICO;RC;ZADATEL;TYP;VARIANTA;ROK;PICHROKA;PICHROKB;LIMIT;POSOUZENI;REZERVA;STAV");
    EXPECT_EQ(summary[1], QStringLiteral("1;1000234567;;;Jan Dvořák – rodinná farma;4;C;2005;1,108;1,108;;;;OK"));
    EXPECT_EQ(summary[2], QStringLiteral("2;1000999999;;;;4;A;2005;;;;;;Žadatel nebyl nalezen"));
    EXPECT_TRUE(summary[3].startsWith(QStringLiteral("3;2000000001;;;"))) << summary[3].toStdString();
    EXPECT_TRUE(summary[3].contains(QStringLiteral(";2;B;01.02.2006;;"))) << summary[3].toStdString();
    EXPECT_TRUE(summary[3].endsWith(QStringLiteral(";OK")));
    EXPECT_EQ(summary[4], QStringLiteral("4;2000000002;;;;2;B;31.2.2006;;;;;;DATUM není datum !!"));
    EXPECT_TRUE(summary[5].endsWith(QStringLiteral(";OK"))) << summary[5].toStdString();
    EXPECT_EQ(progress,
              (QStringList{QStringLiteral("1/5 1000234567 OK"), QStringLiteral("2/5 1000999999 Žadatel nebyl nalezen"),
                           QStringLiteral("3/5 2000000001 OK"), QStringLiteral("4/5 2000000002 DATUM není datum !!"),
                           QStringLiteral("5/5 2000000003 OK")}));
    EXPECT_TRUE(read(QStringLiteral("1_1000234567.htm")).endsWith("\r\n"));
    EXPECT_TRUE(read(QStringLiteral("souhrn.htm")).contains("<a href=\"3_2000000001.htm\">OK</a>"));
    // The summary looks like the report: its style comes from the report's stylesheet.
    EXPECT_TRUE(read(QStringLiteral("souhrn.htm")).contains("table.data th .pod"));
    xml::Document stored;
    ASSERT_TRUE(stored.load(QDir(out).filePath(QStringLiteral("1_1000234567.xml"))));
    EXPECT_EQ(stored.selectList(QStringLiteral("//VDJ:PICHROW")).size(), 12u);

    // The same list saved by a spreadsheet in the Czech code page gives the same summary.
    const QByteArray before = csv;
    QDir(out).removeRecursively();
    EXPECT_EQ(run(toWindows1250(QString::fromUtf8(list))), 1);
    EXPECT_EQ(lines(read(QStringLiteral("souhrn.csv"))).mid(0, 3), lines(before).mid(0, 3));
}

// A service that does not answer would cost every row its wait; the run stops after a few and says
// which rows it did not send, so that --resume sends them later.
TEST_F(Batch, AServiceOutOfReachStopsTheRunAfterAFewRows)
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    url = QStringLiteral("http://127.0.0.1:%1/x").arg(closed.serverPort());
    closed.close();
    QByteArray list = kHeader;
    for (int i = 0; i < 8; ++i) list += "1000234567;;;4;C;2005;\r\n";
    EXPECT_EQ(run(list, {QStringLiteral("--jobs"), QStringLiteral("1")}), 1);
    ASSERT_EQ(progress.size(), 8);
    const QString refused = QStringLiteral("Služba odmítla spojení: na zadané adrese neběží.");
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(progress[i].endsWith(refused)) << qPrintable(progress[i]);
    for (int i = 3; i < 8; ++i)
        EXPECT_TRUE(progress[i].endsWith(request::kNotSentUnreachable + QStringLiteral(": ") + refused))
            << qPrintable(progress[i]);
    EXPECT_TRUE(QFile::exists(QDir(out).filePath(QStringLiteral("souhrn.csv"))));
}

// With limits in the settings every answered line carries the verdict, and the page lists first the
// applicants outside or nearest their limits.
TEST_F(Batch, AnsweredLinesAreJudgedByTheSettingsLimits)
{
    program.write(QStringLiteral("\\ZORVA_VDJ.INI"), "[LIMITY]\r\nTYP4_MIN=0,3\r\nTYP4_MAX=1\r\n");
    EXPECT_EQ(run(kHeader + "1000234567;;;4;C;2005;\r\n1000999999;;;4;A;2005;\r\n"), 1);
    const QStringList summary = lines(read(QStringLiteral("souhrn.csv")));
    ASSERT_EQ(summary.size(), 3);
    EXPECT_TRUE(
        summary[1].endsWith(QStringLiteral(";1,108;1,108;\"0,300–1,000 (limit z nastavení)\";nad limitem;-0,108;OK")))
        << qPrintable(summary[1]);
    EXPECT_TRUE(summary[2].endsWith(QStringLiteral(";;;;;;Žadatel nebyl nalezen"))) << qPrintable(summary[2]);
    const QString page = QString::fromUtf8(read(QStringLiteral("souhrn.htm")));
    EXPECT_LT(page.indexOf(QStringLiteral("<h2>Nejblíže limitu</h2>")), page.indexOf(QStringLiteral("<h2>Všechny")));
    EXPECT_TRUE(page.contains(QStringLiteral("<td class=\"selhani\">nad limitem</td><td class=\"num\">-0,108</td>")));
}

// With --pdf every page has its PDF beside it, also a page a resumed run finds without one.
TEST_F(Batch, WithPdfEveryPageIsPrintedToo)
{
    const QByteArray list = kHeader + "1000234567;;;4;C;2005;\r\n1000999999;;;4;A;2005;\r\n";
    EXPECT_EQ(run(list, {QStringLiteral("--pdf")}), 1);
    EXPECT_TRUE(read(QStringLiteral("1_1000234567.pdf")).startsWith("%PDF-"));
    EXPECT_FALSE(outputs().contains(QStringLiteral("2_1000999999.pdf")));
    QFile::remove(QDir(out).filePath(QStringLiteral("1_1000234567.pdf")));
    service.reset();
    EXPECT_EQ(run(list, {QStringLiteral("--pdf"), QStringLiteral("--resume")}), 1);
    EXPECT_TRUE(read(QStringLiteral("1_1000234567.pdf")).startsWith("%PDF-"));
}

TEST_F(Batch, BadInvocationsWriteNothing)
{
    EXPECT_EQ(run(kHeader + "1000234567;;;4;C;2005;\r\n", {QStringLiteral("--jobs"), QStringLiteral("0")}), 2);
    EXPECT_EQ(run("JISUBRUX;ROK\r\n1000234567;2005\r\n"), 2);
    EXPECT_FALSE(QDir(out).exists());
    // A file where the folder should be.
    program.write(QStringLiteral("\\vystup"), "x");
    EXPECT_EQ(run(kHeader + "1000234567;;;4;C;2005;\r\n"), 2);
}

TEST_F(Batch, ResumeSendsNothingThatIsAlreadyThere)
{
    const QByteArray list = kHeader +
                            "1000234567;;;4;C;2005;\r\n2000000001;;;5;A;2007;\r\n1000999999;;;4;A;2005;\r\n"
                            "2000000002;;;6;A;2006;12\r\n2000000003;;;6;A;2006;12,0\r\n";
    EXPECT_EQ(run(list), 1);
    const QByteArray first = read(QStringLiteral("souhrn.csv"));
    QFile::remove(QDir(out).filePath(QStringLiteral("1_1000234567.htm")));
    QFile::remove(QDir(out).filePath(QStringLiteral("souhrn.csv")));

    // Without the service the stored rows are still OK; the page that went missing is made again. A
    // row that now asks another question is sent again.
    service.reset();
    EXPECT_EQ(run(QByteArray(list)
                      .replace(";5;A;2007;", ";5;A;2006;")
                      .replace(";2006;12\r", ";2006;30\r")
                      .replace(";12,0\r", ";12\r"),
                  {QStringLiteral("--resume")}),
              1);
    const QStringList again = lines(read(QStringLiteral("souhrn.csv")));
    EXPECT_EQ(again.mid(0, 2), lines(first).mid(0, 2));
    EXPECT_TRUE(again[2].endsWith(QStringLiteral(";Služba odmítla spojení: na zadané adrese neběží.")))
        << again[2].toStdString();
    EXPECT_TRUE(again[3].startsWith(QStringLiteral("3;1000999999;"))) << again[3].toStdString();
    EXPECT_TRUE(again[3].endsWith(QStringLiteral(";Služba odmítla spojení: na zadané adrese neběží.")))
        << again[3].toStdString();
    EXPECT_TRUE(read(QStringLiteral("1_1000234567.htm")).endsWith("\r\n"));
    // Another acreage is another question; the same one written otherwise is not.
    EXPECT_TRUE(again[4].endsWith(QStringLiteral(";Služba odmítla spojení: na zadané adrese neběží.")))
        << again[4].toStdString();
    EXPECT_EQ(again[5], lines(first)[5]);
}

// A full disk fails the rows whose files do not fit, with the reason; no file is left empty or half
// written; the summary is written when it fits, and otherwise the batch says so and fails.
TEST_F(Batch, AFullDiskFailsTheRowsAndLeavesNoEmptyFile)
{
    SmallDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << disk.why.toStdString();
    out = QDir(disk.path()).filePath(QStringLiteral("vystup"));
    ASSERT_TRUE(QDir().mkpath(out));
    const QString full = QStringLiteral("Na disku není dost místa: ") + out;
    struct Case {
        qint64 room;  // what the disk has left: the summaries fit in 24 kB, a row's page does not
        QStringList files;
        QString said;
    };
    const Case cases[] = {
        {24 * 1024,
         {QStringLiteral("souhrn.csv"), QStringLiteral("souhrn.htm"), QStringLiteral("souhrn.xlsx")},
         QString()},
        {0, {}, QStringLiteral("Souhrn dávky (souhrn.csv) nelze zapsat. ") + full},
    };
    for (const Case& c : cases) {
        for (const QString& name : outputs()) QFile::remove(QDir(out).filePath(name));
        QFile::remove(QDir(disk.path()).filePath(QStringLiteral("plnivo")));
        disk.fill(c.room);
        EXPECT_EQ(run(kHeader + "1000234567;;;4;C;2005;\r\n2000000001;;;5;A;2006;\r\n"), 1) << c.room;
        EXPECT_EQ(outputs(), c.files) << c.room;
        for (const QString& name : outputs())
            EXPECT_GT(QFileInfo(QDir(out).filePath(name)).size(), 0) << name.toStdString();
        EXPECT_EQ(progress.mid(0, 2),
                  (QStringList{QStringLiteral("1/2 1000234567 ") + full, QStringLiteral("2/2 2000000001 ") + full}))
            << c.room;
        EXPECT_EQ(progress.mid(2), c.said.isEmpty() ? QStringList() : QStringList{c.said}) << c.room;
        if (!c.files.isEmpty()) {
            EXPECT_TRUE(lines(read(QStringLiteral("souhrn.csv"))).value(1).endsWith(QLatin1Char(';') + full));
        }
    }
}

TEST_F(Batch, AKilledRunLeavesOnlyWholeFiles)
{
    QByteArray list = kHeader;
    for (int i = 0; i < 300; ++i) list += "1000112233;;;4;C;2006;\r\n";
    program.write(QStringLiteral("\\seznam.csv"), list);
    QProcess batch;
    batch.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    batch.start(QStringLiteral(ZORVA_PROGRAM_EXE),
                {QStringLiteral("--batch"), program.path(QStringLiteral("\\seznam.csv")), QStringLiteral("--out"), out,
                 QStringLiteral("--server"), url, QStringLiteral("--user"), QStringLiteral("DEMO"),
                 QStringLiteral("--jobs"), QStringLiteral("2")});
    ASSERT_TRUE(batch.waitForStarted());
    // The service answers from this thread's event loop; kill the batch once it has written a few rows.
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (outputs().size() >= 8 || batch.state() == QProcess::NotRunning) loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_EQ(batch.state(), QProcess::Running) << "the batch ended before it could be killed";
    batch.kill();
    batch.waitForFinished();

    const QStringList files = outputs();
    EXPECT_GE(files.size(), 8);
    for (const QString& name : files) {
        ASSERT_TRUE(name.endsWith(QLatin1String(".xml")) || name.endsWith(QLatin1String(".htm"))) << name.toStdString();
        if (name.endsWith(QLatin1String(".xml"))) {
            EXPECT_TRUE(xml::Document().load(QDir(out).filePath(name))) << name.toStdString();
            const QString page = name.chopped(4) + QStringLiteral(".htm");
            EXPECT_TRUE(read(page).endsWith("</html>\r\n")) << page.toStdString();
        } else {
            EXPECT_TRUE(read(name).endsWith("</html>\r\n")) << name.toStdString();
        }
    }
}

TEST_F(Batch, TheWindowRunsAListFromTheMainWindowAndOpensTheSummary)
{
    // The user and the server are those the main window shows, not yet saved to the settings.
    ini::writeString(QStringLiteral("SETUP"), QStringLiteral("SERVER"), QStringLiteral("http://127.0.0.1:1/"),
                     program.ctx.settingsFile());
    program.write(QStringLiteral("\\seznam.csv"), kHeader +
                                                      "1000234567;;;4;C;2005;\r\n2000000002;;;1;A;x;\r\n"
                                                      "2000000003;;;5;B;2006;\r\n");
    frmMain main(program.ctx);
    new request::MainActions(main);
    main.txtUSERID->setText(QStringLiteral("DEMO"));
    main.txtSERVER->setPlainText(url);
    main.findChild<QPushButton*>(QStringLiteral("batchButton"))->click();
    auto* window = main.findChild<request::BatchWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->cancelButton->isEnabled());
    window->listPath->setText(program.path(QStringLiteral("\\seznam.csv")));
    window->outFolder->setText(out);
    window->pdf->setChecked(true);
    QSignalSpy done(window, &request::BatchWindow::batchFinished);
    window->startButton->click();
    EXPECT_TRUE(window->cancelButton->isEnabled());
    EXPECT_FALSE(window->pdf->isEnabled());
    ASSERT_TRUE(done.count() == 1 || done.wait(10000));
    EXPECT_EQ(window->progress->value(), 3);
    EXPECT_EQ(window->currentRow->text(), QStringLiteral("3/3 2000000003 OK"));
    EXPECT_EQ(window->summary->text(), QStringLiteral("Hotovo. Žadatelů: 3, v pořádku: 2, s chybou: 1."));
    EXPECT_TRUE(program.messages.shown.empty());
    for (const char* page : {"1_1000234567.pdf", "3_2000000003.pdf"})
        EXPECT_TRUE(read(page).startsWith("%PDF-")) << page;
    // The wrapped list of columns shows whole.
    window->show();
    QCoreApplication::processEvents();
    EXPECT_GE(window->listColumns->height(), window->listColumns->heightForWidth(window->listColumns->width()));
    keepScreenshot(*window, "Batch");
    window->openSummaryButton->click();
    ASSERT_EQ(program.shell.calls.size(), 1u);
    EXPECT_EQ(program.shell.calls[0].file, QStringLiteral("souhrn.xlsx"));
    // The window says what a list holds and gives an example that is itself a list.
    EXPECT_TRUE(window->listColumns->text().contains(QStringLiteral("JISUBRUX;ICO;RC;TYP;VARIANTA;ROK;VYMERA")));
    ASSERT_TRUE(window->saveExampleList(program.path(QStringLiteral("\\vzor.csv"))));
    const auto example = request::parseBatchList(program.read(QStringLiteral("\\vzor.csv")));
    ASSERT_EQ(example.size(), 3u);
    EXPECT_EQ(example[1].ico, QStringLiteral("00123455"));
    EXPECT_EQ(example[2].acreage, QStringLiteral("12,5"));
    program.write(QStringLiteral("\\soubor"), "x");  // a file where the folder would be
    EXPECT_FALSE(window->saveExampleList(program.folder() + QStringLiteral("/soubor/vzor.csv")));
    EXPECT_EQ(program.messages.shown.size(), 1u);
    EXPECT_EQ(QDir(program.shell.calls[0].workingFolder), QDir(out));
}

TEST_F(Batch, EscapeOrTheProgramsEndDuringARunEndsItWithItsSummary)
{
    ini::writeString(QStringLiteral("SETUP"), QStringLiteral("USERID"), QStringLiteral("DEMO"),
                     program.ctx.settingsFile());
    ini::writeString(QStringLiteral("SETUP"), QStringLiteral("SERVER"), url, program.ctx.settingsFile());
    program.write(QStringLiteral("\\seznam.csv"), kHeader + "1000234567;;;4;C;2005;\r\n2000000003;;;5;B;2006;\r\n");
    for (const bool escape : {true, false}) {
        QDir(out).removeRecursively();
        auto* main = new frmMain(program.ctx);
        auto* window = new request::BatchWindow(main->context(), main);
        window->listPath->setText(program.path(QStringLiteral("\\seznam.csv")));
        window->outFolder->setText(out);
        window->show();
        window->startButton->click();
        ASSERT_TRUE(window->running());
        if (escape) {
            QTest::keyClick(window, Qt::Key_Escape);
            EXPECT_FALSE(window->running());
            EXPECT_EQ(window->summary->text(),
                      QStringLiteral("Přerušeno. Žadatelů: 2, v pořádku: 0, s chybou: 0, nedokončeno: 2."));
            EXPECT_EQ(window->progress->value(), 0);
        }
        delete main;  // the program ends with its main window, the batch window's parent
        EXPECT_TRUE(
            QString::fromUtf8(read(QStringLiteral("souhrn.csv"))).contains(QStringLiteral("Dávka byla přerušena.")))
            << escape;
    }
}
