#pragma once
#include <QString>

// The namespaces of the service's documents. The three service namespaces are shared by the
// request, the response and the rendering.
namespace zorva::ns {
inline const QString soap = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
inline const QString xsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
inline const QString klim = QStringLiteral("http://klim.example/kLIM/XSD/kLIM/v0100");
inline const QString vdj = QStringLiteral("http://data.example/kLIM/XSD/VDJ/0_0_1");
inline const QString rux = QStringLiteral("http://data.example/kLIM/XSD/RUX/0_0_1");
}  // namespace zorva::ns
