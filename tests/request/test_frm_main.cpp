#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include "Version.h"
#include "common/IniFile.h"
#include "common/Windows1250.h"
#include "common/ui/CommandButtonX.h"
#include "common/ui/DesignGeometry.h"
#include "request/Defaults.h"
#include "request/ui/frmMain.h"
#include "support/TestSupport.h"

using namespace zorva;
using zorva::test::TestProgram;

namespace {

const QStringList kTypes = {
    QStringLiteral("1 - okamžitá intenzita chovu podle NV 242/2004 Sb."),
    QStringLiteral("2 - okamžitá intenzita chovu podle NV 242/2004 Sb - § 7 odst.3) - TTP - ke dni podání žádosti "
                   "(stanovené datum)"),
    QStringLiteral("3 - okamžitá intenzita chovu podle NV 242/2004 Sb - § 7 odst.5) písm. a) - TTP - ke stanovenému "
                   "dni v průběhu 5letého období"),
    QStringLiteral("4 - průměrná intenzita chovu podle NV 241/2004 Sb."),
    QStringLiteral("5 - průměrná intenzita chovu podle NV 242/2004 Sb (EZ)."),
    QStringLiteral("6 - průměrná intenzita chovu podle NV 242/2004 Sb - § 7 odst.5) písm. a) - TTP"),
};

QStringList items(const QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    return out;
}

// The settings file as the users keep it: Windows-1250, CR LF.
void writeSettings(const TestProgram& p, const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    p.write("ZORVA_VDJ.INI", toWindows1250(t));
}

bool acreageShown(const frmMain& w)
{
    return !w.txtVYMERA->isHidden() && !w.lblVYMERA->isHidden();
}

bool acreageHidden(const frmMain& w)
{
    return w.txtVYMERA->isHidden() && w.lblVYMERA->isHidden();
}

QRect twips(const frmMain& w, int left, int top, int width, int height)
{
    return w.design().toPixels(QRect(left, top, width, height));
}

}  // namespace

TEST(frmMain, StartsWithDefaultsWhenThereIsNoSettingsFile)
{
    TestProgram p;
    frmMain w(p.ctx);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ZORVA: Výpočet VDJ"));
    EXPECT_EQ(w.txtSERVER->toPlainText(), defaults::serverUrl);
    EXPECT_EQ(w.txtSERVER->toPlainText(), "http://localhost:8080/kLIM/APP/v0100/kLIMsrv.asp");
    for (QLineEdit* e : {w.txtUSERID, w.txtJISUBRUX, w.txtIC, w.txtRC, w.txtROK, w.txtVYMERA})
        EXPECT_EQ(e->text(), "") << e->objectName().toStdString();
    EXPECT_EQ(w.cmbVARPICH->currentIndex(), 3);
    EXPECT_EQ(w.cmbVARPICH->currentText(), QStringLiteral("4 - průměrná intenzita chovu podle NV 241/2004 Sb."));
    EXPECT_EQ(w.lblRok->text(), "Rok");
    EXPECT_TRUE(acreageHidden(w));
    EXPECT_EQ(w.cmbPICHVYPOCET->currentText(), QStringLiteral("A - výpočet PICH - varianta A - s koňmi"));
    EXPECT_TRUE(w.chkHTML->isChecked());
    EXPECT_FALSE(p.exists("ZORVA_VDJ.INI"));  // start-up never creates it
    EXPECT_TRUE(p.messages.shown.empty());
    EXPECT_TRUE(p.shell.calls.empty());
}

TEST(frmMain, ListsHoldTheExactEntries)
{
    TestProgram p;
    frmMain w(p.ctx);
    EXPECT_EQ(items(w.cmbVARPICH), kTypes);
    EXPECT_EQ(items(w.cmbPICHVYPOCET), (QStringList{QStringLiteral("A - výpočet PICH - varianta A - s koňmi"),
                                                    QStringLiteral("B - výpočet PICH - varianta B - bez koňů"),
                                                    QStringLiteral("C - oba výpočty")}));
    EXPECT_FALSE(w.cmbVARPICH->isEditable());
    EXPECT_FALSE(w.cmbPICHVYPOCET->isEditable());
}

