#pragma once
#include <QString>

class QWidget;

namespace zorva {

// A box that only shows a value gets the button-face background, so that it does not look like a
// field waiting for input. A tooltip, when given, says where the value comes from.
void showAsLocked(QWidget* box, const QString& toolTip = QString());

}  // namespace zorva
