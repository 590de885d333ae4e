#include "DemoResponse.h"

#include <QTemporaryDir>
#include <QXmlStreamWriter>
#include <memory>

#include "DemoRules.h"
#include "common/Failure.h"
#include "common/Namespaces.h"
#include "common/NumberText.h"
#include "common/SystemClock.h"
#include "editor/EditorSession.h"
#include "editor/WriteBack.h"
#include "platform/XmlDocument.h"
#include "request/RequestDocument.h"

namespace zorva::service {

namespace {

const QString kZero = QStringLiteral("0");

// The seams of a program folder that nobody looks at: a message of the calculation becomes the
// reason of a fault instead of a box.
class CollectedMessages : public MessageBoxes {
public:
    void show(const QString& text, MessageIcon) override { texts << text; }
    Answer ask(const QString&) override { return Answer::Yes; }
    QStringList texts;
};

class NoShell : public ShellService {
public:
    int open(const QString&, const QString&, const QString&, int) override { return 42; }
};

void textElement(QXmlStreamWriter& w, const QString& name, const QString& text)
{
    if (text.isEmpty()) w.writeEmptyElement(name);
    else w.writeTextElement(name, text);
}

}  // namespace

QByteArray composeResponse(const ResponseContent& c)
{
    const bool withA = c.variant == QLatin1String("A") || c.variant == QLatin1String("C");
    const bool withB = c.variant == QLatin1String("B") || c.variant == QLatin1String("C");

    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("SOAP:Envelope"));
    w.writeAttribute(QStringLiteral("xmlns:SOAP"), ns::soap);
    w.writeStartElement(QStringLiteral("SOAP:Body"));
    w.writeStartElement(QStringLiteral("kLIM:Response"));
    w.writeAttribute(QStringLiteral("id"), QStringLiteral("kLIM"));
    w.writeAttribute(QStringLiteral("dateTime"), request::requestStamp(c.stamp));
    w.writeAttribute(QStringLiteral("kLIMid"), QStringLiteral("ZORVA_VDJ1B"));
    w.writeAttribute(QStringLiteral("xmlns:kLIM"), ns::klim);
    w.writeStartElement(QStringLiteral("kLIM:DataResponse"));
    w.writeAttribute(QStringLiteral("recordCount"), QStringLiteral("1"));
    w.writeAttribute(QStringLiteral("responseLang"), QStringLiteral("CZE"));
    w.writeAttribute(QStringLiteral("showXSLTtype"), QStringLiteral("text/xsl"));
    w.writeAttribute(QStringLiteral("showXSLTPath"), QStringLiteral("ZORVA_VDJ1B.xsl"));
    w.writeStartElement(QStringLiteral("VDJ:RESPONSE"));
    w.writeAttribute(QStringLiteral("xmlns:VDJ"), ns::vdj);
    w.writeAttribute(QStringLiteral("xmlns:RUX"), ns::rux);
    w.writeStartElement(QStringLiteral("VDJ:RespRecord"));
    w.writeAttribute(QStringLiteral("id"), QStringLiteral("record"));
    w.writeAttribute(QStringLiteral("number"), QStringLiteral("1"));

    textElement(w, QStringLiteral("RUX:JISUBRUX"), c.applicant.jisubrux);
    textElement(w, QStringLiteral("RUX:ICO"), c.applicant.ico);
    textElement(w, QStringLiteral("RUX:RCI"), c.applicant.rci);
    textElement(w, QStringLiteral("RUX:VARPICH"), c.asked.type);
    textElement(w, QStringLiteral("RUX:PICHVYPOCET"), c.variant);
    textElement(w, QStringLiteral("RUX:ROKPLATNOST"), c.asked.validity);
    textElement(w, QStringLiteral("RUX:VYMERA"), c.asked.acreage.isEmpty() ? kZero : c.asked.acreage);
    if (withA) textElement(w, QStringLiteral("RUX:PICHROKA"), kZero);
    if (withB) textElement(w, QStringLiteral("RUX:PICHROKB"), kZero);

