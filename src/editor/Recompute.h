#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include "common/ProgramContext.h"

namespace zorva::editor {

// The headless "Počítej": loads a response as the editor does, applies the given edits, runs the
// calculation with its write-back and saves the document. The same code path as the window.
//
//   --recompute IN.xml [--generation first|2006] [--set DATE:COLUMN=VALUE]... [--out OUT.xml]
//
// Returns the exit status: 0 done, 2 bad input (a message on the error stream, no output file).
struct RecomputeStreams {
    std::function<void(const QByteArray&)> out;  // the document when no --out is given
    std::function<void(const QString&)> error;   // one message per call
};

int recompute(const QStringList& arguments, const ProgramContext& ctx, const RecomputeStreams& streams);

}  // namespace zorva::editor
