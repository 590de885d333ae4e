#include <QHash>
#include "platform/XmlDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>

#include <libxml/encoding.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include "platform/Failure.h"
#include "platform/XmlParser.h"

namespace zorva::xml {

namespace {

const char* chars(const xmlChar* s) { return reinterpret_cast<const char*>(s); }
const xmlChar* xc(const char* s) { return reinterpret_cast<const xmlChar*>(s); }
// Texts of the tree as they are. QString::fromUtf8 drops a byte order mark at the start of what it
// converts, which would silently take a leading U+FEFF off a text or a name.
QString fromUtf8Exactly(const char* s, qsizetype length)
{
    if (length >= 3 && static_cast<unsigned char>(s[0]) == 0xEF && static_cast<unsigned char>(s[1]) == 0xBB &&
        static_cast<unsigned char>(s[2]) == 0xBF)
        return QChar(0xFEFF) + fromUtf8Exactly(s + 3, length - 3);
    return QString::fromUtf8(s, length);
}
QString fromUtf8Exactly(const std::string& s) { return fromUtf8Exactly(s.data(), qsizetype(s.size())); }
QString fromXml(const xmlChar* s) { return s ? fromUtf8Exactly(chars(s), qsizetype(std::strlen(chars(s)))) : QString(); }

// ---------------------------------------------------------------------------------------------
// State kept beside a libxml2 tree (in xmlDoc::_private, which libxml2 leaves to applications)

// Elements by their qualified name as written, in document order. Built on the first document-wide
// selection and kept until the element structure changes, so that the write-back's one query per
// row ("//VDJ:PICHROW[@DATPLATNOST='...']") does not walk the whole document every time.
struct NameIndex {
    std::unordered_map<std::string, std::vector<xmlNode*>> byName;
    // (element name, attribute name) -> attribute value -> elements, in document order.
    std::map<std::pair<std::string, std::string>, std::unordered_map<std::string, std::vector<xmlNode*>>>
        byAttribute;
};

struct DocState {
    // Not empty when the document begins with the "xml" processing instruction: the encoding that
    // the declaration names. libxml2 keeps the declaration outside the tree, so it is kept here.
    std::string declarationEncoding;
    std::vector<std::pair<QString, QString>> selectionNamespaces;
    std::unique_ptr<NameIndex> index;
};

DocState* stateOf(const xmlDoc* doc) { return doc ? static_cast<DocState*>(doc->_private) : nullptr; }

void attachState(xmlDoc* doc) { doc->_private = new DocState; }

void freeDocument(xmlDoc* doc)
{
    if (!doc) return;
    delete stateOf(doc);
    doc->_private = nullptr;
    xmlFreeDoc(doc);
}

xmlDoc* newEmptyDocument()
{
    detail::initialiseLibraries();
    xmlDoc* doc = xmlNewDoc(xc("1.0"));
    if (!doc) throw std::bad_alloc();
    attachState(doc);
    return doc;
}

// The element structure of the document changed: elements were added or removed.
void structureChanged(const xmlDoc* doc)
{
    if (DocState* s = stateOf(doc)) s->index.reset();
}

void attributeChanged(const xmlDoc* doc, const std::string& attributeName)
{
    DocState* s = stateOf(doc);
    if (!s || !s->index) return;
    auto& byAttribute = s->index->byAttribute;
    for (auto it = byAttribute.begin(); it != byAttribute.end();) {
        if (it->first.second == attributeName) it = byAttribute.erase(it);
        else ++it;
    }
}

// ---------------------------------------------------------------------------------------------
// Names as written

// The prefix as written in the document: the prefix of the namespace the node is bound to.
const xmlChar* prefixOf(const xmlNode* n) { return n->ns ? n->ns->prefix : nullptr; }

std::string writtenName(const xmlChar* prefix, const xmlChar* local)
{
    std::string out;
    if (prefix && *prefix) {
        out = chars(prefix);
        out += ':';
    }
    if (local) out += chars(local);
    return out;
}


// Text content without expanding entity references (their content is never trusted) and without
// comments or processing instructions.
void appendText(const xmlNode* n, std::string& out)
{
    for (const xmlNode* c = n->children; c; c = c->next) {
        switch (c->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (c->content) out += chars(c->content);
            break;
        case XML_ELEMENT_NODE:
            appendText(c, out);
            break;
        default:
            break;
        }
    }
}

QString textOf(const xmlNode* n)
{
    switch (n->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        return fromXml(n->content);
    default: {
        // The usual element: one text child, read in place.
        const xmlNode* only = n->children;
        if (only && !only->next && only->type == XML_TEXT_NODE) return fromXml(only->content);
        std::string out;
        appendText(n, out);
        return fromUtf8Exactly(out);
    }
    }
}

const xmlAttr* findAttribute(const xmlNode* n, const Name& name)
{
    if (!n || n->type != XML_ELEMENT_NODE) return nullptr;
    for (const xmlAttr* a = n->properties; a; a = a->next) {
        if (name.matches(a->ns ? a->ns->prefix : nullptr, a->name)) return a;
    }
    return nullptr;
}

std::string attributeValue(const xmlAttr* a)
{
    std::string out;
    for (const xmlNode* c = a->children; c; c = c->next) {
        if (c->type == XML_TEXT_NODE && c->content) out += chars(c->content);
    }
    return out;
}

[[noreturn]] void objectRequired()
{
    throw Failure(err::ObjectRequired, QStringLiteral("Je vyžadován objekt: uzel dokumentu neexistuje."));
}

xmlNode* need(xmlNode* n)
{
    if (!n) objectRequired();
    return n;
}

// ---------------------------------------------------------------------------------------------
// Selection patterns

struct Step {
    Name name;
    bool hasPredicate = false;
    Name attribute;
    std::string value;
};

struct Pattern {
    enum class Anchor { Descendants, Root, Context } anchor = Anchor::Context;
    std::vector<Step> steps;
};

[[noreturn]] void badPattern(const QString& pattern, const QString& why)
{
    throw Failure(err::XmlSelection,
                  QStringLiteral("Výraz pro výběr uzlů nelze vyhodnotit (%1): %2").arg(why, pattern));
}

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('-') || c == QLatin1Char('.') ||
           c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_SpacingCombining;
}

class PatternParser {
public:
    explicit PatternParser(const QString& text) : text_(text) {}