TEST(frmMain, RestoresFieldsFromSettingsInWindows1250)
{
    TestProgram p;
    writeSettings(p, QStringLiteral("[SETUP]\nSERVER=http://sluzba.example/kLIM/APP/v0100/kLIMsrv.asp\n"
                                    "USERID=uživatel\nJISUBRUX=Žďár 1\nIC=12345678\nRC=  7001011234  \n"
                                    "ROK=1.2.2006\nVARPICH=5\nPICHVYPOCET=C\n"));
    frmMain w(p.ctx);
    EXPECT_EQ(w.txtSERVER->toPlainText(), "http://sluzba.example/kLIM/APP/v0100/kLIMsrv.asp");
    EXPECT_EQ(w.txtUSERID->text(), QStringLiteral("uživatel"));
    EXPECT_EQ(w.txtJISUBRUX->text(), QStringLiteral("Žďár 1"));
    EXPECT_EQ(w.txtIC->text(), "12345678");
    EXPECT_EQ(w.txtRC->text(), "7001011234");
    EXPECT_EQ(w.txtROK->text(), "1.2.2006");
    EXPECT_EQ(w.cmbVARPICH->currentIndex(), 4);
    EXPECT_EQ(w.cmbPICHVYPOCET->currentIndex(), 0);  // the variant is never restored
}

TEST(frmMain, StoredTypeSelectsEntryLabelAndAcreage)
{
    struct Case {
        const char* stored;  // nullptr: no VARPICH key at all
        int index;
        const char* label;
        bool acreage;
    } cases[] = {
        {nullptr, 3, "Rok", false}, {"1", 0, "Datum", false},  {"2", 1, "Datum", false},  {"3", 2, "Datum", false},
        {"4", 3, "Rok", false},     {"5", 4, "Rok", false},    {"6", 5, "Rok", true},     {"61", 5, "Rok", true},
        {"0", -1, "Datum", false},  {"7", -1, "Datum", false}, {"9", -1, "Datum", false}, {"", -1, "Datum", false},
        {"x4", -1, "Datum", false},
    };
    for (const auto& c : cases) {
        TestProgram p;
        writeSettings(p, c.stored ? QStringLiteral("[SETUP]\nVARPICH=") + QString::fromUtf8(c.stored) + "\n"
                                  : QStringLiteral("[SETUP]\nIC=1\n"));
        frmMain w(p.ctx);
        const char* name = c.stored ? c.stored : "(none)";
        EXPECT_EQ(w.cmbVARPICH->currentIndex(), c.index) << name;
        EXPECT_EQ(w.lblRok->text(), QString::fromUtf8(c.label)) << name;
        EXPECT_EQ(acreageShown(w), c.acreage) << name;
        EXPECT_EQ(acreageHidden(w), !c.acreage) << name;
    }
}

TEST(frmMain, TypeSwitchHidesAcreageWithoutClearingIt)
{
    TestProgram p;
    frmMain w(p.ctx);
    w.cmbVARPICH->setCurrentIndex(5);
    EXPECT_TRUE(acreageShown(w));
    EXPECT_EQ(w.lblRok->text(), "Rok");
    w.txtVYMERA->setText("12,50");
    w.cmbVARPICH->setCurrentIndex(1);
    EXPECT_TRUE(acreageHidden(w));
    EXPECT_EQ(w.lblRok->text(), "Datum");
    EXPECT_EQ(w.txtVYMERA->text(), "12,50");
    w.cmbVARPICH->setCurrentIndex(3);
    EXPECT_TRUE(acreageHidden(w));
    EXPECT_EQ(w.lblRok->text(), "Rok");
    w.cmbVARPICH->setCurrentIndex(5);
    EXPECT_TRUE(acreageShown(w));
    EXPECT_EQ(w.txtVYMERA->text(), "12,50");
    w.cmbVARPICH->setCurrentIndex(-1);
    EXPECT_EQ(w.lblRok->text(), "Datum");
    EXPECT_TRUE(acreageHidden(w));
}

