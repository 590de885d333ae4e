#include "request/ui/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>

#include "Version.h"
#include "common/ModAll.h"
#include "common/SpustSoubor.h"
#include "common/UserText.h"
#include "common/ui/CommandButtonX.h"
#include "common/Failure.h"
#include "common/IniFile.h"
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
    // The design's font is an 8-point sans serif; the window keeps the size and the family at hand.
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setFixedSize(twips(0, 0, 9330, 6060).size());

    buildControls();
    arrangeTabOrder();

    // Not one of the window's original controls: the batch sits in the free space right of the
    // applicant's identifiers, in the column of "STORNO".
    auto* batchButton = new QPushButton(QStringLiteral("Dávka…"), this);
    batchButton->setObjectName(QStringLiteral("batchButton"));
    batchButton->setGeometry(twips(7200, 2160, 1500, 510));
    connect(batchButton, &QPushButton::clicked, this, &frmMain::requestBatch);

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
}

QRect frmMain::twips(int left, int top, int width, int height) const
{
    const double x = logicalDpiX() / 1440.0;
    const double y = logicalDpiY() / 1440.0;
    return QRect(qRound(left * x), qRound(top * y), qRound(width * x), qRound(height * y));
}

void frmMain::buildControls()
{
    // A label gets its design box, but never less than its text needs in the font at hand.
    auto label = [this](QWidget* parent, const char* name, const QString& caption, QRect box) {
        auto* l = new QLabel(caption, parent);
        l->setObjectName(QLatin1String(name));
        const QSize hint = l->sizeHint();
        box.setWidth(std::max(box.width(), hint.width()));
        box.setHeight(std::max(box.height(), hint.height()));
        l->setGeometry(box);
        return l;
    };
    auto lineEdit = [](QWidget* parent, const char* name, QRect box) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(box);
        return e;
    };
    auto button = [](QWidget* parent, const char* name, const QString& caption, QRect box) {
        auto* b = new CommandButtonX(caption, parent);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(box);
        b->setAutoDefault(false);
        return b;
    };
    auto combo = [](QWidget* parent, const char* name, QRect box) {
        auto* c = new QComboBox(parent);
        c->setObjectName(QLatin1String(name));
        c->setEditable(false);
        c->setGeometry(box);
        return c;
    };
    auto frame = [](QWidget* parent, const char* name, const QString& caption, QRect box) {
        auto* g = new QGroupBox(caption, parent);
        g->setObjectName(QLatin1String(name));
        g->setGeometry(box);
        return g;
    };
    auto line = [this](const char* name, int y, int x1, int x2) {
        auto* l = new QFrame(this);
        l->setObjectName(QLatin1String(name));
        l->setFrameShape(QFrame::HLine);
        l->setFrameShadow(QFrame::Sunken);
        const QRect r = twips(x1, y, x2 - x1, 0);
        l->setGeometry(r.left(), r.top() - 1, r.width(), 2);
        return l;
    };

    Label1 = label(this, "Label1", QStringLiteral("Jednotný identifikátor"), twips(90, 2205, 1500, 195));
    txtJISUBRUX = lineEdit(this, "txtJISUBRUX", twips(2115, 2160, 2535, 285));
    Label2 = label(this, "Label2", QStringLiteral("IČ"), twips(90, 2565, 150, 195));
    txtIC = lineEdit(this, "txtIC", twips(2115, 2520, 2535, 285));
    Label3 = label(this, "Label3", QStringLiteral("Rodné číslo"), twips(90, 2925, 855, 195));
    txtRC = lineEdit(this, "txtRC", twips(2115, 2880, 2535, 285));
    Label4 = label(this, "Label4", QStringLiteral("Varianta výpočtu"), twips(45, 3465, 1200, 195));
    lblRok = label(this, "lblRok", QStringLiteral("ROK"), twips(45, 4275, 345, 195));
    txtROK = lineEdit(this, "txtROK", twips(2115, 4185, 2535, 285));
    CommandButtonX1 = button(this, "CommandButtonX1", QStringLiteral("OK (ODESLAT)"), twips(2970, 5490, 1500, 510));
    CommandButtonX2 = button(this, "CommandButtonX2", QStringLiteral("STORNO"), twips(7200, 5490, 1500, 510));

    Frame1 = frame(this, "Frame1", QStringLiteral("Adresa na server"), twips(0, 0, 9285, 825));
    txtSERVER = new QPlainTextEdit(Frame1);
    txtSERVER->setObjectName(QStringLiteral("txtSERVER"));
    txtSERVER->setGeometry(twips(90, 225, 9150, 510));
    txtSERVER->setReadOnly(true);  // the address comes only from the settings file
    txtSERVER->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtSERVER->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtSERVER->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtSERVER->setTabChangesFocus(true);

    Label5 = label(this, "Label5", QStringLiteral("Vyplňte, prosím, následující údaje : "), twips(45, 1845, 3165, 195));
    QFont bold = Label5->font();
    bold.setBold(true);
    Label5->setFont(bold);
    Label5->resize(std::max(Label5->width(), Label5->sizeHint().width()), Label5->height());

    cmbVARPICH = combo(this, "cmbVARPICH", twips(2115, 3465, 6915, 315));
    lblVersion = label(this, "lblVersion", QString(), twips(7785, 4770, 1500, 240));
    CommandButtonX3 = button(this, "CommandButtonX3", QStringLiteral("Nápověda"), twips(45, 5490, 1500, 510));

    chkHTML = new QCheckBox(QStringLiteral("HTML"), this);
    chkHTML->setObjectName(QStringLiteral("chkHTML"));
    chkHTML->setGeometry(twips(2025, 5625, 915, 285));
    chkHTML->setChecked(true);

    cmbPICHVYPOCET = combo(this, "cmbPICHVYPOCET", twips(2115, 3825, 6915, 315));
    Label6 = label(this, "Label6", QStringLiteral("PICH výpočet"), twips(45, 3825, 990, 195));
    txtVYMERA = lineEdit(this, "txtVYMERA", twips(2115, 4545, 2535, 285));
    txtVYMERA->setVisible(false);
    lblVYMERA = label(this, "lblVYMERA", QStringLiteral("VÝMĚRA"), twips(45, 4635, 675, 195));
    lblVYMERA->setVisible(false);
    cmdEditace = button(this, "cmdEditace", QStringLiteral("OK (Editace)"), twips(4455, 5490, 1500, 510));

    Frame2 = frame(this, "Frame2", QStringLiteral("Identifikace uživatele"), twips(0, 855, 9285, 600));
    txtUSERID = lineEdit(Frame2, "txtUSERID", twips(90, 225, 3480, 330));
    txtUSERID->setReadOnly(true);  // the identification comes only from the settings file

    Line1 = line("Line1", 3330, 45, 9315);
    Line2 = line("Line2", 5310, 0, 9315);

    waitLabel = label(this, "waitLabel", QString(), twips(45, 4950, 7000, 240));
    waitLabel->setVisible(false);
    cancelButton = button(this, "cancelButton", QStringLiteral("Zrušit"), twips(5985, 5490, 1185, 510));
    cancelButton->setVisible(false);
}