    Pattern parse()
    {
        Pattern p;
        if (text_.startsWith(QLatin1String("//"))) {
            p.anchor = Pattern::Anchor::Descendants;
            pos_ = 2;
        } else if (text_.startsWith(QLatin1Char('/'))) {
            p.anchor = Pattern::Anchor::Root;
            pos_ = 1;
        }
        for (;;) {
            p.steps.push_back(step());
            if (atEnd()) break;
            if (peek() != QLatin1Char('/')) fail(QStringLiteral("neočekávaný znak na pozici %1").arg(pos_ + 1));
            ++pos_;
            if (!atEnd() && peek() == QLatin1Char('/'))
                fail(QStringLiteral("prázdný krok na pozici %1").arg(pos_ + 1));
        }
        return p;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    QChar peek() const { return text_.at(pos_); }
    [[noreturn]] void fail(const QString& why) const { badPattern(text_, why); }

    void skipBlanks()
    {
        while (!atEnd() && peek().isSpace()) ++pos_;
    }

    // NCName (":" NCName)?
    Name qualifiedName(const QString& what)
    {
        const qsizetype start = pos_;
        auto ncName = [&] {
            if (atEnd() || !isNameStart(peek()))
                fail(QStringLiteral("%1 chybí nebo je neplatné na pozici %2").arg(what).arg(pos_ + 1));
            while (!atEnd() && isNameChar(peek())) ++pos_;
        };
        ncName();
        if (!atEnd() && peek() == QLatin1Char(':')) {
            ++pos_;
            ncName();
        }
        return Name::from(text_.mid(start, pos_ - start).toStdString());
    }

    Step step()
    {
        if (atEnd()) fail(QStringLiteral("prázdný krok na konci"));
        Step s;
        s.name = qualifiedName(QStringLiteral("jméno prvku"));
        if (!atEnd() && peek() == QLatin1Char('[')) {
            ++pos_;
            skipBlanks();
            if (atEnd() || peek() != QLatin1Char('@')) fail(QStringLiteral("podmínka musí začínat znakem @"));
            ++pos_;
            s.attribute = qualifiedName(QStringLiteral("jméno atributu"));
            skipBlanks();
            if (atEnd() || peek() != QLatin1Char('=')) fail(QStringLiteral("v podmínce chybí ="));
            ++pos_;
            skipBlanks();
            if (atEnd() || (peek() != QLatin1Char('\'') && peek() != QLatin1Char('"')))
                fail(QStringLiteral("hodnota podmínky musí být v uvozovkách"));
            const QChar quote = peek();
            const qsizetype valueStart = ++pos_;
            while (!atEnd() && peek() != quote) ++pos_;
            if (atEnd()) fail(QStringLiteral("neuzavřené uvozovky"));
            s.value = text_.mid(valueStart, pos_ - valueStart).toStdString();
            ++pos_;
            skipBlanks();
            if (atEnd() || peek() != QLatin1Char(']'))
                fail(QStringLiteral("za hodnotou podmínky chybí ] (pozice %1)").arg(pos_ + 1));
            ++pos_;
            s.hasPredicate = true;
        }
        return s;
    }

    const QString& text_;
    qsizetype pos_ = 0;
};

bool stepMatches(const xmlNode* n, const Step& s)
{
    if (n->type != XML_ELEMENT_NODE || !s.name.matches(prefixOf(n), n->name)) return false;
    if (!s.hasPredicate) return true;
    const xmlAttr* a = findAttribute(n, s.attribute);
    return a && attributeValue(a) == s.value;
}

// Whether the node is reached by the steps before the last one, walking up from it; `top` is where
// the first step's parent must be (nullptr: anywhere in the document).
bool ancestorsMatch(const xmlNode* n, const Pattern& p, const xmlNode* top)
{
    for (std::size_t i = p.steps.size() - 1; i > 0; --i) {
        n = n->parent;
        if (!n || !stepMatches(n, p.steps[i - 1])) return false;
    }
    return !top || n->parent == top;
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

NameIndex& indexOf(xmlDoc* doc, DocState& state)
{
    if (!state.index) {
        auto index = std::make_unique<NameIndex>();
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
            if (!list) list = &index->byName[writtenName(prefixOf(n), n->name)];
            list->push_back(n);
            return true;
        });
        state.index = std::move(index);
    }
    return *state.index;
}

const std::vector<xmlNode*>& candidatesFor(xmlDoc* doc, DocState& state, const Step& last)
{
    NameIndex& index = indexOf(doc, state);
    static const std::vector<xmlNode*> none;
    auto named = index.byName.find(last.name.full);
    if (named == index.byName.end()) return none;
    if (!last.hasPredicate) return named->second;

    auto key = std::make_pair(last.name.full, last.attribute.full);
    auto byValue = index.byAttribute.find(key);
    if (byValue == index.byAttribute.end()) {
        std::unordered_map<std::string, std::vector<xmlNode*>> values;
        for (xmlNode* n : named->second) {
            if (const xmlAttr* a = findAttribute(n, last.attribute)) values[attributeValue(a)].push_back(n);
        }
        byValue = index.byAttribute.emplace(std::move(key), std::move(values)).first;
    }
    auto hit = byValue->second.find(last.value);
    return hit == byValue->second.end() ? none : hit->second;
}

// Evaluates the pattern from a context (the document node or an element), in document order. With
// `firstOnly` it stops at the first match.
// The editor asks the same few patterns thousands of times per run; each is parsed once.
const Pattern& parsedPattern(const QString& text)
{
    thread_local QHash<QString, Pattern> cache;
    const auto found = cache.constFind(text);
    if (found != cache.constEnd()) return *found;
    Pattern parsed = PatternParser(text).parse();
    if (cache.size() >= 1024) cache.clear();   // keyed row queries are many and used once each
    return *cache.insert(text, std::move(parsed));
}

std::vector<Node> evaluate(xmlNode* context, const QString& text, bool firstOnly)
{
    const Pattern& p = parsedPattern(text);
    std::vector<Node> out;
    xmlDoc* doc = context->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDoc*>(context) : context->doc;
    const Step& last = p.steps.back();

    if (p.anchor == Pattern::Anchor::Descendants) {
        // "//" selects from the whole document, whatever the context, as XPath has it.
        if (!doc) return out;
        if (DocState* state = stateOf(doc)) {
            for (xmlNode* n : candidatesFor(doc, *state, last)) {
                if (stepMatches(n, last) && ancestorsMatch(n, p, nullptr)) {
                    out.emplace_back(n);
                    if (firstOnly) break;
                }
            }
            return out;
        }
        forEachElement(reinterpret_cast<xmlNode*>(doc), std::size_t(-1), [&](xmlNode* n) {
            if (stepMatches(n, last) && ancestorsMatch(n, p, nullptr)) {
                out.emplace_back(n);
                if (firstOnly) return false;
            }
            return true;
        });
        return out;
    }

    xmlNode* top = p.anchor == Pattern::Anchor::Root ? reinterpret_cast<xmlNode*>(doc) : context;
    if (!top) return out;
    // Child steps only: the matches lie exactly as deep below the context as there are steps.
    const std::size_t depth = p.steps.size();
    forEachElement(top, depth, [&](xmlNode* n) {
        if (stepMatches(n, last) && ancestorsMatch(n, p, top)) {
            out.emplace_back(n);
            if (firstOnly) return false;
        }
        return true;
    });
    return out;
}

// ---------------------------------------------------------------------------------------------
// Building

// Binds a qualified name to a namespace declared in scope of `scope`; without one the name stays
// whole, as written (a later declareNamespace binds it).
xmlNs* namespaceFor(xmlDoc* doc, xmlNode* scope, const Name& name)
{
    if (name.prefix.empty()) return scope ? xmlSearchNs(doc, scope, nullptr) : nullptr;
    return scope ? xmlSearchNs(doc, scope, xc(name.prefix.c_str())) : nullptr;
}

xmlNode* newElement(xmlDoc* doc, xmlNode* scope, const QString& qualifiedName)
{
    const Name name = Name::from(qualifiedName.toStdString());
    if (name.local.empty() || qualifiedName.contains(QLatin1Char(' ')))
        throw Failure(err::XmlWrite, QStringLiteral("Neplatné jméno prvku: %1").arg(qualifiedName));
    xmlNs* ns = namespaceFor(doc, scope, name);
    xmlNode* n = xmlNewDocNode(doc, ns, xc(ns ? name.local.c_str() : name.full.c_str()), nullptr);
    if (!n) throw std::bad_alloc();
    return n;
}

// Elements created before their prefix was declared carry the whole name; bind the ones in the
// declaring element's subtree now.
void bindPending(xmlNode* element, xmlNs* ns)
{
    if (element->type != XML_ELEMENT_NODE) return;
    if (!element->ns) {
        const char* name = chars(element->name);
        if (ns->prefix) {
            const std::string prefix = std::string(chars(ns->prefix)) + ':';
            if (std::strncmp(name, prefix.c_str(), prefix.size()) == 0 && name[prefix.size()] != '\0' &&
                !std::strchr(name + prefix.size(), ':')) {
                const std::string local(name + prefix.size());
                xmlNodeSetName(element, xc(local.c_str()));
                xmlSetNs(element, ns);
            }
        } else if (!std::strchr(name, ':')) {
            xmlSetNs(element, ns);
        }
    }
    for (xmlNode* c = element->children; c; c = c->next) bindPending(c, ns);
}

void removeChildren(xmlNode* n)
{
    xmlNode* c = n->children;
    while (c) {
        xmlNode* next = c->next;
        xmlUnlinkNode(c);
        xmlFreeNode(c);
        c = next;
    }
}

bool hasElementChild(const xmlNode* n)
{
    for (const xmlNode* c = n->children; c; c = c->next) {
        if (c->type == XML_ELEMENT_NODE) return true;
    }
    return false;
}

// Reads the pseudo-attribute `name` of an "xml" declaration's data ("version='1.0' encoding='UTF-8'").
std::string pseudoAttribute(const QString& data, const QString& name)
{
    const qsizetype at = data.indexOf(name + QLatin1Char('='));
    if (at < 0) return {};
    qsizetype pos = at + name.size() + 1;
    if (pos >= data.size()) return {};
    const QChar quote = data.at(pos);
    if (quote != QLatin1Char('\'') && quote != QLatin1Char('"')) return {};
    const qsizetype end = data.indexOf(quote, pos + 1);
    if (end < 0) return {};
    return data.mid(pos + 1, end - pos - 1).trimmed().toStdString();
}

// ---------------------------------------------------------------------------------------------
// Serialising

// Writes the document through `write` (UTF-8 bytes, or the encoding its declaration names) as
// libxml2 produces it, without holding the whole text in memory. Returns false when `write` failed;
// raises a Failure when the document cannot be written as text.
template <typename Write>
bool serialise(xmlDoc* doc, Write&& write)
{
    const DocState* state = stateOf(doc);
    std::string encoding = "UTF-8";
    if (state && !state->declarationEncoding.empty()) {
        // Honour the encoding that the declaration names when libxml2 can write it.
        if (xmlCharEncodingHandlerPtr h = xmlFindCharEncodingHandler(state->declarationEncoding.c_str())) {
            xmlCharEncCloseFunc(h);
            encoding = state->declarationEncoding;
        }
    }
    struct Sink {
        Write& write;
        bool failed = false;
        static int put(void* context, const char* bytes, int length)
        {
            auto* sink = static_cast<Sink*>(context);
            if (sink->failed || !sink->write(bytes, length)) {
                sink->failed = true;
                return -1;
            }
            return length;
        }
    } sink{write};
    detail::QuietErrors quiet;
    xmlSaveCtxtPtr ctxt = xmlSaveToIO(&Sink::put, nullptr, &sink, encoding.c_str(), XML_SAVE_AS_XML);
    if (!ctxt) throw Failure(err::PathFileAccess, QStringLiteral("Dokument nelze převést na text."));
    const long written = xmlSaveDoc(ctxt, doc);
    const int closed = xmlSaveClose(ctxt);
    if (sink.failed) return false;
    if (written < 0 || closed < 0) throw Failure(err::PathFileAccess, QStringLiteral("Dokument nelze převést na text."));
    return true;
}

}  // namespace

