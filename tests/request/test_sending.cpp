#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include "common/IniFile.h"
#include "common/ui/CommandButtonX.h"
#include "editor/ui/EditorWindow.h"
#include "request/RecentApplicants.h"
#include "request/ui/MainActions.h"
#include "request/ui/frmMain.h"
#include "support/CannedHttpServer.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;

namespace {

const QByteArray kFirst = dataFile(QStringLiteral("samples/response-first.xml"));
const QByteArray kFault = dataFile(QStringLiteral("samples/response-fault.xml"));

}  // namespace

class Sending : public ::testing::Test {
protected:
    void SetUp() override
    {
        program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
        server.body = kFirst;
        ini::writeString(QStringLiteral("SETUP"), QStringLiteral("USERID"), QStringLiteral("DEMO"),
                         program.ctx.settingsFile());
        ini::writeString(QStringLiteral("SETUP"), QStringLiteral("SERVER"), server.url(), program.ctx.settingsFile());
        window = std::make_unique<frmMain>(program.ctx);
        actions = new request::MainActions(*window);
        actions->showEditor = [this](editor::EditorWindow& w) {
            opened << w.objectName();
            openedRows << (w.session().recordset() ? w.session().recordset()->rowCount() : -1);
        };
    }
    void fill(int type, const QString& year, const QString& acreage = QString())
    {
        window->cmbVARPICH->setCurrentIndex(type - 1);
        window->txtROK->setText(year);
        window->txtVYMERA->setText(acreage);
        window->txtJISUBRUX->setText(QStringLiteral("1000234567"));
    }
    QString setting(const char* key)
    {
        return ini::readString(QStringLiteral("SETUP"), QString::fromLatin1(key), QStringLiteral("<none>"),
                               program.ctx.settingsFile());
    }
    bool windowUsable() const { return window->CommandButtonX1->isEnabled() && window->cmdEditace->isEnabled(); }

    TestProgram program;
    CannedHttpServer server;
    std::unique_ptr<frmMain> window;
    request::MainActions* actions = nullptr;
    QStringList opened;
    QList<int> openedRows;
};