void frmMain::arrangeTabOrder()
{
    // The controls that take the focus, in the order of their tab indexes.
    const QList<QWidget*> order = {txtJISUBRUX,     txtIC,      txtRC,      txtROK,         CommandButtonX1,
                                   CommandButtonX2, txtSERVER,  cmbVARPICH, CommandButtonX3, chkHTML,
                                   cmbPICHVYPOCET,  txtVYMERA,  cmdEditace, txtUSERID};
    for (int i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

void frmMain::loadSettings()
{
    // 1. The settings file beside the program.
    const QString ini = ctx_.settingsFile();

    // 2. The fields, each placed unchanged.
    txtSERVER->setPlainText(CtiINI(kSetup, QStringLiteral("SERVER"), defaults::serverUrl, ini));
    txtUSERID->setText(CtiINI(kSetup, QStringLiteral("USERID"), QString(), ini));
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

// Every selection runs the type switch, also when it selects what is already selected.
void frmMain::selectType(int index)
{
    if (cmbVARPICH->currentIndex() == index)
        typeSwitch();
    else
        cmbVARPICH->setCurrentIndex(index);
}

void frmMain::typeSwitch()
{
    const int n = cmbVARPICH->currentIndex() < 0 ? 0 : firstDigit(cmbVARPICH->currentText());
    lblRok->setText(n < 4 ? QStringLiteral("Datum") : QStringLiteral("Rok"));
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
