#include "presentation/RenderCommand.h"

#include "common/CommandArguments.h"
#include "common/Failure.h"
#include "common/UserText.h"
#include "platform/XmlDocument.h"
#include "presentation/Rendering.h"

namespace zorva::presentation {

namespace {

struct Options {
    QString input, output;
    RenderAs as = RenderAs::Html;
};

Options parse(const QStringList& args)
{
    Options o;
    CommandArguments a(args);
    while (a.next()) {
        if (a.is("--render")) o.input = a.value();
        else if (a.is("--out")) o.output = a.value();
        else if (a.is("--xml")) o.as = RenderAs::Xml;
        else a.unknown();
    }
    if (o.input.isEmpty()) throw BadInput(QStringLiteral("Chybí vstupní soubor."));
    if (o.output.isEmpty()) throw BadInput(QStringLiteral("Chybí výstupní soubor (--out)."));
    return o;
}

// The libraries' own texts (file system, XSLT processor) are English; the message names the cause.
QString reason(const Failure& f, const QString& output)
{
    switch (f.number()) {
        case err::PathFileAccess:
        case err::PathNotFound:
        case err::PermissionDenied:
            return QStringLiteral("soubor \"%1\" nelze zapsat.").arg(output);
        case err::XmlSelection:
            return QStringLiteral("transformaci šablonou ZORVA_VDJ1B.xsl nelze provést.");
        default: {
            const QString text = f.description();
            return text.endsWith(QLatin1Char('.')) ? text : text + QLatin1Char('.');
        }
    }
}

}  // namespace

int render(const QStringList& arguments, const ProgramContext& ctx, const RenderStreams& streams)
{
    try {
        const Options o = parse(arguments);
        xml::Document response;
        if (!response.load(o.input)) throw BadInput(xml::fileLoadFailureText(o.input, response.loadFailure()));
        try {
            renderResponseTo(ctx, response, o.output, o.as);
        } catch (const Failure& f) {
            throw BadInput(QStringLiteral("Sestavu nelze vytvořit: %1").arg(reason(f, o.output)));
        }
        return 0;
    } catch (const BadInput& e) {
        streams.error(e.message);
        return 2;
    } catch (const std::exception& e) {
        streams.error(QStringLiteral("Sestavu nelze vytvořit: ") + userText(e));
        return 2;
    }
}

}  // namespace zorva::presentation
