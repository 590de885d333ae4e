#include "editor/ui/EditorWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDataWidgetMapper>
#include <QDate>
#include <QGroupBox>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QItemDelegate>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTableView>
#include <QToolTip>

#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/ui/BusyPointer.h"
#include "common/ui/DesignGeometry.h"
#include "common/ui/LockedLook.h"
#include "common/ui/PovolFormular.h"
#include "editor/CategoryNames.h"
#include "editor/EditableFields.h"
#include "editor/ui/LimitPanel.h"
#include "presentation/Rendering.h"

namespace zorva::editor {

namespace {

// The units the service sent stand in the table as its texts ("8.4"), the computed ones with the
// regional sign ("45,40000"): the boxes that only show them show both with the regional sign.
class ShownFiguresDelegate : public QItemDelegate {
public:
    using QItemDelegate::QItemDelegate;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* box = qobject_cast<QLineEdit*>(editor);
        if (!box || !box->isReadOnly() || !index.isValid()) return QItemDelegate::setEditorData(editor, index);
        const QString whole = shownFigure(index.data(Qt::EditRole).toString());
        const QString column = index.model()->headerData(index.column(), Qt::Horizontal).toString();
        box->setText(readable(column, whole));
        // The table and the document keep the whole figure; the box says it when asked.
        box->setToolTip(whole);
    }

private:
    // Intensities to three decimals as the report shows them, units to two; anything else, and a
    // text that is no number, as it stands.
    static QString readable(const QString& column, const QString& whole)
    {
        const bool intensity = column == QLatin1String("PICHA") || column == QLatin1String("PICHB");
        const bool units = column == QLatin1String("VDJA") || column == QLatin1String("VDJB") ||
                           column.endsWith(QLatin1String("_VDJ"));
        if (!intensity && !units) return whole;
        const std::optional<double> value = numberEitherSign(whole);
        return value ? fixedText(*value, intensity ? 3 : 2, regionalDecimalSign()) : whole;
    }
};

// The grid shows one column, captioned "Datum", its dates as people write them ("1. 4. 2006"); the
// text the service sent is the tooltip.
class DateGridModel : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return QIdentityProxyModel::data(index, role);
        const QString sent = QIdentityProxyModel::data(index, Qt::DisplayRole).toString();
        if (role == Qt::ToolTipRole) return sent;
        for (const char* format : {"yyyy-MM-dd", "dd.MM.yyyy"}) {
            const QDate date = QDate::fromString(sent, QLatin1String(format));
            if (date.isValid()) return date.toString(QStringLiteral("d. M. yyyy"));
        }
        return sent;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && sourceModel() &&
            sourceModel()->headerData(section, orientation, role).toString() == QLatin1String("DATPLATNOST"))
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
    {"txtIRZ_RCI", "Rodné číslo"},
    {"txtIRZ_JME", "Jméno"},
    {"txtIRZ_PRI", "Přijmení"},
    {"txtIRZ_OJM", "Obchodní jméno"},
};

// The window's design, in twips. The "Datumy" frame holds the described positions; the rest is
// laid out around it. Every control's row names the texts it must show whole: a five-digit count,
// the units and intensities of a herd of 10 000 cattle, a ten-digit identifier.
constexpr int kBoxHeight = 285;
constexpr int kLabelHeight = 220;
constexpr int kMargin = 60;

struct DesignRow {
    const char* column;  // the bound box "txt" + column, its label "lbl" + column
    const char* caption;
    int left, top, width;
    int labelWidth;  // up to the next label of the line
    const char* contents;
};

// The top two lines of the frame; the label stands right above its box.
constexpr DesignRow kFrameRows[] = {
    {"VDJA", "VDJA", 90, 495, 1590, 1590, "10000,00000"},
    {"VDJB", "VDJB", 1755, 495, 1590, 1590, "10000,00000"},
    {"PICHA", "PICHA", 3375, 495, 2040, 2040, "206,741782509820"},
    {"PICHB", "PICHB", 5445, 495, 2040, 2040, "206,741782509820"},
    {"ZADATELREGLPIS", "Žadatel LPIS", 90, 1035, 510, 1030, "A"},
    {"ZADATELREGIRZ", "Žadatel IRZ", 1125, 1035, 510, 1030, "A"},
    {"SUMAVYMERADPB", "Suma výměra DPB", 2160, 1035, 1320, 1800, "12345,67"},
};
constexpr int kLabelAbove = 225;

