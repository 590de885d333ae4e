#include "common/ui/LockedLook.h"

#include <QPalette>
#include <QWidget>

namespace zorva {

void showAsLocked(QWidget* box, const QString& toolTip)
{
    QPalette p = box->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, p.color(group, QPalette::Button));
    box->setPalette(p);
    if (!toolTip.isEmpty()) box->setToolTip(toolTip);
}

}  // namespace zorva
