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

// The inputs of the calculation as the service sent them (acreage, counts, coefficients), by date
// and working-table column, read from the first row element of each date when the response is
// loaded. A document that already lists changes gives the service's values recorded there.
class ServiceInputs {
public:
    ServiceInputs() = default;
    ServiceInputs(const xml::Document& doc, const CategorySet& set);

    // Nothing when the service sent no row of that date.
    const QString* value(const QString& date, const QString& field) const;
    bool empty() const { return byDate_.isEmpty(); }

private:
    QHash<QString, QHash<QString, QString>> byDate_;
};

// The changes of one calculation run, in the order found; a later figure of the same date and field
// replaces an earlier one.
class ChangeList {
public:
    // Compares a figure written into the document with the service's; equal numbers are no change.
    void compare(const ServiceInputs& service, const QString& date, const QString& field, double current);
    std::vector<UserChange> changes() const;

private:
    // A slot per date and field met with a difference, in the order first met; a slot is emptied
    // when a later figure of the same date and field equals the service's again.
    std::vector<std::optional<UserChange>> slots_;
    QHash<QString, std::size_t> slotOf_;
};

// Replaces the list of changes in the document by `changes`. Without changes the list is removed,
// and a document that never had one is not touched at all.
void recordChanges(xml::Document& doc, const std::vector<UserChange>& changes);

}  // namespace zorva::editor
