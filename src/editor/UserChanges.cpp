#include "editor/UserChanges.h"

#include "common/NumberText.h"
#include "platform/XmlRemoval.h"

namespace zorva::editor {

namespace {

const QString kDate = QStringLiteral("date");
const QString kField = QStringLiteral("field");
const QString kService = QStringLiteral("service");
const QString kNew = QStringLiteral("new");

}  // namespace

ServiceInputs::ServiceInputs(const xml::Document& doc, const CategorySet& set)
{
    for (const xml::Node& row : doc.selectList(QStringLiteral("//VDJ:PICHROW"))) {
        const auto date = row.attribute(QStringLiteral("DATPLATNOST"));
        if (!date || byDate_.contains(*date)) continue;
        QHash<QString, QString>& fields = byDate_[*date];
        for (const xml::Node& child : row.childElements()) {
            const QString name = child.name();
            if (!name.startsWith(QLatin1String("RUX:"))) continue;
            const QString local = name.mid(4);
            if (local == QLatin1String("SUMAVYMERADPB")) {
                if (!fields.contains(local)) fields.insert(local, child.text());
            } else if (const Category* c = set.find(local); c && !fields.contains(c->countColumn())) {
                fields.insert(c->countColumn(), child.text());
                fields.insert(c->coefficientColumn(), child.attribute(QStringLiteral("KOEF")).value_or(QString()));
            }
        }
    }
    // Figures changed before the document was saved: the service's values are the recorded ones.
    for (const xml::Node& change : doc.selectList(QStringLiteral("//") + kChangesElement + QLatin1Char('/') + kChangeElement)) {
        const auto date = change.attribute(kDate);
        const auto field = change.attribute(kField);
        const auto service = change.attribute(kService);
        if (date && field && service && byDate_.contains(*date)) byDate_[*date].insert(*field, *service);
    }
}

const QString* ServiceInputs::value(const QString& date, const QString& field) const
{
    const auto row = byDate_.constFind(date);
    if (row == byDate_.cend()) return nullptr;
    const auto it = row->constFind(field);
    return it == row->cend() ? nullptr : &*it;
}

void ChangeList::compare(const ServiceInputs& service, const QString& date, const QString& field, double current)
{
    const QString* sent = service.value(date, field);
    if (!sent) return;
    // The service's text read as the loading and the calculation read it, so that "21" and "21.0"
    // from the service, or a figure typed back to its value, are no change.
    const double loaded = field.endsWith(QLatin1String("_POCET")) ? leadingNumberOfNormalised(*sent)
                                                                   : roundTo15Digits(leadingNumber(*sent));
    const QString key = date + QLatin1Char('|') + field;
    const auto at = slotOf_.constFind(key);
    if (loaded == current) {
        if (at != slotOf_.cend()) slots_[*at].reset();
        return;
    }
    UserChange change{date, field, *sent, generalText(current)};
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
    for (xml::Node old : doc.selectList(QStringLiteral("//") + kChangesElement)) xml::removeElement(old);
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
