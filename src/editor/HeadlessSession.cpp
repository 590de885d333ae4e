#include "editor/HeadlessSession.h"

#include "common/Command.h"

namespace zorva::editor {

HeadlessSession::HeadlessSession(const ProgramContext& ctx, const CategorySet& set, std::shared_ptr<xml::Document> doc)
    : ctx_(ctx)
{
    ctx_.messages = &messages_;
    session_ = std::make_unique<EditorSession>(ctx_, set);
    session_->xmlDOM = std::move(doc);
    session_->Startuj();
    database_.path = session_->workingDatabasePath();
}

void HeadlessSession::requireLoaded() const
{
    if (!messages_.shown.isEmpty() || !session_->loaded())
        throw BadInput(QStringLiteral("Odpověď nelze načíst: %1").arg(messages_.shown.join(QStringLiteral("; "))));
}

}  // namespace zorva::editor
