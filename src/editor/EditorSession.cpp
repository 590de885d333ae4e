#include "editor/EditorSession.h"

#include <cmath>

#include "common/ModAll.h"
#include "common/Namespaces.h"
#include "common/NumberText.h"
#include "editor/WriteBack.h"
#include "common/SkipOnFailure.h"
#include "platform/Failure.h"
#include "platform/WorkingDatabase.h"

namespace zorva::editor {

namespace {

Failure asFailure(const std::exception& e)
{
    if (const auto* f = dynamic_cast<const Failure*>(&e)) return *f;
    return Failure(err::InvalidProcedureCall, QString::fromLocal8Bit(e.what()));
}

const QString kDatPlatnost = QStringLiteral("DATPLATNOST");
const QString kVdjA = QStringLiteral("VDJA");
const QString kVdjB = QStringLiteral("VDJB");
const QString kPichA = QStringLiteral("PICHA");
const QString kPichB = QStringLiteral("PICHB");
const QString kAcreage = QStringLiteral("SUMAVYMERADPB");

}  // namespace

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
    try {
        if (!xmlDOM) throw Failure(91, QStringLiteral("Dokument odpovědi není nastaven"));
        xml::Document& doc = *xmlDOM;
        doc.setSelectionNamespace(QStringLiteral("SOAP"), ns::soap);
        doc.setSelectionNamespace(QStringLiteral("kLIM"), ns::klim);
        doc.setSelectionNamespace(QStringLiteral("VDJ"), ns::vdj);
        doc.setSelectionNamespace(QStringLiteral("RUX"), ns::rux);

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

        databasePath_ = VytvorJmenoTMP(ctx_, ctx_.folder, QStringLiteral("MDB"));
        db::WorkingDatabase::create(databasePath_, kCzechLocale);
        database.open(databasePath_);
        database.execute(set_.workingTableStatement());
    } catch (const std::exception& e) {
        emit headersChanged();
        ctx_.message(asFailure(e).text(), MessageIcon::None);
        if (leaveBusy) leaveBusy();
        return;
    }

    // Phase two: a failing step is skipped silently.
    std::unique_ptr<db::Recordset> rs;
    skipOnFailure([&] { rs = database.openRecordset(QStringLiteral("SELECT * FROM TABULKA")); });
    if (rs) skipOnFailure([&] { loadRows(*rs); });
    skipOnFailure([&] { if (rs) rs->close(); });
    skipOnFailure([&] { database.close(); });
    strConnect = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + databasePath_ +
                 QStringLiteral(";User ID=admin");
    skipOnFailure([&] { dataControl_->setConnectionString(strConnect); });
    skipOnFailure([&] { dataControl_->setRecordSource(kRecordSource); });
    skipOnFailure([&] { dataControl_->refresh(); });
}

void EditorSession::loadRows(db::Recordset& rs)
{
    std::vector<xml::Node> rows;
    skipOnFailure([&] { rows = xmlDOM->selectList(QStringLiteral("//VDJ:PICHROW")); });
    rs.beginBatch();
    for (const xml::Node& row : rows) {
        skipOnFailure([&] { rs.addNew(); });
        auto attributeText = [&](const QString& name) {
            const auto value = row.attribute(name);
            if (!value) throw Failure(err::ObjectRequired, name);
            return *value;
        };
        skipOnFailure([&] { rs.setValue(kDatPlatnost, attributeText(kDatPlatnost)); });
        skipOnFailure([&] { rs.setValue(kVdjA, attributeText(kVdjA)); });
        skipOnFailure([&] { rs.setValue(kVdjB, attributeText(kVdjB)); });
        skipOnFailure([&] { rs.setValue(kPichA, leadingNumber(attributeText(kPichA))); });
        skipOnFailure([&] { rs.setValue(kPichB, leadingNumber(attributeText(kPichB))); });
        for (const char* child : {"ZADATELREGLPIS", "ZADATELREGIRZ", "SUMAVYMERADPB"}) {
            skipOnFailure([&] {
                const QString name = QString::fromLatin1(child);
                const xml::Node node = row.selectSingle(QStringLiteral("RUX:") + name);
                if (!node) throw Failure(err::ObjectRequired, name);
                if (name == kAcreage) rs.setValue(name, leadingNumber(node.text()));
                else rs.setValue(name, node.text());
            });
        }
        for (const Category& c : set_.categories) {
            xml::Node node;
            skipOnFailure([&] { node = row.selectSingle(QStringLiteral("RUX:") + c.name); });
            skipOnFailure([&] {
                if (!node) throw Failure(err::ObjectRequired, c.name);
                rs.setValue(c.countColumn(), node.text());
            });
            skipOnFailure([&] {
                if (!node) throw Failure(err::ObjectRequired, c.name);
                const auto units = node.attribute(QStringLiteral("VDJ"));
                if (!units) throw Failure(err::ObjectRequired, c.name);
                rs.setValue(c.unitsColumn(), *units);
            });
            skipOnFailure([&] {
                if (!node) throw Failure(err::ObjectRequired, c.name);
                const QString koef = node.attribute(QStringLiteral("KOEF")).value_or(QString());
                if (!koef.isEmpty()) rs.setValue(c.coefficientColumn(), leadingNumber(koef));
            });
        }
        skipOnFailure([&] { rs.update(); });
    }
    rs.endBatch();
}

