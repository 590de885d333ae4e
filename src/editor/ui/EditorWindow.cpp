#include "editor/ui/EditorWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDataWidgetMapper>
#include <QGroupBox>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include "common/ui/PovolFormular.h"
#include "common/Failure.h"
#include "presentation/Rendering.h"

namespace zorva::editor {

namespace {

// The grid shows one column, captioned "Datum".
class DateGridModel : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole &&
            sourceModel() && sourceModel()->headerData(section, orientation, role).toString() == QLatin1String("DATPLATNOST"))
            return QStringLiteral("Datum");
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
};

struct HeaderBox {
    const char* box;
    const char* label;
};

constexpr HeaderBox kOverviewBoxes[] = {
    {"txtJISUBRUX", "JISUBRUX"}, {"txtICO", "IČO"},           {"txtRCI", "Rodné číslo"},
    {"txtVARPICH", "VarPICH"},   {"txtPICHROKA", "PICHRokA"}, {"txtPICHROKB", "PICHRokB"},
};

constexpr HeaderBox kSubjectBoxes[] = {
    {"txtIRZ_RCI", "Rodné číslo"}, {"txtIRZ_JME", "Jméno"}, {"txtIRZ_PRI", "Přijmení"}, {"txtIRZ_OJM", "Obchodní jméno"},
};

// Layout of the "Datumy" frame, in twips within the frame.
constexpr int kBoxHeight = 285;
constexpr int kLineTop = 1665;
constexpr int kLinePitch = 315;
constexpr int kRightColumnShift = 4185 - 90;
constexpr int kGridWidth = 1800;

// Boxes that only show values have the button-face background of the window's design.
void buttonFace(QWidget* box)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    box->setPalette(p);
}

}  // namespace

EditorWindow::EditorWindow(const ProgramContext& ctx, const CategorySet& set, QWidget* parent)
    : QDialog(parent), ctx_(ctx), set_(set), session_(std::make_unique<EditorSession>(ctx, set))
{
    setObjectName(set.windowName);
    setWindowTitle(QStringLiteral("VDJ Editace"));
    setModal(true);
    // The window's design font: 8 points, as in the main window.
    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    const bool twoColumns = int(set.categories.size()) > set.leftColumnLines;
    const int lines = std::max(set.leftColumnLines, int(set.categories.size()) - set.leftColumnLines);
    const int frameWidth = twoColumns ? 9000 : 4500;
    const int frameHeight = kLineTop + lines * kLinePitch + 150;
    const int tabWidth = kGridWidth + frameWidth + 400;
    const int tabHeight = std::max(frameHeight, 4800) + 600;

    SSTab1_ = new QTabWidget(this);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));
    SSTab1_->setGeometry(tw(60), th(60), tw(tabWidth), th(tabHeight));
    auto* overview = new QWidget;
    auto* dates = new QWidget;
    SSTab1_->addTab(overview, QStringLiteral("Přehled"));
    SSTab1_->addTab(dates, QStringLiteral("Datumy"));
    buildOverviewTab(overview);
    buildDatesTab(dates);

    const int buttonTop = 60 + tabHeight + 120;
    auto button = [&](const char* name, const char* caption, int left) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(tw(left), th(buttonTop), tw(1300), th(450));
        b->setAutoDefault(false);
        return b;
    };
    cmdPocitej_ = button("cmdPocitej", "Počítej", 60);
    cmdZobraz_ = button("cmdZobraz", "Zobraz", 1500);
    cmdStorno_ = button("cmdStorno", "Storno", tabWidth + 60 - 1300);
    chkHTML_ = new QCheckBox(QStringLiteral("HTML"), this);
    chkHTML_->setObjectName(QStringLiteral("chkHTML"));
    chkHTML_->setChecked(true);
    chkHTML_->setGeometry(tw(2940), th(buttonTop + 80), tw(915), th(285));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("prgPocitej"));
    progress_->setGeometry(tw(3960), th(buttonTop + 80), tw(tabWidth - 1300 - 3960 - 120), th(285));
    progress_->setFormat(QStringLiteral("Počítám %v z %m"));
    progress_->hide();
    setFixedSize(tw(tabWidth + 120), th(buttonTop + 450 + 120));

    connect(cmdPocitej_, &QPushButton::clicked, this, &EditorWindow::cmdPocitej_Click);
    connect(cmdZobraz_, &QPushButton::clicked, this, &EditorWindow::cmdZobraz_Click);
    connect(cmdStorno_, &QPushButton::clicked, this, &EditorWindow::cmdStorno_Click);
    connect(session_.get(), &EditorSession::headersChanged, this, &EditorWindow::showHeaders);

    // Loading the window selects the first tab.
    SSTab1_->setCurrentIndex(0);
}

