#include "DemoRules.h"

#include <QHash>

namespace zorva::service {

namespace {

struct Rule {
    double koef;
    const char* firstGeneration;  // for the categories of 2006
};

// Cattle over 24 months 1.0, 6-24 months 0.6, under 6 months 0.3; sheep and goats over 12 months
// 0.15, younger ones 0.05; horses from 3 years 1.0, younger ones 0.6. Organic herds count alike.
const QHash<QString, Rule>& rules()
{
    static const QHash<QString, Rule> table = {
        {QStringLiteral("SKOTDO6"), {0.3, "SKOTML"}},
        {QStringLiteral("SKOTOD6DO24"), {0.6, "SKOTML"}},
        {QStringLiteral("SKOTOD24"), {1.0, "SKOTST"}},
        {QStringLiteral("OVCEDO12"), {0.05, "OVCE"}},
        {QStringLiteral("OVCEOD12"), {0.15, "OVCE"}},
        {QStringLiteral("KOZYDO12"), {0.05, "KOZA"}},
        {QStringLiteral("KOZYOD12"), {0.15, "KOZA"}},
        {QStringLiteral("KUNDO3"), {0.6, "KUNML"}},
        {QStringLiteral("KUNOD3"), {1.0, "KUNST"}},
        {QStringLiteral("EKOSKOTDO6"), {0.3, "EKOSKOTML"}},
        {QStringLiteral("EKOSKOTOD6DO24"), {0.6, "EKOSKOTML"}},
        {QStringLiteral("EKOSKOTOD24"), {1.0, "EKOSKOTST"}},
        {QStringLiteral("EKOOVCEDO12"), {0.05, "EKOOVCE"}},
        {QStringLiteral("EKOOVCEOD12"), {0.15, "EKOOVCE"}},
        {QStringLiteral("EKOKOZYDO12"), {0.05, "EKOKOZA"}},
        {QStringLiteral("EKOKOZYOD12"), {0.15, "EKOKOZA"}},
        // The first generation knows younger and older cattle and horses, and one class of sheep
        // and of goats, counted as the adult ones.
        {QStringLiteral("SKOTML"), {0.6, nullptr}},
        {QStringLiteral("SKOTST"), {1.0, nullptr}},
        {QStringLiteral("EKOSKOTML"), {0.6, nullptr}},
        {QStringLiteral("EKOSKOTST"), {1.0, nullptr}},
        {QStringLiteral("KOZA"), {0.15, nullptr}},
        {QStringLiteral("EKOKOZA"), {0.15, nullptr}},
        {QStringLiteral("OVCE"), {0.15, nullptr}},
        {QStringLiteral("EKOOVCE"), {0.15, nullptr}},
        {QStringLiteral("KUNML"), {0.6, nullptr}},
        {QStringLiteral("KUNST"), {1.0, nullptr}},
    };
    return table;
}

}  // namespace

double coefficient(const QString& category)
{
    const auto it = rules().constFind(category);
    return it == rules().cend() ? 0.0 : it->koef;
}

QString firstGenerationCategory(const QString& category2006)
{
    const auto it = rules().constFind(category2006);
    if (it == rules().cend() || !it->firstGeneration) return QString();
    return QString::fromLatin1(it->firstGeneration);
}

QMap<QString, int> countsFor(const editor::CategorySet& set, const QMap<QString, int>& herd2006)
{
    QMap<QString, int> counts;
    for (const auto& c : set.categories) counts[c.name] = 0;
    const bool first = set.id == editor::CategorySet::first().id;
    for (auto it = herd2006.cbegin(); it != herd2006.cend(); ++it) {
        const QString name = first ? firstGenerationCategory(it.key()) : it.key();
        if (counts.contains(name)) counts[name] += it.value();
    }
    return counts;
}

std::vector<QDate> validityDates(int type, const QDate& date, int year)
{
    if (type >= 1 && type <= 3) return {date};
    std::vector<QDate> dates;
    for (int month = 1; month <= 12; ++month) dates.emplace_back(year, month, 1);
    return dates;
}

}  // namespace zorva::service
