#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include "common/Command.h"
#include "common/ProgramContext.h"

namespace zorva::editor {

// Whether a response meets the intensity limits of its calculation type, by how much, and what it
// would take: in Czech sentences, or with --csv as a table, on the standard output.
//
//   --plan IN.xml [--min X] [--max Y] [--category NAME] [--csv]
//
// --min and --max replace the limits of the settings file ([LIMITY] TYPn_MIN, TYPn_MAX) for this run.
// Returns 0 when every figure is within its limits, 1 when one is outside, 2 on bad input (a
// message on the error stream, nothing on the standard output).
class PlanCommand : public Command {
public:
    const char* option() const override;
    QString usage() const override;
    std::span<const OptionShape> options() const override;
    int run(const CommandOptions& options, const ProgramContext& ctx, const CommandStreams& streams) const override;
};

using PlanStreams = CommandStreams;

int planCommand(const QStringList& arguments, const ProgramContext& ctx, const PlanStreams& streams);

}  // namespace zorva::editor
