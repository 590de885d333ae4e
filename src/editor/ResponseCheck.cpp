#include "editor/ResponseCheck.h"

#include <QFile>
#include <QScopeGuard>

#include "editor/CategorySet.h"
#include "editor/EditorSession.h"

namespace zorva::editor {

std::vector<ValueNotTaken> valuesNotTakenIn(const ProgramContext& ctx, const xml::Document& response)
{
    auto copy = std::make_shared<xml::Document>(xml::Document::fromBytes(response.toBytes()));
    // Nobody to show the loading's own messages to: a loading that cannot start tells nothing here.
    ProgramContext quiet = ctx;
    quiet.messages = nullptr;
    QString databasePath;
    auto removeDatabase = qScopeGuard([&] {
        if (!databasePath.isEmpty()) QFile::remove(databasePath);
    });
    EditorSession session(quiet, CategorySet::forResponse(*copy, QString()));
    session.xmlDOM = copy;
    session.Startuj();
    databasePath = session.workingDatabasePath();
    return session.valuesNotTaken();
}

}  // namespace zorva::editor
