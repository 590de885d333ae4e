#include "editor/ResponseCheck.h"

#include "editor/CategorySet.h"
#include "editor/HeadlessSession.h"

namespace zorva::editor {

std::vector<ValueNotTaken> valuesNotTakenIn(const ProgramContext& ctx, const xml::Document& response)
{
    auto copy = std::make_shared<xml::Document>(xml::Document::fromBytes(response.toBytes()));
    // Nobody to show the loading's own messages to: a loading that cannot start tells nothing here.
    HeadlessSession headless(ctx, CategorySet::forResponse(*copy, QString()), copy);
    return headless.session().valuesNotTaken();
}

}  // namespace zorva::editor