// =============================================================================================
// Name

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

// =============================================================================================
// ChildLookup

ChildLookup::ChildLookup(const QStringList& qualifiedNames)
{
    for (const QString& text : qualifiedNames) {
        const int i = int(names_.size());
        names_.push_back(Name::from(text));
        const Name& name = names_.back();
        if (!name.prefix.empty()) prefixedByLocal_[name.local].push_back(i);
        std::vector<int>& same = byFullName_[name.full];
        if (!same.empty()) remember_ = false;
        same.push_back(i);
    }
}

int ChildLookup::matchOf(const xmlNode* c) const
{
    const xmlChar* prefix = prefixOf(c);
    const bool prefixed = prefix && *prefix;
    const Index& index = prefixed ? prefixedByLocal_ : byFullName_;
    const auto it = index.find(std::string_view(chars(c->name)));
    if (it == index.end()) return -1;
    for (int i : it->second)
        if (names_[std::size_t(i)].matches(prefix, c->name)) return i;
    return -1;
}

void ChildLookup::find(const Node& parent, std::vector<Node>& found) const
{
    found.assign(names_.size(), Node());
    std::size_t missing = names_.size();
    std::size_t position = 0;
    for (xmlNode* c = need(parent.raw())->children; c && missing > 0; c = c->next) {
        if (c->type != XML_ELEMENT_NODE || !c->name) continue;
        if (!remember_) {
            // A name listed twice: every listing of it gets the element.
            const xmlChar* prefix = prefixOf(c);
            const Index& index = prefix && *prefix ? prefixedByLocal_ : byFullName_;
            const auto it = index.find(std::string_view(chars(c->name)));
            if (it == index.end()) continue;
            for (int i : it->second) {
                if (found[std::size_t(i)] || !names_[std::size_t(i)].matches(prefix, c->name)) continue;
                found[std::size_t(i)] = Node(c);
                --missing;
            }
            continue;
        }
        const char* prefix = c->ns && c->ns->prefix ? chars(c->ns->prefix) : "";
        if (position == seen_.size()) seen_.emplace_back();
        Seen& seen = seen_[position++];
        if (seen.local != chars(c->name) || seen.prefix != prefix) {
            seen.local = chars(c->name);
            seen.prefix = prefix;
            seen.match = matchOf(c);
        }
        if (seen.match >= 0 && !found[std::size_t(seen.match)]) {
            found[std::size_t(seen.match)] = Node(c);
            --missing;
        }
    }
}

