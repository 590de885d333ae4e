#include "platform/XmlDocument.h"

#include <QDir>
#include <QFileInfo>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include <libxml/encoding.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include "common/Failure.h"
#include "common/FileWriting.h"
#include "platform/XmlParser.h"
#include "platform/XmlPattern.h"
#include "platform/XmlTree.h"

namespace zorva::xml {

// =============================================================================================
// What the selections and the index share about the tree

namespace detail {

QString fromUtf8Exactly(const char* s, qsizetype length)
{
    if (length >= 3 && static_cast<unsigned char>(s[0]) == 0xEF && static_cast<unsigned char>(s[1]) == 0xBB &&
        static_cast<unsigned char>(s[2]) == 0xBF)
        return QChar(0xFEFF) + fromUtf8Exactly(s + 3, length - 3);
    return QString::fromUtf8(s, length);
}

QString fromUtf8Exactly(const std::string& s)
{
    return fromUtf8Exactly(s.data(), qsizetype(s.size()));
}

QString fromXml(const xmlChar* s)
{
    return s ? fromUtf8Exactly(chars(s), qsizetype(std::strlen(chars(s)))) : QString();
}

void structureChanged(const xmlDoc* doc)
{
    if (DocState* s = stateOf(doc)) s->index.reset();
}

void attributeChanged(const xmlDoc* doc, const std::string& attributeName)
{
    DocState* s = stateOf(doc);
    if (s && s->index) s->index->forgetAttribute(attributeName);
}

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

void objectRequired()
{
    throw Failure(err::ObjectRequired, QStringLiteral("Je vyžadován objekt: uzel dokumentu neexistuje."));
}

}  // namespace detail

using namespace detail;

namespace {

void attachState(xmlDoc* doc)
{
    doc->_private = new DocState;
}

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

// ---------------------------------------------------------------------------------------------
// Building

// Binds a qualified name to a namespace declared in scope of `scope`; without one the name stays
// whole, as written (a declaration written later as an xmlns attribute binds it).
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
    if (written < 0 || closed < 0)
        throw Failure(err::PathFileAccess, QStringLiteral("Dokument nelze převést na text."));
    return true;
}

}  // namespace

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
    for (xmlNode* c = need(TreeAccess::node(parent))->children; c && missing > 0; c = c->next) {
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

QString Node::text() const
{
    return textOf(need(node_));
}

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
        throw Failure(
            err::XmlWrite,
            QStringLiteral("Atribut %1 prvku %2 neexistuje.").arg(QString::fromStdString(name.full), this->name()));
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
    if (n->type != XML_ELEMENT_NODE) throw Failure(err::XmlWrite, QStringLiteral("Atribut lze nastavit jen prvku."));
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
    if (n->type != XML_ELEMENT_NODE) throw Failure(err::XmlWrite, QStringLiteral("Prvek lze vložit jen do prvku."));
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

Document::Document() : doc_(newEmptyDocument())
{
}

Document::~Document()
{
    freeDocument(doc_);
}

Document::Document(Document&& other) noexcept
    : doc_(std::exchange(other.doc_, nullptr)), loadFailure_(std::exchange(other.loadFailure_, LoadFailure::None))
{
}

Document& Document::operator=(Document&& other) noexcept
{
    if (this != &other) {
        freeDocument(doc_);
        doc_ = std::exchange(other.doc_, nullptr);
        loadFailure_ = std::exchange(other.loadFailure_, LoadFailure::None);
    }
    return *this;
}

bool Document::load(const QString& path)
{
    LoadFailure failure = LoadFailure::None;
    const QByteArray bytes = detail::readBoundedFile(path, &failure);
    if (failure != LoadFailure::None) {
        *this = Document();
        loadFailure_ = failure;
        return false;
    }
    return loadXml(bytes);
}

bool Document::loadXml(const QByteArray& bytes)
{
    xmlDoc* parsed = detail::parseUntrusted(bytes, detail::ParseKind::Data, QString(), &loadFailure_);
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
        throw Failure(err::PathNotFound,
                      QStringLiteral("Cesta nebyla nalezena: %1").arg(QDir::toNativeSeparators(path)));
    if (target.isDir())
        throw Failure(err::PathFileAccess,
                      QStringLiteral("Chyba přístupu k cestě nebo souboru: %1").arg(QDir::toNativeSeparators(path)));

    // The text goes straight into the file that replaces the old one whole once it is complete, so
    // that a reader never sees a half-written response and a large one is never held twice in memory.
    AtomicFile file(path);
    // A failure cannot pass through the library's C code: it is kept and raised once it has returned.
    std::optional<Failure> writeFailed;
    serialise(doc_, [&](const char* bytes, int length) {
        try {
            file.write(QByteArrayView(bytes, length));
            return true;
        } catch (const Failure& f) {
            writeFailed = f;
            return false;
        }
    });
    if (writeFailed) throw *writeFailed;
    file.commit();
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

bool Document::isEmpty() const
{
    return xmlDocGetRootElement(doc_) == nullptr;
}

Node Document::root() const
{
    return Node(xmlDocGetRootElement(doc_));
}

Node Document::selectSingle(const QString& pattern) const
{
    auto found = evaluate(reinterpret_cast<xmlNode*>(doc_), pattern, true);
    return found.empty() ? Node() : found.front();
}

std::vector<Node> Document::selectList(const QString& pattern) const
{
    return evaluate(reinterpret_cast<xmlNode*>(doc_), pattern, false);
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
    xmlNode* source = TreeAccess::node(node);
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

}  // namespace zorva::xml
