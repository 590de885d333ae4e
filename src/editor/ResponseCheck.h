#pragma once
#include <vector>

#include "common/ProgramContext.h"
#include "editor/ValuesNotTaken.h"
#include "platform/XmlDocument.h"

namespace zorva::editor {

// What the editor's loading would not take of an answer as the service sent it: the loading itself
// runs, on a copy of the answer and in a working table of its own that goes at once, so that a
// front end without an editor (the batch) tells the same as the editor would.
std::vector<ValueNotTaken> valuesNotTakenIn(const ProgramContext& ctx, const xml::Document& response);

}  // namespace zorva::editor
