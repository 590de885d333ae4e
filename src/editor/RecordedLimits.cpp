#include "editor/RecordedLimits.h"

#include "common/NumberText.h"
#include "editor/UserChanges.h"

namespace zorva::editor {

void recordLimits(xml::Document& doc, int type, const Limits& limits, const QString& source,
                  const std::vector<LimitCheck>& checks)
{
    replaceProgramList(doc, kLimitsElement, !limits.any(), [&](xml::Node& list) {
        list.setAttribute(QStringLiteral("type"), QString::number(type));
        if (limits.min) list.setAttribute(QStringLiteral("min"), generalText(*limits.min));
        if (limits.max) list.setAttribute(QStringLiteral("max"), generalText(*limits.max));
        list.setAttribute(QStringLiteral("source"), source);
        for (const LimitCheck& c : checks) {
            const double value = leadingNumber(c.value);
            xml::Node entry = list.appendElement(QStringLiteral("UPR:Limit"));
            entry.setAttribute(QStringLiteral("figure"), c.figure);
            entry.setAttribute(QStringLiteral("rows"), c.rows);
            entry.setAttribute(QStringLiteral("value"), c.value);
            entry.setAttribute(QStringLiteral("verdict"), verdictText(verdictOf(value, limits)));
            entry.setAttribute(QStringLiteral("margin"), generalText(roundTo15Digits(marginOf(value, limits))));
            entry.setAttribute(QStringLiteral("rowsOutside"), QString::number(c.outside.count));
            if (!c.outside.firstDate.isEmpty()) entry.setAttribute(QStringLiteral("firstOutside"), c.outside.firstDate);
        }
    });
}

}  // namespace zorva::editor