EditorWindow::~EditorWindow() = default;

int EditorWindow::tw(int twips) const { return twips * logicalDpiX() / 1440; }
int EditorWindow::th(int twips) const { return twips * logicalDpiY() / 1440; }

void EditorWindow::buildOverviewTab(QWidget* tab)
{
    int top = 240;
    for (const auto& h : kOverviewBoxes) {
        auto* label = new QLabel(QString::fromUtf8(h.label), tab);
        label->setGeometry(tw(120), th(top + 45), tw(1400), th(240));
        auto* box = new QLineEdit(tab);
        box->setObjectName(QString::fromLatin1(h.box));
        box->setGeometry(tw(1600), th(top), tw(2600), th(kBoxHeight));
        box->setReadOnly(true);
        buttonFace(box);
        headerBoxes_.insert(box->objectName(), box);
        top += 400;
    }
    auto* frame = new QGroupBox(QStringLiteral("Subjekt IRZ"), tab);
    frame->setObjectName(QStringLiteral("fraSubjektIRZ"));
    frame->setGeometry(tw(60), th(top + 60), tw(5400), th(2100));
    int ftop = 300;
    for (const auto& h : kSubjectBoxes) {
        auto* label = new QLabel(QString::fromUtf8(h.label), frame);
        label->setGeometry(tw(120), th(ftop + 45), tw(1600), th(240));
        const QString name = QString::fromLatin1(h.box);
        if (name == QLatin1String("txtIRZ_OJM")) {
            txtIRZ_OJM_ = new QPlainTextEdit(frame);
            txtIRZ_OJM_->setObjectName(name);
            txtIRZ_OJM_->setGeometry(tw(1740), th(ftop), tw(3500), th(600));
            txtIRZ_OJM_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            buttonFace(txtIRZ_OJM_);
        } else {
            auto* box = new QLineEdit(frame);
            box->setObjectName(name);
            box->setGeometry(tw(1740), th(ftop), tw(3500), th(kBoxHeight));
            buttonFace(box);
            headerBoxes_.insert(name, box);
        }
        ftop += 390;
    }
}

QLineEdit* EditorWindow::boundBox(QWidget* parent, const QString& column, int left, int top, int width, bool input)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("txt") + column);
    box->setGeometry(tw(left), th(top), tw(width), th(kBoxHeight));
    box->setReadOnly(!input);
    if (!input) buttonFace(box);
    boundBoxes_.insert(column, box);
    connect(box, &QLineEdit::editingFinished, this, &EditorWindow::commitPendingEdit);
    return box;
}

