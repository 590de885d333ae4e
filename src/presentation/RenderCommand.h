#pragma once
#include <QString>
#include <QStringList>
#include <functional>

#include "common/Command.h"
#include "common/ProgramContext.h"

namespace zorva::presentation {

// The headless rendering: the main window's rendering of a stored response, written to a file.
//
//   --render IN.xml [--xml | --pdf] --out OUT
//
// The stylesheet is the one beside the program. With --pdf the same HTML page is printed to PDF
// (PdfPrinter), which needs a QGuiApplication made after prepareApplicationForPdf(). Returns the
// exit status: 0 done, 2 bad input (one Czech message on the error stream, no output file).
class RenderCommand : public Command {
public:
    const char* option() const override;
    QString usage() const override;
    std::span<const OptionShape> options() const override;
    int run(const CommandOptions& options, const ProgramContext& ctx, const CommandStreams& streams) const override;
};

struct RenderStreams {
    std::function<void(const QString&)> error;  // one message per call
};

int render(const QStringList& arguments, const ProgramContext& ctx, const RenderStreams& streams);

}  // namespace zorva::presentation