void EditorSession::calculateRow(db::Recordset& rs, int& counted, double& totalA, double& totalB, RowWriter& writer)
{
    // Acreage: empty becomes 0, then the column holds its own numeric value.
    skipOnFailure([&] { if (rs.value(kAcreage).isNull()) rs.setValue(kAcreage, 0.0); });
    skipOnFailure([&] { rs.setValue(kAcreage, numericValue(rs.value(kAcreage))); });

    for (const Category& c : set_.categories) {
        skipOnFailure([&] {
            const QVariant count = rs.value(c.countColumn());
            if (count.isNull() || count.toString().isEmpty()) rs.setValue(c.countColumn(), 0.0);
        });
    }
    for (const Category& c : set_.categories)
        skipOnFailure([&] { rs.setValue(c.unitsColumn(), 0.0); });
    for (const Category& c : set_.categories) {
        skipOnFailure([&] {
            const QVariant koef = rs.value(c.coefficientColumn());
            if (koef.isNull()) {
                // An empty coefficient gives an empty product: the units stay empty and count as 0.
                rs.setValue(c.unitsColumn(), QVariant());
                return;
            }
            const double product = koef.toDouble() * numericValue(rs.value(c.countColumn()));
            rs.setValue(c.unitsColumn(), unitsText(product));
        });
    }

    const bool eco = ecoType(headers_.value(QStringLiteral("txtVARPICH")));
    const QStringList sumA = eco ? set_.horseAddition + set_.ecoAddition
                                 : set_.conventionalAddition + set_.horseAddition;
    const QStringList sumB = eco ? set_.ecoAddition : set_.conventionalAddition;
    auto addUp = [&](const QString& column, const QStringList& names) {
        skipOnFailure([&] { rs.setValue(column, 0.0); });
        for (const QString& name : names) {
            skipOnFailure([&] {
                const double sum = rs.value(column).toDouble();
                rs.setValue(column, sum + numericValue(rs.value(name + QStringLiteral("_VDJ"))));
            });
        }
    };
    addUp(kVdjA, sumA);
    addUp(kVdjB, sumB);

    skipOnFailure([&] {
        const QVariant acreage = rs.value(kAcreage);
        if (acreage.isNull()) {
            skipOnFailure([&] { rs.setValue(kPichA, 0.0); });
            skipOnFailure([&] { rs.setValue(kPichB, 0.0); });
            return;
        }
        const double area = acreage.toDouble();
        if (area > 0) {
            skipOnFailure([&] { rs.setValue(kPichA, rs.value(kVdjA).toDouble() / area); });
            skipOnFailure([&] { rs.setValue(kPichB, rs.value(kVdjB).toDouble() / area); });
            ++counted;
            skipOnFailure([&] { totalA += rs.value(kPichA).toDouble(); });
            skipOnFailure([&] { totalB += rs.value(kPichB).toDouble(); });
        } else {
            skipOnFailure([&] { rs.setValue(kPichA, 0.0); });
            skipOnFailure([&] { rs.setValue(kPichB, 0.0); });
            ++counted;
        }
    });

    skipOnFailure([&] { writer.writeRow(rs); });
}

QString EditorSession::yearlyText(double total, int counted) const
{
    if (counted == 0) throw Failure(11, QStringLiteral("Dělení nulou"));
    const double average = total / counted;
    // Read back through its 15-digit text, then cut (not rounded) to three decimals.
    const double rounded = leadingNumber(CisloSTeckou(QVariant(average)));
    const double cut = std::floor(rounded * 1000) / 1000;
    return CisloSTeckou(QVariant(fixedText(cut, 3, QLocale().decimalPoint().at(0))));
}

void EditorSession::Pocitej(const RunHooks& hooks)
{
    if (running_) return;
    running_ = true;
    emit runStarted();
    auto pump = [&] { if (hooks.pumpEvents) hooks.pumpEvents(); };

    db::Recordset* rs = recordset();
    int counted = 0;
    double totalA = 0, totalB = 0;
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
        xml::Document empty;
        if (!writer) writer = std::make_unique<RowWriter>(empty, set_, QString(), false, false);

        const int total = rs->rowCount();
        int done = 0;
        rs->beginBatch();
        while (!rs->eof()) {
            const int position = rs->position();
            calculateRow(*rs, counted, totalA, totalB, *writer);
            skipOnFailure([&] { rs->update(); });
            skipOnFailure([&] { rs->moveNext(); });
            // A row is never processed twice, whatever failed above.
            if (!rs->eof() && rs->position() <= position) break;
            ++done;
            if (hooks.progress) hooks.progress(done, total);
            pump();
        }
        rs->endBatch();
    }

    skipOnFailure([&] { headers_[QStringLiteral("txtPICHROKA")] = yearlyText(totalA, counted); });
    skipOnFailure([&] { headers_[QStringLiteral("txtPICHROKB")] = yearlyText(totalB, counted); });
    skipOnFailure([&] {
        if (xmlDOM)
            RowWriter::writeYearly(*xmlDOM, headers_.value(QStringLiteral("txtPICHROKA")),
                                   headers_.value(QStringLiteral("txtPICHROKB")));
    });
    skipOnFailure([&] { if (rs) rs->moveFirst(); });
    emit headersChanged();
    running_ = false;
    emit runFinished();
    if (hooks.beep) hooks.beep();
}

void EditorSession::deleteWorkingDatabases()
{
    SmazSoubory(ctx_, ctx_.folder, kWorkingDatabasePattern);
}

}  // namespace zorva::editor
