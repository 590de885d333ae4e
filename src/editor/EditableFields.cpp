#include "editor/EditableFields.h"

#include <QRegularExpression>

#include "editor/CategorySet.h"

namespace zorva::editor {

bool isCountText(const QString& text)
{
    static const QRegularExpression count(QRegularExpression::anchoredPattern(kCountPattern));
    return count.match(text).hasMatch();
}

bool isEditableColumn(const CategorySet& set, const QString& column)
{
    if (column == QLatin1String("SUMAVYMERADPB")) return true;
    return column.endsWith(QLatin1String("_POCET")) && set.find(column.chopped(6));
}

}  // namespace zorva::editor
