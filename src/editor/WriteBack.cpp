#include "editor/WriteBack.h"

#include "common/ModAll.h"
#include "common/NumberText.h"
#include "common/SkipOnFailure.h"
#include "platform/Failure.h"

namespace zorva::editor {

QString normalisedText(const QVariant& value)
{
    return CisloSTeckou(value);
}

double numericValue(const QVariant& value)
{
    return leadingNumber(CisloSTeckou(value));
}

QString numberText(const QVariant& value)
{
    return CisloSTeckou(QVariant(numericValue(value)));
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

    skipOnFailure([&] {
        xml::Node acreage = row.selectSingle(QStringLiteral("RUX:SUMAVYMERADPB"));
        if (!acreage) throw Failure(err::XmlWrite, QStringLiteral("RUX:SUMAVYMERADPB"));
        acreage.setText(normalisedText(rs.value(QStringLiteral("SUMAVYMERADPB"))));
    });

    for (const QString& name : set_.writeOrder) {
        if (!ecoWritten_ && set_.isEco(name)) continue;
        const Category* c = set_.find(name);
        xml::Node element;
        skipOnFailure([&] { element = row.selectSingle(QStringLiteral("RUX:") + name); });
        skipOnFailure([&] {
            if (!element) throw Failure(err::XmlWrite, name);
            element.setText(numberText(rs.value(c->countColumn())));
        });
        skipOnFailure([&] {
            if (!element) throw Failure(err::XmlWrite, name);
            element.setExistingAttribute(QStringLiteral("VDJ"), numberText(rs.value(c->unitsColumn())));
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
