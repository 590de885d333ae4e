#include "editor/UserChanges.h"

#include "common/NumberText.h"
#include "common/SkipOnFailure.h"
#include "editor/WriteBack.h"
#include "platform/XmlRemoval.h"

namespace zorva::editor {

namespace {

const QString kDate = QStringLiteral("date");
const QString kField = QStringLiteral("field");
const QString kService = QStringLiteral("service");
const QString kNew = QStringLiteral("new");
const QString kRow = QStringLiteral("row");
const QString kAcreage = QStringLiteral("SUMAVYMERADPB");

// A value of the table as the calculation reads it; one it cannot read is not compared at all.
LoadedValue loadedValue(const QString& serviceText, const QVariant& value, const DecimalSigns& signs)
{
    try {
        const QString* text = db::textValue(value);
        // The table mostly holds the text as sent: one shared copy of it, not two, for every cell of
        // a large answer.
        QString loaded = text ? (*text == serviceText ? serviceText : *text) : QString();
        return {true, serviceText, std::move(loaded), numericValue(value, signs)};
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

void ServiceInputs::addRow(qint64 rowId, int place, const QString& date, const db::Recordset& rs,
                           const TableColumns& col, const xml::Node& acreage, const std::vector<xml::Node>& children,
                           std::size_t firstCategory)
{
    if (!set_ || rowId == 0) return;
    LoadedRow row;
    row.date = date;
    row.place = place;
    const DecimalSigns signs;
    if (acreage && col.acreage >= 0) row.acreage = loadedValue(acreage.text(), rs.value(col.acreage), signs);
    const std::size_t n = set_->categories.size();
    row.counts.resize(n);
    for (std::size_t k = 0; k < n && firstCategory + k < children.size() && k < col.categories.size(); ++k) {
        const xml::Node& element = children[firstCategory + k];
        if (element && col.categories[k].count >= 0)
            row.counts[k] = loadedValue(element.text(), rs.value(col.categories[k].count), signs);
    }
    if (const auto first = firstOfDate_.constFind(date); first != firstOfDate_.cend()) {
        row.sharedDate = true;
        rows_[*first].sharedDate = true;
    } else {
        firstOfDate_.insert(date, rowId);
    }
    byPlace_.insert(place, rowId);
    rows_.insert(rowId, std::move(row));
}

LoadedRow* ServiceInputs::recordedRow(const QString& date, int place)
{
    const qint64 id = place > 0 ? byPlace_.value(place) : firstOfDate_.value(date);
    const auto row = rows_.find(id);
    return row != rows_.end() && row->date == date ? &*row : nullptr;
}

void ServiceInputs::takeRecorded(const xml::Document& doc)
{
    if (!set_) return;
    for (const xml::Node& change :
         doc.selectList(QStringLiteral("//") + kChangesElement + QLatin1Char('/') + kChangeElement)) {
        const auto date = change.attribute(kDate);
        const auto field = change.attribute(kField);
        const auto service = change.attribute(kService);
        if (!date || !field || !service) continue;
        LoadedRow* row = recordedRow(*date, change.attribute(kRow).value_or(QString()).toInt());
        if (!row) continue;
        LoadedValue* value = nullptr;
        if (*field == kAcreage) value = &row->acreage;
        for (std::size_t k = 0; !value && k < set_->categories.size(); ++k)
            if (*field == set_->categories[k].countColumn()) value = &row->counts[k];
        // A changed coefficient of an older document is not carried over: the document keeps the
        // service's coefficient, and the calculation takes it again.
        if (!value || !value->sent) continue;
        // Read as the loading reads the service's text: the acreage with the point only.
        *value = *field == kAcreage
                     ? loadedValue(*service, QVariant(roundTo15Digits(leadingNumber(*service))), DecimalSigns())
                     : loadedValue(*service, QVariant(*service), DecimalSigns());
    }
}

const LoadedRow* ServiceInputs::row(qint64 rowId) const
{
    const auto it = rows_.constFind(rowId);
    return it == rows_.cend() ? nullptr : &*it;
}

void ChangeList::unchanged(const LoadedRow& row, int slot)
{
    if (slotOf_.isEmpty()) return;
    const auto at = slotOf_.constFind(qMakePair(&row, slot));
    if (at != slotOf_.cend()) slots_[*at].reset();
}

void ChangeList::compare(const LoadedRow& row, int slot, const QString& field, const LoadedValue& loaded,
                         double current)
{
    if (!loaded.sent) return;
    if (loaded.number == current) {
        unchanged(row, slot);
        return;
    }
    UserChange change{row.date, field, loaded.serviceText, generalText(current), row.sharedDate ? row.place : 0};
    const auto key = qMakePair(&row, slot);
    const auto at = slotOf_.constFind(key);
    if (at != slotOf_.cend()) {
        slots_[*at] = std::move(change);
    } else {
        slotOf_.insert(key, slots_.size());
        slots_.emplace_back(std::move(change));
    }
}

std::vector<UserChange> ChangeList::changes() const
{
    std::vector<UserChange> out;
    for (const auto& slot : slots_)
        if (slot) out.push_back(*slot);
    return out;
}

void replaceProgramList(xml::Document& doc, const QString& listName, bool empty,
                        const std::function<void(xml::Node& list)>& fill)
{
    // Last first: a list nested in another goes before the one around it.
    std::vector<xml::Node> old = doc.selectList(QStringLiteral("//") + listName);
    for (auto it = old.rbegin(); it != old.rend(); ++it) skipOnFailure([&] { xml::removeElement(*it); });
    if (empty || doc.isEmpty()) return;
    xml::Node parent = doc.selectSingle(QStringLiteral("//kLIM:Response"));
    if (!parent) parent = doc.root();
    xml::Node list = parent.appendElement(listName);
    list.setAttribute(QStringLiteral("xmlns:UPR"), kChangesNamespace);
    fill(list);
}

ServiceYearly serviceYearlyOf(const xml::Document& doc)
{
    ServiceYearly yearly;
    const xml::Node list = doc.selectSingle(QStringLiteral("//") + kChangesElement);
    auto take = [&](std::optional<QString>& figure, const QString& name) {
        if (list) figure = list.attribute(name);
        if (figure) return;
        if (const xml::Node n = doc.selectSingle(QStringLiteral("//RUX:") + name)) figure = n.text();
    };
    take(yearly.pichRokA, QStringLiteral("PICHROKA"));
    take(yearly.pichRokB, QStringLiteral("PICHROKB"));
    return yearly;
}

void recordChanges(xml::Document& doc, const std::vector<UserChange>& changes, const ServiceYearly& yearly)
{
    replaceProgramList(doc, kChangesElement, changes.empty(), [&](xml::Node& list) {
        if (yearly.pichRokA) list.setAttribute(QStringLiteral("PICHROKA"), *yearly.pichRokA);
        if (yearly.pichRokB) list.setAttribute(QStringLiteral("PICHROKB"), *yearly.pichRokB);
        for (const UserChange& c : changes) {
            xml::Node entry = list.appendElement(kChangeElement);
            entry.setAttribute(kDate, c.date);
            entry.setAttribute(kField, c.field);
            entry.setAttribute(kService, c.serviceValue);
            entry.setAttribute(kNew, c.newValue);
            if (c.row > 0) entry.setAttribute(kRow, QString::number(c.row));
        }
    });
}

}  // namespace zorva::editor
