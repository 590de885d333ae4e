#pragma once
#include <memory>

#include "common/ProgramContext.h"
#include "platform/XmlDocument.h"

namespace zorva::xml {
class Stylesheet;
}

namespace zorva {
class Failure;
}

namespace zorva::presentation {

// The state of an "HTML" check box: only Checked takes the HTML path; unchecked and greyed both
// save the XML that names the stylesheet.
enum class HtmlCheck {
    Unchecked = 0,
    Checked = 1,
    Grayed = 2
};

// The files of the rendering, in the program folder.
inline const QString kResponseFile = QStringLiteral("\\ZORVA_VDJ1B_response.xml");
inline const QString kIntermediateFile = QStringLiteral("\\ZORVA_VDJ1B_response_.xml");
inline const QString kStylesheetFile = QStringLiteral("\\ZORVA_VDJ1B.xsl");
inline const QString kHtmlFile = QStringLiteral("\\ZORVA_VDJ1B_response.htm");
inline const QString kXmlViewFile = QStringLiteral("\\ZORVA_VDJ1B_response_XSL.xml");

// The main window's rendering of the stored response: the whole document, always with the local
// stylesheet.
void ZobrazOdpoved(const ProgramContext& ctx, HtmlCheck chkHTML);

// The report's style sheet as the stylesheet beside the program defines it, for the program's other
// pages to look like the report; empty when that stylesheet cannot be read.
QString reportStyle(const ProgramContext& ctx);

// Why a page could not be made, as one Czech sentence: the window and the headless rendering say
// it alike. The stylesheet processor's own (English) reason goes to the detail log. Given the page
// the user named, a page that cannot be written is told by that name.
QString pageProblem(const Failure& failure, const QString& page = QString());

// An editor's rendering: its document is first stored over the response file, then only the
// kLIM:Response part is shown, with the stylesheet that the response names.
void ZobrazEditor(const ProgramContext& ctx, const xml::Document& xmlDOM, HtmlCheck chkHTML);

enum class RenderAs {
    Html,
    Xml
};

// The main window's rendering of a response document written to `path`, without the files beside
// the program and without opening it: the HTML page byte for byte as the window writes it, or the XML
// that names the stylesheet. Raises a Failure with a Czech text when the document is empty, the
// stylesheet is missing or broken, the transformation fails or the file cannot be written; a page
// is then not written at all.
void renderResponseTo(const ProgramContext& ctx, const xml::Document& response, const QString& path, RenderAs as);
// The same for a caller done with the response: its tree is freed before the page's trees are built,
// which at thousands of rows is a quarter of the peak memory.
void renderResponseTo(const ProgramContext& ctx, xml::Document&& response, const QString& path, RenderAs as);

// The main window's HTML page of responses, for writing many pages to paths of the caller's choice
// without opening them: the stylesheet beside the program is compiled once.
class ResponsePages {
public:
    // Raises a Failure when the stylesheet is missing or unusable.
    explicit ResponsePages(const ProgramContext& ctx);
    ~ResponsePages();
    // Writes the page of the whole response to `page`, replacing it atomically; raises a Failure when
    // the transformation or the writing fails.
    void write(const xml::Document& response, const QString& page) const;
    // The same, freeing the response before the page's trees are built.
    void write(xml::Document&& response, const QString& page) const;

private:
    void writeFrom(QByteArray presentation, const QString& page) const;

    std::unique_ptr<xml::Stylesheet> stylesheet_;
};

}  // namespace zorva::presentation
