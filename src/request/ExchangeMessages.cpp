#include "request/ExchangeMessages.h"

#include <QUrl>

#include "platform/XmlDocument.h"

namespace zorva::request {

QString exchangeFailureMessage(ExchangeFailure failure, const ExchangeFailureFacts& facts)
{
    const QString where = QStringLiteral("SETUP/SERVER v souboru %1").arg(facts.settingsName);
    QString what;
    QString check = QStringLiteral("Zkontrolujte adresu služby (%1).").arg(where);
    switch (failure) {
        case ExchangeFailure::Refused:
            what = QStringLiteral("Služba odmítla spojení: na zadané adrese neběží.");
            check = QStringLiteral("Zkontrolujte, zda služba běží, a její adresu (%1).").arg(where);
            break;
        case ExchangeFailure::HostNotFound:
            what = QStringLiteral("Počítač „%1“ ze zadané adresy nebyl nalezen.").arg(QUrl(facts.url).host());
            check = QStringLiteral("Zkontrolujte adresu služby (%1) a připojení k síti.").arg(where);
            break;
        case ExchangeFailure::Timeout:
            what = QStringLiteral("Služba neodpověděla do %1 s.").arg(facts.timeoutSeconds);
            check = QStringLiteral(
                        "Zkuste to později. Zkontrolujte adresu služby (%1); delší čekání "
                        "povolí klíč SETUP/TIMEOUT.")
                        .arg(where);
            break;
        case ExchangeFailure::Tls:
            what = QStringLiteral(
                "Zabezpečené spojení se službou se nepodařilo navázat (certifikát serveru "
                "není platný nebo důvěryhodný).");
            check = QStringLiteral(
                        "Zkontrolujte adresu služby (%1), zvláště zda má začínat „https://“, "
                        "nebo „http://“.")
                        .arg(where);
            break;
        case ExchangeFailure::TooLarge:
            what = QStringLiteral("Odpověď služby je větší než %1 MB a nebyla přijata.")
                       .arg(xml::Document::maxInputBytes / (1024 * 1024));
            check = QStringLiteral("Zkontrolujte, zda adresa (%1) vede na službu výpočtu VDJ.").arg(where);
            break;
        case ExchangeFailure::Interrupted:
            what = QStringLiteral("Spojení se službou se přerušilo dřív, než přišla odpověď.");
            check = QStringLiteral("Zkuste to znovu. Zkontrolujte adresu služby (%1).").arg(where);
            break;
        case ExchangeFailure::EmptyBody:
            what = QStringLiteral("Služba odpověděla (stav HTTP %1), ale bez obsahu.").arg(facts.status);
            check = QStringLiteral("Zkontrolujte, zda adresa (%1) vede na službu výpočtu VDJ.").arg(where);
            break;
        case ExchangeFailure::NotXml:
            what = QStringLiteral("Služba odpověděla (stav HTTP %1), ale odpověď není dokument XML.").arg(facts.status);
            check = QStringLiteral("Zkontrolujte, zda adresa (%1) vede na službu výpočtu VDJ.").arg(where);
            break;
        case ExchangeFailure::NotAnswer:
            what = QStringLiteral("Služba odpověděla (stav HTTP %1), ale odpověď není odpovědí služby výpočtu VDJ.")
                       .arg(facts.status);
            check = QStringLiteral("Zkontrolujte, zda adresa (%1) vede na službu výpočtu VDJ.").arg(where);
            break;
    }
    return what + QStringLiteral("\n\nAdresa: ") + facts.url + QStringLiteral("\n\n") + check;
}

}  // namespace zorva::request