// =============================================================================================
// Node

QString Node::name() const
{
    const xmlNode* n = need(node_);
    switch (n->type) {
    case XML_ELEMENT_NODE:
        return fromUtf8Exactly(writtenName(prefixOf(n), n->name));
    case XML_PI_NODE:
        return fromXml(n->name);
    case XML_TEXT_NODE:
        return QStringLiteral("#text");
    case XML_CDATA_SECTION_NODE:
        return QStringLiteral("#cdata-section");
    case XML_COMMENT_NODE:
        return QStringLiteral("#comment");
    default:
        return fromXml(n->name);
    }
}

QString Node::text() const { return textOf(need(node_)); }

void Node::setText(const QString& text)
{
    setText(QByteArrayView(text.toUtf8()));
}

void Node::setText(QByteArrayView utf8)
{
    xmlNode* n = need(node_);
    if (n->type != XML_ELEMENT_NODE) {
        // Text, comment, processing instruction: the content is set as it is, never parsed.
        xmlNodeSetContent(n, nullptr);
        xmlNodeAddContentLen(n, xc(utf8.constData()), int(utf8.size()));
        return;
    }
    xmlNode* only = n->children;
    if (only && !only->next && only->type == XML_TEXT_NODE && !utf8.isEmpty()) {
        // The usual element holds one text node: it takes the new text in place.
        xmlNodeSetContentLen(only, xc(utf8.data()), int(utf8.size()));
        return;
    }
    if (hasElementChild(n)) structureChanged(n->doc);
    removeChildren(n);
    if (utf8.isEmpty()) return;
    // xmlNewDocTextLen takes the text literally: "&" and "<" are escaped when written.
    xmlNode* t = xmlNewDocTextLen(n->doc, xc(utf8.constData()), int(utf8.size()));
    if (!t) throw std::bad_alloc();
    xmlAddChild(n, t);
}

