#include "presentation/Rendering.h"

#include <QDebug>
#include <QFile>
#include <QStringEncoder>
#include <functional>
#include <optional>
#include <utility>

#include "common/DetailLog.h"
#include "common/Failure.h"
#include "common/FileWriting.h"
#include "common/SkipOnFailure.h"
#include "common/SpustSoubor.h"
#include "common/UserText.h"
#include "common/Windows1250.h"
#include "platform/Stylesheet.h"

namespace zorva::presentation {

namespace {

const QString kDeclarationData = QStringLiteral("version='1.0' encoding='UTF-8'");
const QString kMainStylesheetData = QStringLiteral("type='text/xsl' href='ZORVA_VDJ1B.xsl'");

void reportFailure(const ProgramContext& ctx, const std::exception& e)
{
    ctx.message(userText(e), MessageIcon::None);
}

// The page in the encoding that the stylesheet's output declares, since the page names it. The
// shipped stylesheet declares the Czech single-byte code page; that is also the page's encoding
// when a stylesheet declares none, or one that cannot be written. There a character the code page
// cannot hold becomes a character reference instead of being lost.
QByteArray pageBytes(const QString& text, const QString& encoding)
{
    if (!encoding.isEmpty() && encoding.compare(QLatin1String("windows-1250"), Qt::CaseInsensitive) != 0) {
        QStringEncoder encoder(encoding.toLatin1().constData());
        if (encoder.isValid()) {
            QByteArray bytes = encoder.encode(text);
            if (!encoder.hasError()) return bytes;
        }
    }
    return toWindows1250(text, Windows1250Unmappable::CharRef);
}

void writeHtmlPage(const QString& path, const QString& text, const QString& encoding)
{
    AtomicFile file(path);
    file.write(pageBytes(text, encoding));
    file.write("\r\n");
    file.commit();
}

void launch(const ProgramContext& ctx, const QString& name)
{
    SpustSoubor(ctx, ctx.file(name), QString(), 3, false, true, false);
}

// The transformation's text, as the page holds it before its line break, and the encoding that the
// stylesheet declares for it.
struct PageText {
    QString text, encoding;
};

std::unique_ptr<xml::Stylesheet> compileStylesheet(const ProgramContext& ctx)
{
    std::unique_ptr<xml::Stylesheet> stylesheet = xml::Stylesheet::compile(ctx.file(kStylesheetFile));
    if (!stylesheet)
        throw Failure(err::ObjectRequired,
                      QStringLiteral("Šablona stylu ZORVA_VDJ1B.xsl ve složce programu chybí nebo je chybná"));
    return stylesheet;
}

// Raises a Failure when there is nothing to transform or the transformation fails.
PageText transformText(const xml::Stylesheet& stylesheet, const xml::Document& source)
{
    // A document without any element has nothing to transform. One that the loader refused says why.
    if (source.isEmpty()) {
        if (xml::isRefusal(source.loadFailure()))
            throw Failure(err::ObjectRequired, xml::loadFailureText(source.loadFailure()));
        throw Failure(err::ObjectRequired, QStringLiteral("Odpověď služby chybí nebo je prázdná"));
    }
    QString output = stylesheet.transform(source);
    // The serialiser closes its output with a newline of its own; the page gets exactly one
    // line break after the transformation's text.
    while (output.endsWith(QLatin1Char('\n')) || output.endsWith(QLatin1Char('\r'))) output.chop(1);
    return {output, stylesheet.outputEncoding()};
}

// A stored response that the loader refused (its size, its DOCTYPE) is told in either path instead
// of being shown as an empty page or view, which would read as the service's answer. Whether it
// was told.
bool toldRefusal(const ProgramContext& ctx, const xml::Document& stored)
{
    if (!xml::isRefusal(stored.loadFailure())) return false;
    ctx.message(QStringLiteral("Sestavu nelze zobrazit. ") + xml::loadFailureText(stored.loadFailure()),
                MessageIcon::Critical);
    return true;
}

// The first steps of every rendering in the window: the document to show read from its file and
// the presentation document begun. Their first failure ends the rendering with one message, and so
// does a document the loader refused. Whether the rendering goes on.
bool begun(const ProgramContext& ctx, const std::function<void()>& read, const xml::Document& source,
           xml::Document& presentation)
{
    try {
        read();
        presentation.appendProcessingInstruction(QStringLiteral("xml"), kDeclarationData);
    } catch (const std::exception& e) {
        reportFailure(ctx, e);
        return false;
    }
    return !toldRefusal(ctx, source);
}

void appendShown(xml::Document& presentation, const xml::Node& element)
{
    if (!element) throw Failure(err::ObjectRequired, QStringLiteral("Prvek k zobrazení chybí"));
    presentation.appendNode(element);
}

void htmlPath(const ProgramContext& ctx, xml::Document& presentation, xml::Document& source, const xml::Node& element)
{
    skipOnFailure([&] { appendShown(presentation, element); });
    // Without the intermediate file there is nothing to transform; why it is missing is what the
    // user is told then, not that the answer was empty.
    std::optional<Failure> notSaved;
    skipOnFailure([&] {
        try {
            presentation.save(ctx.file(kIntermediateFile));
        } catch (const Failure& f) {
            notSaved = f;
            throw;
        }
    });
    skipOnFailure([&] { source.load(ctx.file(kIntermediateFile)); });
    // A page that cannot be made is told, not opened blank (nor replaced by the older page of the
    // same name): the user would take an empty or an earlier report for this answer's.
    std::optional<QString> problem;
    try {
        if (notSaved) throw *notSaved;
        const PageText page = transformText(*compileStylesheet(ctx), source);
        writeHtmlPage(ctx.file(kHtmlFile), page.text, page.encoding);
    } catch (const Failure& f) {
        problem = pageProblem(f);
    } catch (const std::exception& e) {
        problem = userText(e);  // out of memory on a huge answer, say: told, never the program's end
    }
    QFile::remove(ctx.file(kIntermediateFile));
    if (problem) {
        ctx.message(QStringLiteral("Sestavu nelze zobrazit. ") + *problem, MessageIcon::Critical);
        return;
    }
    skipOnFailure([&] { launch(ctx, kHtmlFile); });
}

void xmlPath(const ProgramContext& ctx, xml::Document& presentation, const QString& stylesheetData, bool withStylesheet,
             const xml::Node& element)
{
    skipOnFailure([&] {
        if (withStylesheet) presentation.appendProcessingInstruction(QStringLiteral("xml-stylesheet"), stylesheetData);
    });
    skipOnFailure([&] { appendShown(presentation, element); });
    // The file of an earlier rendering, opened in place of one that could not be written, would pass
    // for this answer's.
    try {
        presentation.save(ctx.file(kXmlViewFile));
    } catch (const Failure& f) {
        ctx.message(QStringLiteral("Sestavu nelze zobrazit. ") + pageProblem(f), MessageIcon::Critical);
        return;
    }
    skipOnFailure([&] { launch(ctx, kXmlViewFile); });
}

// Each tree of a large answer takes many times its bytes: the copy goes before the tree read back
// from it is built.
QByteArray presentationBytes(const xml::Document& response)
{
    if (response.isEmpty()) throw Failure(err::ObjectRequired, QStringLiteral("Dokument je prázdný"));
    xml::Document presentation;
    presentation.appendProcessingInstruction(QStringLiteral("xml"), kDeclarationData);
    presentation.appendNode(response.root());
    return presentation.toBytes();
}

}  // namespace

QString pageProblem(const Failure& f, const QString& page)
{
    if (!page.isEmpty() &&
        (f.number() == err::PathFileAccess || f.number() == err::PathNotFound || f.number() == err::PermissionDenied))
        return QStringLiteral("Soubor \"%1\" nelze zapsat.").arg(page);
    if (f.number() == err::XmlSelection) {
        qCWarning(detailLog).noquote() << f.description();
        return QStringLiteral("Transformaci šablonou ZORVA_VDJ1B.xsl nelze provést.");
    }
    const QString text = f.description();
    return text.endsWith(QLatin1Char('.')) ? text : text + QLatin1Char('.');
}

void ZobrazOdpoved(const ProgramContext& ctx, HtmlCheck chkHTML)
{
    xml::Document response;
    xml::Document presentation;
    const auto read = [&] { response.load(ctx.file(kResponseFile)); };
    if (!begun(ctx, read, response, presentation)) return;
    xml::Node element;
    skipOnFailure([&] { element = response.root(); });
    if (chkHTML == HtmlCheck::Checked) htmlPath(ctx, presentation, response, element);
    else xmlPath(ctx, presentation, kMainStylesheetData, true, element);
}

void renderResponseTo(const ProgramContext& ctx, const xml::Document& response, const QString& path, RenderAs as)
{
    if (response.isEmpty()) throw Failure(err::ObjectRequired, QStringLiteral("Dokument je prázdný"));
    xml::Document presentation;
    presentation.appendProcessingInstruction(QStringLiteral("xml"), kDeclarationData);
    if (as == RenderAs::Xml) {
        presentation.appendProcessingInstruction(QStringLiteral("xml-stylesheet"), kMainStylesheetData);
        presentation.appendNode(response.root());
        presentation.save(path);
        return;
    }
    ResponsePages(ctx).write(response, path);
}

void renderResponseTo(const ProgramContext& ctx, xml::Document&& response, const QString& path, RenderAs as)
{
    if (as == RenderAs::Xml) return renderResponseTo(ctx, std::as_const(response), path, as);
    ResponsePages(ctx).write(std::move(response), path);
}

QString reportStyle(const ProgramContext& ctx)
{
    xml::Document stylesheet;
    if (!stylesheet.load(ctx.file(kStylesheetFile))) return QString();
    const xml::Node css = stylesheet.selectSingle(QStringLiteral("//xsl:template[@name='css']"));
    return css ? css.text().trimmed() + QLatin1Char('\n') : QString();
}

ResponsePages::ResponsePages(const ProgramContext& ctx) : stylesheet_(compileStylesheet(ctx))
{
}

ResponsePages::~ResponsePages() = default;

// The same presentation document as the main window's: the declaration and the whole response,
// transformed as read back from its bytes, as the window reads it back from its file.
void ResponsePages::write(const xml::Document& response, const QString& page) const
{
    writeFrom(presentationBytes(response), page);
}

void ResponsePages::write(xml::Document&& response, const QString& page) const
{
    QByteArray bytes = presentationBytes(response);
    {
        const xml::Document freed(std::move(response));
    }
    writeFrom(std::move(bytes), page);
}

void ResponsePages::writeFrom(QByteArray presentation, const QString& page) const
{
    xml::Document source;
    source.loadXml(presentation);
    presentation = QByteArray();
    const PageText text = transformText(*stylesheet_, source);
    writeHtmlPage(page, text.text, text.encoding);
}

void ZobrazEditor(const ProgramContext& ctx, const xml::Document& xmlDOM, HtmlCheck chkHTML)
{
    xml::Document source;
    xml::Document presentation;
    const auto read = [&] {
        xmlDOM.save(ctx.file(kResponseFile));
        source.load(ctx.file(kResponseFile));
    };
    if (!begun(ctx, read, source, presentation)) return;
    xml::Node response;
    xml::Node dataResponse;
    skipOnFailure([&] { response = source.selectSingle(QStringLiteral("//kLIM:Response")); });
    skipOnFailure([&] { dataResponse = source.selectSingle(QStringLiteral("//kLIM:DataResponse")); });
    QString stylesheetData;
    skipOnFailure([&] {
        if (!response) return;
        auto attribute = [&](const char* name) {
            return dataResponse ? dataResponse.attribute(QString::fromLatin1(name)).value_or(QString()) : QString();
        };
        stylesheetData = QStringLiteral("type='") + attribute("showXSLTtype") + QStringLiteral("' href='") +
                         attribute("showXSLTPath") + QStringLiteral("'");
    });
    if (chkHTML == HtmlCheck::Checked) htmlPath(ctx, presentation, source, response);
    else xmlPath(ctx, presentation, stylesheetData, bool(response), response);
}

}  // namespace zorva::presentation
