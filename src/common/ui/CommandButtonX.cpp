#include "common/ui/CommandButtonX.h"

#include <QMouseEvent>

namespace zorva {

CommandButtonX::CommandButtonX(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
}

void CommandButtonX::mousePressEvent(QMouseEvent* event)
{
    int button = 0;
    switch (event->button()) {
        case Qt::LeftButton:
            button = 1;
            break;
        case Qt::RightButton:
            button = 2;
            break;
        case Qt::MiddleButton:
            button = 4;
            break;
        default:
            break;
    }
    QPushButton::mousePressEvent(event);
    if (button != 0) emit mouseDown(button);
}

}  // namespace zorva