// One category line: its parts, left column and right column.
struct LinePart {
    const char* heading;
    int left, rightLeft, width, rightWidth;
    const char* contents;
};
// The label takes the room up to its count box; the right column's labels have more of it.
constexpr LinePart kLabelPart = {nullptr, 90, 4185, 1245, 1560, nullptr};
constexpr LinePart kLineParts[] = {
    {"Počet", 1350, 5760, 510, 510, "99999"},
    {"VDJ", 1935, 6345, 1635, 1635, "10000,00000"},
    {"Koeficient", 3600, 8010, 510, 510, "0,075"},
};
constexpr int kHeadingWidths[] = {585, 1635, 900};
constexpr int kHeadingTop = 1420;
constexpr int kLineTop = 1665;
constexpr int kLinePitch = 315;

// The frame is as wide as its widest line: PICHB for the first generation, the right column's
// coefficient heading for the 2006 one.
constexpr int kFrameLeft = 1800;
constexpr int kFrameWidthOneColumn = 5445 + 2040 + 135;
constexpr int kFrameWidthTwoColumns = 9000;

// "Přehled": the header boxes, then the frame "Subjekt IRZ".
constexpr int kHeaderTop = 240;
constexpr int kHeaderPitch = 400;
constexpr int kSubjectPitch = 390;
constexpr int kTabBar = 480;  // room for the tab control's bar and border

}  // namespace

EditorWindow::EditorWindow(const ProgramContext& ctx, const CategorySet& set, QWidget* parent)
    : QDialog(parent), ctx_(ctx), set_(set), session_(std::make_unique<EditorSession>(ctx, set))
{
    setObjectName(set.windowName);
    setWindowTitle(QStringLiteral("VDJ Editace"));
    setModal(true);

    // The window uses the system's font; its design scales to it.
    const bool twoColumns = int(set.categories.size()) > set.leftColumnLines;
    const int lines = std::max(set.leftColumnLines, int(set.categories.size()) - set.leftColumnLines);
    const int frameWidth = twoColumns ? kFrameWidthTwoColumns : kFrameWidthOneColumn;
    const int frameHeight = kLineTop + lines * kLinePitch + 150;
    const int subjectTop = kHeaderTop + 6 * kHeaderPitch + 60;
    const int subjectHeight = 300 + 3 * kSubjectPitch + 600 + 130;
    const int pageWidth = kFrameLeft + frameWidth + 90;
    const int pageHeight = std::max(subjectTop + subjectHeight, 30 + frameHeight) + 90;
    const int tabWidth = pageWidth + kMargin;
    const int tabHeight = pageHeight + kTabBar;
    const int buttonTop = kMargin + tabHeight + 120;
    const int stornoLeft = kMargin + tabWidth - 1300;
    design_ = new DesignGeometry(this, QSize(tabWidth + 2 * kMargin, buttonTop + 450 + 120));

    SSTab1_ = new QTabWidget(this);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));
    design_->place(SSTab1_, QRect(kMargin, kMargin, tabWidth, tabHeight));
    auto* overview = new QWidget;
    auto* dates = new QWidget;
    SSTab1_->addTab(overview, QStringLiteral("Přehled"));
    SSTab1_->addTab(dates, QStringLiteral("Datumy"));
    buildOverviewTab(overview, subjectTop, subjectHeight);
    buildDatesTab(dates, frameWidth, frameHeight);
    limitPanel_ = new LimitPanel(*this);
    SSTab1_->addTab(limitPanel_, QStringLiteral("Limit"));

    auto button = [&](const char* name, const char* caption, int left) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        design_->place(b, QRect(left, buttonTop, 1300, 450));
        b->setAutoDefault(false);
        return b;
    };
    cmdPocitej_ = button("cmdPocitej", "Počítej", kMargin);
    cmdZobraz_ = button("cmdZobraz", "Zobraz", 1500);
    cmdStorno_ = button("cmdStorno", "Storno", stornoLeft);
    chkHTML_ = new QCheckBox(QStringLiteral("HTML"), this);
    chkHTML_->setObjectName(QStringLiteral("chkHTML"));
    chkHTML_->setChecked(true);
    design_->place(chkHTML_, QRect(2940, buttonTop + 80, 915, 285));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("prgPocitej"));
    design_->place(progress_, QRect(3960, buttonTop + 80, stornoLeft - 120 - 3960, 285));
    progress_->setFormat(QStringLiteral("Počítám %v z %m"));
    progress_->hide();
    // Where the bar stands while a run goes on: what the loading could not take as sent.
    lblNEPREVZATO_ = new QLabel(this);
    lblNEPREVZATO_->setObjectName(QStringLiteral("lblNEPREVZATO"));
    lblNEPREVZATO_->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(kNotTakenHeading));
    lblNEPREVZATO_->setAccessibleName(kNotTakenHeading);
    lblNEPREVZATO_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    design_->place(lblNEPREVZATO_, QRect(3960, buttonTop + 80, stornoLeft - 120 - 3960, 285), {kNotTakenHeading});
    lblNEPREVZATO_->hide();
    connect(lblNEPREVZATO_, &QLabel::linkActivated, this,
            [this] { ctx_.message(describeAll(session_->valuesNotTaken()).join(QLatin1Char('\n'))); });
    design_->apply();

    connect(cmdPocitej_, &QPushButton::clicked, this, &EditorWindow::cmdPocitej_Click);
    connect(cmdZobraz_, &QPushButton::clicked, this, &EditorWindow::cmdZobraz_Click);
    connect(cmdStorno_, &QPushButton::clicked, this, &EditorWindow::cmdStorno_Click);
    connect(session_.get(), &EditorSession::headersChanged, this, &EditorWindow::showHeaders);

    // Loading the window selects the first tab.
    SSTab1_->setCurrentIndex(0);
}

