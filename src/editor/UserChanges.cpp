#include "editor/UserChanges.h"

#include "common/NumberText.h"
#include "common/SkipOnFailure.h"
#include "platform/XmlRemoval.h"

namespace zorva::editor {

namespace {

const QString kDate = QStringLiteral("date");
const QString kField = QStringLiteral("field");
const QString kService = QStringLiteral("service");
const QString kNew = QStringLiteral("new");

// A text read as the loading and the calculation read it: counts through the normaliser, acreage
// and coefficients as numbers written with a point. A text that no number can be made of is not
// compared at all (the loading skips it too).
template <typename Read>
ServiceValue readValue(const QString& text, Read&& read)
{
    try {
        return {true, text, read(text)};
    } catch (const std::exception&) {
        return {};
    }
}
ServiceValue countValue(const QString& text)
{
    return readValue(text, [](const QString& t) { return leadingNumberOfNormalised(t); });
}
ServiceValue numberValue(const QString& text)
{
    return readValue(text, [](const QString& t) { return roundTo15Digits(leadingNumber(t)); });
}

}  // namespace

void ServiceInputs::addRow(const QString& date, const xml::Node& acreage, const std::vector<xml::Node>& categories,
                           std::size_t firstCategory)
{
    if (!set_ || rows_.contains(date)) return;
    static const xml::Name koef = xml::Name::from(std::string("KOEF"));
    ServiceRow row;
    row.date = date;
    if (acreage) row.acreage = numberValue(acreage.text());
    const std::size_t n = set_->categories.size();
    row.counts.resize(n);
    row.coefficients.resize(n);
    for (std::size_t k = 0; k < n && firstCategory + k < categories.size(); ++k) {
        const xml::Node& element = categories[firstCategory + k];
        if (!element) continue;
        row.counts[k] = countValue(element.text());
        row.coefficients[k] = numberValue(element.attribute(koef).value_or(QString()));
    }
    rows_.insert(date, std::move(row));
}

ServiceValue* ServiceInputs::find(ServiceRow& row, const QString& field)
{
    if (field == QLatin1String("SUMAVYMERADPB")) return &row.acreage;
    for (std::size_t k = 0; k < set_->categories.size(); ++k) {
        const Category& c = set_->categories[k];
        if (field == c.countColumn()) return &row.counts[k];
        if (field == c.coefficientColumn()) return &row.coefficients[k];
    }
    return nullptr;
}

void ServiceInputs::takeRecorded(const xml::Document& doc)
{
    if (!set_) return;
    for (const xml::Node& change :
         doc.selectList(QStringLiteral("//") + kChangesElement + QLatin1Char('/') + kChangeElement)) {
        const auto date = change.attribute(kDate);
        const auto field = change.attribute(kField);
        const auto service = change.attribute(kService);
        if (!date || !field || !service || !rows_.contains(*date)) continue;
        ServiceValue* value = find(rows_[*date], *field);
        if (!value || !value->sent) continue;
        *value = field->endsWith(QLatin1String("_POCET")) ? countValue(*service) : numberValue(*service);
    }
}

const ServiceRow* ServiceInputs::row(const QString& date) const
{
    const auto it = rows_.constFind(date);
    return it == rows_.cend() ? nullptr : &*it;
}

void ChangeList::unchanged(const ServiceRow& row, int slot)
{
    if (slotOf_.isEmpty()) return;
    const auto at = slotOf_.constFind(qMakePair(&row, slot));
    if (at != slotOf_.cend()) slots_[*at].reset();
}

void ChangeList::compare(const ServiceRow& row, int slot, const QString& field, const ServiceValue& sent,
                         double current)
{
    if (!sent.sent) return;
    if (sent.number == current) {
        unchanged(row, slot);
        return;
    }
    UserChange change{row.date, field, sent.text, generalText(current)};
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

void recordChanges(xml::Document& doc, const std::vector<UserChange>& changes)
{
    // Last first: a list nested in another goes before the one around it.
    std::vector<xml::Node> old = doc.selectList(QStringLiteral("//") + kChangesElement);
    for (auto it = old.rbegin(); it != old.rend(); ++it) skipOnFailure([&] { xml::removeElement(*it); });
    if (changes.empty() || doc.isEmpty()) return;
    xml::Node parent = doc.selectSingle(QStringLiteral("//kLIM:Response"));
    if (!parent) parent = doc.root();
    xml::Node list = parent.appendElement(kChangesElement);
    list.setAttribute(QStringLiteral("xmlns:UPR"), kChangesNamespace);
    for (const UserChange& c : changes) {
        xml::Node entry = list.appendElement(kChangeElement);
        entry.setAttribute(kDate, c.date);
        entry.setAttribute(kField, c.field);
        entry.setAttribute(kService, c.serviceValue);
        entry.setAttribute(kNew, c.newValue);
    }
}

}  // namespace zorva::editor
