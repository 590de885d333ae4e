#include "ServiceRequest.h"

#include <QRegularExpression>

#include "platform/XmlDocument.h"

namespace zorva::service {

namespace {

Fault clientFault(const QString& text)
{
    return Fault{QStringLiteral("SOAP:Client"), text};
}

QString fieldText(const xml::Node& record, const char* name)
{
    const xml::Node node = record.selectSingle(QStringLiteral("RUX:") + QLatin1String(name));
    return node ? node.text().trimmed() : QString();
}

}  // namespace

Fault requestTooLarge()
{
    return clientFault(QStringLiteral("Požadavek je příliš velký (nejvýše 1 MB)"));
}

Fault requestWithoutLength()
{
    return clientFault(QStringLiteral("Požadavek neudává délku obsahu (Content-Length)"));
}

std::variant<RequestFields, Fault> readRequest(const QByteArray& body)
{
    if (body.size() > maxRequestBytes) return requestTooLarge();
    xml::Document doc;
    if (!doc.loadXml(body) || doc.isEmpty()) return clientFault(QStringLiteral("Požadavek není platný dokument XML"));

    try {
        const xml::Node record = doc.selectSingle(QStringLiteral("//VDJ:ReqRecord"));
        if (!record) return clientFault(QStringLiteral("Požadavek neobsahuje záznam žádosti VDJ:ReqRecord"));
        RequestFields f;
        if (const xml::Node uid = doc.selectSingle(QStringLiteral("//kLIM:UIDkey")))
            f.userId = uid.attribute(QStringLiteral("userID")).value_or(QString()).trimmed();
        f.jisubrux = fieldText(record, "JISUBRUX");
        f.ico = fieldText(record, "ICO");
        f.rc = fieldText(record, "RCI");
        f.type = fieldText(record, "VARPICH");
        f.variant = fieldText(record, "PICHVYPOCET");
        f.validity = fieldText(record, "ROKPLATNOST");
        f.acreage = fieldText(record, "VYMERA");
        return f;
    } catch (const std::exception&) {
        return clientFault(QStringLiteral("Požadavek neobsahuje záznam žádosti VDJ:ReqRecord"));
    }
}

std::variant<Parameters, Fault> checkParameters(const RequestFields& f)
{
    Parameters p;
    static const QRegularExpression oneDigit(QStringLiteral("^[1-6]$"));
    if (!oneDigit.match(f.type).hasMatch())
        return clientFault(QStringLiteral("Neplatný typ výpočtu (VARPICH musí být 1 až 6)"));
    p.type = f.type.toInt();

    const QString variant = f.variant.toUpper();
    if (variant != QLatin1String("A") && variant != QLatin1String("B") && variant != QLatin1String("C"))
        return clientFault(QStringLiteral("Neplatná varianta výpočtu (PICHVYPOCET musí být A, B nebo C)"));
    p.variant = variant;

    if (p.type <= 3) {
        // The program sends the date as dd.mm.yyyy; the short form is accepted as well.
        static const QRegularExpression dateForm(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
        const auto m = dateForm.match(f.validity);
        if (m.hasMatch()) p.date = QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
        if (!p.date.isValid())
            return clientFault(QStringLiteral("Datum platnosti není platné datum ve tvaru dd.mm.rrrr"));
        p.year = p.date.year();
    } else {
        // The year as the user typed it; the program has checked that it reads as a number, which
        // may carry decimals ("2006,0"), so the whole years before any separator count.
        static const QRegularExpression yearForm(QStringLiteral("^(\\d{1,9})(?:[.,]\\d*)?$"));
        const auto m = yearForm.match(f.validity);
        if (!m.hasMatch()) return clientFault(QStringLiteral("Rok platnosti není platný rok"));
        p.year = m.captured(1).toInt();
    }
    if (p.year < 2004 || p.year > 2007) return clientFault(QStringLiteral("Rok je mimo povolený rozsah 2004–2007"));

    if (p.type == 6) {
        QString text = f.acreage;
        text.remove(QLatin1Char(' '));
        text.remove(QChar(0x00A0));
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
        if (!number.match(text).hasMatch()) return clientFault(QStringLiteral("Výměra není platné číslo"));
        p.acreage = text.toDouble();
        if (p.acreage < 0) return clientFault(QStringLiteral("Výměra nesmí být záporná"));
    }
    return p;
}

}  // namespace zorva::service
