#include <gtest/gtest.h>

#include <QFile>

#include "ResponseBuilder.h"
#include "common/NumberText.h"
#include "editor/CategoryNames.h"
#include "editor/EditorSession.h"
#include "editor/Plan.h"
#include "editor/Recompute.h"
#include "editor/WriteBack.h"
#include "platform/XmlDocument.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::editor;
using namespace zorva::test;

namespace {

struct Row {
    QString date, acreage;
    std::map<QString, std::pair<QString, QString>> categories;  // name: count, coefficient
};

struct PlanCase {
    const char* name;
    const CategorySet& set;
    QString type;
    bool withA, withB;
    std::vector<Row> rows;
    Limits limits;
    QString category;  // empty: the one with the most units
    // What the first figure checked (A where the answer holds it) comes to.
    Verdict verdict;
    bool byHeads, byLand;
};

const CategorySet& first = CategorySet::first();
const CategorySet& newer = CategorySet::gen2006();

std::vector<PlanCase> cases()
{
    return {
        {"FirstType4BelowBothWays",
         first,
         "4",
         true,
         true,
         {{"2005-01-01", "48.37", {{"SKOTST", {"10", "1"}}, {"OVCE", {"20", "0.15"}}, {"KUNML", {"1", "0.6"}}}},
          {"2005-02-01", "40", {{"SKOTST", {"12", "1"}}, {"OVCE", {"0", "0.15"}}, {"KUNML", {"1", "0.6"}}}}},
         {0.5, 1.5},
         "",
         Verdict::Below,
         true,
         true},
        {"FirstType2SingleDateAboveRemovesHead",
         first,
         "2",
         true,
         true,
         {{"2005-05-01", "10", {{"SKOTML", {"30", "0.6"}}, {"KOZA", {"7", "0.15"}}, {"EKOOVCE", {"90", "0.15"}}}}},
         {std::nullopt, 1.2},
         "SKOTML",
         Verdict::Above,
         true,
         true},
        {"Eco2006Type5RemovingEmptiesARow",
         newer,
         "5",
         true,
         true,
         {{"2006-01-01", "5", {{"EKOSKOTOD24", {"2", "1"}}, {"SKOTOD24", {"80", "1"}}}},
          {"2006-01-02", "5", {{"EKOSKOTOD24", {"50", "1"}}, {"SKOTOD24", {"80", "1"}}}}},
         {0.1, 2.0},
         "",
         Verdict::Above,
         true,
         true},
        {"Type6RowWithoutLandKeepsNone",
         newer,
         "6",
         true,
         true,
         {{"2006-01-01", "0", {{"SKOTOD24", {"3", "1"}}}}, {"2006-02-01", "20", {{"SKOTOD24", {"3", "1"}}}}},
         {0.4, 3.0},
         "",
         Verdict::Below,
         true,
         true},
        {"Type1OnlyUpperLimitWithin",
         newer,
         "1",
         true,
         true,
         {{"2006-03-01", "30", {{"EKOOVCEOD12", {"40", "0.15"}}, {"KUNOD3", {"2", "1"}}}}},
         {std::nullopt, 1.0},
         "",
         Verdict::Within,
         true,
         true},
        {"FigureExactlyOnTheLowerLimit",
         first,
         "4",
         true,
         false,
         {{"2005-01-01", "10", {{"SKOTST", {"8", "1"}}}}},
         {0.8, std::nullopt},
         "",
         Verdict::Within,
         true,
         true},
        {"VariantBHorsesCannotHelp",
         first,
         "4",
         false,
         true,
         {{"2005-01-01", "10", {{"SKOTST", {"30", "1"}}, {"KUNST", {"5", "1"}}}}},
         {std::nullopt, 2.0},
         "KUNST",
         Verdict::Above,
         false,
         true},
        {"NoWholeNumberMeetsANarrowLimit",
         first,
         "4",
         true,
         false,
         {{"2005-01-01", "1", {{"SKOTST", {"1", "1"}}}}},
         {1.5, 1.5},
         "",
         Verdict::Below,
         false,
         false},
    };
}

class Plans : public testing::TestWithParam<PlanCase> {
protected:
    QByteArray response(const std::vector<Row>& rows, const std::map<QString, QString>& changes = {}) const
    {
        const PlanCase& c = GetParam();
        ResponseShape shape;
        shape.type = c.type;
        if (!c.withA) shape.pichRokA.reset();
        if (!c.withB) shape.pichRokB.reset();
        for (const Row& r : rows) {
            RowValues v;
            v.date = r.date;
            v.acreage = changes.count(r.date + "|A") ? changes.at(r.date + "|A") : r.acreage;
            for (const auto& [name, value] : r.categories)
                v.categories[name] = {value.first, QStringLiteral("0"), value.second};
            shape.rows.push_back(v);
        }
        return buildResponse(shape);
    }
    PlanInput input(const QByteArray& bytes)
    {
        const PlanCase& c = GetParam();
        PlanInput in;
        QString database;
        {
            EditorSession session(program.ctx, c.set);
            session.xmlDOM = std::make_shared<xml::Document>();
            session.xmlDOM->loadXml(bytes);
            session.Startuj();
            in = readPlanInput(*session.recordset(), c.set, ecoType(c.type));
            database = session.workingDatabasePath();
        }
        QFile::remove(database);
        return in;
    }
    // The yearly text as the recompute computes it, with the given edits typed into every row.
    QString recomputed(Figure figure, const QStringList& edits)
    {
        program.write(QStringLiteral("in.xml"), response(GetParam().rows));
        QStringList args = {"--recompute", program.path("in.xml")};
        for (const QString& e : edits) args << "--set" << e;
        QByteArray out;
        QStringList errors;
        EXPECT_EQ(recompute(args, program.ctx,
                            {[&](const QByteArray& b) { out += b; }, [&](const QString& e) { errors << e; }}),
                  0)
            << errors.join("\n").toStdString();
        xml::Document doc;
        doc.loadXml(out);
        return doc.selectSingle(QStringLiteral("//RUX:") + figureName(figure)).text();
    }
    bool withinAfter(Figure figure, const QStringList& edits)
    {
        return verdictOf(leadingNumber(recomputed(figure, edits)), GetParam().limits) == Verdict::Within;
    }
    QStringList heads(const PlanInput& in, int category, int k) const
    {
        QStringList edits;
        for (const PlanRow& r : in.rows)
            edits << r.date + ":" + in.set->categories[std::size_t(category)].countColumn() + "=" +
                         generalText(std::max(0.0, r.categories[std::size_t(category)].count + k));
        return edits;
    }
    QStringList land(const PlanInput& in, long long steps) const
    {
        QStringList edits;
        for (const PlanRow& r : in.rows)
            if (r.acreage > 0) edits << r.date + ":SUMAVYMERADPB=" + generalText(changedAcreage(r.acreage, steps));
        return edits;
    }

