#include "editor/Recompute.h"

#include "common/Failure.h"
#include "editor/EditableFields.h"
#include "editor/EditorSession.h"
#include "editor/HeadlessSession.h"

namespace zorva::editor {

namespace {

struct Edit {
    QString date, column, value;
};

struct Options {
    QString input, output, generation;
    std::vector<Edit> edits;
};

Options read(const CommandOptions& args)
{
    Options o;
    o.input = args.required("--recompute", QStringLiteral("Chybí vstupní soubor."));
    o.output = args.value("--out");
    o.generation = args.value("--generation");
    for (const QString& v : args.values("--set")) {
        const qsizetype colon = v.indexOf(QLatin1Char(':'));
        const qsizetype eq = v.indexOf(QLatin1Char('='), colon + 1);
        if (colon <= 0 || eq < 0 || eq == colon + 1)
            throw BadInput(QStringLiteral("Chybná změna \"%1\": očekávám DATUM:SLOUPEC=HODNOTA.").arg(v));
        o.edits.push_back({v.left(colon), v.mid(colon + 1, eq - colon - 1), v.mid(eq + 1)});
    }
    if (!o.generation.isEmpty() && o.generation != QLatin1String("first") && o.generation != QLatin1String("2006"))
        throw BadInput(QStringLiteral("Generace musí být first nebo 2006, ne \"%1\".").arg(o.generation));
    return o;
}

}  // namespace

const char* RecomputeCommand::option() const
{
    return "--recompute";
}

QString RecomputeCommand::usage() const
{
    return QStringLiteral(
        "VSTUP.xml [--generation first|2006] [--set DATUM:SLOUPEC=HODNOTA]... [--out VÝSTUP.xml]\n"
        "      přepočítá VDJ a PICH odpovědi bez okna a uloží dokument");
}

std::span<const OptionShape> RecomputeCommand::options() const
{
    static constexpr OptionShape shapes[] = {{"--recompute"}, {"--out"}, {"--generation"}, {"--set"}};
    return shapes;
}

int RecomputeCommand::run(const CommandOptions& args, const ProgramContext& baseCtx,
                          const CommandStreams& streams) const
{
    const Options o = read(args);
    auto doc = std::make_shared<xml::Document>();
    if (!doc->load(o.input)) throw BadInput(xml::fileLoadFailureText(o.input, doc->loadFailure()));

    const CategorySet& set = o.generation == QLatin1String("2006")    ? CategorySet::gen2006()
                             : o.generation == QLatin1String("first") ? CategorySet::first()
                                                                      : CategorySet::forResponse(*doc, QString());
    {
        HeadlessSession headless(baseCtx, set, doc);
        headless.requireLoaded();
        EditorSession& session = headless.session();
        for (const Edit& e : o.edits) {
            if (!isEditableColumn(set, e.column))
                throw BadInput(QStringLiteral("Sloupec \"%1\" nelze měnit (jen SUMAVYMERADPB a počty kategorií %2; "
                                              "koeficienty jsou údaje služby).")
                                   .arg(e.column, set.windowName));
            if (e.column != QLatin1String("SUMAVYMERADPB") && !isCountText(e.value))
                throw BadInput(
                    QStringLiteral("Hodnotu \"%1\" nelze uložit do %2: %3").arg(e.value, e.column, kCountRule));
            int found = 0;
            try {
                found = session.setOnDate(e.date, e.column, e.value);
            } catch (const Failure& f) {
                throw BadInput(
                    QStringLiteral("Hodnotu \"%1\" nelze uložit do %2: %3").arg(e.value, e.column, f.text()));
            }
            if (found == 0) throw BadInput(QStringLiteral("Žádný řádek nemá datum \"%1\".").arg(e.date));
        }
        session.Pocitej();
        const QStringList notTaken = describeAll(session.valuesNotTaken());
        if (!notTaken.isEmpty()) streams.error(notTaken.join(QLatin1Char('\n')));
    }
    if (o.output.isEmpty()) {
        streams.out(doc->toBytes());
    } else {
        try {
            doc->save(o.output);
        } catch (const Failure& f) {
            throw BadInput(QStringLiteral("Výsledek nelze uložit do \"%1\": %2").arg(o.output, f.text()));
        }
    }
    return 0;
}

int recompute(const QStringList& arguments, const ProgramContext& ctx, const RecomputeStreams& streams)
{
    return runCommand(RecomputeCommand(), arguments, ctx, streams);
}

}  // namespace zorva::editor
