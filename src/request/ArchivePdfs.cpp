#include "request/ArchivePdfs.h"

#include <QDir>

#include "common/Failure.h"
#include "presentation/PdfPrinter.h"
#include "request/Archive.h"

namespace zorva::request {

ArchivePdfs::ArchivePdfs(const ProgramContext& ctx, QObject* parent) : QObject(parent), ctx_(ctx)
{
}

ArchivePdfs::~ArchivePdfs() = default;

void ArchivePdfs::file(const QString& page)
{
    if (page.isEmpty() || !archiveKeepsPdf(ctx_)) return;
    const QString pdf = presentation::pdfBeside(page);
    // An engine that cannot start costs the PDF, never the exchange or the page shown.
    try {
        if (!printer_) {
            printer_ = std::make_unique<presentation::PdfPrinter>();
            connect(printer_.get(), &presentation::PdfPrinter::allDone, this, &ArchivePdfs::allDone);
            connect(printer_.get(), &presentation::PdfPrinter::failed, this, &ArchivePdfs::tell);
        }
        printer_->add(page, pdf);
    } catch (const Failure& f) {
        tell(pdf, f.description());
    }
}

void ArchivePdfs::tell(const QString& pdf, const QString& problem)
{
    if (told_) return;
    told_ = true;
    ctx_.message(QStringLiteral("PDF stránky v archivu nelze vytvořit: %1\n\n%2\n\nStránka HTML je v archivu uložena.")
                     .arg(QDir::toNativeSeparators(pdf), problem),
                 MessageIcon::Critical);
}

bool ArchivePdfs::busy() const
{
    return printer_ && printer_->busy();
}

}  // namespace zorva::request
