#include "request/ServiceFault.h"

#include "platform/XmlDocument.h"

namespace zorva::request {

namespace {

// The first element whose name, without its prefix, is `local`, at any depth.
bool named(const xml::Node& node, QLatin1String local)
{
    const QString name = node.name();
    return name == local || name.endsWith(QLatin1Char(':') + local);
}

xml::Node findLocal(const xml::Node& node, QLatin1String local)
{
    for (const xml::Node& child : node.childElements()) {
        if (named(child, local)) return child;
        if (xml::Node found = findLocal(child, local)) return found;
    }
    return {};
}

}  // namespace

std::optional<QString> serviceFault(const xml::Document& answer)
{
    const xml::Node fault = findLocal(answer.root(), QLatin1String("Fault"));
    if (!fault) return std::nullopt;
    const xml::Node text = findLocal(fault, QLatin1String("faultstring"));
    const QString s = text ? text.text().simplified() : QString();
    return s.isEmpty() ? kFaultWithoutText : s;
}

bool isServiceAnswer(const xml::Document& reply)
{
    return !reply.isEmpty() && named(reply.root(), QLatin1String("Envelope"));
}

bool holdsServiceData(const xml::Document& answer)
{
    return isServiceAnswer(answer) && !serviceFault(answer) && answer.selectSingle(QStringLiteral("//VDJ:PICHROW"));
}

}  // namespace zorva::request
