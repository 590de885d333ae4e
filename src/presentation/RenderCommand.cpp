#include "presentation/RenderCommand.h"

#include <QTemporaryDir>

#include "common/Failure.h"
#include "common/UserText.h"
#include "platform/XmlDocument.h"
#include "presentation/PdfPrinter.h"
#include "presentation/Rendering.h"

namespace zorva::presentation {

namespace {

// `named`: the file as the user named it, for a page that cannot be written there.
void renderOrRefuse(const ProgramContext& ctx, xml::Document&& response, const QString& path, RenderAs as,
                    const QString& named)
{
    try {
        renderResponseTo(ctx, std::move(response), path, as);
    } catch (const Failure& f) {
        throw BadInput(QStringLiteral("Sestavu nelze vytvořit: %1").arg(pageProblem(f, named)));
    } catch (const std::exception& e) {
        throw BadInput(QStringLiteral("Sestavu nelze vytvořit: ") + userText(e));
    }
}

// The page that --render writes, made the same way into a folder that only this run knows and
// printed from there; the folder goes with the run, so the PDF is all that stays.
void printPdf(const ProgramContext& ctx, xml::Document&& response, const QString& output)
{
    const QTemporaryDir folder;
    if (!folder.isValid()) throw BadInput(QStringLiteral("Sestavu nelze vytvořit: dočasnou složku nelze založit."));
    const QString page = folder.filePath(QStringLiteral("sestava.htm"));
    renderOrRefuse(ctx, std::move(response), page, RenderAs::Html, QString());
    try {
        makePdfNow(page, output);
    } catch (const Failure& f) {
        throw BadInput(QStringLiteral("PDF nelze vytvořit: %1").arg(f.description()));
    }
}

}  // namespace

const char* RenderCommand::option() const
{
    return "--render";
}

QString RenderCommand::usage() const
{
    return QStringLiteral(
        "VSTUP.xml [--xml | --pdf] --out VÝSTUP\n"
        "      uloží sestavu odpovědi jako okno programu: stránku HTML, s --xml dokument XML se šablonou,\n"
        "      s --pdf tutéž stránku v PDF (A4 na šířku)");
}

std::span<const OptionShape> RenderCommand::options() const
{
    static constexpr OptionShape shapes[] = {{"--render"}, {"--out"}, {"--xml", false}, {"--pdf", false}};
    return shapes;
}

int RenderCommand::run(const CommandOptions& args, const ProgramContext& ctx, const CommandStreams&) const
{
    const QString input = args.required("--render", QStringLiteral("Chybí vstupní soubor."));
    const bool pdf = args.has("--pdf");
    if (pdf && args.has("--xml")) throw BadInput(QStringLiteral("Volby --pdf a --xml nelze použít zároveň."));
    // A PDF is binary: it never goes to the terminal.
    const QString output =
        args.required("--out", pdf ? QStringLiteral("Chybí výstupní soubor PDF (--out); PDF se na standardní "
                                                    "výstup nevypisuje.")
                                   : QStringLiteral("Chybí výstupní soubor (--out)."));
    xml::Document response;
    if (!response.load(input)) throw BadInput(xml::fileLoadFailureText(input, response.loadFailure()));
    if (pdf) printPdf(ctx, std::move(response), output);
    else renderOrRefuse(ctx, std::move(response), output, args.has("--xml") ? RenderAs::Xml : RenderAs::Html, output);
    return 0;
}

int render(const QStringList& arguments, const ProgramContext& ctx, const RenderStreams& streams)
{
    return runCommand(RenderCommand(), arguments, ctx, {nullptr, streams.error});
}

}  // namespace zorva::presentation
