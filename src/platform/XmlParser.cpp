#include "platform/XmlParser.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

#include <libxml/entities.h>
#include <libxml/hash.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>
#include <libxslt/documents.h>
#include <libxslt/xsltutils.h>

#include "platform/LibraryHandles.h"
#include "platform/XmlDocument.h"

namespace zorva::xml::detail {

namespace {

// Where the error text of the current thread goes while a QuietErrors asks for it.
thread_local QString* errorCapture = nullptr;

void captureGeneric(void*, const char* format, ...)
{
    if (!errorCapture) return;
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (errorCapture->size() < 4096) errorCapture->append(QString::fromUtf8(text));
}

void captureStructured(void*, xmlErrorPtr error)
{
    if (!errorCapture || !error || !error->message) return;
    if (errorCapture->size() < 4096) errorCapture->append(QString::fromUtf8(error->message));
}

// Every external entity, external DTD subset and parameter entity passes through this loader; none
// is ever fetched, whatever the parser options of the caller.
xmlParserInputPtr refuseExternalEntity(const char*, const char*, xmlParserCtxtPtr)
{
    return nullptr;
}

// xsl:import, xsl:include and document() pass through this loader; the stylesheet and its input
// never reach other files or the network.
xmlDocPtr refuseStylesheetDocument(const xmlChar*, xmlDictPtr, int, void*, xsltLoadType)
{
    return nullptr;
}

int hashSize(void* table)
{
    return table ? xmlHashSize(static_cast<xmlHashTablePtr>(table)) : 0;
}

// Entity declarations are the vehicle of every entity attack (external files, exponential or
// quadratic expansion).
bool declaresEntities(const xmlDoc* doc)
{
    for (const xmlDtd* dtd : {doc->intSubset, doc->extSubset}) {
        if (dtd && (hashSize(dtd->entities) > 0 || hashSize(dtd->pentities) > 0)) return true;
    }
    return false;
}

// The service's documents never carry a document type declaration, and one is where every entity
// attack starts. A document from outside is therefore stopped at its DOCTYPE, before the parser
// reads a single declaration of the internal subset.
void stopAtDocumentType(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    *static_cast<bool*>(ctxt->_private) = true;
    xmlStopParser(ctxt);
}

// Stylesheets commonly declare named characters ("<!ENTITY nbsp '&#160;'>") for their literal
// output. Without entity expansion those stay references that libxslt would drop, so references to
// internal entities whose replacement is plain text are replaced by that text here, within a budget
// that keeps a hostile file from multiplying itself. Returns false when the budget is exhausted.
bool substituteTextEntities(xmlDoc* doc, xmlNode* first, std::size_t& budget)
{
    for (xmlNode* n = first; n;) {
        xmlNode* next = n->next;
        if (n->type == XML_ENTITY_REF_NODE) {
            const xmlEntity* entity = xmlGetDocEntity(doc, n->name);
            if (entity && entity->etype == XML_INTERNAL_GENERAL_ENTITY && entity->content &&
                !std::strpbrk(reinterpret_cast<const char*>(entity->content), "<&")) {
                const std::size_t length = std::strlen(reinterpret_cast<const char*>(entity->content));
                if (length > budget) return false;
                budget -= length;
                xmlNode* text = xmlNewDocText(doc, entity->content);
                if (!text) return false;
                xmlReplaceNode(n, text);
                xmlFreeNode(n);
            }
        } else if (n->type == XML_ELEMENT_NODE) {
            for (xmlAttr* a = n->properties; a; a = a->next) {
                if (!substituteTextEntities(doc, a->children, budget)) return false;
            }
            if (!substituteTextEntities(doc, n->children, budget)) return false;
        }
        n = next;
    }
    return true;
}

}  // namespace

void initialiseLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalEntity);
        xsltSetLoaderFunc(refuseStylesheetDocument);
        // libxslt reports through one process-wide function; it goes to the capture of the thread
        // that is compiling or transforming, or nowhere.
        xsltSetGenericErrorFunc(nullptr, captureGeneric);
        xsltSetGenericDebugFunc(nullptr, captureGeneric);
        // libxslt traces every instruction it runs unless told not to; formatting those texts took a
        // quarter of a large page's time, and they are no failure anyone reads.
        xsltDebugSetDefaultTrace(XSLT_TRACE_NONE);
    });
}

