#pragma once
#include <QString>

// The addresses used when the settings file does not name them: the service on this machine.
namespace zorva::defaults {
inline const QString serverUrl = QStringLiteral("http://localhost:8080/kLIM/APP/v0100/kLIMsrv.asp");
inline const QString helpUrl = QStringLiteral("http://localhost:8080/kLIM/hlp/ZORVA_VDJ_help.html");
}  // namespace zorva::defaults
