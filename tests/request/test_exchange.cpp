// The exchange object on its own: how it waits, how several run at once, and its time limit setting.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QEventLoop>
#include <QTcpServer>
#include <QTimer>
#include <algorithm>

#include "request/Exchange.h"
#include "support/CannedHttpServer.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::request;

namespace {

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

TEST(Exchange, WaitingForAServiceThatNeverAnswersSleeps)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    Exchange exchange(QStringLiteral("http://127.0.0.1:%1/x").arg(silent.serverPort()), QStringLiteral("<x/>"));
    exchange.setTimeoutSeconds(0);
    QList<int> ticks;
    int finished = 0;
    int cancelled = 0;
    QObject::connect(&exchange, &Exchange::progress, [&](int seconds) { ticks << seconds; });
    QObject::connect(&exchange, &Exchange::finished, [&] { ++finished; });
    QObject::connect(&exchange, &Exchange::cancelled, [&] { ++cancelled; });
    QTimer::singleShot(3500, &exchange, &Exchange::cancel);

    const double before = processorSeconds();
    const ExchangeOutcome& outcome = exchange.wait();
    const double used = processorSeconds() - before;

    // A loop that spins would use about the whole 3.5 s; a sleeping one a small fraction.
    EXPECT_LT(used, 1.0);
    ASSERT_GE(ticks.size(), 2);
    EXPECT_EQ(ticks.front(), 1);
    EXPECT_TRUE(std::is_sorted(ticks.begin(), ticks.end()) && ticks.back() <= 4) << ticks.size();
    EXPECT_EQ(outcome.result, ExchangeOutcome::Result::Cancelled);
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(exchange.running());
}

TEST(Exchange, SeveralRunAtOnceEachStoringToItsOwnTarget)
{
    test::TestProgram program;
    test::CannedHttpServer server;
    server.body = "<S:Envelope xmlns:S=\"http://schemas.xmlsoap.org/soap/envelope/\"><ok/></S:Envelope>";
    server.delayMs = 300;
    std::vector<std::unique_ptr<Exchange>> exchanges;
    int ended = 0;
    QEventLoop loop;
    for (int i = 0; i < 3; ++i) {
        auto exchange = std::make_unique<Exchange>(server.url(), QStringLiteral("<x n=\"%1\"/>").arg(i));
        exchange->setTarget(program.path(QStringLiteral("answer%1.xml").arg(i)));
        QObject::connect(exchange.get(), &Exchange::finished, [&] {
            if (++ended == 3) loop.quit();
        });
        exchange->start();
        exchanges.push_back(std::move(exchange));
    }
    loop.exec();
    EXPECT_EQ(server.received.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(exchanges[i]->outcome().result, ExchangeOutcome::Result::Answered) << i;
        EXPECT_TRUE(program.read(QStringLiteral("answer%1.xml").arg(i)).contains("<ok/>")) << i;
    }
}

TEST(Exchange, TimeLimitSetting)
{
    const std::pair<const char*, int> cases[] = {{"", 60}, {"abc", 60}, {"-5", 60},   {"1.5", 60},
                                                 {"0", 0}, {"30", 30},  {" 45 ", 45}, {"3000000", 86400}};
    for (const auto& [text, seconds] : cases)
        EXPECT_EQ(Exchange::timeoutFromSetting(QString::fromLatin1(text)), seconds) << text;
}