bool Node::hasAttribute(const QString& name) const
{
    return findAttribute(need(node_), Name::from(name.toStdString())) != nullptr;
}

std::optional<QString> Node::attribute(const QString& name) const
{
    return attribute(Name::from(name.toStdString()));
}

std::optional<QString> Node::attribute(const Name& name) const
{
    const xmlAttr* a = findAttribute(need(node_), name);
    if (!a) return std::nullopt;
    const xmlNode* only = a->children;
    if (only && !only->next && only->type == XML_TEXT_NODE) return fromXml(only->content);
    const std::string v = attributeValue(a);
    return fromUtf8Exactly(v);
}

void Node::setExistingAttribute(const QString& name, const QString& value)
{
    setExistingAttribute(Name::from(name.toStdString()), QByteArrayView(value.toUtf8()));
}

void Node::setExistingAttribute(const Name& name, QByteArrayView utf8)
{
    xmlNode* n = need(node_);
    xmlAttr* a = const_cast<xmlAttr*>(findAttribute(n, name));
    if (!a)
        throw Failure(err::XmlWrite, QStringLiteral("Atribut %1 prvku %2 neexistuje.")
                                         .arg(QString::fromStdString(name.full), this->name()));
    xmlNode* only = a->children;
    if (only && !only->next && only->type == XML_TEXT_NODE && !utf8.isEmpty() && a->atype != XML_ATTRIBUTE_ID) {
        // The value's one text node takes the new text in place, literally.
        xmlNodeSetContentLen(only, xc(utf8.data()), int(utf8.size()));
    } else {
        // Replace the value literally (xmlSetNsProp takes the text as it is).
        const std::string value(utf8.data(), std::size_t(utf8.size()));
        xmlSetNsProp(n, a->ns, a->name, xc(value.c_str()));
    }
    attributeChanged(n->doc, name.full);
}