    TestProgram program;
};

// Every plan, applied through the real recompute, brings the figure within; one head or one step
// less does not. Within, the reserves are exact the same way.
TEST_P(Plans, AgreeWithTheRecompute)
{
    const PlanCase& c = GetParam();
    const PlanInput in = input(response(c.rows));
    std::optional<int> category;
    if (!c.category.isEmpty()) category = int(findCategory(c.set, c.category) - c.set.categories.data());
    bool firstFigure = true;
    for (const Figure figure : {Figure::A, Figure::B}) {
        if (!(figure == Figure::A ? c.withA : c.withB)) continue;
        SCOPED_TRACE(figureName(figure).toStdString());
        const FigurePlan plan = planFigure(in, figure, c.limits, category);
        ASSERT_TRUE(plan.value);
        EXPECT_EQ(plan.value->text, recomputed(figure, {}));
        if (firstFigure) {
            EXPECT_EQ(plan.verdict, c.verdict);
            if (c.verdict != Verdict::Within) {
                EXPECT_EQ(plan.headChange.has_value(), c.byHeads);
                EXPECT_EQ(plan.acreageChange.has_value(), c.byLand);
            }
        }
        firstFigure = false;
        if (plan.verdict == Verdict::Within) {
            EXPECT_GE(plan.margin, 0);
            EXPECT_TRUE(withinAfter(figure, heads(in, plan.category, *plan.canAdd)));
            EXPECT_TRUE(withinAfter(figure, heads(in, plan.category, -*plan.canRemove)));
            if (c.limits.max && *plan.canAdd < kMaxCount - 100) {
                EXPECT_FALSE(withinAfter(figure, heads(in, plan.category, *plan.canAdd + 1)));
            }
            if (c.limits.min && *plan.canRemove > 0) {
                EXPECT_FALSE(withinAfter(figure, heads(in, plan.category, -*plan.canRemove - 1)));
            }
            continue;
        }
        EXPECT_LT(plan.margin, 0);
        if (plan.headChange) {
            const int k = *plan.headChange;
            EXPECT_TRUE(withinAfter(figure, heads(in, plan.category, k)));
            EXPECT_FALSE(withinAfter(figure, heads(in, plan.category, k > 0 ? k - 1 : k + 1)));
        }
        if (plan.acreageChange) {
            const long long steps = std::llround(*plan.acreageChange * 100);
            EXPECT_TRUE(withinAfter(figure, land(in, steps)));
            EXPECT_FALSE(withinAfter(figure, land(in, steps > 0 ? steps - 1 : steps + 1)));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Plans, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<PlanCase>& i) { return std::string(i.param.name); });

TEST(PlanTimeline, CountsTheRowsOutsideAndNamesTheFirstInTime)
{
    PlanInput in{&CategorySet::first(), false, {}};
    const CategoryInput none;
    auto row = [&](const char* date, double acreage, double cattle) {
        PlanRow r{date, acreage, std::vector<CategoryInput>(in.set->categories.size(), none)};
        r.categories[1] = {1.0, cattle};  // SKOTST
        in.rows.push_back(r);
    };
    row("2005-03-01", 10, 2), row("2005-01-01", 10, 9), row("2005-02-01", 10, 1), row("2005-04-01", 0, 9);
    const FigurePlan plan = planFigure(in, Figure::A, {0.5, 0.8});
    EXPECT_EQ(plan.rowsOutside, 4);  // 0.2, 0.9, 0.1, and the row without land at 0
    EXPECT_EQ(plan.firstDateOutside, QStringLiteral("2005-01-01"));
    EXPECT_EQ(plan.category, 1);
}

}  // namespace

namespace {

// A farm without animals: the plan takes the first counted category the service gave a coefficient.
TEST(PlanCategory, WithoutUnitsTheFirstCategoryWithACoefficient)
{
    PlanInput in{&CategorySet::first(), false, {}};
    PlanRow r{"2005-01-01", 10, std::vector<CategoryInput>(in.set->categories.size())};
    r.categories[4] = {0.15, 0};  // KOZA
    in.rows.push_back(r);
    EXPECT_EQ(largestCategory(in, Figure::A), 4);
    const FigurePlan plan = planFigure(in, Figure::A, {0.3, std::nullopt});
    EXPECT_EQ(plan.headChange, 20);  // 20 goats of 0.15 on 10 ha
}

}  // namespace
