#include "presentation/RenderCommand.h"

#include "common/Failure.h"
#include "common/UserText.h"
#include "platform/XmlDocument.h"
#include "presentation/Rendering.h"

namespace zorva::presentation {

const char* RenderCommand::option() const
{
    return "--render";
}

QString RenderCommand::usage() const
{
    return QStringLiteral(
        "VSTUP.xml [--xml] --out VÝSTUP.htm\n"
        "      uloží sestavu odpovědi (stránku HTML, s --xml dokument XML se šablonou) jako okno "
        "programu");
}

std::span<const OptionShape> RenderCommand::options() const
{
    static constexpr OptionShape shapes[] = {{"--render"}, {"--out"}, {"--xml", false}};
    return shapes;
}

int RenderCommand::run(const CommandOptions& args, const ProgramContext& ctx, const CommandStreams&) const
{
    const QString input = args.required("--render", QStringLiteral("Chybí vstupní soubor."));
    const QString output = args.required("--out", QStringLiteral("Chybí výstupní soubor (--out)."));
    const RenderAs as = args.has("--xml") ? RenderAs::Xml : RenderAs::Html;
    xml::Document response;
    if (!response.load(input)) throw BadInput(xml::fileLoadFailureText(input, response.loadFailure()));
    try {
        renderResponseTo(ctx, response, output, as);
    } catch (const Failure& f) {
        throw BadInput(QStringLiteral("Sestavu nelze vytvořit: %1").arg(pageProblem(f, output)));
    } catch (const std::exception& e) {
        throw BadInput(QStringLiteral("Sestavu nelze vytvořit: ") + userText(e));
    }
    return 0;
}

int render(const QStringList& arguments, const ProgramContext& ctx, const RenderStreams& streams)
{
    return runCommand(RenderCommand(), arguments, ctx, {nullptr, streams.error});
}

}  // namespace zorva::presentation
