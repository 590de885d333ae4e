#pragma once
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "common/Command.h"
#include "common/ProgramContext.h"
#include "request/BatchRun.h"

namespace zorva::request {

// The batch from the command line:
//
//   --batch LIST.csv --out DIR [--server URL] [--user ID] [--jobs N] [--resume]
//
// Server and user come from the settings file unless given. Progress goes to the error stream, one
// line per row ("12/200 1000234567 OK"). Returns the exit status: 0 every row OK, 1 some row failed
// or the run was interrupted, 2 a bad invocation or an unreadable list (nothing written then).
// `interrupt`, when given, is handed the function that interrupts the run (for SIGINT and SIGTERM).
class BatchCommand : public Command {
public:
    using Interrupt = std::function<void(std::function<void()>)>;
    explicit BatchCommand(Interrupt interrupt = {}) : interrupt_(std::move(interrupt)) {}
    const char* option() const override;
    QString usage() const override;
    std::span<const OptionShape> options() const override;
    int run(const CommandOptions& options, const ProgramContext& ctx, const CommandStreams& streams) const override;

private:
    Interrupt interrupt_;
};

int runBatchCommand(const QStringList& arguments, const ProgramContext& ctx,
                    const std::function<void(const QString&)>& error,
                    const std::function<void(std::function<void()>)>& interrupt = {});

// The settings of a batch that the window and the command line share: server and user from the
// settings file unless given.
BatchSettings batchSettings(const ProgramContext& ctx, const QString& outFolder, const QString& server = QString(),
                            const QString& user = QString());

// The folder for a batch's outputs, created when missing. Nothing when it cannot be made or is no
// folder; `problem` then says why, in Czech.
bool prepareOutFolder(const QString& folder, QString& problem);

}  // namespace zorva::request