TEST_F(Sending, NoUserIdentificationStopsBeforeAnythingIsWritten)
{
    QFile::remove(program.ctx.settingsFile());
    window = std::make_unique<frmMain>(program.ctx);
    actions = new request::MainActions(*window);
    fill(4, QStringLiteral("2005"));
    actions->CommandButtonX1_Click();
    ASSERT_EQ(program.messages.texts(), QStringList{QStringLiteral("Identifikace uživatele není vyplněna !!\n\n"
                                                                   "Nastavte ji v okně Nastavení… hlavního okna.")});
    EXPECT_EQ(program.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(QFile::exists(program.ctx.settingsFile()));
    EXPECT_TRUE(server.received.isEmpty());
}

TEST_F(Sending, ValidationMessagesStopTheRequestAndLeaveTheWindowUsable)
{
    struct Case {
        int type;
        const char* year;
        const char* acreage;
        const char* message;
    };
    for (const Case c :
         {Case{2, "x", "", "DATUM není datum !!"}, Case{5, "2003", "", "ROK je mimo povolený rozsah !!"},
          Case{5, "2OO6", "", "ROK není ve správném formátu !!"}, Case{6, "2005", "", "Výměra musí být zadána !"},
          Case{6, "2005", "abc", "VYMERA není číslo !!"}}) {
        program.messages.shown.clear();
        fill(c.type, QString::fromUtf8(c.year), QString::fromUtf8(c.acreage));
        actions->CommandButtonX1_Click();
        EXPECT_EQ(program.messages.texts(), QStringList{QString::fromUtf8(c.message)}) << c.message;
        EXPECT_EQ(program.messages.shown.back().icon, MessageIcon::Critical);
        // The fields are stored as typed, whether or not they pass.
        EXPECT_EQ(setting("ROK"), QString::fromUtf8(c.year));
        EXPECT_TRUE(windowUsable());
    }
    EXPECT_TRUE(server.received.isEmpty());
    EXPECT_FALSE(program.exists(QStringLiteral("ZORVA_VDJ1B_response.xml")));
}

TEST_F(Sending, OdeslatSendsTheNormalisedDateStoresTheAnswerAndRendersIt)
{
    fill(2, QStringLiteral("1.2.2006"), QStringLiteral("77"));
    actions->CommandButtonX1_Click();
    EXPECT_TRUE(program.messages.shown.empty()) << program.messages.texts().join("|").toStdString();
    ASSERT_EQ(server.received.size(), 1);
    const QByteArray sent = server.received[0];
    EXPECT_TRUE(sent.contains("<RUX:ROKPLATNOST>01.02.2006</RUX:ROKPLATNOST><RUX:VYMERA>0</RUX:VYMERA>"))
        << sent.toStdString();
    EXPECT_TRUE(sent.contains("userID=\"DEMO\""));
    EXPECT_TRUE(sent.contains("<RUX:VARPICH>2</RUX:VARPICH><RUX:PICHVYPOCET>A</RUX:PICHVYPOCET>"));
    EXPECT_EQ(window->txtROK->text(), QStringLiteral("01.02.2006"));
    EXPECT_EQ(window->txtVYMERA->text(), QString());
    EXPECT_EQ(setting("ROK"), QStringLiteral("1.2.2006"));
    EXPECT_TRUE(program.read(QStringLiteral("ZORVA_VDJ1B_response.xml")).contains("Dvořák"));
    ASSERT_EQ(program.shell.calls.size(), 1u);
    EXPECT_TRUE(program.shell.calls[0].file.endsWith(QStringLiteral("ZORVA_VDJ1B_response.htm")));
    EXPECT_TRUE(windowUsable());
}

TEST_F(Sending, TypeSixSendsTheAcreageWithAPoint)
{
    fill(6, QStringLiteral("2005"), QStringLiteral("12,50"));
    actions->CommandButtonX1_Click();
    ASSERT_EQ(server.received.size(), 1);
    EXPECT_TRUE(server.received[0].contains("<RUX:VYMERA>12.5</RUX:VYMERA>"));
}

TEST_F(Sending, EditaceOpensTheGenerationThatTheYearOrTheAnswerChooses)
{
    struct Case {
        int type;
        const char* year;
        const QByteArray& answer;
        const char* window;
    };
    const QByteArray k2006 = dataFile(QStringLiteral("samples/response-2006.xml"));
    // The answer's categories decide where the year text would choose the other editor.
    for (const Case c : {Case{4, "2006", k2006, "frmEditace2006"}, Case{4, "2007", k2006, "frmEditace2006"},
                         Case{4, "2005", kFirst, "frmEditace"}, Case{2, "1.2.2006", kFirst, "frmEditace"},
                         Case{2, "1.2.2006", k2006, "frmEditace2006"}, Case{4, "2006", kFirst, "frmEditace"}}) {
        opened.clear();
        server.body = c.answer;
        fill(c.type, QString::fromLatin1(c.year));
        actions->cmdEditace_Click();
        EXPECT_EQ(opened, QStringList{QString::fromLatin1(c.window)}) << c.year;
    }
    EXPECT_EQ(openedRows.at(2), 12);  // the rows of the first-generation answer
    EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty());
    EXPECT_TRUE(windowUsable());
}

TEST_F(Sending, EditaceDeletesLeftoverWorkingDatabasesEvenWhenACheckFails)
{
    program.write(QStringLiteral("TMP20050101000000000_.MDB"), "old");
    fill(5, QStringLiteral("2003"));
    actions->cmdEditace_Click();
    EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty());
    EXPECT_TRUE(opened.isEmpty());
}

// Settings that cannot be saved (a folder stands where the file belongs) are only not saved: the
// request still goes out and the editing still starts with its cleanup.
TEST_F(Sending, AnUnwritableSettingsFileStopsNothing)
{
    QFile::remove(program.ctx.settingsFile());
    ASSERT_TRUE(QDir().mkpath(program.ctx.settingsFile()));
    fill(4, QStringLiteral("2005"));
    actions->CommandButtonX1_Click();
    program.write(QStringLiteral("TMP20050101000000000_.MDB"), "old");
    actions->cmdEditace_Click();
    EXPECT_TRUE(program.messages.shown.empty()) << program.messages.texts().join("|").toStdString();
    EXPECT_EQ(server.received.size(), 2);
    EXPECT_EQ(opened, QStringList{QStringLiteral("frmEditace")});
    EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty());
    EXPECT_TRUE(windowUsable());
}

