#include "request/ArchivePdfs.h"

#include <QDir>

#include "presentation/PdfPrinter.h"
#include "request/Archive.h"

namespace zorva::request {

ArchivePdfs::ArchivePdfs(const ProgramContext& ctx, QObject* parent)
    : QObject(parent), ctx_(ctx), printer_(std::make_unique<presentation::PdfPrinter>())
{
    connect(printer_.get(), &presentation::PdfPrinter::allDone, this, &ArchivePdfs::allDone);
    connect(printer_.get(), &presentation::PdfPrinter::failed, this, &ArchivePdfs::tell);
}

ArchivePdfs::~ArchivePdfs() = default;

void ArchivePdfs::file(const QString& page)
{
    if (page.isEmpty() || !archiveKeepsPdf(ctx_)) return;
    printer_->add(page, presentation::pdfBeside(page));
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
    return printer_->busy();
}

}  // namespace zorva::request