QuietErrors::QuietErrors(QString* capture)
    : oldGenericContext_(xmlGenericErrorContext),
      oldGeneric_(xmlGenericError),
      oldStructuredContext_(xmlStructuredErrorContext),
      oldStructured_(xmlStructuredError)
{
    errorCapture = capture;
    xmlSetGenericErrorFunc(nullptr, captureGeneric);
    xmlSetStructuredErrorFunc(nullptr, captureStructured);
}

QuietErrors::~QuietErrors()
{
    xmlSetGenericErrorFunc(oldGenericContext_, oldGeneric_);
    xmlSetStructuredErrorFunc(oldStructuredContext_, oldStructured_);
    errorCapture = nullptr;
}

_xmlDoc* parseUntrusted(const QByteArray& bytes, ParseKind kind, const QString& url, LoadFailure* why)
{
    LoadFailure ignored;
    LoadFailure& failure = why ? *why : ignored;
    failure = LoadFailure::None;
    initialiseLibraries();
    if (bytes.size() > Document::maxInputBytes) {
        failure = LoadFailure::TooLarge;
        return nullptr;
    }
    failure = LoadFailure::NotXml;
    if (bytes.isEmpty()) return nullptr;

    QuietErrors quiet;
    platform::XmlParserContextPtr ctxt(xmlNewParserCtxt());
    if (!ctxt) return nullptr;
    bool documentType = false;
    if (kind == ParseKind::Data) {
        ctxt->_private = &documentType;
        ctxt->sax->internalSubset = stopAtDocumentType;
    }

    // Deliberately absent: XML_PARSE_NOENT (entity substitution), XML_PARSE_DTDLOAD,
    // XML_PARSE_DTDATTR, XML_PARSE_DTDVALID (each would fetch or expand external content),
    // XML_PARSE_HUGE (lifts the depth, text and amplification limits), XML_PARSE_XINCLUDE.
    // XML_PARSE_COMPACT keeps short texts inside their nodes: a response of ten thousand rows is
    // mostly short numbers, and this saves a good part of the document's memory.
    int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT;
    if (kind == ParseKind::Stylesheet) options |= XML_PARSE_NOCDATA;

    const QByteArray base = url.isEmpty() ? QByteArray() : QUrl::fromLocalFile(url).toEncoded();
    platform::XmlDocPtr doc(xmlCtxtReadMemory(ctxt.get(), bytes.constData(), int(bytes.size()),
                                              base.isEmpty() ? nullptr : base.constData(), nullptr, options));
    if (documentType) {
        failure = LoadFailure::Doctype;
        return nullptr;
    }
    if (!doc || !ctxt->wellFormed || !ctxt->nsWellFormed) return nullptr;
    if (kind == ParseKind::Data && (doc->intSubset || doc->extSubset)) {
        failure = LoadFailure::Doctype;
        return nullptr;
    }
    if (kind == ParseKind::Stylesheet && declaresEntities(doc.get())) {
        std::size_t budget = 4 * 1024 * 1024;
        if (!substituteTextEntities(doc.get(), doc->children, budget)) return nullptr;
    }
    failure = LoadFailure::None;
    return doc.release();
}

QByteArray readBoundedFile(const QString& path, LoadFailure* why)
{
    *why = LoadFailure::Unreadable;
    if (path.isEmpty()) return {};
    const QFileInfo info(path);
    if (!info.isFile()) return {};
    if (info.size() > Document::maxInputBytes) {
        *why = LoadFailure::TooLarge;
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    // Room for the size measured, not for the limit: a buffer of the limit for every small file costs
    // more than the reading. A file that grew since (or a device that tells no size) reads on.
    QByteArray bytes = file.read(info.size() + 1);
    if (bytes.size() > info.size() && file.error() == QFileDevice::NoError)
        bytes += file.read(Document::maxInputBytes + 1 - bytes.size());
    if (file.error() != QFileDevice::NoError) return {};
    // A file that grew after it was measured.
    if (bytes.size() > Document::maxInputBytes) {
        *why = LoadFailure::TooLarge;
        return {};
    }
    *why = LoadFailure::None;
    return bytes;
}

}  // namespace zorva::xml::detail
