#include "presentation/PdfPrinter.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

#include "common/Failure.h"
#include "common/FileWriting.h"
#include "presentation/Rendering.h"

namespace zorva::presentation {

// Lets the page being printed load itself, and the data it carries inline, and nothing else.
class PdfPrinter::Gate : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        const QUrl url = info.requestUrl();
        const bool allowed = url.scheme() == QLatin1String("data") ||
                             (url.isLocalFile() && !page.isEmpty() && url.toLocalFile() == page);
        info.block(!allowed);
    }
    QString page;  // the absolute path of the page being printed
};

namespace {

QPageLayout a4Landscape()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

PdfPrinter::PdfPrinter(QObject* parent) : QObject(parent), gate_(std::make_unique<Gate>())
{
    // Under a plain QCoreApplication the engine would end the program.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw Failure(err::PrinterError, QStringLiteral("Tisk do PDF potřebuje grafickou aplikaci (QGuiApplication)."));
    // Read when the engine starts, which is with the first profile.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Without a name the profile keeps nothing on the disk: no cache, no cookies in the user's home.
    profile_ = std::make_unique<QWebEngineProfile>();
    profile_->setUrlRequestInterceptor(gate_.get());
    page_ = std::make_unique<QWebEnginePage>(profile_.get());
    QWebEngineSettings* settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);
    connect(page_.get(), &QWebEnginePage::loadFinished, this, &PdfPrinter::loaded);
    connect(page_.get(), &QWebEnginePage::renderProcessTerminated, this, [this] {
        if (current_) finish(QStringLiteral("Tisk do PDF přerušilo selhání tiskového modulu."));
    });
}

PdfPrinter::~PdfPrinter()
{
    // The page answers a print still under way as it goes; with no job left that answer is ignored.
    waiting_.clear();
    current_.reset();
    page_.reset();
    profile_.reset();
}

void PdfPrinter::add(const QString& htmlPath, const QString& pdfPath)
{
    waiting_.push_back({htmlPath, pdfPath});
    QMetaObject::invokeMethod(this, &PdfPrinter::startNext, Qt::QueuedConnection);
}

void PdfPrinter::startNext()
{
    if (current_) return;
    if (waiting_.empty()) {
        if (owed_) {
            owed_ = false;
            emit allDone();
        }
        return;
    }
    current_ = waiting_.front();
    waiting_.pop_front();
    ++serial_;
    const QFileInfo page(current_->html);
    if (!page.isFile()) return finish(QStringLiteral("Stránka k tisku do PDF chybí."));
    gate_->page = page.absoluteFilePath();
    page_->load(QUrl::fromLocalFile(gate_->page));
}

void PdfPrinter::loaded(bool ok)
{
    if (!current_ || printing_) return;
    if (!ok) return finish(QStringLiteral("Stránku nelze otevřít pro tisk do PDF."));
    printing_ = true;
    const quint64 job = serial_;
    page_->printToPdf([this, job](const QByteArray& pdf) { printed(job, pdf); }, a4Landscape());
}

void PdfPrinter::printed(quint64 job, const QByteArray& pdf)
{
    if (!current_ || job != serial_) return;
    if (pdf.isEmpty()) return finish(QStringLiteral("Stránku nelze vytisknout do PDF."));
    try {
        writeFileAtomically(current_->pdf, pdf);
    } catch (const Failure& f) {
        return finish(pageProblem(f, current_->pdf));
    }
    finish(std::nullopt);
}

void PdfPrinter::finish(const std::optional<QString>& problem)
{
    const QString pdf = current_->pdf;
    current_.reset();
    printing_ = false;
    owed_ = true;
    gate_->page.clear();
    QMetaObject::invokeMethod(this, &PdfPrinter::startNext, Qt::QueuedConnection);
    // Last, so that a slot may drop the printer (deleteLater) or add the next job.
    if (problem) emit failed(pdf, *problem);
    else emit made(pdf);
}

void makePdfNow(const QString& htmlPath, const QString& pdfPath)
{
    PdfPrinter printer;
    QEventLoop loop;
    std::optional<QString> problem;
    QObject::connect(&printer, &PdfPrinter::made, &loop, &QEventLoop::quit);
    QObject::connect(&printer, &PdfPrinter::failed, &loop, [&](const QString&, const QString& why) {
        problem = why;
        loop.quit();
    });
    printer.add(htmlPath, pdfPath);
    loop.exec();
    if (problem) throw Failure(err::PrinterError, *problem);
}

QString pdfBeside(const QString& page)
{
    const QFileInfo info(page);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".pdf"));
}

void prepareApplicationForPdf(bool headless)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (headless && (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !hasDisplay()))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace zorva::presentation

#if defined(__SANITIZE_ADDRESS__)
// Chromium inside the engine frees some of its objects with the size of another type as a page
// closes (under QWebEnginePage's destructor), and AddressSanitizer would end every program that
// prints there. Its other checks stay; -Wdelete-non-virtual-dtor guards the program's own deletes.
extern "C" const char* __asan_default_options()
{
    return "new_delete_type_mismatch=0";
}
#endif
