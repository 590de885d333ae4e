// Two hundred openings of the editor, each closed at once, as a user who checks many applicants
// in one sitting does: no working database may stay behind, and neither open files nor memory may
// grow with the number of openings.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "ResponseBuilder.h"
#include "editor/ui/EditorOpener.h"
#include "editor/ui/EditorWindow.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::test;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

int openDescriptors()
{
    return int(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size());
}

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

std::shared_ptr<xml::Document> response()
{
    ResponseShape shape;
    for (int i = 0; i < 12; ++i) {
        RowValues r;
        r.date = QStringLiteral("2005-%1-01").arg(i + 1, 2, 10, QLatin1Char('0'));
        for (const auto& c : editor::CategorySet::first().categories)
            r.categories[c.name] = {QString::number(i), QStringLiteral("0"), QStringLiteral("0.5")};
        shape.rows.push_back(r);
    }
    auto doc = std::make_shared<xml::Document>();
    doc->loadXml(buildResponse(shape));
    return doc;
}

}  // namespace

TEST(EditorCycles, TwoHundredOpeningsLeaveNoDatabaseNoDescriptorsAndNoMemoryBehind)
{
    TestProgram program;
    int opened = 0;
    auto cycle = [&](int i) {
        // Alternately closed by "Počítej" then STORNO, and by the close box.
        editor::openEditor(
            program.ctx, editor::CategorySet::first(), response(), nullptr, [&](editor::EditorWindow& w) {
                ++opened;
                if (i % 2 == 0) {
                    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdPocitej")), Qt::LeftButton);
                    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdStorno")), Qt::LeftButton);
                } else {
                    w.close();
                }
            });
        // Each opening names its database anew; the fixed clock would give every one the same name.
        program.clock.time = program.clock.time.addSecs(1);
    };
    for (int i = 0; i < 10; ++i) cycle(i);  // Qt's and SQLite's one-time allocations
    const int descriptors = openDescriptors();
    const long memory = residentKilobytes();
    for (int i = 0; i < 200; ++i) cycle(i);
    EXPECT_EQ(opened, 210);
    EXPECT_TRUE(program.files(QStringLiteral("TMP*.MDB")).isEmpty())
        << program.files(QStringLiteral("TMP*")).join(' ').toStdString();
    EXPECT_TRUE(program.files(QStringLiteral("TMP*")).isEmpty())
        << program.files(QStringLiteral("TMP*")).join(' ').toStdString();
    EXPECT_LE(openDescriptors(), descriptors + 3);
    const long grown = residentKilobytes() - memory;
    std::cout << "descriptors " << descriptors << " -> " << openDescriptors() << ", resident memory grew by " << grown
              << " kB over 200 openings\n";
    // Under AddressSanitizer freed memory sits in quarantine; there the leak checker does this job.
    if (!kAddressSanitizer) { EXPECT_LT(grown, 50 * 1024); }
}