TEST(frmMain, UlozNastaveniWritesTheFieldsButNeverTheUser)
{
    TestProgram p;
    writeSettings(p, QStringLiteral("; nastavení\n[SETUP]\nSERVER=http://a/kLIMsrv.asp\nUSERID=u1\n"
                                    "HELP=http://a/help.html\n\n[QEL]\nDISABLE=\n"));
    frmMain w(p.ctx);
    w.txtUSERID->setText("jiny");
    w.txtJISUBRUX->setText(QStringLiteral("Řepín"));
    w.txtIC->setText("12345678");
    w.txtRC->setText("7001011234");
    w.txtROK->setText("1.2.2006");
    w.cmbVARPICH->setCurrentIndex(1);
    w.UlozNastaveni();
    const QString ini = p.ctx.settingsFile();
    EXPECT_EQ(ini::readString("SETUP", "USERID", "?", ini), "u1");
    EXPECT_EQ(ini::readString("SETUP", "SERVER", "?", ini), "http://a/kLIMsrv.asp");
    EXPECT_EQ(ini::readString("SETUP", "JISUBRUX", "?", ini), QStringLiteral("Řepín"));
    EXPECT_EQ(ini::readString("SETUP", "IC", "?", ini), "12345678");
    EXPECT_EQ(ini::readString("SETUP", "RC", "?", ini), "7001011234");
    EXPECT_EQ(ini::readString("SETUP", "ROK", "?", ini), "1.2.2006");
    EXPECT_EQ(ini::readString("SETUP", "VARPICH", "?", ini), "2");
    EXPECT_EQ(ini::readString("SETUP", "HELP", "?", ini), "http://a/help.html");
    EXPECT_TRUE(p.read("ZORVA_VDJ.INI").startsWith(toWindows1250(QStringLiteral("; nastavení\r\n[SETUP]\r\n"))));
    EXPECT_TRUE(p.read("ZORVA_VDJ.INI").endsWith("\r\n\r\n[QEL]\r\nDISABLE=\r\n"));
}

TEST(frmMain, UlozNastaveniCreatesTheFileInItsOrderAndWritesNoSelectionAsEmpty)
{
    TestProgram p;
    writeSettings(p, QStringLiteral("[SETUP]\nVARPICH=8\n"));
    frmMain w(p.ctx);
    p.write("ZORVA_VDJ.INI", "");
    w.UlozNastaveni();
    EXPECT_EQ(p.read("ZORVA_VDJ.INI"),
              QByteArray("[SETUP]\r\nSERVER=http://localhost:8080/kLIM/APP/v0100/kLIMsrv.asp\r\nJISUBRUX=\r\nIC=\r\n"
                         "RC=\r\nROK=\r\nVARPICH=\r\n"));
}

TEST(frmMain, LongSettingComesBackCutTo254Characters)
{
    TestProgram p;
    const QString longValue = QString(250, QChar('1')) + QStringLiteral("čččččččččč");
    writeSettings(p, QStringLiteral("[SETUP]\nJISUBRUX=") + longValue + "\nSERVER=" + QString(400, QChar('s')) + "\n");
    frmMain w(p.ctx);
    EXPECT_EQ(w.txtJISUBRUX->text(), longValue.left(254));
    EXPECT_EQ(w.txtSERVER->toPlainText().size(), 254);
}

TEST(frmMain, VersionLabelReadsMajorMinorZeroRevision)
{
    TestProgram p;
    frmMain w(p.ctx);
    EXPECT_EQ(w.lblVersion->text(),
              QStringLiteral("%1.%2.0.%3").arg(version::major).arg(version::minor).arg(version::revision));
    EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d+\\.0\\.\\d+$").match(w.lblVersion->text()).hasMatch());
}

TEST(frmMain, HelpOpensTheHelpAddressWhole)
{
    TestProgram p;
    frmMain w(p.ctx);
    QTest::mouseClick(w.CommandButtonX3, Qt::LeftButton);
    ASSERT_EQ(p.shell.calls.size(), 1u);
    EXPECT_EQ(p.shell.calls[0].file, defaults::helpUrl);
    EXPECT_EQ(p.shell.calls[0].file, "http://localhost:8080/kLIM/hlp/ZORVA_VDJ_help.html");
    EXPECT_EQ(p.shell.calls[0].parameters, "");
    EXPECT_EQ(p.shell.calls[0].workingFolder, "C:\\");
    EXPECT_EQ(p.shell.calls[0].showCommand, 3);
}

TEST(frmMain, HelpAddressFromSettingsAndFailureOnlyLogged)
{
    TestProgram p;
    writeSettings(p, QStringLiteral("[SETUP]\nHELP=C:\\Nápověda\\ZORVA.htm\n"));
    p.shell.result = 31;
    frmMain w(p.ctx);
    w.CommandButtonX3->click();
    ASSERT_EQ(p.shell.calls.size(), 1u);
    EXPECT_EQ(p.shell.calls[0].file, QStringLiteral("C:\\Nápověda\\ZORVA.htm"));  // no split for help
    EXPECT_EQ(p.shell.calls[0].workingFolder, "C:\\");
    EXPECT_TRUE(p.read("SpustSoubor_err.txt").endsWith(toWindows1250(QStringLiteral(" Není asociovaná aplikace\r\n"))));
    EXPECT_TRUE(p.messages.shown.empty());
}

