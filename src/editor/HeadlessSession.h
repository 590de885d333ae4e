#pragma once
#include <QFile>
#include <QStringList>
#include <memory>

#include "common/ProgramContext.h"
#include "editor/EditorSession.h"

namespace zorva::editor {

// One opening of the editor without a window, as the headless commands and the batch's check use
// it: the loading's messages are collected instead of shown (a question counts as answered "Ano"),
// and the working database is the opening's own, removed when it ends, whatever happens.
class HeadlessSession {
public:
    HeadlessSession(const ProgramContext& ctx, const CategorySet& set, std::shared_ptr<xml::Document> doc);

    EditorSession& session() { return *session_; }
    // Raises BadInput ("Odpověď nelze načíst: …") when the loading told anything or made no table.
    void requireLoaded() const;

private:
    class CollectingMessages : public MessageBoxes {
    public:
        void show(const QString& text, MessageIcon) override { shown << text; }
        Answer ask(const QString&) override { return Answer::Yes; }
        QStringList shown;
    };
    struct RemovedAtEnd {
        QString path;
        ~RemovedAtEnd()
        {
            if (!path.isEmpty()) QFile::remove(path);
        }
    };

    CollectingMessages messages_;
    ProgramContext ctx_;
    // Declared before the session, so that the file goes only after the session has closed it.
    RemovedAtEnd database_;
    std::unique_ptr<EditorSession> session_;
};

}  // namespace zorva::editor
