#pragma once
#include <QApplication>

#include "common/ProgramContext.h"

namespace zorva::app {

// The window program's last line: a failure that no handler of an event reported (out of memory
// above all, which no step may skip) is told in Czech instead of ending the program unannounced.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    void tellThrough(const ProgramContext* ctx) { ctx_ = ctx; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    const ProgramContext* ctx_ = nullptr;
};

}  // namespace zorva::app
