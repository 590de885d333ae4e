#pragma once
#include <QString>
#include <cstddef>
#include <memory>
#include <string>

#include <libxml/tree.h>

#include "platform/XmlDocument.h"
#include "platform/XmlNameIndex.h"

// Internal to the platform layer: what the document wrapper, the selection patterns and the name
// index share about a libxml2 tree.

namespace zorva::xml::detail {

// The libxml2 tree under the wrappers, for the platform code that hands it to the library.
struct TreeAccess {
    static xmlNode* node(const Node& n) { return n.node_; }
    static xmlDoc* doc(const Document& d) { return d.doc_; }
};

inline const char* chars(const xmlChar* s)
{
    return reinterpret_cast<const char*>(s);
}
inline const xmlChar* xc(const char* s)
{
    return reinterpret_cast<const xmlChar*>(s);
}

// Texts of the tree as they are. QString::fromUtf8 drops a byte order mark at the start of what it
// converts, which would silently take a leading U+FEFF off a text or a name.
QString fromUtf8Exactly(const char* s, qsizetype length);
QString fromUtf8Exactly(const std::string& s);
QString fromXml(const xmlChar* s);

// State kept beside a libxml2 tree (in xmlDoc::_private, which libxml2 leaves to applications).
struct DocState {
    // Not empty when the document begins with the "xml" processing instruction: the encoding that
    // the declaration names. libxml2 keeps the declaration outside the tree, so it is kept here.
    std::string declarationEncoding;
    // Built on the first document-wide selection, dropped when the element structure changes.
    std::unique_ptr<NameIndex> index;
};

inline DocState* stateOf(const xmlDoc* doc)
{
    return doc ? static_cast<DocState*>(doc->_private) : nullptr;
}

// The element structure of the document changed: elements were added or removed.
void structureChanged(const xmlDoc* doc);
// The values of the attributes with this name changed.
void attributeChanged(const xmlDoc* doc, const std::string& attributeName);

// The prefix as written in the document: the prefix of the namespace the node is bound to.
inline const xmlChar* prefixOf(const xmlNode* n)
{
    return n->ns ? n->ns->prefix : nullptr;
}

// "P:Name", or "Name" without a prefix.
std::string writtenName(const xmlChar* prefix, const xmlChar* local);

// The attribute of an element matched by its name as written; nullptr when absent.
const xmlAttr* findAttribute(const xmlNode* n, const Name& name);
std::string attributeValue(const xmlAttr* a);

// Raises the Failure for an operation on a missing node.
[[noreturn]] void objectRequired();
inline xmlNode* need(xmlNode* n)
{
    if (!n) objectRequired();
    return n;
}

// Pre-order walk over the elements below `from` (entity references are not entered: their content
// is shared and never trusted). The visitor returns false to stop.
template <typename Visit>
void forEachElement(xmlNode* from, std::size_t maxDepth, Visit&& visit)
{
    xmlNode* n = from->children;
    std::size_t depth = 1;
    while (n) {
        if (n->type == XML_ELEMENT_NODE) {
            if (!visit(n)) return;
            if (n->children && depth < maxDepth) {
                n = n->children;
                ++depth;
                continue;
            }
        }
        while (!n->next) {
            n = n->parent;
            --depth;
            if (!n || n == from || depth == 0) return;
        }
        n = n->next;
    }
}

}  // namespace zorva::xml::detail
