#include <gtest/gtest.h>
#include <QCoreApplication>

#include "app/QtCzech.h"

// Qt's own buttons and dialogs are the ones a user meets in every file dialog and message box.
TEST(QtCzech, QtsOwnTextsSpeakCzech)
{
    const zorva::app::QtCzech czech(*QCoreApplication::instance());
    ASSERT_TRUE(czech.loaded()) << "the Czech translations of Qt (qt6-translations-l10n) are missing";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Zrušit"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Otevřít"));
}
