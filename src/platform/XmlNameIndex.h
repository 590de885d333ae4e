#pragma once
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <libxml/tree.h>

#include "platform/XmlDocument.h"

namespace zorva::xml::detail {

// Elements by their qualified name as written, in document order. Built on the first document-wide
// selection and kept until the element structure changes, so that the write-back's one query per
// row ("//VDJ:PICHROW[@DATPLATNOST='...']") does not walk the whole document every time.
class NameIndex {
public:
    explicit NameIndex(xmlDoc* doc);

    // The elements of that name.
    const std::vector<xmlNode*>& named(const Name& element) const;
    // The elements of that name whose attribute has that value; the values of an (element,
    // attribute) pair are indexed on the first query for the pair.
    const std::vector<xmlNode*>& withAttribute(const Name& element, const Name& attribute, const std::string& value);
    // Forgets the values indexed for attributes of this name.
    void forgetAttribute(const std::string& attributeName);

private:
    std::unordered_map<std::string, std::vector<xmlNode*>> byName_;
    // (element name, attribute name) -> attribute value -> elements, in document order.
    std::map<std::pair<std::string, std::string>, std::unordered_map<std::string, std::vector<xmlNode*>>> byAttribute_;
};

struct DocState;
// The index of the document, built when missing.
NameIndex& indexOf(xmlDoc* doc, DocState& state);

}  // namespace zorva::xml::detail