void Node::setAttribute(const QString& name, const QString& value)
{
    xmlNode* n = need(node_);
    if (n->type != XML_ELEMENT_NODE)
        throw Failure(err::XmlWrite, QStringLiteral("Atribut lze nastavit jen prvku."));
    const Name qn = Name::from(name.toStdString());
    const QByteArray utf8 = value.toUtf8();
    if (qn.full == "xmlns" || qn.prefix == "xmlns") {
        // A namespace declaration written as an attribute becomes a real declaration.
        xmlNs* ns = xmlNewNs(n, xc(utf8.constData()), qn.prefix.empty() ? nullptr : xc(qn.local.c_str()));
        if (ns) bindPending(n, ns);
        structureChanged(n->doc);
        return;
    }
    if (xmlAttr* existing = const_cast<xmlAttr*>(findAttribute(n, qn))) {
        xmlSetNsProp(n, existing->ns, existing->name, xc(utf8.constData()));
    } else {
        xmlNs* ns = qn.prefix.empty() ? nullptr : xmlSearchNs(n->doc, n, xc(qn.prefix.c_str()));
        xmlSetNsProp(n, ns, xc(ns ? qn.local.c_str() : qn.full.c_str()), xc(utf8.constData()));
    }
    attributeChanged(n->doc, qn.full);
}

