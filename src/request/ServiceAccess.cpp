#include "request/ServiceAccess.h"

#include <QDateTime>
#include <QFileInfo>

#include "common/IniFile.h"
#include "request/Defaults.h"
#include "request/Exchange.h"

namespace zorva::request {

ServiceAccess ServiceAccess::fromSettings(const ProgramContext& ctx, const QString& server)
{
    const QString ini = ctx.settingsFile();
    ServiceAccess access;
    access.server = !server.isEmpty()
                        ? server
                        : ini::readString(QStringLiteral("SETUP"), QStringLiteral("SERVER"), defaults::serverUrl, ini);
    access.timeoutSeconds = Exchange::timeoutFromSetting(
        ini::readString(QStringLiteral("SETUP"), QStringLiteral("TIMEOUT"), QString(), ini));
    access.settingsName = QFileInfo(ini).fileName();
    return access;
}

std::unique_ptr<Exchange> newExchange(const ProgramContext& ctx, const ServiceAccess& access,
                                      const RequestFields& fields)
{
    const QDateTime stamp = ctx.clock ? ctx.clock->now() : QDateTime::currentDateTime();
    auto exchange = std::make_unique<Exchange>(access.server, composeRequest(fields, stamp));
    exchange->setTimeoutSeconds(access.timeoutSeconds);
    exchange->setSettingsName(access.settingsName);
    return exchange;
}

}  // namespace zorva::request
