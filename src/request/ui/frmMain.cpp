#include "request/ui/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <cstdio>
#include <cstdlib>

#include "Version.h"
#include "common/Failure.h"
#include "common/IniFile.h"
#include "common/ModAll.h"
#include "common/SpustSoubor.h"
#include "common/UserText.h"
#include "common/ui/CommandButtonX.h"
#include "common/ui/DesignGeometry.h"
#include "common/ui/LockedLook.h"
#include "request/Defaults.h"

namespace zorva {

namespace {

const QString kSetup = QStringLiteral("SETUP");

const QStringList kTypes = {
    QStringLiteral("1 - okamžitá intenzita chovu podle NV 242/2004 Sb."),
    QStringLiteral("2 - okamžitá intenzita chovu podle NV 242/2004 Sb - § 7 odst.3) - TTP - ke dni podání "
                   "žádosti (stanovené datum)"),
    QStringLiteral("3 - okamžitá intenzita chovu podle NV 242/2004 Sb - § 7 odst.5) písm. a) - TTP - ke "
                   "stanovenému dni v průběhu 5letého období"),
    QStringLiteral("4 - průměrná intenzita chovu podle NV 241/2004 Sb."),
    QStringLiteral("5 - průměrná intenzita chovu podle NV 242/2004 Sb (EZ)."),
    QStringLiteral("6 - průměrná intenzita chovu podle NV 242/2004 Sb - § 7 odst.5) písm. a) - TTP"),
};

const QStringList kVariants = {
    QStringLiteral("A - výpočet PICH - varianta A - s koňmi"),
    QStringLiteral("B - výpočet PICH - varianta B - bez koňů"),
    QStringLiteral("C - oba výpočty"),
};

// The window's design: each control's place in twips (left, top, width, height; relative to the
// window, or to its frame for txtSERVER and txtUSERID) and the texts it must show whole besides its
// caption. A further control is one more row. Free room: right of the year and acreage boxes
// (x 4740 to 9285, y 4140 to 4740), right of the identifiers below "Dávka…" and between the second
// frame and the first label.
struct DesignRow {
    const char* name;
    int left, top, width, height;
    const char* contents = nullptr;  // alternatives separated by |
};

constexpr DesignRow kDesign[] = {
    {"Frame1", 0, 0, 9285, 825},
    {"txtSERVER", 90, 225, 9150, 510},
    {"Frame2", 0, 855, 9285, 600},
    {"txtUSERID", 90, 225, 3480, 330, "ABCDEFGHIJKLMNOPQRST"},
    {"Label5", 45, 1845, 3165, 195},
    {"Label1", 90, 2205, 1500, 195},
    {"txtJISUBRUX", 2115, 2160, 2535, 285, "1000234567"},
    {"Label2", 90, 2565, 150, 195},
    {"txtIC", 2115, 2520, 2535, 285, "1000234567"},
    {"Label3", 90, 2925, 855, 195},
    {"txtRC", 2115, 2880, 2535, 285, "6504121239"},
    {"Line1", 45, 3315, 9270, 30},
    {"Label4", 45, 3465, 1200, 195},
    {"cmbVARPICH", 2115, 3465, 6915, 315},  // its entries: see listContents
    {"Label6", 45, 3825, 990, 195},
    {"cmbPICHVYPOCET", 2115, 3825, 6915, 315},
    {"lblRok", 45, 4275, 1200, 195, "Datum|Rok"},  // wider than "ROK" needs: it reads "Datum" too
    {"txtROK", 2115, 4185, 2535, 285, "31.12.2006"},
    {"lblVYMERA", 45, 4635, 675, 195},
    {"txtVYMERA", 2115, 4545, 2535, 285, "123456,789"},
    {"lblVersion", 7785, 4770, 1500, 240, "99.99.0.9999"},
    {"Line2", 0, 5295, 9315, 30},
    {"CommandButtonX3", 45, 5490, 1500, 510},
    {"chkHTML", 2025, 5625, 915, 285},
    {"CommandButtonX1", 2970, 5490, 1500, 510},
    {"cmdEditace", 4455, 5490, 1500, 510},
    {"CommandButtonX2", 7200, 5490, 1500, 510},
    {"waitLabel", 45, 4950, 7000, 240, "Čekám na odpověď služby… 9999 s"},
    {"cancelButton", 5985, 5490, 1185, 510},
    {"batchButton", 7200, 2160, 1500, 510},
    {"settingsButton", 7200, 2700, 1500, 510},
    {"archiveButton", 7200, 4185, 1500, 510},
};

// The entries a list box shows whole: every variant, and the types but the two long ones (2 and 3),
// which are longer than the box in the design too; the whole entry is then in the tooltip.
QStringList listContents(const QString& name)
{
    if (name == QLatin1String("cmbPICHVYPOCET")) return kVariants;
    if (name == QLatin1String("cmbVARPICH")) return {kTypes[0], kTypes[3], kTypes[4], kTypes[5]};
    return {};
}

// The numeric value of a text's first character: 0 when it is not a digit or the text is empty.
int firstDigit(const QString& text)
{
    if (text.isEmpty() || !text.front().isDigit()) return 0;
    return text.front().digitValue();
}

}  // namespace

frmMain::frmMain(const ProgramContext& ctx, QWidget* parent)
    : QWidget(parent), ctx_(ctx), endProgram_([] {
          // At once: no closing handler of any window runs and nothing is saved. Every file the
          // program writes is complete by the time a handler returns, so nothing is lost.
          std::fflush(nullptr);
          std::_Exit(0);
      })
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("ZORVA: Výpočet VDJ"));
    // The window uses the system's font; its design scales to it (DesignGeometry).
    design_ = new DesignGeometry(this, QSize(9330, 6060));
    buildControls();
    arrangeTabOrder();

    connect(cmbVARPICH, &QComboBox::currentIndexChanged, this, [this] { typeSwitch(); });
    connect(CommandButtonX1, &QPushButton::clicked, this, &frmMain::requestSend);
    connect(cmdEditace, &QPushButton::clicked, this, &frmMain::requestEdit);
    connect(cmdEditace, &CommandButtonX::mouseDown, this, [this](int button) {
        if (button == 2) emit requestTestDocument();
    });
    connect(CommandButtonX2, &QPushButton::clicked, this, [this] {
        if (endProgram_) endProgram_();
    });
    connect(CommandButtonX3, &QPushButton::clicked, this, [this] { showHelp(); });
    connect(cancelButton, &QPushButton::clicked, this, &frmMain::requestCancel);

    loadSettings();
    design_->apply();
}

