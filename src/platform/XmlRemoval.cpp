#include "platform/XmlRemoval.h"

#include <libxml/tree.h>

#include "platform/Failure.h"

namespace zorva::xml {

void removeElement(Node& element)
{
    xmlNode* n = element.raw();
    if (!n || n->type != XML_ELEMENT_NODE || !n->parent || n->parent->type != XML_ELEMENT_NODE)
        throw Failure(err::XmlWrite, QStringLiteral("Prvek nelze odebrat."));
    // The document keeps positions of its elements for its selections; emptying the element through
    // the document's own operations (an element child added, then the content replaced) makes it
    // forget them, so that no selection can reach the element once it is gone.
    element.appendElement(QStringLiteral("x"));
    element.setText(QString());
    xmlUnlinkNode(n);
    xmlFreeNode(n);
    element = Node();
}

}  // namespace zorva::xml
