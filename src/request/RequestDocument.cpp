#include "request/RequestDocument.h"

#include "common/Namespaces.h"

namespace zorva::request {

namespace {

QString escapeText(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        default: out += c;
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
        .arg(d.year()).arg(d.month()).arg(d.day()).arg(t.hour()).arg(t.minute()).arg(t.second());
}

QString composeRequest(const RequestFields& f, const QDateTime& stamp)
{
    QString s;
    s += QStringLiteral("<SOAP:Envelope xmlns:SOAP=\"") + ns::soap + QStringLiteral("\"> <SOAP:Body> ");
    s += QStringLiteral("<kLIM:Request id=\"kLIM\" dateTime=\"") + requestStamp(stamp) + QStringLiteral("\" xmlns:kLIM=\"") +
         ns::klim + QStringLiteral("\" kLIMid=\"ZORVA_VDJ1B\"> ");
    s += QStringLiteral("<kLIM:UIDkey userID=\"") + escapeText(f.userId) +
         QStringLiteral("\" addressAD=\"default\" certificateSN=\"0\" /> ");
    s += QStringLiteral("<kLIM:DataRequest recordCount=\"1\" responseLang=\"CZE\"> ");
    s += QStringLiteral("<VDJ:REQUEST xmlns:xsi=\"") + ns::xsi + QStringLiteral("\" xsi:schemaLocation=\"") + ns::vdj +
         QLatin1Char(' ') + ns::vdj + QStringLiteral("/VDJ.xsd\" xmlns:VDJ=\"") + ns::vdj + QStringLiteral("\" xmlns:RUX=\"") +
         ns::rux + QStringLiteral("\"> ");
    s += QStringLiteral("<VDJ:ReqRecord id=\"record\" number=\"1\"> ");
    s += QStringLiteral("<RUX:JISUBRUX>") + escapeText(f.jisubrux) + QStringLiteral("</RUX:JISUBRUX> <RUX:ICO>") +
         escapeText(f.ico) + QStringLiteral("</RUX:ICO> <RUX:RCI>") + escapeText(f.rc) +
         QStringLiteral("</RUX:RCI> <RUX:VARPICH>") + escapeText(f.type) +
         QStringLiteral("</RUX:VARPICH><RUX:PICHVYPOCET>") + escapeText(f.variant) +
         QStringLiteral("</RUX:PICHVYPOCET> <RUX:ROKPLATNOST>") + escapeText(f.year) +
         QStringLiteral("</RUX:ROKPLATNOST><RUX:VYMERA>") + escapeText(f.acreage);
    s += QStringLiteral("</RUX:VYMERA> </VDJ:ReqRecord> </VDJ:REQUEST> </kLIM:DataRequest> </kLIM:Request> </SOAP:Body> </SOAP:Envelope>");
    return s;
}

}  // namespace zorva::request
