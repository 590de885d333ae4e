#pragma once
#include <QString>

#include "platform/XmlDocument.h"

namespace zorva::request {

// The text of the first element an answer has at `pattern`, without surrounding blanks; empty where
// it has none.
inline QString answerText(const xml::Document& answer, const QString& pattern)
{
    const xml::Node n = answer.selectSingle(pattern);
    return n ? n.text().trimmed() : QString();
}

}  // namespace zorva::request