EditorWindow::~EditorWindow() = default;

QLabel* EditorWindow::label(QWidget* parent, const QString& text, QRect twips)
{
    auto* l = new QLabel(text, parent);
    design_->place(l, twips);
    return l;
}

void EditorWindow::buildOverviewTab(QWidget* tab, int subjectTop, int subjectHeight)
{
    int top = kHeaderTop;
    for (const auto& h : kOverviewBoxes) {
        label(tab, QString::fromUtf8(h.label), QRect(120, top + 45, 1400, 240));
        auto* box = new QLineEdit(tab);
        box->setObjectName(QString::fromLatin1(h.box));
        design_->place(box, QRect(1600, top, 2600, kBoxHeight),
                       {QStringLiteral("6504121239"), QStringLiteral("0,472")});
        box->setReadOnly(true);
        showAsLocked(box);
        headerBoxes_.insert(box->objectName(), box);
        top += kHeaderPitch;
    }
    auto* frame = new QGroupBox(QStringLiteral("Subjekt IRZ"), tab);
    frame->setObjectName(QStringLiteral("fraSubjektIRZ"));
    design_->place(frame, QRect(60, subjectTop, 5400, subjectHeight));
    int ftop = 300;
    for (const auto& h : kSubjectBoxes) {
        label(frame, QString::fromUtf8(h.label), QRect(120, ftop + 45, 1560, 240));
        const QString name = QString::fromLatin1(h.box);
        if (name == QLatin1String("txtIRZ_OJM")) {
            txtIRZ_OJM_ = new QPlainTextEdit(frame);
            txtIRZ_OJM_->setObjectName(name);
            design_->place(txtIRZ_OJM_, QRect(1740, ftop, 3500, 600));
            txtIRZ_OJM_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            showAsLocked(txtIRZ_OJM_);
        } else {
            auto* box = new QLineEdit(frame);
            box->setObjectName(name);
            design_->place(box, QRect(1740, ftop, 3500, kBoxHeight), {QStringLiteral("6504121239")});
            showAsLocked(box);
            headerBoxes_.insert(name, box);
        }
        ftop += kSubjectPitch;
    }
}

