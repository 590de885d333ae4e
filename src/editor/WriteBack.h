#pragma once
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

#include "common/NumberText.h"
#include "editor/CategorySet.h"
#include "editor/TableColumns.h"
#include "editor/UserChanges.h"
#include "platform/Recordset.h"
#include "platform/XmlDocument.h"

namespace zorva::editor {

// Writes the figures of table rows into the response document. The row element of a date is the
// first "//VDJ:PICHROW[@DATPLATNOST='date']" in document order; the lookup is built once per run,
// so that a run over thousands of rows does not scan the document for every row. Every single write
// stands by itself: a missing element or attribute skips that one write.
class RowWriter {
public:
    RowWriter(xml::Document& doc, const CategorySet& set, const QString& typeText, bool withA, bool withB);

    // The current row of the recordset; `columns` are the recordset's own.
    void writeRow(const db::Recordset& rs, const TableColumns& columns);
    void writeRow(const db::Recordset& rs);
    // The first RUX:PICHROKA / RUX:PICHROKB elements receive the yearly texts unchanged.
    static void writeYearly(xml::Document& doc, const QString& pichRokA, const QString& pichRokB);

    // Compares the inputs written (acreage and counts) with the values the table row was loaded
    // with; the differences collect in changes(). Coefficients cannot be changed.
    void trackChanges(const ServiceInputs* service) { service_ = service; }
    const ChangeList& changes() const { return changes_; }

    // The row element for a date, as the query would select it; a date with an apostrophe cannot be
    // put into the query and finds nothing.
    xml::Node rowElement(const QString& date) const;

private:
    void trackRow(const db::Recordset& rs, const TableColumns& columns);

    const CategorySet& set_;
    bool ecoWritten_;
    bool withA_, withB_;
    QHash<QString, xml::Node> firstRowByDate_;
    // The categories written, in the order of writing, with their index in the set; and the row's
    // children they are written to (the acreage first).
    std::vector<int> written_;
    xml::ChildLookup children_;
    std::vector<xml::Node> found_;
    std::optional<TableColumns> ownColumns_;
    const ServiceInputs* service_ = nullptr;
    ChangeList changes_;
};

// The number text of a column (its numeric value, normalised): "007" -> "7", "abc" -> "0",
// "4,20000" -> "4.2".
QString numberText(const QVariant& value);
double numericValue(const QVariant& value);
// The same with the regional decimal sign read once by the caller, for loops over many cells.
double numericValue(const QVariant& value, const DecimalSigns& signs);
// Whether the calculation type lets the eco categories count (and be written): exactly "1" or "5".
bool ecoType(const QString& typeText);

}  // namespace zorva::editor
