#include "request/ServiceFault.h"

#include "platform/XmlDocument.h"

namespace zorva::request {

namespace {

// The first element whose name, without its prefix, is `local`, at any depth.
xml::Node findLocal(const xml::Node& node, QLatin1String local)
{
    for (const xml::Node& child : node.childElements()) {
        const QString name = child.name();
        if (name == local || name.endsWith(QLatin1Char(':') + local)) return child;
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

}  // namespace zorva::request
