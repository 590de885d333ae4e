#pragma once
#include <QStringList>

#include "common/ProgramContext.h"

namespace zorva::editor {

// Messages that the loading would show in a window: a headless command collects them for its error
// stream, and takes a question as answered "Ano".
class CollectingMessages : public MessageBoxes {
public:
    void show(const QString& text, MessageIcon) override { shown << text; }
    Answer ask(const QString&) override { return Answer::Yes; }
    QStringList shown;
};

}  // namespace zorva::editor