TEST(frmMain, HelpFailureOfTheLauncherItselfIsShown)
{
    TestProgram p;
    p.write("soubor", "x");
    ProgramContext ctx = p.ctx;
    ctx.folder = p.path("soubor");  // the log cannot be written below a regular file
    p.shell.result = 2;
    frmMain w(ctx);
    w.CommandButtonX3->click();
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_EQ(p.messages.shown[0].text, QStringLiteral("76-Cesta nebyla nalezena"));
}

TEST(frmMain, StornoEndsTheProgramWithoutSaving)
{
    TestProgram p;
    frmMain w(p.ctx);
    int ended = 0;
    w.setEndProgram([&] { ++ended; });
    w.txtJISUBRUX->setText("neuloženo");
    QTest::mouseClick(w.CommandButtonX2, Qt::LeftButton);
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(p.exists("ZORVA_VDJ.INI"));
}

TEST(frmMain, ButtonsReportTheirRequests)
{
    TestProgram p;
    frmMain w(p.ctx);
    QSignalSpy send(&w, &frmMain::requestSend);
    QSignalSpy edit(&w, &frmMain::requestEdit);
    QSignalSpy testDocument(&w, &frmMain::requestTestDocument);
    QSignalSpy show(&w, &frmMain::requestShowResponse);

    QTest::mouseClick(w.CommandButtonX1, Qt::LeftButton);
    EXPECT_EQ(send.count(), 1);
    QTest::mouseClick(w.cmdEditace, Qt::LeftButton);
    EXPECT_EQ(edit.count(), 1);
    EXPECT_EQ(testDocument.count(), 0);

    QTest::mousePress(w.cmdEditace, Qt::RightButton);
    QTest::mouseRelease(w.cmdEditace, Qt::RightButton);
    EXPECT_EQ(testDocument.count(), 1);
    EXPECT_EQ(edit.count(), 1);  // the right button is no click

    QTest::mousePress(w.cmdEditace, Qt::MiddleButton);
    QTest::mousePress(w.CommandButtonX1, Qt::RightButton);
    EXPECT_EQ(testDocument.count(), 1);
    EXPECT_EQ(send.count(), 1);
    EXPECT_EQ(show.count(), 0);
    EXPECT_TRUE(p.shell.calls.empty());
    EXPECT_FALSE(p.exists("ZORVA_VDJ.INI"));
}

TEST(frmMain, ButtonReportsWhichMouseButtonWentDown)
{
    TestProgram p;
    frmMain w(p.ctx);
    QSignalSpy down(w.cmdEditace, &CommandButtonX::mouseDown);
    QTest::mousePress(w.cmdEditace, Qt::LeftButton);
    QTest::mouseRelease(w.cmdEditace, Qt::LeftButton);
    QTest::mousePress(w.cmdEditace, Qt::RightButton);
    QTest::mousePress(w.cmdEditace, Qt::MiddleButton);
    ASSERT_EQ(down.count(), 3);
    EXPECT_EQ(down[0][0].toInt(), 1);
    EXPECT_EQ(down[1][0].toInt(), 2);
    EXPECT_EQ(down[2][0].toInt(), 4);
}

TEST(frmMain, DoubleClickOnTheBackgroundOnly)
{
    TestProgram p;
    frmMain w(p.ctx);
    QSignalSpy show(&w, &frmMain::requestShowResponse);
    const QPoint background = twips(w, 6000, 2300, 0, 0).topLeft();
    ASSERT_EQ(w.childAt(background), nullptr);
    QTest::mouseDClick(&w, Qt::LeftButton, Qt::NoModifier, background);
    EXPECT_EQ(show.count(), 1);

    QTest::mouseDClick(w.Label3, Qt::LeftButton);
    QTest::mouseDClick(w.Frame2, Qt::LeftButton, Qt::NoModifier, QPoint(w.Frame2->width() - 5, w.Frame2->height() - 5));
    QTest::mouseDClick(w.txtROK, Qt::LeftButton);
    EXPECT_EQ(show.count(), 1);
}

