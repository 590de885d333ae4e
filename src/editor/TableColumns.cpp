#include "editor/TableColumns.h"

namespace zorva::editor {

TableColumns::TableColumns(const db::Recordset& rs, const CategorySet& set, bool eco)
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
    auto unitsOf = [&](const QStringList& names, std::vector<int>& out) {
        for (const QString& name : names) out.push_back(rs.columnIndex(name + QStringLiteral("_VDJ")));
    };
    if (eco) {
        unitsOf(set.horseAddition, sumA);
        unitsOf(set.ecoAddition, sumA);
        unitsOf(set.ecoAddition, sumB);
    } else {
        unitsOf(set.conventionalAddition, sumA);
        unitsOf(set.horseAddition, sumA);
        unitsOf(set.conventionalAddition, sumB);
    }
}

}  // namespace zorva::editor