void EditorWindow::buildDatesTab(QWidget* tab)
{
    TDBGrid1_ = new QTableView(tab);
    TDBGrid1_->setObjectName(QStringLiteral("TDBGrid1"));
    TDBGrid1_->setGeometry(tw(90), th(90), tw(kGridWidth - 120), th(4800));
    TDBGrid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TDBGrid1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    TDBGrid1_->setSelectionMode(QAbstractItemView::SingleSelection);
    TDBGrid1_->verticalHeader()->setDefaultSectionSize(th(285));
    TDBGrid1_->horizontalHeader()->setStretchLastSection(true);

    const bool twoColumns = int(set_.categories.size()) > set_.leftColumnLines;
    const int lines = std::max(set_.leftColumnLines, int(set_.categories.size()) - set_.leftColumnLines);
    auto* frame = new QGroupBox(tab);
    frame->setObjectName(QStringLiteral("fraData"));
    frame->setGeometry(tw(kGridWidth), th(30), tw(twoColumns ? 9000 : 4500), th(kLineTop + lines * kLinePitch + 150));

    auto label = [&](const QString& text, int left, int top, int width) {
        auto* l = new QLabel(text, frame);
        l->setGeometry(tw(left), th(top), tw(width), th(220));
        return l;
    };
    label(QStringLiteral("VDJA"), 90, 270, 1590);
    label(QStringLiteral("VDJB"), 1755, 270, 1590);
    label(QStringLiteral("PICHA"), 3375, 270, 2040);
    label(QStringLiteral("PICHB"), 5445, 270, 2040);
    boundBox(frame, QStringLiteral("VDJA"), 90, 495, 1590, false);
    boundBox(frame, QStringLiteral("VDJB"), 1755, 495, 1590, false);
    boundBox(frame, QStringLiteral("PICHA"), 3375, 495, 2040, false);
    boundBox(frame, QStringLiteral("PICHB"), 5445, 495, 2040, false);
    label(QStringLiteral("Žadatel LPIS"), 90, 810, 1030);
    label(QStringLiteral("Žadatel IRZ"), 1125, 810, 1030);
    label(QStringLiteral("Suma výměra DPB"), 2160, 810, 1800);
    boundBox(frame, QStringLiteral("ZADATELREGLPIS"), 90, 1035, 510, false);
    boundBox(frame, QStringLiteral("ZADATELREGIRZ"), 1125, 1035, 510, false);
    boundBox(frame, QStringLiteral("SUMAVYMERADPB"), 2160, 1035, 1320, true);

    for (int column = 0; column < (twoColumns ? 2 : 1); ++column) {
        const int shift = column * kRightColumnShift;
        label(QStringLiteral("Počet"), 1350 + shift, 1420, 600);
        label(QStringLiteral("VDJ"), 1935 + shift, 1420, 600);
        label(QStringLiteral("Koeficient"), 3600 + shift, 1420, 900);
    }
    for (int i = 0; i < int(set_.categories.size()); ++i) {
        const Category& c = set_.categories[size_t(i)];
        const bool right = i >= set_.leftColumnLines;
        const int shift = right ? kRightColumnShift : 0;
        const int top = kLineTop + (right ? i - set_.leftColumnLines : i) * kLinePitch;
        auto* l = label(c.label, 90 + shift, top + 30, 1250);
        l->setObjectName(QStringLiteral("lbl") + c.name);
        QLineEdit* count = boundBox(frame, c.countColumn(), 1350 + shift, top, 510, true);
        count->setMaxLength(5);
        boundBox(frame, c.unitsColumn(), 1935 + shift, top, 1635, false);
        boundBox(frame, c.coefficientColumn(), 3600 + shift, top, 510, false);
    }
}

QLineEdit* EditorWindow::box(const QString& objectName) const
{
    if (auto* b = headerBoxes_.value(objectName)) return b;
    return findChild<QLineEdit*>(objectName);
}

void EditorWindow::Startuj()
{
    session_->leaveBusy = [this] { PovolFormular(ctx_, this, true); };
    session_->Startuj();
    showHeaders();
    rebind();
}

void EditorWindow::showHeaders()
{
    for (auto it = headerBoxes_.begin(); it != headerBoxes_.end(); ++it) it.value()->setText(session_->header(it.key()));
    if (txtIRZ_OJM_) txtIRZ_OJM_->setPlainText(session_->header(QStringLiteral("txtIRZ_OJM")));
}

void EditorWindow::rebind()
{
    db::RecordsetModel* model = session_->Adodc1().model();
    QStringList editable;
    for (const auto& c : set_.categories) editable << c.countColumn();
    editable << QStringLiteral("SUMAVYMERADPB");
    model->setEditableColumns(editable);

    auto* grid = new DateGridModel(this);
    grid->setSourceModel(model);
    TDBGrid1_->setModel(grid);
    for (int c = 0; c < model->columnCount(); ++c)
        TDBGrid1_->setColumnHidden(c, c != model->columnOf(QStringLiteral("DATPLATNOST")));

    mapper_ = new QDataWidgetMapper(this);
    mapper_->setModel(model);
    mapper_->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
    for (auto it = boundBoxes_.begin(); it != boundBoxes_.end(); ++it) {
        const int column = model->columnOf(it.key());
        if (column >= 0) mapper_->addMapping(it.value(), column);
    }
    connect(model, &db::RecordsetModel::dataRefused, this, [this](const QString& message) {
        ctx_.message(message, MessageIcon::Critical);
    });
    connect(TDBGrid1_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (syncing_ || !current.isValid()) return;
                commitPendingEdit();
                if (db::Recordset* rs = session_->recordset()) {
                    try {
                        rs->moveTo(current.row());
                    } catch (const Failure&) {
                    }
                }
            });
    if (db::Recordset* rs = session_->recordset()) {
        connect(rs, &db::Recordset::currentRowChanged, this, &EditorWindow::followRecordset);
        connect(rs, &db::Recordset::rowsReset, this, [this] { mapper_->revert(); });
        followRecordset(rs->rowCount() > 0 ? 0 : -1);
        if (rs->rowCount() > 0) {
            try {
                rs->moveFirst();
            } catch (const Failure&) {
            }
        }
    }
}

