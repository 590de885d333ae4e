#pragma once
#include <QDialog>
#include <vector>

#include "common/ProgramContext.h"
#include "editor/ui/EditorOpener.h"
#include "platform/XmlDocument.h"
#include "request/ArchiveIndex.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace zorva::request {

// The results kept in the archive: found by applicant, name or year, their page, PDF or document
// opened, and two of one applicant compared.
class ArchiveWindow : public QDialog {
    Q_OBJECT
public:
    explicit ArchiveWindow(const ProgramContext& ctx, QWidget* parent = nullptr);

    // Reads the archive again, keeping the filter.
    void reload();
    // How many results the filter lets the list show.
    int shownCount() const;

    void openPage();
    void openPdf();
    void openInEditor();
    void compare();

    // How the editor and the comparison are shown (modally by default); tests step through them.
    editor::ShowModal showEditor;
    std::function<void(QDialog&)> showComparison;
    // Told each page this window files (one shown from the editor), for its PDF.
    std::function<void(const QString& page)> pageFiled;

    QLineEdit* filterBox = nullptr;
    QTableWidget* list = nullptr;
    QPushButton *openPageButton = nullptr, *openPdfButton = nullptr, *openEditorButton = nullptr,
                *compareButton = nullptr, *closeButton = nullptr;

private:
    void applyFilter();
    std::vector<const ArchivedResult*> selected() const;
    void selectionChanged();
    void open(const QString& file);
    // Tells the user when a kept document cannot be read.
    bool loadKept(xml::Document& doc, const QString& file);

    const ProgramContext& ctx_;
    std::vector<ArchivedResult> all_;  // a row of the list each, in its order; the filter hides rows
};

}  // namespace zorva::request
