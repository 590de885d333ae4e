#include "request/ArchivePdfs.h"

#include <QDir>

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
    if (!printer_) {
        printer_ = std::make_unique<presentation::PdfPrinter>();
        connect(printer_.get(), &presentation::PdfPrinter::allDone, this, &ArchivePdfs::allDone);
        connect(printer_.get(), &presentation::PdfPrinter::failed, this,
                [this](const QString& pdf, const QString& problem) {
                    if (told_) return;
                    told_ = true;
                    ctx_.message(QStringLiteral("PDF stránky v archivu nelze vytvořit: %1\n\n%2\n\nStránka HTML je "
                                                "v archivu uložena.")
                                     .arg(QDir::toNativeSeparators(pdf), problem),
                                 MessageIcon::Critical);
                });
    }
    QString pdf = page;
    pdf.replace(pdf.size() - 4, 4, QStringLiteral(".pdf"));
    printer_->add(page, pdf);
}

bool ArchivePdfs::busy() const
{
    return printer_ && printer_->busy();
}

}  // namespace zorva::request
