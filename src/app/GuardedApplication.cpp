#include "app/GuardedApplication.h"

#include "common/UserText.h"

namespace zorva::app {

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (ctx_) ctx_->message(userText(e), MessageIcon::Critical);
        return false;
    }
}

}  // namespace zorva::app