QLineEdit* EditorWindow::boundBox(QWidget* parent, const QString& column, QRect twips, const char* contents, bool input)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("txt") + column);
    design_->place(box, twips, {QString::fromUtf8(contents)});
    box->setReadOnly(!input);
    if (!input) showAsLocked(box);
    boundBoxes_.insert(column, box);
    connect(box, &QLineEdit::editingFinished, this, &EditorWindow::commitPendingEdit);
    return box;
}

void EditorWindow::buildDatesTab(QWidget* tab, int frameWidth, int frameHeight)
{
    TDBGrid1_ = new QTableView(tab);
    TDBGrid1_->setObjectName(QStringLiteral("TDBGrid1"));
    design_->place(TDBGrid1_, QRect(90, 90, kFrameLeft - 180, frameHeight - 60));
    TDBGrid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TDBGrid1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    TDBGrid1_->setSelectionMode(QAbstractItemView::SingleSelection);
    TDBGrid1_->horizontalHeader()->setStretchLastSection(true);

    auto* frame = new QGroupBox(tab);
    frame->setObjectName(QStringLiteral("fraData"));
    design_->place(frame, QRect(kFrameLeft, 30, frameWidth, frameHeight));

    for (const DesignRow& row : kFrameRows) {
        const QString column = QString::fromLatin1(row.column);
        const QRect above(row.left, row.top - kLabelAbove, row.labelWidth, kLabelHeight);
        label(frame, QString::fromUtf8(row.caption), above)->setObjectName(QStringLiteral("lbl") + column);
        boundBox(frame, column, QRect(row.left, row.top, row.width, kBoxHeight), row.contents,
                 column == QLatin1String("SUMAVYMERADPB"));
    }

    const bool twoColumns = frameWidth == kFrameWidthTwoColumns;
    for (int side = 0; side < (twoColumns ? 2 : 1); ++side)
        for (size_t p = 0; p < std::size(kLineParts); ++p) {
            const LinePart& part = kLineParts[p];
            label(frame, QString::fromUtf8(part.heading),
                  QRect(side ? part.rightLeft : part.left, kHeadingTop, kHeadingWidths[p], kLabelHeight));
        }
    auto* countValidator = new QRegularExpressionValidator(QRegularExpression(kCountPattern), this);
    for (int i = 0; i < int(set_.categories.size()); ++i) {
        const Category& c = set_.categories[size_t(i)];
        const bool right = i >= set_.leftColumnLines;
        const int top = kLineTop + (right ? i - set_.leftColumnLines : i) * kLinePitch;
        auto at = [&](const LinePart& part) { return right ? part.rightLeft : part.left; };
        const int labelWidth = right ? kLabelPart.rightWidth : kLabelPart.width;
        // The names the report uses; the column's own name stays in the tooltip.
        QLabel* l = label(frame, reportName(c.name), QRect(at(kLabelPart), top + 30, labelWidth, kLabelHeight));
        l->setObjectName(QStringLiteral("lbl") + c.name);
        l->setToolTip(c.meaning.isEmpty() ? c.name : c.name + QStringLiteral(": ") + c.meaning);
        auto place = [&](const LinePart& part) { return QRect(at(part), top, part.width, kBoxHeight); };
        QLineEdit* count = boundBox(frame, c.countColumn(), place(kLineParts[0]), kLineParts[0].contents, true);
        count->setMaxLength(5);
        // Only whole numbers of animals: anything else is refused as it is typed, with a hint.
        count->setValidator(countValidator);
        connect(count, &QLineEdit::inputRejected, this,
                [count] { QToolTip::showText(count->mapToGlobal(QPoint(0, count->height())), kCountRule, count); });
        boundBox(frame, c.unitsColumn(), place(kLineParts[1]), kLineParts[1].contents, false);
        boundBox(frame, c.coefficientColumn(), place(kLineParts[2]), kLineParts[2].contents, false);
    }
}

QString EditorWindow::fieldCaption(const QString& column) const
{
    for (const DesignRow& row : kFrameRows)
        if (column == QLatin1String(row.column)) return QString::fromUtf8(row.caption);
    for (const Category& c : set_.categories)
        if (column == c.countColumn()) return QStringLiteral("Počet – ") + c.label;
    return column;
}

