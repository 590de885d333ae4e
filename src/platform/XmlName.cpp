#include "platform/XmlDocument.h"
#include "platform/XmlTree.h"

namespace zorva::xml {

using namespace detail;

Name Name::from(const std::string& text)
{
    Name q;
    q.full = text;
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        q.local = text;
    } else {
        q.prefix = text.substr(0, colon);
        q.local = text.substr(colon + 1);
    }
    return q;
}

bool Name::matches(const unsigned char* nodePrefix, const unsigned char* nodeLocal) const
{
    if (!nodeLocal) return false;
    if (nodePrefix && *nodePrefix) {
        return !prefix.empty() && prefix == chars(nodePrefix) && local == chars(nodeLocal);
    }
    return full == chars(nodeLocal);
}

}  // namespace zorva::xml
