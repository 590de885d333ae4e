#include "editor/CategorySet.h"

#include "platform/XmlDocument.h"

namespace zorva::editor {

namespace {

using K = CategoryKind;

// The units columns as the generations define them, and as the working table has them: a count has
// at most five characters; its units (count x coefficient, five decimals) need far more than ten.
// 255 is the widest text column the working database has ever offered.
constexpr int kDefinedUnitsWidth = 10;
constexpr int kWorkingUnitsWidth = 255;

CategorySet makeFirst()
{
    CategorySet s;
    s.id = QStringLiteral("first");
    s.windowName = QStringLiteral("frmEditace");
    s.categories = {
        {"SKOTML", QStringLiteral("Skot mladší"), K::Conventional},
        {"SKOTST", QStringLiteral("Skot starší"), K::Conventional},
        {"EKOSKOTML", QStringLiteral("Eko skot mladší"), K::Eco},
        {"EKOSKOTST", QStringLiteral("Eko skot starší"), K::Eco},
        {"KOZA", QStringLiteral("Koza"), K::Conventional},
        {"EKOKOZA", QStringLiteral("Eko koza"), K::Eco},
        {"OVCE", QStringLiteral("Ovce"), K::Conventional},
        {"EKOOVCE", QStringLiteral("Eko ovce"), K::Eco},
        {"KUNML", QStringLiteral("Kůň mladší"), K::Horse},
        {"KUNST", QStringLiteral("Kůň starší"), K::Horse},
    };
    s.leftColumnLines = 10;
    s.conventionalAddition = {"SKOTML", "SKOTST", "KOZA", "OVCE"};
    s.horseAddition = {"KUNST", "KUNML"};
    s.ecoAddition = {"EKOSKOTST", "EKOSKOTML", "EKOKOZA", "EKOOVCE"};
    s.writeOrder = {"SKOTML",  "SKOTST", "EKOSKOTML", "EKOSKOTST", "KOZA",
                    "EKOKOZA", "OVCE",   "EKOOVCE",   "KUNML",     "KUNST"};
    s.createTable = s.tableStatement(kDefinedUnitsWidth);
    return s;
}

CategorySet make2006()
{
    CategorySet s;
    s.id = QStringLiteral("2006");
    s.windowName = QStringLiteral("frmEditace2006");
    // The labels are the names themselves; DO means up to, OD from, the numbers are ages.
    const struct {
        const char* name;
        const char* meaning;
    } lines[] = {
        {"SKOTDO6", "skot do 6 měsíců"},
        {"SKOTOD6DO24", "skot od 6 do 24 měsíců"},
        {"SKOTOD24", "skot od 24 měsíců"},
        {"OVCEDO12", "ovce do 12 měsíců"},
        {"OVCEOD12", "ovce od 12 měsíců"},
        {"KOZYDO12", "kozy do 12 měsíců"},
        {"KOZYOD12", "kozy od 12 měsíců"},
        {"KUNDO3", "koně do 3 let"},
        {"KUNOD3", "koně od 3 let"},
        {"EKOSKOTDO6", "skot do 6 měsíců, ekologický chov"},
        {"EKOSKOTOD6DO24", "skot od 6 do 24 měsíců, ekologický chov"},
        {"EKOSKOTOD24", "skot od 24 měsíců, ekologický chov"},
        {"EKOOVCEDO12", "ovce do 12 měsíců, ekologický chov"},
        {"EKOOVCEOD12", "ovce od 12 měsíců, ekologický chov"},
        {"EKOKOZYDO12", "kozy do 12 měsíců, ekologický chov"},
        {"EKOKOZYOD12", "kozy od 12 měsíců, ekologický chov"},
    };
    for (const auto& line : lines) {
        const QString name = QString::fromLatin1(line.name);
        const K kind = name.startsWith(QLatin1String("EKO"))   ? K::Eco
                       : name.startsWith(QLatin1String("KUN")) ? K::Horse
                                                               : K::Conventional;
        s.categories.push_back({name, name, kind, QString::fromUtf8(line.meaning)});
    }
    s.leftColumnLines = 9;
    s.conventionalAddition = {"SKOTDO6", "SKOTOD6DO24", "SKOTOD24", "OVCEDO12", "OVCEOD12", "KOZYDO12", "KOZYOD12"};
    s.horseAddition = {"KUNDO3", "KUNOD3"};
    s.ecoAddition = {"EKOSKOTDO6",  "EKOSKOTOD6DO24", "EKOSKOTOD24", "EKOOVCEDO12",
                     "EKOOVCEOD12", "EKOKOZYDO12",    "EKOKOZYOD12"};
    for (const auto& c : s.categories) s.writeOrder << c.name;
    // The generation's statement set its eco block apart with one more blank and closed with one.
    s.statementLayout = {QStringLiteral("EKOSKOTDO6"), QStringLiteral(" )")};
    s.createTable = s.tableStatement(kDefinedUnitsWidth);
    return s;
}

}  // namespace

const Category* CategorySet::find(const QString& name) const
{
    for (const auto& c : categories)
        if (c.name == name) return &c;
    return nullptr;
}

bool CategorySet::isEco(const QString& name) const
{
    const Category* c = find(name);
    return c && c->kind == CategoryKind::Eco;
}

QString CategorySet::tableStatement(int unitsWidth) const
{
    QString sql = QStringLiteral(
        "CREATE TABLE TABULKA(DATPLATNOST TEXT(10), VDJA DOUBLE, VDJB DOUBLE, PICHA DOUBLE, PICHB DOUBLE, "
        "ZADATELREGLPIS TEXT(1), ZADATELREGIRZ TEXT(1),SUMAVYMERADPB DOUBLE");
    for (const Category& c : categories) {
        sql += c.name == statementLayout.spaceBefore ? QStringLiteral(",  ") : QStringLiteral(", ");
        sql += QStringLiteral("%1 TEXT(5), %2 TEXT(%3), %4 DOUBLE")
                   .arg(c.countColumn(), c.unitsColumn())
                   .arg(unitsWidth)
                   .arg(c.coefficientColumn());
    }
    return sql + statementLayout.closing;
}

QString CategorySet::workingTableStatement() const
{
    return tableStatement(kWorkingUnitsWidth);
}

const CategorySet& CategorySet::first()
{
    static const CategorySet s = makeFirst();
    return s;
}

const CategorySet& CategorySet::gen2006()
{
    static const CategorySet s = make2006();
    return s;
}

const CategorySet& CategorySet::forYearText(const QString& yearText)
{
    if (yearText == QLatin1String("2007") || yearText == QLatin1String("2006")) return gen2006();
    return first();
}

namespace {

// Whether a row of the response has an element of a category that only `own` knows: one lookup per
// category name, not one per element of every row.
bool rowsHaveOwnCategory(const xml::Document& response, const CategorySet& own, const CategorySet& other)
{
    for (const Category& c : own.categories)
        if (!other.find(c.name) && response.selectSingle(QStringLiteral("//VDJ:PICHROW/RUX:") + c.name)) return true;
    return false;
}

}  // namespace

const CategorySet& CategorySet::forResponse(const xml::Document& response, const QString& yearText)
{
    const bool firstOnly = rowsHaveOwnCategory(response, first(), gen2006());
    const bool newerOnly = rowsHaveOwnCategory(response, gen2006(), first());
    if (firstOnly != newerOnly) return newerOnly ? gen2006() : first();
    // Without a year text a document with categories of both takes the 2006 set, which has the
    // finer categories.
    if (newerOnly && yearText.isEmpty()) return gen2006();
    return forYearText(yearText);
}

const std::vector<HeaderField>& headerFields()
{
    static const std::vector<HeaderField> fields = {
        {"txtJISUBRUX", "//RUX:JISUBRUX"},
        {"txtICO", "//RUX:ICO"},
        {"txtRCI", "//RUX:RCI"},
        {"txtVARPICH", "//RUX:VARPICH"},
        {"txtPICHROKA", "//RUX:PICHROKA"},
        {"txtPICHROKB", "//RUX:PICHROKB"},
        {"txtIRZ_RCI", "//VDJ:SUBJEKTIRZ/RUX:RCI"},
        {"txtIRZ_JME", "//VDJ:SUBJEKTIRZ/RUX:JME"},
        {"txtIRZ_PRI", "//VDJ:SUBJEKTIRZ/RUX:PRI"},
        {"txtIRZ_OJM", "//VDJ:SUBJEKTIRZ/RUX:OJM"},
    };
    return fields;
}

}  // namespace zorva::editor