// A refused value in plain words: which field, what it expects, and the error's number.
QString EditorWindow::refusalMessage(const QString& column, const QString& text, int number,
                                     const QString& description) const
{
    const QString field = fieldCaption(column);
    if (number == err::DataTypeConversion)
        return QStringLiteral(
                   "„%1“ není číslo. Do pole „%2“ zadejte číslo, desetinná místa oddělte čárkou nebo "
                   "tečkou (např. 60,5 nebo 60.5).\n\n(chyba %3)")
            .arg(text, field)
            .arg(number);
    if (number == err::FieldTooLong)
        return QStringLiteral("„%1“ se do pole „%2“ nevejde.\n\n(chyba %3)").arg(text, field).arg(number);
    // Any other refusal keeps its own description.
    return QStringLiteral("Hodnotu „%1“ nelze uložit do pole „%2“.\n\n%3-%4")
        .arg(text, field)
        .arg(number)
        .arg(description);
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
    limitPanel_->takeSettings();
    const QStringList notTaken = describeAll(session_->valuesNotTaken());
    lblNEPREVZATO_->setToolTip(notTaken.join(QLatin1Char('\n')));
    lblNEPREVZATO_->setVisible(!notTaken.isEmpty());
}

void EditorWindow::showHeaders()
{
    for (auto it = headerBoxes_.begin(); it != headerBoxes_.end(); ++it)
        it.value()->setText(shownFigure(session_->header(it.key())));
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
    mapper_->setItemDelegate(new ShownFiguresDelegate(mapper_));
    mapper_->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
    for (auto it = boundBoxes_.begin(); it != boundBoxes_.end(); ++it) {
        const int column = model->columnOf(it.key());
        if (column >= 0) mapper_->addMapping(it.value(), column);
    }
    connect(model, &db::RecordsetModel::dataRefused, this,
            [this](const QString& column, const QString& text, int number, const QString& description) {
                ctx_.message(refusalMessage(column, text, number, description), MessageIcon::Critical);
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
        } else {
            uncomputed_ = true;
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
    const bool notTakenShown = !lblNEPREVZATO_->isHidden();
    if (progress_->isVisible()) lblNEPREVZATO_->hide();
    RunHooks hooks;
    hooks.pumpEvents = [] { QCoreApplication::processEvents(); };
    hooks.progress = [this](int done, int) { progress_->setValue(done); };
    hooks.beep = [] { QApplication::beep(); };
    session_->Pocitej(hooks);
    uncomputed_ = uncomputed_ && closeRequested_;
    progress_->hide();
    lblNEPREVZATO_->setVisible(notTakenShown);
    setCommandsEnabled(true);
    showHeaders();
    if (rs) followRecordset(rs->position());
    if (closeRequested_) close();
}

void EditorWindow::cmdZobraz_Click()
{
    if (session_->running()) return;
    commitPendingEdit();
    // The report is made from the document, which only the calculation writes: edited counts shown
    // beside a report of the old ones would pass the old figures off as the new, so the user says
    // which of the two is meant.
    if (uncomputed_) {
        switch (ctx_.ask(QStringLiteral("Změny ještě nejsou přepočteny. Přepočítat před zobrazením?"))) {
            case Answer::Yes:
                cmdPocitej_Click();
                if (closeRequested_ || uncomputed_) return;
                break;
            case Answer::No:
                break;
            case Answer::Cancel:
                return;
        }
    }
    if (onZobraz) {
        onZobraz(*this);
        return;
    }
    if (!session_->xmlDOM) return;
    const auto state = chkHTML_->checkState() == Qt::Checked            ? presentation::HtmlCheck::Checked
                       : chkHTML_->checkState() == Qt::PartiallyChecked ? presentation::HtmlCheck::Grayed
                                                                        : presentation::HtmlCheck::Unchecked;
    const BusyPointer busy;
    presentation::ZobrazEditor(ctx_, *session_->xmlDOM, state);
    if (pageShown) pageShown(*session_->xmlDOM);
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
