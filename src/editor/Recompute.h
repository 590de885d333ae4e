#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include "common/Command.h"
#include "common/ProgramContext.h"

namespace zorva::editor {

// The headless "Počítej": loads a response as the editor does, applies the given edits, runs the
// calculation with its write-back and saves the document. The same code path as the window.
//
//   --recompute IN.xml [--generation first|2006] [--set DATE:COLUMN=VALUE]... [--out OUT.xml]
//
// Returns the exit status: 0 done, 2 bad input (a message on the error stream, no output file).
class RecomputeCommand : public Command {
public:
    const char* option() const override;
    QString usage() const override;
    std::span<const OptionShape> options() const override;
    int run(const CommandOptions& options, const ProgramContext& ctx, const CommandStreams& streams) const override;
};

// The document goes to `out` when no --out is given.
using RecomputeStreams = CommandStreams;
int recompute(const QStringList& arguments, const ProgramContext& ctx, const RecomputeStreams& streams);

}  // namespace zorva::editor
