// zorva-vdj-service [--port N] [--data DIR]: the demo service on 127.0.0.1 until it is stopped.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include "common/Failure.h"
#include "service/DemoService.h"

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the event loop through a socket pair, so that the server is torn down
// normally instead of inside a signal handler.
void quitOnSignals(QCoreApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        notifier->setEnabled(false);
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zorva-vdj-service"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("ZORVA demo service (ZORVA_VDJ1B) on 127.0.0.1"));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port to listen on; 0 = any free port."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption dataOption(QStringLiteral("data"),
                                        QStringLiteral("Folder with demo.sql and ZORVA_VDJ_help.html."),
                                        QStringLiteral("DIR"), QCoreApplication::applicationDirPath());
    parser.addOption(portOption);
    parser.addOption(dataOption);
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        std::fprintf(stderr, "zorva-vdj-service: invalid port '%s'\n", qPrintable(parser.value(portOption)));
        return 2;
    }

    try {
        zorva::service::DemoService service(parser.value(dataOption));
        if (service.listen(static_cast<quint16>(port)) == 0) {
            std::fprintf(stderr, "zorva-vdj-service: cannot listen on 127.0.0.1:%u\n", port);
            return 1;
        }
        quitOnSignals(app);
        std::printf("ZORVA demo service listening on %s\n", qPrintable(service.exchangeUrl()));
        std::fflush(stdout);
        return app.exec();
    } catch (const zorva::Failure& f) {
        std::fprintf(stderr, "zorva-vdj-service: %s\n", f.text().toLocal8Bit().constData());
        return 1;
    }
}