void EditorWindow::followRecordset(int row)
{
    if (!mapper_) return;
    syncing_ = true;
    db::Recordset* rs = session_->recordset();
    if (rs && row >= 0 && row < rs->rowCount()) {
        mapper_->setCurrentIndex(row);
        TDBGrid1_->selectRow(row);
        for (QLineEdit* b : boundBoxes_) b->setModified(false);
    } else {
        for (QLineEdit* b : boundBoxes_) b->clear();
    }
    syncing_ = false;
}

void EditorWindow::commitPendingEdit()
{
    if (!mapper_ || syncing_) return;
    db::RecordsetModel* model = session_->Adodc1().model();
    const int row = mapper_->currentIndex();
    if (row < 0) return;
    for (auto it = boundBoxes_.begin(); it != boundBoxes_.end(); ++it) {
        QLineEdit* b = it.value();
        if (!b->isModified() || b->isReadOnly()) continue;
        b->setModified(false);
        const int column = model->columnOf(it.key());
        if (!model->setData(model->index(row, column), b->text())) {
            // The refused text is not what the table holds: show the stored value again.
            b->setText(model->data(model->index(row, column)).toString());
        }
    }
}

void EditorWindow::setCommandsEnabled(bool enabled)
{
    cmdPocitej_->setEnabled(enabled);
    cmdZobraz_->setEnabled(enabled);
    cmdStorno_->setEnabled(enabled);
    TDBGrid1_->setEnabled(enabled);
    for (QLineEdit* b : boundBoxes_) b->setEnabled(enabled);
}

void EditorWindow::cmdPocitej_Click()
{
    if (session_->running()) return;
    commitPendingEdit();
    QCoreApplication::processEvents();

    setCommandsEnabled(false);
    db::Recordset* rs = session_->recordset();
    const int total = rs ? rs->rowCount() : 0;
    progress_->setRange(0, std::max(total, 1));
    progress_->setValue(0);
    progress_->setVisible(total > 1);
    RunHooks hooks;
    hooks.pumpEvents = [] { QCoreApplication::processEvents(); };
    hooks.progress = [this](int done, int) { progress_->setValue(done); };
    hooks.beep = [] { QApplication::beep(); };
    session_->Pocitej(hooks);
    progress_->hide();
    setCommandsEnabled(true);
    showHeaders();
    if (rs) followRecordset(rs->position());
    if (closeRequested_) close();
}

void EditorWindow::cmdZobraz_Click()
{
    if (session_->running()) return;
    commitPendingEdit();
    if (onZobraz) {
        onZobraz(*this);
        return;
    }
    if (!session_->xmlDOM) return;
    const auto state = chkHTML_->checkState() == Qt::Checked           ? presentation::HtmlCheck::Checked
                       : chkHTML_->checkState() == Qt::PartiallyChecked ? presentation::HtmlCheck::Grayed
                                                                        : presentation::HtmlCheck::Unchecked;
    presentation::ZobrazEditor(ctx_, *session_->xmlDOM, state);
}

void EditorWindow::cmdStorno_Click()
{
    if (session_->running()) return;
    session_->deleteWorkingDatabases();
    hide();
}

void EditorWindow::queryUnload()
{
    session_->deleteWorkingDatabases();
}

void EditorWindow::unload()
{
    if (unloaded_) return;
    queryUnload();
    unloaded_ = true;
}

void EditorWindow::reject()
{
    // Escape closes the editor like its close box, but never in the middle of a run.
    if (session_->running()) return;
    close();
}

void EditorWindow::closeEvent(QCloseEvent* event)
{
    if (session_->running()) {
        // The run ends first; the window closes right after it, never inside it.
        closeRequested_ = true;
        event->ignore();
        return;
    }
    if (!unloaded_) unload();
    event->accept();
}

}  // namespace zorva::editor
