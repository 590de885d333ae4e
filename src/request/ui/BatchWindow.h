#pragma once
#include <QDialog>
#include <functional>
#include <memory>

#include "common/ProgramContext.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace zorva::request {

class BatchRun;

// The batch from the main window: a list of applicants, an output folder, a start; while it runs a
// progress bar with the current row and "Zrušit"; at the end the summary and a button that opens
// "souhrn.xlsx". The same batch as the command line, with the server and the user the main window
// shows when the batch starts (or, without a source or where it gives none, of the settings file).
class BatchWindow : public QDialog {
    Q_OBJECT
public:
    struct Account {
        QString server;
        QString user;
    };
    using AccountSource = std::function<Account()>;

    explicit BatchWindow(const ProgramContext& ctx, QWidget* parent = nullptr, AccountSource account = {});
    ~BatchWindow() override;

    QLineEdit* listPath;
    QPushButton* chooseList;
    QLineEdit* outFolder;
    QPushButton* chooseFolder;
    QCheckBox* resume;
    QCheckBox* pdf;
    QPushButton* startButton;
    QProgressBar* progress;
    QLabel* currentRow;
    QPushButton* cancelButton;
    QLabel* summary;
    QPushButton* openSummaryButton;
    QLabel* listColumns;  // what a list must hold
    QPushButton* saveExampleButton;

    // Writes the example list to `path`; a failure is told and gives false.
    bool saveExampleList(const QString& path);

    bool running() const;
    // Escape and the dialog buttons end here without a close event; a running batch ends with its summary.
    void done(int result) override;

signals:
    void batchFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void start();
    void finish();
    void openSummary();
    void setRunning(bool running);

    // A copy: the main window's context ends before its child windows do, and a batch still running
    // then ends with this window, writing its summary.
    const ProgramContext ctx_;
    AccountSource account_;
    std::unique_ptr<BatchRun> run_;
};

}  // namespace zorva::request
