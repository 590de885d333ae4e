#pragma once
#include <QObject>
#include <memory>

#include "editor/ui/EditorOpener.h"
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
    // How long the exchange waits without progress before it gives up.
    int timeoutMs = 60000;

private:
    enum class Mode { Show, Edit };
    void send(Mode mode);
    void generalFailure(const std::exception& e);

    frmMain& w_;
    const ProgramContext& ctx_;
    bool running_ = false;
};

}  // namespace zorva::request