void frmMain::buildControls()
{
    auto label = [](QWidget* parent, const char* name, const QString& caption) {
        auto* l = new QLabel(caption, parent);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto lineEdit = [](QWidget* parent, const char* name) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    auto button = [](QWidget* parent, const char* name, const QString& caption) {
        auto* b = new CommandButtonX(caption, parent);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    auto combo = [](QWidget* parent, const char* name) {
        auto* c = new QComboBox(parent);
        c->setObjectName(QLatin1String(name));
        c->setEditable(false);
        return c;
    };
    auto frame = [](QWidget* parent, const char* name, const QString& caption) {
        auto* g = new QGroupBox(caption, parent);
        g->setObjectName(QLatin1String(name));
        return g;
    };
    auto line = [this](const char* name) {
        auto* l = new QFrame(this);
        l->setObjectName(QLatin1String(name));
        l->setFrameShape(QFrame::HLine);
        l->setFrameShadow(QFrame::Sunken);
        return l;
    };

    Label1 = label(this, "Label1", QStringLiteral("Jednotný identifikátor"));
    txtJISUBRUX = lineEdit(this, "txtJISUBRUX");
    Label2 = label(this, "Label2", QStringLiteral("IČ"));
    txtIC = lineEdit(this, "txtIC");
    Label3 = label(this, "Label3", QStringLiteral("Rodné číslo"));
    txtRC = lineEdit(this, "txtRC");
    Label4 = label(this, "Label4", QStringLiteral("Varianta výpočtu"));
    lblRok = label(this, "lblRok", QStringLiteral("ROK"));
    txtROK = lineEdit(this, "txtROK");
    CommandButtonX1 = button(this, "CommandButtonX1", QStringLiteral("OK (ODESLAT)"));
    CommandButtonX2 = button(this, "CommandButtonX2", QStringLiteral("STORNO"));

    Frame1 = frame(this, "Frame1", QStringLiteral("Adresa na server"));
    txtSERVER = new QPlainTextEdit(Frame1);
    txtSERVER->setObjectName(QStringLiteral("txtSERVER"));
    txtSERVER->setReadOnly(true);  // the address comes only from the settings file
    txtSERVER->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtSERVER->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtSERVER->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtSERVER->setTabChangesFocus(true);

    Label5 = label(this, "Label5", QStringLiteral("Vyplňte, prosím, následující údaje : "));
    QFont bold;  // only the weight is the label's own; size and family follow the window
    bold.setBold(true);
    Label5->setFont(bold);

    cmbVARPICH = combo(this, "cmbVARPICH");
    lblVersion = label(this, "lblVersion", QString());
    CommandButtonX3 = button(this, "CommandButtonX3", QStringLiteral("Nápověda"));

    chkHTML = new QCheckBox(QStringLiteral("HTML"), this);
    chkHTML->setObjectName(QStringLiteral("chkHTML"));
    chkHTML->setChecked(true);

    cmbPICHVYPOCET = combo(this, "cmbPICHVYPOCET");
    Label6 = label(this, "Label6", QStringLiteral("PICH výpočet"));
    txtVYMERA = lineEdit(this, "txtVYMERA");
    txtVYMERA->setVisible(false);
    lblVYMERA = label(this, "lblVYMERA", QStringLiteral("VÝMĚRA"));
    lblVYMERA->setVisible(false);
    cmdEditace = button(this, "cmdEditace", QStringLiteral("OK (Editace)"));

    Frame2 = frame(this, "Frame2", QStringLiteral("Identifikace uživatele"));
    txtUSERID = lineEdit(Frame2, "txtUSERID");
    txtUSERID->setReadOnly(true);  // the identification comes only from the settings file

    // Both come only from the settings file: they look locked and say where they are set.
    const QString ini = QFileInfo(ctx_.settingsFile()).fileName();
    showAsLocked(
        txtSERVER,
        QStringLiteral("Adresa serveru se nastavuje v okně Nastavení…, ukládá se do souboru %1 (SETUP/SERVER).")
            .arg(ini));
    showAsLocked(
        txtUSERID,
        QStringLiteral("Identifikace uživatele se nastavuje v okně Nastavení…, ukládá se do souboru %1 (SETUP/USERID).")
            .arg(ini));

    Line1 = line("Line1");
    Line2 = line("Line2");

    waitLabel = label(this, "waitLabel", QString());
    waitLabel->setVisible(false);
    cancelButton = button(this, "cancelButton", QStringLiteral("Zrušit"));
    cancelButton->setVisible(false);

    // Not one of the window's original controls: the batch sits in the free space right of the
    // applicant's identifiers, in the column of "STORNO".
    auto* batchButton = new QPushButton(QStringLiteral("Dávka…"), this);
    batchButton->setObjectName(QStringLiteral("batchButton"));
    connect(batchButton, &QPushButton::clicked, this, &frmMain::requestBatch);
    // Below it, the settings: the locked boxes say where they are set, and this is where.
    auto* settingsButton = new QPushButton(QStringLiteral("Nastavení…"), this);
    settingsButton->setObjectName(QStringLiteral("settingsButton"));
    connect(settingsButton, &QPushButton::clicked, this, &frmMain::requestSettings);
    // The archive right of the year and acreage boxes, in the same column.
    auto* archiveButton = new QPushButton(QStringLiteral("Archiv…"), this);
    archiveButton->setObjectName(QStringLiteral("archiveButton"));
    connect(archiveButton, &QPushButton::clicked, this, &frmMain::requestArchive);

    for (const DesignRow& row : kDesign) {
        QWidget* control = findChild<QWidget*>(QLatin1String(row.name));
        QStringList contents = listContents(control->objectName());
        if (row.contents) contents = QString::fromUtf8(row.contents).split(QLatin1Char('|'));
        design_->place(control, QRect(row.left, row.top, row.width, row.height), contents);
    }
}

void frmMain::arrangeTabOrder()
{
    // The controls that take the focus, in the order of their tab indexes.
    const QList<QWidget*> order = {txtJISUBRUX,     txtIC,     txtRC,      txtROK,          CommandButtonX1,
                                   CommandButtonX2, txtSERVER, cmbVARPICH, CommandButtonX3, chkHTML,
                                   cmbPICHVYPOCET,  txtVYMERA, cmdEditace, txtUSERID};
    for (int i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

void frmMain::loadSettings()
{
    // 1. The settings file beside the program.
    const QString ini = ctx_.settingsFile();

    // 2. The fields, each placed unchanged.
    refreshFromSettings();
    offerRecentApplicants(request::recentApplicants(ctx_));
    txtJISUBRUX->setText(CtiINI(kSetup, QStringLiteral("JISUBRUX"), QString(), ini));
    txtIC->setText(CtiINI(kSetup, QStringLiteral("IC"), QString(), ini));
    txtRC->setText(CtiINI(kSetup, QStringLiteral("RC"), QString(), ini));
    txtROK->setText(CtiINI(kSetup, QStringLiteral("ROK"), QString(), ini));

    // 3. The calculation types; the first is selected.
    {
        const QSignalBlocker quiet(cmbVARPICH);
        cmbVARPICH->addItems(kTypes);
        cmbVARPICH->setCurrentIndex(-1);
    }
    selectType(0);

    // 4. The variants; the first is selected. The variant is never stored.
    cmbPICHVYPOCET->addItems(kVariants);
    cmbPICHVYPOCET->setCurrentIndex(0);

    // 5. The stored type. A digit beyond the six types (7, 8, 9), like 0 or a non-digit, leaves
    // the list without a selection: the user must choose before sending.
    const int n = firstDigit(CtiINI(kSetup, QStringLiteral("VARPICH"), QStringLiteral("4"), ini));
    selectType(n >= 1 && n <= kTypes.size() ? n - 1 : -1);

    // 6. The version: major.minor.0.revision.
    lblVersion->setText(QStringLiteral("%1.%2.0.%3").arg(version::major).arg(version::minor).arg(version::revision));
}

void frmMain::offerRecentApplicants(const std::vector<request::KnownApplicant>& applicants)
{
    recent_ = applicants;
    const std::pair<QLineEdit*, QString request::KnownApplicant::*> boxes[] = {
        {txtJISUBRUX, &request::KnownApplicant::jisubrux},
        {txtIC, &request::KnownApplicant::ico},
        {txtRC, &request::KnownApplicant::rc}};
    for (const auto& [box, field] : boxes) {
        // Each entry shows the name beside the number and puts only the number into the box.
        auto* model = new QStandardItemModel(box);
        for (int i = 0; i < int(recent_.size()); ++i) {
            const request::KnownApplicant& a = recent_[std::size_t(i)];
            if ((a.*field).isEmpty()) continue;
            auto* item = new QStandardItem(a.name.isEmpty() ? a.*field : a.*field + QStringLiteral(" – ") + a.name);
            item->setData(a.*field, Qt::UserRole);
            item->setData(i, Qt::UserRole + 1);
            model->appendRow(item);
        }
        delete box->completer();
        auto* completer = new QCompleter(model, box);
        completer->setCompletionRole(Qt::UserRole);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        box->setCompleter(completer);
        connect(completer, QOverload<const QModelIndex&>::of(&QCompleter::activated), this,
                [this](const QModelIndex& index) { chooseApplicant(index.data(Qt::UserRole + 1).toInt()); });
    }
}

void frmMain::chooseApplicant(int index)
{
    if (index < 0 || index >= int(recent_.size())) return;
    const request::KnownApplicant& a = recent_[std::size_t(index)];
    txtJISUBRUX->setText(a.jisubrux);
    txtIC->setText(a.ico);
    txtRC->setText(a.rc);
}

void frmMain::refreshFromSettings()
{
    const QString ini = ctx_.settingsFile();
    txtSERVER->setPlainText(CtiINI(kSetup, QStringLiteral("SERVER"), defaults::serverUrl, ini));
    txtUSERID->setText(CtiINI(kSetup, QStringLiteral("USERID"), QString(), ini));
}

// Every selection runs the type switch, also when it selects what is already selected.
void frmMain::selectType(int index)
{
    if (cmbVARPICH->currentIndex() == index) typeSwitch();
    else cmbVARPICH->setCurrentIndex(index);
}

void frmMain::typeSwitch()
{
    const int n = cmbVARPICH->currentIndex() < 0 ? 0 : firstDigit(cmbVARPICH->currentText());
    lblRok->setText(n < 4 ? QStringLiteral("Datum") : QStringLiteral("Rok"));
    // Two of the entries are longer than the list box; the whole text is at hand under the pointer.
    cmbVARPICH->setToolTip(cmbVARPICH->currentText());
    // A hidden acreage keeps its text; the sending empties it for the other types.
    lblVYMERA->setVisible(n == 6);
    txtVYMERA->setVisible(n == 6);
}

void frmMain::UlozNastaveni()
{
    const QString ini = ctx_.settingsFile();
    ini::writeString(kSetup, QStringLiteral("SERVER"), txtSERVER->toPlainText(), ini);
    ini::writeString(kSetup, QStringLiteral("JISUBRUX"), txtJISUBRUX->text(), ini);
    ini::writeString(kSetup, QStringLiteral("IC"), txtIC->text(), ini);
    ini::writeString(kSetup, QStringLiteral("RC"), txtRC->text(), ini);
    ini::writeString(kSetup, QStringLiteral("ROK"), txtROK->text(), ini);
    const QString type = cmbVARPICH->currentIndex() < 0 ? QString() : cmbVARPICH->currentText().left(1);
    ini::writeString(kSetup, QStringLiteral("VARPICH"), type, ini);
}

void frmMain::showHelp()
{
    try {
        const QString help = CtiINI(kSetup, QStringLiteral("HELP"), defaults::helpUrl, ctx_.settingsFile());
        SpustSoubor(ctx_, help, QString(), 3, true, true, true);
    } catch (const std::exception& e) {
        // The launcher's own failures (a log it cannot write) end here as a plain box.
        ctx_.message(userText(e));
    }
}

void frmMain::setWaiting(bool waiting, int seconds)
{
    waitLabel->setText(QStringLiteral("Čekám na odpověď služby… %1 s").arg(seconds));
    for (QWidget* w : {static_cast<QWidget*>(waitLabel), static_cast<QWidget*>(cancelButton)}) {
        w->setVisible(waiting);
        w->setEnabled(waiting);
    }
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && !cancelButton->isHidden() && cancelButton->isEnabled()) {
        cancelButton->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmMain::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Only the background counts; the two lines are drawn on it and are part of it.
    QWidget* hit = childAt(event->position().toPoint());
    if (hit == nullptr || hit == Line1 || hit == Line2) {
        emit requestShowResponse();
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

}  // namespace zorva
