#include "request/ui/ArchiveWindow.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

#include "common/NumberText.h"
#include "common/SpustSoubor.h"
#include "common/UserText.h"
#include "platform/XmlDocument.h"
#include "request/Archive.h"
#include "request/Comparison.h"
#include "request/ui/ComparisonWindow.h"

namespace zorva::request {

namespace {

const QStringList kColumns = {QStringLiteral("Žadatel"),  QStringLiteral("Jméno"),       QStringLiteral("Typ"),
                              QStringLiteral("Varianta"), QStringLiteral("Datum / rok"), QStringLiteral("Čas"),
                              QStringLiteral("Upraveno"), QStringLiteral("PICHROKA"),    QStringLiteral("PICHROKB"),
                              QStringLiteral("Posouzení")};

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QTableWidgetItem* cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setToolTip(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

QString verdictShown(const ArchivedResult& r)
{
    if (r.verdict.isEmpty()) return QString();
    return r.margin ? r.verdict + QStringLiteral(" (") + shownFigure(fixedText(*r.margin, 3, QLatin1Char('.'))) +
                          QLatin1Char(')')
                    : r.verdict;
}

}  // namespace

ArchiveWindow::ArchiveWindow(const ProgramContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx)
{
    setObjectName(QStringLiteral("ArchiveWindow"));
    setWindowTitle(QStringLiteral("ZORVA: Archiv výsledků"));

    auto* filterLabel = new QLabel(QStringLiteral("Hledat (žadatel, jméno, rok):"), this);
    filterBox = new QLineEdit(this);
    filterBox->setObjectName(QStringLiteral("filterBox"));
    filterBox->setAccessibleName(QStringLiteral("Hledat"));
    filterBox->setClearButtonEnabled(true);
    filterLabel->setBuddy(filterBox);

    list = new QTableWidget(0, int(kColumns.size()), this);
    list->setObjectName(QStringLiteral("archiveList"));
    list->setAccessibleName(QStringLiteral("Výsledky v archivu"));
    list->setHorizontalHeaderLabels(kColumns);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);

    openPageButton = button(this, "openPageButton", QStringLiteral("Otevřít stránku"));
    openPdfButton = button(this, "openPdfButton", QStringLiteral("Otevřít PDF"));
    openEditorButton = button(this, "openEditorButton", QStringLiteral("Otevřít v editoru"));
    compareButton = button(this, "compareButton", QStringLiteral("Porovnat"));
    compareButton->setToolTip(QStringLiteral("Dva vybrané výsledky jednoho žadatele vedle sebe"));
    closeButton = button(this, "closeButton", QStringLiteral("Zavřít"));

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(filterBox, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {openPageButton, openPdfButton, openEditorButton, compareButton}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(list, 1);
    layout->addLayout(buttons);

    connect(filterBox, &QLineEdit::textChanged, this, &ArchiveWindow::applyFilter);
    connect(list, &QTableWidget::itemSelectionChanged, this, &ArchiveWindow::selectionChanged);
    connect(list, &QTableWidget::cellDoubleClicked, this, [this] { openPage(); });
    connect(openPageButton, &QPushButton::clicked, this, &ArchiveWindow::openPage);
    connect(openPdfButton, &QPushButton::clicked, this, &ArchiveWindow::openPdf);
    connect(openEditorButton, &QPushButton::clicked, this, &ArchiveWindow::openInEditor);
    connect(compareButton, &QPushButton::clicked, this, &ArchiveWindow::compare);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);

