#include "editor/TableColumns.h"

namespace zorva::editor {

TableColumns::TableColumns(const db::Recordset& rs, const CategorySet& set)
    : date(rs.columnIndex(QStringLiteral("DATPLATNOST"))),
      vdjA(rs.columnIndex(QStringLiteral("VDJA"))),
      vdjB(rs.columnIndex(QStringLiteral("VDJB"))),
      pichA(rs.columnIndex(QStringLiteral("PICHA"))),
      pichB(rs.columnIndex(QStringLiteral("PICHB"))),
      lpis(rs.columnIndex(QStringLiteral("ZADATELREGLPIS"))),
      irz(rs.columnIndex(QStringLiteral("ZADATELREGIRZ"))),
      acreage(rs.columnIndex(QStringLiteral("SUMAVYMERADPB")))
{
    for (const Category& c : set.categories)
        categories.push_back(
            {rs.columnIndex(c.countColumn()), rs.columnIndex(c.unitsColumn()), rs.columnIndex(c.coefficientColumn())});
}

}  // namespace zorva::editor
