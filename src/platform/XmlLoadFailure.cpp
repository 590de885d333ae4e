#include "platform/XmlDocument.h"

namespace zorva::xml {

QString loadFailureText(LoadFailure failure)
{
    switch (failure) {
        case LoadFailure::None:
            return QString();
        case LoadFailure::Unreadable:
            return QStringLiteral("Soubor nelze přečíst.");
        case LoadFailure::TooLarge:
            return QStringLiteral("Dokument je příliš velký (nejvýše %1 MB).")
                .arg(Document::maxInputBytes / (1024 * 1024));
        case LoadFailure::Doctype:
            return QStringLiteral("Dokument obsahuje deklaraci typu dokumentu (DOCTYPE), kterou program nepřijímá.");
        case LoadFailure::NotXml:
            return QStringLiteral("Není to platný dokument XML.");
    }
    return QString();
}

QString fileLoadFailureText(const QString& path, LoadFailure failure)
{
    if (isRefusal(failure)) return QStringLiteral("Soubor \"%1\" nelze načíst. %2").arg(path, loadFailureText(failure));
    return QStringLiteral("Soubor \"%1\" nelze přečíst nebo to není platný dokument XML.").arg(path);
}

}  // namespace zorva::xml
