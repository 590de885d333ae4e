#pragma once
#include <QApplication>

namespace zorva {

// A pointer shape over the whole application for as long as the object lives.
class PointerOverride {
public:
    explicit PointerOverride(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~PointerOverride() { QApplication::restoreOverrideCursor(); }
    PointerOverride(const PointerOverride&) = delete;
    PointerOverride& operator=(const PointerOverride&) = delete;
};

// The hourglass pointer for work of a few seconds on the window's own thread, such as the page of an
// answer of thousands of dates: the user sees the program at work, not stuck. A message box shown
// meanwhile has the ordinary pointer (QtMessageBoxes).
class BusyPointer : public PointerOverride {
public:
    BusyPointer() : PointerOverride(Qt::WaitCursor) {}
};

}  // namespace zorva
