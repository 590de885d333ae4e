#pragma once
#include <QObject>
#include <functional>

namespace zorva {

// Calls `handler` on the event loop of `context`'s thread when the process receives SIGINT or
// SIGTERM (once), so that the program can end its work normally instead of inside a signal handler.
void onTerminationSignal(QObject* context, std::function<void()> handler);

}  // namespace zorva
