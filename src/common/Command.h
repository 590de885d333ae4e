#pragma once
#include <QByteArray>
#include <QMultiHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <span>
#include <stdexcept>

#include "common/ProgramContext.h"

namespace zorva {

// A mistake in the arguments or the input of a headless command, told to the user in Czech. Every
// command ends on it the same way: its message on the error stream and the exit status 2.
class BadInput : public std::runtime_error {
public:
    explicit BadInput(const QString& m) : std::runtime_error(m.toStdString()), message(m) {}
    QString message;
};

// An option a command takes: with a value after it ("--out FILE") or alone ("--xml"). A value
// option given twice keeps the last value unless it may repeat ("--set").
struct OptionShape {
    const char* name;
    bool takesValue = true;
};

// The options of one invocation, read against the command's table: an option the command does not
// have, or a value option without its value, is refused as BadInput.
class CommandOptions {
public:
    CommandOptions(const QStringList& args, std::span<const OptionShape> shapes);

    // Whether an argument can be an option's value: "--out --resume" lacks its folder, and taking
    // the next option as the value would write to a folder named "--resume" and skip the option.
    static bool isValue(const QString& arg) { return !arg.startsWith(QLatin1String("--")); }

    bool has(const char* name) const { return values_.contains(QLatin1String(name)); }
    QString value(const char* name) const;                             // the last value given, or empty
    QStringList values(const char* name) const;                        // every value, in the order given
    QString required(const char* name, const QString& missing) const;  // raises BadInput(missing)

private:
    QMultiHash<QString, QString> values_;
};

// Where a headless command talks: the document on standard output, one message per call on the
// error stream.
struct CommandStreams {
    std::function<void(const QByteArray&)> out;
    std::function<void(const QString&)> error;
};

// One command of the program that runs without a window: a row of the command line's table.
class Command {
public:
    virtual ~Command() = default;
    virtual const char* option() const = 0;  // the option that names the command, with its value
    // The arguments after the option, then a short Czech description on its own line.
    virtual QString usage() const = 0;
    virtual std::span<const OptionShape> options() const = 0;
    // The exit status; bad input is raised as BadInput.
    virtual int run(const CommandOptions& options, const ProgramContext& ctx, const CommandStreams& streams) const = 0;
};

// Runs a command with the one rule for bad input and for failures no step of it reported: a Czech
// message on the error stream, exit status 2.
int runCommand(const Command& command, const QStringList& args, const ProgramContext& ctx,
               const CommandStreams& streams);

}  // namespace zorva
