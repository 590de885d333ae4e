#include "request/RequestDocument.h"

#include "common/Namespaces.h"

namespace zorva::request {

namespace {

// Whether XML 1.0 can carry the character at all, neither as itself nor as a reference.
bool xmlCharacter(char16_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xFFFD && !QChar::isSurrogate(c));
}

QString escapeText(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        switch (c.unicode()) {
            case '&':
                out += QLatin1String("&amp;");
                break;
            case '<':
                out += QLatin1String("&lt;");
                break;
            case '>':
                out += QLatin1String("&gt;");
                break;
            case '"':
                out += QLatin1String("&quot;");
                break;
            // Line breaks and tabs as references: a parser turns a literal one into a blank (in the
            // user identification, an attribute) or a CR LF into LF, and the field would change.
            case '\t':
                out += QLatin1String("&#9;");
                break;
            case '\n':
                out += QLatin1String("&#10;");
                break;
            case '\r':
                out += QLatin1String("&#13;");
                break;
            default:
                if (c.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
                    out += c;
                    out += value.at(++i);
                } else if (xmlCharacter(c.unicode())) {
                    out += c;
                }
                // A control character (pasted into a box, or in the settings file) or a broken
                // surrogate would make the whole request malformed, so the service could not read
                // even the fields that are fine; it is left out.
        }
    }
    return out;
}

}  // namespace

QString requestStamp(const QDateTime& stamp)
{
    const QDate d = stamp.date();
    const QTime t = stamp.time();
    return QStringLiteral("%1-%2-%3T%4:%5:%6")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(t.minute())
        .arg(t.second());
}

QString composeRequest(const RequestFields& f, const QDateTime& stamp)
{
    QString s;
    s += QStringLiteral("<SOAP:Envelope xmlns:SOAP=\"") + ns::soap + QStringLiteral("\"> <SOAP:Body> ");
    s += QStringLiteral("<kLIM:Request id=\"kLIM\" dateTime=\"") + requestStamp(stamp) +
         QStringLiteral("\" xmlns:kLIM=\"") + ns::klim + QStringLiteral("\" kLIMid=\"ZORVA_VDJ1B\"> ");
    s += QStringLiteral("<kLIM:UIDkey userID=\"") + escapeText(f.userId) +
         QStringLiteral("\" addressAD=\"default\" certificateSN=\"0\" /> ");
    s += QStringLiteral("<kLIM:DataRequest recordCount=\"1\" responseLang=\"CZE\"> ");
    s += QStringLiteral("<VDJ:REQUEST xmlns:xsi=\"") + ns::xsi + QStringLiteral("\" xsi:schemaLocation=\"") + ns::vdj +
         QLatin1Char(' ') + ns::vdj + QStringLiteral("/VDJ.xsd\" xmlns:VDJ=\"") + ns::vdj +
         QStringLiteral("\" xmlns:RUX=\"") + ns::rux + QStringLiteral("\"> ");
    s += QStringLiteral("<VDJ:ReqRecord id=\"record\" number=\"1\"> ");
    s += QStringLiteral("<RUX:JISUBRUX>") + escapeText(f.jisubrux) + QStringLiteral("</RUX:JISUBRUX> <RUX:ICO>") +
         escapeText(f.ico) + QStringLiteral("</RUX:ICO> <RUX:RCI>") + escapeText(f.rc) +
         QStringLiteral("</RUX:RCI> <RUX:VARPICH>") + escapeText(f.type) +
         QStringLiteral("</RUX:VARPICH><RUX:PICHVYPOCET>") + escapeText(f.variant) +
         QStringLiteral("</RUX:PICHVYPOCET> <RUX:ROKPLATNOST>") + escapeText(f.year) +
         QStringLiteral("</RUX:ROKPLATNOST><RUX:VYMERA>") + escapeText(f.acreage);
    s += QStringLiteral(
        "</RUX:VYMERA> </VDJ:ReqRecord> </VDJ:REQUEST> </kLIM:DataRequest> </kLIM:Request> </SOAP:Body> "
        "</SOAP:Envelope>");
    return s;
}

}  // namespace zorva::request
