#pragma once
#include <QString>
#include <vector>

#include "platform/XmlDocument.h"

struct _xmlNode;

namespace zorva::xml::detail {

// Evaluates a selection pattern (see XmlDocument.h for the forms) from a context, the document node
// or an element, in document order; with `firstOnly` it stops at the first match. Raises a Failure
// for a pattern that cannot be evaluated.
std::vector<Node> evaluate(_xmlNode* context, const QString& pattern, bool firstOnly);

}  // namespace zorva::xml::detail