TEST_F(Sending, AFailedExchangeKeepsTheStoredResponseAndSaysWhyInCzech)
{
    struct Case {
        const char* what;
        std::function<void(CannedHttpServer&, frmMain&)> prepare;
        QString firstLine;
    };
    // Headers and the start of a body, then the connection drops.
    QTcpServer halfAnswer;
    halfAnswer.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&halfAnswer, &QTcpServer::newConnection, [&halfAnswer] {
        QTcpSocket* socket = halfAnswer.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: 500\r\n\r\n<soap:Envelope");
            socket->flush();
            socket->disconnectFromHost();
        });
    });
    const std::vector<Case> cases = {
        {"broken after the headers",
         [&halfAnswer](CannedHttpServer&, frmMain& w) {
             w.txtSERVER->setPlainText(QStringLiteral("http://127.0.0.1:%1/x").arg(halfAnswer.serverPort()));
         },
         QStringLiteral("Spojení se službou se přerušilo dřív, než přišla odpověď.")},
        {"refused",
         [](CannedHttpServer&, frmMain& w) {
             QTcpServer closed;
             closed.listen(QHostAddress::LocalHost, 0);
             const quint16 port = closed.serverPort();
             closed.close();
             w.txtSERVER->setPlainText(QStringLiteral("http://127.0.0.1:%1/x").arg(port));
         },
         QStringLiteral("Služba odmítla spojení: na zadané adrese neběží.")},
        {"not xml",
         [](CannedHttpServer& s, frmMain&) {
             s.body = "<html><body>Chyba</body></html";
             s.contentType = "text/html";
         },
         QStringLiteral("Služba odpověděla (stav HTTP 200), ale odpověď není dokument XML.")},
        {"an error page of a proxy, well-formed",
         [](CannedHttpServer& s, frmMain&) {
             s.body = "<html><body><h1>504 Gateway Timeout</h1></body></html>";
             s.contentType = "text/html";
             s.status = 504;
         },
         QStringLiteral("Služba odpověděla (stav HTTP 504), ale odpověď není odpovědí služby výpočtu VDJ.")},
        {"empty",
         [](CannedHttpServer& s, frmMain&) {
             s.body.clear();
             s.status = 503;
         },
         QStringLiteral("Služba odpověděla (stav HTTP 503), ale bez obsahu.")},
        {"closed mid-answer", [](CannedHttpServer& s, frmMain&) { s.closeWithoutAnswer = true; },
         QStringLiteral("Spojení se službou se přerušilo dřív, než přišla odpověď.")},
        {"too slow", [](CannedHttpServer& s, frmMain&) { s.delayMs = 5000; },
         QStringLiteral("Služba neodpověděla do 1 s.")},
    };
    ini::writeString(QStringLiteral("SETUP"), QStringLiteral("TIMEOUT"), QStringLiteral("1"),
                     program.ctx.settingsFile());
    for (const Case& c : cases) {
        program.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), "<old/>");
        program.messages.shown.clear();
        program.shell.calls.clear();
        server.body = kFirst;
        server.status = 200;
        server.contentType = "text/xml";
        server.closeWithoutAnswer = false;
        server.delayMs = 0;
        window->txtSERVER->setPlainText(server.url());
        c.prepare(server, *window);
        fill(4, QStringLiteral("2005"));
        actions->CommandButtonX1_Click();
        ASSERT_EQ(program.messages.shown.size(), 1u) << c.what;
        const QStringList paragraphs = program.messages.shown[0].text.split(QStringLiteral("\n\n"));
        ASSERT_EQ(paragraphs.size(), 3) << c.what << ": " << program.messages.shown[0].text.toStdString();
        EXPECT_EQ(paragraphs[0], c.firstLine) << c.what;
        EXPECT_EQ(paragraphs[1], QStringLiteral("Adresa: ") + window->txtSERVER->toPlainText()) << c.what;
        EXPECT_TRUE(paragraphs[2].contains(QStringLiteral("SETUP/SERVER v souboru ZORVA_VDJ.INI"))) << c.what;
        EXPECT_EQ(program.read(QStringLiteral("ZORVA_VDJ1B_response.xml")), QByteArray("<old/>")) << c.what;
        EXPECT_TRUE(program.shell.calls.empty()) << c.what;
        EXPECT_TRUE(windowUsable()) << c.what;
        EXPECT_TRUE(window->cancelButton->isHidden()) << c.what;
        EXPECT_TRUE(QDir(program.path(QStringLiteral("archiv"))).entryList(QDir::Files).isEmpty()) << c.what;
    }
}

