#include "platform/XmlRemoval.h"

#include <libxml/tree.h>

#include "common/Failure.h"
#include "platform/XmlTree.h"

namespace zorva::xml {

void removeElement(Node& element)
{
    xmlNode* n = detail::TreeAccess::node(element);
    if (!n || n->type != XML_ELEMENT_NODE || !n->parent || n->parent->type != XML_ELEMENT_NODE)
        throw Failure(err::XmlWrite, QStringLiteral("Prvek nelze odebrat."));
    // The selections' index of the document must not keep the element or anything inside it.
    detail::structureChanged(n->doc);
    xmlUnlinkNode(n);
    xmlFreeNode(n);
    element = Node();
}

}  // namespace zorva::xml