Node Node::selectSingle(const QString& pattern) const
{
    auto found = evaluate(need(node_), pattern, true);
    return found.empty() ? Node() : found.front();
}

std::vector<Node> Node::selectList(const QString& pattern) const
{
    return evaluate(need(node_), pattern, false);
}

std::vector<Node> Node::childElements() const
{
    std::vector<Node> out;
    for (xmlNode* c = need(node_)->children; c; c = c->next) {
        if (c->type == XML_ELEMENT_NODE) out.emplace_back(c);
    }
    return out;
}

Node Node::appendElement(const QString& qualifiedName, const QString& text)
{
    xmlNode* n = need(node_);
    if (n->type != XML_ELEMENT_NODE)
        throw Failure(err::XmlWrite, QStringLiteral("Prvek lze vložit jen do prvku."));
    xmlNode* child = newElement(n->doc, n, qualifiedName);
    xmlAddChild(n, child);
    if (!text.isEmpty()) {
        const QByteArray utf8 = text.toUtf8();
        xmlAddChild(child, xmlNewDocTextLen(n->doc, xc(utf8.constData()), int(utf8.size())));
    }
    structureChanged(n->doc);
    return Node(child);
}

// =============================================================================================
// Document

Document::Document() : doc_(newEmptyDocument()) {}

Document::~Document() { freeDocument(doc_); }

Document::Document(Document&& other) noexcept : doc_(std::exchange(other.doc_, nullptr)) {}

Document& Document::operator=(Document&& other) noexcept
{
    if (this != &other) {
        freeDocument(doc_);
        doc_ = std::exchange(other.doc_, nullptr);
    }
    return *this;
}

bool Document::load(const QString& path)
{
    bool ok = false;
    const QByteArray bytes = detail::readBoundedFile(path, &ok);
    if (!ok) {
        *this = Document();
        return false;
    }
    return loadXml(bytes);
}

bool Document::loadXml(const QByteArray& bytes)
{
    xmlDoc* parsed = detail::parseUntrusted(bytes, detail::ParseKind::Data);
    freeDocument(doc_);
    doc_ = nullptr;
    if (!parsed) {
        doc_ = newEmptyDocument();
        return false;
    }
    attachState(parsed);
    doc_ = parsed;
    return true;
}

Document Document::fromFile(const QString& path)
{
    Document d;
    d.load(path);
    return d;
}

Document Document::fromBytes(const QByteArray& bytes)
{
    Document d;
    d.loadXml(bytes);
    return d;
}

void Document::save(const QString& path) const
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (path.isEmpty() || !folder.isDir())
        throw Failure(err::PathNotFound, QStringLiteral("Cesta nebyla nalezena: %1").arg(QDir::toNativeSeparators(path)));
    if (target.isDir())
        throw Failure(err::PathFileAccess,
                      QStringLiteral("Chyba přístupu k cestě nebo souboru: %1").arg(QDir::toNativeSeparators(path)));

    // QSaveFile writes a temporary file beside the target, flushes it to disk and renames it over
    // the old file, so that a reader never sees a half-written response. The text goes straight
    // into it: a large response is never held twice in memory.
    QSaveFile file(path);
    const auto fail = [&] {
        file.cancelWriting();
        throw Failure(err::PathFileAccess,
                      QStringLiteral("Chyba přístupu k cestě nebo souboru: %1").arg(QDir::toNativeSeparators(path)));
    };
    if (!file.open(QIODevice::WriteOnly)) fail();
    bool written = false;
    try {
        written = serialise(doc_, [&](const char* bytes, int length) { return file.write(bytes, length) == length; });
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (!written || !file.commit()) fail();
}

QByteArray Document::toBytes() const
{
    QByteArray bytes;
    serialise(doc_, [&](const char* data, int length) {
        bytes.append(data, length);
        return true;
    });
    return bytes;
}

