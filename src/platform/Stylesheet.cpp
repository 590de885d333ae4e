#include "platform/Stylesheet.h"

#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxslt/imports.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include "platform/Failure.h"
#include "platform/XmlParser.h"

namespace zorva::xml {

namespace {

struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
struct TransformContextFree {
    void operator()(xsltTransformContext* c) const { xsltFreeTransformContext(c); }
};
struct SecurityPrefsFree {
    void operator()(xsltSecurityPrefs* s) const { xsltFreeSecurityPrefs(s); }
};
struct OutputBufferClose {
    void operator()(xmlOutputBuffer* b) const { xmlOutputBufferClose(b); }
};

[[noreturn]] void transformFailed(const QString& detail)
{
    QString text = QStringLiteral("Transformaci šablonou XSL nelze provést.");
    const QString d = detail.simplified();
    if (!d.isEmpty()) text += QLatin1Char(' ') + d;
    throw Failure(err::XmlSelection, text);
}

}  // namespace

struct Stylesheet::Impl {
    xsltStylesheet* style = nullptr;
    ~Impl()
    {
        if (style) xsltFreeStylesheet(style);  // frees the stylesheet document with it
    }
};

Stylesheet::~Stylesheet() = default;

std::unique_ptr<Stylesheet> Stylesheet::compile(const QString& path)
{
    detail::initialiseLibraries();
    bool ok = false;
    const QByteArray bytes = detail::readBoundedFile(path, &ok);
    if (!ok) return nullptr;

    QString errors;
    detail::QuietErrors quiet(&errors);
    // The same hardened parser as for the service's documents: no DTD, no external entities, no
    // network. xsl:import and xsl:include are refused by the loader that initialiseLibraries installs.
    std::unique_ptr<xmlDoc, DocFree> doc(detail::parseUntrusted(bytes, detail::ParseKind::Stylesheet, path));
    if (!doc) return nullptr;
    // On success the stylesheet owns the document; on failure it stays with the caller.
    xsltStylesheet* style = xsltParseStylesheetDoc(doc.get());
    if (!style) return nullptr;
    doc.release();

    std::unique_ptr<Stylesheet> out(new Stylesheet);
    out->d = std::make_unique<Impl>();
    out->d->style = style;
    if (style->errors != 0) return nullptr;
    return out;
}

QString Stylesheet::outputEncoding() const
{
    const xmlChar* encoding = nullptr;
    XSLT_GET_IMPORT_PTR(encoding, d->style, encoding)
    return encoding ? QString::fromUtf8(reinterpret_cast<const char*>(encoding)) : QString();
}

QString Stylesheet::transform(const Document& input) const
{
    QString errors;
    detail::QuietErrors quiet(&errors);

    std::unique_ptr<xsltTransformContext, TransformContextFree> ctxt(xsltNewTransformContext(d->style, input.raw()));
    std::unique_ptr<xsltSecurityPrefs, SecurityPrefsFree> security(xsltNewSecurityPrefs());
    if (!ctxt || !security) transformFailed(QString());

    // A stylesheet may write files (xsl:document), create folders, read other files or reach the
    // network (document()); none of this is needed to render a response, so all of it is refused.
    for (xsltSecurityOption option : {XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY,
                                      XSLT_SECPREF_READ_NETWORK, XSLT_SECPREF_WRITE_NETWORK,
                                      XSLT_SECPREF_READ_FILE}) {
        xsltSetSecurityPrefs(security.get(), option, xsltSecurityForbid);
    }
    if (xsltSetCtxtSecurityPrefs(security.get(), ctxt.get()) != 0) transformFailed(QString());

    std::unique_ptr<xmlDoc, DocFree> result(
        xsltApplyStylesheetUser(d->style, input.raw(), nullptr, nullptr, nullptr, ctxt.get()));
    if (!result || ctxt->state == XSLT_STATE_ERROR || ctxt->state == XSLT_STATE_STOPPED) transformFailed(errors);

    // Serialised into a buffer without an encoder, so the bytes are UTF-8, while the serialiser
    // still names the xsl:output encoding in the XML declaration or the HTML meta element: the
    // caller writes the text in that encoding. Characters are never lost on the way: the HTML
    // serialiser copies non-ASCII text as raw UTF-8 (it uses character references only where the
    // target encoding cannot hold a character, which never applies to UTF-8), and the XML serialiser
    // with a named encoding writes text raw as well; character references would be lossless too.
    std::unique_ptr<xmlOutputBuffer, OutputBufferClose> buffer(xmlAllocOutputBuffer(nullptr));
    if (!buffer) transformFailed(QString());
    if (xsltSaveResultTo(buffer.get(), result.get(), d->style) < 0) transformFailed(errors);
    xmlOutputBufferFlush(buffer.get());
    const QByteArray bytes(reinterpret_cast<const char*>(xmlOutputBufferGetContent(buffer.get())),
                           qsizetype(xmlOutputBufferGetSize(buffer.get())));
    return QString::fromUtf8(bytes);
}

}  // namespace zorva::xml
