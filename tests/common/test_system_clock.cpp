#include <gtest/gtest.h>
#include <QFileInfo>
#include <QRegularExpression>

#include "common/ModAll.h"
#include "common/SystemClock.h"
#include "support/TestSupport.h"

using namespace zorva;

TEST(SystemClock, RandomValuesLieInTheUnitInterval)
{
    SystemClock clock;
    clock.reseed();
    int high = 0;
    for (int i = 0; i < 1000; ++i) {
        const double r = clock.random();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        if (r > 0.5) ++high;
    }
    EXPECT_GT(high, 0);  // both temporary-name variants occur
    EXPECT_LT(high, 1000);
}

TEST(SystemClock, TemporaryNameWithTheRealClock)
{
    test::TestProgram p;
    SystemClock clock;
    p.ctx.clock = &clock;
    const QString name = VytvorJmenoTMP(p.ctx, p.folder(), "MDB");
    EXPECT_EQ(QFileInfo(name).absolutePath(), p.folder());
    EXPECT_TRUE(QRegularExpression("^TMP\\d{14}(000|100)_\\.MDB$").match(QFileInfo(name).fileName()).hasMatch())
        << qPrintable(name);
    EXPECT_FALSE(QFileInfo::exists(name));
}
