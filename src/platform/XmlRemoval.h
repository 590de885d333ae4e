#pragma once
#include "platform/XmlDocument.h"

namespace zorva::xml {

// Takes an element out of its document with everything inside it; the handle is null afterwards.
// Raises a Failure for a null handle or the root element.
void removeElement(Node& element);

}  // namespace zorva::xml
