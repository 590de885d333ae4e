#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

namespace zorva {

// A mistake in a command line or in what it names, told to the user in Czech.
class BadInput : public std::runtime_error {
public:
    explicit BadInput(const QString& m) : std::runtime_error(m.toStdString()), message(m) {}
    QString message;
};

// Hands every argument to `handle` with a function that takes the option's value (the next argument)
// or raises BadInput when there is none. `handle` returns false for an option it does not know, which
// raises BadInput.
using OptionValue = std::function<QString()>;
void readOptions(const QStringList& args, const std::function<bool(const QString& option, const OptionValue& value)>& handle);

}  // namespace zorva
