#include "editor/PlanCommand.h"

#include <QFile>
#include <QScopeGuard>

#include "common/CommandArguments.h"
#include "common/UserText.h"
#include "editor/CategoryNames.h"
#include "editor/EditorSession.h"
#include "editor/HeadlessMessages.h"
#include "editor/PlanReport.h"
#include "editor/WriteBack.h"

namespace zorva::editor {

namespace {

struct Options {
    QString input, category, min, max;
    bool givenMin = false, givenMax = false, csv = false;
};

Options parse(const QStringList& args)
{
    Options o;
    CommandArguments a(args);
    while (a.next()) {
        if (a.is("--plan")) o.input = a.value();
        else if (a.is("--category")) o.category = a.value();
        else if (a.is("--min")) o.min = a.value(), o.givenMin = true;
        else if (a.is("--max")) o.max = a.value(), o.givenMax = true;
        else if (a.is("--csv")) o.csv = true;
        else a.unknown();
    }
    if (o.input.isEmpty()) throw BadInput(QStringLiteral("Chybí vstupní soubor."));
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

int planCommand(const QStringList& arguments, const ProgramContext& baseCtx, const PlanStreams& streams)
{
    try {
        const Options o = parse(arguments);
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

        CollectingMessages messages;
        ProgramContext ctx = baseCtx;
        ctx.messages = &messages;
        QString databasePath;
        auto removeDatabase = qScopeGuard([&] {
            if (!databasePath.isEmpty()) QFile::remove(databasePath);
        });
        PlanInput input;
        QString typeText;
        bool withA = false, withB = false;
        {
            EditorSession session(ctx, set);
            session.xmlDOM = doc;
            session.Startuj();
            databasePath = session.workingDatabasePath();
            if (!messages.shown.isEmpty() || !session.recordset())
                throw BadInput(
                    QStringLiteral("Odpověď nelze načíst: %1").arg(messages.shown.join(QStringLiteral("; "))));
            typeText = session.header(QStringLiteral("txtVARPICH"));
            withA = session.bPICHROKA;
            withB = session.bPICHROKB;
            input = readPlanInput(*session.recordset(), set, ecoType(typeText));
        }
        if (!withA && !withB) throw BadInput(QStringLiteral("Odpověď nemá roční intenzitu PICHROKA ani PICHROKB."));
        if (!o.givenMin && !o.givenMax) {
            source = kLimitsFromSettings;
            if (const std::optional<int> type = calculationType(typeText)) {
                QString problem;
                limits = settingsLimits(ctx.settingsFile(), *type, &problem);
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
    } catch (const BadInput& e) {
        streams.error(e.message);
        return 2;
    } catch (const std::exception& e) {
        streams.error(userText(e));
        return 2;
    }
}

}  // namespace zorva::editor
