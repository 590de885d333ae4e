#pragma once
#include <QString>
#include <vector>

#include "editor/Limits.h"
#include "platform/XmlDocument.h"

namespace zorva::editor {

// The limits a calculation was judged by travel with the document, in the program's own namespace,
// so that its page shows the verdict with where the limit came from:
//
//   <UPR:Limits xmlns:UPR="http://zorva.example/VDJ/upravy" type="4" min="0.3" max="1.5"
//               source="limit z nastavení">
//     <UPR:Limit figure="PICHROKA" rows="PICHA" value="0.472" verdict="pod limitem" margin="-0.028"
//                rowsOutside="3" firstOutside="2006-03-01"/>
//   </UPR:Limits>
inline const QString kLimitsElement = QStringLiteral("UPR:Limits");

struct LimitCheck {
    QString figure, rows;  // "PICHROKA", "PICHA"
    QString value;         // the yearly text as the document holds it
    RowsOutside outside;
};

// Replaces the document's limits; without limits the element goes, and a document that never had
// one is not touched.
void recordLimits(xml::Document& doc, int type, const Limits& limits, const QString& source,
                  const std::vector<LimitCheck>& checks);

}  // namespace zorva::editor
