// The PDF engine of presentation/PdfEngine.h on Qt WebEngine, built as the module that PdfPrinter
// loads (zorva_pdf). It is the only part of the program that links the engine.
#include <QObject>
#include <QPageLayout>
#include <QPageSize>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

#include "presentation/PdfEngine.h"

namespace zorva::pdf {

using presentation::PdfEngine;

namespace {

// Lets the page being printed load itself, and the data it carries inline, and nothing else.
class Gate : public QWebEngineUrlRequestInterceptor {
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

QPageLayout a4Landscape()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

// One engine page serves every job, so that the engine starts once.
class WebEnginePdf final : public PdfEngine {
public:
    explicit WebEnginePdf(Answer answer) : answer_(std::move(answer)), gate_(std::make_unique<Gate>())
    {
        // Without a name the profile keeps nothing on the disk: no cache, no cookies in the user's home.
        profile_ = std::make_unique<QWebEngineProfile>();
        profile_->setUrlRequestInterceptor(gate_.get());
        page_ = std::make_unique<QWebEnginePage>(profile_.get());
        QWebEngineSettings* settings = page_->settings();
        settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        settings->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);
        QObject::connect(page_.get(), &QWebEnginePage::loadFinished, page_.get(), [this](bool ok) { loaded(ok); });
        QObject::connect(page_.get(), &QWebEnginePage::renderProcessTerminated, page_.get(), [this] {
            if (busy_) end(Outcome::Ended, {});
        });
    }

    ~WebEnginePdf() override
    {
        // The page answers a print still under way as it goes; with no page under way that answer
        // is ignored.
        busy_ = false;
        page_.reset();
        profile_.reset();
    }

    void print(const QString& page) override
    {
        busy_ = true;
        printing_ = false;
        ++serial_;
        gate_->page = page;
        page_->load(QUrl::fromLocalFile(page));
    }

private:
    void loaded(bool ok)
    {
        if (!busy_ || printing_) return;
        if (!ok) return end(Outcome::NotLoaded, {});
        printing_ = true;
        const quint64 job = serial_;
        page_->printToPdf(
            [this, job](const QByteArray& pdf) {
                if (busy_ && job == serial_) end(pdf.isEmpty() ? Outcome::NotPrinted : Outcome::Printed, pdf);
            },
            a4Landscape());
    }

    void end(Outcome outcome, const QByteArray& pdf)
    {
        busy_ = false;
        printing_ = false;
        gate_->page.clear();
        answer_(outcome, pdf);
    }

    Answer answer_;
    bool busy_ = false;  // a page is under way
    bool printing_ = false;
    quint64 serial_ = 0;  // of the page under way, so that a late answer about an earlier one is ignored
    // Declared in the order the engine needs them to go away in reverse: the page, then its
    // profile, then the profile's gate.
    std::unique_ptr<Gate> gate_;
    std::unique_ptr<QWebEngineProfile> profile_;
    std::unique_ptr<QWebEnginePage> page_;
};

}  // namespace

class WebEnginePdfFactory : public QObject, public presentation::PdfEngineFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ZORVA_PDF_ENGINE_IID)
    Q_INTERFACES(zorva::presentation::PdfEngineFactory)
public:
    std::unique_ptr<PdfEngine> start(PdfEngine::Answer answer) override
    {
        return std::make_unique<WebEnginePdf>(std::move(answer));
    }
};

}  // namespace zorva::pdf

#include "WebEnginePdf.moc"
