#pragma once
#include <QHash>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "editor/CategorySet.h"
#include "editor/TableColumns.h"
#include "platform/Recordset.h"
#include "platform/XmlDocument.h"

namespace zorva::editor {

// Figures changed by the user are listed in the response itself, in the program's own namespace, so
// that a page rendered from the document, now or later, can never pass for the service's answer:
//
//   <UPR:Changes xmlns:UPR="http://zorva.example/VDJ/upravy">
//     <UPR:Change date="2005-03-01" field="SKOTML_POCET" service="23" new="25"/>
//   </UPR:Changes>
//
// as the last child of kLIM:Response. The service and its peers ignore elements they do not know.
// The list also keeps the service's own yearly figures (attributes PICHROKA and PICHROKB), which the
// recomputed ones replace in the document, so that the page can show both.
inline const QString kChangesNamespace = QStringLiteral("http://zorva.example/VDJ/upravy");
inline const QString kChangesElement = QStringLiteral("UPR:Changes");
inline const QString kChangeElement = QStringLiteral("UPR:Change");

struct UserChange {
    QString date, field, serviceValue, newValue;
    // The row element's place among the rows (1 = first), named only where rows share the date.
    int row = 0;
};

// One input of a table row as loaded: the service's text, which a change names, and the value as the
// working table took it, which is what the user saw and what a change is measured against.
struct LoadedValue {
    bool sent = false;
    QString serviceText;
    QString loadedText;  // a count's text as the table holds it
    double number = 0;   // the numeric value of the table's value
};

// The inputs of one table row as loaded from its row element: the acreage and the count of each
// category of the set (by its place in the set).
struct LoadedRow {
    QString date;
    int place = 0;  // of its row element among the rows, 1 = first
    bool sharedDate = false;
    LoadedValue acreage;
    std::vector<LoadedValue> counts;
};

// The inputs of every table row as the loading left them, by the row's identity in the table: rows
// that share a date are told apart, and a value the table could not take as sent is compared as it
// was taken, so that only what the user changed is ever marked.
class ServiceInputs {
public:
    ServiceInputs() = default;
    explicit ServiceInputs(const CategorySet& set) : set_(&set) {}

    // The table row just stored from the row element at `place`; `acreage` and the category elements
    // from `firstCategory` on (in the order of the set, null where missing) are the element's children.
    void addRow(qint64 rowId, int place, const QString& date, const db::Recordset& rs, const TableColumns& columns,
                const xml::Node& acreage, const std::vector<xml::Node>& children, std::size_t firstCategory);
    // A document saved with changes names the service's values of what was changed: they take over.
    void takeRecorded(const xml::Document& doc);

    const LoadedRow* row(qint64 rowId) const;

private:
    LoadedRow* recordedRow(const QString& date, int place);

    const CategorySet* set_ = nullptr;
    QHash<qint64, LoadedRow> rows_;
    QHash<QString, qint64> firstOfDate_;  // the row of the date's first row element
    QHash<int, qint64> byPlace_;
};

// The changes of one calculation run, in the order first found; a later figure of the same row and
// field replaces an earlier one, and one equal to the loaded value takes the change back.
class ChangeList {
public:
    // `slot` tells the inputs of a row apart: 0 the acreage, then one per category.
    void compare(const LoadedRow& row, int slot, const QString& field, const LoadedValue& loaded, double current);
    // The same input read as unchanged without a number (its text is the loaded one).
    void unchanged(const LoadedRow& row, int slot);
    std::vector<UserChange> changes() const;

private:
    std::vector<std::optional<UserChange>> slots_;
    QHash<QPair<const LoadedRow*, int>, std::size_t> slotOf_;
};

// Replaces every `listName` element of the document by one new list in the program's own namespace,
// the last child of kLIM:Response, that `fill` gives its entries; an empty list is removed, and a
// document that never had one is not touched at all.
void replaceProgramList(xml::Document& doc, const QString& listName, bool empty,
                        const std::function<void(xml::Node& list)>& fill);

// The service's yearly figures of a document as loaded: the ones its list of changes keeps, else its
// own PICHROKA and PICHROKB (nothing where it has none).
struct ServiceYearly {
    std::optional<QString> pichRokA, pichRokB;
};
ServiceYearly serviceYearlyOf(const xml::Document& doc);

// Replaces the list of changes in the document by `changes`, with the service's yearly figures.
// Without changes the list is removed, and a document that never had one is not touched at all.
void recordChanges(xml::Document& doc, const std::vector<UserChange>& changes, const ServiceYearly& yearly = {});

}  // namespace zorva::editor
