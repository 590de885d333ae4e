#pragma once
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace zorva {

// A mistake in the arguments or the input of a headless command, told to the user in Czech.
class BadInput : public std::runtime_error {
public:
    explicit BadInput(const QString& m) : std::runtime_error(m.toStdString()), message(m) {}
    QString message;
};

// Walks the options of a headless command: next() moves to the following option, value() takes the
// argument after it (never another option), unknown() is the refusal of an option the command does
// not have.
class CommandArguments {
public:
    explicit CommandArguments(const QStringList& args) : args_(args) {}

    // Whether an argument can be an option's value: "--out --resume" lacks its folder, and taking
    // the next option as the value would write to a folder named "--resume" and skip the option.
    static bool isValue(const QString& arg) { return !arg.startsWith(QLatin1String("--")); }

    bool next() { return ++at_ < args_.size(); }
    const QString& option() const { return args_[at_]; }
    bool is(const char* name) const { return option() == QLatin1String(name); }
    QString value()
    {
        if (at_ + 1 >= args_.size() || !isValue(args_[at_ + 1]))
            throw BadInput(QStringLiteral("Volbě %1 chybí hodnota.").arg(option()));
        return args_[++at_];
    }
    [[noreturn]] void unknown() const { throw BadInput(QStringLiteral("Neznámá volba \"%1\".").arg(option())); }

private:
    const QStringList& args_;
    qsizetype at_ = -1;
};

}  // namespace zorva
