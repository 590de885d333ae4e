#include "presentation/Rendering.h"

#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>

#include "common/SpustSoubor.h"
#include "common/UserText.h"
#include "common/Windows1250.h"
#include "common/SkipOnFailure.h"
#include "platform/Failure.h"
#include "platform/Stylesheet.h"

namespace zorva::presentation {

namespace {

const QString kDeclarationData = QStringLiteral("version='1.0' encoding='UTF-8'");

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(err::PathFileAccess, file.errorString());
    file.write(pageBytes(text, encoding));
    file.write("\r\n");
    if (!file.commit()) throw Failure(err::PathFileAccess, file.errorString());
}

// The transformation's text as the page holds it: the serialiser closes its output with a newline of
// its own; the page gets exactly one line break after the transformation's text (writeHtmlPage).
QString pageText(const xml::Stylesheet& stylesheet, const xml::Document& source)
{
    QString output = stylesheet.transform(source);
    while (output.endsWith(QLatin1Char('\n')) || output.endsWith(QLatin1Char('\r'))) output.chop(1);
    return output;
}

void launch(const ProgramContext& ctx, const QString& name)
{
    SpustSoubor(ctx, ctx.file(name), QString(), 3, false, true, false);
}

void htmlPath(const ProgramContext& ctx, xml::Document& presentation, xml::Document& source, const xml::Node& element)
{
    skipOnFailure([&] {
        if (!element) throw Failure(err::ObjectRequired, QStringLiteral("Prvek k zobrazení chybí"));
        presentation.appendNode(element);
    });
    skipOnFailure([&] { presentation.save(ctx.file(kIntermediateFile)); });
    skipOnFailure([&] { source.load(ctx.file(kIntermediateFile)); });
    std::unique_ptr<xml::Stylesheet> stylesheet;
    skipOnFailure([&] { stylesheet = xml::Stylesheet::compile(ctx.file(kStylesheetFile)); });
    QString output;
    skipOnFailure([&] {
        if (!stylesheet) throw Failure(err::ObjectRequired, QStringLiteral("Šablona stylu chybí"));
        // A document without any element has nothing to transform.
        if (source.isEmpty()) throw Failure(err::ObjectRequired, QStringLiteral("Dokument je prázdný"));
        output = pageText(*stylesheet, source);
    });
    skipOnFailure([&] { writeHtmlPage(ctx.file(kHtmlFile), output, stylesheet ? stylesheet->outputEncoding() : QString()); });
    skipOnFailure([&] { QFile::remove(ctx.file(kIntermediateFile)); });
    skipOnFailure([&] { launch(ctx, kHtmlFile); });
}

void xmlPath(const ProgramContext& ctx, xml::Document& presentation, const QString& stylesheetData,
             bool withStylesheet, const xml::Node& element)
{
    skipOnFailure([&] {
        if (withStylesheet) presentation.appendProcessingInstruction(QStringLiteral("xml-stylesheet"), stylesheetData);
    });
    skipOnFailure([&] {
        if (!element) throw Failure(err::ObjectRequired, QStringLiteral("Prvek k zobrazení chybí"));
        presentation.appendNode(element);
    });
    skipOnFailure([&] { presentation.save(ctx.file(kXmlViewFile)); });
    skipOnFailure([&] { launch(ctx, kXmlViewFile); });
}

}  // namespace

ResponsePages::ResponsePages(const ProgramContext& ctx) : stylesheet_(xml::Stylesheet::compile(ctx.file(kStylesheetFile)))
{
    if (!stylesheet_)
        throw Failure(err::FileNotFound, QStringLiteral("Šablonu stylu nelze načíst: ") + ctx.file(kStylesheetFile));
}

ResponsePages::~ResponsePages() = default;

void ResponsePages::write(const xml::Document& response, const QString& page) const
{
    // The same presentation document as the main window's: the declaration and the whole response.
    xml::Document presentation;
    presentation.appendProcessingInstruction(QStringLiteral("xml"), kDeclarationData);
    presentation.appendNode(response.root());
    writeHtmlPage(page, pageText(*stylesheet_, presentation), stylesheet_->outputEncoding());
}

void ZobrazOdpoved(const ProgramContext& ctx, HtmlCheck chkHTML)
{
    xml::Document response;
    xml::Document presentation;
    try {
        response.load(ctx.file(kResponseFile));
        presentation.appendProcessingInstruction(QStringLiteral("xml"), kDeclarationData);
    } catch (const std::exception& e) {
        reportFailure(ctx, e);
        return;
    }
    xml::Node element;
    skipOnFailure([&] { element = response.root(); });
    const QString stylesheetData = QStringLiteral("type='text/xsl' href='ZORVA_VDJ1B.xsl'");
    if (chkHTML == HtmlCheck::Checked) htmlPath(ctx, presentation, response, element);
    else xmlPath(ctx, presentation, stylesheetData, true, element);
}

void ZobrazEditor(const ProgramContext& ctx, const xml::Document& xmlDOM, HtmlCheck chkHTML)
{
    xml::Document source;
    xml::Document presentation;
    try {
        xmlDOM.save(ctx.file(kResponseFile));
        source.load(ctx.file(kResponseFile));
        presentation.appendProcessingInstruction(QStringLiteral("xml"), kDeclarationData);
    } catch (const std::exception& e) {
        reportFailure(ctx, e);
        return;
    }
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
