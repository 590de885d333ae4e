#pragma once
#include <QMap>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "common/ProgramContext.h"
#include "editor/Calculation.h"
#include "editor/CategorySet.h"
#include "editor/PlanInput.h"
#include "editor/UserChanges.h"
#include "editor/ValuesNotTaken.h"
#include "platform/DataControl.h"
#include "platform/XmlDocument.h"

namespace zorva {
class FileInUse;
}

namespace zorva::editor {

// What one run of the calculation may ask of whoever started it: a chance to process window events
// between rows, and a place to show how far it got.
struct RunHooks {
    std::function<void()> pumpEvents;
    std::function<void(int done, int total)> progress;
    std::function<void()> beep;  // the short signal at the end of a run
};

// One opening of the livestock-unit editor, without any widget: the response document, the working
// table and the data control over it, the header texts and the two flags. The editor window binds to
// it; the headless recompute and the tests drive it directly, so all of them share one code path.
class EditorSession : public QObject {
    Q_OBJECT
public:
    EditorSession(const ProgramContext& ctx, const CategorySet& set, QObject* parent = nullptr);
    ~EditorSession() override;

    const CategorySet& categories() const { return set_; }
    const ProgramContext& context() const { return ctx_; }

    // The response document, shared with the main window: the editor changes it in place.
    std::shared_ptr<xml::Document> xmlDOM;

    // Loads xmlDOM into the header texts and a fresh working table. Reports its own failures and
    // always returns normally.
    void Startuj();
    // Called when loading fails before the table exists: the window leaves its busy state.
    std::function<void()> leaveBusy;

    // The texts of the header boxes, by box name (txtJISUBRUX, ..., txtIRZ_OJM).
    QString header(const QString& box) const { return headers_.value(box); }
    void setHeader(const QString& box, const QString& text);

    bool bPICHROKA = false;
    bool bPICHROKB = false;
    QString strConnect;
    QString workingDatabasePath() const { return databasePath_; }

    // The data control and its recordset over the working table, for the window that binds its grid
    // to them. Every other front end works with the plain values below.
    db::DataControl& Adodc1() { return *dataControl_; }
    db::Recordset* recordset() const { return dataControl_->recordset(); }

    // Whether Startuj() made the working table.
    bool loaded() const { return recordset() != nullptr; }
    // The inputs of every row as the calculation reads them, in the table's order (the empty list
    // before loading). The window's current row stays where it is.
    PlanInput rowInputs() const;
    // Stores `text` into `column` of every row dated `date`, as typed into the grid, and returns how
    // many rows there were. A value the table refuses raises its Failure; rows before it keep theirs.
    int setOnDate(const QString& date, const QString& column, const QString& text);
    // Writes the units of every category into xmlDOM, the organic ones too, whatever the type says
    // (the service's answer carries them all).
    void writeEveryCategory();

    // "Počítej": recomputes every row, writes the results into xmlDOM, sets the yearly texts.
    void Pocitej(const RunHooks& hooks = {});
    bool running() const { return running_; }

    // What the loading could not take as the service sent it (also from an earlier loading of the
    // same document), in the order found.
    const std::vector<ValueNotTaken>& valuesNotTaken() const { return notTaken_; }

    // Deletes every working database of the program folder that is no longer open.
    void deleteWorkingDatabases();

signals:
    void headersChanged();
    void runStarted();
    void runFinished();

private:
    void loadRows(db::Recordset& rs);
    void noteNotTaken(ValueNotTaken value);
    struct RowOutcome {
        QString date;
        Intensities figures;
    };
    void calculateRow(db::Recordset& rs, const struct TableColumns& columns, const SumOrder& order, QChar decimalPoint,
                      YearTotals& totals, class RowWriter& writer, std::vector<RowOutcome>& outcomes);
    // The limits of the settings for the type, and how the run's figures meet them, into xmlDOM.
    void recordRunLimits(const std::vector<RowOutcome>& outcomes);

    const ProgramContext& ctx_;
    const CategorySet& set_;
    // The inputs as the service sent them, kept at loading: what the user changed is listed in xmlDOM.
    ServiceInputs serviceInputs_;
    ServiceYearly serviceYearly_;
    std::vector<ValueNotTaken> notTaken_;
    QMap<QString, QString> headers_;
    QString databasePath_;
    std::unique_ptr<FileInUse> inUse_;
    std::unique_ptr<db::DataControl> dataControl_;
    bool running_ = false;
};

}  // namespace zorva::editor