    reload();
    const QFontMetrics metrics(font());
    resize(metrics.horizontalAdvance(QLatin1Char('x')) * 150, metrics.height() * 30);
}

void ArchiveWindow::reload()
{
    all_ = archivedResults(ctx_);
    // The rows are made once a reading; a key typed into the filter only hides and shows them.
    list->setRowCount(0);
    list->setRowCount(int(all_.size()));
    for (int row = 0; row < int(all_.size()); ++row) {
        const ArchivedResult& r = all_[size_t(row)];
        const QString texts[] = {r.applicant,
                                 r.name,
                                 r.type,
                                 r.variant,
                                 r.period,
                                 r.timeShown(),
                                 r.edited ? QStringLiteral("ano") : QStringLiteral("ne"),
                                 shownFigure(r.pichA),
                                 shownFigure(r.pichB),
                                 verdictShown(r)};
        for (int column = 0; column < int(std::size(texts)); ++column) list->setItem(row, column, cell(texts[column]));
    }
    list->resizeColumnsToContents();
    applyFilter();
}

void ArchiveWindow::applyFilter()
{
    // A result the filter hides is no longer chosen either.
    list->clearSelection();
    for (int row = 0; row < int(all_.size()); ++row)
        list->setRowHidden(row, !matchesFilter(all_[size_t(row)], filterBox->text()));
    selectionChanged();
}

int ArchiveWindow::shownCount() const
{
    int shown = 0;
    for (int row = 0; row < list->rowCount(); ++row) shown += list->isRowHidden(row) ? 0 : 1;
    return shown;
}

std::vector<const ArchivedResult*> ArchiveWindow::selected() const
{
    std::set<int> rows;
    for (const QModelIndex& index : list->selectionModel()->selectedRows()) rows.insert(index.row());
    std::vector<const ArchivedResult*> results;
    for (int row : rows)
        if (row < int(all_.size()) && !list->isRowHidden(row)) results.push_back(&all_[size_t(row)]);
    return results;
}

void ArchiveWindow::selectionChanged()
{
    const auto chosen = selected();
    const bool one = chosen.size() == 1;
    openPageButton->setEnabled(one);
    openEditorButton->setEnabled(one);
    openPdfButton->setEnabled(one && QFile::exists(chosen[0]->pdfFile()));
    compareButton->setEnabled(chosen.size() == 2);
}

void ArchiveWindow::open(const QString& file)
{
    if (!QFile::exists(file)) {
        ctx_.message(QStringLiteral("Soubor %1 v archivu chybí.").arg(QDir::toNativeSeparators(file)),
                     MessageIcon::Critical);
        return;
    }
    SpustSoubor(ctx_, QDir::toNativeSeparators(file), QString(), 3, false, true, false);
}

bool ArchiveWindow::loadKept(xml::Document& doc, const QString& file)
{
    if (doc.load(file)) return true;
    ctx_.message(QStringLiteral("Dokument %1 z archivu nelze načíst. %2")
                     .arg(QDir::toNativeSeparators(file), xml::loadFailureText(doc.loadFailure())),
                 MessageIcon::Critical);
    return false;
}

void ArchiveWindow::openPage()
{
    if (const auto chosen = selected(); chosen.size() == 1) open(chosen[0]->pageFile());
}

void ArchiveWindow::openPdf()
{
    if (const auto chosen = selected(); chosen.size() == 1) open(chosen[0]->pdfFile());
}

void ArchiveWindow::openInEditor()
{
    const auto chosen = selected();
    if (chosen.size() != 1) return;
    auto doc = std::make_shared<xml::Document>();
    if (!loadKept(*doc, chosen[0]->xmlFile())) return;
    const RequestFields fields = fieldsOfAnswer(*doc);
    try {
        editor::openEditorForYear(ctx_, chosen[0]->period, doc, this, showEditor,
                                  [this, fields](const xml::Document& shownDoc) {
                                      const QString page = archiveEditedPage(ctx_, fields, shownDoc);
                                      if (pageFiled) pageFiled(page);
                                      reload();
                                  });
    } catch (const std::exception& e) {
        ctx_.message(userText(e), MessageIcon::None);
    }
}

void ArchiveWindow::compare()
{
    const auto chosen = selected();
    if (chosen.size() != 2) return;
    if (chosen[0]->applicant != chosen[1]->applicant) {
        ctx_.message(QStringLiteral("Porovnat lze jen dva výsledky jednoho žadatele."), MessageIcon::None);
        return;
    }
    // The older first, so that a difference reads as the change since then.
    const ArchivedResult* first = chosen[0];
    const ArchivedResult* second = chosen[1];
    if (second->time < first->time) std::swap(first, second);
    xml::Document a;
    xml::Document b;
    if (!loadKept(a, first->xmlFile()) || !loadKept(b, second->xmlFile())) return;
    ComparisonWindow window(compareResults(a, b), *first, *second, this);
    if (showComparison) showComparison(window);
    else window.exec();
}

}  // namespace zorva::request