bool Document::isEmpty() const { return xmlDocGetRootElement(doc_) == nullptr; }

Node Document::root() const { return Node(xmlDocGetRootElement(doc_)); }

Node Document::selectSingle(const QString& pattern) const
{
    auto found = evaluate(reinterpret_cast<xmlNode*>(doc_), pattern, true);
    return found.empty() ? Node() : found.front();
}

std::vector<Node> Document::selectList(const QString& pattern) const
{
    return evaluate(reinterpret_cast<xmlNode*>(doc_), pattern, false);
}

void Document::setSelectionNamespace(const QString& prefix, const QString& uri)
{
    auto& list = stateOf(doc_)->selectionNamespaces;
    for (auto& entry : list) {
        if (entry.first == prefix) {
            entry.second = uri;
            return;
        }
    }
    list.emplace_back(prefix, uri);
}

Node Document::appendProcessingInstruction(const QString& target, const QString& data)
{
    if (target.compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0) {
        // The XML declaration: libxml2 writes it itself, so it is kept as a property of the
        // document and not as a node (a second "<?xml ...?>" would make the file malformed).
        if (doc_->children)
            throw Failure(err::XmlWrite, QStringLiteral("Deklarace XML smí být jen na začátku dokumentu."));
        std::string encoding = pseudoAttribute(data, QStringLiteral("encoding"));
        stateOf(doc_)->declarationEncoding = encoding.empty() ? std::string("UTF-8") : encoding;
        return Node();
    }
    const QByteArray t = target.toUtf8();
    const QByteArray d = data.toUtf8();
    if (t.isEmpty() || target.contains(QLatin1Char(' ')))
        throw Failure(err::XmlWrite, QStringLiteral("Neplatný cíl instrukce pro zpracování: %1").arg(target));
    xmlNode* pi = xmlNewDocPI(doc_, xc(t.constData()), d.isEmpty() ? nullptr : xc(d.constData()));
    if (!pi) throw std::bad_alloc();
    if (doc_->children) xmlAddNextSibling(doc_->last, pi);
    else xmlAddChild(reinterpret_cast<xmlNode*>(doc_), pi);
    return Node(pi);
}

Node Document::appendNode(const Node& node)
{
    xmlNode* source = node.raw();
    if (!source) objectRequired();
    switch (source->type) {
    case XML_ELEMENT_NODE:
        if (xmlDocGetRootElement(doc_))
            throw Failure(err::XmlWrite, QStringLiteral("Dokument už má kořenový prvek."));
        break;
    case XML_PI_NODE:
    case XML_COMMENT_NODE:
        break;
    default:
        throw Failure(err::XmlWrite, QStringLiteral("Tento druh uzlu nelze vložit na nejvyšší úroveň dokumentu."));
    }
    // A deep copy into this document; namespaces that the node uses but its ancestors declared are
    // declared on the copy, so prefixes stay as written.
    xmlNode* copy = xmlDocCopyNode(source, doc_, 1);
    if (!copy) throw std::bad_alloc();
    if (doc_->children) xmlAddNextSibling(doc_->last, copy);
    else xmlAddChild(reinterpret_cast<xmlNode*>(doc_), copy);
    structureChanged(doc_);
    return Node(copy);
}

Node Document::createRoot(const QString& qualifiedName)
{
    if (xmlDocGetRootElement(doc_))
        throw Failure(err::XmlWrite, QStringLiteral("Dokument už má kořenový prvek."));
    xmlNode* root = newElement(doc_, nullptr, qualifiedName);
    xmlDocSetRootElement(doc_, root);
    structureChanged(doc_);
    return Node(root);
}

void Document::declareNamespace(const QString& prefix, const QString& uri)
{
    xmlNode* root = xmlDocGetRootElement(doc_);
    if (!root) throw Failure(err::XmlWrite, QStringLiteral("Dokument nemá kořenový prvek."));
    const QByteArray p = prefix.toUtf8();
    const QByteArray u = uri.toUtf8();
    xmlNs* ns = xmlNewNs(root, xc(u.constData()), p.isEmpty() ? nullptr : xc(p.constData()));
    if (!ns) throw Failure(err::XmlWrite, QStringLiteral("Jmenný prostor %1 je už deklarován.").arg(prefix));
    bindPending(root, ns);
    structureChanged(doc_);
}

}  // namespace zorva::xml
