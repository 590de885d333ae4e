#include "editor/EditorSession.h"

#include <QFile>
#include <QLocale>
#include <QSet>
#include <cmath>

#include "common/ErrorTexts.h"
#include "common/Failure.h"
#include "common/FileInUse.h"
#include "common/ModAll.h"
#include "common/Namespaces.h"
#include "common/NumberText.h"
#include "common/SkipOnFailure.h"
#include "common/UserText.h"
#include "editor/PlanInput.h"
#include "editor/RecordedLimits.h"
#include "editor/TableColumns.h"
#include "editor/WriteBack.h"
#include "platform/WorkingDatabase.h"

namespace zorva::editor {

EditorSession::EditorSession(const ProgramContext& ctx, const CategorySet& set, QObject* parent)
    : QObject(parent), ctx_(ctx), set_(set), dataControl_(std::make_unique<db::DataControl>())
{
    for (const auto& h : headerFields()) headers_.insert(h.box, QString());
}

EditorSession::~EditorSession() = default;

void EditorSession::setHeader(const QString& box, const QString& text)
{
    headers_[box] = text;
}

void EditorSession::Startuj()
{
    // Phase one: the first failure ends the loading with one message.
    db::WorkingDatabase database;
    QString created;
    try {
        if (!xmlDOM) throw Failure(err::ObjectVariableNotSet, QStringLiteral("Dokument odpovědi není nastaven"));
        xml::Document& doc = *xmlDOM;
        for (const auto& field : headerFields()) {
            const xml::Node node = doc.selectSingle(field.pattern);
            headers_[field.box] = QString();
            if (node) {
                headers_[field.box] = node.text();
                if (field.box == QLatin1String("txtPICHROKA")) bPICHROKA = true;
                if (field.box == QLatin1String("txtPICHROKB")) bPICHROKB = true;
            }
        }
        emit headersChanged();

        // The name is the session's only once the file is: a name another run took in the meantime
        // is that run's file, which this session must neither open nor delete.
        created = db::WorkingDatabase::createUnique(
            [this] { return VytvorJmenoTMP(ctx_, ctx_.folder, QStringLiteral("MDB")); }, kCzechLocale);
        databasePath_ = created;
        // Marked for the whole opening, also between the loading and the data control's connection,
        // so that the cleanup of another instance leaves it alone.
        inUse_ = std::make_unique<FileInUse>(databasePath_);
        database.open(databasePath_);
        database.execute(set_.workingTableStatement());
    } catch (const std::exception& e) {
        // A working database that could not be made ready is of no use to anyone: it goes at once.
        database.close();
        if (!created.isEmpty()) {
            inUse_.reset();
            QFile::remove(created);
            databasePath_.clear();
        }
        emit headersChanged();
        ctx_.message(userText(e), MessageIcon::None);
        if (leaveBusy) leaveBusy();
        return;
    }

    // Phase two: a failing step is skipped silently.
    serviceInputs_ = ServiceInputs(set_);
    notTaken_.clear();
    skipOnFailure([&] { notTaken_ = recordedValuesNotTaken(*xmlDOM); });
    std::unique_ptr<db::Recordset> rs;
    skipOnFailure([&] { rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA")); });
    if (rs) skipOnFailure([&] { loadRows(*rs); });
    skipOnFailure([&] { serviceInputs_.takeRecorded(*xmlDOM); });
    skipOnFailure([&] { serviceYearly_ = serviceYearlyOf(*xmlDOM); });
    skipOnFailure([&] {
        if (rs) rs->close();
    });
    skipOnFailure([&] { database.close(); });
    strConnect = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + databasePath_ +
                 QStringLiteral(";User ID=admin");
    dataControl_->setConnectionString(strConnect);
    dataControl_->setRecordSource(kRecordSource);
    skipOnFailure([&] { dataControl_->refresh(); });
}

namespace {

// The words that stand in the list of values not taken for what the program works with instead.
QString countedAs(double value)
{
    return QStringLiteral("počítá se ") + generalText(value);
}
const QString kLeftEmpty = QStringLiteral("zůstává prázdné");

}  // namespace

void EditorSession::noteNotTaken(ValueNotTaken value)
{
    for (const ValueNotTaken& v : notTaken_)
        if (v.date == value.date && v.field == value.field) return;
    notTaken_.push_back(std::move(value));
}

void EditorSession::loadRows(db::Recordset& rs)
{
    std::vector<xml::Node> rows;
    skipOnFailure([&] { rows = xmlDOM->selectList(QStringLiteral("//VDJ:PICHROW")); });
    const TableColumns col(rs, set_);
    static const xml::Name date = xml::Name::from(std::string("DATPLATNOST"));
    static const xml::Name vdjA = xml::Name::from(std::string("VDJA"));
    static const xml::Name vdjB = xml::Name::from(std::string("VDJB"));
    static const xml::Name pichA = xml::Name::from(std::string("PICHA"));
    static const xml::Name pichB = xml::Name::from(std::string("PICHB"));
    static const xml::Name units = xml::Name::from(std::string("VDJ"));
    static const xml::Name koef = xml::Name::from(std::string("KOEF"));
    // The row's children that are read: the three applicant fields, then every category.
    QStringList childNames = {QStringLiteral("RUX:ZADATELREGLPIS"), QStringLiteral("RUX:ZADATELREGIRZ"),
                              QStringLiteral("RUX:SUMAVYMERADPB")};
    for (const Category& c : set_.categories) childNames << QStringLiteral("RUX:") + c.name;
    const xml::ChildLookup lookup(childNames);
    const int fieldColumns[] = {col.lpis, col.irz, col.acreage};
    const DecimalSigns signs;
    std::vector<xml::Node> children;
    QSet<QString> datesSeen;

    rs.beginBatch();
    int place = 0;
    for (const xml::Node& row : rows) {
        ++place;
        const QString rowDate = row.attribute(date).value_or(QString());
        // A column that refuses the service's text stays empty; the list says so.
        auto refused = [&](const QString& field, const QString& text, const QString& counted, auto&& store) {
            try {
                store();
            } catch (const Failure&) {
                noteNotTaken({rowDate, field, text, counted});
                throw;
            }
        };
        skipOnFailure([&] { rs.addNew(); });
        auto attributeText = [&](const xml::Name& name) {
            auto value = row.attribute(name);
            if (!value) throw Failure(err::ObjectRequired, QString::fromStdString(name.full));
            return std::move(*value);
        };
        bool dateTaken = false;
        skipOnFailure([&] {
            rs.setValue(col.date, attributeText(date));
            dateTaken = true;
        });
        if (!dateTaken || rowDate.contains(QLatin1Char('\''))) {
            noteNotTaken({rowDate, QStringLiteral("DATPLATNOST"), rowDate,
                          QStringLiteral("výsledky řádku se do odpovědi nezapíší")});
        } else if (datesSeen.contains(rowDate)) {
            noteNotTaken({rowDate, QStringLiteral("DATPLATNOST"), rowDate,
                          QStringLiteral("výsledky řádku se zapíší do prvního řádku s tímto datem")});
        }
        datesSeen.insert(rowDate);
        skipOnFailure([&] { rs.setValue(col.vdjA, attributeText(vdjA)); });
        skipOnFailure([&] { rs.setValue(col.vdjB, attributeText(vdjB)); });
        skipOnFailure([&] { rs.setValue(col.pichA, leadingNumber(attributeText(pichA))); });
        skipOnFailure([&] { rs.setValue(col.pichB, leadingNumber(attributeText(pichB))); });
        lookup.find(row, children);
        for (int i = 0; i < 3; ++i) {
            skipOnFailure([&] {
                const xml::Node& node = children[std::size_t(i)];
                if (!node) throw Failure(err::ObjectRequired, childNames.at(i));
                const QString text = node.text();
                if (fieldColumns[i] == col.acreage) {
                    const double value = leadingNumber(text);
                    if (!readsWhole(text))
                        noteNotTaken({rowDate, QStringLiteral("SUMAVYMERADPB"), text, countedAs(value)});
                    rs.setValue(col.acreage, value);
                } else {
                    refused(childNames.at(i).mid(4), text, kLeftEmpty, [&] { rs.setValue(fieldColumns[i], text); });
                }
            });
        }
        for (std::size_t k = 0; k < set_.categories.size(); ++k) {
            const xml::Node& node = children[k + 3];
            const Category& category = set_.categories[k];
            const CategoryColumns& c = col.categories[k];
            const auto missing = [&] { return Failure(err::ObjectRequired, category.name); };
            skipOnFailure([&] {
                if (!node) throw missing();
                const QString text = node.text();
                refused(category.countColumn(), text, countedAs(0), [&] { rs.setValue(c.count, text); });
                if (!text.isEmpty() && !readsWhole(text, &signs))
                    noteNotTaken({rowDate, category.countColumn(), text, countedAs(leadingNumberOfNormalised(text))});
            });
            skipOnFailure([&] {
                if (!node) throw missing();
                auto text = node.attribute(units);
                if (!text) throw missing();
                refused(category.unitsColumn(), *text, QStringLiteral("vypočte se znovu"),
                        [&] { rs.setValue(c.units, *text); });
            });
            skipOnFailure([&] {
                if (!node) throw missing();
                const QString text = node.attribute(koef).value_or(QString());
                if (text.isEmpty()) return;
                const double value = leadingNumber(text);
                if (!readsWhole(text)) noteNotTaken({rowDate, category.coefficientColumn(), text, countedAs(value)});
                rs.setValue(c.coefficient, value);
            });
        }
        skipOnFailure([&] {
            rs.update();
            serviceInputs_.addRow(rs.rowId(), place, rowDate, rs, col, children[2], children, 3);
        });
    }
    rs.endBatch();
}

void EditorSession::calculateRow(db::Recordset& rs, const TableColumns& col, const SumOrder& order, QChar decimalPoint,
                                 YearTotals& totals, RowWriter& writer, std::vector<RowOutcome>& outcomes)
{
    // Acreage: empty becomes 0, then the column holds its own numeric value.
    skipOnFailure([&] {
        if (db::isNullValue(rs.value(col.acreage))) rs.setValue(col.acreage, 0.0);
    });
    skipOnFailure([&] { rs.setValue(col.acreage, numericValue(rs.value(col.acreage))); });

    for (const CategoryColumns& c : col.categories) {
        skipOnFailure([&] {
            const QVariant& count = rs.value(c.count);
            const QString* text = db::textValue(count);
            if (text ? text->isEmpty() : (db::isNullValue(count) || count.toString().isEmpty()))
                rs.setValue(c.count, 0.0);
        });
    }
    for (const CategoryColumns& c : col.categories) skipOnFailure([&] { rs.setValue(c.units, 0.0); });
    // A category whose units could not be computed or stored adds the 0 that the reset left. The
    // regional sign is the run's, read once: reading it per cell cost more than the calculation.
    const DecimalSigns signs{decimalPoint};
    std::vector<double> units(col.categories.size(), 0.0);
    for (std::size_t k = 0; k < col.categories.size(); ++k) {
        skipOnFailure([&] {
            const CategoryColumns& c = col.categories[k];
            const std::optional<QString> text = unitsText(readCategory(rs, c, signs), decimalPoint);
            rs.setValue(c.units, text ? QVariant(*text) : QVariant());
            units[k] = unitsValue(text, signs);
        });
    }

    const RowSums sums = sumUnits(units, order);
    skipOnFailure([&] { rs.setValue(col.vdjA, sums.vdjA); });
    skipOnFailure([&] { rs.setValue(col.vdjB, sums.vdjB); });

    skipOnFailure([&] {
        const QVariant& acreage = rs.value(col.acreage);
        if (db::isNullValue(acreage)) {
            skipOnFailure([&] { rs.setValue(col.pichA, 0.0); });
            skipOnFailure([&] { rs.setValue(col.pichB, 0.0); });
            return;
        }
        const Intensities figures = intensities(sums, db::doubleValue(acreage));
        // The year averages what the rows hold: a figure that the column refused leaves the one it had.
        Intensities held = figures;
        skipOnFailure([&] { rs.setValue(col.pichA, figures.pichA); });
        skipOnFailure([&] { rs.setValue(col.pichB, figures.pichB); });
        skipOnFailure([&] { held.pichA = db::doubleValue(rs.value(col.pichA)); });
        skipOnFailure([&] { held.pichB = db::doubleValue(rs.value(col.pichB)); });
        totals.add(held);
        skipOnFailure([&] { outcomes.push_back({rs.value(col.date).toString(), held}); });
    });

    skipOnFailure([&] { writer.writeRow(rs, col); });
}

void EditorSession::Pocitej(const RunHooks& hooks)
{
    if (running_) return;
    running_ = true;
    // Out of memory ends a run early; the next "Počítej" must still be able to start.
    struct RunEnds {
        bool& running;
        ~RunEnds() { running = false; }
    } runEnds{running_};
    emit runStarted();
    auto pump = [&] {
        if (hooks.pumpEvents) hooks.pumpEvents();
    };

    db::Recordset* rs = recordset();
    YearTotals totals;
    std::vector<RowOutcome> outcomes;
    bool allRows = true;
    if (rs) {
        skipOnFailure([&] { rs->moveLast(); });
        skipOnFailure([&] { rs->moveFirst(); });
        pump();
        std::unique_ptr<RowWriter> writer;
        skipOnFailure([&] {
            if (xmlDOM)
                writer = std::make_unique<RowWriter>(*xmlDOM, set_, headers_.value(QStringLiteral("txtVARPICH")),
                                                     bPICHROKA, bPICHROKB);
        });
        if (writer) writer->trackChanges(&serviceInputs_);
        xml::Document empty;
        if (!writer) writer = std::make_unique<RowWriter>(empty, set_, QString(), false, false);

        const int total = rs->rowCount();
        int done = 0;
        const bool eco = ecoType(headers_.value(QStringLiteral("txtVARPICH")));
        const TableColumns columns(*rs, set_);
        const SumOrder order(set_, eco);
        // The regional settings hold still during a run.
        const QChar decimalPoint = regionalDecimalSign();
        rs->beginBatch();
        while (!rs->eof()) {
            const int position = rs->position();
            calculateRow(*rs, columns, order, decimalPoint, totals, *writer, outcomes);
            skipOnFailure([&] { rs->update(); });
            skipOnFailure([&] { rs->moveNext(); });
            // A row is never processed twice, whatever failed above.
            if (!rs->eof() && rs->position() <= position) break;
            ++done;
            if (hooks.progress) hooks.progress(done, total);
            pump();
        }
        rs->endBatch();
        // A run that stopped early saw only some rows: the list of changes from an earlier run stays, so
        // that no changed figure of the rows not reached loses its mark.
        allRows = rs->eof();
        skipOnFailure([&] {
            if (xmlDOM && allRows) recordChanges(*xmlDOM, writer->changes().changes(), serviceYearly_);
        });
        skipOnFailure([&] {
            if (xmlDOM && allRows) recordValuesNotTaken(*xmlDOM, notTaken_);
        });
    }

    // No counted row: nothing to divide by, and the boxes keep their texts.
    if (const auto figure = yearlyFigure(totals.a, totals.counted))
        headers_[QStringLiteral("txtPICHROKA")] = figure->text;
    if (const auto figure = yearlyFigure(totals.b, totals.counted))
        headers_[QStringLiteral("txtPICHROKB")] = figure->text;
    skipOnFailure([&] {
        if (xmlDOM)
            RowWriter::writeYearly(*xmlDOM, headers_.value(QStringLiteral("txtPICHROKA")),
                                   headers_.value(QStringLiteral("txtPICHROKB")));
    });
    skipOnFailure([&] {
        if (xmlDOM && allRows) recordRunLimits(outcomes);
    });
    skipOnFailure([&] {
        if (rs) rs->moveFirst();
    });
    emit headersChanged();
    running_ = false;
    emit runFinished();
    if (hooks.beep) hooks.beep();
}

void EditorSession::recordRunLimits(const std::vector<RowOutcome>& outcomes)
{
    const std::optional<int> type = calculationType(headers_.value(QStringLiteral("txtVARPICH")));
    const Limits limits = type ? settingsLimits(ctx_.settingsFile(), *type) : Limits();
    std::vector<LimitCheck> checks;
    auto check = [&](bool held, const QString& figure, const QString& rows, double Intensities::*row) {
        if (!held) return;
        LimitCheck c{figure, rows, headers_.value(QStringLiteral("txt") + figure), {}};
        for (const RowOutcome& o : outcomes) c.outside.note(o.date, o.figures.*row, limits);
        checks.push_back(c);
    };
    check(bPICHROKA, QStringLiteral("PICHROKA"), QStringLiteral("PICHA"), &Intensities::pichA);
    check(bPICHROKB, QStringLiteral("PICHROKB"), QStringLiteral("PICHB"), &Intensities::pichB);
    recordLimits(*xmlDOM, type.value_or(0), limits, kLimitsFromSettings, checks);
}

PlanInput EditorSession::rowInputs() const
{
    db::Recordset* rs = recordset();
    if (!rs) return PlanInput{&set_, ecoType(header(QStringLiteral("txtVARPICH"))), {}};
    const int position = rs->position();
    PlanInput input = readPlanInput(*rs, set_, ecoType(header(QStringLiteral("txtVARPICH"))));
    if (position >= 0 && position < rs->rowCount()) rs->moveTo(position);
    return input;
}

int EditorSession::setOnDate(const QString& date, const QString& column, const QString& text)
{
    db::Recordset* rs = recordset();
    if (!rs) return 0;
    const int dateColumn = rs->columnIndex(QStringLiteral("DATPLATNOST"));
    const int valueColumn = rs->columnIndex(column);
    int found = 0;
    for (int row = 0; row < rs->rowCount(); ++row) {
        if (rs->valueAt(row, dateColumn).toString() != date) continue;
        ++found;
        rs->setValueAt(row, valueColumn, text);
    }
    return found;
}

void EditorSession::writeEveryCategory()
{
    db::Recordset* rs = recordset();
    if (!rs || !xmlDOM) return;
    RowWriter all(*xmlDOM, set_, QStringLiteral("1"), false, false);
    const TableColumns columns(*rs, set_);
    for (int row = 0; row < rs->rowCount(); ++row) {
        rs->moveTo(row);
        all.writeRow(*rs, columns);
    }
}

void EditorSession::deleteWorkingDatabases()
{
    SmazSoubory(ctx_, ctx_.folder, kWorkingDatabasePattern);
}

}  // namespace zorva::editor
