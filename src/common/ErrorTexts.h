#pragma once
#include <QString>

#include "common/Failure.h"

namespace zorva {

// The Czech description of a run-time error number, worded as the users know these messages.
inline QString errorText(int number)
{
    switch (number) {
        case err::Overflow:
            return QStringLiteral("Přetečení (Overflow)");
        case err::DivisionByZero:
            return QStringLiteral("Dělení nulou");
        case err::InvalidProcedureCall:
            return QStringLiteral("Neplatné volání procedury nebo argument");
        case err::BadFileName:
            return QStringLiteral("Chybný název nebo číslo souboru");
        case err::FileNotFound:
            return QStringLiteral("Soubor nebyl nalezen");
        case err::DeviceIo:
            return QStringLiteral("Chyba vstupu/výstupu zařízení");
        case err::PermissionDenied:
            return QStringLiteral("Přístup odepřen");
        case err::PathFileAccess:
            return QStringLiteral("Chyba přístupu k cestě nebo souboru");
        case err::PathNotFound:
            return QStringLiteral("Cesta nebyla nalezena");
        case err::ObjectRequired:
            return QStringLiteral("Je vyžadován objekt");
        default:
            return QStringLiteral("Chyba definovaná aplikací nebo objektem");
    }
}

inline Failure failure(int number)
{
    return Failure(number, errorText(number));
}

}  // namespace zorva
