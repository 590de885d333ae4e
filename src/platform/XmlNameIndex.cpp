#include "platform/XmlNameIndex.h"

#include <functional>
#include <memory>

#include "platform/XmlTree.h"

namespace zorva::xml::detail {

namespace {
const std::vector<xmlNode*> none;
}

NameIndex::NameIndex(xmlDoc* doc)
{
    // Names are shared by the elements of a parsed document (libxml2 keeps one copy of each), so
    // the written name is made once per pair of prefix and name rather than once per element.
    struct PairHash {
        std::size_t operator()(const std::pair<const xmlChar*, const xmlChar*>& p) const
        {
            return std::hash<const void*>{}(p.first) * 31 + std::hash<const void*>{}(p.second);
        }
    };
    std::unordered_map<std::pair<const xmlChar*, const xmlChar*>, std::vector<xmlNode*>*, PairHash> seen;
    forEachElement(reinterpret_cast<xmlNode*>(doc), std::size_t(-1), [&](xmlNode* n) {
        std::vector<xmlNode*>*& list = seen[{prefixOf(n), n->name}];
        if (!list) list = &byName_[writtenName(prefixOf(n), n->name)];
        list->push_back(n);
        return true;
    });
}

const std::vector<xmlNode*>& NameIndex::named(const Name& element) const
{
    auto found = byName_.find(element.full);
    return found == byName_.end() ? none : found->second;
}

const std::vector<xmlNode*>& NameIndex::withAttribute(const Name& element, const Name& attribute,
                                                      const std::string& value)
{
    auto named = byName_.find(element.full);
    if (named == byName_.end()) return none;
    auto key = std::make_pair(element.full, attribute.full);
    auto byValue = byAttribute_.find(key);
    if (byValue == byAttribute_.end()) {
        std::unordered_map<std::string, std::vector<xmlNode*>> values;
        for (xmlNode* n : named->second) {
            if (const xmlAttr* a = findAttribute(n, attribute)) values[attributeValue(a)].push_back(n);
        }
        byValue = byAttribute_.emplace(std::move(key), std::move(values)).first;
    }
    auto hit = byValue->second.find(value);
    return hit == byValue->second.end() ? none : hit->second;
}

void NameIndex::forgetAttribute(const std::string& attributeName)
{
    for (auto it = byAttribute_.begin(); it != byAttribute_.end();) {
        if (it->first.second == attributeName) it = byAttribute_.erase(it);
        else ++it;
    }
}

NameIndex& indexOf(xmlDoc* doc, DocState& state)
{
    if (!state.index) state.index = std::make_unique<NameIndex>(doc);
    return *state.index;
}

}  // namespace zorva::xml::detail
