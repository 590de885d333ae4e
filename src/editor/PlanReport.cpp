#include "editor/PlanReport.h"

#include <cmath>

#include "common/NumberText.h"
#include "editor/CategoryNames.h"

namespace zorva::editor {

namespace {

const QChar kComma = QLatin1Char(',');

QString hectares(double value)
{
    return fixedText(std::fabs(value), 2, kComma);
}

QString optionalNumber(const std::optional<int>& n)
{
    return n ? QString::number(*n) : QString();
}

}  // namespace

QString limitsText(const Limits& limits)
{
    if (limits.min && limits.max) return limitText(*limits.min) + QStringLiteral("–") + limitText(*limits.max);
    if (limits.min) return QStringLiteral("od ") + limitText(*limits.min);
    return QStringLiteral("do ") + limitText(*limits.max);
}

QString limitText(double value)
{
    const double v = roundTo15Digits(value);
    const double thousandths = roundTo15Digits(v * 1000);
    return thousandths == std::floor(thousandths) ? fixedText(v, 3, kComma) : generalText(v, kComma);
}

QString planSentence(const FigurePlan& plan, const PlanWording& w)
{
    const QString name = figureName(plan.figure);
    if (!plan.value) return QStringLiteral("%1: odpověď nemá žádný den platnosti, není co posoudit.").arg(name);
    const QString value = QStringLiteral("%1 %2 VDJ/ha").arg(name, shownFigure(plan.value->text, kComma));
    if (!w.limits.any()) return QStringLiteral("%1: pro tento typ výpočtu není %2.").arg(value, w.source);

    const QString category = reportName(w.set.categories[std::size_t(plan.category)].name);
    QString text;
    const QString notCounted = QStringLiteral("%1 se do %2 nezapočítává").arg(category, name);
    if (plan.verdict == Verdict::Within) {
        text = QStringLiteral("%1 vyhovuje limitu %2 (%3), rezerva %4.")
                   .arg(value, limitsText(w.limits), w.source, limitText(plan.margin));
        if (plan.categoryCounts)
            text += QStringLiteral(" Lze přidat až %1 ks %2, nebo ubrat až %3 ks.")
                        .arg(*plan.canAdd)
                        .arg(category)
                        .arg(*plan.canRemove);
        else text += QLatin1Char(' ') + notCounted + QLatin1Char('.');
    } else {
        const bool below = plan.verdict == Verdict::Below;
        text = QStringLiteral("%1 je %2 %3 (%4) o %5.")
                   .arg(value, verdictText(plan.verdict), limitText(below ? *w.limits.min : *w.limits.max), w.source,
                        limitText(-plan.margin));
        QStringList ways;
        if (plan.headChange)
            ways << (*plan.headChange > 0 ? QStringLiteral("Přidejte %1 ks %2 ke každému dni platnosti")
                                          : QStringLiteral("Uberte %1 ks %2 v každém dni platnosti"))
                        .arg(std::abs(*plan.headChange))
                        .arg(category);
        else if (!plan.categoryCounts) ways << notCounted;
        else ways << QStringLiteral("Počtem kusů %1 se limitu dosáhnout nedá").arg(category);
        if (plan.acreageChange)
            ways << (*plan.acreageChange < 0 ? QStringLiteral("ubyde-li %1 ha výměry v každém dni platnosti")
                                             : QStringLiteral("přibude-li %1 ha výměry v každém dni platnosti"))
                        .arg(hectares(*plan.acreageChange));
        else ways << QStringLiteral("změnou výměry se limitu dosáhnout nedá");
        text += QLatin1Char(' ') + ways.join(QStringLiteral(", nebo ")) + QLatin1Char('.');
    }
    if (w.rows > 1) {
        if (plan.rowsOutside == 0)
            text += QStringLiteral(" Všechny dny platnosti (%1) jsou v limitu.").arg(rowFigureName(plan.figure));
        else
            text += QStringLiteral(" Mimo limit jsou dny platnosti (%3): %1 z %2, první %4.")
                        .arg(plan.rowsOutside)
                        .arg(w.rows)
                        .arg(rowFigureName(plan.figure), plan.firstDateOutside);
    }
    return text;
}

QString planCsvLine(const FigurePlan& plan, const PlanWording& w)
{
    QStringList f;
    f << figureName(plan.figure) << (plan.value ? shownFigure(plan.value->text, kComma) : QString())
      << (w.limits.min ? limitText(*w.limits.min) : QString()) << (w.limits.max ? limitText(*w.limits.max) : QString());
    const bool judged = plan.value && w.limits.any();
    f << (judged ? verdictText(plan.verdict) : QStringLiteral("bez limitu"))
      << (judged ? limitText(plan.margin) : QString()) << w.set.categories[std::size_t(plan.category)].name;
    if (judged) {
        f << optionalNumber(plan.headChange)
          << (plan.acreageChange
                  ? (*plan.acreageChange < 0 ? QStringLiteral("-") : QString()) + hectares(*plan.acreageChange)
                  : QString())
          << optionalNumber(plan.canAdd) << optionalNumber(plan.canRemove) << plan.firstDateOutside
          << QString::number(plan.rowsOutside);
    } else {
        f << QString() << QString() << QString() << QString() << QString() << QString();
    }
    return f.join(QLatin1Char(';'));
}

}  // namespace zorva::editor
