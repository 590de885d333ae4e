#include "request/ui/ComparisonWindow.h"

#include <QDate>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/NumberText.h"
#include "common/TypedNumbers.h"

namespace zorva::request {

namespace {

const QStringList kColumns = {QStringLiteral("Datum platnosti"), QStringLiteral("PICHA 1"), QStringLiteral("PICHA 2"),
                              QStringLiteral("Rozdíl A"),        QStringLiteral("PICHB 1"), QStringLiteral("PICHB 2"),
                              QStringLiteral("Rozdíl B")};

// Intensities to three decimals, as the report shows them; the whole figure in the tooltip.
QTableWidgetItem* figureCell(const QString& text)
{
    const std::optional<double> value = documentNumber(text);
    auto* item = new QTableWidgetItem(value ? shownFigure(fixedText(*value, 3, QLatin1Char('.'))) : text);
    item->setToolTip(shownFigure(text));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QTableWidgetItem* differenceCell(const std::optional<double>& difference)
{
    if (!difference) return new QTableWidgetItem;
    QString text = shownFigure(fixedText(*difference, 3, QLatin1Char('.')));
    if (*difference > 0 && text != shownFigure(QStringLiteral("0.000"))) text.prepend(QLatin1Char('+'));
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

void addRow(QTableWidget* table, const QString& label, const ComparedFigure& a, const ComparedFigure& b)
{
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, 0, new QTableWidgetItem(label));
    table->setItem(row, 1, figureCell(a.first));
    table->setItem(row, 2, figureCell(a.second));
    table->setItem(row, 3, differenceCell(a.difference));
    table->setItem(row, 4, figureCell(b.first));
    table->setItem(row, 5, figureCell(b.second));
    table->setItem(row, 6, differenceCell(b.difference));
}

}  // namespace

QString resultTitle(const ArchivedResult& r)
{
    QString title = r.applicant;
    if (!r.name.isEmpty()) title += QLatin1Char(' ') + r.name;
    title += QStringLiteral(", typ ") + r.type + r.variant + QStringLiteral(", ") + r.period + QStringLiteral(", ") +
             r.timeShown();
    if (r.edited) title += QStringLiteral(" (upraveno)");
    return title;
}

ComparisonWindow::ComparisonWindow(const Comparison& c, const ArchivedResult& first, const ArchivedResult& second,
                                   QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ComparisonWindow"));
    setWindowTitle(QStringLiteral("ZORVA: Porovnání výsledků"));
    auto* heading = new QLabel(QStringLiteral("1: %1\n2: %2").arg(resultTitle(first), resultTitle(second)), this);
    heading->setObjectName(QStringLiteral("comparedResults"));
    heading->setTextInteractionFlags(Qt::TextSelectableByMouse);

    table = new QTableWidget(0, int(kColumns.size()), this);
    table->setObjectName(QStringLiteral("comparisonTable"));
    table->setAccessibleName(QStringLiteral("Porovnání"));
    table->setHorizontalHeaderLabels(kColumns);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    addRow(table, QStringLiteral("Za rok (PICHROKA, PICHROKB)"), c.yearlyA, c.yearlyB);
    for (const ComparedDate& d : c.dates) {
        const QDate date = QDate::fromString(d.date, Qt::ISODate);
        addRow(table, date.isValid() ? date.toString(QStringLiteral("d. M. yyyy")) : d.date, d.pichA, d.pichB);
    }
    table->resizeColumnsToContents();

    auto* close = new QPushButton(QStringLiteral("Zavřít"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(table, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    const QFontMetrics metrics(font());
    resize(metrics.horizontalAdvance(QLatin1Char('x')) * 110, metrics.height() * 30);
}

}  // namespace zorva::request
