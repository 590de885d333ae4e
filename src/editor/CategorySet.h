#pragma once
#include <QString>
#include <QStringList>
#include <vector>

namespace zorva::xml {
class Document;
}

namespace zorva::editor {

// A livestock category. Its name is both the local name of its element in a row of the response
// (RUX:<name>) and the prefix of its three working-table columns <name>_POCET, _VDJ, _KOEF.
enum class CategoryKind {
    Conventional,
    Eco,
    Horse
};

struct Category {
    QString name;
    QString label;  // the label of its line on the editor window
    CategoryKind kind;
    QString meaning = {};  // in plain Czech, where the label is the bare name

    QString countColumn() const { return name + QStringLiteral("_POCET"); }
    QString unitsColumn() const { return name + QStringLiteral("_VDJ"); }
    QString coefficientColumn() const { return name + QStringLiteral("_KOEF"); }
};

// One generation of categories, described in one place: what the window shows, what the table
// holds, in which order the sums add and in which order the results are written back.
struct CategorySet {
    QString id;                        // "first" or "2006"
    QString windowName;                // "frmEditace" or "frmEditace2006"
    std::vector<Category> categories;  // column order = loading order = line order
    int leftColumnLines = 0;           // lines in the window's left column; the rest go right
    QStringList conventionalAddition;  // order of addition, group by group
    QStringList horseAddition;
    QStringList ecoAddition;
    QStringList writeOrder;  // order of writing back (eco ones only for types 1 and 5)
    // The blanks of the generation's statement: one more before a category's columns, and its end.
    struct {
        QString spaceBefore;
        QString closing = QStringLiteral(")");
    } statementLayout;
    QString createTable;  // the table-creating statement, as the generation defines it

    // The statement of the set's table, with its units columns `unitsWidth` characters wide.
    QString tableStatement(int unitsWidth) const;

    const Category* find(const QString& name) const;
    bool isEco(const QString& name) const;
    // The statement the working database is created with: the defined one, with the units columns
    // widened so that every units text a five-character count can produce is stored (a ten-character
    // units column silently lost herds of 10 000 livestock units and more from the sums).
    QString workingTableStatement() const;

    static const CategorySet& first();
    static const CategorySet& gen2006();
    // "2006" and "2007" exactly select the 2006 generation; every other text the first.
    static const CategorySet& forYearText(const QString& yearText);
    // The generation whose categories the response's rows hold, when they hold those of one
    // generation only; otherwise the one the year text selects (none: the 2006 one if the rows hold
    // any of its own categories). An editor of the other generation
    // would find none of the counts, and its calculation would write zeros over them.
    static const CategorySet& forResponse(const xml::Document& response, const QString& yearText);
};

// Header fields of the response: the box that shows each and the selection that finds it, in the
// order of loading.
struct HeaderField {
    QString box;
    QString pattern;
};
const std::vector<HeaderField>& headerFields();

inline const QString kRecordSource = QStringLiteral("SELECT * FROM TABULKA ORDER BY DATPLATNOST");
inline const QString kCzechLocale = QStringLiteral(";LANGID=0x0405;CP=1250;COUNTRY=0");
inline const QString kWorkingDatabasePattern = QStringLiteral("TMP*.MDB");

}  // namespace zorva::editor
