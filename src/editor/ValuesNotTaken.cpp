#include "editor/ValuesNotTaken.h"

#include "editor/UserChanges.h"

namespace zorva::editor {

namespace {

const QString kList = QStringLiteral("UPR:NotTaken");
const QString kEntry = QStringLiteral("UPR:Value");
const QString kDate = QStringLiteral("date");
const QString kField = QStringLiteral("field");
const QString kService = QStringLiteral("service");
const QString kCounted = QStringLiteral("counted");

}  // namespace

QString describe(const ValueNotTaken& v)
{
    const QString where = v.date.isEmpty() ? v.field : v.date + QStringLiteral(", ") + v.field;
    return QStringLiteral("%1: služba poslala „%2“, %3").arg(where, v.serviceText, v.counted);
}

QStringList describeAll(const std::vector<ValueNotTaken>& values)
{
    QStringList lines;
    if (values.empty()) return lines;
    lines << kNotTakenHeading + QLatin1Char(':');
    for (const ValueNotTaken& v : values) lines << describe(v);
    return lines;
}

void recordValuesNotTaken(xml::Document& doc, const std::vector<ValueNotTaken>& values)
{
    replaceProgramList(doc, kList, values.empty(), [&](xml::Node& list) {
        for (const ValueNotTaken& v : values) {
            xml::Node entry = list.appendElement(kEntry);
            entry.setAttribute(kDate, v.date);
            entry.setAttribute(kField, v.field);
            entry.setAttribute(kService, v.serviceText);
            entry.setAttribute(kCounted, v.counted);
        }
    });
}

std::vector<ValueNotTaken> recordedValuesNotTaken(const xml::Document& doc)
{
    std::vector<ValueNotTaken> out;
    for (const xml::Node& e : doc.selectList(QStringLiteral("//") + kList + QLatin1Char('/') + kEntry)) {
        out.push_back({e.attribute(kDate).value_or(QString()), e.attribute(kField).value_or(QString()),
                       e.attribute(kService).value_or(QString()), e.attribute(kCounted).value_or(QString())});
    }
    return out;
}

}  // namespace zorva::editor
