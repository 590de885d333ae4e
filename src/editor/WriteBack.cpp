#include "editor/WriteBack.h"

#include <QHash>

#include "common/ModAll.h"
#include "common/NumberText.h"
#include "common/SkipOnFailure.h"
#include "platform/Failure.h"

namespace zorva::editor {

// These three run for every figure of every row; numbers take a direct path that gives the same
// texts and values as going through CisloSTeckou and the leading-number parse.
QString normalisedText(const QVariant& value)
{
    if (!value.isNull() && value.typeId() == QMetaType::Double) return generalText(value.toDouble());
    return CisloSTeckou(value);
}

double numericValue(const QVariant& value)
{
    if (value.isNull()) return 0;
    if (value.typeId() == QMetaType::Double) return roundTo15Digits(value.toDouble());
    if (value.typeId() == QMetaType::QString) return leadingNumberOfNormalised(value.toString());
    return leadingNumber(CisloSTeckou(value));
}

QString numberText(const QVariant& value)
{
    return generalText(numericValue(value));
}

bool ecoType(const QString& typeText)
{
    return typeText == QLatin1String("1") || typeText == QLatin1String("5");
}

RowWriter::RowWriter(xml::Document& doc, const CategorySet& set, const QString& typeText, bool withA, bool withB)
    : set_(set), ecoWritten_(ecoType(typeText)), withA_(withA), withB_(withB)
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
    QString date;
    try {
        date = rs.value(QStringLiteral("DATPLATNOST")).toString();
    } catch (const std::exception&) {
        return;
    }
    xml::Node row = rowElement(date);
    if (!row) return;

    auto attribute = [&](const char* name) {
        skipOnFailure([&] {
            const QString column = QString::fromLatin1(name);
            row.setExistingAttribute(column, normalisedText(rs.value(column)));
        });
    };
    if (withA_) { attribute("VDJA"); attribute("PICHA"); }
    if (withB_) { attribute("VDJB"); attribute("PICHB"); }

    // The first child element of each name, found in one pass: what "RUX:<name>" selects from the row.
    QHash<QString, xml::Node> children;
    skipOnFailure([&] {
        for (const xml::Node& child : row.childElements()) {
            const QString name = child.name();
            if (!children.contains(name)) children.insert(name, child);
        }
    });
    skipOnFailure([&] {
        xml::Node acreage = children.value(QStringLiteral("RUX:SUMAVYMERADPB"));
        if (!acreage) throw Failure(err::XmlWrite, QStringLiteral("RUX:SUMAVYMERADPB"));
        acreage.setText(normalisedText(rs.value(QStringLiteral("SUMAVYMERADPB"))));
    });

    for (const QString& name : set_.writeOrder) {
        if (!ecoWritten_ && set_.isEco(name)) continue;
        const Category* c = set_.find(name);
        const xml::Node element = children.value(QStringLiteral("RUX:") + name);
        if (!element) continue;
        skipOnFailure([&] { xml::Node(element).setText(numberText(rs.value(c->countColumn()))); });
        skipOnFailure([&] {
            xml::Node(element).setExistingAttribute(QStringLiteral("VDJ"), numberText(rs.value(c->unitsColumn())));
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
