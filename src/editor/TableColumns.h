#pragma once
#include <vector>

#include "editor/CategorySet.h"
#include "platform/Recordset.h"

namespace zorva::editor {

// The working-table columns of one generation, looked up once per run instead of by name for every
// figure of every row. A column the table lacks is -1: using it raises the same failure as its name
// would, so that the step is skipped.
struct CategoryColumns {
    int count = -1;
    int units = -1;
    int coefficient = -1;
};

struct TableColumns {
    TableColumns(const db::Recordset& rs, const CategorySet& set);

    int date, vdjA, vdjB, pichA, pichB, lpis, irz, acreage;
    std::vector<CategoryColumns> categories;  // in the order of the set
};

}  // namespace zorva::editor
