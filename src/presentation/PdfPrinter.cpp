#include "presentation/PdfPrinter.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPluginLoader>

#include "common/DetailLog.h"
#include "common/Failure.h"
#include "common/FileWriting.h"
#include "presentation/PdfEngine.h"
#include "presentation/Rendering.h"

namespace zorva::presentation {

namespace {

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The module lies beside the executable, in the build folder as in the installed package.
QString engineModulePath()
{
    QString folder = qEnvironmentVariable("ZORVA_PDF_MODULE_DIR");
    if (folder.isEmpty()) folder = QCoreApplication::applicationDirPath();
    return QDir(folder).absoluteFilePath(QStringLiteral(ZORVA_PDF_MODULE));
}

// The module's factory; null, and the reason in the detail log, when there is none to load. The
// loader keeps a module once loaded and hands the same factory to every later printer.
PdfEngineFactory* engineFactory()
{
    const QString path = engineModulePath();
    QPluginLoader module(path);
    // Never unloaded: the engine keeps threads and state of its own until the process ends, and
    // the leak checker of the sanitizer builds must still find the engine's code then.
    module.setLoadHints(QLibrary::PreventUnloadHint);
    auto* factory = qobject_cast<PdfEngineFactory*>(module.instance());
    if (!factory) {
        const QString why =
            module.isLoaded() ? QStringLiteral("the module offers no " ZORVA_PDF_ENGINE_IID) : module.errorString();
        qCWarning(detailLog).noquote()
            << QStringLiteral("Modul tisku do PDF %1 nelze načíst:").arg(QDir::toNativeSeparators(path)) << why;
    }
    return factory;
}

}  // namespace

PdfPrinter::PdfPrinter(QObject* parent) : QObject(parent)
{
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, &PdfPrinter::overdue);
    // Read when the engine starts, which is with the first profile.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

PdfPrinter::~PdfPrinter()
{
    // The engine drops a page still under way without an answer.
    waiting_.clear();
    current_.reset();
    engine_.reset();
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
    const QFileInfo page(current_->html);
    if (!page.isFile()) return finish(QStringLiteral("Stránka k tisku do PDF chybí."));
    if (!startEngine()) return finish(engineProblem_);
    const double megabytes = double(page.size()) / (1024 * 1024);
    deadline_.start(limit_.base + std::chrono::milliseconds(qint64(megabytes * double(limit_.perMegabyte.count()))));
    engine_->print(page.absoluteFilePath());
}

void PdfPrinter::overdue()
{
    if (!current_) return;
    // The engine drops the page under way without an answer; whatever held it goes with it.
    engine_.reset();
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(std::chrono::milliseconds(deadline_.interval()));
    finish(QStringLiteral("Tisk stránky do PDF nedoběhl do %1 s a byl přerušen.").arg(seconds.count()));
}

bool PdfPrinter::startEngine()
{
    if (engine_ || engineProblem_) return engine_ != nullptr;
    // Under a plain QCoreApplication the engine would end the program.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        engineProblem_ = QStringLiteral("Tisk do PDF potřebuje grafickou aplikaci (QGuiApplication).");
        return false;
    }
    PdfEngineFactory* factory = engineFactory();
    if (!factory) {
        engineProblem_ = QStringLiteral("Modul tisku do PDF (%1) vedle programu chybí nebo jej nelze načíst.")
                             .arg(QStringLiteral(ZORVA_PDF_MODULE));
        return false;
    }
    engine_ = factory->start([this](PdfEngine::Outcome outcome, const QByteArray& pdf) {
        if (!current_) return;
        switch (outcome) {
            case PdfEngine::Outcome::Printed:
                return printed(pdf);
            case PdfEngine::Outcome::NotLoaded:
                return finish(QStringLiteral("Stránku nelze otevřít pro tisk do PDF."));
            case PdfEngine::Outcome::NotPrinted:
                return finish(QStringLiteral("Stránku nelze vytisknout do PDF."));
            case PdfEngine::Outcome::Ended:
                return finish(QStringLiteral("Tisk do PDF přerušilo selhání tiskového modulu."));
        }
    });
    return true;
}

void PdfPrinter::printed(const QByteArray& pdf)
{
    if (!current_) return;
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
    deadline_.stop();
    owed_ = true;
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
// It is defined here, in every program that can print, and not in the engine's module: the
// sanitizer reads its options as the program starts, long before the module is loaded.
extern "C" const char* __asan_default_options()
{
    return "new_delete_type_mismatch=0";
}
#endif
