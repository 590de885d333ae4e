#include "editor/PlanCommand.h"

#include "editor/CategoryNames.h"
#include "editor/EditorSession.h"
#include "editor/HeadlessSession.h"
#include "editor/PlanReport.h"
#include "editor/WriteBack.h"

namespace zorva::editor {

namespace {

struct Options {
    QString input, category, min, max;
    bool givenMin = false, givenMax = false, csv = false;
};

Options read(const CommandOptions& args)
{
    Options o;
    o.input = args.required("--plan", QStringLiteral("Chybí vstupní soubor."));
    o.category = args.value("--category");
    o.givenMin = args.has("--min");
    o.min = args.value("--min");
    o.givenMax = args.has("--max");
    o.max = args.value("--max");
    o.csv = args.has("--csv");
    return o;
}

Limits givenLimits(const Options& o)
{
    Limits limits;
    if (!readLimit(o.min, limits.min)) throw BadInput(QStringLiteral("Dolní limit „%1“ není číslo.").arg(o.min));
    if (!readLimit(o.max, limits.max)) throw BadInput(QStringLiteral("Horní limit „%1“ není číslo.").arg(o.max));
    return limits;
}

}  // namespace

const char* PlanCommand::option() const
{
    return "--plan";
}

QString PlanCommand::usage() const
{
    return QStringLiteral(
        "VSTUP.xml [--min X] [--max Y] [--category KATEGORIE] [--csv]\n"
        "      posoudí PICH odpovědi podle limitů typu výpočtu (z nastavení, nebo --min a --max) a navrhne změnu\n"
        "      počtu kusů nebo výměry; kód 0 v limitu, 1 mimo limit, 2 chybný vstup");
}

std::span<const OptionShape> PlanCommand::options() const
{
    static constexpr OptionShape shapes[] = {{"--plan"}, {"--category"}, {"--min"}, {"--max"}, {"--csv", false}};
    return shapes;
}

int PlanCommand::run(const CommandOptions& args, const ProgramContext& baseCtx, const CommandStreams& streams) const
{
    const Options o = read(args);
    Limits limits;
    QString source = kLimitsGiven;
    if (o.givenMin || o.givenMax) limits = givenLimits(o);
    if (limits.min && limits.max && *limits.min > *limits.max)
        throw BadInput(QStringLiteral("Dolní limit %1 je vyšší než horní %2.").arg(o.min, o.max));

    auto doc = std::make_shared<xml::Document>();
    if (!doc->load(o.input)) throw BadInput(xml::fileLoadFailureText(o.input, doc->loadFailure()));
    const CategorySet& set = CategorySet::forResponse(*doc, QString());
    const Category* chosen = nullptr;
    if (!o.category.isEmpty() && !(chosen = findCategory(set, o.category)))
        throw BadInput(
            QStringLiteral("Kategorie „%1“ v odpovědi není (kategorie %2).").arg(o.category, set.windowName));

    PlanInput input;
    QString typeText;
    bool withA = false, withB = false;
    {
        HeadlessSession headless(baseCtx, set, doc);
        headless.requireLoaded();
        EditorSession& session = headless.session();
        typeText = session.header(QStringLiteral("txtVARPICH"));
        withA = session.bPICHROKA;
        withB = session.bPICHROKB;
        input = session.rowInputs();
    }
    if (!withA && !withB) throw BadInput(QStringLiteral("Odpověď nemá roční intenzitu PICHROKA ani PICHROKB."));
    if (!o.givenMin && !o.givenMax) {
        source = kLimitsFromSettings;
        if (const std::optional<int> type = calculationType(typeText)) {
            QString problem;
            limits = settingsLimits(baseCtx.settingsFile(), *type, &problem);
            if (!problem.isEmpty()) throw BadInput(problem);
        }
    }

    const PlanWording wording{set, limits, source, int(input.rows.size())};
    QStringList lines;
    if (o.csv) lines << kPlanCsvHeader;
    bool outside = false;
    for (const Figure figure : {Figure::A, Figure::B}) {
        if (!(figure == Figure::A ? withA : withB)) continue;
        std::optional<int> category;
        if (chosen) category = int(chosen - set.categories.data());
        const FigurePlan plan = planFigure(input, figure, limits, category);
        outside = outside || (plan.value && plan.verdict != Verdict::Within);
        lines << (o.csv ? planCsvLine(plan, wording) : planSentence(plan, wording));
    }
    streams.out((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return outside ? 1 : 0;
}

int planCommand(const QStringList& arguments, const ProgramContext& ctx, const PlanStreams& streams)
{
    return runCommand(PlanCommand(), arguments, ctx, streams);
}

}  // namespace zorva::editor
