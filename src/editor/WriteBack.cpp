#include "editor/WriteBack.h"

#include <QHash>

#include "common/Failure.h"
#include "common/ModAll.h"
#include "common/NumberText.h"
#include "common/SkipOnFailure.h"

namespace zorva::editor {

// These run for every figure of every row; numbers take a direct path that gives the same texts
// and values as going through CisloSTeckou and the leading-number parse.
double numericValue(const QVariant& value)
{
    return numericValue(value, DecimalSigns());
}

double numericValue(const QVariant& value, const DecimalSigns& signs)
{
    if (value.typeId() == QMetaType::Double) return roundTo15Digits(db::doubleValue(value));
    if (const QString* text = db::textValue(value)) return leadingNumberOfNormalised(*text, signs);
    if (db::isNullValue(value)) return 0;
    return leadingNumber(CisloSTeckou(value));
}

QString numberText(const QVariant& value)
{
    return generalText(numericValue(value));
}

namespace {

// Hands the normalised text of a column value to `write` as UTF-8; numbers without a detour
// through a QString.
template <typename Write>
void writeNormalised(const QVariant& value, Write&& write)
{
    if (value.typeId() == QMetaType::Double) {
        write(generalChars(db::doubleValue(value)).view());
        return;
    }
    const QByteArray utf8 = CisloSTeckou(value).toUtf8();
    write(QByteArrayView(utf8));
}

// The children a row write touches: the acreage, then the categories written for the type, in the
// order of writing; `written` receives their places in the set.
QStringList writtenChildren(const CategorySet& set, bool eco, std::vector<int>& written)
{
    QStringList names = {QStringLiteral("RUX:SUMAVYMERADPB")};
    for (const QString& name : set.writeOrder) {
        if (!eco && set.isEco(name)) continue;
        const Category* c = set.find(name);
        if (!c) continue;
        written.push_back(int(c - set.categories.data()));
        names << QStringLiteral("RUX:") + name;
    }
    return names;
}

}  // namespace

bool ecoType(const QString& typeText)
{
    return typeText == QLatin1String("1") || typeText == QLatin1String("5");
}

RowWriter::RowWriter(xml::Document& doc, const CategorySet& set, const QString& typeText, bool withA, bool withB)
    : set_(set),
      ecoWritten_(ecoType(typeText)),
      withA_(withA),
      withB_(withB),
      children_(writtenChildren(set, ecoWritten_, written_))
{
    // Only row elements that carry the attribute can match the query; the first in document order wins.
    for (const xml::Node& row : doc.selectList(QStringLiteral("//VDJ:PICHROW"))) {
        const auto date = row.attribute(QStringLiteral("DATPLATNOST"));
        if (date && !firstRowByDate_.contains(*date)) firstRowByDate_.insert(*date, row);
    }
}

xml::Node RowWriter::rowElement(const QString& date) const
{
    if (date.contains(QLatin1Char('\''))) return {};
    return firstRowByDate_.value(date);
}

void RowWriter::writeRow(const db::Recordset& rs)
{
    if (!ownColumns_) ownColumns_.emplace(rs, set_);
    writeRow(rs, *ownColumns_);
}

void RowWriter::writeRow(const db::Recordset& rs, const TableColumns& col)
{
    QString date;
    try {
        date = rs.value(col.date).toString();
    } catch (const std::exception&) {
        return;
    }
    xml::Node row = rowElement(date);
    if (!row) return;

    static const xml::Name vdjA = xml::Name::from(std::string("VDJA"));
    static const xml::Name vdjB = xml::Name::from(std::string("VDJB"));
    static const xml::Name pichA = xml::Name::from(std::string("PICHA"));
    static const xml::Name pichB = xml::Name::from(std::string("PICHB"));
    static const xml::Name units = xml::Name::from(std::string("VDJ"));
    auto attribute = [&](const xml::Name& name, int column) {
        skipOnFailure([&] {
            writeNormalised(rs.value(column), [&](QByteArrayView text) { row.setExistingAttribute(name, text); });
        });
    };
    if (withA_) {
        attribute(vdjA, col.vdjA);
        attribute(pichA, col.pichA);
    }
    if (withB_) {
        attribute(vdjB, col.vdjB);
        attribute(pichB, col.pichB);
    }

    // The first child element of each name, found in one pass: what "RUX:<name>" selects from the row.
    found_.clear();
    skipOnFailure([&] { children_.find(row, found_); });
    if (found_.empty()) return;
    skipOnFailure([&] {
        xml::Node acreage = found_[0];
        if (!acreage) throw Failure(err::XmlWrite, QStringLiteral("RUX:SUMAVYMERADPB"));
        writeNormalised(rs.value(col.acreage), [&](QByteArrayView text) { acreage.setText(text); });
    });

    for (std::size_t i = 0; i < written_.size(); ++i) {
        xml::Node element = found_[i + 1];
        if (!element) continue;
        const CategoryColumns& c = col.categories[std::size_t(written_[i])];
        skipOnFailure([&] { element.setText(generalChars(numericValue(rs.value(c.count))).view()); });
        skipOnFailure(
            [&] { element.setExistingAttribute(units, generalChars(numericValue(rs.value(c.units))).view()); });
    }
    if (service_) skipOnFailure([&] { trackRow(rs, col); });
}

void RowWriter::trackRow(const db::Recordset& rs, const TableColumns& col)
{
    const LoadedRow* loaded = service_->row(rs.rowId());
    if (!loaded) return;
    static const QString acreage = QStringLiteral("SUMAVYMERADPB");
    if (found_[0])
        skipOnFailure(
            [&] { changes_.compare(*loaded, 0, acreage, loaded->acreage, numericValue(rs.value(col.acreage))); });
    for (std::size_t i = 0; i < written_.size(); ++i) {
        if (!found_[i + 1]) continue;
        const auto k = std::size_t(written_[i]);
        const int slot = 1 + int(k);
        skipOnFailure([&] {
            const QVariant& count = rs.value(col.categories[k].count);
            // A count still as the table took it needs no number.
            if (const QString* text = db::textValue(count); text && *text == loaded->counts[k].loadedText)
                changes_.unchanged(*loaded, slot);
            else
                changes_.compare(*loaded, slot, set_.categories[k].countColumn(), loaded->counts[k],
                                 numericValue(count));
        });
    }
}

void RowWriter::writeYearly(xml::Document& doc, const QString& pichRokA, const QString& pichRokB)
{
    skipOnFailure([&] {
        if (xml::Node n = doc.selectSingle(QStringLiteral("//RUX:PICHROKA"))) n.setText(pichRokA);
    });
    skipOnFailure([&] {
        if (xml::Node n = doc.selectSingle(QStringLiteral("//RUX:PICHROKB"))) n.setText(pichRokB);
    });
}

}  // namespace zorva::editor
