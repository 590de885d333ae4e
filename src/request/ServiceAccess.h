#pragma once
#include <QObject>
#include <QString>
#include <memory>

#include "common/ProgramContext.h"
#include "request/RequestDocument.h"

namespace zorva::request {

class Exchange;

// How the program reaches the service: the address, the time limit of a request and the settings
// file that the failure messages name. The main window and the batch set up every exchange from
// it, so that both ask alike.
struct ServiceAccess {
    QString server;
    int timeoutSeconds = 60;  // without progress, per request
    QString settingsName = QStringLiteral("ZORVA_VDJ.INI");

    // The address given (a window's box, --server), else the settings file's; the settings file's
    // time limit.
    static ServiceAccess fromSettings(const ProgramContext& ctx, const QString& server = QString());
};

// The request of `fields`, stamped with the program's clock, addressed as `access` says; not yet
// started.
std::unique_ptr<Exchange> newExchange(const ProgramContext& ctx, const ServiceAccess& access,
                                      const RequestFields& fields);

}  // namespace zorva::request
