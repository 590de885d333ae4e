// zorva-vdj-service [--port N] [--data DIR] [--demo-applicants N]: the demo service on 127.0.0.1 until it is stopped.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "common/TerminationSignals.h"
#include "platform/Failure.h"
#include "service/DemoService.h"

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
    const QCommandLineOption applicantsOption(
        QStringLiteral("demo-applicants"),
        QStringLiteral("Add N generated applicants (JISUBRUX from 2000000001 on) to the demo registers."),
        QStringLiteral("N"), QStringLiteral("0"));
    parser.addOption(portOption);
    parser.addOption(applicantsOption);
    parser.addOption(dataOption);
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        std::fprintf(stderr, "zorva-vdj-service: invalid port '%s'\n", qPrintable(parser.value(portOption)));
        return 2;
    }

    bool countOk = false;
    const int applicants = parser.value(applicantsOption).toInt(&countOk);
    if (!countOk || applicants < 0 || applicants > 1000000) {
        std::fprintf(stderr, "zorva-vdj-service: invalid number of applicants '%s'\n",
                     qPrintable(parser.value(applicantsOption)));
        return 2;
    }

    try {
        zorva::service::DemoService service(parser.value(dataOption));
        service.addGeneratedApplicants(applicants);
        if (service.listen(static_cast<quint16>(port)) == 0) {
            std::fprintf(stderr, "zorva-vdj-service: cannot listen on 127.0.0.1:%u\n", port);
            return 1;
        }
        zorva::onTerminationSignal(&app, [] { QCoreApplication::quit(); });
        std::printf("ZORVA demo service listening on %s\n", qPrintable(service.exchangeUrl()));
        std::fflush(stdout);
        return app.exec();
    } catch (const zorva::Failure& f) {
        std::fprintf(stderr, "zorva-vdj-service: %s\n", f.text().toLocal8Bit().constData());
        return 1;
    }
}
