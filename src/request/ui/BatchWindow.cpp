#include "request/ui/BatchWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "common/Failure.h"
#include "common/FileWriting.h"
#include "common/SpustSoubor.h"
#include "request/BatchCommand.h"
#include "request/BatchList.h"
#include "request/BatchRun.h"
#include "request/Validation.h"

namespace zorva::request {

namespace {

template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

BatchWindow::BatchWindow(const ProgramContext& ctx, QWidget* parent, AccountSource account)
    : QDialog(parent), ctx_(ctx), account_(std::move(account))
{
    setObjectName(QStringLiteral("BatchWindow"));
    setWindowTitle(QStringLiteral("ZORVA: Dávka žadatelů"));

    listPath = named(new QLineEdit(this), "listPath");
    chooseList = named(new QPushButton(QStringLiteral("…"), this), "chooseList");
    outFolder = named(new QLineEdit(this), "outFolder");
    chooseFolder = named(new QPushButton(QStringLiteral("…"), this), "chooseFolder");
    resume = named(new QCheckBox(QStringLiteral("Neposílat znovu žadatele, jejichž odpověď už ve složce je"), this),
                   "resume");
    pdf = named(new QCheckBox(QStringLiteral("Ke každé stránce uložit i PDF"), this), "pdf");
    startButton = named(new QPushButton(QStringLiteral("Spustit"), this), "startButton");
    progress = named(new QProgressBar(this), "progress");
    currentRow = named(new QLabel(this), "currentRow");
    cancelButton = named(new QPushButton(QStringLiteral("Zrušit"), this), "cancelButton");
    summary = named(new QLabel(this), "summary");
    summary->setWordWrap(true);
    openSummaryButton = named(new QPushButton(QStringLiteral("Otevřít souhrn"), this), "openSummaryButton");
    listColumns = named(new QLabel(kBatchListColumns, this), "listColumns");
    listColumns->setWordWrap(true);
    saveExampleButton = named(new QPushButton(QStringLiteral("Uložit vzor seznamu…"), this), "saveExampleButton");

    auto* listRow = new QHBoxLayout;
    listRow->addWidget(listPath);
    listRow->addWidget(chooseList);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(outFolder);
    folderRow->addWidget(chooseFolder);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Seznam žadatelů (CSV)"), listRow);
    form->addRow(QStringLiteral("Výstupní složka"), folderRow);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(startButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();
    buttons->addWidget(openSummaryButton);
    auto* example = new QHBoxLayout;
    example->addWidget(listColumns, 1);
    example->addWidget(saveExampleButton, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(example);
    layout->addLayout(form);
    layout->addWidget(resume);
    layout->addWidget(pdf);
    layout->addWidget(progress);
    layout->addWidget(currentRow);
    layout->addWidget(summary);
    layout->addLayout(buttons);
    // The wrapped column list needs the height it takes at the window's width, which sizeHint() does not know.
    resize(560, std::max(sizeHint().height(), heightForWidth(560)));

    connect(chooseList, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Seznam žadatelů"), listPath->text(),
                                                          QStringLiteral("Seznam CSV (*.csv);;Všechny soubory (*)"));
        if (!path.isEmpty()) listPath->setText(QDir::toNativeSeparators(path));
    });
    connect(chooseFolder, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getExistingDirectory(this, QStringLiteral("Výstupní složka"), outFolder->text());
        if (!path.isEmpty()) outFolder->setText(QDir::toNativeSeparators(path));
    });
    connect(saveExampleButton, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getSaveFileName(this, QStringLiteral("Vzor seznamu žadatelů"), QStringLiteral("seznam.csv"),
                                         QStringLiteral("Seznam CSV (*.csv)"));
        if (!path.isEmpty()) saveExampleList(path);
    });
    connect(startButton, &QPushButton::clicked, this, [this] { start(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] {
        if (run_) run_->cancel();
    });
    connect(openSummaryButton, &QPushButton::clicked, this, [this] { openSummary(); });
    setRunning(false);
    openSummaryButton->setEnabled(false);
}

BatchWindow::~BatchWindow()
{
    // The program may end with the main window while a batch runs: the batch still ends with its
    // summary, but no longer reports to a window that is going away.
    if (!running()) return;
    run_->disconnect(this);
    run_->cancel();
}

bool BatchWindow::running() const
{
    return run_ && !run_->finishedRun();
}

void BatchWindow::setRunning(bool running)
{
    for (QWidget* w :
         std::initializer_list<QWidget*>{listPath, chooseList, outFolder, chooseFolder, resume, pdf, startButton})
        w->setEnabled(!running);
    cancelButton->setEnabled(running);
}

void BatchWindow::start()
{
    if (running()) return;
    summary->clear();
    currentRow->clear();
    openSummaryButton->setEnabled(false);
    const Account account = account_ ? account_() : Account{};
    BatchSettings settings = batchSettings(ctx_, outFolder->text().trimmed(), account.server, account.user);
    settings.resume = resume->isChecked();
    settings.pdf = pdf->isChecked();
    if (const QString refusal = userCheck(settings.user); !refusal.isEmpty()) {
        ctx_.message(refusal, MessageIcon::Critical);
        return;
    }
    if (settings.outFolder.isEmpty()) {
        ctx_.message(QStringLiteral("Vyberte výstupní složku."), MessageIcon::Critical);
        return;
    }
    try {
        BatchList list(listPath->text().trimmed());
        QString problem;
        if (!prepareOutFolder(settings.outFolder, problem)) throw Failure(err::PathFileAccess, problem);
        run_ = std::make_unique<BatchRun>(ctx_, std::move(list), settings);
    } catch (const Failure& f) {
        ctx_.message(f.description(), MessageIcon::Critical);
        return;
    }
    // A list without rows would turn the bar into an endless "busy" sign.
    progress->setRange(0, std::max(run_->total(), 1));
    progress->setValue(0);
    connect(run_.get(), &BatchRun::rowDone, this, [this](int done, int total, const BatchResult& r) {
        progress->setValue(done);
        currentRow->setText(r.progressLine(done, total));
    });
    connect(run_.get(), &BatchRun::waiting, this, [this](int line, int seconds) {
        currentRow->setText(QStringLiteral("Řádek %1: čeká se na odpověď %2 s").arg(line).arg(seconds));
    });
    connect(run_.get(), &BatchRun::finished, this, [this] { finish(); });
    setRunning(true);
    run_->start();
}

void BatchWindow::finish()
{
    setRunning(false);
    const BatchCounts counts = run_->counts();
    // After an interruption the bar and the row line tell how far the batch got, not that every
    // line was reached.
    progress->setValue(run_->interrupted() ? counts.ok + counts.failed : progress->maximum());
    if (run_->interrupted()) currentRow->clear();
    QString text = (run_->stoppedUnreachable() ? QStringLiteral("Zastaveno, služba je nedostupná. ")
                    : run_->interrupted()      ? QStringLiteral("Přerušeno. ")
                                               : QStringLiteral("Hotovo. ")) +
                   counts.text() + QLatin1Char('.');
    if (!run_->summaryProblem().isEmpty()) text += QLatin1Char(' ') + run_->summaryProblem();
    if (!run_->pdfProblem().isEmpty()) text += QLatin1Char(' ') + run_->pdfProblem();
    summary->setText(text);
    openSummaryButton->setEnabled(run_->summaryProblem().isEmpty());
    emit batchFinished();
}

void BatchWindow::openSummary()
{
    if (run_) SpustSoubor(ctx_, QDir::toNativeSeparators(run_->summaryWorkbook()), QString(), 3, false, true, false);
}

bool BatchWindow::saveExampleList(const QString& path)
{
    try {
        writeFileAtomically(path, exampleBatchList());
        if (listPath->text().isEmpty()) listPath->setText(QDir::toNativeSeparators(path));
        return true;
    } catch (const Failure& f) {
        ctx_.message(QStringLiteral("Vzor seznamu nelze uložit. ") + f.description(), MessageIcon::Critical);
        return false;
    }
}

void BatchWindow::closeEvent(QCloseEvent* event)
{
    // Closing the window ends the batch; what was done stays in the folder with its summary.
    if (running()) run_->cancel();
    QDialog::closeEvent(event);
}

void BatchWindow::done(int result)
{
    if (running()) run_->cancel();
    QDialog::done(result);
}

}  // namespace zorva::request