TEST(frmMain, LockedBoxesCannotBeTypedInto)
{
    TestProgram p;
    writeSettings(p, QStringLiteral("[SETUP]\nUSERID=u1\n"));
    frmMain w(p.ctx);
    EXPECT_TRUE(w.txtUSERID->isReadOnly());
    EXPECT_TRUE(w.txtSERVER->isReadOnly());
    QTest::keyClicks(w.txtUSERID, "xyz");
    QTest::keyClicks(w.txtSERVER, "xyz");
    EXPECT_EQ(w.txtUSERID->text(), "u1");
    EXPECT_EQ(w.txtSERVER->toPlainText(), defaults::serverUrl);
    QTest::keyClicks(w.txtROK, "2006");
    EXPECT_EQ(w.txtROK->text(), "2006");
    // They look locked and say where they are set.
    for (QWidget* locked : std::initializer_list<QWidget*>{w.txtUSERID, w.txtSERVER})
        EXPECT_EQ(locked->palette().color(QPalette::Base), locked->palette().color(QPalette::Button));
    EXPECT_NE(w.txtROK->palette().color(QPalette::Base), w.txtROK->palette().color(QPalette::Button));
    EXPECT_TRUE(w.txtUSERID->toolTip().contains(QStringLiteral("ZORVA_VDJ.INI (SETUP/USERID)")));
    EXPECT_TRUE(w.txtSERVER->toolTip().contains(QStringLiteral("ZORVA_VDJ.INI (SETUP/SERVER)")));
}

TEST(frmMain, ControlsSitWhereTheDesignPutsThem)
{
    TestProgram p;
    frmMain w(p.ctx);
    EXPECT_EQ(w.size(), twips(w, 0, 0, 9330, 6060).size());
    EXPECT_EQ(w.txtJISUBRUX->geometry(), twips(w, 2115, 2160, 2535, 285));
    EXPECT_EQ(w.cmbVARPICH->geometry(), twips(w, 2115, 3465, 6915, 315));
    EXPECT_EQ(w.cmdEditace->geometry(), twips(w, 4455, 5490, 1500, 510));
    EXPECT_EQ(w.Frame1->geometry(), twips(w, 0, 0, 9285, 825));
    EXPECT_EQ(w.txtSERVER->parentWidget(), w.Frame1);
    EXPECT_EQ(w.txtSERVER->geometry(), twips(w, 90, 225, 9150, 510));
    EXPECT_EQ(w.txtUSERID->parentWidget(), w.Frame2);
    EXPECT_EQ(w.txtUSERID->geometry(), twips(w, 90, 225, 3480, 330));
    EXPECT_EQ(w.Label1->pos(), twips(w, 90, 2205, 0, 0).topLeft());
    EXPECT_TRUE(w.Label5->font().bold());
    EXPECT_FALSE(w.Label1->font().bold());
    EXPECT_EQ(w.txtSERVER->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    for (const char* name :
         {"Label1",     "txtJISUBRUX", "Label2",          "txtIC",           "Label3",         "txtRC",     "Label4",
          "lblRok",     "txtROK",      "CommandButtonX1", "CommandButtonX2", "Frame1",         "txtSERVER", "Label5",
          "cmbVARPICH", "lblVersion",  "CommandButtonX3", "chkHTML",         "cmbPICHVYPOCET", "Label6",    "txtVYMERA",
          "lblVYMERA",  "cmdEditace",  "Frame2",          "txtUSERID",       "Line1",          "Line2"})
        EXPECT_NE(w.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(w.CommandButtonX1->text(), "OK (ODESLAT)");
    EXPECT_EQ(w.CommandButtonX2->text(), "STORNO");
    EXPECT_EQ(w.CommandButtonX3->text(), QStringLiteral("Nápověda"));
    EXPECT_EQ(w.cmdEditace->text(), "OK (Editace)");
    EXPECT_EQ(w.lblVYMERA->text(), QStringLiteral("VÝMĚRA"));
    EXPECT_EQ(w.Frame1->title(), "Adresa na server");
    EXPECT_EQ(w.Frame2->title(), QStringLiteral("Identifikace uživatele"));
}

TEST(frmMain, TabKeyFollowsTheDesignOrder)
{
    TestProgram p;
    frmMain w(p.ctx);
    w.cmbVARPICH->setCurrentIndex(5);  // the acreage box takes part only while it is shown
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const QList<QWidget*> expected = {w.txtJISUBRUX,     w.txtIC,           w.txtRC,          w.txtROK,
                                      w.CommandButtonX1, w.CommandButtonX2, w.txtSERVER,      w.cmbVARPICH,
                                      w.CommandButtonX3, w.chkHTML,         w.cmbPICHVYPOCET, w.txtVYMERA,
                                      w.cmdEditace,      w.txtUSERID};
    w.txtJISUBRUX->setFocus();
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected[i]) << i;
    }
}
