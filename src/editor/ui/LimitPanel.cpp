#include "editor/ui/LimitPanel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/NumberText.h"
#include "editor/CategoryNames.h"
#include "editor/PlanReport.h"
#include "editor/WriteBack.h"
#include "editor/ui/EditorWindow.h"

namespace zorva::editor {

namespace {

QString limitBoxText(const std::optional<double>& limit)
{
    return limit ? generalText(*limit, regionalDecimalSign()) : QString();
}

}  // namespace

LimitPanel::LimitPanel(EditorWindow& window, QWidget* parent) : QWidget(parent), window_(window)
{
    setObjectName(QStringLiteral("fraLimit"));
    auto* form = new QFormLayout;
    auto named = [](QWidget* w, const QString& name, const QString& caption) {
        w->setObjectName(name);
        w->setAccessibleName(caption);
        return w;
    };
    const QString minCaption = QStringLiteral("Dolní limit (VDJ/ha)");
    const QString maxCaption = QStringLiteral("Horní limit (VDJ/ha)");
    const QString categoryCaption = QStringLiteral("Kategorie");
    txtMIN_ = new QLineEdit(this);
    txtMAX_ = new QLineEdit(this);
    cmbKATEGORIE_ = new QComboBox(this);
    form->addRow(minCaption, named(txtMIN_, QStringLiteral("txtLIMITMIN"), minCaption));
    form->addRow(maxCaption, named(txtMAX_, QStringLiteral("txtLIMITMAX"), maxCaption));
    form->addRow(categoryCaption, named(cmbKATEGORIE_, QStringLiteral("cmbKATEGORIE"), categoryCaption));
    cmbKATEGORIE_->addItem(QStringLiteral("s nejvíce VDJ"), -1);
    const CategorySet& set = window_.session().categories();
    for (std::size_t k = 0; k < set.categories.size(); ++k)
        cmbKATEGORIE_->addItem(reportName(set.categories[k].name), int(k));

    cmdNavrhni_ = new QPushButton(QStringLiteral("Navrhni"), this);
    named(cmdNavrhni_, QStringLiteral("cmdNavrhni"), cmdNavrhni_->text());
    cmdNavrhni_->setAutoDefault(false);
    cmdPouzij_ = new QPushButton(QStringLiteral("Použij návrh a počítej"), this);
    named(cmdPouzij_, QStringLiteral("cmdPouzij"), cmdPouzij_->text());
    cmdPouzij_->setAutoDefault(false);
    cmdPouzij_->setEnabled(false);
    lblNAVRH_ = new QLabel(this);
    lblNAVRH_->setObjectName(QStringLiteral("lblNAVRH"));
    lblNAVRH_->setWordWrap(true);
    lblNAVRH_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdNavrhni_);
    buttons->addWidget(cmdPouzij_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    auto* source =
        new QLabel(QStringLiteral("Limity předvyplní nastavení programu (%1).").arg(kLimitsFromSettings), this);
    source->setWordWrap(true);
    layout->addWidget(source);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(lblNAVRH_);
    layout->addStretch();

    connect(cmdNavrhni_, &QPushButton::clicked, this, &LimitPanel::cmdNavrhni_Click);
    connect(cmdPouzij_, &QPushButton::clicked, this, &LimitPanel::cmdPouzij_Click);
    connect(&window_.session(), &EditorSession::runStarted, this, [this] { cmdPouzij_->setEnabled(false); });
}

void LimitPanel::takeSettings()
{
    const EditorSession& session = window_.session();
    const std::optional<int> type = calculationType(session.header(QStringLiteral("txtVARPICH")));
    const Limits limits = type ? settingsLimits(session.context().settingsFile(), *type) : Limits();
    txtMIN_->setText(limitBoxText(limits.min));
    txtMAX_->setText(limitBoxText(limits.max));
}

std::optional<Limits> LimitPanel::limits()
{
    Limits limits;
    if (!readLimit(txtMIN_->text(), limits.min) || !readLimit(txtMAX_->text(), limits.max)) {
        lblNAVRH_->setText(QStringLiteral("Limit musí být číslo (desetinná čárka nebo tečka), nebo prázdný."));
        return std::nullopt;
    }
    if (limits.min && limits.max && *limits.min > *limits.max) {
        lblNAVRH_->setText(QStringLiteral("Dolní limit je vyšší než horní."));
        return std::nullopt;
    }
    return limits;
}

void LimitPanel::cmdNavrhni_Click()
{
    EditorSession& session = window_.session();
    proposal_.reset();
    cmdPouzij_->setEnabled(false);
    if (session.running() || !session.loaded()) return;
    window_.commitPendingEdit();
    const std::optional<Limits> given = limits();
    if (!given) return;
    const PlanInput input = session.rowInputs();
    const int chosen = cmbKATEGORIE_->currentData().toInt();
    const bool edited = txtMIN_->isModified() || txtMAX_->isModified();
    const PlanWording wording{session.categories(), *given, edited ? kLimitsGiven : kLimitsFromSettings,
                              int(input.rows.size())};
    QStringList sentences;
    for (const Figure figure : {Figure::A, Figure::B}) {
        if (!(figure == Figure::A ? session.bPICHROKA : session.bPICHROKB)) continue;
        const FigurePlan plan =
            planFigure(input, figure, *given, chosen >= 0 ? std::optional<int>(chosen) : std::nullopt);
        sentences << planSentence(plan, wording);
        // The first figure outside decides what the button applies.
        if (!proposal_ && plan.value && plan.verdict != Verdict::Within && plan.headChange)
            proposal_ = std::make_pair(plan.category, *plan.headChange);
    }
    lblNAVRH_->setText(sentences.join(QLatin1Char('\n')));
    cmdPouzij_->setEnabled(proposal_.has_value());
}

void LimitPanel::cmdPouzij_Click()
{
    EditorSession& session = window_.session();
    if (!proposal_ || session.running() || !session.loaded()) return;
    const auto [category, heads] = *proposal_;
    proposal_.reset();
    cmdPouzij_->setEnabled(false);
    db::RecordsetModel* model = session.Adodc1().model();
    const int column = model->columnOf(session.categories().categories[std::size_t(category)].countColumn());
    const PlanInput input = session.rowInputs();
    // Through the model, as a typed count: the grid and the change marks see it as the user's.
    for (std::size_t row = 0; row < input.rows.size(); ++row) {
        const double count = std::max(0.0, input.rows[row].categories[std::size_t(category)].count + heads);
        model->setData(model->index(int(row), column), generalText(count));
    }
    window_.cmdPocitej_Click();
    cmdNavrhni_Click();
}

}  // namespace zorva::editor
