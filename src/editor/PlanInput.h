#pragma once
#include <QString>
#include <vector>

#include "common/NumberText.h"
#include "editor/Calculation.h"
#include "editor/CategorySet.h"
#include "editor/TableColumns.h"
#include "platform/Recordset.h"

namespace zorva::editor {

// The inputs of every row of a working table, in the table's order, as the calculation reads them.
struct PlanRow {
    QString date;
    double acreage = 0;                     // as the calculation takes it
    std::vector<CategoryInput> categories;  // in the order of the set
};

struct PlanInput {
    const CategorySet* set = nullptr;
    bool eco = false;  // whether the eco categories count (types 1 and 5)
    std::vector<PlanRow> rows;
};

// A category of the current row as the calculation reads it; the run and the planner share it.
CategoryInput readCategory(const db::Recordset& rs, const CategoryColumns& columns);
CategoryInput readCategory(const db::Recordset& rs, const CategoryColumns& columns, const DecimalSigns& signs);

// Reads the rows of a recordset over the working table (its current row moves).
PlanInput readPlanInput(db::Recordset& rs, const CategorySet& set, bool eco);

}  // namespace zorva::editor
