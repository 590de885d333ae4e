#pragma once
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

#include "editor/CategorySet.h"
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
inline const QString kChangesNamespace = QStringLiteral("http://zorva.example/VDJ/upravy");
inline const QString kChangesElement = QStringLiteral("UPR:Changes");
inline const QString kChangeElement = QStringLiteral("UPR:Change");

struct UserChange {
    QString date, field, serviceValue, newValue;
};

// One input as the service sent it: its text, and its number as the working table reads it.
struct ServiceValue {
    bool sent = false;
    QString text;
    double number = 0;
};

// The inputs of one date: the acreage, then count and coefficient of each category of the set.
struct ServiceRow {
    QString date;
    ServiceValue acreage;
    std::vector<ServiceValue> counts, coefficients;  // by the category's place in the set
};

// The inputs of the calculation as the service sent them, kept when the response is loaded: the
// first row element of each date counts, as for the write-back.
class ServiceInputs {
public:
    ServiceInputs() = default;
    explicit ServiceInputs(const CategorySet& set) : set_(&set) {}

    // A row element as the loading reads it: its acreage element and its category elements in the
    // order of the set (null where missing).
    void addRow(const QString& date, const xml::Node& acreage, const std::vector<xml::Node>& categories,
                std::size_t firstCategory);
    // A document saved with changes names the service's values of what was changed: they take over.
    void takeRecorded(const xml::Document& doc);

    const ServiceRow* row(const QString& date) const;

private:
    ServiceValue* find(ServiceRow& row, const QString& field);

    const CategorySet* set_ = nullptr;
    QHash<QString, ServiceRow> rows_;
};

// The changes of one calculation run, in the order first found; a later figure of the same date and
// field replaces an earlier one, and one equal to the service's takes the change back.
class ChangeList {
public:
    // `slot` tells the inputs of a row apart: 0 the acreage, then two per category.
    void compare(const ServiceRow& row, int slot, const QString& field, const ServiceValue& sent, double current);
    // The same input read as unchanged without a number (its text is the service's).
    void unchanged(const ServiceRow& row, int slot);
    std::vector<UserChange> changes() const;

private:
    std::vector<std::optional<UserChange>> slots_;
    QHash<QPair<const ServiceRow*, int>, std::size_t> slotOf_;
};

// Replaces the list of changes in the document by `changes`. Without changes the list is removed,
// and a document that never had one is not touched at all.
void recordChanges(xml::Document& doc, const std::vector<UserChange>& changes);

}  // namespace zorva::editor
