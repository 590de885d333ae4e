#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include "presentation/Rendering.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;

// A real browser opens the rendered page from the disk, offline, and reads its Czech texts and chart.
TEST(RenderedPageInBrowser, ShowsCzechTextsAndTheChart)
{
    const QString chromium = QStringLiteral("/usr/bin/chromium");
    if (!QFile::exists(chromium)) GTEST_SKIP() << "Chromium is not installed (scripts/setup installs it when it can)";

    TestProgram program;
    program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
    program.copyData(QStringLiteral("samples/response-first.xml"), QStringLiteral("ZORVA_VDJ1B_response.xml"));
    presentation::ZobrazOdpoved(program.ctx, presentation::HtmlCheck::Checked);
    ASSERT_TRUE(program.exists(QStringLiteral("ZORVA_VDJ1B_response.htm")));

    QTemporaryDir profile;
    QProcess browser;
    browser.start(chromium, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                             QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-component-update"),
                             QStringLiteral("--disable-sync"), QStringLiteral("--no-first-run"),
                             QStringLiteral("--user-data-dir=") + profile.path(), QStringLiteral("--dump-dom"),
                             QUrl::fromLocalFile(program.path(QStringLiteral("ZORVA_VDJ1B_response.htm"))).toString()});
    ASSERT_TRUE(browser.waitForFinished(90000)) << "the browser did not finish";
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    EXPECT_TRUE(dom.contains(QStringLiteral("Výměra"))) << dom.left(500).toStdString();
    EXPECT_TRUE(dom.contains(QStringLiteral("Dvořák")));
    EXPECT_TRUE(dom.contains(QStringLiteral("<svg")));
    EXPECT_FALSE(dom.contains(QStringLiteral("Ã")));   // no UTF-8 read as a single-byte page
}
