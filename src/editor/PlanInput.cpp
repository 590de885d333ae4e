#include "editor/PlanInput.h"

#include "editor/TableColumns.h"
#include "editor/WriteBack.h"

namespace zorva::editor {

CategoryInput readCategory(const db::Recordset& rs, const CategoryColumns& c)
{
    return readCategory(rs, c, DecimalSigns());
}

CategoryInput readCategory(const db::Recordset& rs, const CategoryColumns& c, const DecimalSigns& signs)
{
    const QVariant& koef = rs.value(c.coefficient);
    if (db::isNullValue(koef)) return {};
    return {db::doubleValue(koef), numericValue(rs.value(c.count), signs)};
}

PlanInput readPlanInput(db::Recordset& rs, const CategorySet& set, bool eco)
{
    PlanInput input{&set, eco, {}};
    const TableColumns col(rs, set);
    for (int row = 0; row < rs.rowCount(); ++row) {
        rs.moveTo(row);
        PlanRow r;
        r.date = rs.value(col.date).toString();
        const QVariant& acreage = rs.value(col.acreage);
        r.acreage = db::isNullValue(acreage) ? 0.0 : numericValue(acreage);
        for (const CategoryColumns& c : col.categories) r.categories.push_back(readCategory(rs, c));
        input.rows.push_back(std::move(r));
    }
    return input;
}

}  // namespace zorva::editor
