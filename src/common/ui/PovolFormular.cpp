#include "common/ui/PovolFormular.h"

#include <QApplication>
#include <QCoreApplication>

#include "common/ModAll.h"
#include "common/SkipOnFailure.h"

namespace zorva {

namespace {

// Marks a window whose hourglass is on the application's pointer stack, so that repeated calls
// with the same state neither stack nor unstack more than once: the pointer is a state of the
// window, not a counter.
const char* const kBusyPointer = "zorvaBusyPointer";

void setPointer(QWidget* window, bool enable)
{
    const bool busy = window->property(kBusyPointer).toBool();
    if (!enable && !busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        window->setProperty(kBusyPointer, true);
    } else if (enable && busy) {
        QApplication::restoreOverrideCursor();
        window->setProperty(kBusyPointer, false);
    }
}

// The handlers that run here belong to other windows: whatever one of them raises is not this
// call's failure.
void pumpMessages()
{
    skipOnFailure([] { QCoreApplication::processEvents(); });
}

// Disabling a control takes the keyboard focus away from it, and enabling it gives nothing back:
// without this the user would have to click into the window after every request or message.
const char* const kFocusedControl = "zorvaFocusedControl";

void keepFocus(QWidget* window, bool enable)
{
    if (!enable) {
        if (window->property(kFocusedControl).isValid()) return;  // already busy: keep the first one
        const QWidget* focused = window->focusWidget();
        window->setProperty(kFocusedControl, focused ? focused->objectName() : QString());
        return;
    }
    const QString name = window->property(kFocusedControl).toString();
    window->setProperty(kFocusedControl, QVariant());
    if (name.isEmpty()) return;
    QWidget* control = window->findChild<QWidget*>(name);
    if (control && control->isEnabled() && control->isVisible()) control->setFocus(Qt::OtherFocusReason);
}

}  // namespace

void PovolFormular(const ProgramContext& ctx, QWidget* window, bool enable)
{
    if (window) setPointer(window, enable);
    if (window && !enable) keepFocus(window, false);
    pumpMessages();
    // The settings file of the program (SouborINI).
    const QString disable = CtiINI(QStringLiteral("QEL"), QStringLiteral("DISABLE"), QString(), ctx.settingsFile());
    if (disable.isEmpty() && window) {
        // The window's own controls, in their order. A control inside a frame follows its frame,
        // so nothing in the window stays clickable; a window of its own (a dialog parented to
        // this one) is not a control.
        const auto controls = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* control : controls)
            if (!control->isWindow()) control->setEnabled(enable);
    }
    if (window && enable) keepFocus(window, true);
    pumpMessages();
}

}  // namespace zorva
