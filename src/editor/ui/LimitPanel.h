#pragma once
#include <QWidget>
#include <optional>

#include "editor/Plan.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zorva::editor {

class EditorWindow;

// The editor's "Limit" tab: the intensity limits of the settings for the answer's type (editable
// for the question at hand), a category, the plan in words, and the head plan applied to the counts
// as if typed, then "Počítej".
class LimitPanel : public QWidget {
    Q_OBJECT
public:
    explicit LimitPanel(EditorWindow& window, QWidget* parent = nullptr);

    // Fills the limits from the settings for the loaded answer's type.
    void takeSettings();
    void cmdNavrhni_Click();
    void cmdPouzij_Click();

private:
    std::optional<Limits> limits();

    EditorWindow& window_;
    QLineEdit* txtMIN_ = nullptr;
    QLineEdit* txtMAX_ = nullptr;
    QComboBox* cmbKATEGORIE_ = nullptr;
    QPushButton* cmdNavrhni_ = nullptr;
    QPushButton* cmdPouzij_ = nullptr;
    QLabel* lblNAVRH_ = nullptr;
    // The head plan last proposed: the category and the head to add to every row.
    std::optional<std::pair<int, int>> proposal_;
};

}  // namespace zorva::editor
