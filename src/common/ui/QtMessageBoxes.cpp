#include "common/ui/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace zorva {

void QtMessageBoxes::show(const QString& text, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QApplication::applicationName(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace zorva
