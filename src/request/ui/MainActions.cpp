#include "request/ui/MainActions.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>

#include "common/Failure.h"
#include "common/ModAll.h"
#include "common/UserText.h"
#include "common/ui/BusyPointer.h"
#include "common/ui/CommandButtonX.h"
#include "common/ui/PovolFormular.h"
#include "editor/CategorySet.h"
#include "presentation/Rendering.h"
#include "request/Archive.h"
#include "request/ArchivePdfs.h"
#include "request/Exchange.h"
#include "request/PreparedRequest.h"
#include "request/RecentApplicants.h"
#include "request/ServiceAccess.h"
#include "request/ServiceFault.h"
#include "request/ui/ArchiveWindow.h"
#include "request/ui/BatchWindow.h"
#include "request/ui/SettingsDialog.h"

namespace zorva::request {

namespace {

QString firstCharacter(const QComboBox* box)
{
    return box->currentIndex() < 0 ? QString() : box->currentText().left(1);
}

presentation::HtmlCheck htmlCheck(const QCheckBox* box)
{
    return static_cast<presentation::HtmlCheck>(int(box->checkState()) == Qt::Checked       ? 1
                                                : box->checkState() == Qt::PartiallyChecked ? 2
                                                                                            : 0);
}

}  // namespace

MainActions::MainActions(frmMain& window)
    : QObject(&window), pdfs(new ArchivePdfs(window.context(), this)), w_(window), ctx_(window.context())
{
    connect(&w_, &frmMain::requestSend, this, &MainActions::CommandButtonX1_Click);
    connect(&w_, &frmMain::requestEdit, this, &MainActions::cmdEditace_Click);
    connect(&w_, &frmMain::requestTestDocument, this, &MainActions::openTestDocument);
    connect(&w_, &frmMain::requestShowResponse, this, &MainActions::ZobrazOdpoved);
    connect(&w_, &frmMain::requestBatch, this, [this] {
        // The batch window is the main window's child, so the main window outlives every call.
        auto* batch = new BatchWindow(ctx_, &w_, [&w = w_] {
            return BatchWindow::Account{w.txtSERVER->toPlainText().trimmed(), w.txtUSERID->text()};
        });
        batch->setAttribute(Qt::WA_DeleteOnClose);
        batch->show();
    });
    connect(&w_, &frmMain::requestCancel, this, &MainActions::cancelRequest);
    connect(&w_, &frmMain::requestArchive, this, [this] {
        auto* archive = new ArchiveWindow(ctx_, &w_);
        archive->pageFiled = [this](const QString& page) { pdfs->file(page); };
        archive->setAttribute(Qt::WA_DeleteOnClose);
        archive->show();
    });
    connect(&w_, &frmMain::requestSettings, this, [this] {
        SettingsDialog dialog(ctx_, &w_);
        if (dialog.exec() == QDialog::Accepted) w_.refreshFromSettings();
    });
}

void MainActions::CommandButtonX1_Click()
{
    send(Mode::Show);
}
void MainActions::cmdEditace_Click()
{
    send(Mode::Edit);
}

void MainActions::generalFailure(const std::exception& e)
{
    ctx_.message(userText(e), MessageIcon::None);
}

void MainActions::send(Mode mode)
{
    if (const QString refusal = userCheck(w_.txtUSERID->text()); !refusal.isEmpty()) {
        ctx_.message(refusal, MessageIcon::Critical);
        return;
    }
    // With the busy state's disabling switched off, a second press could otherwise start a request
    // inside the one still waiting for its answer.
    if (running_) {
        QApplication::beep();
        return;
    }
    running_ = true;
    PovolFormular(ctx_, &w_, false);
    bool busy = true;
    auto leaveBusy = [&] {
        if (!busy) return;
        busy = false;
        PovolFormular(ctx_, &w_, true);
    };
    auto done = qScopeGuard([&] {
        leaveBusy();
        running_ = false;
    });

    std::shared_ptr<xml::Document> response;
    RequestFields asked;
    try {
        w_.UlozNastaveni();
        if (mode == Mode::Edit) SmazSoubory(ctx_, ctx_.folder, editor::kWorkingDatabasePattern);

        const PreparedRequest prepared =
            prepareRequest({w_.txtUSERID->text(), w_.txtJISUBRUX->text(), w_.txtIC->text(), w_.txtRC->text(),
                            firstCharacter(w_.cmbVARPICH), firstCharacter(w_.cmbPICHVYPOCET), w_.txtROK->text(),
                            w_.txtVYMERA->text()});
        if (!prepared.ok()) {
            ctx_.message(prepared.checked.message, MessageIcon::Critical);
            return;
        }
        w_.txtROK->setText(prepared.checked.year);
        w_.txtVYMERA->setText(prepared.checked.acreage);
        const RequestFields& fields = prepared.fields;
        asked = fields;
        // The address as the box shows it, even when empty: the exchange then says that it is missing.
        ServiceAccess access = ServiceAccess::fromSettings(ctx_);
        access.server = w_.txtSERVER->toPlainText();
        const std::unique_ptr<Exchange> exchange = newExchange(ctx_, access, fields);
        exchange->setTarget(ctx_.file(presentation::kResponseFile));
        const ExchangeOutcome& outcome = waitFor(*exchange);
        switch (outcome.result) {
            case ExchangeOutcome::Result::Answered:
                response = outcome.response;
                break;
            case ExchangeOutcome::Result::NotStored:
                ctx_.message(outcome.message, MessageIcon::None);
                return;
            // The response stored before stays as it was: a failed exchange is no answer.
            case ExchangeOutcome::Result::Failed:
                ctx_.message(outcome.message, MessageIcon::Critical);
                return;
            default:
                return;  // given up by the user: nothing to say
        }
        pdfs->file(archiveResponse(ctx_, fields));
        if (response && holdsServiceData(*response)) {
            rememberApplicant(ctx_, {fields.jisubrux, fields.ico, fields.rc, applicantNameOf(*response)});
            w_.offerRecentApplicants(recentApplicants(ctx_));
        }
    } catch (const std::exception& e) {
        generalFailure(e);
        return;
    }
    leaveBusy();

    if (mode == Mode::Show) {
        ZobrazOdpoved();
        return;
    }
    // A fault holds no figures: an empty editor would hide the service's reason.
    if (const auto fault = response ? serviceFault(*response) : std::nullopt) {
        ctx_.message(*fault == kFaultWithoutText ? *fault : QStringLiteral("Služba odpověděla chybou: %1").arg(*fault),
                     MessageIcon::Critical);
        return;
    }
    try {
        // What the advisor shows from the editor is filed beside the answer it came from.
        editor::openEditorForYear(
            ctx_, w_.txtROK->text(), response, &w_, showEditor,
            [this, asked](const xml::Document& doc) { pdfs->file(archiveEditedPage(ctx_, asked, doc)); });
    } catch (const std::exception& e) {
        generalFailure(e);
    }
}

const ExchangeOutcome& MainActions::waitFor(Exchange& exchange)
{
    exchange.start();
    current_ = &exchange;
    auto hide = qScopeGuard([this] {
        current_ = nullptr;
        w_.setWaiting(false);
    });
    w_.setWaiting(true, 0);
    connect(&exchange, &Exchange::progress, &w_, [this](int seconds) { w_.setWaiting(true, seconds); });
    return exchange.wait();
}

void MainActions::cancelRequest()
{
    if (current_) current_->cancel();
}

void MainActions::openTestDocument()
{
    auto doc = std::make_shared<xml::Document>();
    doc->load(ctx_.file(QStringLiteral("\\test.xml")));
    PovolFormular(ctx_, &w_, true);
    // A missing or malformed test document opens an empty editor unannounced; one that the loader
    // refused (its size, its DOCTYPE) is there but never shown, and that is said first.
    if (xml::isRefusal(doc->loadFailure()))
        ctx_.message(
            QStringLiteral("Testovací dokument test.xml nelze načíst. ") + xml::loadFailureText(doc->loadFailure()),
            MessageIcon::Critical);
    try {
        editor::openEditor(ctx_, editor::CategorySet::first(), doc, &w_, showEditor);
    } catch (const std::exception& e) {
        generalFailure(e);
    }
}

void MainActions::ZobrazOdpoved()
{
    const BusyPointer busy;
    presentation::ZobrazOdpoved(ctx_, htmlCheck(w_.chkHTML));
}

}  // namespace zorva::request