// An advisor's answers for several applicants stay side by side; a folder that cannot be written
// never stops an exchange.
TEST_F(Sending, EachAnswerIsKeptInTheArchiveByApplicant)
{
    const QDir archive(program.path(QStringLiteral("archiv")));
    struct Case {
        const char* what;
        int type;
        const char* year;
        const char* jisubrux;
        const char* ico;
        const char* rc;
        const char* name;  // nothing when the archive cannot be written
        QByteArray answer = kFirst;
    };
    const std::vector<Case> cases = {
        {"by JISUBRUX", 4, "2005", "1000234567", "71234567", "", "1000234567_typ4A_2005_20061231-140000"},
        // Only results are filed under the applicant's name.
        {"a fault", 4, "2005", "1000234567", "", "", "chyby/1000234567_typ4A_2005_20061231-140000", kFault},
        {"an answer without data", 4, "2005", "1000234567", "", "", "chyby/1000234567_typ4A_2005_20061231-140000-2",
         "<SOAP:Envelope xmlns:SOAP=\"http://schemas.xmlsoap.org/soap/envelope/\"><SOAP:Body/></SOAP:Envelope>"},
        {"by IČ, a date", 2, "1.2.2006", "", "71234567", "6504121239", "71234567_typ2A_2006-02-01_20061231-140000"},
        {"by RČ as typed", 4, "2005", "", "", "650412/1239", "650412_1239_typ4A_2005_20061231-140000"},
        {"again within the second", 4, "2005", "1000234567", "", "", "1000234567_typ4A_2005_20061231-140000-2"},
        {"a file where the folder belongs", 4, "2005", "1000234567", "", "", nullptr},
    };
    for (const Case& c : cases) {
        program.messages.shown.clear();
        program.shell.calls.clear();
        if (!c.name) {
            QDir(archive).removeRecursively();
            program.write(QStringLiteral("archiv"), "x");
        }
        server.body = c.answer;
        fill(c.type, QString::fromUtf8(c.year));
        window->txtJISUBRUX->setText(QString::fromUtf8(c.jisubrux));
        window->txtIC->setText(QString::fromUtf8(c.ico));
        window->txtRC->setText(QString::fromUtf8(c.rc));
        actions->CommandButtonX1_Click();
        EXPECT_TRUE(program.messages.shown.empty()) << c.what;
        ASSERT_EQ(program.shell.calls.size(), 1u) << c.what;
        if (!c.name) continue;
        const QString base = archive.filePath(QString::fromUtf8(c.name));
        QFile xml(base + QStringLiteral(".xml"));
        ASSERT_TRUE(xml.open(QIODevice::ReadOnly)) << c.what;
        EXPECT_EQ(xml.readAll(), program.read(QStringLiteral("ZORVA_VDJ1B_response.xml"))) << c.what;
        QFile page(base + QStringLiteral(".htm"));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << c.what;
        EXPECT_EQ(page.readAll(), program.read(QStringLiteral("ZORVA_VDJ1B_response.htm"))) << c.what;
    }
    EXPECT_TRUE(program.exists(QStringLiteral("ZORVA_VDJ1B_response.htm")));
    // The applicants answered with results are offered again, the newest first.
    const auto recent = request::recentApplicants(program.ctx);
    ASSERT_EQ(recent.size(), 4u);
    EXPECT_EQ(recent[0].jisubrux, QStringLiteral("1000234567"));
    EXPECT_EQ(recent[1].rc, QStringLiteral("650412/1239"));
    EXPECT_EQ(window->txtRC->completer()->model()->rowCount(), 2);
}

