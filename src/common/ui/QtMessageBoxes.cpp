#include "common/ui/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <optional>

#include "common/ui/BusyPointer.h"

namespace zorva {

namespace {

// A box asks for the user's answer: under the hourglass of work under way it has the ordinary pointer.
struct AnswerPointer {
    AnswerPointer()
    {
        if (QApplication::overrideCursor()) arrow.emplace(Qt::ArrowCursor);
    }
    std::optional<PointerOverride> arrow;
};

}  // namespace

void QtMessageBoxes::show(const QString& text, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QApplication::applicationName(), text, QMessageBox::Ok, QApplication::activeWindow());
    const AnswerPointer pointer;
    box.exec();
}

Answer QtMessageBoxes::ask(const QString& text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QApplication::activeWindow());
    // Named here, so that the buttons speak Czech whatever translations are installed.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Ano"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Ne"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Storno"));
    box.setDefaultButton(QMessageBox::Yes);
    const AnswerPointer pointer;
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

}  // namespace zorva
