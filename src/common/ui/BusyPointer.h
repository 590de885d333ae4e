#pragma once
#include <QApplication>

namespace zorva {

// The hourglass pointer for work of a few seconds on the window's own thread, such as the page of an
// answer of thousands of dates: the user sees the program at work, not stuck. A message box shown
// meanwhile has the ordinary pointer (QtMessageBoxes).
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace zorva
