#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The XML document model of the program. Selections match elements by their prefixed name as it
// is written in the document ("RUX:ICO" matches <RUX:ICO>, whatever URI the prefix is bound to), the
// way the service's documents have always been read. Supported patterns:
//   "//P:Name", "//P:A/P:B", "P:Name", "P:A/P:B", "//P:Name[@ATTR='value']"
// (a step may carry one [@ATTR='value'] predicate). A pattern beginning with "//" searches the whole
// document, also when selected from a node; the others look at children only. A pattern that cannot
// be evaluated raises a Failure. Parsing is hardened for untrusted input: no network, no DTD
// loading, no entity expansion (a document with a DOCTYPE is refused), bounded size.

struct _xmlNode;
struct _xmlDoc;

namespace zorva::xml {

class Document;
namespace detail {
struct TreeAccess;
}

// Why a document from outside was not taken. The loader alone decides; every command and window
// tells the user the same reason through loadFailureText.
enum class LoadFailure {
    None,
    Unreadable,  // no such file, not a regular file, or it cannot be read
    TooLarge,    // more than Document::maxInputBytes
    Doctype,     // carries a document type declaration, which the service's documents never do
    NotXml,      // not a well-formed, namespace-well-formed document
};

// A Czech sentence for the reason (empty for None), e.g. "Dokument je příliš velký (nejvýše 64 MB)."
QString loadFailureText(LoadFailure failure);

// What a command says about an input file that did not load.
QString fileLoadFailureText(const QString& path, LoadFailure failure);

// Whether the document was there and readable but refused by the loader's rules (its size or its
// DOCTYPE), as opposed to missing or malformed.
inline bool isRefusal(LoadFailure failure)
{
    return failure == LoadFailure::TooLarge || failure == LoadFailure::Doctype;
}

// A qualified name split once ("RUX:SKOT": prefix "RUX", local name "SKOT"), for the loops that look
// up the same names in thousands of rows. It matches a node by its name as written.
struct Name {
    std::string full;    // "P:Name" or "Name"
    std::string prefix;  // "" when unprefixed
    std::string local;

    static Name from(const std::string& text);
    static Name from(const QString& text) { return from(text.toStdString()); }
    // A name whose prefix was never bound is kept whole as the local name by libxml2; it matches as
    // written too.
    bool matches(const unsigned char* nodePrefix, const unsigned char* nodeLocal) const;
};

// A non-owning handle to an element (or another node) inside a Document; valid while the node's
// document lives and the node is not removed. Every operation on a null handle (a selection that
// found nothing) raises a Failure, so that a write to a missing element can be skipped.
class Node {
public:
    Node() = default;
    explicit Node(_xmlNode* n) : node_(n) {}

    bool isNull() const { return node_ == nullptr; }
    explicit operator bool() const { return node_ != nullptr; }
    bool operator==(const Node& o) const { return node_ == o.node_; }

    QString name() const;               // qualified name as written ("VDJ:PICHROW")
    QString text() const;               // text content, descendants included
    void setText(const QString& text);  // replaces the whole content with one text node
    void setText(QByteArrayView utf8);

    std::optional<QString> attribute(const QString& name) const;  // nothing when absent
    std::optional<QString> attribute(const Name& name) const;
    // Sets the value of an attribute that exists; raises a Failure when it does not.
    void setExistingAttribute(const QString& name, const QString& value);
    void setExistingAttribute(const Name& name, QByteArrayView utf8);
    // Sets or creates the attribute (for building documents, e.g. the demo service).
    void setAttribute(const QString& name, const QString& value);

    Node selectSingle(const QString& pattern) const;  // relative to this node
    std::vector<Node> selectList(const QString& pattern) const;
    std::vector<Node> childElements() const;

    // Appends a new child element / text (for building documents).
    Node appendElement(const QString& qualifiedName, const QString& text = QString());

private:
    friend struct detail::TreeAccess;
    _xmlNode* node_ = nullptr;
};

// The first child element of each of a fixed list of names, found in one pass over the children:
// what selectSingle("P:Name") gives for each name, without one pass per name.
class ChildLookup {
public:
    explicit ChildLookup(const QStringList& qualifiedNames);
    // found[i] becomes the first child element of `parent` named names[i], or a null Node. Raises a
    // Failure for a null parent.
    void find(const Node& parent, std::vector<Node>& found) const;
    std::size_t size() const { return names_.size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    using Index = std::unordered_map<std::string, std::vector<int>, Hash, std::equal_to<>>;
    int matchOf(const _xmlNode* element) const;

    std::vector<Name> names_;
    Index prefixedByLocal_;  // names with a prefix, by their local part
    Index byFullName_;       // every name by its whole text, for elements without a bound prefix
    // The rows of a response have their children in one order: the name met at each position of
    // the last parent, and which of the names it was (-1: none), spare most of the look-ups. Only
    // when no name is listed twice, so that an element matches at most one name.
    struct Seen {
        std::string prefix, local;
        int match = -1;
    };
    bool remember_ = true;
    mutable std::vector<Seen> seen_;
};

class Document {
public:
    Document();  // an empty document (no root)
    ~Document();
    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Loading never fails: a missing, unreadable, malformed or hostile input leaves the document
    // empty and returns false; loadFailure() then tells why.
    bool load(const QString& path);
    bool loadXml(const QByteArray& bytes);
    // The reason of the last load; None after a successful one and for a document never loaded.
    LoadFailure loadFailure() const { return loadFailure_; }
    static Document fromBytes(const QByteArray& bytes);

    // Writes the document, replacing the file atomically (temporary file beside it, then rename).
    // A document that begins with the "xml" processing instruction is written as UTF-8 with that
    // declaration. Raises a Failure when the file cannot be written.
    void save(const QString& path) const;
    QByteArray toBytes() const;

    bool isEmpty() const;  // no root element
    Node root() const;
    Node selectSingle(const QString& pattern) const;
    std::vector<Node> selectList(const QString& pattern) const;

    // Appends a processing instruction as the document's last top-level child. The target "xml"
    // (only before any other child) makes the saved file begin with that declaration; it is kept as
    // a property of the document, not as a node, and the result is a null Node.
    Node appendProcessingInstruction(const QString& target, const QString& data);
    // Appends a deep copy of a node (from this or any other document) as the last top-level child;
    // an element becomes the root when there is none yet.
    Node appendNode(const Node& node);

    // Upper bound for the bytes of one document accepted from outside.
    static constexpr qsizetype maxInputBytes = 64 * 1024 * 1024;

private:
    friend struct detail::TreeAccess;
    _xmlDoc* doc_ = nullptr;
    LoadFailure loadFailure_ = LoadFailure::None;
};

}  // namespace zorva::xml
