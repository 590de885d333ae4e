#pragma once
#include <QDialog>
#include <vector>

#include "common/ProgramContext.h"

class QCheckBox;
class QLineEdit;

namespace zorva::request {

// "Nastavení…": what the settings file holds and a user sets, without a text editor: the service's
// address, the user's identification, the time limit of a request, whether the archive keeps a PDF
// of each page and the intensity limits of each calculation type. "Uložit" writes only these keys
// (every other key and section of the file stays as it was) and accepts the dialog; a value that
// is no value of its kind is told in Czech and nothing is written.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(const ProgramContext& ctx, QWidget* parent = nullptr);

    QLineEdit* server;
    QLineEdit* user;
    QLineEdit* timeout;
    QCheckBox* pdf;
    std::vector<QLineEdit*> limits;  // TYP1_MIN, TYP1_MAX, ..., TYP6_MAX

    // Checks and writes; false (with the reason told) when nothing was written.
    bool save();

private:
    void load();
    const ProgramContext& ctx_;
};

}  // namespace zorva::request
