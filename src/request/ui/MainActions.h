#pragma once
#include <QObject>
#include <memory>

#include "editor/ui/EditorOpener.h"
#include "request/ArchivePdfs.h"
#include "request/Exchange.h"
#include "request/ui/frmMain.h"

namespace zorva::request {

// What the main window's buttons do: the two sending buttons, the test document on the right
// button of "OK (Editace)", and the rendering of the stored response on a double-click.
class MainActions : public QObject {
    Q_OBJECT
public:
    explicit MainActions(frmMain& window);

    // "OK (ODESLAT)" and "OK (Editace)".
    void CommandButtonX1_Click();
    void cmdEditace_Click();
    // The right mouse button on "OK (Editace)": the editor on "\test.xml", without a request.
    void openTestDocument();
    // Renders the stored response.
    void ZobrazOdpoved();

    bool requestRunning() const { return running_; }

    // How an editor is shown (modally by default); tests step through it instead.
    editor::ShowModal showEditor;
    // "Zrušit" or Escape: gives up the request that waits for the service, if any.
    void cancelRequest();
    // The PDFs of the pages filed in the archive.
    ArchivePdfs* pdfs;

private:
    enum class Mode {
        Show,
        Edit
    };
    void send(Mode mode);
    void generalFailure(const std::exception& e);
    const ExchangeOutcome& waitFor(Exchange& exchange);

    frmMain& w_;
    const ProgramContext& ctx_;
    bool running_ = false;
    Exchange* current_ = nullptr;
};

}  // namespace zorva::request
