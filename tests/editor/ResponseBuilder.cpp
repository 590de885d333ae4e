#include "ResponseBuilder.h"

#include "common/Namespaces.h"

namespace zorva::test {

QByteArray buildResponse(const ResponseShape& shape)
{
    QString x = QStringLiteral(
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SOAP:Envelope xmlns:SOAP=\"%1\"><SOAP:Body>"
                    "<kLIM:Response id=\"kLIM\" kLIMid=\"ZORVA_VDJ1B\" xmlns:kLIM=\"%2\">"
                    "<kLIM:DataResponse recordCount=\"1\" responseLang=\"CZE\" showXSLTtype=\"text/xsl\" "
                    "showXSLTPath=\"ZORVA_VDJ1B.xsl\">"
                    "<VDJ:RESPONSE xmlns:VDJ=\"%3\" xmlns:RUX=\"%4\"><VDJ:RespRecord id=\"record\" number=\"1\">")
                    .arg(ns::soap, ns::klim, ns::vdj, ns::rux);
    x += QStringLiteral(
             "<RUX:JISUBRUX>%1</RUX:JISUBRUX><RUX:ICO>25123456</RUX:ICO><RUX:RCI>7001011234</RUX:RCI>"
             "<RUX:VARPICH>%2</RUX:VARPICH><RUX:PICHVYPOCET>C</RUX:PICHVYPOCET>")
             .arg(shape.jisubrux, shape.type);
    if (shape.pichRokA) x += QStringLiteral("<RUX:PICHROKA>%1</RUX:PICHROKA>").arg(*shape.pichRokA);
    if (shape.pichRokB) x += QStringLiteral("<RUX:PICHROKB>%1</RUX:PICHROKB>").arg(*shape.pichRokB);
    x += QStringLiteral(
        "<VDJ:SUBJEKTIRZ><RUX:RCI>6001011234</RUX:RCI><RUX:JME>Jan</RUX:JME><RUX:PRI>Dvořák</RUX:PRI>"
        "<RUX:OJM>Rodinná farma Dvořák</RUX:OJM></VDJ:SUBJEKTIRZ><VDJ:PICHROWS>");
    for (const RowValues& r : shape.rows) {
        x += QStringLiteral("<VDJ:PICHROW DATPLATNOST=\"%1\" VDJA=\"%2\" VDJB=\"%3\" PICHA=\"%4\" PICHB=\"%5\">")
                 .arg(r.date.toHtmlEscaped(), r.vdja, r.vdjb, r.picha, r.pichb);
        x += QStringLiteral("<RUX:ZADATELREGLPIS>A</RUX:ZADATELREGLPIS><RUX:ZADATELREGIRZ>N</RUX:ZADATELREGIRZ>");
        if (r.withAcreage) x += QStringLiteral("<RUX:SUMAVYMERADPB>%1</RUX:SUMAVYMERADPB>").arg(r.acreage);
        for (const auto& [name, v] : r.categories) {
            x += QStringLiteral("<RUX:") + name;
            if (v.vdj) x += QStringLiteral(" VDJ=\"%1\"").arg(*v.vdj);
            if (v.koef) x += QStringLiteral(" KOEF=\"%1\"").arg(*v.koef);
            x += QStringLiteral(">") + v.count + QStringLiteral("</RUX:") + name + QStringLiteral(">");
        }
        x += QStringLiteral("</VDJ:PICHROW>");
    }
    x += QStringLiteral(
        "</VDJ:PICHROWS></VDJ:RespRecord></VDJ:RESPONSE></kLIM:DataResponse></kLIM:Response></SOAP:Body></"
        "SOAP:Envelope>");
    return x.toUtf8();
}

}  // namespace zorva::test
