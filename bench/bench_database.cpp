// Time to fill and recompute 10 000 rows of the 2006-generation working table through the recordset,
// each in one batch, as the loading and the calculation do it (every column set, every row stored).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>
#include "editor/CategorySet.h"

#include "common/Failure.h"
#include "platform/WorkingDatabase.h"

using namespace zorva;
using namespace zorva::db;

namespace {

// The 2006 generation's own table and categories.
const QString kCreate2006 = zorva::editor::CategorySet::gen2006().createTable;

QStringList categoryNames()
{
    QStringList names;
    for (const auto& c : zorva::editor::CategorySet::gen2006().categories) names << c.name;
    return names;
}
const QStringList kCategories = categoryNames();

constexpr int kRows = 10000;

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TMP_BENCH.MDB"));
    try {
        WorkingDatabase::create(path, QStringLiteral(";LANGID=0x0405;CP=1250;COUNTRY=0"));
        WorkingDatabase database;
        database.open(path);
        database.execute(kCreate2006);

        // The names and texts are made once, so that the times are those of the recordset.
        struct CategoryColumns {
            QString count, units, coefficient;
        };
        std::vector<CategoryColumns> columns;
        for (const QString& c : kCategories)
            columns.push_back({c + QStringLiteral("_POCET"), c + QStringLiteral("_VDJ"), c + QStringLiteral("_KOEF")});
        QStringList dates, counts;
        for (int i = 0; i < 31; ++i) dates << QStringLiteral("%1.01.2006").arg(i + 1, 2, 10, QLatin1Char('0'));
        for (int i = 0; i < 500; ++i) counts << QString::number(i);
        const QString units = QStringLiteral("6,00000");
        const QLocale locale;

        QElapsedTimer fill;
        fill.start();
        {
            auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA"));
            rs->beginBatch();
            for (int i = 0; i < kRows; ++i) {
                rs->addNew();
                rs->setValue(QStringLiteral("DATPLATNOST"), dates.at(i % 31));
                rs->setValue(QStringLiteral("VDJA"), QStringLiteral("12,5"));
                rs->setValue(QStringLiteral("VDJB"), QStringLiteral("10,25"));
                rs->setValue(QStringLiteral("PICHA"), 0.8);
                rs->setValue(QStringLiteral("PICHB"), 0.72);
                rs->setValue(QStringLiteral("ZADATELREGLPIS"), QStringLiteral("A"));
                rs->setValue(QStringLiteral("ZADATELREGIRZ"), QStringLiteral("N"));
                rs->setValue(QStringLiteral("SUMAVYMERADPB"), 12.5);
                for (const CategoryColumns& c : columns) {
                    rs->setValue(c.count, counts.at(i % 500));
                    rs->setValue(c.units, units);
                    rs->setValue(c.coefficient, 0.6);
                }
                rs->update();
            }
            rs->endBatch();
        }
        const qint64 fillMs = fill.elapsed();

        QElapsedTimer open;
        open.start();
        auto rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA ORDER BY DATPLATNOST"));
        const qint64 openMs = open.elapsed();

        QElapsedTimer update;
        update.start();
        rs->beginBatch();
        for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
            double sum = 0;
            for (const CategoryColumns& c : columns) {
                const double product = rs->value(c.count).toString().toDouble() * rs->value(c.coefficient).toDouble();
                rs->setValue(c.units, locale.toString(product, 'f', 5));
                sum += product;
            }
            rs->setValue(QStringLiteral("VDJA"), sum);
            rs->setValue(QStringLiteral("PICHA"), sum / rs->value(QStringLiteral("SUMAVYMERADPB")).toDouble());
            rs->update();
        }
        rs->endBatch();
        const qint64 updateMs = update.elapsed();

        std::printf("2006 table, %d rows, 56 columns\n", kRows);
        std::printf("  fill (addNew, 56 setValue, update; one batch): %lld ms\n", static_cast<long long>(fillMs));
        std::printf("  open ORDER BY DATPLATNOST (Czech collation):    %lld ms\n", static_cast<long long>(openMs));
        std::printf("  recompute (read, 18 setValue, update; batch):   %lld ms\n", static_cast<long long>(updateMs));
    } catch (const Failure& f) {
        std::fprintf(stderr, "%s\n", qPrintable(f.text()));
        return 1;
    }
    return 0;
}
