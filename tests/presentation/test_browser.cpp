#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include "editor/Recompute.h"
#include "presentation/Rendering.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;

namespace {

const QString kChromium = QStringLiteral("/usr/bin/chromium");

// The page as a real browser builds it from the disk, offline.
QString browserDom(const QString& page)
{
    QTemporaryDir profile;
    QProcess browser;
    browser.start(kChromium, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                              QStringLiteral("--disable-gpu"), QStringLiteral("--disable-background-networking"),
                              QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                              QStringLiteral("--no-first-run"), QStringLiteral("--user-data-dir=") + profile.path(),
                              QStringLiteral("--dump-dom"), QUrl::fromLocalFile(page).toString()});
    EXPECT_TRUE(browser.waitForFinished(90000)) << "the browser did not finish";
    return QString::fromUtf8(browser.readAllStandardOutput());
}

}  // namespace

// A real browser opens the rendered page from the disk, offline, and reads its Czech texts and chart;
// a page of changed figures carries its band.
TEST(RenderedPageInBrowser, ShowsCzechTextsAndTheChart)
{
    if (!QFile::exists(kChromium)) GTEST_SKIP() << "Chromium is not installed (scripts/setup installs it when it can)";

    struct Case {
        const char* what;
        QStringList recompute;  // edits made before rendering, none for the service's answer
        bool marked;
        QByteArray settings = {};  // limits that a recompute records in the document
    };
    for (const Case& c : {Case{"the service's answer", {}, false},
                          Case{"changed figures", {"--set", "2005-03-01:SKOTML_POCET=25"}, true},
                          Case{"judged by limits",
                               {"--set", "2005-03-01:SKOTML_POCET=25"},
                               true,
                               "[LIMITY]\r\nTYP4_MIN=0,3\r\nTYP4_MAX=1\r\n"}}) {
        TestProgram program;
        if (!c.settings.isEmpty()) program.write(QStringLiteral("ZORVA_VDJ.INI"), c.settings);
        program.copyData(QStringLiteral("ZORVA_VDJ1B.xsl"));
        program.copyData(QStringLiteral("samples/response-first.xml"), QStringLiteral("ZORVA_VDJ1B_response.xml"));
        if (!c.recompute.isEmpty()) {
            const QString file = program.path(QStringLiteral("ZORVA_VDJ1B_response.xml"));
            ASSERT_EQ(editor::recompute(QStringList{"--recompute", file, "--out", file} + c.recompute, program.ctx,
                                        {[](const QByteArray&) {}, [](const QString&) {}}),
                      0);
        }
        presentation::ZobrazOdpoved(program.ctx, presentation::HtmlCheck::Checked);
        ASSERT_TRUE(program.exists(QStringLiteral("ZORVA_VDJ1B_response.htm"))) << c.what;

        const QString dom = browserDom(program.path(QStringLiteral("ZORVA_VDJ1B_response.htm")));
        EXPECT_TRUE(dom.contains(QStringLiteral("Výměra"))) << c.what << dom.left(500).toStdString();
        EXPECT_TRUE(dom.contains(QStringLiteral("Dvořák"))) << c.what;
        EXPECT_TRUE(dom.contains(QStringLiteral("<svg"))) << c.what;
        EXPECT_FALSE(dom.contains(QStringLiteral("Ã"))) << c.what;  // no UTF-8 read as a single-byte page
        EXPECT_EQ(dom.contains(QStringLiteral("Upraveno uživatelem – nejde o odpověď služby")), c.marked) << c.what;
        // The verdict band stands where limits were used, and only there.
        EXPECT_EQ(dom.contains(QStringLiteral("nad limitem")), !c.settings.isEmpty()) << c.what;
        EXPECT_EQ(dom.contains(QStringLiteral("limit z nastavení")), !c.settings.isEmpty()) << c.what;
    }
}
