#pragma once
#include <QWidget>
#include <functional>

#include "common/ProgramContext.h"
#include "request/RecentApplicants.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace zorva {

class CommandButtonX;
class DesignGeometry;

// The program's start-up window: the fields of one request to the service, restored from the
// settings file at start and written back by UlozNastaveni at every request.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(const ProgramContext& ctx, QWidget* parent = nullptr);

    // Writes the request fields into section SETUP of the settings file (USERID never).
    // Raises a Failure when the file cannot be written.
    void UlozNastaveni();

    // What "STORNO" does to end the program. The default ends the process at once: no window's
    // closing handler runs and nothing is saved. Replaceable so that the button can be watched.
    void setEndProgram(std::function<void()> end) { endProgram_ = std::move(end); }

    const ProgramContext& context() const { return ctx_; }
    // The window's design and the factor that turns it into pixels in the font at hand.
    const DesignGeometry& design() const { return *design_; }

    // The controls, named as in the window's design.
    QLabel* Label1;
    QLineEdit* txtJISUBRUX;
    QLabel* Label2;
    QLineEdit* txtIC;
    QLabel* Label3;
    QLineEdit* txtRC;
    QLabel* Label4;
    QLabel* lblRok;
    QLineEdit* txtROK;
    CommandButtonX* CommandButtonX1;
    CommandButtonX* CommandButtonX2;
    QGroupBox* Frame1;
    QPlainTextEdit* txtSERVER;
    QLabel* Label5;
    QComboBox* cmbVARPICH;
    QLabel* lblVersion;
    CommandButtonX* CommandButtonX3;
    QCheckBox* chkHTML;
    QComboBox* cmbPICHVYPOCET;
    QLabel* Label6;
    QLineEdit* txtVYMERA;
    QLabel* lblVYMERA;
    CommandButtonX* cmdEditace;
    QGroupBox* Frame2;
    QLineEdit* txtUSERID;
    QFrame* Line1;
    QFrame* Line2;
    // Shown only while a request waits for the service: how long it has waited, and "Zrušit".
    QLabel* waitLabel;
    CommandButtonX* cancelButton;

    // Shows the waiting line with the seconds waited so far and offers "Zrušit" (also on Escape),
    // usable while the rest of the window is busy; waiting false hides both.
    void setWaiting(bool waiting, int seconds = 0);

    // Reads the address and the identification again from the settings file (after "Nastavení…").
    void refreshFromSettings();

    // The applicant boxes offer these applicants as the user types; choosing one fills all three.
    void offerRecentApplicants(const std::vector<request::KnownApplicant>& applicants);

signals:
    // "OK (ODESLAT)" was clicked: validate, send, render.
    void requestSend();
    // "OK (Editace)" was clicked: validate, send, open the editor.
    void requestEdit();
    // The right mouse button went down on "OK (Editace)": open the editor on the test document.
    void requestTestDocument();
    // A double-click on the window's background: render the stored response.
    void requestShowResponse();
    // "Dávka…" was clicked: open the batch over a list of applicants.
    void requestBatch();
    // "Zrušit" or Escape while a request waits: give the request up.
    void requestCancel();
    // "Nastavení…" was clicked: edit the settings file's values in a dialog.
    void requestSettings();
    // "Archiv…" was clicked: browse and compare the kept results.
    void requestArchive();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void arrangeTabOrder();
    void loadSettings();
    void selectType(int index);
    void typeSwitch();
    void showHelp();
    void chooseApplicant(int index);

    ProgramContext ctx_;
    std::vector<request::KnownApplicant> recent_;
    DesignGeometry* design_ = nullptr;
    std::function<void()> endProgram_;
};

}  // namespace zorva
