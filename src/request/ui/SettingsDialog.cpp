#include "request/ui/SettingsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "common/Failure.h"
#include "common/FileWriting.h"
#include "common/IniFile.h"
#include "common/NumberText.h"
#include "request/Archive.h"
#include "request/Defaults.h"

namespace zorva::request {

namespace {

const QString kSetup = QStringLiteral("SETUP");
const QString kLimits = QStringLiteral("LIMITY");

QString limitKey(int type, bool max)
{
    return QStringLiteral("TYP%1_%2").arg(type).arg(max ? QStringLiteral("MAX") : QStringLiteral("MIN"));
}

// A box that assistive tools and checks find by the caption beside it.
QLineEdit* box(QWidget* parent, const QString& name, const QString& caption)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(caption);
    return edit;
}

}  // namespace

SettingsDialog::SettingsDialog(const ProgramContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx)
{
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(QStringLiteral("Nastavení"));
    auto* layout = new QVBoxLayout(this);

    auto* form = new QFormLayout;
    server = box(this, QStringLiteral("settingsServer"), QStringLiteral("Adresa služby"));
    user = box(this, QStringLiteral("settingsUser"), QStringLiteral("Identifikace uživatele"));
    timeout = box(this, QStringLiteral("settingsTimeout"), QStringLiteral("Časový limit požadavku (s)"));
    timeout->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), timeout));
    server->setMinimumWidth(fontMetrics().horizontalAdvance(defaults::serverUrl) + 24);
    form->addRow(server->accessibleName(), server);
    form->addRow(user->accessibleName(), user);
    form->addRow(timeout->accessibleName(), timeout);
    layout->addLayout(form);
    pdf = new QCheckBox(QStringLiteral("Ke každé stránce v archivu uložit i PDF"), this);
    pdf->setObjectName(QStringLiteral("settingsPdf"));
    layout->addWidget(pdf);

    auto* group = new QGroupBox(QStringLiteral("Limity intenzity chovu (VDJ/ha, prázdné = bez limitu)"), this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("nejméně"), group), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("nejvýše"), group), 0, 2);
    for (int type = 1; type <= 6; ++type) {
        grid->addWidget(new QLabel(QStringLiteral("Typ %1").arg(type), group), type, 0);
        for (const bool max : {false, true}) {
            QLineEdit* limit = box(
                group, limitKey(type, max),
                QStringLiteral("Typ %1 %2").arg(type).arg(max ? QStringLiteral("nejvýše") : QStringLiteral("nejméně")));
            limits.push_back(limit);
            grid->addWidget(limit, type, max ? 2 : 1);
        }
    }
    layout->addWidget(group);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* saveButton = buttons->addButton(QStringLiteral("Uložit"), QDialogButtonBox::AcceptRole);
    saveButton->setObjectName(QStringLiteral("settingsSave"));
    buttons->addButton(QStringLiteral("Storno"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("settingsCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (save()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    load();
}

void SettingsDialog::load()
{
    const QString ini = ctx_.settingsFile();
    server->setText(ini::readString(kSetup, QStringLiteral("SERVER"), defaults::serverUrl, ini));
    user->setText(ini::readString(kSetup, QStringLiteral("USERID"), QString(), ini));
    timeout->setText(ini::readString(kSetup, QStringLiteral("TIMEOUT"), QString(), ini));
    pdf->setChecked(archiveKeepsPdf(ctx_));
    for (int i = 0; i < int(limits.size()); ++i)
        limits[std::size_t(i)]->setText(ini::readString(kLimits, limitKey(i / 2 + 1, i % 2 == 1), QString(), ini));
}

bool SettingsDialog::save()
{
    auto refuse = [this](QLineEdit* where, const QString& why) {
        ctx_.message(why, MessageIcon::Critical);
        where->setFocus();
        where->selectAll();
        return false;
    };
    if (server->text().trimmed().isEmpty()) return refuse(server, QStringLiteral("Adresa služby musí být vyplněna."));
    // Each limit a number of either decimal sign, or empty; the lower not above the upper.
    for (int type = 1; type <= 6; ++type) {
        QLineEdit* low = limits[std::size_t(type - 1) * 2];
        QLineEdit* high = limits[std::size_t(type - 1) * 2 + 1];
        std::optional<double> values[2];
        for (int side = 0; side < 2; ++side) {
            QLineEdit* edit = side ? high : low;
            const QString text = edit->text().trimmed();
            if (text.isEmpty()) continue;
            values[side] = numberEitherSign(text);
            if (!values[side] || *values[side] < 0)
                return refuse(edit, QStringLiteral("Limit „%1“ není nezáporné číslo.").arg(edit->accessibleName()));
        }
        if (values[0] && values[1] && *values[0] > *values[1])
            return refuse(low, QStringLiteral("U typu %1 je dolní limit vyšší než horní.").arg(type));
    }

    const QString ini = ctx_.settingsFile();
    // One key is written at a time: a failure half-way puts the file back as it was.
    QFile file(ini);
    const bool existed = file.exists();
    const QByteArray before = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    const std::pair<QString, QString> entries[] = {
        {QStringLiteral("SERVER"), server->text().trimmed()},
        {QStringLiteral("USERID"), user->text().trimmed()},
        {QStringLiteral("TIMEOUT"), timeout->text().trimmed()},
        {kPdfKey, pdf->isChecked() ? QStringLiteral("1") : QStringLiteral("0")},
    };
    bool written = true;
    for (const auto& [key, value] : entries) written = written && ini::writeString(kSetup, key, value, ini);
    for (int i = 0; written && i < int(limits.size()); ++i)
        written =
            ini::writeString(kLimits, limitKey(i / 2 + 1, i % 2 == 1), limits[std::size_t(i)]->text().trimmed(), ini);
    if (!written) {
        try {
            if (existed) writeFileAtomically(ini, before);
            else QFile::remove(ini);
        } catch (const Failure&) {
        }
        ctx_.message(QStringLiteral("Nastavení nelze uložit do souboru %1.").arg(ini), MessageIcon::Critical);
        return false;
    }
    return true;
}

}  // namespace zorva::request
