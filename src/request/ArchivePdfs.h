#pragma once
#include <QObject>
#include <QString>
#include <memory>

#include "common/ProgramContext.h"

namespace zorva::presentation {
class PdfPrinter;
}

namespace zorva::request {

// With SETUP/PDF=1, each page filed in the archive gets its PDF beside it, made on the event loop
// after the page is shown, so that the window never waits for it. A PDF that cannot be made is told
// once a run (the HTML page stays filed), whatever the reason, an engine that cannot start included;
// the engine starts with the first PDF asked for.
class ArchivePdfs : public QObject {
    Q_OBJECT
public:
    explicit ArchivePdfs(const ProgramContext& ctx, QObject* parent = nullptr);
    ~ArchivePdfs() override;

    // The filed page `page` (".htm"), or nothing for an empty path or with SETUP/PDF off.
    void file(const QString& page);
    bool busy() const;

signals:
    // Every PDF asked for so far has been made or has failed.
    void allDone();

private:
    void tell(const QString& pdf, const QString& problem);

    const ProgramContext& ctx_;
    std::unique_ptr<presentation::PdfPrinter> printer_;
    bool told_ = false;
};

}  // namespace zorva::request