// The page an advisor shows from the editor is filed beside the answer, under the request's names.
TEST_F(Sending, APageShownFromTheEditorIsFiledBesideTheAnswer)
{
    ini::writeString(QStringLiteral("SETUP"), QStringLiteral("PDF"), QStringLiteral("1"), program.ctx.settingsFile());
    actions->showEditor = [](editor::EditorWindow& w) { w.cmdZobraz_Click(); };
    fill(4, QStringLiteral("2005"));
    window->txtIC->setText(QStringLiteral("71234567"));
    QSignalSpy printed(actions->pdfs, &request::ArchivePdfs::allDone);
    actions->cmdEditace_Click();
    EXPECT_TRUE(program.messages.shown.empty());
    // The PDFs come after the pages, on the event loop.
    while (actions->pdfs->busy()) ASSERT_TRUE(printed.wait(60000));
    const QString base = QStringLiteral("archiv/1000234567_typ4A_2005_20061231-140000");
    for (const QString& file :
         {base + QStringLiteral(".xml"), base + QStringLiteral(".pdf"), base + QStringLiteral("_upraveno.xml"),
          base + QStringLiteral("_upraveno.htm"), base + QStringLiteral("_upraveno.pdf")})
        EXPECT_TRUE(program.exists(file)) << file.toStdString();
    EXPECT_TRUE(program.messages.shown.empty());
}

TEST_F(Sending, ASoapFaultIsStoredAndRenderedAndNotEdited)
{
    server.status = 500;
    server.body = kFault;
    fill(4, QStringLiteral("2005"));
    actions->CommandButtonX1_Click();
    EXPECT_TRUE(program.messages.shown.empty());
    EXPECT_TRUE(program.read(QStringLiteral("ZORVA_VDJ1B_response.xml")).contains("Fault"));
    EXPECT_EQ(program.shell.calls.size(), 1u);
    // Editing a fault tells the service's reason instead of opening an empty editor.
    actions->cmdEditace_Click();
    EXPECT_TRUE(opened.isEmpty());
    ASSERT_EQ(program.messages.shown.size(), 1u);
    EXPECT_TRUE(program.messages.shown[0].text.startsWith(QStringLiteral("Služba odpověděla chybou: ")));
    EXPECT_TRUE(windowUsable());
}

TEST_F(Sending, AMalformedAddressGivesTheGeneralMessage)
{
    window->txtSERVER->setPlainText(QStringLiteral("not a url"));
    fill(4, QStringLiteral("2005"));
    actions->CommandButtonX1_Click();
    ASSERT_EQ(program.messages.shown.size(), 1u);
    EXPECT_EQ(program.messages.shown[0].icon, MessageIcon::None);
    EXPECT_TRUE(program.messages.shown[0].text.contains(QRegularExpression(QStringLiteral("^-?\\d+-"))));
    EXPECT_TRUE(windowUsable());
}

TEST_F(Sending, TheWindowKeepsWorkingDuringASlowReplyAndRefusesASecondRequest)
{
    ini::writeString(QStringLiteral("QEL"), QStringLiteral("DISABLE"), QStringLiteral("1"), program.ctx.settingsFile());
    server.delayMs = 700;
    fill(4, QStringLiteral("2005"));
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        actions->CommandButtonX1_Click();  // controls stay enabled: a second press during the wait
    });
    timer.start(100);
    actions->CommandButtonX1_Click();
    timer.stop();
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(server.received.size(), 1);
    EXPECT_FALSE(actions->requestRunning());
}