    w.writeStartElement(QStringLiteral("VDJ:SUBJEKTIRZ"));
    textElement(w, QStringLiteral("RUX:RCI"), c.applicant.irzRci);
    textElement(w, QStringLiteral("RUX:JME"), c.applicant.irzJme);
    textElement(w, QStringLiteral("RUX:PRI"), c.applicant.irzPri);
    textElement(w, QStringLiteral("RUX:OJM"), c.applicant.irzOjm);
    w.writeEndElement();

    w.writeStartElement(QStringLiteral("VDJ:PICHROWS"));
    for (const ResponseRow& row : c.rows) {
        w.writeStartElement(QStringLiteral("VDJ:PICHROW"));
        w.writeAttribute(QStringLiteral("DATPLATNOST"), row.date.toString(Qt::ISODate));
        if (withA) {
            w.writeAttribute(QStringLiteral("VDJA"), kZero);
            w.writeAttribute(QStringLiteral("PICHA"), kZero);
        }
        if (withB) {
            w.writeAttribute(QStringLiteral("VDJB"), kZero);
            w.writeAttribute(QStringLiteral("PICHB"), kZero);
        }
        textElement(w, QStringLiteral("RUX:ZADATELREGLPIS"), c.applicant.regLpis);
        textElement(w, QStringLiteral("RUX:ZADATELREGIRZ"), c.applicant.regIrz);
        textElement(w, QStringLiteral("RUX:SUMAVYMERADPB"), generalText(row.acreage));
        for (const auto& category : c.set->categories) {
            w.writeStartElement(QStringLiteral("RUX:") + category.name);
            w.writeAttribute(QStringLiteral("VDJ"), kZero);
            w.writeAttribute(QStringLiteral("KOEF"), generalText(coefficient(category.name)));
            w.writeCharacters(QString::number(row.counts.value(category.name)));
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndDocument();
    return out;
}

QByteArray computeFigures(const QByteArray& composed, const editor::CategorySet& set)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        throw Failure(err::PathFileAccess, QStringLiteral("Dočasnou složku pro výpočet nelze vytvořit"));
    CollectedMessages messages;
    NoShell shell;
    SystemClock clock;
    ProgramContext ctx;
    ctx.folder = folder.path();
    ctx.messages = &messages;
    ctx.shell = &shell;
    ctx.clock = &clock;

    auto document = std::make_shared<xml::Document>();
    if (!document->loadXml(composed))
        throw Failure(err::InvalidProcedureCall, QStringLiteral("Sestavená odpověď není platný dokument XML"));

    QByteArray result;
    {
        editor::EditorSession session(ctx, set);
        session.xmlDOM = document;
        session.Startuj();
        if (!messages.texts.isEmpty()) throw Failure(err::InvalidProcedureCall, messages.texts.join(QLatin1Char(' ')));
        session.Pocitej();
        if (!messages.texts.isEmpty()) throw Failure(err::InvalidProcedureCall, messages.texts.join(QLatin1Char(' ')));

        // The editor writes the organic categories back only for the types in which they count;
        // the answer carries the units of every category all the same, from the same working table.
        if (!editor::ecoType(session.header(QStringLiteral("txtVARPICH")))) session.writeEveryCategory();
        result = document->toBytes();
    }
    return result;
}

QByteArray faultDocument(const Fault& fault)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("SOAP:Envelope"));
    w.writeAttribute(QStringLiteral("xmlns:SOAP"), ns::soap);
    w.writeStartElement(QStringLiteral("SOAP:Body"));
    w.writeStartElement(QStringLiteral("SOAP:Fault"));
    w.writeTextElement(QStringLiteral("faultcode"), fault.code);
    w.writeTextElement(QStringLiteral("faultstring"), fault.text);
    w.writeEndDocument();
    return out;
}

}  // namespace zorva::service
