#include <gtest/gtest.h>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <QCheckBox>

#include "common/IniFile.h"
#include "request/Archive.h"
#include "request/ui/SettingsDialog.h"
#include "request/ui/frmMain.h"
#include "support/TestSupport.h"

using namespace zorva;
using zorva::test::TestProgram;

namespace {

QLineEdit* boxNamed(QWidget& window, const QString& accessibleName)
{
    for (QLineEdit* edit : window.findChildren<QLineEdit*>())
        if (edit->accessibleName() == accessibleName) return edit;
    return nullptr;
}

const QByteArray kSettings =
    "[SETUP]\r\nSERVER=http://old/\r\nJISUBRUX=1000234567\r\nVARPICH=5\r\n"
    "[QEL]\r\nDISABLE=1\r\n";

}  // namespace

TEST(SettingsDialog, WritesItsKeysOnlyAndRefusesWhatIsNoValue)
{
    struct Case {
        const char* what;
        const char* box;  // accessible name
        const char* text;
        const char* refusal;  // empty: written
    };
    const Case cases[] = {
        {"a lower limit with a comma", "Typ 4 nejméně", "0,3", ""},
        {"an upper limit with a point", "Typ 4 nejvýše", "1.5", ""},
        {"a limit that is no number", "Typ 2 nejvýše", "hodně", "Limit „Typ 2 nejvýše“ není nezáporné číslo."},
        {"a negative limit", "Typ 2 nejméně", "-1", "Limit „Typ 2 nejméně“ není nezáporné číslo."},
        {"the lower above the upper", "Typ 4 nejméně", "2", "U typu 4 je dolní limit vyšší než horní."},
        {"no address", "Adresa služby", " ", "Adresa služby musí být vyplněna."},
    };
    for (const Case& c : cases) {
        TestProgram program;
        program.write(QStringLiteral("\\ZORVA_VDJ.INI"), kSettings);
        request::SettingsDialog dialog(program.ctx);
        boxNamed(dialog, QStringLiteral("Identifikace uživatele"))->setText(QStringLiteral("PORADCE1"));
        boxNamed(dialog, QStringLiteral("Typ 4 nejvýše"))->setText(QStringLiteral("1.5"));
        EXPECT_FALSE(dialog.pdf->isChecked()) << c.what;
        dialog.pdf->setChecked(true);
        QLineEdit* box = boxNamed(dialog, QString::fromUtf8(c.box));
        ASSERT_NE(box, nullptr) << c.what;
        box->setText(QString::fromUtf8(c.text));
        const QString ini = program.ctx.settingsFile();
        if (*c.refusal) {
            EXPECT_FALSE(dialog.save()) << c.what;
            EXPECT_EQ(program.messages.texts(), QStringList{QString::fromUtf8(c.refusal)}) << c.what;
            EXPECT_EQ(program.read(QStringLiteral("\\ZORVA_VDJ.INI")), kSettings) << c.what;
            continue;
        }
        EXPECT_TRUE(dialog.save()) << c.what;
        EXPECT_TRUE(program.messages.texts().isEmpty()) << c.what;
        EXPECT_EQ(ini::readString(QStringLiteral("SETUP"), QStringLiteral("USERID"), {}, ini), "PORADCE1");
        EXPECT_EQ(ini::readString(QStringLiteral("LIMITY"), QStringLiteral("TYP4_MAX"), {}, ini), "1.5");
        EXPECT_TRUE(request::archiveKeepsPdf(program.ctx)) << c.what;
        // Every other key and section stays.
        EXPECT_EQ(ini::readString(QStringLiteral("SETUP"), QStringLiteral("JISUBRUX"), {}, ini), "1000234567");
        EXPECT_EQ(ini::readString(QStringLiteral("QEL"), QStringLiteral("DISABLE"), {}, ini), "1");
    }
}

TEST(SettingsDialog, TheMainWindowOffersItAndShowsWhatWasSet)
{
    TestProgram program;
    program.write(QStringLiteral("\\ZORVA_VDJ.INI"), kSettings);
    frmMain window(program.ctx);
    auto* button = window.findChild<QPushButton*>(QStringLiteral("settingsButton"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("Nastavení…"));
    ini::writeString(QStringLiteral("SETUP"), QStringLiteral("USERID"), QStringLiteral("PORADCE1"),
                     program.ctx.settingsFile());
    window.refreshFromSettings();
    EXPECT_EQ(window.txtUSERID->text(), QStringLiteral("PORADCE1"));
    EXPECT_TRUE(window.txtUSERID->isReadOnly());
    EXPECT_EQ(window.txtSERVER->toPlainText(), QStringLiteral("http://old/"));
}
