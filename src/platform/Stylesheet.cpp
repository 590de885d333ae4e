#include "platform/Stylesheet.h"

#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxslt/imports.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include "common/Failure.h"
#include "platform/LibraryHandles.h"
#include "platform/XmlParser.h"
#include "platform/XmlTree.h"

namespace zorva::xml {

namespace {

[[noreturn]] void transformFailed(const QString& detail)
{
    QString text = QStringLiteral("Transformaci šablonou XSL nelze provést.");
    const QString d = detail.simplified();
    if (!d.isEmpty()) text += QLatin1Char(' ') + d;
    throw Failure(err::XmlSelection, text);
}

}  // namespace

struct Stylesheet::Impl {
    platform::XsltStylesheetPtr style;
};

Stylesheet::~Stylesheet() = default;

std::unique_ptr<Stylesheet> Stylesheet::compile(const QString& path)
{
    detail::initialiseLibraries();
    LoadFailure unread = LoadFailure::None;
    const QByteArray bytes = detail::readBoundedFile(path, &unread);
    if (unread != LoadFailure::None) return nullptr;

    QString errors;
    detail::QuietErrors quiet(&errors);
    // The same hardened parser as for the service's documents (no DTD loading, no external
    // entities, no network), except that a DOCTYPE declaring named characters is allowed.
    // xsl:import and xsl:include are refused by the loader that initialiseLibraries installs.
    platform::XmlDocPtr doc(detail::parseUntrusted(bytes, detail::ParseKind::Stylesheet, path));
    if (!doc) return nullptr;
    // On success the stylesheet owns the document; on failure it stays with the caller.
    platform::XsltStylesheetPtr style(xsltParseStylesheetDoc(doc.get()));
    if (!style) return nullptr;
    doc.release();
    if (style->errors != 0) return nullptr;

    std::unique_ptr<Stylesheet> out(new Stylesheet);
    out->d = std::make_unique<Impl>();
    out->d->style = std::move(style);
    return out;
}

QString Stylesheet::outputEncoding() const
{
    const xmlChar* encoding = nullptr;
    XSLT_GET_IMPORT_PTR(encoding, d->style.get(), encoding)
    return encoding ? QString::fromUtf8(reinterpret_cast<const char*>(encoding)) : QString();
}

QString Stylesheet::transform(const Document& input) const
{
    QString errors;
    detail::QuietErrors quiet(&errors);

    platform::XsltTransformContextPtr ctxt(xsltNewTransformContext(d->style.get(), detail::TreeAccess::doc(input)));
    platform::XsltSecurityPrefsPtr security(xsltNewSecurityPrefs());
    if (!ctxt || !security) transformFailed(QString());

    // A stylesheet may write files (xsl:document), create folders, read other files or reach the
    // network (document()); none of this is needed to render a response, so all of it is refused.
    for (xsltSecurityOption option : {XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY, XSLT_SECPREF_READ_NETWORK,
                                      XSLT_SECPREF_WRITE_NETWORK, XSLT_SECPREF_READ_FILE}) {
        xsltSetSecurityPrefs(security.get(), option, xsltSecurityForbid);
    }
    if (xsltSetCtxtSecurityPrefs(security.get(), ctxt.get()) != 0) transformFailed(QString());

    platform::XmlDocPtr result(
        xsltApplyStylesheetUser(d->style.get(), detail::TreeAccess::doc(input), nullptr, nullptr, nullptr, ctxt.get()));
    if (!result || ctxt->state == XSLT_STATE_ERROR || ctxt->state == XSLT_STATE_STOPPED) transformFailed(errors);

    // Serialised into a buffer without an encoder, so the bytes are UTF-8, while the serialiser
    // still names the xsl:output encoding in the XML declaration or the HTML meta element: the
    // caller writes the text in that encoding. Characters are never lost on the way: the HTML
    // serialiser copies non-ASCII text as raw UTF-8 (it uses character references only where the
    // target encoding cannot hold a character, which never applies to UTF-8), and the XML serialiser
    // with a named encoding writes text raw as well; character references would be lossless too.
    platform::XmlOutputBufferPtr buffer(xmlAllocOutputBuffer(nullptr));
    if (!buffer) transformFailed(QString());
    if (xsltSaveResultTo(buffer.get(), result.get(), d->style.get()) < 0) transformFailed(errors);
    // The tree of a large page is many times its text: it goes before the text is copied.
    result.reset();
    xmlOutputBufferFlush(buffer.get());
    return QString::fromUtf8(reinterpret_cast<const char*>(xmlOutputBufferGetContent(buffer.get())),
                             qsizetype(xmlOutputBufferGetSize(buffer.get())));
}

}  // namespace zorva::xml
