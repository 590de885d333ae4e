#include "common/UserText.h"

#include <QDebug>
#include <new>

#include "common/DetailLog.h"
#include "common/Failure.h"

namespace zorva {

QString userText(const std::exception& e)
{
    if (const auto* f = dynamic_cast<const Failure*>(&e)) return f->text();
    qCWarning(detailLog).noquote() << "Neočekávaná chyba:" << QString::fromLocal8Bit(e.what());
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return QStringLiteral("Pro tuto operaci není dost paměti. Zavřete jiné programy a zkuste to znovu.");
    return QStringLiteral("Operaci nelze dokončit kvůli neočekávané chybě programu.");
}

}  // namespace zorva