TEST_F(Sending, TheTestDocumentOpensTheFirstGenerationWithoutARequest)
{
    program.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), "<stored/>");
    const QByteArray settings = program.read(QStringLiteral("ZORVA_VDJ.INI"));
    // No file and a refused file both open an empty editor; only the refused one is told.
    const struct {
        const char* what;
        std::function<void()> prepare;
        int rows;
        QStringList told;
    } cases[] = {
        {"no file", [] {}, 0, {}},
        {"the shipped file", [&] { program.copyData(QStringLiteral("test.xml")); }, 12, {}},
        {"a file with a DOCTYPE",
         [&] {
             QByteArray withDoctype = dataFile(QStringLiteral("test.xml"));
             withDoctype.insert(withDoctype.indexOf("<SOAP:Envelope"), "<!DOCTYPE SOAP:Envelope>");
             program.write(QStringLiteral("test.xml"), withDoctype);
         },
         0,
         {QStringLiteral("Testovací dokument test.xml nelze načíst. Dokument obsahuje deklaraci typu dokumentu "
                         "(DOCTYPE), kterou program nepřijímá.")}},
    };
    for (const auto& c : cases) {
        opened.clear();
        openedRows.clear();
        program.messages.shown.clear();
        c.prepare();
        emit window->cmdEditace->mouseDown(2);
        EXPECT_EQ(opened, QStringList{QStringLiteral("frmEditace")}) << c.what;
        EXPECT_EQ(openedRows.value(0), c.rows) << c.what;
        EXPECT_EQ(program.messages.texts(), c.told) << c.what;
    }
    emit window->cmdEditace->mouseDown(1);
    EXPECT_EQ(opened.size(), 1);
    EXPECT_TRUE(server.received.isEmpty());
    EXPECT_EQ(program.read(QStringLiteral("ZORVA_VDJ1B_response.xml")), QByteArray("<stored/>"));
    EXPECT_EQ(program.read(QStringLiteral("ZORVA_VDJ.INI")), settings);
}

TEST_F(Sending, ADoubleClickRendersTheStoredResponse)
{
    program.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), kFirst);
    window->chkHTML->setChecked(false);
    // The page of thousands of dates takes seconds: the hourglass says so until it is opened.
    bool busy = false;
    program.shell.whenOpened = [&] {
        busy = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    };
    emit window->requestShowResponse();
    EXPECT_TRUE(program.exists(QStringLiteral("ZORVA_VDJ1B_response_XSL.xml")));
    EXPECT_EQ(program.shell.calls.size(), 1u);
    EXPECT_TRUE(busy);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Sending, WhileWaitingTheWindowCountsTheSecondsAndEscapeGivesUpAtOnce)
{
    QTcpServer silent;  // accepts the connection and never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    window->txtSERVER->setPlainText(QStringLiteral("http://127.0.0.1:%1/x").arg(silent.serverPort()));
    program.write(QStringLiteral("ZORVA_VDJ1B_response.xml"), "<old/>");
    fill(4, QStringLiteral("2005"));
    QString waiting;
    bool cancelOffered = false;
    bool sendingRefused = false;
    QTimer::singleShot(300, window.get(), [&] {
        waiting = !window->waitLabel->isHidden() ? window->waitLabel->text() : QString();
        cancelOffered = !window->cancelButton->isHidden() && window->cancelButton->isEnabled();
        sendingRefused = !window->CommandButtonX1->isEnabled() && !window->cmdEditace->isEnabled();
        QTest::keyClick(window.get(), Qt::Key_Escape);
    });
    QElapsedTimer clock;
    clock.start();
    actions->CommandButtonX1_Click();
    EXPECT_LT(clock.elapsed(), 10000);  // long before any time limit could end it
    EXPECT_EQ(waiting, QStringLiteral("Čekám na odpověď služby… 0 s"));
    EXPECT_TRUE(cancelOffered);
    EXPECT_TRUE(sendingRefused);
    EXPECT_TRUE(program.messages.shown.empty());
    EXPECT_EQ(program.read(QStringLiteral("ZORVA_VDJ1B_response.xml")), QByteArray("<old/>"));
    EXPECT_TRUE(program.shell.calls.empty());
    EXPECT_TRUE(windowUsable());
    EXPECT_TRUE(window->cancelButton->isHidden());
    EXPECT_TRUE(window->waitLabel->isHidden());
    EXPECT_FALSE(actions->requestRunning());
}
