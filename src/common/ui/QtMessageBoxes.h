#pragma once
#include <QPointer>
#include <QWidget>

#include "common/ProgramContext.h"

namespace zorva {

// Real, modal message boxes with the application's title.
class QtMessageBoxes : public MessageBoxes {
public:
    void show(const QString& text, MessageIcon icon) override;
    Answer ask(const QString& text) override;
};

}  // namespace zorva
