#pragma once
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/XmlDocument.h"

namespace zorva::editor {

// A value of the response that the loading could not take as the service sent it: a text too long
// for its column, a number that the parse reads only in part, a row the write-back cannot find
// again. The loading keeps to its rules, but says what they did, so that no figure of the service is
// replaced without a word. The document carries the list in the program's own namespace, so that
// its page, now or later, shows it:
//
//   <UPR:NotTaken xmlns:UPR="http://zorva.example/VDJ/upravy">
//     <UPR:Value date="2005-03-01" field="SKOTML_POCET" service="123456" counted="0"/>
//   </UPR:NotTaken>
struct ValueNotTaken {
    QString date, field, serviceText;
    QString counted;  // what the program works with instead, as a figure or in words

    bool operator==(const ValueNotTaken&) const = default;
};

inline const QString kNotTakenHeading = QStringLiteral("Některé údaje odpovědi program nepřevzal");

// One line of the list in words: "2005-03-01, SKOTML_POCET: služba poslala „123456“, počítá se 0".
QString describe(const ValueNotTaken& value);
// The heading and one line per value.
QStringList describeAll(const std::vector<ValueNotTaken>& values);

// Replaces the list in the document; an empty list removes it, and a document without one is not
// touched.
void recordValuesNotTaken(xml::Document& doc, const std::vector<ValueNotTaken>& values);
// The list a document carries from an earlier loading.
std::vector<ValueNotTaken> recordedValuesNotTaken(const xml::Document& doc);

}  // namespace zorva::editor
