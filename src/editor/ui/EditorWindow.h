#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QMap>
#include <QPointer>
#include <functional>
#include <memory>

#include "editor/EditorSession.h"

class QDataWidgetMapper;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;

namespace zorva {
class DesignGeometry;
}

namespace zorva::editor {

class LimitPanel;

// The livestock-unit editor window. frmEditace and frmEditace2006 are both this class, made with
// their category set: the category lines, the table's columns and the elements read and written
// all come from the set. The window only binds widgets to an EditorSession.
class EditorWindow : public QDialog {
    Q_OBJECT
public:
    EditorWindow(const ProgramContext& ctx, const CategorySet& set, QWidget* parent = nullptr);
    ~EditorWindow() override;

    EditorSession& session() { return *session_; }

    // The response document, set by the main window before Startuj.
    void setXmlDOM(std::shared_ptr<xml::Document> doc) { session_->xmlDOM = std::move(doc); }
    std::shared_ptr<xml::Document> xmlDOM() const { return session_->xmlDOM; }
    void Startuj();

    // Replaces the rendering that "Zobraz" runs (the editor's rendering of its document by default).
    std::function<void(EditorWindow&)> onZobraz;
    // Told the document after "Zobraz" rendered it, for the main window to file the page shown.
    std::function<void(const xml::Document&)> pageShown;

    // The unload that the main window performs after the modal display: deletes the working
    // databases unless the window has already been unloaded by its close box.
    void unload();
    bool isUnloaded() const { return unloaded_; }

    // Commits an edit that a bound box or the grid still holds into the working table.
    void commitPendingEdit();
    // "Počítej", "Zobraz", "Storno" as the buttons run them.
    void cmdPocitej_Click();
    void cmdZobraz_Click();
    void cmdStorno_Click();

    QCheckBox* chkHTML() const { return chkHTML_; }
    LimitPanel* limitPanel() const { return limitPanel_; }
    QLineEdit* box(const QString& objectName) const;
    // The window's design and the factor that turns it into pixels in the font at hand.
    const DesignGeometry& design() const { return *design_; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildOverviewTab(QWidget* tab, int subjectTop, int subjectHeight);
    void buildDatesTab(QWidget* tab, int frameWidth, int frameHeight);
    QLabel* label(QWidget* parent, const QString& text, QRect twips);
    QLineEdit* boundBox(QWidget* parent, const QString& column, QRect twips, const char* contents, bool input);
    void showHeaders();
    void rebind();
    void followRecordset(int row);
    void setCommandsEnabled(bool enabled);
    void queryUnload();
    QString fieldCaption(const QString& column) const;
    QString refusalMessage(const QString& column, const QString& text, int number, const QString& description) const;

    const ProgramContext& ctx_;
    const CategorySet& set_;
    std::unique_ptr<EditorSession> session_;
    DesignGeometry* design_ = nullptr;
    QTabWidget* SSTab1_ = nullptr;
    QTableView* TDBGrid1_ = nullptr;
    QDataWidgetMapper* mapper_ = nullptr;
    QPushButton* cmdPocitej_ = nullptr;
    QPushButton* cmdZobraz_ = nullptr;
    QPushButton* cmdStorno_ = nullptr;
    QCheckBox* chkHTML_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* lblNEPREVZATO_ = nullptr;
    LimitPanel* limitPanel_ = nullptr;
    QPlainTextEdit* txtIRZ_OJM_ = nullptr;
    QMap<QString, QLineEdit*> headerBoxes_;
    QMap<QString, QLineEdit*> boundBoxes_;  // by column
    bool unloaded_ = false;
    bool closeRequested_ = false;
    bool uncomputed_ = false;  // counts or acreage edited since the last calculation
    bool syncing_ = false;
};

}  // namespace zorva::editor
