#pragma once
#include <QByteArray>
#include <QString>

#include "platform/XmlDocument.h"

// Internal to the platform layer: the one hardened way in which documents from outside (responses,
// files beside the program, stylesheets) become libxml2 trees. Declared without libxml2 headers so
// that no other part of the program depends on them.

struct _xmlDoc;
struct _xmlError;

namespace zorva::xml::detail {

// Process-wide set-up of libxml2 and libxslt, done once and thread-safe: the parser is initialised,
// every external entity, DTD or stylesheet import is refused, and library error output is silenced.
void initialiseLibraries();

enum class ParseKind {
    Data,        // a document from outside: any document type declaration is refused
    Stylesheet,  // the stylesheet beside the program: CDATA merged into text, as XSLT expects
};

// Parses untrusted bytes: no network, no DTD loading, no entity expansion, no external entities,
// size bounded by Document::maxInputBytes, the default (not "huge") parser limits. The encoding is
// taken from the byte order mark or the declaration. Nothing (nullptr) when the input is refused;
// then `why`, when given, tells the reason.
_xmlDoc* parseUntrusted(const QByteArray& bytes, ParseKind kind, const QString& url = QString(),
                        LoadFailure* why = nullptr);

// The bytes of a regular file, refused (nothing, `why` Unreadable or TooLarge) when missing,
// unreadable or above the size limit; `why` is None when the bytes were read.
QByteArray readBoundedFile(const QString& path, LoadFailure* why);

// While alive, libxml2's error reports on this thread go nowhere (or into the text, when asked).
class QuietErrors {
public:
    explicit QuietErrors(QString* capture = nullptr);
    ~QuietErrors();
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    void* oldGenericContext_;
    void (*oldGeneric_)(void*, const char*, ...);
    void* oldStructuredContext_;
    void (*oldStructured_)(void*, _xmlError*);
};

}  // namespace zorva::xml::detail
